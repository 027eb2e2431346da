#pragma once

#include "preview_camera.h"
#include "relief/height_grid.h"

#include <QImage>
#include <QSize>

enum class RenderMode {
    Shaded,        // one clay colour, lit from the upper left
    DepthColours,  // a ramp from the shallowest point (dark) to the deepest (bright), lightly lit
};

// The colour around the relief.
QRgb previewBackground();

// Draws the relief as the mesh exports describe it, each cell two flat
// triangles cut from its top right corner to its bottom left one, seen
// through `camera`, into a picture of `size`. Done on the CPU with a
// z-buffer: the same pixels with or without a display or a GPU. A grid with
// no cell, or whose depths do not fill it, gives the background alone.
QImage renderRelief(const HeightGrid& grid, const PreviewCamera& camera, QSize size,
                    RenderMode mode = RenderMode::Shaded);
