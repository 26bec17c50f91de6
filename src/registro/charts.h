// The charts of the window and of the report, and the figures behind each, so
// that a table beside a chart says in numbers what the chart shows.
#pragma once

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

// A pupil's last games charted at most, so that each bar stays readable; the
// table beside the chart holds them all.
inline constexpr qsizetype chartedGames = 40;

// Right and wrong answers of the pupil's last games, stacked, with the
// accuracy of each game as a line.
QChart *pupilGamesChart(const classregister::PupilFigures &pupil);

// Data, Ora, Esatte, Errate, Precisione, Fine.
QStringList gameColumnTitles();
QStringList gameCells(const classregister::GameRecord &game);

} // namespace mirabolo::registro
