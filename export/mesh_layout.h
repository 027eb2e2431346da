#pragma once

// How a grid of points becomes one connected mesh: the two triangles of each
// cell, and, for a solid, the side walls and the back face that close it.
//
// Vertices are numbered as the OBJ file lists them (from 0): the grid's
// points row by row, then for a solid one back-face point behind each point
// of the outline (in outline order), then the back face's centre.

#include "mesh_options.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

using MeshTriangle = std::array<std::uint64_t, 3>;

// The counts stop at UINT64_MAX (relief/saturating.h) rather than wrap.

std::uint64_t surfaceTriangleCount(std::uint64_t columns, std::uint64_t rows);
// Walls and back face of a solid.
std::uint64_t closureTriangleCount(std::uint64_t columns, std::uint64_t rows);
// The fewest triangles that still keep every point of the outline: a
// triangulation of the outline's polygon.
std::uint64_t minimumSurfaceTriangles(std::uint64_t columns, std::uint64_t rows);

// Back-face points of a solid: one behind each outline point, and the centre.
std::uint64_t backFacePointCount(std::uint64_t columns, std::uint64_t rows);

// Z of the back face, in metres: beyond every depth the relief can reach.
double backFaceDepth(const MeshOptions& options);

// The grid points around the selection, each once, in a cycle: top row left
// to right, right column down, bottom row right to left, left column up.
// Indices into the grid's points (row * (columns + 1) + column).
std::vector<std::uint64_t> gridOutline(std::size_t columns, std::size_t rows);

// True when the grid's X and Y run so that the cell triangles as the VRML
// files write them ("0 2 1", "2 3 1") would face away from the picture; the
// mesh then reverses every triangle so that the surface always faces it.
bool windingReversed(const std::vector<double>& xs, const std::vector<double>& ys);

// The two triangles of the cell whose top-left point is `topLeft`, in a grid
// `width` points wide.
inline void cellTriangles(std::uint64_t topLeft, std::uint64_t width, bool reversed, MeshTriangle out[2])
{
    const std::uint64_t p0 = topLeft, p1 = topLeft + 1, p2 = topLeft + width, p3 = p2 + 1;
    if (reversed) {
        out[0] = {p0, p1, p2};
        out[1] = {p2, p1, p3};
    } else {
        out[0] = {p0, p2, p1};
        out[1] = {p2, p3, p1};
    }
}

// Side walls and back face of a solid, oriented with the surface so that all
// normals point out of it. `outline` as gridOutline gives it; `firstBackPoint`
// is the number of the first back-face point.
std::vector<MeshTriangle> closureTriangles(const std::vector<std::uint64_t>& outline,
                                           std::uint64_t firstBackPoint, bool reversed);
