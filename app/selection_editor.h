#pragma once

#include <QObject>

class MainWindowCanvas;
class SelectionRectangle;

// Reshapes the selection from the pointer over the canvas: a press grabs the
// edges near it, a move carries them or, with none grabbed, shows which a
// press would grab in the pointer's shape. Positions are in window units.
class SelectionEditor : public QObject {
    Q_OBJECT
public:
    SelectionEditor(SelectionRectangle& rectangle, MainWindowCanvas& canvas);

public slots:
    void pointerPressed(float x, float y);
    void pointerMoved(float x, float y);
    void pointerReleased();
    // The four edges on the picture's bounds, as dragging them there would.
    void selectWholePicture();

signals:
    void selectionMoved();

private:
    double grabTolerance() const;
    void showPointerShape(float x, float y);

    SelectionRectangle& rectangle_;
    MainWindowCanvas& canvas_;
};
