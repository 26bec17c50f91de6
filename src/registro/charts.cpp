#include "registro/charts.h"

#include "classregister/classfigures.h"
#include "registro/classmodels.h"
#include "registro/reportcontent.h"
#include "registro/texts.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using mirabolo::report::GlyphCache;
using mirabolo::report::reportFont;

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

qreal widest(GlyphCache &labels, const QStringList &texts)
{
    qreal most = 0;
    for (const QString &text : texts)
        most = std::max(most, labels.width(text));
    return most;
}

// Room a vertical axis takes beside the plot: ticks, labels, upright title.
qreal verticalAxisWidth(GlyphCache &labels, const Axis &axis)
{
    return tick + gap + widest(labels, axis.labels) + gap + labels.height();
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
void drawUpright(QPainter &painter, GlyphCache &labels, const QPointF &centre, const QString &text)
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
void drawVerticalAxis(QPainter &painter, GlyphCache &labels, const QRectF &plot, Qt::Edge edge, const Axis &axis)
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
    const qreal titleX = x + outwards * (tick + 2 * gap + widest(labels, axis.labels) + labels.height() / 2);
    drawUpright(painter, labels, QPointF(titleX, plot.center().y()), axis.title);
}

// The axis under the plot: labels at equal steps from the left, the title below.
void drawBottomAxis(QPainter &painter, GlyphCache &labels, const QRectF &plot, const Axis &axis)
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

void drawLegend(QPainter &painter, GlyphCache &labels, const QRectF &row, const QList<LegendEntry> &entries)
{
    const qreal mark = labels.height() * 0.7;
    qreal width = 0;
    for (const LegendEntry &entry : entries)
        width += mark + gap + labels.width(entry.name) + 4 * gap;
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
        x += labels.width(entry.name) + 4 * gap;
    }
}

} // namespace

QFont chartLabelFont()
{
    return reportFont(7);
}

ClassAccuracyChart::ClassAccuracyChart(const ClassRankingModel &ranking, int first, int count)
    : model(ranking)
    , firstRow(first)
    , rowCount(count)
{
}

int ClassAccuracyChart::bars() const
{
    const int rest = std::max(0, model.rowCount() - firstRow);
    return rowCount < 0 ? rest : std::min(rowCount, rest);
}

qreal ClassAccuracyChart::naturalHeight() const
{
    return qreal(bars()) * barRowHeight + 60;
}

void ClassAccuracyChart::draw(QPainter &painter, GlyphCache &labels, const QRectF &area, const QRectF &exposed)
{
    const int count = bars();
    if (count == 0)
        return;
    const QFontMetricsF metrics(labels.font());
    qreal widestName = 0;
    for (int i = 0; i < count; ++i) {
        const QString &name = model.record(firstRow + i).name;
        auto width = nameWidths.constFind(name);
        if (width == nameWidths.cend())
            width = nameWidths.insert(name, metrics.horizontalAdvance(name));
        widestName = std::max(widestName, *width);
    }
    painter.save();
    QRectF rest = area;
    drawTitle(painter, rest, u"Precisione per alunno"_s);
    painter.setFont(labels.font());
    const qreal nameWidth = std::min(widestName, area.width() / 4);
    // A pupil to follow is told by words at the bar's end, not by colour alone.
    const QString followMark = u" · "_s + followText();
    const qreal valueWidth = labels.width(percentText(1.0) + followMark) + 2 * gap;
    const classregister::FollowRule rule = model.rule();
    const QString ruleLabel = u"sotto il %1%: da seguire"_s.arg(rule.percent);
    // The threshold's label over the plot, beside its line.
    rest.setTop(rest.top() + labels.height() + gap);
    const QRectF plot = rest.adjusted(nameWidth + gap + tick, 0, -valueWidth, -(tick + 2 * labels.height() + gap));
    const Axis axis = percentAxis(u"Risposte esatte sul totale"_s);
    drawGrid(painter, plot, axis.labels.size() - 1, Qt::Vertical);

    const qreal slot = plot.height() / qreal(count);
    for (int i = 0; i < count; ++i) {
        const qreal top = plot.top() + slot * qreal(i);
        if (!exposed.isEmpty() && (top > exposed.bottom() || top + slot < exposed.top()))
            continue;
        const classregister::PupilFigures &pupil = model.record(firstRow + i);
        const std::optional<double> accuracy = pupil.accuracy();
        const bool follow = pupil.needsFollowing();
        const QRectF bar(plot.left(), top + slot * 0.15, plot.width() * accuracy.value_or(0), slot * 0.7);
        painter.fillRect(bar, follow ? followColour : accuracyColour);
        painter.setPen(Qt::black);
        labels.draw(painter, QRectF(area.left(), top, nameWidth, slot), Qt::AlignRight | Qt::AlignVCenter,
                    nameWidths.value(pupil.name) <= nameWidth
                        ? pupil.name
                        : metrics.elidedText(pupil.name, Qt::ElideRight, nameWidth));
        labels.draw(painter, QRectF(bar.right() + gap, top, valueWidth, slot), Qt::AlignLeft | Qt::AlignVCenter,
                    percentText(accuracy) + (follow ? followMark : QString()));
    }
    drawBottomAxis(painter, labels, plot, axis);
    painter.drawLine(plot.topLeft(), plot.bottomLeft());
    // The teacher's threshold across every bar, dashed, named over the plot.
    const qreal x = plot.left() + plot.width() * rule.percent / 100.0;
    painter.setPen(QPen(followColour, 1.2, Qt::DashLine));
    painter.drawLine(QPointF(x, plot.top() - gap), QPointF(x, plot.bottom()));
    painter.setPen(followColour);
    const qreal labelWidth = labels.width(ruleLabel) + 2 * gap;
    const qreal labelLeft = std::clamp(x - labelWidth / 2, area.left(), area.right() - labelWidth);
    labels.draw(painter, QRectF(labelLeft, plot.top() - gap - labels.height(), labelWidth, labels.height()),
                Qt::AlignCenter, ruleLabel);
    painter.restore();
}

void drawPupilGames(QPainter &painter, GlyphCache &labels, const QRectF &area, const PupilGamesModel &games)
{
    const classregister::PupilFigures *pupil = games.pupil();
    if (pupil == nullptr)
        return;
    const int total = games.rowCount();
    const int first = std::max(0, total - chartedGames);
    const int count = total - first;
    painter.save();
    QRectF rest = area;
    QString title = first > 0 ? u"%1: le ultime %2 partite"_s.arg(pupil->name, QString::number(chartedGames))
                              : u"%1: partite"_s.arg(pupil->name);
    if (total > 0)
        title += u" dal %1 al %2"_s.arg(dateText(games.record(first).when.date()),
                                        dateText(games.record(total - 1).when.date()));
    drawTitle(painter, rest, title);
    painter.setFont(labels.font());
    int most = 1;
    for (int i = first; i < total; ++i)
        most = std::max(most, games.record(i).answered());
    const int step = roundStep(most, 5);
    const int top = (most + step - 1) / step * step;
    Axis answers{{}, u"Risposte"_s};
    for (int value = 0; value <= top; value += step)
        answers.labels << QLocale().toString(value);
    const Axis percent = percentAxis(u"Precisione"_s);

    const qreal line = labels.height();
    const QRectF plot = rest.adjusted(verticalAxisWidth(labels, answers), line / 2, -verticalAxisWidth(labels, percent),
                                      -(tick + 3 * line + 2 * gap));
    drawLegend(painter, labels, QRectF(rest.left(), rest.bottom() - line, rest.width(), line),
               {{rightColour, u"Esatte"_s, false},
                {wrongColour, u"Errate"_s, false},
                {accuracyColour, u"Precisione"_s, true}});
    drawGrid(painter, plot, answers.labels.size() - 1, Qt::Horizontal);

    const qreal slot = plot.width() / qreal(std::max(count, 1));
    const qreal barWidth = slot * 0.6;
    // Each colour's bars and the line's marks go out as one shape: a report
    // has hundreds of these charts, and every shape drawn costs the PDF its
    // own colour and state.
    QList<QRectF> rightBars;
    QList<QRectF> wrongBars;
    QPolygonF accuracyLine;
    for (int i = 0; i < count; ++i) {
        const classregister::GameRecord &game = games.record(first + i);
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
    const qreal numberWidth = labels.width(QString::number(total)) + 2 * gap;
    const auto every = std::max(1, int(std::ceil(numberWidth / slot)));
    for (int i = count - 1; i >= 0; i -= every) {
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

} // namespace mirabolo::registro
