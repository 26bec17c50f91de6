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

const QColor rightColour(0x2e, 0x7d, 0x32);
const QColor wrongColour(0xc6, 0x28, 0x28);
const QColor accuracyColour(0x15, 0x65, 0xc0);

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

QChart *pupilGamesChart(const classregister::PupilFigures &pupil)
{
    const qsizetype first = std::max<qsizetype>(0, pupil.games.size() - chartedGames);
    QString title =
        first > 0 ? u"%1: le ultime %2 partite"_s.arg(pupil.name).arg(chartedGames) : u"%1: partite"_s.arg(pupil.name);
    if (!pupil.games.isEmpty())
        title +=
            u" dal %1 al %2"_s.arg(dateText(pupil.games.at(first).when.date()), dateText(pupil.lastGame().when.date()));
    QChart *chart = newChart(title);
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
    chart->addAxis(gameAxis, Qt::AlignBottom);
    bars->attachAxis(gameAxis);
    line->attachAxis(gameAxis);
    auto *answerAxis = new QValueAxis;
    answerAxis->setRange(0, most);
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
