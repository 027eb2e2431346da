#include "mesh_layout.h"

#include "relief/saturating.h"

#include <algorithm>

std::uint64_t surfaceTriangleCount(std::uint64_t columns, std::uint64_t rows)
{
    return saturatingMultiply(2, saturatingMultiply(columns, rows));
}

std::uint64_t closureTriangleCount(std::uint64_t columns, std::uint64_t rows)
{
    // Two per outline edge on the walls, one per outline edge in the back face's fan.
    return columns == 0 || rows == 0 ? 0 : saturatingMultiply(6, saturatingAdd(columns, rows));
}

std::uint64_t minimumSurfaceTriangles(std::uint64_t columns, std::uint64_t rows)
{
    return columns == 0 || rows == 0 ? 0 : saturatingMultiply(2, saturatingAdd(columns, rows)) - 2;
}

std::uint64_t backFacePointCount(std::uint64_t columns, std::uint64_t rows)
{
    return columns == 0 || rows == 0 ? 0 : saturatingAdd(saturatingMultiply(2, saturatingAdd(columns, rows)), 1);
}

double backFaceDepth(const MeshOptions& options)
{
    return std::max(options.maxDepth, 0.0) + options.base;
}

std::vector<std::uint64_t> gridOutline(std::size_t columns, std::size_t rows)
{
    std::vector<std::uint64_t> outline;
    if (columns == 0 || rows == 0)
        return outline;
    const std::uint64_t width = columns + 1;
    outline.reserve(2 * (columns + rows));
    for (std::uint64_t c = 0; c < columns; ++c)
        outline.push_back(c);
    for (std::uint64_t r = 0; r < rows; ++r)
        outline.push_back(r * width + columns);
    for (std::uint64_t c = columns; c > 0; --c)
        outline.push_back(rows * width + c);
    for (std::uint64_t r = rows; r > 0; --r)
        outline.push_back(r * width);
    return outline;
}

bool windingReversed(const std::vector<double>& xs, const std::vector<double>& ys)
{
    if (xs.size() < 2 || ys.size() < 2)
        return false;
    return (xs[1] - xs[0] > 0) != (ys[1] - ys[0] > 0);
}

std::vector<MeshTriangle> closureTriangles(const std::vector<std::uint64_t>& outline,
                                           std::uint64_t firstBackPoint, bool reversed)
{
    // The outline runs against the surface's own boundary, so each wall uses
    // its outline edge forwards and the back face's fan runs with the outline.
    std::vector<MeshTriangle> triangles;
    const std::size_t n = outline.size();
    triangles.reserve(3 * n);
    const std::uint64_t centre = firstBackPoint + n;
    auto add = [&](std::uint64_t a, std::uint64_t b, std::uint64_t c) {
        triangles.push_back(reversed ? MeshTriangle{a, c, b} : MeshTriangle{a, b, c});
    };
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const std::uint64_t backI = firstBackPoint + i, backJ = firstBackPoint + j;
        add(outline[i], outline[j], backJ);
        add(outline[i], backJ, backI);
    }
    for (std::size_t i = 0; i < n; ++i)
        add(centre, firstBackPoint + i, firstBackPoint + (i + 1) % n);
    return triangles;
}
