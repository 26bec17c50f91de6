// The record files are single-byte Windows-1252 so that files copied from a
// Windows PC read the same here and the other way round.
#pragma once

#include <QByteArray>
#include <QString>

namespace mirabolo::records {

QString decodeWindows1252(const QByteArray &bytes);
// Characters Windows-1252 cannot hold become '?'.
QByteArray encodeWindows1252(const QString &text);

} // namespace mirabolo::records
