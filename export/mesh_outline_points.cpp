#include "mesh_outline_points.h"

#include "mesh_layout.h"

OutlinePoints::OutlinePoints(const std::vector<double>& xs, std::size_t rowCount, double backDepth)
    : xs_(xs),
      top_(xs.size()),
      bottom_(xs.size()),
      left_(rowCount),
      right_(rowCount),
      gridPoints_(static_cast<std::uint64_t>(xs.size()) * rowCount),
      backDepth_(backDepth)
{
    ys_.reserve(rowCount);
    if (xs.size() >= 2 && rowCount >= 2)
        outline_ = gridOutline(xs.size() - 1, rowCount - 1);
}

void OutlinePoints::addRow(std::size_t index, double y, const double* depths)
{
    ys_.push_back(y);
    const std::size_t width = xs_.size();
    if (index == 0)
        top_.assign(depths, depths + width);
    if (index + 1 == left_.size())
        bottom_.assign(depths, depths + width);
    left_[index] = depths[0];
    right_[index] = depths[width - 1];
}

MeshPoint OutlinePoints::position(std::uint64_t vertex) const
{
    const std::uint64_t width = xs_.size();
    if (vertex < gridPoints_) {
        const std::uint64_t row = vertex / width, column = vertex % width;
        double depth;
        if (row == 0)
            depth = top_[column];
        else if (row + 1 == left_.size())
            depth = bottom_[column];
        else
            depth = column == 0 ? left_[row] : right_[row];
        return meshPoint(xs_[column], ys_[row], depth);
    }
    const std::uint64_t back = vertex - gridPoints_;
    if (back < outline_.size()) {
        const std::uint64_t point = outline_[back];
        return meshPoint(xs_[point % width], ys_[point / width], backDepth_);
    }
    return meshPoint((xs_.front() + xs_.back()) / 2, (ys_.front() + ys_.back()) / 2, backDepth_);
}
