#include "ui/form.h"

#include "ui/artwork.h"
#include "ui_tavola.h"

#include <QLayout>
#include <QMainWindow>

using namespace Qt::StringLiterals;

namespace mirabolo::ui {

void finishForm(QMainWindow *window, Ui::Tavola &ui)
{
    // A form file stores whole point sizes only.
    const struct
    {
        QWidget *widget;
        qreal points;
    } fractionalSizes[] = {
        {ui.cmdNext, 8.25}, {ui.cmdExit, 8.25}, {ui.lblnome1, 13.5}, {ui.Label14, 13.5}, {ui.Label11, 9.75},
    };
    for (const auto &[widget, points] : fractionalSizes) {
        QFont font = widget->font();
        font.setPointSizeF(points);
        widget->setFont(font);
    }

    // A label that sizes itself does so from its first caption too: the sizes
    // stored in the description are those of the original font.
    for (QLabel *label : window->findChildren<QLabel *>()) {
        if (label->property("autoSize").toBool())
            label->adjustSize();
    }

    // The window icon as the desktop wants it: the fixed pictures where they
    // exist, the source at any other size.
    window->setWindowIcon(artwork::icon(u"mirabolo.ico"_s));

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
