// A chart of the report on screen, so that the window shows what the paper
// shows: a view of an item model, painted again whenever the model changes.
// Charts are drawn in points, scaled so that their text reads like the
// window's own, on white whatever the theme: they are paper.
#pragma once

#include "report/glyphcache.h"

#include <QWidget>

#include <functional>
#include <optional>

class QAbstractItemModel;

namespace mirabolo::registro {

class ChartView : public QWidget
{
    Q_OBJECT

public:
    // `area` and `exposed` in points; `exposed` is the part to paint again.
    using Draw =
        std::function<void(QPainter &painter, report::GlyphCache &labels, const QRectF &area, const QRectF &exposed)>;

    ChartView(const QString &accessibleName, const QAbstractItemModel &model, Draw draw, QWidget *parent = nullptr);

    // Screen pixels per point.
    qreal scale() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Draw drawChart;
    // Shaped for the device painted on: this widget, or a picture of it.
    std::optional<report::GlyphCache> labels;
};

} // namespace mirabolo::registro
