#include "surface_simplifier.h"

#include "mesh_layout.h"
#include "surface_greedy.h"

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

}  // namespace

SimplifyResult simplifySurface(const HeightGrid& grid, const SimplifyLimits& limits)
{
    const std::uint64_t columns = grid.cellColumns(), rows = grid.cellRows();
    const std::uint64_t minimum = minimumSurfaceTriangles(columns, rows);
    if (limits.maxTriangles > 0 && limits.maxTriangles < minimum)
        return BudgetBelowOutline{minimum};
    SimplifiedSurface surface;
    const bool wholeGrid = limits.maxTriangles >= surfaceTriangleCount(columns, rows) ||
                           (limits.maxTriangles == 0 && !(limits.maxError > 0));
    surface.triangles = !grid.hasCells() ? std::vector<std::uint32_t>{}
                        : wholeGrid      ? fullSurface(grid)
                                         : greedySurface(grid, limits.maxTriangles, limits.maxError);
    surface.report = measureSurface(grid, surface.triangles);
    return surface;
}
