#pragma once

#include "relief/height_grid.h"

#include <QImage>
#include <QRect>

// A grid of points 1 cm apart, its depths from `depth(row, column)`.
template <typename DepthOf>
HeightGrid gridOf(int columns, int rows, DepthOf depth)
{
    HeightGrid grid;
    for (int c = 0; c < columns; ++c)
        grid.xs.push_back(c * 0.01);
    for (int r = 0; r < rows; ++r) {
        grid.ys.push_back(r * 0.01);
        for (int c = 0; c < columns; ++c)
            grid.depths.push_back(depth(r, c));
    }
    return grid;
}

// The smallest rectangle holding every pixel for which `keep(colour)` holds.
template <typename Keep>
QRect boundsWhere(const QImage& image, Keep keep)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (keep(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}
