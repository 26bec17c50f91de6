#include "registro/chartview.h"

#include <QPaintEvent>
#include <QPainter>

namespace mirabolo::registro {

namespace {
// The charts' labels are 7 points: a little smaller than the window's text.
constexpr qreal pointsPerWindowText = 8;
constexpr qreal margin = 4;
} // namespace

ChartView::ChartView(const QString &accessibleName, QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::NoFocus); // the table beside it holds the same facts for the keyboard
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::setDraw(Draw draw)
{
    drawChart = std::move(draw);
    update();
}

void ChartView::setPlaceholder(const QString &text)
{
    if (text == placeholderText)
        return;
    placeholderText = text;
    setAccessibleDescription(text);
    update();
}

qreal ChartView::scale() const
{
    return QFontInfo(font()).pixelSize() / pointsPerWindowText;
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (!placeholderText.isEmpty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, placeholderText);
        return;
    }
    if (!drawChart)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal points = scale();
    painter.scale(points, points);
    const QRectF area = QRectF(0, 0, width() / points, height() / points).adjusted(margin, margin, -margin, -margin);
    const QRectF exposed(QRectF(event->rect()).topLeft() / points, QRectF(event->rect()).size() / points);
    drawChart(painter, area, exposed);
}

} // namespace mirabolo::registro
