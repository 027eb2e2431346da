#include "relief_surface.h"

#include <GeomAPI_PointsToBSplineSurface.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array2OfReal.hxx>
#include <TColgp_Array2OfPnt.hxx>

#include <algorithm>
#include <cmath>

namespace {

// The heights as OpenCASCADE takes them: Z(i, j) for column i and row j, with
// X and Y growing along i and j (the grid may run the other way).
struct RegularHeights {
    TColStd_Array2OfReal z;
    double x0, dx, y0, dy;

    explicit RegularHeights(const HeightGrid& grid)
        : z(1, int(grid.xs.size()), 1, int(grid.ys.size()))
    {
        const std::size_t columns = grid.xs.size();
        const std::size_t rows = grid.ys.size();
        const bool xReversed = grid.xs.back() < grid.xs.front();
        const bool yReversed = grid.ys.back() < grid.ys.front();
        for (std::size_t row = 0; row < rows; ++row) {
            const int j = int(yReversed ? rows - row : row + 1);
            for (std::size_t column = 0; column < columns; ++column) {
                const int i = int(xReversed ? columns - column : column + 1);
                z(i, j) = grid.depth(row, column) * millimetresPerMetre;
            }
        }
        // The walk's positions come from repeated additions: the regular
        // steps that span the same extent stay within rounding of them.
        const double xFirst = std::min(grid.xs.front(), grid.xs.back()) * millimetresPerMetre;
        const double xLast = std::max(grid.xs.front(), grid.xs.back()) * millimetresPerMetre;
        const double yFirst = std::min(grid.ys.front(), grid.ys.back()) * millimetresPerMetre;
        const double yLast = std::max(grid.ys.front(), grid.ys.back()) * millimetresPerMetre;
        x0 = xFirst;
        dx = (xLast - xFirst) / double(columns - 1);
        y0 = yFirst;
        dy = (yLast - yFirst) / double(rows - 1);
    }
};

Handle(Geom_BSplineSurface) interpolated(const RegularHeights& heights)
{
    GeomAPI_PointsToBSplineSurface maker;
    maker.Interpolate(heights.z, heights.x0, heights.dx, heights.y0, heights.dy);
    return maker.IsDone() ? maker.Surface() : Handle(Geom_BSplineSurface)();
}

Handle(Geom_BSplineSurface) approximated(const RegularHeights& heights, double toleranceMm)
{
    // Two passes (along Y, then along X through the first pass's poles) may
    // each use their share of the tolerance. Degree 3 both ways keeps the
    // surface bicubic and C2, like the exact one.
    try {
        GeomAPI_PointsToBSplineSurface maker;
        maker.Init(heights.z, heights.x0, heights.dx, heights.y0, heights.dy, 3, 3, GeomAbs_C2, toleranceMm / 2);
        return maker.IsDone() ? maker.Surface() : Handle(Geom_BSplineSurface)();
    } catch (const Standard_Failure&) {
        return {};
    }
}

std::size_t poleCount(const Geom_BSplineSurface& surface)
{
    return std::size_t(surface.NbUPoles()) * std::size_t(surface.NbVPoles());
}

std::size_t exactPoleCount(const HeightGrid& grid)
{
    return (grid.xs.size() + 2) * (grid.ys.size() + 2);
}

// OpenCASCADE's approximation costs far more than the interpolation and
// grows faster than the grid (100 000 grainy points: 30 s), and it only pays
// when it needs clearly fewer poles. A block of the grid tells: when even
// there it needs more than half of the exact surface's poles, the picture is
// too grainy for the tolerance and the exact surface is written at once.
bool approximationMayPay(const HeightGrid& grid, double toleranceMm)
{
    constexpr std::size_t trialSide = 64;
    if (grid.xs.size() <= 2 * trialSide && grid.ys.size() <= 2 * trialSide)
        return true;
    HeightGrid block;
    const std::size_t columns = std::min(trialSide, grid.xs.size());
    const std::size_t rows = std::min(trialSide, grid.ys.size());
    const std::size_t left = (grid.xs.size() - columns) / 2;
    const std::size_t top = (grid.ys.size() - rows) / 2;
    block.xs.assign(grid.xs.begin() + long(left), grid.xs.begin() + long(left + columns));
    block.ys.assign(grid.ys.begin() + long(top), grid.ys.begin() + long(top + rows));
    for (std::size_t row = top; row < top + rows; ++row)
        for (std::size_t column = left; column < left + columns; ++column)
            block.depths.push_back(grid.depth(row, column));
    const Handle(Geom_BSplineSurface) trial = approximated(RegularHeights(block), toleranceMm);
    return !trial.IsNull() && 2 * poleCount(*trial) < exactPoleCount(block);
}

} // namespace

double largestDeviation(const Geom_BSplineSurface& surface, const HeightGrid& grid)
{
    double largest = 0.0;
    for (std::size_t row = 0; row < grid.ys.size(); ++row) {
        const double y = grid.ys[row] * millimetresPerMetre;
        for (std::size_t column = 0; column < grid.xs.size(); ++column) {
            const double z = surface.Value(grid.xs[column] * millimetresPerMetre, y).Z();
            largest = std::max(largest, std::abs(z - grid.depth(row, column) * millimetresPerMetre));
        }
    }
    return largest;
}

double deepestReach(const Geom_BSplineSurface& surface, const HeightGrid& grid, double limit)
{
    const TColgp_Array2OfPnt& poles = surface.Poles();
    double deepest = -HUGE_VAL;
    for (int i = poles.LowerRow(); i <= poles.UpperRow(); ++i)
        for (int j = poles.LowerCol(); j <= poles.UpperCol(); ++j)
            deepest = std::max(deepest, poles(i, j).Z());
    if (deepest < limit)
        return deepest;

    deepest = -HUGE_VAL;
    const std::size_t rows = 2 * grid.ys.size() - 1;
    const std::size_t columns = 2 * grid.xs.size() - 1;
    const auto halfway = [](const std::vector<double>& positions, std::size_t k) {
        return (k % 2 == 0 ? positions[k / 2] : (positions[k / 2] + positions[k / 2 + 1]) / 2) * millimetresPerMetre;
    };
    for (std::size_t row = 0; row < rows; ++row) {
        const double y = halfway(grid.ys, row);
        for (std::size_t column = 0; column < columns; ++column)
            deepest = std::max(deepest, surface.Value(halfway(grid.xs, column), y).Z());
    }
    return deepest;
}

ReliefSurface buildReliefSurface(const HeightGrid& grid, double toleranceMm)
{
    const RegularHeights heights(grid);
    ReliefSurface made;
    if (toleranceMm > 0 && approximationMayPay(grid, toleranceMm)) {
        const Handle(Geom_BSplineSurface) approximation = approximated(heights, toleranceMm);
        // One with as many poles as the surface through every point is no gain.
        if (approximation.IsNull() || poleCount(*approximation) < exactPoleCount(grid)) {
            const double deviation = approximation.IsNull() ? HUGE_VAL : largestDeviation(*approximation, grid);
            if (deviation <= toleranceMm) {
                made.surface = approximation;
                made.deviation = deviation;
                made.approximated = true;
                return made;
            }
            made.toleranceMissed = true;
        }
    }
    made.surface = interpolated(heights);
    if (!made.surface.IsNull())
        made.deviation = largestDeviation(*made.surface, grid);
    return made;
}
