// The columns of the program's tables, each declared once: its title, its
// width on paper, its alignment and its text. The window's item models and
// the report's tables both read them, so that adding a column is one entry.
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QVariant>

namespace mirabolo::classregister {
struct GameRecord;
struct PupilFigures;
} // namespace mirabolo::classregister

namespace mirabolo::registro {

template<typename Row>
struct Column
{
    QString title;
    int paperWidth = 0; // on paper, in shares of the table's width beside the others'
    Qt::Alignment alignment = Qt::AlignLeft;
    QString (*text)(const Row &row) = nullptr;
    // What the column sorts by, where its text would sort otherwise (numbers,
    // dates); the text when none.
    QVariant (*sortValue)(const Row &row) = nullptr;
    // What the paper says instead, where it differs; the text when none.
    QString (*paperText)(const Row &row) = nullptr;
    QColor ink = {}; // the text's colour in the window; the view's own when invalid

    QString onPaper(const Row &row) const { return paperText ? paperText(row) : text(row); }
};

using PupilColumn = Column<classregister::PupilFigures>;
using GameColumn = Column<classregister::GameRecord>;

// One row per pupil: "Nome", "Partite", … "Da seguire".
const QList<PupilColumn> &pupilColumns();
// One row per game of a pupil: "Data", "Ora", "Esatte", "Errate",
// "Precisione", "Fine".
const QList<GameColumn> &gameColumns();
// The class ranking beside its chart: "Alunno", "Precisione".
const QList<PupilColumn> &rankingColumns();

// The widths of `columns` on paper as shares adding up to 1.
template<typename Row>
QList<qreal> paperWidths(const QList<Column<Row>> &columns)
{
    int total = 0;
    for (const Column<Row> &column : columns)
        total += column.paperWidth;
    QList<qreal> widths;
    for (const Column<Row> &column : columns)
        widths << qreal(column.paperWidth) / total;
    return widths;
}

} // namespace mirabolo::registro
