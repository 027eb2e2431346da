#include "mesh_report.h"

#include "surface_raster.h"

#include <algorithm>
#include <cmath>
#include <utility>

MeshReport measureSurface(const HeightGrid& grid, const std::vector<std::uint32_t>& triangles)
{
    MeshReport report;
    report.triangles = triangles.size() / 3;
    const std::uint64_t width = grid.xs.size();
    if (width < 2 || grid.ys.size() < 2)
        return report;
    const GridIndexSplitter gridPoint(width);
    const bool facingPositive = windingReversed(grid.xs, grid.ys);
    // A point on a side may lie under several triangles: those are counted
    // once, by this mark; the others lie under one triangle only.
    std::vector<std::uint64_t> counted((grid.depths.size() + 63) / 64, 0);
    auto firstTime = [&](std::uint64_t i) {
        std::uint64_t& word = counted[i / 64];
        const std::uint64_t bit = std::uint64_t(1) << (i % 64);
        const bool first = (word & bit) == 0;
        word |= bit;
        return first;
    };
    double largest = 0, squares = 0;
    std::uint64_t measured = 0;
    for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
        const GridPoint a = gridPoint(triangles[t]), b = gridPoint(triangles[t + 1]),
                        c = gridPoint(triangles[t + 2]);
        const std::int64_t turn = orientation(a, b, c);
        if (turn == 0 || (turn > 0) != facingPositive)
            ++report.foldedTriangles;
        if (turn == 0)
            continue;
        const SortedTriangle s = sortedTriangle(a, b, c);
        const SurfacePlane plane(s, grid.xs.data(), grid.ys.data(), grid.depths.data(), width);
        forEachTriangleRow(s, [&](std::int64_t y, std::int64_t first, std::int64_t last, bool firstOnSide,
                                  bool lastOnSide, bool rowOnSide) {
            const double start = plane.rowStart(grid.ys[y]);
            const std::uint64_t row = std::uint64_t(y) * width;
            const double* z = &grid.depths[row];
            auto error = [&](std::int64_t column) { return std::fabs(z[column] - plane.at(start, grid.xs[column])); };
            auto onSide = [&](std::int64_t column) {
                const double e = error(column);
                largest = std::max(largest, e);
                if (firstTime(row + std::uint64_t(column))) {
                    squares += e * e;
                    ++measured;
                }
            };
            if (rowOnSide) {
                for (std::int64_t column = first; column <= last; ++column)
                    onSide(column);
                return;
            }
            if (firstOnSide)
                onSide(first++);
            if (lastOnSide && last >= first)
                onSide(last--);
            double rowLargest = 0, rowSquares = 0;
            for (std::int64_t column = first; column <= last; ++column) {
                const double e = error(column);
                rowLargest = std::max(rowLargest, e);
                rowSquares += e * e;
            }
            largest = std::max(largest, rowLargest);
            squares += rowSquares;
            measured += std::uint64_t(std::max<std::int64_t>(last - first + 1, 0));
        });
    }
    report.largestError = largest;
    report.rmsError = measured == 0 ? 0.0 : std::sqrt(squares / double(measured));
    report.pointsMeasured = measured;
    return report;
}

SolidCheck closedSolidCheck(const std::vector<MeshTriangle>& triangles)
{
    // Each edge as (lower point, higher point * 2 + whether it runs upwards).
    std::vector<std::pair<std::uint64_t, std::uint64_t>> edges;
    edges.reserve(3 * triangles.size());
    for (const MeshTriangle& t : triangles)
        for (int k = 0; k < 3; ++k) {
            const std::uint64_t from = t[k], to = t[(k + 1) % 3];
            edges.emplace_back(std::min(from, to), 2 * std::max(from, to) + (from < to));
        }
    std::sort(edges.begin(), edges.end());
    SolidCheck check;
    for (std::size_t i = 0; i < edges.size();) {
        std::size_t j = i + 1;
        while (j < edges.size() && edges[j].first == edges[i].first && edges[j].second / 2 == edges[i].second / 2)
            ++j;
        if (edges[i].first == edges[i].second / 2 || j - i == 1)
            ++check.openEdges;  // a triangle with a repeated point has such an edge too
        else if (j - i > 2)
            ++check.crowdedEdges;
        else if (edges[i].second == edges[i + 1].second)
            ++check.turnedEdges;
        i = j;
    }
    return check;
}

std::vector<MeshTriangle> solidTriangles(const HeightGrid& grid, const std::vector<std::uint32_t>& surface)
{
    std::vector<MeshTriangle> triangles;
    const std::size_t columns = grid.cellColumns(), rows = grid.cellRows();
    triangles.reserve(surface.size() / 3 + closureTriangleCount(columns, rows));
    for (std::size_t t = 0; t + 2 < surface.size(); t += 3)
        triangles.push_back({surface[t], surface[t + 1], surface[t + 2]});
    if (!grid.hasCells())
        return triangles;
    const std::vector<MeshTriangle> closure =
        closureTriangles(gridOutline(columns, rows), grid.depths.size(), windingReversed(grid.xs, grid.ys));
    triangles.insert(triangles.end(), closure.begin(), closure.end());
    return triangles;
}
