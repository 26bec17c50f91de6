// The charts of the window and of the report, painted straight on the screen
// or the page (a school's report holds hundreds of them, and the window
// repaints them as games end), each a view of an item model: the table
// beside a chart shows the same rows. Sizes are in points.
#pragma once

#include "report/glyphcache.h"

#include <QColor>
#include <QHash>
#include <QRectF>

class QPainter;

namespace mirabolo::registro {

class ClassRankingModel;
class PupilGamesModel;

// The same colours on screen and on paper.
inline const QColor rightColour{0x2e, 0x7d, 0x32};
inline const QColor wrongColour{0xc6, 0x28, 0x28};
inline const QColor accuracyColour{0x15, 0x65, 0xc0};
// Pupils "da seguire", and the threshold that says so.
inline const QColor followColour{0xb7, 0x1c, 0x1c};

// The charts' labels: axes, names, figures, legends.
QFont chartLabelFont();

// Accuracy per pupil as horizontal bars, the first on top, each with its
// figure at its end: `count` rows of the ranking from `first` (all when
// negative).
class ClassAccuracyChart
{
public:
    explicit ClassAccuracyChart(const ClassRankingModel &ranking, int first = 0, int count = -1);

    int bars() const;
    // Height the chart takes with rows of a readable size.
    qreal naturalHeight() const;
    // Only the bars that cross `exposed` are drawn, when it is not empty.
    void draw(QPainter &painter, report::GlyphCache &labels, const QRectF &area, const QRectF &exposed = {});

private:
    const ClassRankingModel &model;
    int firstRow;
    int rowCount;
    QHash<QString, qreal> nameWidths; // a name is measured once
};

// A pupil's last games at most, so that each bar stays readable; the table
// beside the chart holds them all.
inline constexpr int chartedGames = 40;

// Right and wrong answers of a pupil's last games stacked, counted on the
// left, and the accuracy of each game as a line, in percent on the right.
void drawPupilGames(QPainter &painter, report::GlyphCache &labels, const QRectF &area, const PupilGamesModel &games);

} // namespace mirabolo::registro
