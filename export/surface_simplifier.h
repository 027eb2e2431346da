#pragma once

// Fewer triangles for the relief surface, within a budget or an error bound:
// the outline of the selection kept point for point (a solid's walls still
// meet it), no triangle turned over as seen from the picture, and the
// result measured on the triangles themselves.

#include "mesh_report.h"
#include "surface_greedy.h"

#include "relief/height_grid.h"

#include <cstdint>
#include <variant>
#include <vector>

struct SimplifyLimits {
    std::uint64_t maxTriangles = 0;  // for the surface alone; 0: no budget
    double maxError = 0.0;           // metres, vertical; 0: no bound
    InsertionWatch watch = {};       // told the share done now and then; false stops
};

struct SimplifiedSurface {
    // Three grid point indices (row * columns-of-points + column) per
    // triangle, facing the picture like the full grid's.
    std::vector<std::uint32_t> triangles;
    MeshReport report;  // measured on `triangles`
};

// The budget is below what the outline alone needs.
struct BudgetBelowOutline {
    std::uint64_t minimum;  // triangles
};

// The watch said to stop.
struct SimplifyStopped {};

using SimplifyResult = std::variant<SimplifiedSurface, BudgetBelowOutline, SimplifyStopped>;

// Every cell's two triangles, row by row, as the files written from the
// walk's rows give them.
std::vector<std::uint32_t> fullSurface(const HeightGrid& grid);

// Greedy insertion (surface_greedy.h) stops at whichever limit comes first:
// the next point would take the count past the budget, or no point strays
// farther than the bound. When the budget stopped it, the quadtree's surface
// within the same budget (surface_quadtree.h) is kept instead if it strays
// less. With neither limit, or a budget at or above the grid's own count,
// every cell is kept.
SimplifyResult simplifySurface(const HeightGrid& grid, const SimplifyLimits& limits);
