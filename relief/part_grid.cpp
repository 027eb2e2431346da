#include "part_grid.h"

#include "platform/window_unit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double millimetresPerMetre = 1000;

// The pixel boundary nearest to a position given in pixels, within [0, count].
int nearestBoundary(double pixels, int count)
{
    const double at = std::round(pixels);
    if (!(at > 0))
        return 0;  // NaN too
    return at >= count ? count : static_cast<int>(at);
}

// `count` points `every` pixels apart from `first`, the last one on the far
// side of the last whole block, reading the last pixel when beyond it.
std::vector<int> pointPixels(int first, int pixels, std::uint64_t blocks, std::uint64_t every)
{
    std::vector<int> at(static_cast<std::size_t>(blocks) + 1);
    for (std::uint64_t i = 0; i <= blocks; ++i)
        at[i] = first + static_cast<int>(std::min<std::uint64_t>(i * every, std::uint64_t(pixels) - 1));
    return at;
}

// Positions `extentMm` long in `blocks` equal steps, in metres, the last
// one the extent itself.
std::vector<double> positions(double extentMm, std::uint64_t blocks)
{
    std::vector<double> at(static_cast<std::size_t>(blocks) + 1);
    const double step = extentMm / double(blocks) / millimetresPerMetre;
    for (std::uint64_t i = 0; i < blocks; ++i)
        at[i] = double(i) * step;
    at[blocks] = extentMm / millimetresPerMetre;
    return at;
}

}  // namespace

SelectionPixels selectionPixels(const Selection& selection, const Picture& picture)
{
    if (picture.isNull())
        return {};
    const double across = window_unit::acrossRatio / window_unit::perPixelDown;
    const double down = 1 / window_unit::perPixelDown;
    const int left = nearestBoundary(double(selection.left) * across, picture.width());
    const int right = nearestBoundary((double(selection.left) + double(selection.width)) * across, picture.width());
    const int top = nearestBoundary(double(selection.top) * down, picture.height());
    const int bottom = nearestBoundary((double(selection.top) + double(selection.height)) * down, picture.height());
    return {left, top, std::max(right - left, 0), std::max(bottom - top, 0)};
}

PartShape partShape(const ExportJob& job, const FormatOptions& options)
{
    PartShape shape;
    shape.pixels = selectionPixels(job.selection, *job.picture);
    shape.every = std::max<std::uint64_t>(options.every, 1);
    const std::uint64_t across = std::uint64_t(shape.pixels.columns) / shape.every;
    const std::uint64_t down = std::uint64_t(shape.pixels.rows) / shape.every;
    if (across > 0 && down > 0)
        shape.cells = {across, down};
    shape.widthMm = options.widthMm;
    shape.heightMm = across > 0 ? options.widthMm * double(down) / double(across) : 0;
    shape.reliefMm = options.reliefMm;
    shape.thicknessMm = options.solid ? options.baseMm + options.reliefMm : options.reliefMm;
    return shape;
}

PointPlacement partPlacement(const PartShape& shape, bool solid, double baseMetres)
{
    // The same expressions as the grid's last Y and the back face's depth
    // (mesh_layout), so that the bottom row and the back land on 0 exactly.
    const double reliefMetres = shape.reliefMm / millimetresPerMetre;
    return {true, millimetresPerMetre * (shape.heightMm / millimetresPerMetre),
            millimetresPerMetre * (std::max(reliefMetres, 0.0) + (solid ? baseMetres : 0.0))};
}

double defaultPartWidthMm(const ExportJob& job)
{
    const SelectionPixels pixels = selectionPixels(job.selection, *job.picture);
    return double(pixels.columns) * window_unit::perPixelDown * std::fabs(job.parameters.scale) * millimetresPerMetre;
}

double defaultReliefMm(const ExportJob& job)
{
    return std::fabs(job.parameters.maxDepth) * millimetresPerMetre;
}

double fewestPixelsAPoint(const ExportJob& job, double pointsAtMost)
{
    const SelectionPixels p = selectionPixels(job.selection, *job.picture);
    const auto points = [&p](double every) {
        const double across = std::floor(p.columns / every), down = std::floor(p.rows / every);
        return across > 0 && down > 0 ? (across + 1) * (down + 1) : 0;
    };
    double every = std::max(1.0, std::floor(std::sqrt(double(p.columns) * double(p.rows) / pointsAtMost)));
    while (points(every) > pointsAtMost)
        ++every;
    return every;
}

PartGrid::PartGrid(const Picture& picture, const PartShape& shape, bool invert)
    : picture_(picture), pixels_(shape.pixels), every_(shape.every), reliefMetres_(shape.reliefMm / millimetresPerMetre),
      invert_(invert)
{
    if (shape.cells.cells() == 0)
        return;
    pixelColumns_ = pointPixels(pixels_.left, pixels_.columns, shape.cells.columns, every_);
    pixelRows_ = pointPixels(pixels_.top, pixels_.rows, shape.cells.rows, every_);
    xs_ = positions(shape.widthMm, shape.cells.columns);
    ys_ = positions(shape.heightMm, shape.cells.rows);
}

void PartGrid::depths(std::size_t row, std::size_t first, std::size_t end, double* out) const
{
    const int pixelRow = pixelRows_[row];
    // The depth below the relief's top: white at 0, black at the relief's height.
    for (std::size_t c = first; c < end; ++c) {
        const double luminance = picture_.luminance(pixelColumns_[c], pixelRow);
        *out++ = reliefMetres_ * (invert_ ? luminance : 1 - luminance);
    }
}

double PartGrid::x(std::uint64_t column) const
{
    return double(pixels_.left + static_cast<int>(column * every_)) * window_unit::perPixelAcross;
}

double PartGrid::y(std::uint64_t row) const
{
    return double(pixels_.top + static_cast<int>(row * every_)) * window_unit::perPixelDown;
}

GridSize exportGridSize(const FormatEntry& format, const ExportJob& job, const FormatOptions& options)
{
    if (placementOf(format.options, options) == Placement::Part)
        return partShape(job, options).cells;
    return walkGridSize(job.parameters, job.selection);
}
