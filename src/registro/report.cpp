#include "registro/report.h"

#include "classregister/registerparser.h"
#include "records/folderfile.h"
#include "registro/charts.h"
#include "registro/pupiltablemodel.h"
#include "registro/reportcharts.h"
#include "registro/texts.h"

#include <QGlyphRun>
#include <QHash>
#include <QLocale>
#include <QMap>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numeric>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

// Everything is laid out in points on the page's printable area.
constexpr qreal footerHeight = 18;
constexpr qreal rowHeight = 11;
constexpr qreal pupilChartHeight = 170;
// A class chart for more pupils than this goes on over several charts.
constexpr qsizetype pupilsPerChart = 50;

// Table cells are placed in eighths of a point, at whole positions: the PDF
// writes the place of every glyph as a number, a whole one is shorter to
// write and to compress, and that is most of what a school's report of a
// hundred thousand games costs.
constexpr qreal cellUnits = 8;

// A school's report has hundreds of thousands of cells, mostly the same few
// thousand texts (dates, counts, endings): each is shaped once, not per cell.
class CellTexts
{
public:
    // Glyphs of one font, at whole positions in cell units.
    struct Piece
    {
        qsizetype font = 0;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    struct Shaped
    {
        QList<Piece> pieces;
        qreal width = 0; // points
        qreal height = 0;
    };

    CellTexts(const QFont &cellFont, QPaintDevice *device)
        : font(cellFont, device)
        , metrics(font, device)
        , paintDevice(device)
    {
        font.setPixelSize(int(std::lround(cellFont.pixelSize() * cellUnits)));
    }

    // `text` as drawn in `room` points, shortened with an ellipsis if need be.
    const Shaped &shaped(const QString &text, qreal room)
    {
        static const Shaped nothing;
        if (text.isEmpty())
            return nothing;
        const auto key = std::pair(text, qRound(room * 100));
        auto found = cache.constFind(key);
        if (found != cache.cend())
            return *found;
        QTextLayout layout(metrics.elidedText(text, Qt::ElideRight, room), font, paintDevice);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        Shaped shaped{{}, line.naturalTextWidth() / cellUnits, line.height() / cellUnits};
        for (const QGlyphRun &run : layout.glyphRuns()) {
            Piece piece{fonts.indexOf(run.rawFont()), run.glyphIndexes(), {}};
            if (piece.font < 0) {
                piece.font = fonts.size();
                fonts << run.rawFont();
            }
            for (const QPointF &at : run.positions())
                piece.positions << QPointF(std::round(at.x()), std::round(at.y()));
            shaped.pieces << piece;
        }
        return *cache.insert(key, shaped);
    }

    // Places `text` with its origin at `origin`, in cell units, to be drawn
    // with everything else placed since the last draw.
    void place(const Shaped &text, const QPointF &origin)
    {
        for (const Piece &piece : text.pieces) {
            Piece &placed = pending[piece.font];
            placed.glyphs += piece.glyphs;
            for (const QPointF &position : piece.positions)
                placed.positions << origin + position;
        }
    }

    // One run per font for a whole page of cells: each run drawn costs the
    // PDF a text object of its own.
    void draw(QPainter &painter)
    {
        for (auto placed = pending.cbegin(); placed != pending.cend(); ++placed) {
            QGlyphRun run;
            run.setRawFont(fonts.at(placed.key()));
            run.setGlyphIndexes(placed->glyphs);
            run.setPositions(placed->positions);
            painter.drawGlyphRun(QPointF(), run);
        }
        pending.clear();
    }

private:
    QFont font;
    QFontMetricsF metrics; // at the cell's size in points, for eliding
    QPaintDevice *paintDevice;
    QList<QRawFont> fonts;
    QHash<std::pair<QString, int>, Shaped> cache; // by text and room in hundredths of a point
    QMap<qsizetype, Piece> pending; // by font
};

struct Table
{
    QStringList titles;
    QList<qreal> widths; // shares of the width, adding up to 1
    QList<Qt::Alignment> alignments;
    // A row of one cell is a heading across the table, over the rows below
    // it up to the next heading. Rows with no cells at all take their place
    // when the pages are only counted.
    QList<QStringList> rows;
    bool headed = false;
    // Over the table on each further page it takes, so that a page alone says whose it is.
    QString continued;

    bool isHeading(qsizetype row) const { return headed && rows.at(row).size() == 1; }
};

// Lays the report out page after page. With no page count given it only
// counts the pages, drawing nothing: the footers need the count first.
class PageFlow
{
public:
    PageFlow(QPainter &onto, QPagedPaintDevice &pages, QString footerText, int pageCount = 0)
        : painter(onto)
        , device(pages)
        , footer(std::move(footerText))
        , pageTotal(pageCount)
        , plainCells(reportFont(8), &pages)
        , boldCells(reportFont(8, true), &pages)
    {
        const qreal scale = pages.logicalDpiX() / 72.0;
        onto.scale(scale, scale);
        const QRectF area = pages.pageLayout().paintRect(QPageLayout::Point);
        width = area.width();
        bottom = area.height() - footerHeight;
        drawFooter();
    }

    bool drawing() const { return pageTotal > 0; }
    int pageCount() const { return page; }

    void text(const QString &line, const QFont &font, qreal after = 2)
    {
        painter.setFont(font);
        const QRectF bounds = painter.boundingRect(QRectF(0, 0, width, 10000), Qt::TextWordWrap | Qt::AlignLeft, line);
        ensure(bounds.height());
        if (drawing())
            painter.drawText(QRectF(0, y, width, bounds.height()), Qt::TextWordWrap | Qt::AlignLeft, line);
        y += bounds.height() + after;
    }

    void space(qreal points) { y = std::min(y + points, bottom); }

    // Starts a new page unless `points` still fit on this one.
    void ensure(qreal points)
    {
        if (y + points > bottom && y > 0)
            newPage();
    }

    // Rows in `groups` side-by-side copies of the columns, filled down
    // each page then across, so that a long list takes fewer pages. A
    // column that starts under a heading repeats it.
    void table(const Table &table, int groups = 1)
    {
        const qreal groupWidth = (width - (groups - 1) * 12) / groups;
        const auto groupLeft = [&](qsizetype g) { return qreal(g) * (groupWidth + 12); };
        const int firstPage = page;
        qsizetype next = 0;
        qsizetype heading = -1; // over row `next`
        do {
            ensure(rowHeight * (table.headed ? 4 : 3));
            if (page > firstPage && !table.continued.isEmpty())
                text(table.continued, reportFont(10, true));
            const auto lines = qsizetype((bottom - y) / rowHeight) - (table.headed ? 2 : 1);
            const qsizetype count = std::min(table.rows.size() - next, lines * groups);
            const qsizetype used = std::max<qsizetype>(1, (count + lines - 1) / lines);
            const qsizetype perGroup = std::max<qsizetype>(1, (count + used - 1) / used);
            const auto place = [&](const QStringList &cells, qsizetype g, qsizetype line, CellTexts &texts) {
                if (drawing())
                    placeRow(table, cells, groupLeft(g), y + rowHeight * qreal(line), groupWidth, texts);
            };
            for (qsizetype g = 0; g < used && drawing(); ++g)
                painter.fillRect(QRectF(groupLeft(g), y, groupWidth, rowHeight), QColor(0xe8, 0xe8, 0xe8));
            qsizetype tallest = 0;
            for (qsizetype g = 0; g < used; ++g) {
                place(table.titles, g, 0, boldCells);
                qsizetype line = 1;
                const qsizetype start = next + g * perGroup;
                const qsizetype end = std::min(start + perGroup, next + count);
                if (heading >= 0 && start < end && !table.isHeading(start))
                    place(table.rows.at(heading), g, line++, boldCells);
                for (qsizetype row = start; row < end; ++row) {
                    if (table.isHeading(row))
                        heading = row;
                    place(table.rows.at(row), g, line++, table.isHeading(row) ? boldCells : plainCells);
                }
                tallest = std::max(tallest, line);
            }
            if (drawing()) {
                painter.save();
                painter.scale(1 / cellUnits, 1 / cellUnits);
                boldCells.draw(painter);
                plainCells.draw(painter);
                painter.restore();
            }
            next += count;
            y += rowHeight * qreal(tallest) + 6;
        } while (next < table.rows.size());
    }

    // Room across the page for something `height` high, on a new page when
    // it does not fit on this one.
    QRectF take(qreal height)
    {
        ensure(height);
        const QRectF area(0, y, width, height);
        y += height + 6;
        return area;
    }

private:
    void newPage()
    {
        if (drawing())
            device.newPage();
        ++page;
        y = 0;
        drawFooter();
    }

    void drawFooter()
    {
        if (!drawing())
            return;
        painter.setPen(Qt::darkGray);
        const QRectF area(0, bottom + 4, width, footerHeight - 4);
        footers.draw(painter, area, Qt::AlignLeft | Qt::AlignBottom, footer);
        footers.draw(painter, area, Qt::AlignRight | Qt::AlignBottom, u"Pagina %1 di %2"_s.arg(page).arg(pageTotal));
        painter.setPen(Qt::black);
    }

    // `left` and `top` in points.
    static void placeRow(const Table &table, const QStringList &cells, qreal left, qreal top, qreal rowWidth,
                         CellTexts &texts)
    {
        qreal x = left;
        for (qsizetype c = 0; c < cells.size(); ++c) {
            const qreal cell = cells.size() == 1 ? rowWidth : table.widths.at(c) * rowWidth;
            const CellTexts::Shaped &text = texts.shaped(cells.value(c), cell - 4);
            const qreal start = table.alignments.at(c) == Qt::AlignRight ? x + cell - 2 - text.width : x + 2;
            texts.place(
                text,
                QPointF(std::round(start * cellUnits), std::round((top + (rowHeight - text.height) / 2) * cellUnits)));
            x += cell;
        }
    }

    QPainter &painter;
    QPagedPaintDevice &device;
    QString footer;
    LabelCache footers{reportFont(7)};
    qreal width = 0;
    qreal bottom = 0;
    qreal y = 0;
    int page = 1;
    int pageTotal; // 0 while counting the pages
    CellTexts plainCells;
    CellTexts boldCells;
};

QString summaryText(qint64 games, qsizetype pupils, qint64 right, qint64 wrong, std::optional<double> accuracy)
{
    const QLocale locale;
    return u"Partite: %1 · Alunni: %2 · Esatte: %3 · Errate: %4 · Precisione: %5"_s.arg(
        locale.toString(games), locale.toString(pupils), locale.toString(right), locale.toString(wrong),
        percentText(accuracy));
}

QList<qsizetype> pupilsByName(const classregister::ClassFigures &figures)
{
    QList<qsizetype> order(figures.pupils().size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&figures](qsizetype a, qsizetype b) {
        return figures.pupils().at(a).name.localeAwareCompare(figures.pupils().at(b).name) < 0;
    });
    return order;
}

// `withCells` false: the rows hold no cells, enough to count the pages.
Table pupilsTable(const classregister::ClassFigures &figures, const QList<qsizetype> &order, bool withCells)
{
    Table table;
    for (int c = 0; c < PupilTableModel::ColumnCount; ++c) {
        table.titles << PupilTableModel::columnTitle(c);
        table.alignments << (c == PupilTableModel::Name || c == PupilTableModel::Follow ? Qt::AlignLeft
                                                                                        : Qt::AlignRight);
    }
    table.widths = {0.14, 0.06, 0.07, 0.07, 0.09, 0.19, 0.16, 0.11, 0.11};
    table.continued = u"Gli alunni (continua)"_s;
    for (qsizetype row : order) {
        QStringList cells;
        for (int c = 0; c < PupilTableModel::ColumnCount && withCells; ++c)
            cells << PupilTableModel::cellText(figures, row, c);
        table.rows << cells;
    }
    return table;
}

// Each calendar year's games under the year as a heading, dated by day and
// month: the year written once, not on every game of a school's report.
Table gamesTable(const classregister::PupilFigures &pupil, bool withCells)
{
    Table table;
    table.titles = gameColumnTitles();
    table.widths = {0.13, 0.13, 0.14, 0.14, 0.20, 0.26};
    table.alignments = {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight, Qt::AlignRight, Qt::AlignRight, Qt::AlignLeft};
    table.headed = true;
    table.continued = u"%1 (continua)"_s.arg(pupil.name);
    int year = 0;
    for (const classregister::GameRecord &game : pupil.games) {
        const QDate day = game.when.date();
        if (day.year() != year) {
            year = day.year();
            table.rows << QStringList{QString::number(year)};
        }
        if (!withCells) {
            table.rows << QStringList();
            continue;
        }
        QStringList cells = gameCells(game, GameDate::DayAndMonth);
        // Most games run their time out: the few that did not stand out,
        // and the report of a large school is a quarter shorter to write.
        if (game.ending == classregister::Ending::TimeOut)
            cells.last().clear();
        table.rows << cells;
    }
    return table;
}

QString skippedText(const ReportContent &content)
{
    QStringList lines;
    for (const classregister::SkippedLine &line : content.skippedLines)
        lines << skippedLineText(line);
    if (content.skippedCount > lines.size())
        lines << u"…"_s;
    return u"%1 — %2."_s.arg(classregister::skippedLinesText(content.skippedCount), lines.join(u"; "_s));
}

} // namespace

bool printReport(QPagedPaintDevice &device, const ReportContent &content)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    const classregister::ClassFigures &figures = *content.figures;
    const QString period = periodText(content.period, classregister::periodSpan(content.period, content.today));
    const QString footer =
        u"Registro di Mirabolo · %1 · %2"_s.arg(content.source, classregister::periodName(content.period));
    const QList<qsizetype> byName = pupilsByName(figures);
    const QList<qsizetype> byAccuracy = pupilsByAccuracy(figures);
    PupilGamesChart pupilChart;

    const auto layOut = [&](PageFlow &flow) {
        const bool drawing = flow.drawing();
        flow.text(u"Registro di Mirabolo"_s, reportFont(20, true), 4);
        flow.text(u"Classe: %1"_s.arg(content.source), reportFont(10));
        flow.text(u"Periodo: %1"_s.arg(period), reportFont(10));
        flow.text(u"Resoconto del %1"_s.arg(QLocale().toString(content.today, QLocale::LongFormat)), reportFont(10));
        if (content.skippedCount > 0)
            flow.text(skippedText(content), reportFont(9));
        if (content.skippedForNames > 0)
            flow.text(classregister::tooManyNamesText(content.skippedForNames), reportFont(9));
        if (!content.notice.isEmpty())
            flow.text(content.notice, reportFont(10, true));
        flow.space(8);

        flow.text(u"La classe"_s, reportFont(14, true));
        flow.text(
            summaryText(figures.games(), figures.pupils().size(), figures.right(), figures.wrong(), figures.accuracy()),
            reportFont(10), 6);
        if (!byName.isEmpty()) {
            flow.text(u"Gli alunni"_s, reportFont(14, true));
            flow.table(pupilsTable(figures, byName, drawing));
        }
        for (qsizetype first = 0; first < byAccuracy.size(); first += pupilsPerChart) {
            ClassAccuracyChart chart;
            chart.setPupils(figures, byAccuracy.mid(first, pupilsPerChart));
            const QRectF area = flow.take(chart.naturalHeight());
            if (drawing)
                chart.draw(painter, area);
        }

        if (!byName.isEmpty())
            flow.text(
                u"Nelle partite di ogni alunno, Fine è vuota quando la partita è finita allo scadere del tempo."_s,
                reportFont(9), 4);
        for (qsizetype row : byName) {
            const classregister::PupilFigures &pupil = figures.pupils().at(row);
            flow.space(10);
            flow.ensure(30 + pupilChartHeight + rowHeight * 3);
            flow.text(pupil.name, reportFont(13, true));
            const QLocale locale;
            QString line = u"Partite: %1 · Esatte: %2 · Errate: %3 · Precisione: %4 · Andamento: %5"_s.arg(
                locale.toString(pupil.games.size()), locale.toString(pupil.right), locale.toString(pupil.wrong),
                percentText(pupil.accuracy()), trendText(pupil.trend()));
            if (pupil.needsFollowing())
                line += u" · da seguire"_s;
            flow.text(line, reportFont(9), 4);
            const QRectF area = flow.take(pupilChartHeight);
            if (drawing)
                pupilChart.draw(painter, area, pupil);
            flow.table(gamesTable(pupil, drawing), 2);
        }
    };

    // "Pagina N di M" needs M on the first page: the pages are counted
    // first, by the same layout with nothing drawn.
    painter.save();
    PageFlow counting(painter, device, footer);
    layOut(counting);
    painter.restore();
    PageFlow flow(painter, device, footer, counting.pageCount());
    layOut(flow);
    return painter.end();
}

bool writePdfReport(const QString &path, const ReportContent &content, QString *error)
{
    // The report often goes into the class folder, where any pupil may have
    // put a link or a file of theirs at its name: it is written under a fresh
    // name of its own, with this account's usual mode, and then takes the
    // name, replacing whatever stood there without writing through it.
    records::StagedFile file(path, false);
    QIODevice *device = file.open();
    if (!device) {
        *error = u"Impossibile scrivere %1: non si può creare un file nella sua cartella."_s.arg(path);
        return false;
    }
    {
        QPdfWriter writer(device);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(u"Registro di Mirabolo"_s);
        writer.setCreator(u"mirabolo-registro"_s);
        if (!printReport(writer, content)) {
            *error = u"Impossibile scrivere %1"_s.arg(path);
            return false;
        }
    }
    if (!file.place()) {
        *error = u"Impossibile scrivere %1: il disco è pieno, oppure al suo posto c'è qualcosa che non si può "
                 u"sostituire."_s.arg(path);
        return false;
    }
    return true;
}

} // namespace mirabolo::registro
