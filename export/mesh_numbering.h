#pragma once

// A whole grid's mesh as a file that lists every point once numbers it
// (OBJ, 3MF): the grid points its surface uses, in grid order, then a
// solid's back-face points in outline order; the surface's triangles, then
// a solid's walls and back face. Numbers count from 0.

#include "mesh_layout.h"
#include "mesh_options.h"
#include "mesh_outline_points.h"

#include "relief/height_grid.h"

#include <cstdint>
#include <optional>
#include <vector>

class NumberedMesh {
public:
    // `surface`: three grid point indices per triangle, facing the picture.
    NumberedMesh(const HeightGrid& grid, const std::vector<std::uint32_t>& surface, const MeshOptions& options);

    std::uint64_t pointCount() const { return written_ + backPoints_; }
    std::uint64_t triangleCount() const { return surface_.size() / 3 + closure_.size(); }

    // `visit(const MeshPoint&)` for each point, in the file's order.
    template <typename Visit>
    void forEachPoint(Visit&& visit) const
    {
        const std::size_t width = grid_.xs.size();
        for (std::uint64_t i = 0; i < number_.size(); ++i)
            if (number_[i] != unused)
                visit(meshPoint(placement_, grid_.xs[i % width], grid_.ys[i / width], grid_.depths[i]));
        for (std::uint64_t i = 0; i < backPoints_; ++i)
            visit(outline_->position(gridPoints_ + i));
    }

    // `visit(a, b, c)` for each triangle, with the points' file numbers.
    template <typename Visit>
    void forEachTriangle(Visit&& visit) const
    {
        for (std::size_t t = 0; t + 2 < surface_.size(); t += 3)
            visit(std::uint64_t(number_[surface_[t]]), std::uint64_t(number_[surface_[t + 1]]),
                  std::uint64_t(number_[surface_[t + 2]]));
        // Outline points keep their grid numbers in the closure; back points follow the written ones.
        for (const MeshTriangle& t : closure_)
            visit(fileNumber(t[0]), fileNumber(t[1]), fileNumber(t[2]));
    }

private:
    static constexpr std::uint32_t unused = 0xFFFFFFFFu;

    std::uint64_t fileNumber(std::uint64_t vertex) const
    {
        return vertex < gridPoints_ ? number_[vertex] : written_ + (vertex - gridPoints_);
    }

    const HeightGrid& grid_;
    const std::vector<std::uint32_t>& surface_;
    PointPlacement placement_;
    std::uint64_t gridPoints_ = 0;
    std::vector<std::uint32_t> number_;  // each grid point's file number, or `unused`
    std::uint64_t written_ = 0;          // grid points the file lists
    std::uint64_t backPoints_ = 0;
    std::optional<OutlinePoints> outline_;
    std::vector<MeshTriangle> closure_;  // numbered as mesh_layout.h numbers the points
};
