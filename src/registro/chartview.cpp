#include "registro/chartview.h"

#include "registro/charts.h"

#include <QAbstractItemModel>
#include <QPaintEvent>
#include <QPainter>

namespace mirabolo::registro {

namespace {
// The charts' labels are 7 points: a little smaller than the window's text.
constexpr qreal pointsPerWindowText = 8;
constexpr qreal margin = 4;
} // namespace

ChartView::ChartView(const QString &accessibleName, const QAbstractItemModel &model, Draw draw, QWidget *parent)
    : QWidget(parent)
    , drawChart(std::move(draw))
{
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::NoFocus); // the table beside it holds the same facts for the keyboard
    setAttribute(Qt::WA_OpaquePaintEvent);
    const auto repaint = [this] { update(); };
    connect(&model, &QAbstractItemModel::modelReset, this, repaint);
    connect(&model, &QAbstractItemModel::rowsInserted, this, repaint);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, repaint);
    connect(&model, &QAbstractItemModel::rowsMoved, this, repaint);
    connect(&model, &QAbstractItemModel::dataChanged, this, repaint);
    connect(&model, &QAbstractItemModel::layoutChanged, this, repaint);
}

qreal ChartView::scale() const
{
    return QFontInfo(font()).pixelSize() / pointsPerWindowText;
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal points = scale();
    painter.scale(points, points);
    const QRectF area = QRectF(0, 0, width() / points, height() / points).adjusted(margin, margin, -margin, -margin);
    const QRectF exposed(QRectF(event->rect()).topLeft() / points, QRectF(event->rect()).size() / points);
    if (!labels || labels->device() != painter.device())
        labels.emplace(chartLabelFont(), painter.device());
    drawChart(painter, *labels, area, exposed);
}

} // namespace mirabolo::registro
