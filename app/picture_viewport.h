#pragma once

#include <QPointF>
#include <QWidget>

class MainWindowCanvas;
class QImage;
class QScrollBar;
class SelectionRectangle;

// The main window's client area under zoom and scroll: the canvas, with
// scroll bars to its right and below it. The bars appear only when the
// zoomed picture does not fit, and take their room from the canvas: the
// window never changes its size for them. Beyond the picture's right and
// bottom sides the view keeps a margin as wide as the grab tolerance, so
// that an edge on the picture's border can be grabbed from either side.
class PictureViewport : public QWidget {
    Q_OBJECT
public:
    PictureViewport(const SelectionRectangle& rectangle, QWidget* parent);

    MainWindowCanvas& canvas() const { return *canvas_; }
    QScrollBar* horizontalBar() const { return hbar_; }
    QScrollBar* verticalBar() const { return vbar_; }

    // A new picture from its top-left corner: at 100 % when it fits the
    // view, else fitted to it.
    void showPicture(const QImage& picture);
    // Screen pixels kept beyond the picture's far sides at this zoom.
    static double grabMargin(double zoom);

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
    void applyView(double zoom, QPointF scroll);
    QPointF centre() const;
    double fittingZoom() const;

    QScrollBar* hbar_;
    QScrollBar* vbar_;
    MainWindowCanvas* canvas_;
};
