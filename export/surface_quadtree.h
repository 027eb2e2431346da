#pragma once

// The relief surface within a triangle budget, from a quadtree over the
// grid's cells. Blocks are halved where the surface strays most from their
// corners, as long as the exact triangle count stays within the budget.
//
// A block of at least 2 x 2 cells is a fan from its middle point to every
// point kept on its sides, and a block one cell thin a strip between its two
// long sides: seen from the picture no triangle can turn over. A point kept
// on one block's side is a vertex of the block beyond it too, and every
// point of the outline is kept, so a solid's walls still meet the surface.

#include "relief/height_grid.h"

#include <cstdint>
#include <vector>

// Three grid point indices (row * columns-of-points + column) per triangle,
// facing the picture. `maxTriangles` is at least the outline's minimum
// (minimumSurfaceTriangles); the grid has cells.
std::vector<std::uint32_t> quadtreeSurface(const HeightGrid& grid, std::uint64_t maxTriangles);
