#pragma once

#include <cstdint>
#include <string>

// One state of the progress bar, in French: the bar, the percentage, the
// cells done out of the total and the time left, estimated from the pace so
// far. Fits an 80-column terminal for up to 12-digit cell counts.
std::string progressLine(std::uint64_t done, std::uint64_t total, double elapsedSeconds);

// A duration as "m:ss", or "h:mm:ss" from one hour on.
std::string durationText(double seconds);
