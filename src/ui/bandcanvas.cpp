#include "bandcanvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

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
    m_surface = QImage(pixels, QImage::Format_RGB32);
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
    // Rows are filled directly: one pass over the surface, no painter.
    ++m_bandPaintCount;
    const int height = m_surface.height();
    const int width = m_surface.width();
    for (int band = 0; band < game::bandCount; ++band) {
        const int top = band * 2 * height / game::bandScaleHeight;
        const int bottom = (band + 1) * 2 * height / game::bandScaleHeight;
        const game::BandColour c = game::bandColour(m_lastBands, band);
        const QRgb pixel = qRgb(c.red, c.green, c.blue);
        for (int y = top; y < bottom; ++y) {
            auto *row = reinterpret_cast<QRgb *>(m_surface.scanLine(y));
            std::fill(row, row + width, pixel);
        }
    }
}

void BandCanvas::paintBands(const game::Exercise &exercise)
{
    m_lastBands = exercise;
    m_hasBands = true;
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
    return m_surface.pixelColor(pixel);
}

void BandCanvas::paintEvent(QPaintEvent *event)
{
    ensureSurface();
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface,
                      QRectF(QPointF(event->rect().topLeft()) * m_surface.devicePixelRatio(),
                             QSizeF(event->rect().size()) * m_surface.devicePixelRatio()));
}

void BandCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ensureSurface();
}

} // namespace mirabolo::ui
