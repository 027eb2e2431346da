#include "surface_simplifier.h"

#include "alongside.h"
#include "mesh_layout.h"
#include "surface_greedy.h"
#include "surface_quadtree.h"

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

SimplifyResult simplifySurface(const HeightGrid& grid, const SimplifyLimits& limits)
{
    const std::uint64_t columns = grid.cellColumns(), rows = grid.cellRows();
    const std::uint64_t minimum = minimumSurfaceTriangles(columns, rows);
    if (limits.maxTriangles > 0 && limits.maxTriangles < minimum)
        return BudgetBelowOutline{minimum};
    if (!grid.hasCells())
        return SimplifiedSurface{};
    if (limits.maxTriangles >= surfaceTriangleCount(columns, rows) || (limits.maxTriangles == 0 && !(limits.maxError > 0))) {
        std::vector<std::uint32_t> triangles = fullSurface(grid);
        const MeshReport report = measureSurface(grid, triangles);
        return SimplifiedSurface{std::move(triangles), report};
    }
    // Within a budget too small for them, greedy insertion chases isolated
    // specks and leaves tents around the ones it could not reach, and the
    // quadtree's regular fans suit an evenly curved surface at the counts
    // where its blocks are all of one size: its surface, made meanwhile on
    // another processor, is kept when it strays less.
    std::future<SimplifiedSurface> quadtree;
    if (limits.maxTriangles > 0)
        quadtree = alongside([&grid, &limits] {
            std::vector<std::uint32_t> triangles = quadtreeSurface(grid, limits.maxTriangles);
            const MeshReport report = measureSurface(grid, triangles);
            return SimplifiedSurface{std::move(triangles), report};
        });
    std::vector<std::uint32_t> greedy =
        greedySurface(grid, limits.maxTriangles, limits.maxError, greedySplitFrom, limits.watch);
    if (greedy.empty()) {
        if (quadtree.valid())
            quadtree.wait();  // it reads the grid
        return SimplifyStopped{};
    }
    const MeshReport greedyReport = measureSurface(grid, greedy);
    if (!quadtree.valid())
        return SimplifiedSurface{std::move(greedy), greedyReport};
    SimplifiedSurface other = quadtree.get();
    const bool boundMet = limits.maxError > 0 && greedyReport.largestError <= limits.maxError;
    if (!boundMet && other.report.largestError < greedyReport.largestError)
        return other;
    return SimplifiedSurface{std::move(greedy), greedyReport};
}
