#include "registro/report.h"

#include "records/folderfile.h"
#include "registro/answerreport.h"
#include "registro/charts.h"
#include "registro/classanswers.h"
#include "registro/classmodels.h"
#include "registro/columns.h"
#include "registro/texts.h"
#include "report/pageflow.h"

#include <QLocale>
#include <QPagedPaintDevice>
#include <QPdfWriter>

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;
using mirabolo::report::PageFlow;
using mirabolo::report::reportFont;
using mirabolo::report::Table;

namespace mirabolo::registro {

namespace {

constexpr qreal pupilChartHeight = 170;
// A pupil's sheet lists the games in this many columns side by side.
constexpr int sheetGroups = 2;
// A class chart for more pupils than this goes on over several charts.
constexpr int pupilsPerChart = 50;

template<typename Row>
Table tableOf(const QList<Column<Row>> &columns, const QString &continued)
{
    Table table;
    table.continued = continued;
    for (const Column<Row> &column : columns) {
        table.titles << column.title;
        table.alignments << column.alignment;
    }
    table.widths = paperWidths(columns);
    return table;
}

template<typename Row>
QStringList cellsOf(const QList<Column<Row>> &columns, const Row &row)
{
    QStringList cells;
    cells.reserve(columns.size());
    for (const Column<Row> &column : columns)
        cells << column.onPaper(row);
    return cells;
}

// Each calendar year's games under the year as a heading; `withCells`
// false: the games' rows hold no cells, enough to count the pages.
Table gamesTable(const PupilGamesModel &games, bool withCells, int firstRow = 0)
{
    Table table = tableOf(gameColumns(), u"%1 (continua)"_s.arg(games.pupil()->name));
    table.headed = true;
    int year = 0;
    for (int row = firstRow; row < games.rowCount(); ++row) {
        const classregister::GameRecord &game = games.record(row);
        if (game.when.date().year() != year) {
            year = game.when.date().year();
            table.rows << QStringList{QString::number(year)};
        }
        table.rows << (withCells ? cellsOf(gameColumns(), game) : QStringList());
    }
    return table;
}

// The games a sheet shows in two columns: how many of the most recent fit in
// `room` points with the line that says how many are left out.
int gamesOnSheet(const PupilGamesModel &games, qreal room, qreal noteHeight)
{
    const auto fits = [&games](int shown, qreal points) {
        const auto lines = qsizetype(points / PageFlow::rowHeight) - 2; // the titles and a year's heading
        return lines > 0 &&
            report::paginate(gamesTable(games, false, games.rowCount() - shown), lines, lines, sheetGroups).size() == 1;
    };
    const int total = games.rowCount();
    if (fits(total, room))
        return total;
    // Most fit at once: each year's heading and each column's repeated one
    // take a line more.
    int shown = std::min(total, int(room / PageFlow::rowHeight) * sheetGroups);
    while (shown > 0 && !fits(shown, room - noteHeight))
        --shown;
    return shown;
}

// One A4 page of a pupil's term, for a parents' meeting: whose and when, the
// figures, what to go over, the chart, then the games, the most recent that
// fit.
void layOutSheet(QPainter &painter, PageFlow &flow, const ReportContent &content, const QString &period,
                 PupilGamesModel &games, qsizetype row)
{
    games.setPupilRow(row);
    const classregister::PupilFigures &pupil = *games.pupil();
    flow.text(u"Scheda di %1"_s.arg(pupil.name), reportFont(18, true), 4);
    flow.text(u"Classe: %1 · Periodo: %2"_s.arg(content.classTitle(), period), reportFont(10));
    flow.text(u"Registro di Mirabolo, %1"_s.arg(QLocale().toString(content.today, QLocale::LongFormat)), reportFont(10),
              8);
    flow.text(pupilSummaryText(pupil), reportFont(11, true), 2);
    if (pupil.played()) {
        flow.text(u"Miglior partita (%1): esatte %2, errate %3 · Ultima partita: %4"_s.arg(
                      dateText(pupil.bestGame().when.date()), countText(pupil.bestGame().right),
                      countText(pupil.bestGame().wrong), dateTimeText(pupil.lastGame().when)),
                  reportFont(10), 2);
    }
    flow.text(ruleText(content.figures->rule()) + u"."_s, reportFont(9), 8);
    if (!pupil.played())
        return;
    if (content.answers)
        layOutPupilAnswers(flow, content.answers->tally(pupil.name));
    const QRectF area = flow.take(pupilChartHeight);
    if (flow.drawing())
        drawPupilGames(painter, flow.labels(), area, games);
    const QFont noteFont = reportFont(9);
    const QString note = u"Qui le ultime %1 partite del periodo: le %2 precedenti sono nel resoconto della classe."_s;
    const qreal noteHeight = flow.textHeight(note, noteFont) + 2;
    const int shown = gamesOnSheet(games, flow.room(), noteHeight);
    if (shown < games.rowCount())
        flow.text(note.arg(countText(shown), countText(games.rowCount() - shown)), noteFont);
    flow.table(gamesTable(games, flow.drawing(), games.rowCount() - shown), sheetGroups);
}

} // namespace

QList<qsizetype> pupilsByName(const classregister::ClassFigures &figures)
{
    QList<qsizetype> order(figures.pupils().size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&figures](qsizetype a, qsizetype b) {
        return figures.pupils().at(a).name.localeAwareCompare(figures.pupils().at(b).name) < 0;
    });
    return order;
}

bool printReport(QPagedPaintDevice &device, const ReportContent &content)
{
    const classregister::ClassFigures &figures = *content.figures;
    const QString period = periodText(content.period, figures.span());
    if (!content.sheets.isEmpty()) {
        PupilGamesModel games(figures);
        return report::layOutPages(
            device,
            u"Registro di Mirabolo · %1 · %2"_s.arg(content.classTitle(), classregister::periodName(content.period)),
            [&](QPainter &painter, PageFlow &flow) {
                for (qsizetype i = 0; i < content.sheets.size(); ++i) {
                    if (i > 0)
                        flow.pageBreak();
                    layOutSheet(painter, flow, content, period, games, content.sheets.at(i));
                }
            });
    }
    const QList<qsizetype> byName = pupilsByName(figures);
    const ClassRankingModel ranking(figures);
    PupilGamesModel games(figures);
    const auto layOut = [&](QPainter &painter, PageFlow &flow) {
        // While the pages are only counted, tables hold no texts and charts
        // take their room undrawn.
        const bool drawing = flow.drawing();
        flow.text(u"Registro di Mirabolo"_s, reportFont(20, true), 4);
        flow.text(u"Classe: %1"_s.arg(content.classTitle()), reportFont(10));
        flow.text(u"Periodo: %1"_s.arg(period), reportFont(10));
        flow.text(u"Resoconto del %1"_s.arg(QLocale().toString(content.today, QLocale::LongFormat)), reportFont(10));
        if (content.skippedCount > 0)
            flow.text(skippedSummaryText(content), reportFont(9));
        if (content.skippedForNames > 0)
            flow.text(classregister::tooManyNamesText(content.skippedForNames), reportFont(9));
        if (!content.notice.isEmpty())
            flow.text(content.notice, reportFont(10, true));
        flow.space(8);

        flow.text(u"La classe"_s, reportFont(14, true));
        flow.text(classSummaryText(figures), reportFont(10), 2);
        if (const QString unlisted = unlistedText(figures); !unlisted.isEmpty())
            flow.text(unlisted + u"."_s, reportFont(10), 2);
        flow.text(ruleText(figures.rule()) + u"."_s, reportFont(10), 6);
        if (!byName.isEmpty()) {
            flow.text(u"Gli alunni"_s, reportFont(14, true));
            Table pupils = tableOf(pupilColumns(), u"Gli alunni (continua)"_s);
            for (qsizetype row : byName)
                pupils.rows << (drawing ? cellsOf(pupilColumns(), figures.pupils().at(row)) : QStringList());
            flow.table(pupils);
        }
        for (int first = 0; first < ranking.rowCount(); first += pupilsPerChart) {
            ClassAccuracyChart chart(ranking, first, pupilsPerChart);
            const QRectF area = flow.take(chart.naturalHeight());
            if (drawing)
                chart.draw(painter, flow.labels(), area);
        }
        if (content.answers)
            layOutClassAnswers(flow, *content.answers);

        if (!byName.isEmpty())
            flow.text(
                u"Nelle partite di ogni alunno, Fine è vuota quando la partita è finita allo scadere del tempo."_s,
                reportFont(9), 4);
        for (qsizetype row : byName) {
            games.setPupilRow(row);
            const classregister::PupilFigures &pupil = *games.pupil();
            flow.space(10);
            if (!pupil.played()) {
                flow.ensure(30);
                flow.text(pupil.name, reportFont(13, true));
                flow.text(pupilSummaryText(pupil), reportFont(9), 4);
                continue;
            }
            flow.ensure(30 + pupilChartHeight + PageFlow::rowHeight * 3);
            flow.text(pupil.name, reportFont(13, true));
            flow.text(pupilSummaryText(pupil), reportFont(9), 4);
            if (content.answers)
                layOutPupilAnswers(flow, content.answers->tally(pupil.name));
            const QRectF area = flow.take(pupilChartHeight);
            if (drawing)
                drawPupilGames(painter, flow.labels(), area, games);
            flow.table(gamesTable(games, drawing), 2);
        }
    };
    return report::layOutPages(
        device,
        u"Registro di Mirabolo · %1 · %2"_s.arg(content.classTitle(), classregister::periodName(content.period)),
        layOut);
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
