#pragma once

#include "relief/height_grid.h"

#include <Geom_BSplineSurface.hxx>

// OpenCASCADE works here in millimetres, the unit the STEP file declares.
constexpr double millimetresPerMetre = 1000.0;

// The relief as one B-spline surface S(x, y) = (x, y, depth), in millimetres:
// the parameters are the grid's own X and Y, which keeps the poles close to
// the heights (a chord-length parametrisation lets them swing far out).
struct ReliefSurface {
    Handle(Geom_BSplineSurface) surface;
    double deviation = 0.0;  // millimetres, largest |S(x, y) - depth| over the grid points
    bool approximated = false;
    bool toleranceMissed = false;
};

// A bicubic C2 interpolation through every point when `toleranceMm` is 0,
// otherwise OpenCASCADE's approximation, kept only if it stays within the
// tolerance at every grid point. The grid must have cells.
ReliefSurface buildReliefSurface(const HeightGrid& grid, double toleranceMm);

// Largest |S(x, y) - depth| over the grid's points, in millimetres.
double largestDeviation(const Geom_BSplineSurface& surface, const HeightGrid& grid);

// How deep the surface goes, in millimetres: its poles bound it, and when
// they lie beyond `limit` the surface itself is sampled at every grid point
// and half-way between them (a cubic's bulge between points peaks near there).
double deepestReach(const Geom_BSplineSurface& surface, const HeightGrid& grid, double limit);
