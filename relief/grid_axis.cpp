#include "grid_axis.h"

#include <cmath>

std::uint64_t countPositions(double start, double bound, double step, std::uint64_t countingLimit)
{
    std::uint64_t n = 0;
    for (GridAxis axis(start, bound, step); axis.more(); axis.advance())
        if (++n == countingLimit)
            return static_cast<std::uint64_t>(std::floor((bound - start) / step)) + 1;
    return n;
}
