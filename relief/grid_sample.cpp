#include "grid_sample.h"

#include "corner_depth.h"

GridAxes gridAxes(const ExportJob& job, const GridSize& grid)
{
    if (grid.cells() == 0)
        return {};
    const WalkBounds b = walkBounds(job.parameters, job.selection);
    return {{b.left, b.xBound, b.step, grid.columns + 1}, {b.top, b.yBound, b.step, grid.rows + 1}};
}

std::vector<double> sampleDepths(const ExportJob& job, const GridAxes& axes)
{
    constexpr std::uint64_t perAxis = 64;
    std::vector<double> xs, ys;
    visitSpread(axes.across, perAxis, [&xs](double x) { xs.push_back(x); });
    visitSpread(axes.down, perAxis, [&ys](double y) { ys.push_back(y); });
    const CornerDepth depths(job.parameters.maxDepth);
    std::vector<double> sample;
    sample.reserve(xs.size() * ys.size());
    for (double y : ys)
        for (double x : xs)
            sample.push_back(depths.plain(grayLevel(job.picture->colourAt(x, y))));
    return sample;
}
