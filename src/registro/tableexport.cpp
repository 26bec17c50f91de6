#include "registro/tableexport.h"

#include "classregister/registerformat.h"
#include "records/folderfile.h"

#include <QAbstractItemModel>
#include <QMimeData>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

// The header's titles, then each row's texts, as the view shows them.
QList<QStringList> tableTexts(const QAbstractItemModel &model)
{
    QList<QStringList> rows;
    QStringList titles;
    for (int column = 0; column < model.columnCount(); ++column)
        titles << model.headerData(column, Qt::Horizontal).toString();
    rows << titles;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        rows << cells;
    }
    return rows;
}

// A cell of tab-separated text is one line without tabs.
QString plainCell(const QString &text)
{
    QString cell = text;
    for (QChar &c : cell) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return cell;
}

} // namespace

QMimeData *tableMimeData(const QAbstractItemModel &model, int nameColumn)
{
    const QList<QStringList> rows = tableTexts(model);
    QString plain;
    QString html = u"<html><head><meta charset=\"utf-8\"></head><body><table>\n"_s;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QStringList &cells = rows.at(row);
        const QString tag = row == 0 ? u"th"_s : u"td"_s;
        html += u"<tr>"_s;
        for (qsizetype column = 0; column < cells.size(); ++column) {
            const QString cell =
                row > 0 && column == nameColumn ? classregister::guardedName(cells.at(column)) : cells.at(column);
            plain += (column > 0 ? u"\t"_s : QString()) + plainCell(cell);
            html += u"<%1>%2</%1>"_s.arg(tag, cell.toHtmlEscaped());
        }
        plain += u'\n';
        html += u"</tr>\n"_s;
    }
    html += u"</table></body></html>\n"_s;
    auto *data = new QMimeData;
    data->setText(plain);
    data->setHtml(html);
    return data;
}

QByteArray tableCsv(const QAbstractItemModel &model, int nameColumn)
{
    const QList<QStringList> rows = tableTexts(model);
    QString text;
    for (qsizetype row = 0; row < rows.size(); ++row) {
        const QStringList &cells = rows.at(row);
        for (qsizetype column = 0; column < cells.size(); ++column) {
            if (column > 0)
                text += u';';
            text += row > 0 && column == nameColumn ? classregister::spreadsheetName(cells.at(column))
                                                    : classregister::spreadsheetCell(cells.at(column), row == 0);
        }
        text += u"\r\n"_s;
    }
    return classregister::spreadsheetStart + text.toUtf8();
}

bool writeTableCsv(const QString &path, const QAbstractItemModel &model, int nameColumn, QString *error)
{
    // Often saved into the class folder, where any pupil may have put a link
    // or a file of theirs at its name: written under a fresh name, then
    // given the name.
    records::StagedFile file(path, false);
    if (!file.write(tableCsv(model, nameColumn)) || !file.place()) {
        *error = u"Impossibile scrivere %1: la cartella non si può scrivere, il disco è pieno, oppure al suo posto "
                 u"c'è qualcosa che non si può sostituire."_s.arg(path);
        return false;
    }
    return true;
}

} // namespace mirabolo::registro
