#include "walk_cell_count.h"

#include <cmath>

namespace {

constexpr std::uint64_t countingLimit = std::uint64_t(1) << 26;

// Values start, start + step, ... that stay at most `bound`.
std::uint64_t positionsWithin(double start, double bound, double step)
{
    std::uint64_t n = 0;
    for (double v = start; v <= bound;) {
        if (++n == countingLimit)
            return static_cast<std::uint64_t>(std::floor((bound - start) / step)) + 1;
        const double next = v + step;
        if (next == v)
            break;
        v = next;
    }
    return n;
}

}  // namespace

std::uint64_t walkCellCount(const ExportParameters& p, const Selection& s)
{
    if (!(p.step > 0))
        return 0;
    const double left = s.left;
    const double top = s.top;
    // Without a column the walk takes no row at all.
    const std::uint64_t columns = positionsWithin(left, (left + double(s.width)) - p.step, p.step);
    if (columns == 0)
        return 0;
    const std::uint64_t rows = positionsWithin(top, (top + double(s.height)) - p.step, p.step);
    if (rows != 0 && columns > UINT64_MAX / rows)
        return UINT64_MAX;
    return rows * columns;
}
