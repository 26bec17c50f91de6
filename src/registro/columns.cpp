#include "registro/columns.h"

#include "classregister/classfigures.h"
#include "registro/reportcontent.h"
#include "registro/texts.h"

#include <QLocale>

#include <limits>

using namespace Qt::StringLiterals;
using mirabolo::classregister::GameRecord;
using mirabolo::classregister::PupilFigures;

namespace mirabolo::registro {

namespace {

// An absent figure sorts below every real one.
constexpr double noValue = -std::numeric_limits<double>::infinity();

constexpr Qt::Alignment left = Qt::AlignLeft;
constexpr Qt::Alignment right = Qt::AlignRight;

} // namespace

const QList<PupilColumn> &pupilColumns()
{
    static const QList<PupilColumn> columns = {
        {.title = u"Nome"_s,
         .paperWidth = 13,
         .alignment = left,
         .text = [](const PupilFigures &p) { return p.name; },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.name.toCaseFolded(); }},
        {.title = u"Partite"_s,
         .paperWidth = 7,
         .alignment = right,
         .text = [](const PupilFigures &p) { return QLocale().toString(p.games.size()); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return qint64(p.games.size()); }},
        // Time on task: the games' minutes, a plain number for a spreadsheet.
        {.title = u"Minuti"_s,
         .paperWidth = 6,
         .alignment = right,
         .text = [](const PupilFigures &p) { return QLocale().toString(p.minutesPlayed()); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.secondsPlayed; }},
        {.title = u"Esatte"_s,
         .paperWidth = 7,
         .alignment = right,
         .text = [](const PupilFigures &p) { return QLocale().toString(p.right); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.right; }},
        {.title = u"Errate"_s,
         .paperWidth = 7,
         .alignment = right,
         .text = [](const PupilFigures &p) { return QLocale().toString(p.wrong); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.wrong; }},
        {.title = u"Precisione"_s,
         .paperWidth = 10,
         .alignment = right,
         .text = [](const PupilFigures &p) { return percentText(p.accuracy()); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.accuracy().value_or(noValue); }},
        {.title = u"Miglior partita"_s,
         .paperWidth = 17,
         .alignment = right,
         .text =
             [](const PupilFigures &p) {
                 if (!p.played())
                     return noGameText();
                 return u"%1 esatte, %2"_s.arg(QLocale().toString(p.bestGame().right),
                                               dateText(p.bestGame().when.date()));
             },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.played() ? p.bestGame().right : -1; }},
        {.title = u"Ultima partita"_s,
         .paperWidth = 15,
         .alignment = right,
         .text = [](const PupilFigures &p) { return p.played() ? dateTimeText(p.lastGame().when) : QString(); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.played() ? p.lastGame().when : QDateTime(); }},
        {.title = u"Andamento"_s,
         .paperWidth = 10,
         .alignment = right,
         .text = [](const PupilFigures &p) { return trendText(p.trend()); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.trend().value_or(noValue); }},
        {.title = u"Da seguire"_s,
         .paperWidth = 9,
         .alignment = left,
         .text = [](const PupilFigures &p) { return p.needsFollowing() ? followText() : QString(); },
         .sortValue = [](const PupilFigures &p) -> QVariant { return p.needsFollowing(); },
         .ink = QColor(Qt::darkRed)},
    };
    return columns;
}

const QList<GameColumn> &gameColumns()
{
    static const QList<GameColumn> columns = {
        // Each year's games stand under the year on paper: the year is not
        // written again on every game of a school's report.
        {.title = u"Data"_s,
         .paperWidth = 13,
         .alignment = left,
         .text = [](const GameRecord &g) { return dateText(g.when.date()); },
         .paperText = [](const GameRecord &g) { return dayMonthText(g.when.date()); }},
        {.title = u"Ora"_s,
         .paperWidth = 13,
         .alignment = left,
         .text = [](const GameRecord &g) { return timeText(g.when); }},
        {.title = u"Esatte"_s,
         .paperWidth = 14,
         .alignment = right,
         .text = [](const GameRecord &g) { return countText(g.right); }},
        {.title = u"Errate"_s,
         .paperWidth = 14,
         .alignment = right,
         .text = [](const GameRecord &g) { return countText(g.wrong); }},
        {.title = u"Precisione"_s,
         .paperWidth = 20,
         .alignment = right,
         .text = [](const GameRecord &g) { return wholePercentText(classregister::accuracy(g.right, g.wrong)); }},
        // Most games run their time out: on paper the few that did not stand
        // out, and the report of a large school is a quarter shorter to write.
        {.title = u"Fine"_s,
         .paperWidth = 26,
         .alignment = left,
         .text = [](const GameRecord &g) { return classregister::endingText(g.ending); },
         .paperText =
             [](const GameRecord &g) {
                 return g.ending == classregister::Ending::TimeOut ? QString() : classregister::endingText(g.ending);
             }},
    };
    return columns;
}

const QList<PupilColumn> &rankingColumns()
{
    static const QList<PupilColumn> columns = {
        {.title = u"Alunno"_s, .alignment = left, .text = [](const PupilFigures &p) { return p.name; }},
        {.title = u"Precisione"_s,
         .alignment = right,
         .text = [](const PupilFigures &p) { return percentText(p.accuracy()); }},
        {.title = u"Da seguire"_s,
         .alignment = left,
         .text = [](const PupilFigures &p) { return p.needsFollowing() ? followText() : QString(); }},
    };
    return columns;
}

} // namespace mirabolo::registro
