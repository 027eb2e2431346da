#pragma once

#include "relief/point_placement.h"

#include <cstdint>

// What the user chose for a one-piece mesh (STL or OBJ).
struct MeshOptions {
    bool solid = false;             // close the relief into a block
    double base = 0.0;              // metres past the deepest point to the back face; > 0
    std::uint64_t maxTriangles = 0; // for the relief surface alone; 0 keeps every cell's two
    double maxDepth = 0.0;          // metres, as read (no floor): where the back face starts
    double maxError = 0.0;          // metres, vertical, for the relief surface; 0: no bound
    bool measured = false;          // hold the grid and measure the mesh even without a limit
    PointPlacement placement{};     // where the file puts the points: the VRML frame unless turned

    // The whole grid is held and simplified (or measured) before anything is
    // written; otherwise the file is written as the grid is made.
    bool simplifies() const { return maxTriangles != 0 || maxError > 0 || measured; }
};
