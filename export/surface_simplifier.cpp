#include "surface_simplifier.h"

#include "mesh_layout.h"
#include "surface_quadtree.h"

#include <algorithm>
#include <cmath>

namespace {

std::vector<std::uint32_t> fullSurface(const HeightGrid& grid)
{
    const std::size_t columns = grid.cellColumns(), rows = grid.cellRows();
    const std::uint64_t width = grid.xs.size();
    const bool reversed = windingReversed(grid.xs, grid.ys);
    std::vector<std::uint32_t> triangles;
    triangles.reserve(6 * columns * rows);
    MeshTriangle cell[2];
    for (std::uint64_t r = 0; r < rows; ++r)
        for (std::uint64_t c = 0; c < columns; ++c) {
            cellTriangles(r * width + c, width, reversed, cell);
            for (const MeshTriangle& t : cell)
                for (std::uint64_t v : t)
                    triangles.push_back(static_cast<std::uint32_t>(v));
        }
    return triangles;
}

// The first index of `values` (sorted either way) at or past `from`, and one
// past the last at or before `to`, in the direction of the values.
std::pair<std::size_t, std::size_t> indexRange(const std::vector<double>& values, double low, double high)
{
    if (values.front() <= values.back()) {
        auto first = std::lower_bound(values.begin(), values.end(), low);
        auto last = std::upper_bound(values.begin(), values.end(), high);
        return {static_cast<std::size_t>(first - values.begin()), static_cast<std::size_t>(last - values.begin())};
    }
    auto first = std::lower_bound(values.begin(), values.end(), high, std::greater<double>());
    auto last = std::upper_bound(values.begin(), values.end(), low, std::greater<double>());
    return {static_cast<std::size_t>(first - values.begin()), static_cast<std::size_t>(last - values.begin())};
}

}  // namespace

double largestVerticalGap(const HeightGrid& grid, const std::vector<std::uint32_t>& triangles)
{
    const std::size_t w = grid.xs.size();
    double largest = 0.0;
    for (std::size_t t = 0; t + 2 < triangles.size(); t += 3) {
        double x[3], y[3], z[3];
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t v = triangles[t + k];
            x[k] = grid.xs[v % w];
            y[k] = grid.ys[v / w];
            z[k] = grid.depths[v];
        }
        const double area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
        if (area == 0)
            continue;
        const auto rows = indexRange(grid.ys, std::min({y[0], y[1], y[2]}), std::max({y[0], y[1], y[2]}));
        for (std::size_t r = rows.first; r < rows.second; ++r) {
            // The triangle's span along this row of points.
            const double py = grid.ys[r];
            double low = HUGE_VAL, high = -HUGE_VAL;
            for (int k = 0; k < 3; ++k) {
                const int n = (k + 1) % 3;
                if ((y[k] - py) * (y[n] - py) > 0)
                    continue;
                const double px = y[k] == y[n] ? x[k] : x[k] + (py - y[k]) / (y[n] - y[k]) * (x[n] - x[k]);
                low = std::min({low, px, y[k] == y[n] ? x[n] : px});
                high = std::max({high, px, y[k] == y[n] ? x[n] : px});
            }
            if (low > high)
                continue;
            const double slack = 1e-9 * (std::fabs(high) + std::fabs(low) + 1e-300);
            const auto columns = indexRange(grid.xs, low - slack, high + slack);
            for (std::size_t c = columns.first; c < columns.second; ++c) {
                const double px = grid.xs[c];
                const double w0 = ((x[1] - px) * (y[2] - py) - (y[1] - py) * (x[2] - px)) / area;
                const double w1 = ((x[2] - px) * (y[0] - py) - (y[2] - py) * (x[0] - px)) / area;
                const double surface = w0 * z[0] + w1 * z[1] + (1.0 - w0 - w1) * z[2];
                largest = std::max(largest, std::fabs(grid.depth(r, c) - surface));
            }
        }
    }
    return largest;
}

SimplifyResult simplifySurface(const HeightGrid& grid, std::uint64_t maxTriangles)
{
    const std::uint64_t columns = grid.cellColumns(), rows = grid.cellRows();
    const std::uint64_t minimum = minimumSurfaceTriangles(columns, rows);
    if (maxTriangles < minimum)
        return BudgetBelowOutline{minimum};
    if (maxTriangles >= surfaceTriangleCount(columns, rows))
        return SimplifiedSurface{fullSurface(grid), 0.0};

    std::vector<std::uint32_t> triangles = quadtreeSurface(grid, maxTriangles);
    const double gap = largestVerticalGap(grid, triangles);
    return SimplifiedSurface{std::move(triangles), gap};
}
