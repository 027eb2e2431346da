#include "step_size.h"

#include "relief/saturating.h"

#include <cmath>

namespace {

// Measured on reliefs of 10 000 to 1 000 000 points: 68 to 78 bytes a pole.
// The widest pole, "#9999999 = CARTESIAN_POINT('',(...));" with three
// 12-digit numbers in exponent form, wrapped once, and its reference in the
// surface's list, stays under 112 bytes.
constexpr double typicalPerPole = 75.0;
constexpr double largestPerPole = 112.0;
// The header, product, units and the face's or solid's topology.
constexpr double fixedBytes = 12000.0;
constexpr double solidFixedBytes = 30000.0;

} // namespace

StepSizeEstimate estimateStepSize(std::size_t columns, std::size_t rows, const StepOptions& options)
{
    if (columns < 2 || rows < 2)
        return {};
    const double poles = double(columns + 2) * double(rows + 2);
    // A solid's four boundary curves each come three times: in space, on the
    // surface and on their side's plane.
    const double edgePoles = options.solid ? 3.0 * 2.0 * double(columns + rows + 4) : 0.0;
    const double fixed = options.solid ? solidFixedBytes : fixedBytes;
    // With a tolerance too: a grainy picture, the usual case, still gets the
    // exact surface; only a smooth one comes out much smaller.
    // A grid too large for any disk stops at the largest size rather than
    // wrapping round.
    StepSizeEstimate estimate;
    estimate.typicalBytes = saturatingFromDouble(std::floor(fixed + (poles + edgePoles) * typicalPerPole));
    estimate.upperBytes = saturatingFromDouble(std::floor(fixed + (poles + 2 * edgePoles) * largestPerPole));
    return estimate;
}
