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

ChartView::ChartView(const QString &accessibleName, const QAbstractItemModel &shown, QString empty, Draw draw,
                     QWidget *parent)
    : QWidget(parent)
    , drawChart(std::move(draw))
    , model(shown)
    , emptyText(std::move(empty))
{
    setAccessibleName(accessibleName);
    setFocusPolicy(Qt::NoFocus); // the table beside it holds the same facts for the keyboard
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&model, &QAbstractItemModel::modelReset, this, &ChartView::modelChanged);
    connect(&model, &QAbstractItemModel::rowsInserted, this, &ChartView::modelChanged);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, &ChartView::modelChanged);
    connect(&model, &QAbstractItemModel::rowsMoved, this, &ChartView::modelChanged);
    connect(&model, &QAbstractItemModel::dataChanged, this, &ChartView::modelChanged);
    connect(&model, &QAbstractItemModel::layoutChanged, this, &ChartView::modelChanged);
    modelChanged();
}

void ChartView::modelChanged()
{
    const QString said = placeholder();
    if (said != accessibleDescription())
        setAccessibleDescription(said);
    update();
}

qreal ChartView::scale() const
{
    return QFontInfo(font()).pixelSize() / pointsPerWindowText;
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (const QString said = placeholder(); !said.isEmpty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, said);
        return;
    }
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
