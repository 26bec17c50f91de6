// A push button in the graphical style: a picture above its caption on a face
// of its own colour, with a picture for each state (up, held down, disabled).
#pragma once

#include <QPushButton>

namespace mirabolo::ui {

class PictureButton : public QPushButton
{
    Q_OBJECT
    // Artwork file names, as artwork.h takes them ("next-normal.ico").
    Q_PROPERTY(QString picture READ picture WRITE setPicture)
    Q_PROPERTY(QString downPicture READ downPicture WRITE setDownPicture)
    Q_PROPERTY(QString disabledPicture READ disabledPicture WRITE setDisabledPicture)

public:
    explicit PictureButton(QWidget *parent = nullptr);

    QString picture() const { return pictureFile; }
    void setPicture(const QString &file);
    // Shown while the button is held down; the picture when empty.
    QString downPicture() const { return downPictureFile; }
    void setDownPicture(const QString &file);
    // Shown while the button is disabled; the picture when empty.
    QString disabledPicture() const { return disabledPictureFile; }
    void setDisabledPicture(const QString &file);

    // The picture file the button shows in its present state.
    QString shownPicture() const;
    // Where the picture lies, in the button's own coordinates.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateIcon();
    QRect captionRect() const;

    QString pictureFile;
    QString downPictureFile;
    QString disabledPictureFile;
};

} // namespace mirabolo::ui
