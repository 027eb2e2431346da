#pragma once

// What a mesh really is, measured on the triangles that are written rather
// than predicted by the simplifier: how far the surface strays from the
// grid at every one of its points, and whether a solid is closed.

#include "mesh_layout.h"

#include "relief/height_grid.h"

#include <cstdint>
#include <vector>

struct MeshReport {
    std::uint64_t triangles = 0;
    double largestError = 0.0;  // metres, vertical, between a grid point and the surface above it
    double rmsError = 0.0;      // metres, over the points measured
    // Grid points under the triangles, each counted once; all of the grid's
    // when the triangles cover it without gap or overlap.
    std::uint64_t pointsMeasured = 0;
    // Triangles facing away from the picture, or flat as seen from it.
    std::uint64_t foldedTriangles = 0;
};

// `triangles`: three grid point indices (row * columns-of-points + column)
// each. Every grid point inside or on a triangle is interpolated in the
// plane through its corners; time linear in the points and triangles.
MeshReport measureSurface(const HeightGrid& grid, const std::vector<std::uint32_t>& triangles);

struct SolidCheck {
    std::uint64_t openEdges = 0;     // edges of one triangle only
    std::uint64_t crowdedEdges = 0;  // edges of more than two triangles
    std::uint64_t turnedEdges = 0;   // edges that two triangles run along the same way
    bool closed() const { return openEdges == 0 && crowdedEdges == 0 && turnedEdges == 0; }
};

// Every edge shared by exactly two triangles running along it in opposite
// directions: a closed, consistently oriented surface.
SolidCheck closedSolidCheck(const std::vector<MeshTriangle>& triangles);

// The triangles of a solid's file: the surface, then its walls and back
// face, numbered as mesh_layout.h numbers the points.
std::vector<MeshTriangle> solidTriangles(const HeightGrid& grid, const std::vector<std::uint32_t>& surface);
