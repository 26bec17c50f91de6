// A chart of the report on screen, so that the window shows what the paper
// shows: a view of an item model, painted again whenever the model changes,
// and saying so when the model is empty.
// Charts are drawn in points, scaled so that their text reads like the
// window's own, on white whatever the theme: they are paper.
#pragma once

#include "report/glyphcache.h"

#include <QAbstractItemModel>
#include <QWidget>

#include <functional>
#include <optional>

namespace mirabolo::registro {

class ChartView : public QWidget
{
    Q_OBJECT

public:
    // `area` and `exposed` in points; `exposed` is the part to paint again.
    using Draw =
        std::function<void(QPainter &painter, report::GlyphCache &labels, const QRectF &area, const QRectF &exposed)>;

    ChartView(const QString &accessibleName, const QAbstractItemModel &shown, QString empty, Draw draw,
              QWidget *parent = nullptr);

    // Shown instead of the chart while the model has no rows: what a blank
    // box would leave unsaid.
    QString placeholder() const { return model.rowCount() == 0 ? emptyText : QString(); }
    // Screen pixels per point.
    qreal scale() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Draw drawChart;
    void modelChanged();

    const QAbstractItemModel &model;
    QString emptyText;
    // Shaped for the device painted on: this widget, or a picture of it.
    std::optional<report::GlyphCache> labels;
};

} // namespace mirabolo::registro
