#include "registro/charts.h"

#include "classregister/classfigures.h"
#include "registro/texts.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

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

qsizetype firstChartedGame(const classregister::PupilFigures &pupil)
{
    return std::max<qsizetype>(0, pupil.games.size() - chartedGames);
}

QString pupilGamesTitle(const classregister::PupilFigures &pupil)
{
    const qsizetype first = firstChartedGame(pupil);
    QString title =
        first > 0 ? u"%1: le ultime %2 partite"_s.arg(pupil.name).arg(chartedGames) : u"%1: partite"_s.arg(pupil.name);
    if (!pupil.games.isEmpty())
        title +=
            u" dal %1 al %2"_s.arg(dateText(pupil.games.at(first).when.date()), dateText(pupil.lastGame().when.date()));
    return title;
}

QStringList gameColumnTitles()
{
    return {u"Data"_s, u"Ora"_s, u"Esatte"_s, u"Errate"_s, u"Precisione"_s, u"Fine"_s};
}

QStringList gameCells(const classregister::GameRecord &game, GameDate date)
{
    const QDate day = game.when.date();
    return {date == GameDate::Full ? dateText(day) : dayMonthText(day),
            timeText(game.when),
            countText(game.right),
            countText(game.wrong),
            wholePercentText(classregister::accuracy(game.right, game.wrong)),
            classregister::endingText(game.ending)};
}

} // namespace mirabolo::registro
