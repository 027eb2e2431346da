#include "grid_thinning.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

std::size_t keptCount(std::size_t points, std::size_t step)
{
    if (points == 0)
        return 0;
    return (points - 1) / step + 1 + ((points - 1) % step != 0 ? 1 : 0);
}

std::vector<std::size_t> keptIndices(std::size_t points, std::size_t step)
{
    std::vector<std::size_t> kept;
    kept.reserve(keptCount(points, step));
    for (std::size_t i = 0; i < points; i += step)
        kept.push_back(i);
    if (points > 0 && kept.back() != points - 1)
        kept.push_back(points - 1);
    return kept;
}

}  // namespace

std::size_t thinningStep(std::size_t columns, std::size_t rows, std::size_t maxPoints)
{
    const std::size_t longest = std::max(columns, rows);
    // The square root's guess, then the few steps up that the kept last
    // row and column may still need.
    std::size_t step = std::max<std::size_t>(
        1, static_cast<std::size_t>(std::sqrt(double(columns) * double(rows) / double(std::max<std::size_t>(maxPoints, 1)))));
    while (step < longest && keptCount(columns, step) * keptCount(rows, step) > maxPoints)
        ++step;
    return step;
}

ThinnedGrid thinGrid(const HeightGrid& grid, std::size_t maxPoints)
{
    const std::size_t columns = grid.xs.size();
    const std::size_t step = thinningStep(columns, grid.ys.size(), maxPoints);
    if (step == 1 || grid.depths.size() != columns * grid.ys.size())
        return {grid, 1};

    const std::vector<std::size_t> keptColumns = keptIndices(columns, step);
    const std::vector<std::size_t> keptRows = keptIndices(grid.ys.size(), step);
    ThinnedGrid thinned{{}, step};
    HeightGrid& out = thinned.grid;
    for (std::size_t c : keptColumns)
        out.xs.push_back(grid.xs[c]);
    out.ys.reserve(keptRows.size());
    out.depths.reserve(keptRows.size() * keptColumns.size());
    for (std::size_t r : keptRows) {
        out.ys.push_back(grid.ys[r]);
        const double* row = &grid.depths[r * columns];
        for (std::size_t c : keptColumns)
            out.depths.push_back(row[c]);
    }
    return thinned;
}

ThinnedGrid thinGrid(HeightGrid&& grid, std::size_t maxPoints)
{
    if (thinningStep(grid.xs.size(), grid.ys.size(), maxPoints) == 1)
        return {std::move(grid), 1};
    return thinGrid(static_cast<const HeightGrid&>(grid), maxPoints);
}
