#include "corner_depth.h"

#include <cmath>

CornerDepth::CornerDepth(double maxDepth) : maxDepth_(maxDepth)
{
    for (int level = 0; level < levels; ++level) {
        normalised_[level] = level / 255.0;
        plain_[level] = level / 255.0 * maxDepth;
    }
    for (int sum = 0; sum < meanEntries; ++sum)
        mean_[sum] = sum / 510.0 * maxDepth;
}

bool CornerDepth::isSpike(int left, int centre, int right) const
{
    const double c = normalised(centre);
    return std::fabs(normalised(left) - c) > 0.3 && std::fabs(c - normalised(right)) > 0.3;
}
