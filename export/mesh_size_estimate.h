#pragma once

// File sizes of the one-piece meshes, before any point is read: to warn of
// a large file or check the room on the disk.

#include "mesh_options.h"

#include <cstdint>

struct MeshSizeEstimate {
    std::uint64_t typical;     // bytes, for an ordinary picture
    std::uint64_t upperBound;  // bytes, never exceeded
};

// The surface's triangles the file will hold at most: every cell's two, or
// the budget when it is smaller.
std::uint64_t surfaceTriangleBound(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options);

// Triangles and points a file that lists every point once holds at most,
// a solid's walls, back and back points included.
std::uint64_t meshTriangleBound(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options);
std::uint64_t meshPointBound(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options);

// Exact without a budget (84 + 50 bytes a triangle); with one, the typical
// size takes the budget as reached.
MeshSizeEstimate stlSizeEstimate(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options);

// The mean lengths of a point's three number texts in an OBJ file.
struct ObjTextLengths {
    double x = 6;   // 15-unit steps at a scale of 0.001: 5.6 to 6.2 on average
    double y = 6;
    double z = 17;  // a depth's usual 17 digits
};

// The typical size takes the numbers at the given mean lengths; the bound
// takes every number at its longest text.
MeshSizeEstimate objSizeEstimate(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options,
                                 const ObjTextLengths& lengths = {});
