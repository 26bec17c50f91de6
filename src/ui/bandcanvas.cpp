#include "bandcanvas.h"

#include <QPaintEvent>
#include <QPainter>

namespace mirabolo::ui {

BandCanvas::BandCanvas(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool BandCanvas::ensureSurface()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (!m_surface.isNull() && m_surface.size() == pixels && qFuzzyCompare(m_surface.devicePixelRatio(), ratio))
        return false;
    m_surface = QPixmap(pixels);
    m_surface.setDevicePixelRatio(ratio);
    // A new surface (first show, another screen) shows again what was last
    // drawn, so nothing the pupil saw is lost.
    redraw();
    return true;
}

void BandCanvas::redraw()
{
    if (!m_hasBands) {
        m_surface.fill(m_background.isValid() ? m_background : palette().color(QPalette::Window));
        return;
    }
    // The bands tile a vertical scale of 512 units; each band's edges are
    // rounded down to whole device pixels so that the bands meet exactly.
    const int height = m_surface.height();
    const int width = m_surface.width();
    QPainter painter(&m_surface);
    painter.scale(1.0 / m_surface.devicePixelRatio(), 1.0 / m_surface.devicePixelRatio());
    for (int band = 0; band < game::bandCount; ++band) {
        const int top = band * 2 * height / game::bandScaleHeight;
        const int bottom = (band + 1) * 2 * height / game::bandScaleHeight;
        const game::BandColour c = game::bandColour(m_lastBands, band);
        painter.fillRect(0, top, width, bottom - top, QColor(c.red, c.green, c.blue));
    }
}

void BandCanvas::paintBands(const game::Exercise &exercise)
{
    m_lastBands = exercise;
    m_hasBands = true;
    ++m_bandPaintCount;
    if (!ensureSurface())
        redraw();
    update();
}

void BandCanvas::fillBackground(const QColor &colour)
{
    m_hasBands = false;
    m_background = colour;
    if (!ensureSurface())
        redraw();
    update();
}

QColor BandCanvas::colourAt(const QPoint &point) const
{
    if (m_surface.isNull())
        return {};
    const QPoint pixel = (QPointF(point) * m_surface.devicePixelRatio()).toPoint();
    return m_surface.toImage().pixelColor(pixel);
}

void BandCanvas::paintEvent(QPaintEvent *event)
{
    ensureSurface();
    QPainter painter(this);
    painter.drawPixmap(event->rect(), m_surface,
                       QRectF(QPointF(event->rect().topLeft()) * m_surface.devicePixelRatio(),
                              QSizeF(event->rect().size()) * m_surface.devicePixelRatio()));
}

void BandCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ensureSurface();
}

} // namespace mirabolo::ui
