#include "ui/bandcanvas.h"

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
    if (!surface.isNull() && surface.size() == pixels && qFuzzyCompare(surface.devicePixelRatio(), ratio))
        return false;
    surface = QImage(pixels, QImage::Format_RGB32);
    surface.setDevicePixelRatio(ratio);
    // A new surface (first show, another screen) shows again what was last
    // drawn, so nothing the pupil saw is lost.
    redraw();
    return true;
}

void BandCanvas::redraw()
{
    if (!hasBands) {
        surface.fill(background.isValid() ? background : palette().color(QPalette::Window));
        return;
    }
    // The bands tile a vertical scale of 512 units; each band's edges are
    // rounded down to whole device pixels so that the bands meet exactly.
    // Rows are filled directly: one pass over the surface, no painter.
    ++paintCount;
    const int height = surface.height();
    const int width = surface.width();
    for (int band = 0; band < game::bandCount; ++band) {
        const int top = band * 2 * height / game::bandScaleHeight;
        const int bottom = (band + 1) * 2 * height / game::bandScaleHeight;
        const game::BandColour c = game::bandColour(lastBands, band);
        const QRgb pixel = qRgb(c.red, c.green, c.blue);
        for (int y = top; y < bottom; ++y) {
            auto *row = reinterpret_cast<QRgb *>(surface.scanLine(y));
            std::fill(row, row + width, pixel);
        }
    }
}

void BandCanvas::paintBands(const game::Exercise &exercise)
{
    lastBands = exercise;
    hasBands = true;
    if (!ensureSurface())
        redraw();
    update();
}

void BandCanvas::fillBackground(const QColor &colour)
{
    hasBands = false;
    background = colour;
    if (!ensureSurface())
        redraw();
    update();
}

void BandCanvas::paintEvent(QPaintEvent *event)
{
    ensureSurface();
    QPainter painter(this);
    painter.drawImage(event->rect(), surface,
                      QRectF(QPointF(event->rect().topLeft()) * surface.devicePixelRatio(),
                             QSizeF(event->rect().size()) * surface.devicePixelRatio()));
}

void BandCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ensureSurface();
}

} // namespace mirabolo::ui
