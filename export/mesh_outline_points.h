#pragma once

#include "relief/height_grid.h"

#include <cstdint>
#include <vector>

// A mesh point in millimetres: X and Y from the grid, Z the depth.
struct MeshPoint {
    double x, y, z;
};

inline MeshPoint meshPoint(double xMetres, double yMetres, double depthMetres)
{
    return {1000.0 * xMetres, 1000.0 * yMetres, 1000.0 * depthMetres};
}

// What a solid's walls and back face need of a grid: the rows' Y and the
// depths around the outline, read once, so that a writer keeps no more than
// the outline. Gives the position of any vertex the closure uses (numbered
// as in mesh_layout.h).
class OutlinePoints {
public:
    OutlinePoints(const GridPoints& points, double backDepth);

    MeshPoint position(std::uint64_t vertex) const;

private:
    std::vector<double> xs_;
    std::vector<double> ys_;
    std::vector<double> top_, bottom_;
    std::vector<double> left_, right_;
    std::vector<std::uint64_t> outline_;
    std::uint64_t gridPoints_;
    double backDepth_;
};
