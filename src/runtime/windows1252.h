// Windows-1252, the Italian ANSI code page: the record files are kept in it so
// that files copied from a Windows PC read the same here and the other way
// round, and a spreadsheet on such a PC saves the register in it.
#pragma once

#include <QByteArray>
#include <QString>

namespace mirabolo::runtime {

QString decodeWindows1252(const QByteArray &bytes);
// Characters Windows-1252 cannot hold become '?'.
QByteArray encodeWindows1252(const QString &text);

} // namespace mirabolo::runtime
