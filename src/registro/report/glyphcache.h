// Short texts drawn again and again (chart labels, page footers, the cells of
// a school's tables), each shaped once. Glyphs are shaped for the resolution
// and the fonts of one paint device: a cache is bound to the device it was
// made for, and draws on no other.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRawFont>
#include <QSizeF>

class QPainter;
class QPaintDevice;

namespace mirabolo::report {

// The report's sans-serif, `size` in points (the page is laid out in points).
QFont reportFont(qreal size, bool bold = false);

class GlyphCache
{
public:
    struct Shaped
    {
        // The glyphs of one font and their places, as a layout gave them.
        struct Run
        {
            qsizetype font = 0;
            QList<quint32> indexes;
            QList<QPointF> positions;
        };
        QList<Run> runs;
        QSizeF size; // in points
    };

    // With `units` above 1 the glyphs are shaped that many times larger and
    // placed at whole positions in units: a PDF writes the place of every
    // glyph as a number, and a whole one is shorter to write and compress.
    GlyphCache(const QFont &font, const QPaintDevice *device, qreal units = 1);

    const QPaintDevice *device() const { return boundDevice; }
    const QFont &font() const { return labelFont; }
    qreal height() const { return lineHeight; }
    qreal units() const { return scale; }

    // `text` as drawn, shortened with an ellipsis to `room` points when given.
    const Shaped &shaped(const QString &text, qreal room = 0);
    qreal width(const QString &text) { return shaped(text).size.width(); }

    // Draws `text` in the painter's pen, placed in `box` (points) as
    // `alignment` says. On a painter of another device it draws nothing and
    // says so.
    bool draw(QPainter &painter, const QRectF &box, Qt::Alignment alignment, const QString &text);

    // Places `text` with its origin at `origin`, in units, to be drawn with
    // everything placed since the last flush(): one run per font for a page
    // of cells, since each run drawn costs a PDF a text object of its own.
    void place(const Shaped &text, const QPointF &origin);
    // Draws what was placed, on a painter scaled to units; nothing on a
    // painter of another device.
    bool flush(QPainter &painter);

private:
    bool onBoundDevice(const QPainter &painter) const;
    QGlyphRun glyphRun(qsizetype font, const QList<quint32> &indexes, const QList<QPointF> &positions) const;

    struct Placed
    {
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };

    QFont labelFont;
    QFont shapingFont; // labelFont for the device, `units` times larger
    QFontMetricsF metrics; // for eliding, in points
    const QPaintDevice *boundDevice;
    qreal scale;
    qreal lineHeight;
    QList<QRawFont> fonts;
    QHash<std::pair<QString, int>, Shaped> cache; // by text and room in hundredths of a point
    QMap<qsizetype, Placed> pending; // by font
};

} // namespace mirabolo::report
