#pragma once

#include <cstdint>

// The brightness of a colour as sRGB and Rec. 709 weigh it, applied to the
// stored (gamma-encoded) components: 0.2126 red, 0.7152 green, 0.0722 blue.
// In ten-thousandths, which add up to exactly one, so that a grey is its own
// value; rounded to the nearest level of the components' own depth (8 or
// 16 bits: 10000 x 65535 still fits 32 bits).
constexpr std::uint32_t lumaOf(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return (2126 * red + 7152 * green + 722 * blue + 5000) / 10000;
}
