#pragma once

#include <QPointF>
#include <QSize>

// Where the relief is seen from, in the exports' frame: X right, Y down the
// picture, depth (Z) away from the picture plane. The projection is
// orthographic, as in a CAD program's standard views: the eye looks at the
// relief's centre, moved on screen by the pan, from the direction set by yaw
// and pitch, and the distance only sets how large the relief shows.
struct PreviewCamera {
    double yaw = 0;       // degrees about the picture's vertical axis; positive shows the right side
    double pitch = 0;     // degrees about its horizontal axis; positive looks down from above the top edge
    double distance = 1;  // 1: the relief's largest size spans 90 % of the view's shorter side
    double panX = 0;      // the relief's centre moved right on screen, in relief sizes
    double panY = 0;      // and down

    // The picture the right way round, as seen from the picture plane.
    static PreviewCamera front();
    // Turned and raised so that the depths show; the batch picture's view.
    static PreviewCamera threeQuarter();

    // Pixels on screen per relief size, for a view of `view` pixels.
    double pixelsPerReliefSize(QSize view) const;

    // Pointer moves in pixels: orbiting turns the relief the way the pointer
    // goes, a fixed angle per pixel; panning carries it with the pointer.
    void orbit(QPointF pixels);
    void pan(QPointF pixels, QSize view);
    // Wheel steps (120 eighths of a degree each); positive comes closer.
    void zoom(double steps);

    bool operator==(const PreviewCamera& other) const;
    bool operator!=(const PreviewCamera& other) const { return !(*this == other); }
};
