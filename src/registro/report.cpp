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

QList<qsizetype> pupilsByName(const classregister::ClassFigures &figures)
{
    QList<qsizetype> order(figures.pupils().size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&figures](qsizetype a, qsizetype b) {
        return figures.pupils().at(a).name.localeAwareCompare(figures.pupils().at(b).name) < 0;
    });
    return order;
}

// Each calendar year's games under the year as a heading; `withCells`
// false: the games' rows hold no cells, enough to count the pages.
Table gamesTable(const PupilGamesModel &games, bool withCells)
{
    Table table = tableOf(gameColumns(), u"%1 (continua)"_s.arg(games.pupil()->name));
    table.headed = true;
    int year = 0;
    for (int row = 0; row < games.rowCount(); ++row) {
        const classregister::GameRecord &game = games.record(row);
        if (game.when.date().year() != year) {
            year = game.when.date().year();
            table.rows << QStringList{QString::number(year)};
        }
        table.rows << (withCells ? cellsOf(gameColumns(), game) : QStringList());
    }
    return table;
}

} // namespace

bool printReport(QPagedPaintDevice &device, const ReportContent &content)
{
    const classregister::ClassFigures &figures = *content.figures;
    const QString period = periodText(content.period, classregister::periodSpan(content.period, content.today));
    const QList<qsizetype> byName = pupilsByName(figures);
    const ClassRankingModel ranking(figures);
    PupilGamesModel games(figures);
    const auto layOut = [&](QPainter &painter, PageFlow &flow) {
        // While the pages are only counted, tables hold no texts and charts
        // take their room undrawn.
        const bool drawing = flow.drawing();
        flow.text(u"Registro di Mirabolo"_s, reportFont(20, true), 4);
        flow.text(u"Classe: %1"_s.arg(content.source), reportFont(10));
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
        flow.text(classSummaryText(figures), reportFont(10), 6);
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
        device, u"Registro di Mirabolo · %1 · %2"_s.arg(content.source, classregister::periodName(content.period)),
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
