#include "report/glyphcache.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

using namespace Qt::StringLiterals;

namespace mirabolo::report {

QFont reportFont(qreal size, bool bold)
{
    QFont font(u"Liberation Sans"_s);
    font.setPixelSize(int(std::lround(size)));
    font.setBold(bold);
    return font;
}

GlyphCache::GlyphCache(const QFont &font, const QPaintDevice *device, qreal units)
    : labelFont(font)
    , shapingFont(font, device)
    , metrics(shapingFont, device)
    , boundDevice(device)
    , scale(units)
    , lineHeight(QFontMetricsF(font).height())
{
    if (scale != 1)
        shapingFont.setPixelSize(int(std::lround(font.pixelSize() * scale)));
}

const GlyphCache::Shaped &GlyphCache::shaped(const QString &text, qreal room)
{
    static const Shaped nothing;
    if (text.isEmpty())
        return nothing;
    const auto key = std::pair(text, qRound(room * 100));
    auto found = cache.constFind(key);
    if (found != cache.cend())
        return *found;
    QTextLayout layout(room > 0 ? metrics.elidedText(text, Qt::ElideRight, room) : text, shapingFont);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    Shaped shaped{{}, QSizeF(line.naturalTextWidth(), line.height()) / scale};
    for (const QGlyphRun &run : layout.glyphRuns()) {
        qsizetype font = fonts.indexOf(run.rawFont());
        if (font < 0) {
            font = fonts.size();
            fonts << run.rawFont();
        }
        QList<QPointF> positions = run.positions();
        if (scale != 1)
            for (QPointF &at : positions)
                at = QPointF(std::round(at.x()), std::round(at.y()));
        shaped.runs.append({font, run.glyphIndexes(), positions});
    }
    return *cache.insert(key, shaped);
}

QGlyphRun GlyphCache::glyphRun(qsizetype font, const QList<quint32> &indexes, const QList<QPointF> &positions) const
{
    QGlyphRun run;
    run.setRawFont(fonts.at(font));
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    return run;
}

bool GlyphCache::onBoundDevice(const QPainter &painter) const
{
    if (painter.device() == boundDevice)
        return true;
    qWarning("GlyphCache: glyphs shaped for one device drawn on another; nothing drawn");
    return false;
}

bool GlyphCache::draw(QPainter &painter, const QRectF &box, Qt::Alignment alignment, const QString &text)
{
    if (!onBoundDevice(painter))
        return false;
    const Shaped &label = shaped(text);
    QPointF at = box.topLeft();
    if (alignment & Qt::AlignRight)
        at.rx() = box.right() - label.size.width();
    else if (alignment & Qt::AlignHCenter)
        at.rx() += (box.width() - label.size.width()) / 2;
    if (alignment & Qt::AlignVCenter)
        at.ry() += (box.height() - label.size.height()) / 2;
    else if (alignment & Qt::AlignBottom)
        at.ry() = box.bottom() - label.size.height();
    if (scale != 1) {
        painter.save();
        painter.scale(1 / scale, 1 / scale);
        at *= scale;
    }
    for (const Shaped::Run &run : label.runs)
        painter.drawGlyphRun(at, glyphRun(run.font, run.indexes, run.positions));
    if (scale != 1)
        painter.restore();
    return true;
}

void GlyphCache::place(const Shaped &text, const QPointF &origin)
{
    for (const Shaped::Run &run : text.runs) {
        Placed &placed = pending[run.font];
        placed.glyphs += run.indexes;
        for (const QPointF &position : run.positions)
            placed.positions << origin + position;
    }
}

bool GlyphCache::flush(QPainter &painter)
{
    if (!onBoundDevice(painter)) {
        pending.clear();
        return false;
    }
    for (auto placed = pending.cbegin(); placed != pending.cend(); ++placed)
        painter.drawGlyphRun(QPointF(), glyphRun(placed.key(), placed->glyphs, placed->positions));
    pending.clear();
    return true;
}

} // namespace mirabolo::report
