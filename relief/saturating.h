#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// Counts and sizes that stop at the largest value instead of wrapping round:
// a grid of 10^30 cells must not come out as a small file. A result equal to
// `saturated` means "at least this much", beyond any disk or memory.
inline constexpr std::uint64_t saturated = std::numeric_limits<std::uint64_t>::max();

inline std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t sum;
    return __builtin_add_overflow(a, b, &sum) ? saturated : sum;
}

inline std::uint64_t saturatingMultiply(std::uint64_t a, std::uint64_t b)
{
    std::uint64_t product;
    return __builtin_mul_overflow(a, b, &product) ? saturated : product;
}

// A non-negative amount worked out in floating point, rounded up; NaN and
// negative amounts give 0.
inline std::uint64_t saturatingFromDouble(double value)
{
    if (!(value > 0))
        return 0;
    value = std::ceil(value);
    return value >= 18446744073709551616.0 ? saturated : static_cast<std::uint64_t>(value);
}
