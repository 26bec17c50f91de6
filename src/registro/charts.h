// The charts of the window and of the report, and the figures behind each, so
// that a table beside a chart says in numbers what the chart shows.
#pragma once

#include <QColor>
#include <QList>
#include <QStringList>

class QChart;

namespace mirabolo::classregister {
class ClassFigures;
struct GameRecord;
struct PupilFigures;
} // namespace mirabolo::classregister

namespace mirabolo::registro {

// Pupils with answers, by accuracy from the best; on a tie by name.
QList<qsizetype> pupilsByAccuracy(const classregister::ClassFigures &figures);

// Accuracy per pupil as horizontal bars, the best on top, for the pupils at
// `order` (rows of figures.pupils()).
QChart *classAccuracyChart(const classregister::ClassFigures &figures, const QList<qsizetype> &order);

// What updateClassAccuracyChart had to change.
enum class ClassChartUpdate {
    Impossible, // another number of pupils: make the chart anew
    Values, // the same pupils in the same order: only the bars of `changed`
    Order // the same number of pupils, in another order or spelling: every bar and name
};

// Brings a chart made by classAccuracyChart up to date in place, so that one
// more game does not pay for laying out every pupil's name again; `changed`
// holds the rows of the pupils whose figures changed since.
ClassChartUpdate updateClassAccuracyChart(QChart &chart, const classregister::ClassFigures &figures,
                                          const QList<qsizetype> &order, const QList<qsizetype> &changed);

// A pupil's last games charted at most, so that each bar stays readable; the
// table beside the chart holds them all.
inline constexpr qsizetype chartedGames = 40;

// Right and wrong answers of the pupil's last games, stacked, with the
// accuracy of each game as a line.
QChart *pupilGamesChart(const classregister::PupilFigures &pupil);

// The same colours on screen and on paper.
inline const QColor rightColour{0x2e, 0x7d, 0x32};
inline const QColor wrongColour{0xc6, 0x28, 0x28};
inline const QColor accuracyColour{0x15, 0x65, 0xc0};

// Index of the first game a pupil's chart shows, and the chart's title.
qsizetype firstChartedGame(const classregister::PupilFigures &pupil);
// `beforeDates` parts the games from their dates: a blank, or a line break.
QString pupilGamesTitle(const classregister::PupilFigures &pupil, const QString &beforeDates);

// Data, Ora, Esatte, Errate, Precisione, Fine.
QStringList gameColumnTitles();
QStringList gameCells(const classregister::GameRecord &game);

} // namespace mirabolo::registro
