#include "step_size.h"

namespace {

// Measured on reliefs of 10 000 to 1 000 000 points: about 68 bytes a pole.
// The widest pole, "#9999999 = CARTESIAN_POINT('',(...));" with three
// 12-digit numbers in exponent form, wrapped once, and its reference in the
// surface's list, stays under 112 bytes.
constexpr double typicalPerPole = 68.0;
constexpr double largestPerPole = 112.0;
// The header, product, units and the face's or solid's topology; the
// boundary curves of a solid add a pole line per grid point along the edge.
constexpr double fixedBytes = 12000.0;
constexpr double solidFixedBytes = 30000.0;
// An approximation keeps this share of the poles on a typical picture.
constexpr double approximationPoleShare = 0.5;

} // namespace

StepSizeEstimate estimateStepSize(std::size_t columns, std::size_t rows, const StepOptions& options)
{
    if (columns < 2 || rows < 2)
        return {};
    const double poles = double(columns + 2) * double(rows + 2);
    const double edgePoles = options.solid ? 2.0 * double(columns + rows + 4) : 0.0;
    const double fixed = options.solid ? solidFixedBytes : fixedBytes;
    const double typicalPoles = options.tolerance > 0 ? poles * approximationPoleShare : poles;
    StepSizeEstimate estimate;
    estimate.typicalBytes = std::uint64_t(fixed + (typicalPoles + edgePoles) * typicalPerPole);
    estimate.upperBytes = std::uint64_t(fixed + (poles + 2 * edgePoles) * largestPerPole);
    return estimate;
}
