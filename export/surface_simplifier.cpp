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

// One rectangle of grid points, [top, bottom] x [left, right], split into
// the fewest triangles: its four corners, and every point along the sides
// marked whole (the grid's outline). Two chains from the bottom-left corner
// to the top-right one (up the left side then along the top; along the
// bottom then up the right side) are stitched so that no triangle has its
// three points on one side: none is flat or turned over.
struct Block {
    std::uint32_t top, bottom, left, right;
    bool wholeTop, wholeBottom, wholeLeft, wholeRight;
};

void triangulateBlock(const HeightGrid& grid, const Block& b, std::vector<std::uint32_t>& triangles)
{
    const std::uint32_t width = static_cast<std::uint32_t>(grid.xs.size());
    auto at = [&](std::uint32_t r, std::uint32_t c) { return r * width + c; };
    std::vector<std::uint32_t> a{at(b.bottom, b.left)}, s{at(b.bottom, b.left)};
    if (b.wholeLeft)
        for (std::uint32_t r = b.bottom - 1; r > b.top; --r)
            a.push_back(at(r, b.left));
    a.push_back(at(b.top, b.left));
    if (b.wholeTop)
        for (std::uint32_t c = b.left + 1; c < b.right; ++c)
            a.push_back(at(b.top, c));
    a.push_back(at(b.top, b.right));
    if (b.wholeBottom)
        for (std::uint32_t c = b.left + 1; c < b.right; ++c)
            s.push_back(at(b.bottom, c));
    s.push_back(at(b.bottom, b.right));
    if (b.wholeRight)
        for (std::uint32_t r = b.bottom - 1; r > b.top; --r)
            s.push_back(at(r, b.right));
    s.push_back(at(b.top, b.right));

    auto add = [&](std::uint32_t p, std::uint32_t q, std::uint32_t t) {
        if (facing(grid, p, q, t) > 0)
            std::swap(q, t);
        triangles.insert(triangles.end(), {p, q, t});
    };
    const std::size_t lastA = a.size() - 2, lastS = s.size() - 2;
    add(a[0], a[1], s[1]);
    std::size_t i = 1, j = 1;
    while (i < lastA || j < lastS) {
        // Advance the chain that is behind, in proportion to its length.
        if (j == lastS || (i < lastA && i * lastS <= j * lastA)) {
            add(a[i], a[i + 1], s[j]);
            ++i;
        } else {
            add(a[i], s[j], s[j + 1]);
            ++j;
        }
    }
    add(a[lastA], s[lastS], a.back());
}

// Cuts of 0, step, 2 step ... up to `cells`.
std::vector<std::uint32_t> cuts(std::uint64_t cells, std::uint64_t step)
{
    std::vector<std::uint32_t> at;
    for (std::uint64_t k = 0; k < cells; k += step)
        at.push_back(static_cast<std::uint32_t>(k));
    at.push_back(static_cast<std::uint32_t>(cells));
    return at;
}

// Triangles of the grid taken every `step` cells, the outline kept whole.
std::uint64_t regularTriangleCount(std::uint64_t columns, std::uint64_t rows, std::uint64_t step)
{
    const std::uint64_t across = (columns + step - 1) / step, down = (rows + step - 1) / step;
    return 2 * across * down + 2 * (columns + rows) - 2 * (across + down);
}

// The sure way within the budget: the grid's points every few cells in
// both directions, the outline's points all kept, each block split without
// folds. Blocks share only their corners inside, so nothing gapes.
std::vector<std::uint32_t> regularSurface(const HeightGrid& grid, std::uint64_t maxTriangles)
{
    const std::uint64_t columns = grid.cellColumns(), rows = grid.cellRows();
    std::uint64_t step = 1;
    while (regularTriangleCount(columns, rows, step) > maxTriangles && step < std::max(columns, rows))
        ++step;
    const std::vector<std::uint32_t> across = cuts(columns, step), down = cuts(rows, step);
    std::vector<std::uint32_t> triangles;
    triangles.reserve(3 * regularTriangleCount(columns, rows, step));
    for (std::size_t r = 0; r + 1 < down.size(); ++r)
        for (std::size_t c = 0; c + 1 < across.size(); ++c)
            triangulateBlock(grid,
                             {down[r], down[r + 1], across[c], across[c + 1], r == 0, r + 2 == down.size(), c == 0,
                              c + 2 == across.size()},
                             triangles);
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

    // meshoptimizer 0.18 keeps no check on a triangle's facing: on a relief
    // with sharp specks it leaves triangles standing on edge or turned over
    // as seen from the picture. Such a result is not used; the regular
    // sampling within the same budget takes its place.
    std::vector<std::uint32_t> triangles;
    {
        const std::vector<std::uint32_t> full = fullSurface(grid);
        const std::vector<float> positions = simplifierPositions(grid, 1.0);
        triangles.resize(full.size());
        triangles.resize(meshopt_simplify(triangles.data(), full.data(), full.size(), positions.data(),
                                          grid.depths.size(), 3 * sizeof(float), 3 * maxTriangles, FLT_MAX,
                                          meshopt_SimplifyLockBorder, nullptr));
    }
    if (triangles.size() > 3 * maxTriangles || !keepsFacing(grid, triangles))
        triangles = regularSurface(grid, maxTriangles);
    const double gap = largestVerticalGap(grid, triangles);
    return SimplifiedSurface{std::move(triangles), gap};
}
