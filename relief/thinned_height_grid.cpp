#include "thinned_height_grid.h"

#include "corner_depth.h"
#include "grid_axis.h"
#include "relief_walk.h"

#include <algorithm>
#include <vector>

namespace {

// A kept point of one axis: its position and the one before it (the left
// side of the cell whose right-hand corner it is), both in window units.
struct KeptPosition {
    double at;
    double before;
};

// Goes along the axis by the walk's own additions, skipped over in runs
// (GridAxis::skip), so every position is bit for bit the walk's, keeping
// 1 in `step` and the last one.
std::vector<KeptPosition> keptPositions(double start, double bound, double stepLength, std::size_t step)
{
    std::vector<KeptPosition> kept;
    const std::uint64_t cells = countPositions(start, bound, stepLength);
    if (cells == 0)
        return kept;
    GridAxis axis(start, bound, stepLength);
    kept.push_back({axis.at(), axis.at()});
    // The far side of the last cell, position `cells`, is the grid's last
    // point, always kept.
    for (std::uint64_t at = 0; at < cells;) {
        const std::uint64_t next = std::min<std::uint64_t>(at + step, cells);
        axis.skip(next - 1 - at);
        const double before = axis.at();
        axis.advance();
        kept.push_back({axis.at(), before});
        at = next;
    }
    return kept;
}

}  // namespace

HeightGrid thinnedHeightGrid(const ExportParameters& p, const Selection& s, const Picture& picture, std::size_t step)
{
    step = std::max<std::size_t>(step, 1);
    const WalkBounds b = walkBounds(p, s);
    const std::vector<KeptPosition> columns = keptPositions(b.left, b.xBound, b.step, step);
    if (columns.empty())
        return {};
    const std::vector<KeptPosition> rows = keptPositions(b.top, b.yBound, b.step, step);
    if (rows.empty())
        return {};

    HeightGrid grid;
    grid.xs.reserve(columns.size());
    for (const KeptPosition& column : columns)
        grid.xs.push_back(p.scale * column.at);
    grid.ys.reserve(rows.size());
    grid.depths.reserve(rows.size() * columns.size());

    // The pixel columns each kept point reads, as the walk reads them for
    // the cell on its left: that cell's left side, the point itself and the
    // point one step further.
    struct Reads {
        int left, centre, right;
        bool filtered;
    };
    std::vector<Reads> reads;
    reads.reserve(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const double x = columns[c].at;
        reads.push_back({picture.columnOf(columns[c].before), picture.columnOf(x), picture.columnOf(x + b.step),
                         c > 0 && x < b.xBound});
    }

    const CornerDepth depths(p.maxDepth);
    for (const KeptPosition& r : rows) {
        grid.ys.push_back(p.scale * r.at);
        const int row = picture.rowOf(r.at);
        const auto level = [&](int column) { return grayLevel(picture.colourAtPixel(column, row)); };
        grid.depths.push_back(depths.plain(level(reads[0].centre)));
        for (std::size_t c = 1; c < reads.size(); ++c) {
            const Reads& at = reads[c];
            grid.depths.push_back(at.filtered ? depths.filtered(level(at.left), level(at.centre), level(at.right))
                                              : depths.plain(level(at.centre)));
        }
    }
    return grid;
}
