#include "ui/artwork.h"

#include <QApplication>
#include <QFileInfo>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

using namespace Qt::StringLiterals;

namespace mirabolo::ui::artwork {

namespace {

// Every picture a fixed file holds: an icon file keeps one per size.
QList<QImage> fixedImages(const QString &file)
{
    static QHash<QString, QList<QImage>> loaded;
    auto found = loaded.constFind(file);
    if (found != loaded.constEnd())
        return *found;
    QList<QImage> images;
    QImageReader reader(fixedPath(file));
    do {
        const QImage image = reader.read();
        if (image.isNull())
            break;
        images.append(image);
    } while (reader.jumpToNextImage());
    loaded.insert(file, images);
    return images;
}

QImage fixedImage(const QString &file, const QSize &pixels)
{
    const QList<QImage> images = fixedImages(file);
    for (const QImage &image : images) {
        if (image.size() == pixels)
            return image;
    }
    // A bitmap has one size only and is stretched like the control stretches it.
    if (images.size() == 1)
        return images.first().scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {};
}

QImage drawnImage(const QString &file, const QSize &pixels)
{
    QSvgRenderer renderer(sourcePath(file));
    if (!renderer.isValid())
        return {};
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    return image;
}

// The picture at a size in device pixels: the fixed file where it holds that
// size (or, at a plain ratio, a bitmap to stretch), the source otherwise.
QPixmap devicePicture(const QString &file, const QSize &pixels, bool fixedFirst, qreal ratio = 1.0)
{
    if (file.isEmpty() || pixels.isEmpty())
        return {};
    const QString key = u"mirabolo-artwork:%1:%2x%3:%4:%5"_s.arg(file)
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(fixedFirst)
                            .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    QImage image = fixedFirst ? fixedImage(file, pixels) : QImage();
    if (image.isNull())
        image = drawnImage(file, pixels);
    if (image.isNull())
        image = fixedImage(file, pixels);
    pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

class ArtworkIconEngine final : public QIconEngine
{
public:
    ArtworkIconEngine(QString file, QString disabledFile)
        : normalFile(std::move(file))
        , disabledPictureFile(std::move(disabledFile))
    {
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        // Called with device pixels: an icon entry of exactly that size is
        // the fixed picture, any other size is drawn from the source.
        if (mode == QIcon::Disabled && !disabledPictureFile.isEmpty())
            return iconPicture(disabledPictureFile, size);
        QPixmap pixmap = iconPicture(normalFile, size);
        if (mode != QIcon::Normal && !pixmap.isNull()) {
            QStyleOption option;
            option.palette = QApplication::palette();
            QPixmap generated = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
            if (!generated.isNull())
                return generated;
        }
        return pixmap;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap pm = pixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State) override
    {
        QList<QSize> sizes;
        const QString &file =
            mode == QIcon::Disabled && !disabledPictureFile.isEmpty() ? disabledPictureFile : normalFile;
        for (const QImage &image : fixedImages(file))
            sizes.append(image.size());
        return sizes;
    }

    QString key() const override { return u"mirabolo-artwork"_s; }
    QIconEngine *clone() const override { return new ArtworkIconEngine(normalFile, disabledPictureFile); }

private:
    static QPixmap iconPicture(const QString &file, const QSize &pixels)
    {
        for (const QImage &image : fixedImages(file)) {
            if (image.size() == pixels)
                return devicePicture(file, pixels, true);
        }
        return devicePicture(file, pixels, false);
    }

    QString normalFile;
    QString disabledPictureFile;
};

} // namespace

QString fixedPath(const QString &file)
{
    return u":/artwork/"_s + file;
}

QString sourcePath(const QString &file)
{
    return u":/artwork/svg/"_s + QFileInfo(file).completeBaseName() + u".svg"_s;
}

QPixmap picture(const QString &file, const QSize &size, qreal ratio)
{
    if (qFuzzyCompare(ratio, 1.0))
        return devicePicture(file, size, true);
    return devicePicture(file, (QSizeF(size) * ratio).toSize(), false, ratio);
}

QIcon icon(const QString &file, const QString &disabledFile)
{
    return QIcon(new ArtworkIconEngine(file, disabledFile));
}

} // namespace mirabolo::ui::artwork
