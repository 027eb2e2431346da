#include "grid_filling.h"

GridFilling::GridFilling(const GridPoints& points, HeightGrid& grid) : points_(points), grid_(grid)
{
    grid = {};
    if (points.ys().empty())
        return;
    grid.xs = points.xs();
    grid.ys = points.ys();
    grid.depths.resize(grid.xs.size() * grid.ys.size());
}

std::vector<BandPart> GridFilling::parts() const
{
    return {{grid_.ys.size(), grid_.xs.size(), sizeof(double), true}};
}

std::unique_ptr<BandFormatter> GridFilling::formatter(TextOutput&) const
{
    struct Rows : BandFormatter {
        const GridPoints& points;
        HeightGrid& grid;
        Rows(const GridPoints& p, HeightGrid& g) : points(p), grid(g) {}
        bool write(std::size_t, std::uint64_t first, std::uint64_t end) override
        {
            const std::uint64_t width = grid.xs.size();
            return forEachRowRun(first, end, width, [&](std::uint64_t row, std::uint64_t from, std::uint64_t to) {
                points.depths(row, from, to, &grid.depths[row * width + from]);
                return true;
            });
        }
    };
    return std::make_unique<Rows>(points_, grid_);
}
