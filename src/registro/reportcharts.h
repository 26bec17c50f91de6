// The report's charts, painted straight on the page: a school's report holds
// hundreds of them, and a chart scene for each would cost most of the time
// the report takes. They show what the window's charts show, in the same
// colours. Sizes are in points.
#pragma once

#include <QFont>
#include <QList>
#include <QRectF>

class QPainter;

namespace mirabolo::classregister {
class ClassFigures;
struct PupilFigures;
} // namespace mirabolo::classregister

namespace mirabolo::registro {

QFont reportFont(qreal size, bool bold = false);

// Height a class chart of `pupils` bars takes.
qreal classChartHeight(qsizetype pupils);

// Accuracy per pupil as horizontal bars, the first of `order` on top, each
// with its figure at its end.
void drawClassAccuracyChart(QPainter &painter, const QRectF &area, const classregister::ClassFigures &figures,
                            const QList<qsizetype> &order);

// Right and wrong answers of the pupil's last games stacked, counted on the
// left, and the accuracy of each game as a line, in percent on the right.
void drawPupilGamesChart(QPainter &painter, const QRectF &area, const classregister::PupilFigures &pupil);

} // namespace mirabolo::registro
