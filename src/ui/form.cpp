#include "form.h"

#include <QLayout>
#include <QMainWindow>

namespace mirabolo::ui {

void finishForm(QMainWindow *window, Ui::Tavola &ui)
{
    // A form file stores whole point sizes only.
    const struct {
        QWidget *widget;
        qreal points;
    } fractionalSizes[] = {
        {ui.cmdNext, 8.25},
        {ui.cmdExit, 8.25},
        {ui.lblnome1, 13.5},
        {ui.Label14, 13.5},
        {ui.Label11, 9.75},
    };
    for (const auto &[widget, points] : fractionalSizes) {
        QFont font = widget->font();
        font.setPointSizeF(points);
        widget->setFont(font);
    }

    // The reference column stands on the platform's window-background colour,
    // the same face as the reference boxes, whatever the desktop's palette.
    ui.Shape1_0->setBackgroundRole(QPalette::Base);

    // The client area never changes size: the frame holds exactly the canvas
    // and the menu bar.
    if (QLayout *layout = window->layout()) {
        layout->setSizeConstraint(QLayout::SetFixedSize);
    }
}

} // namespace mirabolo::ui
