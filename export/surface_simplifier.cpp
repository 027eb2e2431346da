#include "surface_simplifier.h"

#include "mesh_layout.h"

#include <meshoptimizer.h>

#include <algorithm>
#include <cfloat>
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

// Twice the signed area seen from the picture; every triangle of the
// surface has it negative (its normal towards the picture, -Z).
double facing(const HeightGrid& grid, std::uint32_t a, std::uint32_t b, std::uint32_t c)
{
    const std::size_t w = grid.xs.size();
    const double ax = grid.xs[a % w], ay = grid.ys[a / w];
    return (grid.xs[b % w] - ax) * (grid.ys[c / w] - ay) - (grid.ys[b / w] - ay) * (grid.xs[c % w] - ax);
}

bool keepsFacing(const HeightGrid& grid, const std::vector<std::uint32_t>& triangles)
{
    for (std::size_t t = 0; t < triangles.size(); t += 3)
        if (!(facing(grid, triangles[t], triangles[t + 1], triangles[t + 2]) < 0))
            return false;
    return true;
}

// The outline alone, with no inner point: the fewest triangles there are.
// Two chains from the bottom-left corner to the top-right one (up the left
// side then along the top; along the bottom then up the right side),
// stitched so that no triangle has its three points on one side.
std::vector<std::uint32_t> outlineOnly(const HeightGrid& grid)
{
    const std::uint32_t columns = static_cast<std::uint32_t>(grid.cellColumns());
    const std::uint32_t rows = static_cast<std::uint32_t>(grid.cellRows());
    const std::uint32_t width = columns + 1;
    std::vector<std::uint32_t> a, b;
    for (std::uint32_t r = rows; r > 0; --r)
        a.push_back(r * width);
    for (std::uint32_t c = 0; c <= columns; ++c)
        a.push_back(c);
    for (std::uint32_t c = 0; c < columns; ++c)
        b.push_back(rows * width + c);
    for (std::uint32_t r = rows; r > 0; --r)
        b.push_back(r * width + columns);
    b.push_back(columns);

    std::vector<std::uint32_t> triangles;
    auto add = [&](std::uint32_t p, std::uint32_t q, std::uint32_t s) {
        if (facing(grid, p, q, s) > 0)
            std::swap(q, s);
        triangles.insert(triangles.end(), {p, q, s});
    };
    const std::size_t lastA = a.size() - 2, lastB = b.size() - 2;
    add(a[0], a[1], b[1]);
    std::size_t i = 1, j = 1;
    while (i < lastA || j < lastB) {
        // Advance the chain that is behind, in proportion to its length.
        if (j == lastB || (i < lastA && i * lastB <= j * lastA)) {
            add(a[i], a[i + 1], b[j]);
            ++i;
        } else {
            add(a[i], b[j], b[j + 1]);
            ++j;
        }
    }
    add(a[lastA], b[lastB], a.back());
    return triangles;
}

// meshoptimizer works in single precision: positions around the middle of
// the grid, in millimetres, with depths scaled by `depthWeight`.
std::vector<float> simplifierPositions(const HeightGrid& grid, double depthWeight)
{
    const double midX = (grid.xs.front() + grid.xs.back()) / 2, midY = (grid.ys.front() + grid.ys.back()) / 2;
    std::vector<float> positions;
    positions.reserve(3 * grid.depths.size());
    for (std::size_t r = 0; r < grid.ys.size(); ++r)
        for (std::size_t c = 0; c < grid.xs.size(); ++c) {
            positions.push_back(static_cast<float>(1000.0 * (grid.xs[c] - midX)));
            positions.push_back(static_cast<float>(1000.0 * (grid.ys[r] - midY)));
            positions.push_back(static_cast<float>(1000.0 * depthWeight * grid.depth(r, c)));
        }
    return positions;
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
        const std::uint32_t v[3] = {triangles[t], triangles[t + 1], triangles[t + 2]};
        double x[3], y[3], z[3];
        for (int k = 0; k < 3; ++k) {
            x[k] = grid.xs[v[k] % w];
            y[k] = grid.ys[v[k] / w];
            z[k] = grid.depths[v[k]];
        }
        const double area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
        if (area == 0)
            continue;
        const auto columns = indexRange(grid.xs, std::min({x[0], x[1], x[2]}), std::max({x[0], x[1], x[2]}));
        const auto rows = indexRange(grid.ys, std::min({y[0], y[1], y[2]}), std::max({y[0], y[1], y[2]}));
        // Points on an edge, within rounding, belong to both triangles.
        const double slack = 1e-9 * std::fabs(area);
        for (std::size_t r = rows.first; r < rows.second; ++r) {
            const double py = grid.ys[r];
            for (std::size_t c = columns.first; c < columns.second; ++c) {
                const double px = grid.xs[c];
                const double w0 = ((x[1] - px) * (y[2] - py) - (y[1] - py) * (x[2] - px)) / area;
                const double w1 = ((x[2] - px) * (y[0] - py) - (y[2] - py) * (x[0] - px)) / area;
                const double w2 = 1.0 - w0 - w1;
                if (w0 * std::fabs(area) < -slack || w1 * std::fabs(area) < -slack || w2 * std::fabs(area) < -slack)
                    continue;
                const double surface = w0 * z[0] + w1 * z[1] + w2 * z[2];
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

    std::vector<std::uint32_t> triangles;
    {
        const std::vector<std::uint32_t> full = fullSurface(grid);
        triangles.resize(full.size());
        // meshoptimizer keeps each triangle's facing in space, not as seen
        // from the picture: where that turns a triangle over, the depths
        // weigh less in the next try, down to a flat plane where the two agree.
        for (double depthWeight : {1.0, 0.125, 0.0}) {
            const std::vector<float> positions = simplifierPositions(grid, depthWeight);
            const std::size_t count =
                meshopt_simplify(triangles.data(), full.data(), full.size(), positions.data(), grid.depths.size(),
                                 3 * sizeof(float), 3 * maxTriangles, FLT_MAX, meshopt_SimplifyLockBorder, nullptr);
            if (count <= 3 * maxTriangles) {
                triangles.resize(count);
                if (keepsFacing(grid, triangles))
                    break;
            }
            triangles.clear();
            triangles.resize(full.size());
        }
    }
    if (triangles.size() > 3 * maxTriangles)
        triangles = outlineOnly(grid);
    const double gap = largestVerticalGap(grid, triangles);
    return SimplifiedSurface{std::move(triangles), gap};
}
