// The charts of the report and of the window, painted straight on the page
// or the screen: a school's report holds hundreds of them, and the window
// repaints them as games end, so a chart scene for each would cost most of
// the time either takes. Sizes are in points.
#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QRectF>

#include <optional>

class QPainter;

namespace mirabolo::classregister {
class ClassFigures;
struct PupilFigures;
} // namespace mirabolo::classregister

namespace mirabolo::registro {

QFont reportFont(qreal size, bool bold = false);

// Short texts drawn again and again (axis labels, game numbers, legends,
// page footers), each shaped once for the device it is first drawn on.
class LabelCache
{
public:
    explicit LabelCache(const QFont &font);
    const QFont &font() const { return labelFont; }
    qreal height() const { return lineHeight; }
    qreal width(const QString &text, const QPainter &painter);
    // In the painter's pen, placed in `box` as `alignment` says.
    void draw(QPainter &painter, const QRectF &box, Qt::Alignment alignment, const QString &text);

private:
    struct Shaped
    {
        QList<QGlyphRun> runs;
        QSizeF size;
    };
    const Shaped &shaped(const QString &text, const QPainter &painter);

    QFont labelFont;
    qreal lineHeight;
    QHash<QString, Shaped> cache;
};

// Accuracy per pupil as horizontal bars, the first on top, each with its
// figure at its end.
class ClassAccuracyChart
{
public:
    struct Bar
    {
        QString name;
        std::optional<double> accuracy;
    };

    // The pupils at `order` (rows of figures.pupils()); a name measured
    // before is not measured again.
    void setPupils(const classregister::ClassFigures &figures, const QList<qsizetype> &order);
    const QList<Bar> &bars() const { return shown; }
    // Height the chart takes with rows of a readable size.
    qreal naturalHeight() const;
    // Only the bars that cross `exposed` are drawn, when it is not empty.
    void draw(QPainter &painter, const QRectF &area, const QRectF &exposed = {}) const;

private:
    QList<Bar> shown;
    qreal widestName = 0;
    QHash<QString, qreal> nameWidths;
    // Names and figures too, not only the axis: the window repaints bars.
    mutable LabelCache labels{reportFont(7)};
};

// Right and wrong answers of a pupil's last games stacked, counted on the
// left, and the accuracy of each game as a line, in percent on the right.
// One chart draws any pupil's games, its labels shaped once for them all.
class PupilGamesChart
{
public:
    void draw(QPainter &painter, const QRectF &area, const classregister::PupilFigures &pupil);

private:
    LabelCache labels{reportFont(7)};
};

} // namespace mirabolo::registro
