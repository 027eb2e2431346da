#include "grid_sample.h"

#include "corner_depth.h"
#include "grid_axis.h"

#include <algorithm>

namespace {

std::vector<double> positions(double start, double bound, double step)
{
    std::vector<double> values;
    GridAxis axis(start, bound, step);
    for (; axis.more(); axis.advance())
        values.push_back(axis.at());
    if (!values.empty())
        values.push_back(axis.at());
    return values;
}

}  // namespace

GridPositions gridPositions(const ExportJob& job)
{
    const WalkBounds b = walkBounds(job.parameters, job.selection);
    return {positions(b.left, b.xBound, b.step), positions(b.top, b.yBound, b.step)};
}

std::vector<double> sampleDepths(const ExportJob& job, const GridPositions& p)
{
    constexpr std::size_t perAxis = 64;
    const CornerDepth depths(job.parameters.maxDepth);
    const std::size_t across = std::min(p.xs.size(), perAxis);
    const std::size_t down = std::min(p.ys.size(), perAxis);
    std::vector<double> sample;
    sample.reserve(across * down);
    for (std::size_t j = 0; j < down; ++j)
        for (std::size_t i = 0; i < across; ++i) {
            const double x = p.xs[i * (p.xs.size() - 1) / std::max<std::size_t>(across - 1, 1)];
            const double y = p.ys[j * (p.ys.size() - 1) / std::max<std::size_t>(down - 1, 1)];
            sample.push_back(depths.plain(grayLevel(job.picture->colourAt(x, y))));
        }
    return sample;
}
