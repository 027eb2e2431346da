#pragma once

// What a 3MF export of a grid weighs on the disk and in memory, before any
// point is read.

#include "export/mesh_size_estimate.h"

#include "relief/relief_walk.h"

#include <optional>
#include <string>

// lib3mf refuses a point farther than this from the origin, in millimetres.
inline constexpr double threeMfLargestCoordinate = 1e9;
// lib3mf writes six decimals: smaller differences are lost.
inline constexpr double threeMfFinest = 1e-6;

// The archive's size. The bound takes the model's XML at its longest (every
// number 18 characters, every point number as long as the last one's) and
// deflate at its worst (stored blocks, a few bytes more than the text); the
// typical size takes the lines as a relief's numbers make them, compressed
// as measured on photographs and on noise.
MeshSizeEstimate threeMfSizeEstimate(std::uint64_t columns, std::uint64_t rows, const MeshOptions& options);

// lib3mf's own limits (2 147 483 646 points or triangles) and the memory the
// export holds at once: the grid, the mesh in the program's hands and in
// lib3mf's, and the archive.
std::optional<std::string> threeMfProblem(const GridSize& grid, const MeshOptions& options);
