#pragma once

#include "relief/height_grid.h"
#include "relief/point_placement.h"

#include <cstdint>
#include <vector>

// A mesh point in the file's millimetres: X and Y from the grid, Z from the
// depth, placed as the file puts them.
struct MeshPoint {
    double x, y, z;
};

inline MeshPoint meshPoint(const PointPlacement& placement, double xMetres, double yMetres, double depthMetres)
{
    return {placement.x(xMetres), placement.y(yMetres), placement.z(depthMetres)};
}

// What a solid's walls and back face need of a grid: the rows' Y and the
// depths around the outline, read once, so that a writer keeps no more than
// the outline. Gives the position of any vertex the closure uses (numbered
// as in mesh_layout.h).
class OutlinePoints {
public:
    OutlinePoints(const GridPoints& points, double backDepth, const PointPlacement& placement);

    MeshPoint position(std::uint64_t vertex) const;

private:
    std::vector<double> xs_;
    std::vector<double> ys_;
    std::vector<double> top_, bottom_;
    std::vector<double> left_, right_;
    std::vector<std::uint64_t> outline_;
    std::uint64_t gridPoints_;
    double backDepth_;
    PointPlacement placement_;
};
