#include "report/pageflow.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>

using namespace Qt::StringLiterals;

namespace mirabolo::report {

namespace {

constexpr qreal footerHeight = 18;
constexpr qreal groupGap = 12;

// Table cells are placed in eighths of a point, at whole positions: that is
// most of what a school's report of a hundred thousand games costs to write.
constexpr qreal cellUnits = 8;

} // namespace

QList<TableStretch> paginate(const Table &table, qsizetype firstLines, qsizetype pageLines, int groups)
{
    QList<TableStretch> stretches;
    qsizetype next = 0;
    qsizetype heading = -1; // the last heading before row `next`
    do {
        const qsizetype lines = std::max<qsizetype>(1, stretches.isEmpty() ? firstLines : pageLines);
        const qsizetype count = std::min(table.rows.size() - next, lines * groups);
        const qsizetype used = std::max<qsizetype>(1, (count + lines - 1) / lines);
        const qsizetype perGroup = std::max<qsizetype>(1, (count + used - 1) / used);
        TableStretch stretch;
        for (qsizetype g = 0; g < used; ++g) {
            TableStretch::Column column;
            column.first = next + g * perGroup;
            column.end = std::max(column.first, std::min(column.first + perGroup, next + count));
            if (heading >= 0 && column.first < column.end && !table.isHeading(column.first))
                column.heading = heading;
            for (qsizetype row = column.first; row < column.end; ++row)
                if (table.isHeading(row))
                    heading = row;
            stretch.columns << column;
        }
        stretches << stretch;
        next += count;
    } while (next < table.rows.size());
    return stretches;
}

PageFlow::PageFlow(QPainter &onto, QPagedPaintDevice &pages, QString footerText, int pageCount)
    : painter(onto)
    , device(pages)
    , footer(std::move(footerText))
    , smallLabels(reportFont(7), &pages)
    , pageTotal(pageCount)
    , plainCells(reportFont(8), &pages, cellUnits)
    , boldCells(reportFont(8, true), &pages, cellUnits)
{
    const qreal scale = pages.logicalDpiX() / 72.0;
    onto.scale(scale, scale);
    const QRectF area = pages.pageLayout().paintRect(QPageLayout::Point);
    width = area.width();
    bottom = area.height() - footerHeight;
    drawFooter();
}

qreal PageFlow::textHeight(const QString &line, const QFont &font)
{
    painter.setFont(font);
    return painter.boundingRect(QRectF(0, 0, width, 10000), Qt::TextWordWrap | Qt::AlignLeft, line).height();
}

void PageFlow::text(const QString &line, const QFont &font, qreal after)
{
    const qreal height = textHeight(line, font);
    ensure(height);
    if (drawing())
        painter.drawText(QRectF(0, y, width, height), Qt::TextWordWrap | Qt::AlignLeft, line);
    y += height + after;
}

void PageFlow::ensure(qreal points)
{
    if (y + points > bottom && y > 0)
        newPage();
}

void PageFlow::table(const Table &table, int groups)
{
    const QFont continuedFont = reportFont(10, true);
    const qreal continuedAfter = 2;
    const qreal continuedHeight =
        table.continued.isEmpty() ? 0 : textHeight(table.continued, continuedFont) + continuedAfter;
    const qsizetype titleLines = table.headed ? 2 : 1;
    const int firstPage = page;
    ensure(rowHeight * qreal(titleLines + 2));
    // Even its first rows go on with what the page before began.
    if (page > firstPage && !table.continued.isEmpty())
        text(table.continued, continuedFont, continuedAfter);
    const QList<TableStretch> stretches =
        paginate(table, qsizetype((bottom - y) / rowHeight) - titleLines,
                 qsizetype((bottom - continuedHeight) / rowHeight) - titleLines, groups);
    const qreal groupWidth = (width - (groups - 1) * groupGap) / groups;
    const auto groupLeft = [&](qsizetype g) { return qreal(g) * (groupWidth + groupGap); };
    for (qsizetype s = 0; s < stretches.size(); ++s) {
        if (s > 0) {
            newPage();
            if (!table.continued.isEmpty())
                text(table.continued, continuedFont, continuedAfter);
        }
        const QList<TableStretch::Column> &columns = stretches.at(s).columns;
        qsizetype tallest = 0;
        for (const TableStretch::Column &column : columns)
            tallest = std::max(tallest, 1 + (column.heading >= 0 ? 1 : 0) + column.end - column.first);
        if (drawing()) {
            for (qsizetype g = 0; g < columns.size(); ++g)
                painter.fillRect(QRectF(groupLeft(g), y, groupWidth, rowHeight), QColor(0xe8, 0xe8, 0xe8));
            for (qsizetype g = 0; g < columns.size(); ++g) {
                const TableStretch::Column &column = columns.at(g);
                placeRow(table, table.titles, groupLeft(g), y, groupWidth, boldCells);
                qsizetype line = 1;
                if (column.heading >= 0)
                    placeRow(table, table.rows.at(column.heading), groupLeft(g), y + rowHeight * qreal(line++),
                             groupWidth, boldCells);
                for (qsizetype row = column.first; row < column.end; ++row)
                    placeRow(table, table.rows.at(row), groupLeft(g), y + rowHeight * qreal(line++), groupWidth,
                             table.isHeading(row) ? boldCells : plainCells);
            }
            painter.save();
            painter.scale(1 / cellUnits, 1 / cellUnits);
            boldCells.flush(painter);
            plainCells.flush(painter);
            painter.restore();
        }
        y += rowHeight * qreal(tallest) + 6;
    }
}

QRectF PageFlow::take(qreal height)
{
    ensure(height);
    const QRectF area(0, y, width, height);
    y += height + 6;
    return area;
}

void PageFlow::pageBreak()
{
    if (y > 0)
        newPage();
}

void PageFlow::newPage()
{
    if (drawing())
        device.newPage();
    ++page;
    y = 0;
    drawFooter();
}

void PageFlow::drawFooter()
{
    if (!drawing())
        return;
    painter.setPen(Qt::darkGray);
    const QRectF area(0, bottom + 4, width, footerHeight - 4);
    smallLabels.draw(painter, area, Qt::AlignLeft | Qt::AlignBottom, footer);
    smallLabels.draw(painter, area, Qt::AlignRight | Qt::AlignBottom, u"Pagina %1 di %2"_s.arg(page).arg(pageTotal));
    painter.setPen(Qt::black);
}

void PageFlow::placeRow(const Table &table, const QStringList &cells, qreal left, qreal top, qreal rowWidth,
                        GlyphCache &texts)
{
    qreal x = left;
    for (qsizetype c = 0; c < cells.size(); ++c) {
        const qreal cell = cells.size() == 1 ? rowWidth : table.widths.at(c) * rowWidth;
        const GlyphCache::Shaped &text = texts.shaped(cells.value(c), cell - 4);
        const qreal start = table.alignments.at(c) == Qt::AlignRight ? x + cell - 2 - text.size.width() : x + 2;
        texts.place(text,
                    QPointF(std::round(start * texts.units()),
                            std::round((top + (rowHeight - text.size.height()) / 2) * texts.units())));
        x += cell;
    }
}

bool layOutPages(QPagedPaintDevice &device, const QString &footer,
                 const std::function<void(QPainter &painter, PageFlow &flow)> &layOut)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    painter.save();
    PageFlow counting(painter, device, footer);
    layOut(painter, counting);
    painter.restore();
    PageFlow flow(painter, device, footer, counting.pageCount());
    layOut(painter, flow);
    return painter.end();
}

} // namespace mirabolo::report
