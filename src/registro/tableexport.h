// A table of the window taken to a spreadsheet or the school's electronic
// register: its rows and columns, header first, as the view shows them, on
// the clipboard or in a CSV file.
#pragma once

#include <QByteArray>
#include <QString>

class QAbstractItemModel;
class QMimeData;

namespace mirabolo::registro {

// Tab-separated text and an HTML table, which a spreadsheet pastes as cells.
// The cells of `nameColumn` are names typed by pupils: none runs as a formula.
QMimeData *tableMimeData(const QAbstractItemModel &model, int nameColumn);

// The table as CSV, as the register is written (UTF-8 with a byte-order
// mark, ';', CR LF, quotes where needed, names in quotes and guarded).
QByteArray tableCsv(const QAbstractItemModel &model, int nameColumn);

// Writes tableCsv() at `path`, replacing what stands there only once it is
// whole, never through a link. On failure `error` says why in Italian.
bool writeTableCsv(const QString &path, const QAbstractItemModel &model, int nameColumn, QString *error);

} // namespace mirabolo::registro
