#include "ui/picturebutton.h"

#include "ui/artwork.h"

#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace mirabolo::ui {

namespace {

// Between the picture and the caption.
constexpr int gap = 2;
// The bevel and the focus frame inside it.
constexpr int focusInset = 4;

} // namespace

PictureButton::PictureButton(QWidget *parent)
    : QPushButton(parent)
{
    setIconSize(QSize(32, 32));
}

void PictureButton::setPicture(const QString &file)
{
    pictureFile = file;
    updateIcon();
}

void PictureButton::setDownPicture(const QString &file)
{
    downPictureFile = file;
    update();
}

void PictureButton::setDisabledPicture(const QString &file)
{
    disabledPictureFile = file;
    updateIcon();
}

void PictureButton::updateIcon()
{
    // The button's icon gives the same pictures to whoever asks QPushButton.
    setIcon(artwork::icon(pictureFile, disabledPictureFile));
    update();
}

QString PictureButton::shownPicture() const
{
    if (!isEnabled() && !disabledPictureFile.isEmpty())
        return disabledPictureFile;
    if (isDown() && !downPictureFile.isEmpty())
        return downPictureFile;
    return pictureFile;
}

QRect PictureButton::pictureRect() const
{
    // Picture and caption form one block, centred in the button; a button
    // held down shows it one pixel lower and to the right.
    const QSize picture = iconSize();
    const int block = picture.height() + gap + fontMetrics().height();
    QRect rect(QPoint((width() - picture.width()) / 2, (height() - block) / 2), picture);
    if (isDown())
        rect.translate(1, 1);
    return rect;
}

QRect PictureButton::captionRect() const
{
    const QRect picture = pictureRect();
    return QRect(focusInset, picture.bottom() + 1 + gap, width() - 2 * focusInset, fontMetrics().height())
        .translated(isDown() ? 1 : 0, 0);
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &pal = palette();
    QRect bevel = rect();

    // The focused button carries a dark outline, as the desktop's default
    // button does, so the pupil sees where Enter goes.
    if (hasFocus()) {
        qDrawPlainRect(&painter, bevel, pal.color(QPalette::ButtonText));
        bevel.adjust(1, 1, -1, -1);
    }
    if (isDown()) {
        painter.fillRect(bevel, pal.button());
        qDrawPlainRect(&painter, bevel, pal.color(QPalette::Dark));
    } else {
        const QBrush face = pal.button();
        qDrawWinButton(&painter, bevel, pal, false, &face);
    }

    const QString file = shownPicture();
    if (!file.isEmpty())
        painter.drawPixmap(pictureRect(), artwork::picture(file, iconSize(), devicePixelRatioF()));

    int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;
    flags |=
        style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this) ? Qt::TextShowMnemonic : Qt::TextHideMnemonic;
    const QRect caption = captionRect();
    if (isEnabled()) {
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(caption, flags, text());
    } else {
        // An etched caption, as disabled buttons of the desktop show it.
        painter.setPen(pal.color(QPalette::Light));
        painter.drawText(caption.translated(1, 1), flags, text());
        painter.setPen(pal.color(QPalette::Dark));
        painter.drawText(caption, flags, text());
    }

    if (hasFocus()) {
        QPen dots(pal.color(QPalette::ButtonText), 0, Qt::CustomDashLine);
        dots.setDashPattern({1.0, 1.0});
        painter.setPen(dots);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(focusInset, focusInset, -focusInset - 1, -focusInset - 1));
    }
}

} // namespace mirabolo::ui
