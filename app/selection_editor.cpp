#include "selection_editor.h"

#include "main_window_canvas.h"
#include "selection_rectangle.h"
#include "platform/window_unit.h"

SelectionEditor::SelectionEditor(SelectionRectangle& rectangle, MainWindowCanvas& canvas)
    : QObject(&canvas), rectangle_(rectangle), canvas_(canvas)
{
    connect(&canvas, &MainWindowCanvas::pointerPressed, this, &SelectionEditor::pointerPressed);
    connect(&canvas, &MainWindowCanvas::pointerMoved, this, &SelectionEditor::pointerMoved);
    connect(&canvas, &MainWindowCanvas::pointerReleased, this, &SelectionEditor::pointerReleased);
}

// Zoomed out, the grab keeps the size on the screen it has at 100 %.
double SelectionEditor::grabTolerance() const
{
    const double zoom = canvas_.zoom();
    return zoom >= 1 ? SelectionRectangle::tolerance : SelectionRectangle::tolerance / zoom;
}

void SelectionEditor::pointerPressed(float x, float y)
{
    rectangle_.mouseDown(x, y, grabTolerance());
}

void SelectionEditor::pointerMoved(float x, float y)
{
    if (rectangle_.mouseMove(x, y)) {
        canvas_.update();
        emit selectionMoved();
    } else {
        showPointerShape(x, y);
    }
}

void SelectionEditor::pointerReleased()
{
    rectangle_.mouseUp();
}

void SelectionEditor::selectWholePicture()
{
    const QSize picture = canvas_.picture().size();
    if (picture.isEmpty())
        return;
    rectangle_.moveEdges(0, 0, static_cast<float>(picture.width() * window_unit::perPixelAcross),
                         static_cast<float>(picture.height() * window_unit::perPixelDown));
    canvas_.update();
    emit selectionMoved();
}

void SelectionEditor::showPointerShape(float x, float y)
{
    const SelectionRectangle::Grabs g = rectangle_.grabsAt(x, y, grabTolerance());
    const bool across = g.left || g.right;
    const bool down = g.top || g.bottom;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (across && down) {
        // Top-left and bottom-right corners lean one way, the others the other.
        const bool leftSide = g.left && !g.right;
        shape = (leftSide == g.top) ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    } else if (across) {
        shape = Qt::SizeHorCursor;
    } else if (down) {
        shape = Qt::SizeVerCursor;
    }
    if (canvas_.cursor().shape() != shape)
        canvas_.setCursor(shape);
}
