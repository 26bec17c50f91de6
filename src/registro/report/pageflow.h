// The report's pages, whatever they say: blocks of text, room for a chart,
// and tables that go on over as many pages as they need, each page with its
// footer. Everything is laid out in points on the page's printable area.
#pragma once

#include "report/glyphcache.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QPagedPaintDevice;
class QPainter;

namespace mirabolo::report {

struct Table
{
    QStringList titles;
    QList<qreal> widths; // shares of the width, adding up to 1
    QList<Qt::Alignment> alignments;
    // A row of one cell is a heading across the table, over the rows below
    // it up to the next heading. Rows with no cells at all take their place
    // while the pages are only counted.
    QList<QStringList> rows;
    bool headed = false;
    // Over the table on each further page it takes, so that a page alone
    // says whose it is.
    QString continued;

    bool isHeading(qsizetype row) const { return headed && rows.at(row).size() == 1; }
};

// Where the rows of a table go: a stretch on the page under way, then one on
// each page after it, each stretch in up to `groups` columns side by side,
// filled down then across, so that a long list takes fewer pages. A column
// that goes on under a heading of an earlier column repeats it first.
struct TableStretch
{
    struct Column
    {
        qsizetype heading = -1; // the heading repeated on top, or -1
        qsizetype first = 0;
        qsizetype end = 0;
        friend bool operator==(const Column &, const Column &) = default;
    };
    QList<Column> columns;
};

// `firstLines` rows fit under the titles on the page under way, `pageLines`
// on a page of their own; a repeated heading takes one of them.
QList<TableStretch> paginate(const Table &table, qsizetype firstLines, qsizetype pageLines, int groups);

// Lays pages out one after the other. With no page count given it only
// counts the pages, drawing nothing: every footer says "Pagina N di M".
class PageFlow
{
public:
    static constexpr qreal rowHeight = 11;

    PageFlow(QPainter &onto, QPagedPaintDevice &pages, QString footerText, int pageCount = 0);

    // False while only counting the pages: what is drawn without the flow
    // (charts) waits for the second pass.
    bool drawing() const { return pageTotal > 0; }
    int pageCount() const { return page; }

    // 7-point labels shaped for these pages: the footers', and the charts'.
    GlyphCache &labels() { return smallLabels; }

    void text(const QString &line, const QFont &font, qreal after = 2);
    void space(qreal points) { y = std::min(y + points, bottom); }
    // Starts a new page unless `points` still fit on this one.
    void ensure(qreal points);
    // The rows in `groups` side-by-side copies of the columns, the table's
    // continued line over it on each page after its first.
    void table(const Table &table, int groups = 1);
    // Room across the page for something `height` high, on a new page when
    // it does not fit on this one.
    QRectF take(qreal height);
    // What follows starts a page of its own.
    void pageBreak();
    // Points left on this page above the footer.
    qreal room() const { return bottom - y; }
    // How high `line` is in `font`, wrapped across the page.
    qreal textHeight(const QString &line, const QFont &font);

private:
    void newPage();
    void drawFooter();
    // `left` and `top` in points.
    static void placeRow(const Table &table, const QStringList &cells, qreal left, qreal top, qreal rowWidth,
                         GlyphCache &texts);

    QPainter &painter;
    QPagedPaintDevice &device;
    QString footer;
    GlyphCache smallLabels;
    qreal width = 0;
    qreal bottom = 0;
    qreal y = 0;
    int page = 1;
    int pageTotal; // 0 while counting the pages
    GlyphCache plainCells;
    GlyphCache boldCells;
};

// The pages laid out by `layOut` twice: once to count them, once to draw
// them numbered. False when the device cannot be painted on.
bool layOutPages(QPagedPaintDevice &device, const QString &footer,
                 const std::function<void(QPainter &painter, PageFlow &flow)> &layOut);

} // namespace mirabolo::report
