#include "form_canvas.h"

#include "platform/window_unit.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

QPointF toPixels(float x, float y)
{
    return {x / window_unit::perPixelAcross, y / window_unit::perPixelDown};
}

// Pointer positions are single-precision window units.
struct UnitPoint {
    float x;
    float y;
};

UnitPoint toWindowUnits(QPointF pixels)
{
    return {static_cast<float>(pixels.x() * window_unit::perPixelAcross),
            static_cast<float>(pixels.y() * window_unit::perPixelDown)};
}

}  // namespace

FormCanvas::FormCanvas(const SelectionRectangle& rectangle, QWidget* parent)
    : QWidget(parent), rectangle_(rectangle)
{
}

void FormCanvas::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void FormCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!picture_.isNull())
        painter.drawImage(QPointF(0, 0), picture_);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    for (const EdgeLine* line : {&rectangle_.Line1, &rectangle_.Line2, &rectangle_.Line3, &rectangle_.Line4})
        painter.drawLine(toPixels(line->X1, line->Y1), toPixels(line->X2, line->Y2));
}

// Qt positions are logical pixels of the client area; the handlers work in window units.
void FormCanvas::mousePressEvent(QMouseEvent* event)
{
    const UnitPoint at = toWindowUnits(event->position());
    emit mouseDown(static_cast<int>(event->button()), static_cast<int>(event->modifiers()), at.x, at.y);
}

void FormCanvas::mouseMoveEvent(QMouseEvent* event)
{
    const UnitPoint at = toWindowUnits(event->position());
    emit mouseMove(static_cast<int>(event->buttons()), static_cast<int>(event->modifiers()), at.x, at.y);
}

void FormCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    const UnitPoint at = toWindowUnits(event->position());
    emit mouseUp(static_cast<int>(event->button()), static_cast<int>(event->modifiers()), at.x, at.y);
}
