#pragma once

// The relief surface by greedy insertion, after Garland and Heckbert, "Fast
// Polygonal Approximation of Terrains and Height Fields" (1995): the grid
// point farthest (vertically) from the surface so far goes in, one at a
// time, into a Delaunay triangulation of the points kept, as seen from the
// picture. Each triangle keeps its farthest point in a heap; an insertion
// looks again only at the triangles it changed.
//
// Every point of the outline is kept, so a solid's walls meet the surface
// point for point: they cost the budget nothing when the greedy choice
// takes them, and the others go in once the mesh is fine enough for their
// thin triangles along the outline to be cheap to scan. Triangles of a plane
// triangulation lifted to their depths cannot fold as seen from the picture.

#include "relief/height_grid.h"

#include <cstdint>
#include <functional>
#include <vector>

// Asked now and then, on the calling thread, with the share of the work
// done (0 to 1, as far as it can tell); false stops the insertion.
using InsertionWatch = std::function<bool(double done)>;

// Three grid point indices (row * columns-of-points + column) per triangle,
// facing the picture as the grid's own cells do (cellTriangles). Stops
// before an insertion would take the count past `maxTriangles` (0: no
// budget; it is at least minimumSurfaceTriangles) or once no point lies
// farther than `maxError` metres from the surface (0: until none lies off
// it). The grid has cells and fewer than 2^32 points. Under a bound alone,
// a grid of at least `splitFrom` points is done as two halves at once.
// Nothing when `watch` stopped it.
constexpr std::uint64_t greedySplitFrom = std::uint64_t(1) << 22;
std::vector<std::uint32_t> greedySurface(const HeightGrid& grid, std::uint64_t maxTriangles, double maxError,
                                         std::uint64_t splitFrom = greedySplitFrom,
                                         const InsertionWatch& watch = {});
