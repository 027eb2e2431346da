#include "mesh_numbering.h"

NumberedMesh::NumberedMesh(const HeightGrid& grid, const std::vector<std::uint32_t>& surface,
                           const MeshOptions& options)
    : grid_(grid), surface_(surface), placement_(options.placement)
{
    if (!grid.hasCells())
        return;
    gridPoints_ = static_cast<std::uint64_t>(grid.xs.size()) * grid.ys.size();
    number_.assign(gridPoints_, unused);
    for (std::uint32_t i : surface)
        number_[i] = 0;
    std::uint32_t written = 0;
    for (std::uint32_t& n : number_)
        if (n != unused)
            n = written++;
    written_ = written;
    if (!options.solid)
        return;
    const std::size_t columns = grid.cellColumns(), rows = grid.cellRows();
    backPoints_ = backFacePointCount(columns, rows);
    outline_.emplace(HeightGridPoints(grid), backFaceDepth(options), options.placement);
    closure_ = closureTriangles(gridOutline(columns, rows), gridPoints_, windingReversed(grid.xs, grid.ys));
}
