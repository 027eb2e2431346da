#include "main_window_canvas.h"

#include "platform/window_unit.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWheelEvent>

namespace {

// Pointer positions are single-precision window units.
struct UnitPoint {
    float x;
    float y;
};

}  // namespace

MainWindowCanvas::MainWindowCanvas(const SelectionRectangle& rectangle, QWidget* parent)
    : QWidget(parent), rectangle_(rectangle)
{
    setMouseTracking(true);  // the readout and the pointer's shape follow it
}

void MainWindowCanvas::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void MainWindowCanvas::setView(double zoom, QPointF scroll)
{
    if (zoom == zoom_ && scroll == scroll_)
        return;
    zoom_ = zoom;
    scroll_ = scroll;
    update();
}

QPointF MainWindowCanvas::toWindowUnits(QPointF screen) const
{
    const QPointF pixels = (screen + scroll_) / zoom_;
    return {pixels.x() * window_unit::perPixelAcross, pixels.y() * window_unit::perPixelDown};
}

QPointF MainWindowCanvas::toScreen(double x, double y) const
{
    return QPointF(x / window_unit::perPixelAcross, y / window_unit::perPixelDown) * zoom_ - scroll_;
}

void MainWindowCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!picture_.isNull()) {
        if (zoom_ == 1 && scroll_.isNull()) {
            painter.drawImage(QPointF(0, 0), picture_);
        } else {
            // Only the part in view is scaled, pixel for pixel.
            const QRectF shown = QRectF(rect()).intersected(QRectF(-scroll_, QSizeF(picture_.size()) * zoom_));
            const QRectF source((shown.topLeft() + scroll_) / zoom_, shown.size() / zoom_);
            painter.drawImage(shown, picture_, source);
        }
    }
    // One screen pixel wide, in the line colour, with a light line beside it
    // so that the edges show on a dark picture too.
    const QColor lineColour = palette().color(QPalette::WindowText);
    const QColor beside = lineColour.lightness() < 128 ? QColor(Qt::white) : QColor(Qt::black);
    const EdgeLine* lines[] = {&rectangle_.rightEdge, &rectangle_.bottomEdge, &rectangle_.topEdge,
                               &rectangle_.leftEdge};
    painter.setPen(QPen(beside, 0));
    for (const EdgeLine* line : lines) {
        const bool vertical = line->fromX == line->toX;
        const QPointF aside = vertical ? QPointF(1, 0) : QPointF(0, 1);
        painter.drawLine(toScreen(line->fromX, line->fromY) + aside, toScreen(line->toX, line->toY) + aside);
    }
    painter.setPen(QPen(lineColour, 0));
    for (const EdgeLine* line : lines)
        painter.drawLine(toScreen(line->fromX, line->fromY), toScreen(line->toX, line->toY));
}

namespace {

UnitPoint unitsOf(const MainWindowCanvas& canvas, QPointF screen)
{
    const QPointF units = canvas.toWindowUnits(screen);
    return {static_cast<float>(units.x()), static_cast<float>(units.y())};
}

}  // namespace

// Qt positions are logical pixels of the client area; the handlers work in window units.
void MainWindowCanvas::mousePressEvent(QMouseEvent* event)
{
    const UnitPoint at = unitsOf(*this, event->position());
    emit pointerPressed(at.x, at.y);
}

void MainWindowCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const UnitPoint at = unitsOf(*this, event->position());
    emit pointerMoved(at.x, at.y);
}

void MainWindowCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const UnitPoint at = unitsOf(*this, event->position());
    emit pointerReleased(at.x, at.y);
}

void MainWindowCanvas::wheelEvent(QWheelEvent* event)
{
    if (event->modifiers() & Qt::ControlModifier) {
        emit zoomWheel(event->angleDelta().y() / 120.0, event->position());
    } else {
        QPoint delta = event->pixelDelta().isNull() ? event->angleDelta() / 120 * 48 : event->pixelDelta();
        if (event->modifiers() & Qt::ShiftModifier)
            delta = {delta.y(), delta.x()};
        emit scrollWheel(delta);
    }
    event->accept();
}

void MainWindowCanvas::leaveEvent(QEvent*)
{
    emit pointerLeft();
}

void MainWindowCanvas::resizeEvent(QResizeEvent* event)
{
    emit resized(event->size());
}
