#include "charts.h"

#include "classregister/classfigures.h"
#include "texts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

QChart *newChart(const QString &title)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

QValueAxis *percentAxis(const QString &title)
{
    auto *axis = new QValueAxis;
    axis->setRange(0, 100);
    axis->setTickCount(6);
    axis->setLabelFormat(u"%d%%"_s);
    axis->setTitleText(title);
    return axis;
}

} // namespace

QList<qsizetype> pupilsByAccuracy(const classregister::ClassFigures &figures)
{
    const QList<classregister::PupilFigures> &pupils = figures.pupils();
    QList<qsizetype> order;
    for (qsizetype i = 0; i < pupils.size(); ++i)
        if (pupils.at(i).accuracy())
            order.append(i);
    std::stable_sort(order.begin(), order.end(), [&pupils](qsizetype a, qsizetype b) {
        const double left = *pupils.at(a).accuracy();
        const double right = *pupils.at(b).accuracy();
        if (left != right)
            return left > right;
        return pupils.at(a).name.localeAwareCompare(pupils.at(b).name) < 0;
    });
    return order;
}

QChart *classAccuracyChart(const classregister::ClassFigures &figures, const QList<qsizetype> &order)
{
    QChart *chart = newChart(u"Precisione per alunno"_s);
    auto *bars = new QBarSet(u"Precisione"_s);
    bars->setColor(accuracyColour);
    QStringList names;
    // The axis draws its first category at the bottom.
    for (qsizetype i = order.size(); i-- > 0;) {
        const classregister::PupilFigures &pupil = figures.pupils().at(order.at(i));
        *bars << *pupil.accuracy() * 100;
        names << pupil.name;
    }
    auto *series = new QHorizontalBarSeries;
    series->append(bars);
    series->setBarWidth(0.7);
    chart->addSeries(series);
    auto *pupilAxis = new QBarCategoryAxis;
    pupilAxis->append(names);
    pupilAxis->setTruncateLabels(false);
    chart->addAxis(pupilAxis, Qt::AlignLeft);
    series->attachAxis(pupilAxis);
    QValueAxis *valueAxis = percentAxis(u"Risposte esatte sul totale"_s);
    chart->addAxis(valueAxis, Qt::AlignBottom);
    series->attachAxis(valueAxis);
    chart->legend()->hide();
    return chart;
}

ClassChartUpdate updateClassAccuracyChart(QChart &chart, const classregister::ClassFigures &figures,
                                          const QList<qsizetype> &order, const QList<qsizetype> &changed)
{
    const QList<QAbstractSeries *> series = chart.series();
    auto *bars = series.size() == 1 ? qobject_cast<QHorizontalBarSeries *>(series.first()) : nullptr;
    const QList<QAbstractAxis *> axes = chart.axes(Qt::Vertical);
    auto *pupilAxis = axes.size() == 1 ? qobject_cast<QBarCategoryAxis *>(axes.first()) : nullptr;
    if (bars == nullptr || bars->count() != 1 || pupilAxis == nullptr || pupilAxis->count() != order.size())
        return ClassChartUpdate::Impossible;
    QBarSet *values = bars->barSets().first();
    const qsizetype count = order.size();
    const auto value = [&](qsizetype row) { return *figures.pupils().at(row).accuracy() * 100; };
    // The axis draws its first category at the bottom.
    QStringList names;
    names.reserve(count);
    for (qsizetype i = count; i-- > 0;)
        names << figures.pupils().at(order.at(i)).name;
    // No two pupils share a name: the same names in the same places are the
    // same order.
    QStringList shown = pupilAxis->categories();
    if (shown != names) {
        // Name by name, since setting them all lays every label out twice;
        // a swap goes through a name no pupil has, as the axis refuses two
        // alike.
        QString spare = u"\u0001"_s;
        while (shown.contains(spare))
            spare += u'\u0001';
        for (qsizetype i = 0; i < count; ++i) {
            if (shown.at(i) == names.at(i))
                continue;
            const qsizetype from = shown.indexOf(names.at(i), i + 1);
            if (from < 0) {
                pupilAxis->replace(shown.at(i), names.at(i));
                shown[i] = names.at(i);
                continue;
            }
            pupilAxis->replace(shown.at(i), spare);
            pupilAxis->replace(names.at(i), shown.at(i));
            pupilAxis->replace(spare, names.at(i));
            shown.swapItemsAt(i, from);
        }
        for (qsizetype i = 0; i < count; ++i)
            if (const qreal wanted = value(order.at(count - 1 - i)); values->at(int(i)) != wanted)
                values->replace(int(i), wanted);
        return ClassChartUpdate::Order;
    }
    for (const qsizetype row : changed) {
        const qsizetype at = order.indexOf(row);
        if (at >= 0)
            values->replace(int(count - 1 - at), value(row));
    }
    return ClassChartUpdate::Values;
}

qsizetype firstChartedGame(const classregister::PupilFigures &pupil)
{
    return std::max<qsizetype>(0, pupil.games.size() - chartedGames);
}

QString pupilGamesTitle(const classregister::PupilFigures &pupil, const QString &beforeDates)
{
    const qsizetype first = firstChartedGame(pupil);
    QString title =
        first > 0 ? u"%1: le ultime %2 partite"_s.arg(pupil.name).arg(chartedGames) : u"%1: partite"_s.arg(pupil.name);
    if (!pupil.games.isEmpty())
        title += beforeDates +
            u"dal %1 al %2"_s.arg(dateText(pupil.games.at(first).when.date()), dateText(pupil.lastGame().when.date()));
    return title;
}

QChart *pupilGamesChart(const classregister::PupilFigures &pupil)
{
    const qsizetype first = firstChartedGame(pupil);
    // Two lines: the window's chart is narrower than a page.
    QChart *chart = newChart(pupilGamesTitle(pupil, u"<br>"_s));
    auto *right = new QBarSet(u"Esatte"_s);
    auto *wrong = new QBarSet(u"Errate"_s);
    right->setColor(rightColour);
    wrong->setColor(wrongColour);
    auto *line = new QLineSeries;
    line->setName(u"Precisione"_s);
    line->setPen(QPen(accuracyColour, 2));
    line->setPointsVisible(true);
    QStringList labels;
    int most = 1;
    for (qsizetype i = first; i < pupil.games.size(); ++i) {
        const classregister::GameRecord &game = pupil.games.at(i);
        *right << game.right;
        *wrong << game.wrong;
        most = std::max(most, game.answered());
        if (const auto share = classregister::accuracy(game.right, game.wrong))
            line->append(double(i - first), *share * 100);
        labels << QString::number(i + 1);
    }
    auto *bars = new QStackedBarSeries;
    bars->append(right);
    bars->append(wrong);
    chart->addSeries(bars);
    chart->addSeries(line);

    auto *gameAxis = new QBarCategoryAxis;
    gameAxis->append(labels);
    gameAxis->setTruncateLabels(false);
    gameAxis->setTitleText(u"Partita n."_s);
    // A category axis cannot skip labels, and many numbers side by side run
    // into each other; the chart's title then says which games they are.
    if (labels.size() > 12) {
        gameAxis->setLabelsVisible(false);
        gameAxis->setTitleVisible(false);
    }
    chart->addAxis(gameAxis, Qt::AlignBottom);
    bars->attachAxis(gameAxis);
    line->attachAxis(gameAxis);
    auto *answerAxis = new QValueAxis;
    answerAxis->setRange(0, most);
    answerAxis->applyNiceNumbers();
    answerAxis->setLabelFormat(u"%d"_s);
    answerAxis->setTitleText(u"Risposte"_s);
    chart->addAxis(answerAxis, Qt::AlignLeft);
    bars->attachAxis(answerAxis);
    QValueAxis *accuracyAxis = percentAxis(u"Precisione"_s);
    chart->addAxis(accuracyAxis, Qt::AlignRight);
    line->attachAxis(accuracyAxis);
    chart->legend()->setAlignment(Qt::AlignBottom);
    return chart;
}

QStringList gameColumnTitles()
{
    return {u"Data"_s, u"Ora"_s, u"Esatte"_s, u"Errate"_s, u"Precisione"_s, u"Fine"_s};
}

QStringList gameCells(const classregister::GameRecord &game)
{
    const QLocale locale;
    return {dateText(game.when.date()),
            timeText(game.when),
            locale.toString(game.right),
            locale.toString(game.wrong),
            percentText(classregister::accuracy(game.right, game.wrong)),
            classregister::endingText(game.ending)};
}

} // namespace mirabolo::registro
