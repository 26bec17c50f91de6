// A chart of the report on screen, so that the window shows what the paper
// shows. Charts are drawn in points, scaled so that their text reads like
// the window's own, on white whatever the theme: they are paper.
#pragma once

#include <QWidget>

#include <functional>

namespace mirabolo::registro {

class ChartView : public QWidget
{
    Q_OBJECT

public:
    // `area` and `exposed` in points; `exposed` is the part to paint again.
    using Draw = std::function<void(QPainter &painter, const QRectF &area, const QRectF &exposed)>;

    explicit ChartView(const QString &accessibleName, QWidget *parent = nullptr);

    void setDraw(Draw draw);
    // Shown instead of the chart while not empty: what a blank box would leave unsaid.
    void setPlaceholder(const QString &text);
    QString placeholder() const { return placeholderText; }
    // Screen pixels per point.
    qreal scale() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Draw drawChart;
    QString placeholderText;
};

} // namespace mirabolo::registro
