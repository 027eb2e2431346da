#include "grid_axis.h"

#include <algorithm>
#include <cmath>

namespace {

// How many further advances of `by` keep `from` within its binade (the
// doubles of one exponent, where the spacing is the same), two advances short
// of its edge, and at most `bound`.
std::uint64_t advancesWithinBinade(double from, double by, double bound)
{
    if (from == 0)
        return 0;
    const int exponent = std::ilogb(from);
    // Growing positions leave the binade at its top; negative ones, moving
    // towards zero, at its bottom.
    const double edge = from > 0 ? std::ldexp(1.0, exponent + 1) : -std::ldexp(1.0, exponent);
    const double last = std::min(bound, edge - 2 * by);
    if (!(last > from))
        return 0;
    double count = std::floor((last - from) / by);
    while (count > 0 && from + count * by > last)
        --count;
    return count > 0 ? static_cast<std::uint64_t>(count) : 0;
}

}  // namespace

// Within one binade every position is a whole number of spacings, so adding
// the same step always rounds the same way, but for a tie, which rounds to
// the even neighbour: after one addition the advances stay the same. Two
// equal advances in a row, all within one binade, are so the advance of
// every following addition there, and the positions a run of exact sums.
std::uint64_t GridAxis::skip(std::uint64_t count)
{
    std::uint64_t made = 0;
    while (made < count && more_) {
        const double before = at_;
        advance();
        ++made;
        if (!more_ || made == count)
            break;
        const double by = at_ - before;  // exact when both lie in one binade, the only case it serves
        const double next = at_ + step_;
        if (next - at_ != by || std::ilogb(before) != std::ilogb(next) || (before < 0) != (next < 0) ||
            before == 0)
            continue;
        const std::uint64_t run = std::min(count - made, advancesWithinBinade(at_, by, bound_));
        at_ += double(run) * by;
        made += run;
    }
    return made;
}

std::uint64_t countPositions(double start, double bound, double step)
{
    GridAxis axis(start, bound, step);
    return axis.more() ? axis.skip(UINT64_MAX) : 0;
}
