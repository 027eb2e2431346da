#include "relief_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <utility>

ReliefView::ReliefView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    // Every pixel comes from the frame: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReliefView::setGrid(HeightGrid grid)
{
    grid_ = std::move(grid);
    changed();
}

void ReliefView::setMode(RenderMode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    changed();
}

void ReliefView::setCamera(const PreviewCamera& camera)
{
    if (camera == camera_)
        return;
    camera_ = camera;
    changed();
}

void ReliefView::changed()
{
    stale_ = true;
    update();
}

void ReliefView::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (stale_ || frame_.size() != pixels) {
        frame_ = renderRelief(grid_, camera_, pixels, mode_);
        frame_.setDevicePixelRatio(ratio);
        stale_ = false;
    }
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), frame_);
}

void ReliefView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return QWidget::mousePressEvent(event);
    dragButton_ = event->button();
    lastPointer_ = event->position();
}

void ReliefView::mouseMoveEvent(QMouseEvent* event)
{
    if (dragButton_ == Qt::NoButton)
        return QWidget::mouseMoveEvent(event);
    const QPointF moved = event->position() - lastPointer_;
    lastPointer_ = event->position();
    if (dragButton_ == Qt::LeftButton)
        camera_.orbit(moved);
    else
        camera_.pan(moved, size());
    changed();
}

void ReliefView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == dragButton_)
        dragButton_ = Qt::NoButton;
}

void ReliefView::wheelEvent(QWheelEvent* event)
{
    camera_.zoom(event->angleDelta().y() / 120.0);
    changed();
}
