#pragma once

#include "preview/preview_camera.h"
#include "preview/relief_renderer.h"
#include "relief/height_grid.h"

#include <QImage>
#include <QWidget>

// The preview's drawing area. It renders the relief again only when
// something it shows has changed and a paint asks for it: several changes in
// a row cost one frame, and nothing is drawn on a timer. Dragging with the
// left button orbits, with the right one pans; the wheel zooms.
class ReliefView : public QWidget {
    Q_OBJECT
public:
    explicit ReliefView(QWidget* parent = nullptr);

    void setGrid(HeightGrid grid);
    void setMode(RenderMode mode);
    void setCamera(const PreviewCamera& camera);
    const PreviewCamera& camera() const { return camera_; }

    QSize sizeHint() const override { return {640, 480}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void changed();

    HeightGrid grid_;
    PreviewCamera camera_ = PreviewCamera::threeQuarter();
    RenderMode mode_ = RenderMode::Shaded;
    QImage frame_;
    bool stale_ = true;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPointF lastPointer_;
};
