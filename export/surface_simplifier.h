#pragma once

// Fewer triangles for the relief surface, within a budget: the outline of
// the selection kept point for point (a solid's walls still meet it), no
// triangle turned over as seen from the picture, and the largest vertical
// distance between the grid's points and the result measured.

#include "relief/height_grid.h"

#include <cstdint>
#include <variant>
#include <vector>

struct SimplifiedSurface {
    // Three grid point indices (row * columns-of-points + column) per
    // triangle, facing the picture like the full grid's.
    std::vector<std::uint32_t> triangles;
    double largestGap = 0.0;  // metres, vertical, over all the grid's points
};

// The budget is below what the outline alone needs.
struct BudgetBelowOutline {
    std::uint64_t minimum;  // triangles
};

using SimplifyResult = std::variant<SimplifiedSurface, BudgetBelowOutline>;

// `maxTriangles` > 0. A budget at or above the grid's own count keeps every cell.
SimplifyResult simplifySurface(const HeightGrid& grid, std::uint64_t maxTriangles);

// The largest vertical distance, in metres, between the grid's points and
// `triangles` (as in SimplifiedSurface), which must cover the grid without
// folds.
double largestVerticalGap(const HeightGrid& grid, const std::vector<std::uint32_t>& triangles);
