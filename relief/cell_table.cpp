#include "cell_table.h"

#include "grid_axis.h"

namespace {
// Positions an axis may have for its tables: 4 Mi, 64 MB of tables at most.
constexpr std::uint64_t tabledPositions = std::uint64_t(1) << 22;
}  // namespace

CellTable::CellTable(const ExportParameters& parameters, const Picture& picture)
    : picture_(&picture), depth_(parameters.maxDepth)
{
}

bool cellTableHolds(std::uint64_t columns, std::uint64_t rows)
{
    return columns <= tabledPositions && rows <= tabledPositions;
}

std::optional<CellTable> CellTable::of(const ExportParameters& parameters, const Selection& selection,
                                       const Picture& picture)
{
    const WalkBounds b = walkBounds(parameters, selection);
    CellTable t(parameters, picture);
    GridAxis columns(b.left, b.xBound, b.step);
    // As in the walk: without a column, no row.
    if (columns.more()) {
        for (; columns.more(); columns.advance()) {
            if (t.xs_.size() == tabledPositions)
                return std::nullopt;
            t.xs_.push_back(columns.at());
            t.filtered_.push_back(columns.next() < b.xBound);
            t.neighbourColumns_.push_back(picture.columnOf(columns.next() + b.step));
        }
        t.xs_.push_back(columns.at());  // the last cell's right side
        GridAxis rows(b.top, b.yBound, b.step);
        for (; rows.more(); rows.advance()) {
            if (t.ys_.size() == tabledPositions)
                return std::nullopt;
            t.ys_.push_back(rows.at());
        }
        if (!t.ys_.empty())
            t.ys_.push_back(rows.at());  // the last cell's bottom
    }
    t.cellColumns_ = t.xs_.size() - (t.xs_.empty() ? 0 : 1);
    t.cellRows_ = t.ys_.size() - (t.ys_.empty() ? 0 : 1);
    for (double x : t.xs_) {
        t.pixelColumns_.push_back(picture.columnOf(x));
        t.gridXs_.push_back(parameters.scale * x);
    }
    for (double y : t.ys_) {
        t.pixelRows_.push_back(picture.rowOf(y));
        t.gridYs_.push_back(parameters.scale * y);
    }
    return t;
}

void CellTable::cell(std::uint64_t row, std::uint64_t column, ReliefCell& c) const
{
    c.x = xs_[column];
    c.right = xs_[column + 1];
    c.y = ys_[row];
    c.bottom = ys_[row + 1];
    c.column = column;
    c.row = row;
    c.lastOfRow = column + 1 == cellColumns_;
    for (int r = 0; r < 2; ++r) {
        const int pixelRow = pixelRows_[row + r];
        c.depths[2 * r] = depth_.plain(level(pixelColumns_[column], pixelRow));
        c.depths[2 * r + 1] = rightCorner(column, pixelRow);
    }
}

bool CellTable::walkRow(std::uint64_t row, std::uint64_t first, std::uint64_t end, CellConsumer& consumer) const
{
    ReliefCell c{};
    for (std::uint64_t column = first; column < end; ++column) {
        cell(row, column, c);
        if (!consumer.cell(c))
            return false;
    }
    return true;
}

// A point takes its depth as the right-hand corner of the cell on its left,
// the first of a row as the left-hand corner of the row's first cell; the
// last row of points is the bottom of the last row of cells.
void CellTable::depths(std::size_t row, std::size_t first, std::size_t end, double* out) const
{
    const int pixelRow = pixelRows_[row];
    for (std::size_t column = first; column < end; ++column)
        *out++ = column == 0 ? depth_.plain(level(pixelColumns_[0], pixelRow)) : rightCorner(column - 1, pixelRow);
}
