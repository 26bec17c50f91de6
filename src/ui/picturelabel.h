// An image of the window: the fixed picture on a plain screen, its source
// drawn afresh at the density of a high-density one.
#pragma once

#include <QLabel>

namespace mirabolo::ui {

class PictureLabel : public QLabel
{
    Q_OBJECT
    // An artwork file name, as artwork.h takes it ("tubes.bmp").
    Q_PROPERTY(QString picture READ picture WRITE setPicture)

public:
    explicit PictureLabel(QWidget *parent = nullptr);

    QString picture() const { return pictureFile; }
    // Also makes the fixed picture the label's pixmap.
    void setPicture(const QString &file);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString pictureFile;
};

} // namespace mirabolo::ui
