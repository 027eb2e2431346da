#pragma once

#include "relief/height_grid.h"

#include <cstddef>

// A preview frame costs time in proportion to its points: above a few
// hundred thousand, only some of them are drawn.
constexpr std::size_t previewPointBudget = 250000;

struct ThinnedGrid {
    HeightGrid grid;
    std::size_t step = 1;  // 1 point in `step` kept along each axis
};

// The smallest step that leaves at most `maxPoints` points when 1 point in
// `step` is kept along each axis, the last row and column always among them.
std::size_t thinningStep(std::size_t columns, std::size_t rows, std::size_t maxPoints);

// The grid with 1 point in N kept along each axis, and the last ones, N
// from thinningStep. The moving form hands back the grid itself when N is 1.
ThinnedGrid thinGrid(const HeightGrid& grid, std::size_t maxPoints = previewPointBudget);
ThinnedGrid thinGrid(HeightGrid&& grid, std::size_t maxPoints = previewPointBudget);
