#include "mesh_outline_points.h"

#include "mesh_layout.h"

OutlinePoints::OutlinePoints(const GridPoints& points, double backDepth, const PointPlacement& placement)
    : xs_(points.xs()),
      ys_(points.ys()),
      top_(xs_.size()),
      bottom_(xs_.size()),
      left_(ys_.size()),
      right_(ys_.size()),
      gridPoints_(static_cast<std::uint64_t>(xs_.size()) * ys_.size()),
      backDepth_(backDepth),
      placement_(placement)
{
    const std::size_t width = xs_.size(), rows = ys_.size();
    if (width == 0 || rows == 0)
        return;
    points.depths(0, 0, width, top_.data());
    points.depths(rows - 1, 0, width, bottom_.data());
    for (std::size_t r = 0; r < rows; ++r) {
        points.depths(r, 0, 1, &left_[r]);
        points.depths(r, width - 1, width, &right_[r]);
    }
    if (width >= 2 && rows >= 2)
        outline_ = gridOutline(width - 1, rows - 1);
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
        return meshPoint(placement_, xs_[column], ys_[row], depth);
    }
    const std::uint64_t back = vertex - gridPoints_;
    if (back < outline_.size()) {
        const std::uint64_t point = outline_[back];
        return meshPoint(placement_, xs_[point % width], ys_[point / width], backDepth_);
    }
    return meshPoint(placement_, (xs_.front() + xs_.back()) / 2, (ys_.front() + ys_.back()) / 2, backDepth_);
}
