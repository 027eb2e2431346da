#pragma once

#include "relief/height_grid.h"

#include <Geom_BSplineSurface.hxx>

#include <cstddef>
#include <string>

// OpenCASCADE works here in millimetres, the unit the STEP file declares.
constexpr double millimetresPerMetre = 1000.0;

// The relief as one B-spline surface S(x, y) = (x, y, depth), in millimetres:
// the parameters are the grid's own X and Y, which keeps the poles close to
// the heights (a chord-length parametrisation lets them swing far out).
struct ReliefSurface {
    Handle(Geom_BSplineSurface) surface;
    double deviation = 0.0;  // millimetres, largest |S(x, y) - depth| over the grid points
    // Millimetres: the surface's least and greatest depth at the grid points,
    // the cells' centres and the middles of their sides, and how far that
    // leaves the relief's own range of depths.
    double lowest = 0.0;
    double highest = 0.0;
    double overshoot = 0.0;
    bool approximated = false;
    bool toleranceMissed = false;
    std::string failure;  // without a surface: which step failed and why, in French
};

// A bicubic C2 interpolation through every point when `toleranceMm` is 0,
// otherwise OpenCASCADE's approximation, kept only if it stays within the
// tolerance at every grid point. The grid must have cells.
ReliefSurface buildReliefSurface(const HeightGrid& grid, double toleranceMm);

// The surface's depth at the grid points and half-way between neighbours
// (a cubic's bulge between points peaks near there), in millimetres.
struct SurfaceSamples {
    double deviation = 0.0;  // largest |S(x, y) - depth| at the grid points
    double lowest = 0.0;
    double highest = 0.0;
};
SurfaceSamples sampleSurface(const Geom_BSplineSurface& surface, const HeightGrid& grid);

// The most poles one surface may have: OpenCASCADE counts them in an int.
constexpr double largestPoleCount = 2147483647.0;

// The longest grid side OpenCASCADE's approximation takes: its square
// matrices of a side's points are indexed by an int. Longer, only the exact
// surface is made.
constexpr std::size_t longestApproximatedSide = 46340;
