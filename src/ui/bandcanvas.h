// The window's own drawing surface: the background bands are painted into a
// kept pixmap once per exercise, and every repaint only copies it.
#pragma once

#include "game/exercise.h"

#include <QImage>
#include <QWidget>

namespace mirabolo::ui {

class BandCanvas : public QWidget
{
    Q_OBJECT

public:
    explicit BandCanvas(QWidget *parent = nullptr);

    // 256 bands over the whole surface, in the exercise's tint.
    void paintBands(const game::Exercise &exercise);

    // A plain background colour erases whatever was drawn.
    void fillBackground(const QColor &colour);

    // How many times the bands have been drawn into the surface: repaints
    // must not add to it.
    int bandPaintCount() const { return paintCount; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Allocates the surface for the current size; true when it was redrawn.
    bool ensureSurface();
    void redraw();

    QImage surface;
    game::Exercise lastBands;
    bool hasBands = false;
    QColor background;
    int paintCount = 0;
};

} // namespace mirabolo::ui
