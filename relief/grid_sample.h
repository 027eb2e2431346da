#pragma once

#include "format_entry.h"
#include "grid_axis.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// The walk's grid positions along one axis in window units, the far side of
// the last cell included: `count` of them, none when the grid has no cell.
// Known by their count alone, so that a grid of any size is measured in
// bounded time and memory.
struct AxisPositions {
    double start = 0, bound = 0, step = 0;
    std::uint64_t count = 0;
};

struct GridAxes {
    AxisPositions across, down;
};
// `grid`: the job's walkGridSize.
GridAxes gridAxes(const ExportJob& job, const GridSize& grid);

// The size estimates measure the texts of every position of an axis up to
// this many, and of as many spread over it beyond, so that they take the
// same short time for any grid.
inline constexpr std::uint64_t measuredPerAxis = std::uint64_t(1) << 14;

// Hands `visit` up to `wanted` positions spread evenly over the axis in
// order, the first and the last included: position i * (count - 1) /
// (taken - 1) for each i below taken = min(count, wanted), so every
// position when the axis has no more than `wanted`. They are the walk's
// own, bit for bit, reached by GridAxis::skip.
template <typename Visit>
void visitSpread(const AxisPositions& axis, std::uint64_t wanted, Visit&& visit)
{
    const std::uint64_t n = axis.count, taken = std::min(n, wanted);
    GridAxis walk(axis.start, axis.bound, axis.step);
    std::uint64_t at = 0;
    for (std::uint64_t i = 0; i < taken; ++i) {
        const std::uint64_t index =
            taken == 1 ? 0 : static_cast<std::uint64_t>((unsigned __int128)i * (n - 1) / (taken - 1));
        walk.skip(index - at);
        at = index;
        visit(walk.at());
    }
}

// The depths (metres, spike filter aside) of up to 64 x 64 grid points
// spread evenly over the grid: what the size estimates measure their
// typical depth texts on.
std::vector<double> sampleDepths(const ExportJob& job, const GridAxes& axes);
