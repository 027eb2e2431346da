#include "relief_surface.h"

#include "failure_text.h"

#include <BSplCLib.hxx>
#include <GeomAPI_PointsToBSplineSurface.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array2OfReal.hxx>
#include <TColgp_Array2OfPnt.hxx>
#include <math_Matrix.hxx>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// The grid's positions as regular steps in millimetres, growing: the walk's
// positions come from repeated additions, and the regular steps that span
// the same extent stay within rounding of them.
struct RegularAxis {
    double first, step;
    std::size_t count;
    bool reversed;

    explicit RegularAxis(const std::vector<double>& positions)
        : count(positions.size()), reversed(positions.back() < positions.front())
    {
        first = std::min(positions.front(), positions.back()) * millimetresPerMetre;
        const double last = std::max(positions.front(), positions.back()) * millimetresPerMetre;
        step = (last - first) / double(count - 1);
    }
    double at(std::size_t k) const { return first + step * double(k); }
    // The grid's index of the k-th position from the smallest.
    std::size_t gridIndex(std::size_t k) const { return reversed ? count - 1 - k : k; }
};

// The heights as OpenCASCADE's approximation takes them: Z(i, j) for column
// i and row j, with X and Y growing along i and j (the grid may run the
// other way).
TColStd_Array2OfReal regularHeights(const HeightGrid& grid, const RegularAxis& x, const RegularAxis& y)
{
    TColStd_Array2OfReal z(1, int(x.count), 1, int(y.count));
    for (std::size_t j = 0; j < y.count; ++j)
        for (std::size_t i = 0; i < x.count; ++i)
            z(int(i) + 1, int(j) + 1) = grid.depth(y.gridIndex(j), x.gridIndex(i)) * millimetresPerMetre;
    return z;
}

// One direction of the interpolation: a cubic through `count` positions with
// a knot at each, and the second derivative 0 at both ends (the natural
// spline: the least bending through the points), so count + 2 poles.
struct CubicAxis {
    TColStd_Array1OfReal knots, flatKnots, parameters;
    TColStd_Array1OfInteger multiplicities, contactOrders;

    explicit CubicAxis(const RegularAxis& axis)
        : knots(1, int(axis.count)), flatKnots(1, int(axis.count) + 6), parameters(1, int(axis.count) + 2),
          multiplicities(1, int(axis.count)), contactOrders(1, int(axis.count) + 2)
    {
        const int n = int(axis.count);
        for (int k = 1; k <= n; ++k) {
            knots(k) = axis.at(std::size_t(k - 1));
            multiplicities(k) = k == 1 || k == n ? 4 : 1;
        }
        BSplCLib::KnotSequence(knots, multiplicities, flatKnots);
        // The value at each position, and the second derivative at the two ends
        // beside their values, in growing order as the banded solver wants them.
        contactOrders.Init(0);
        parameters(1) = parameters(2) = knots(1);
        contactOrders(2) = 2;
        for (int k = 2; k < n; ++k)
            parameters(k + 1) = knots(k);
        parameters(n + 1) = parameters(n + 2) = knots(n);
        contactOrders(n + 1) = 2;
    }
    int poles() const { return parameters.Length(); }
    // The poles' positions that make the surface's X (or Y) its parameter:
    // the knots' running averages (Greville's abscissae).
    double pole(int k) const { return (flatKnots(k + 1) + flatKnots(k + 2) + flatKnots(k + 3)) / 3.0; }

    // Turns `values` (poles() rows of `dimension` numbers: the values to
    // pass through in the order of `parameters`, the second derivatives
    // as 0) into the poles, rows alike. A banded solve: memory and time
    // grow as the points, where OpenCASCADE's own interpolation of a grid
    // takes a full square matrix per direction.
    bool solve(std::vector<double>& values, int dimension) const
    {
        int problem = 0;
        BSplCLib::Interpolate(3, flatKnots, parameters, contactOrders, dimension, values[0], problem);
        return problem == 0;
    }
};

// The exact surface: along Y first, every column at once (the grid's rows
// are already the solver's rows), then along X through those poles.
Handle(Geom_BSplineSurface) interpolated(const HeightGrid& grid, const RegularAxis& x, const RegularAxis& y,
                                         std::string& failure)
{
    const CubicAxis u(x), v(y);
    const std::size_t columns = x.count, rows = y.count;
    const std::size_t uPoles = columns + 2, vPoles = rows + 2;

    std::vector<double> alongY(vPoles * columns, 0.0);
    const auto yRow = [&](std::size_t j) { return j == 0 ? 0 : j == rows - 1 ? vPoles - 1 : j + 1; };
    for (std::size_t j = 0; j < rows; ++j) {
        double* to = &alongY[yRow(j) * columns];
        const std::size_t row = y.gridIndex(j);
        for (std::size_t i = 0; i < columns; ++i)
            to[i] = grid.depth(row, x.gridIndex(i)) * millimetresPerMetre;
    }
    if (!v.solve(alongY, int(columns))) {
        failure = "le calcul des pôles le long de Y n'a pas de solution";
        return {};
    }

    // Rows of the next solve: one per X position, the Y direction's poles across.
    std::vector<double> alongX(uPoles * vPoles, 0.0);
    const auto xRow = [&](std::size_t i) { return i == 0 ? 0 : i == columns - 1 ? uPoles - 1 : i + 1; };
    for (std::size_t m = 0; m < vPoles; ++m)
        for (std::size_t i = 0; i < columns; ++i)
            alongX[xRow(i) * vPoles + m] = alongY[m * columns + i];
    std::vector<double>().swap(alongY);
    if (!u.solve(alongX, int(vPoles))) {
        failure = "le calcul des pôles le long de X n'a pas de solution";
        return {};
    }

    TColgp_Array2OfPnt poles(1, int(uPoles), 1, int(vPoles));
    for (int k = 1; k <= int(uPoles); ++k)
        for (int m = 1; m <= int(vPoles); ++m)
            poles(k, m).SetCoord(u.pole(k), v.pole(m), alongX[std::size_t(k - 1) * vPoles + std::size_t(m - 1)]);
    std::vector<double>().swap(alongX);
    return new Geom_BSplineSurface(poles, u.knots, v.knots, u.multiplicities, v.multiplicities, 3, 3);
}

Handle(Geom_BSplineSurface) approximated(const TColStd_Array2OfReal& z, const RegularAxis& x, const RegularAxis& y,
                                         double toleranceMm)
{
    // Two passes (along Y, then along X through the first pass's poles) may
    // each use their share of the tolerance. Degree 3 both ways keeps the
    // surface bicubic and C2, like the exact one.
    try {
        GeomAPI_PointsToBSplineSurface maker;
        maker.Init(z, x.first, x.step, y.first, y.step, 3, 3, GeomAbs_C2, toleranceMm / 2);
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
    const RegularAxis x(block.xs), y(block.ys);
    const Handle(Geom_BSplineSurface) trial = approximated(regularHeights(block, x, y), x, y, toleranceMm);
    return !trial.IsNull() && 2 * poleCount(*trial) < exactPoleCount(block);
}

// The non-zero B-splines of one direction at each of `at`: the first one's
// index (from 0) and their values, `order` of them.
struct Basis {
    std::vector<int> first;
    std::vector<double> values;
};

Basis basisAt(const TColStd_Array1OfReal& flatKnots, int degree, const std::vector<double>& at)
{
    const int order = degree + 1;
    Basis basis;
    basis.first.resize(at.size());
    basis.values.resize(at.size() * std::size_t(order));
    math_Matrix values(1, 1, 1, order);
    for (std::size_t k = 0; k < at.size(); ++k) {
        int first = 0;
        BSplCLib::EvalBsplineBasis(0, order, flatKnots, at[k], first, values);
        basis.first[k] = first - 1;
        for (int b = 0; b < order; ++b)
            basis.values[k * std::size_t(order) + std::size_t(b)] = values(1, b + 1);
    }
    return basis;
}

// The grid's positions in millimetres and the halves between them.
std::vector<double> withHalves(const std::vector<double>& positions)
{
    std::vector<double> all(2 * positions.size() - 1);
    for (std::size_t k = 0; k < all.size(); ++k)
        all[k] = (k % 2 == 0 ? positions[k / 2] : (positions[k / 2] + positions[k / 2 + 1]) / 2) * millimetresPerMetre;
    return all;
}

} // namespace

SurfaceSamples sampleSurface(const Geom_BSplineSurface& surface, const HeightGrid& grid)
{
    // Evaluated as the sums they are, a direction at a time: each sample row
    // first makes the curve across X at its Y (the poles' depths weighed
    // along Y), then every sample of the row weighs that curve's poles.
    // A grid of 1 000 000 points (4 000 000 samples): 27 ms, where
    // evaluating each sample on its own takes 1.8 s.
    const std::vector<double> us = withHalves(grid.xs), vs = withHalves(grid.ys);
    const int uOrder = surface.UDegree() + 1, vOrder = surface.VDegree() + 1;
    const Basis uBasis = basisAt(surface.UKnotSequence(), surface.UDegree(), us);
    const Basis vBasis = basisAt(surface.VKnotSequence(), surface.VDegree(), vs);
    const TColgp_Array2OfPnt& poles = surface.Poles();
    const int uPoles = surface.NbUPoles();

    SurfaceSamples samples;
    samples.lowest = HUGE_VAL;
    samples.highest = -HUGE_VAL;
    std::vector<double> curve(std::size_t(uPoles), 0.0);
    for (std::size_t r = 0; r < vs.size(); ++r) {
        const int vFirst = vBasis.first[r];
        const double* vWeights = &vBasis.values[r * std::size_t(vOrder)];
        for (int k = 0; k < uPoles; ++k) {
            double z = 0;
            for (int b = 0; b < vOrder; ++b)
                z += vWeights[b] * poles(poles.LowerRow() + k, poles.LowerCol() + vFirst + b).Z();
            curve[std::size_t(k)] = z;
        }
        for (std::size_t c = 0; c < us.size(); ++c) {
            const double* uWeights = &uBasis.values[c * std::size_t(uOrder)];
            const double* at = &curve[std::size_t(uBasis.first[c])];
            double z = 0;
            for (int b = 0; b < uOrder; ++b)
                z += uWeights[b] * at[b];
            samples.lowest = std::min(samples.lowest, z);
            samples.highest = std::max(samples.highest, z);
            if (r % 2 == 0 && c % 2 == 0)
                samples.deviation =
                    std::max(samples.deviation, std::abs(z - grid.depth(r / 2, c / 2) * millimetresPerMetre));
        }
    }
    return samples;
}

ReliefSurface buildReliefSurface(const HeightGrid& grid, double toleranceMm)
{
    ReliefSurface made;
    if (double(grid.xs.size() + 2) * double(grid.ys.size() + 2) > largestPoleCount) {
        made.failure = "la grille a plus de pôles qu'OpenCASCADE n'en compte";
        return made;
    }
    const auto [lowestDepth, highestDepth] = std::minmax_element(grid.depths.begin(), grid.depths.end());
    const auto measured = [&](const Handle(Geom_BSplineSurface)& surface) {
        const SurfaceSamples samples = sampleSurface(*surface, grid);
        made.surface = surface;
        made.deviation = samples.deviation;
        made.lowest = samples.lowest;
        made.highest = samples.highest;
        made.overshoot = std::max({0.0, *lowestDepth * millimetresPerMetre - samples.lowest,
                                   samples.highest - *highestDepth * millimetresPerMetre});
    };
    const RegularAxis x(grid.xs), y(grid.ys);
    try {
        if (toleranceMm > 0 && std::max(grid.xs.size(), grid.ys.size()) <= longestApproximatedSide &&
            approximationMayPay(grid, toleranceMm)) {
            const Handle(Geom_BSplineSurface) approximation =
                approximated(regularHeights(grid, x, y), x, y, toleranceMm);
            // One with as many poles as the surface through every point is no
            // gain. Nor is one that keeps to the points but swings beyond the
            // relief between them: with nearly as many poles as points, the
            // approximation may pass every point and reach kilometres away.
            if (approximation.IsNull() || poleCount(*approximation) < exactPoleCount(grid)) {
                if (!approximation.IsNull())
                    measured(approximation);
                made.approximated =
                    !approximation.IsNull() && made.deviation <= toleranceMm && made.overshoot <= toleranceMm;
                made.toleranceMissed = !made.approximated;
            }
        }
        if (!made.approximated) {
            std::string failure;
            const Handle(Geom_BSplineSurface) exact = interpolated(grid, x, y, failure);
            if (exact.IsNull()) {
                made = {};
                made.failure = failure;
                return made;
            }
            measured(exact);
        }
    } catch (const Standard_Failure& failure) {
        made = {};
        made.failure = "le calcul des pôles a échoué : " + failureText(failure);
    } catch (const std::bad_alloc& failure) {
        made = {};
        made.failure = "le calcul des pôles a échoué : " + failureText(failure);
    }
    return made;
}
