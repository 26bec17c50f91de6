#include "registro/reportcharts.h"

#include "classregister/classfigures.h"
#include "registro/charts.h"
#include "registro/texts.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mirabolo::registro {

namespace {

constexpr qreal gap = 3;
constexpr qreal tick = 3;
constexpr qreal barRowHeight = 13;
const QColor axisColour(0x50, 0x50, 0x50);
const QColor gridColour(0xdc, 0xdc, 0xdc);

// Labels at equal steps from the axis's start, and the axis's title.
struct Axis
{
    QStringList labels;
    QString title;
};

Axis percentAxis(const QString &title)
{
    Axis axis{{}, title};
    for (int percent = 0; percent <= 100; percent += 20)
        axis.labels << QLocale().toString(percent) + u'%';
    return axis;
}

// A round step of about range / wanted: 1, 2 or 5 times a power of ten,
// never below 1, so that the ticks fall on whole answers.
int roundStep(int range, int wanted)
{
    const double raw = std::max(1.0, double(range) / wanted);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double times : {1.0, 2.0, 5.0})
        if (times * power >= raw)
            return int(std::lround(times * power));
    return int(std::lround(10 * power));
}

qreal widest(LabelCache &labels, const QPainter &painter, const QStringList &texts)
{
    qreal most = 0;
    for (const QString &text : texts)
        most = std::max(most, labels.width(text, painter));
    return most;
}

// Room a vertical axis takes beside the plot: ticks, labels, upright title.
qreal verticalAxisWidth(LabelCache &labels, const QPainter &painter, const Axis &axis)
{
    return tick + gap + widest(labels, painter, axis.labels) + gap + labels.height();
}

// Draws the title across the top of `area`, on more lines if it is narrow,
// and takes its room off it.
void drawTitle(QPainter &painter, QRectF &area, const QString &title)
{
    painter.setFont(reportFont(9, true));
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    const QRectF room(area.left(), area.top(), area.width(), area.height());
    const qreal height = painter.boundingRect(room, flags, title).height();
    painter.drawText(room, flags, title);
    area.setTop(area.top() + height + gap);
}

// `text` read from below, centred on `centre`.
void drawUpright(QPainter &painter, LabelCache &labels, const QPointF &centre, const QString &text)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(-90);
    labels.draw(painter, QRectF(-300, -20, 600, 40), Qt::AlignCenter, text);
    painter.restore();
}

// Lines across the plot at each of `steps` equal steps, under the marks.
void drawGrid(QPainter &painter, const QRectF &plot, qsizetype steps, Qt::Orientation across)
{
    painter.setPen(QPen(gridColour, 0.5));
    for (qsizetype i = 1; i <= steps; ++i) {
        const qreal share = qreal(i) / qreal(steps);
        if (across == Qt::Horizontal) {
            const qreal y = plot.bottom() - plot.height() * share;
            painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        } else {
            const qreal x = plot.left() + plot.width() * share;
            painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        }
    }
}

// The axis up the left or the right side of the plot.
void drawVerticalAxis(QPainter &painter, LabelCache &labels, const QRectF &plot, Qt::Edge edge, const Axis &axis)
{
    const bool left = edge == Qt::LeftEdge;
    const qreal x = left ? plot.left() : plot.right();
    const qreal outwards = left ? -1 : 1;
    painter.setPen(axisColour);
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    const auto steps = qreal(axis.labels.size() - 1);
    for (qsizetype i = 0; i < axis.labels.size(); ++i) {
        const qreal y = plot.bottom() - plot.height() * qreal(i) / steps;
        painter.drawLine(QPointF(x, y), QPointF(x + outwards * tick, y));
        const qreal start = x + outwards * (tick + gap);
        const QRectF box(left ? start - 200 : start, y - labels.height() / 2, 200, labels.height());
        labels.draw(painter, box, (left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, axis.labels.at(i));
    }
    const qreal titleX = x + outwards * (tick + 2 * gap + widest(labels, painter, axis.labels) + labels.height() / 2);
    drawUpright(painter, labels, QPointF(titleX, plot.center().y()), axis.title);
}

// The axis under the plot: labels at equal steps from the left, the title below.
void drawBottomAxis(QPainter &painter, LabelCache &labels, const QRectF &plot, const Axis &axis)
{
    painter.setPen(axisColour);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    const auto steps = qreal(axis.labels.size() - 1);
    for (qsizetype i = 0; i < axis.labels.size(); ++i) {
        const qreal x = plot.left() + plot.width() * qreal(i) / steps;
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
        labels.draw(painter, QRectF(x - 50, plot.bottom() + tick, 100, labels.height()), Qt::AlignCenter,
                    axis.labels.at(i));
    }
    labels.draw(painter,
                QRectF(plot.left(), plot.bottom() + tick + labels.height() + gap, plot.width(), labels.height()),
                Qt::AlignCenter, axis.title);
}

struct LegendEntry
{
    QColor colour;
    QString name;
    bool line; // a line, or else a bar's square
};

void drawLegend(QPainter &painter, LabelCache &labels, const QRectF &row, const QList<LegendEntry> &entries)
{
    const qreal mark = labels.height() * 0.7;
    qreal width = 0;
    for (const LegendEntry &entry : entries)
        width += mark + gap + labels.width(entry.name, painter) + 4 * gap;
    qreal x = row.center().x() - (width - 4 * gap) / 2;
    const qreal middle = row.center().y();
    for (const LegendEntry &entry : entries) {
        if (entry.line) {
            painter.setPen(QPen(entry.colour, 1.2));
            painter.drawLine(QPointF(x, middle), QPointF(x + mark, middle));
        } else {
            painter.fillRect(QRectF(x, middle - mark / 2, mark, mark), entry.colour);
        }
        x += mark + gap;
        painter.setPen(Qt::black);
        labels.draw(painter, QRectF(x, row.top(), 300, row.height()), Qt::AlignLeft | Qt::AlignVCenter, entry.name);
        x += labels.width(entry.name, painter) + 4 * gap;
    }
}

} // namespace

QFont reportFont(qreal size, bool bold)
{
    QFont font(u"Liberation Sans"_s);
    font.setPixelSize(int(std::lround(size)));
    font.setBold(bold);
    return font;
}

void ClassAccuracyChart::setPupils(const classregister::ClassFigures &figures, const QList<qsizetype> &order)
{
    const QFontMetricsF metrics(reportFont(7));
    shown.clear();
    widestName = 0;
    for (qsizetype row : order) {
        const classregister::PupilFigures &pupil = figures.pupils().at(row);
        shown.append({pupil.name, pupil.accuracy()});
        auto width = nameWidths.constFind(pupil.name);
        if (width == nameWidths.cend())
            width = nameWidths.insert(pupil.name, metrics.horizontalAdvance(pupil.name));
        widestName = std::max(widestName, *width);
    }
}

qreal ClassAccuracyChart::naturalHeight() const
{
    return qreal(shown.size()) * barRowHeight + 60;
}

void ClassAccuracyChart::draw(QPainter &painter, const QRectF &area, const QRectF &exposed) const
{
    if (shown.isEmpty())
        return;
    painter.save();
    QRectF rest = area;
    drawTitle(painter, rest, u"Precisione per alunno"_s);
    painter.setFont(labels.font());
    const qreal nameWidth = std::min(widestName, area.width() / 4);
    const qreal valueWidth = labels.width(percentText(1.0), painter) + 2 * gap;
    const QRectF plot = rest.adjusted(nameWidth + gap + tick, 0, -valueWidth, -(tick + 2 * labels.height() + gap));
    const Axis axis = percentAxis(u"Risposte esatte sul totale"_s);
    drawGrid(painter, plot, axis.labels.size() - 1, Qt::Vertical);

    const qreal slot = plot.height() / qreal(shown.size());
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const qreal top = plot.top() + slot * qreal(i);
        if (!exposed.isEmpty() && (top > exposed.bottom() || top + slot < exposed.top()))
            continue;
        const Bar &pupil = shown.at(i);
        const QRectF bar(plot.left(), top + slot * 0.15, plot.width() * pupil.accuracy.value_or(0), slot * 0.7);
        painter.fillRect(bar, accuracyColour);
        painter.setPen(Qt::black);
        labels.draw(painter, QRectF(area.left(), top, nameWidth, slot), Qt::AlignRight | Qt::AlignVCenter,
                    nameWidths.value(pupil.name) <= nameWidth
                        ? pupil.name
                        : QFontMetricsF(labels.font()).elidedText(pupil.name, Qt::ElideRight, nameWidth));
        labels.draw(painter, QRectF(bar.right() + gap, top, valueWidth, slot), Qt::AlignLeft | Qt::AlignVCenter,
                    percentText(pupil.accuracy));
    }
    drawBottomAxis(painter, labels, plot, axis);
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    painter.restore();
}

void PupilGamesChart::draw(QPainter &painter, const QRectF &area, const classregister::PupilFigures &pupil)
{
    painter.save();
    QRectF rest = area;
    drawTitle(painter, rest, pupilGamesTitle(pupil));
    painter.setFont(labels.font());
    const qsizetype first = firstChartedGame(pupil);
    const qsizetype count = pupil.games.size() - first;
    int most = 1;
    for (qsizetype i = first; i < pupil.games.size(); ++i)
        most = std::max(most, pupil.games.at(i).answered());
    const int step = roundStep(most, 5);
    const int top = (most + step - 1) / step * step;
    Axis answers{{}, u"Risposte"_s};
    for (int value = 0; value <= top; value += step)
        answers.labels << QLocale().toString(value);
    const Axis percent = percentAxis(u"Precisione"_s);

    const qreal line = labels.height();
    const QRectF plot = rest.adjusted(verticalAxisWidth(labels, painter, answers), line / 2,
                                      -verticalAxisWidth(labels, painter, percent), -(tick + 3 * line + 2 * gap));
    drawLegend(painter, labels, QRectF(rest.left(), rest.bottom() - line, rest.width(), line),
               {{rightColour, u"Esatte"_s, false},
                {wrongColour, u"Errate"_s, false},
                {accuracyColour, u"Precisione"_s, true}});
    drawGrid(painter, plot, answers.labels.size() - 1, Qt::Horizontal);

    const qreal slot = plot.width() / qreal(std::max<qsizetype>(count, 1));
    const qreal barWidth = slot * 0.6;
    // Each colour's bars and the line's marks go out as one shape: a report
    // has hundreds of these charts, and every shape drawn costs the PDF its
    // own colour and state.
    QList<QRectF> rightBars;
    QList<QRectF> wrongBars;
    QPolygonF accuracyLine;
    for (qsizetype i = 0; i < count; ++i) {
        const classregister::GameRecord &game = pupil.games.at(first + i);
        const qreal left = plot.left() + slot * qreal(i) + (slot - barWidth) / 2;
        const qreal rightHeight = plot.height() * game.right / top;
        const qreal wrongHeight = plot.height() * game.wrong / top;
        rightBars << QRectF(left, plot.bottom() - rightHeight, barWidth, rightHeight);
        wrongBars << QRectF(left, plot.bottom() - rightHeight - wrongHeight, barWidth, wrongHeight);
        if (const auto share = classregister::accuracy(game.right, game.wrong))
            accuracyLine << QPointF(left + barWidth / 2, plot.bottom() - plot.height() * *share);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(rightColour);
    painter.drawRects(rightBars);
    painter.setBrush(wrongColour);
    painter.drawRects(wrongBars);
    painter.setPen(QPen(accuracyColour, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(accuracyLine);
    QList<QRectF> marks;
    for (const QPointF &point : accuracyLine)
        marks << QRectF(point.x() - 1.5, point.y() - 1.5, 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(accuracyColour);
    painter.drawRects(marks);
    painter.setBrush(Qt::NoBrush);

    // The games' numbers under their bars, as many as fit, the last always.
    painter.setPen(axisColour);
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());
    const qreal numberWidth = labels.width(QString::number(pupil.games.size()), painter) + 2 * gap;
    const auto every = std::max<qsizetype>(1, qsizetype(std::ceil(numberWidth / slot)));
    for (qsizetype i = count - 1; i >= 0; i -= every) {
        const qreal x = plot.left() + slot * (qreal(i) + 0.5);
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + tick));
        labels.draw(painter, QRectF(x - 50, plot.bottom() + tick, 100, line), Qt::AlignCenter,
                    QString::number(first + i + 1));
    }
    labels.draw(painter, QRectF(plot.left(), plot.bottom() + tick + line + gap, plot.width(), line), Qt::AlignCenter,
                u"Partita n."_s);
    drawVerticalAxis(painter, labels, plot, Qt::LeftEdge, answers);
    drawVerticalAxis(painter, labels, plot, Qt::RightEdge, percent);
    painter.restore();
}

LabelCache::LabelCache(const QFont &font)
    : labelFont(font)
    , lineHeight(QFontMetricsF(font).height())
{
}

qreal LabelCache::width(const QString &text, const QPainter &painter)
{
    return shaped(text, painter).size.width();
}

void LabelCache::draw(QPainter &painter, const QRectF &box, Qt::Alignment alignment, const QString &text)
{
    const Shaped &label = shaped(text, painter);
    QPointF at = box.topLeft();
    if (alignment & Qt::AlignRight)
        at.rx() = box.right() - label.size.width();
    else if (alignment & Qt::AlignHCenter)
        at.rx() += (box.width() - label.size.width()) / 2;
    if (alignment & Qt::AlignVCenter)
        at.ry() += (box.height() - label.size.height()) / 2;
    else if (alignment & Qt::AlignBottom)
        at.ry() = box.bottom() - label.size.height();
    for (const QGlyphRun &run : label.runs)
        painter.drawGlyphRun(at, run);
}

const LabelCache::Shaped &LabelCache::shaped(const QString &text, const QPainter &painter)
{
    auto found = cache.constFind(text);
    if (found != cache.cend())
        return *found;
    QTextLayout layout(text, labelFont, painter.device());
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return *cache.insert(text, {layout.glyphRuns(), QSizeF(line.naturalTextWidth(), line.height())});
}

} // namespace mirabolo::registro
