// The window's pictures: the fixed-size files as drawn for a plain screen, and
// their SVG sources wherever the screen has more device pixels than that.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace mirabolo::ui::artwork {

// ":/artwork/<file>", the picture at its fixed size ("face.ico", "tubes.bmp").
QString fixedPath(const QString &file);

// ":/artwork/svg/<name>.svg", the source of a fixed picture.
QString sourcePath(const QString &file);

// The picture for `size` device-independent pixels at a device pixel ratio:
// at a ratio of 1 the fixed picture itself (the icon entry of that size, or
// the bitmap scaled to it), at any other ratio the source drawn afresh at
// size × ratio device pixels. The pixmap carries the ratio.
QPixmap picture(const QString &file, const QSize &size, qreal ratio);

// An icon that gives the fixed pictures at the sizes they hold and draws the
// source at any other size, so that it stays sharp on a high-density screen.
// `disabledFile` may be empty: the disabled look is then the style's.
QIcon icon(const QString &file, const QString &disabledFile = {});

} // namespace mirabolo::ui::artwork
