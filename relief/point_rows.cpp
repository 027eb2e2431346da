#include "point_rows.h"

#include "grid_axis.h"
#include "saturating.h"
#include "size_text.h"
#include "platform/available_memory.h"

#include <algorithm>

std::vector<double> gridXs(const ExportParameters& parameters, const Selection& selection)
{
    const WalkBounds b = walkBounds(parameters, selection);
    std::vector<double> xs;
    GridAxis columns(b.left, b.xBound, b.step);
    for (; columns.more(); columns.advance())
        xs.push_back(parameters.scale * columns.at());
    if (!xs.empty())
        xs.push_back(parameters.scale * columns.at());  // the last column's right side
    return xs;
}

PointRowGatherer::PointRowGatherer(const ExportParameters& parameters, const Selection& selection,
                                   PointRowConsumer& rows)
    : rows_(rows), scale_(parameters.scale), xs_(gridXs(parameters, selection))
{
    // Counted to the last row: a writer announces it before the first one.
    const WalkBounds b = walkBounds(parameters, selection);
    const std::uint64_t cellRows = xs_.empty() ? 0 : countPositions(b.top, b.yBound, b.step);
    rowCount_ = cellRows > 0 ? static_cast<std::size_t>(cellRows) + 1 : 0;
    top_.resize(xs_.size());
    bottom_.resize(xs_.size());
}

bool PointRowGatherer::begin()
{
    return rows_.begin(xs_, rowCount_);
}

bool PointRowGatherer::cell(const ReliefCell& c)
{
    const std::size_t column = static_cast<std::size_t>(c.column);
    if (column + 1 >= top_.size())
        return false;  // more columns than the grid has: never for a walk over the same selection
    if (column == 0) {
        top_[0] = c.depths[0];
        bottom_[0] = c.depths[2];
    }
    top_[column + 1] = c.depths[1];
    bottom_[column + 1] = c.depths[3];
    lastY_ = scale_ * c.bottom;
    if (c.lastOfRow)
        return rows_.row(static_cast<std::size_t>(c.row), scale_ * c.y, top_.data());
    return true;
}

bool PointRowGatherer::end()
{
    if (rowCount_ > 0 && !rows_.row(rowCount_ - 1, lastY_, bottom_.data()))
        return false;
    return rows_.end();
}

bool HeightGridBuilder::begin(const std::vector<double>& xs, std::size_t rowCount)
{
    grid = {};
    if (rowCount == 0)
        return true;
    grid.xs = xs;
    grid.ys.reserve(rowCount);
    grid.depths.reserve(rowCount * xs.size());
    return true;
}

bool HeightGridBuilder::row(std::size_t, double y, const double* depths)
{
    grid.ys.push_back(y);
    grid.depths.insert(grid.depths.end(), depths, depths + grid.xs.size());
    return true;
}

namespace {
struct NeverStop : EventLoop {
    bool yield() override { return true; }
};
}  // namespace

HeightGrid buildHeightGrid(const ExportParameters& parameters, const Selection& selection, const Picture& picture)
{
    HeightGridBuilder builder;
    PointRowGatherer rows(parameters, selection, builder);
    NeverStop events;
    rows.begin();
    walkRelief(parameters, selection, picture, events, {&rows});
    rows.end();
    return std::move(builder.grid);
}

std::optional<std::string> memoryProblem(const std::string& what, double bytes)
{
    const double available = double(availableMemoryBytes());
    if (bytes <= available * 0.8)
        return std::nullopt;
    return what + " " + sizeText(saturatingFromDouble(bytes)) +
           " de mémoire, plus que cet ordinateur n'en a de libre (" + sizeText(saturatingFromDouble(available)) +
           ").\nAugmentez le pas ou réduisez la sélection.";
}

std::optional<std::string> heightGridMemoryProblem(const GridSize& size)
{
    const double points = (double(size.columns) + 1) * (double(size.rows) + 1);
    const double bytes = points * sizeof(double) + (double(size.columns) + double(size.rows) + 2) * sizeof(double);
    return memoryProblem("La grille de " + countText(saturatingFromDouble(points)) + " points demande", bytes);
}
