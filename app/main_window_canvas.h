#pragma once

#include "selection_rectangle.h"

#include <QImage>
#include <QWidget>

// The main window's client area: the picture from the top-left corner, at
// natural size unless zoomed, scrolled by the window's scroll bars, with the
// selection's four lines over it. Zoom and scroll change the view only:
// mouse positions are handed on in window units measured from the picture's
// top-left corner, so at 100 % and unscrolled they are the client area's own.
class MainWindowCanvas : public QWidget {
    Q_OBJECT
public:
    MainWindowCanvas(const SelectionRectangle& rectangle, QWidget* parent);
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    // The view: `zoom` screen pixels per picture pixel, `scroll` the screen
    // position of the client area's top-left corner over the zoomed picture.
    void setView(double zoom, QPointF scroll);
    double zoom() const { return zoom_; }
    QPointF scroll() const { return scroll_; }
    // Client-area pixels to window units and back.
    QPointF toWindowUnits(QPointF screen) const;
    QPointF toScreen(double x, double y) const;

signals:
    // Whatever the button: every one reshapes the selection alike.
    void pointerPressed(float x, float y);
    void pointerMoved(float x, float y);
    void pointerReleased(float x, float y);
    // Ctrl + wheel: `steps` notches up (positive) or down about a point of the client area.
    void zoomWheel(double steps, QPointF about);
    void scrollWheel(QPoint pixels);
    void pointerLeft();
    void resized(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const SelectionRectangle& rectangle_;
    QImage picture_;
    double zoom_ = 1;
    QPointF scroll_;
};
