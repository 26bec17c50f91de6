// What the charts of the window and of the report show, and the figures
// behind each, so that a table beside a chart says in numbers what the chart
// shows.
#pragma once

#include <QColor>
#include <QList>
#include <QStringList>

namespace mirabolo::classregister {
class ClassFigures;
struct GameRecord;
struct PupilFigures;
} // namespace mirabolo::classregister

namespace mirabolo::registro {

// Pupils with answers, by accuracy from the best; on a tie by name.
QList<qsizetype> pupilsByAccuracy(const classregister::ClassFigures &figures);

// A pupil's last games charted at most, so that each bar stays readable; the
// table beside the chart holds them all.
inline constexpr qsizetype chartedGames = 40;

// The same colours on screen and on paper.
inline const QColor rightColour{0x2e, 0x7d, 0x32};
inline const QColor wrongColour{0xc6, 0x28, 0x28};
inline const QColor accuracyColour{0x15, 0x65, 0xc0};

// Index of the first game a pupil's chart shows, and the chart's title.
qsizetype firstChartedGame(const classregister::PupilFigures &pupil);
QString pupilGamesTitle(const classregister::PupilFigures &pupil);

// Data, Ora, Esatte, Errate, Precisione, Fine.
QStringList gameColumnTitles();
enum class GameDate { Full, DayAndMonth };
QStringList gameCells(const classregister::GameRecord &game, GameDate date = GameDate::Full);

} // namespace mirabolo::registro
