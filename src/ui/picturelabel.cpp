#include "picturelabel.h"

#include "artwork.h"

#include <QPainter>
#include <QStyle>

namespace mirabolo::ui {

PictureLabel::PictureLabel(QWidget *parent)
    : QLabel(parent)
{
}

void PictureLabel::setPicture(const QString &file)
{
    m_picture = file;
    setPixmap(QPixmap(artwork::fixedPath(file)));
}

void PictureLabel::paintEvent(QPaintEvent *event)
{
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isEmpty() || qFuzzyCompare(ratio, 1.0)) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    if (hasScaledContents()) {
        painter.drawPixmap(area, artwork::picture(m_picture, area.size(), ratio));
        return;
    }
    const QPixmap natural = artwork::picture(m_picture, pixmap().deviceIndependentSize().toSize(), ratio);
    style()->drawItemPixmap(&painter, area, QStyle::visualAlignment(layoutDirection(), alignment()), natural);
}

} // namespace mirabolo::ui
