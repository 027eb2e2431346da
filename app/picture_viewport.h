#pragma once

#include <QPointF>
#include <QWidget>

class MainWindowCanvas;
class QImage;
class QScrollBar;
class SelectionRectangle;

// The main window's client area under zoom and scroll: the canvas, with
// scroll bars to its right and below it. The bars appear only when the
// zoomed picture does not fit, and the window grows by their thickness, so
// that the canvas keeps its size.
class PictureViewport : public QWidget {
    Q_OBJECT
public:
    PictureViewport(const SelectionRectangle& rectangle, QWidget* parent);

    MainWindowCanvas& canvas() const { return *canvas_; }
    QScrollBar* horizontalBar() const { return hbar_; }
    QScrollBar* verticalBar() const { return vbar_; }

    // A new picture under the same zoom and scroll, as far as it allows.
    void showPicture(const QImage& picture);

public slots:
    // `zoom` screen pixels per picture pixel, about a point of the canvas.
    void setZoom(double zoom, QPointF about);
    // One zoom step about the canvas's centre.
    void zoomIn();
    void zoomOut();
    void zoomToFit();
    void showActualSize();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void zoomBy(int levels, QPointF about);
    void applyView(double zoom, QPointF scroll, bool fitWindowToBars);
    QPointF centre() const;

    QScrollBar* hbar_;
    QScrollBar* vbar_;
    MainWindowCanvas* canvas_;
};
