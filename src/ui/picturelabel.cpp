#include "ui/picturelabel.h"

#include "ui/artwork.h"

#include <QPainter>
#include <QStyle>

namespace mirabolo::ui {

PictureLabel::PictureLabel(QWidget *parent)
    : QLabel(parent)
{
}

void PictureLabel::setPicture(const QString &file)
{
    pictureFile = file;
    setPixmap(QPixmap(artwork::fixedPath(file)));
}

void PictureLabel::paintEvent(QPaintEvent *event)
{
    const qreal ratio = devicePixelRatioF();
    if (pictureFile.isEmpty() || qFuzzyCompare(ratio, 1.0)) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    if (hasScaledContents()) {
        painter.drawPixmap(area, artwork::picture(pictureFile, area.size(), ratio));
        return;
    }
    const QPixmap natural = artwork::picture(pictureFile, pixmap().deviceIndependentSize().toSize(), ratio);
    style()->drawItemPixmap(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), natural);
}

} // namespace mirabolo::ui
