#include "progress_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string durationText(double seconds)
{
    const auto whole = static_cast<unsigned long long>(std::max(0.0, std::ceil(seconds)));
    char text[48];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%llu:%02llu:%02llu", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%llu:%02llu", whole / 60, whole % 60);
    return text;
}

std::string progressLine(std::uint64_t done, std::uint64_t total, double elapsedSeconds)
{
    constexpr int barWidth = 20;
    done = std::min(done, total);
    const double fraction = total == 0 ? 1.0 : double(done) / double(total);
    const int filled = static_cast<int>(fraction * barWidth);
    // Built piece by piece: GCC 12 sees a false overlap in "[" + text + ...
    std::string line(1, '[');
    line.append(std::size_t(filled), '#');
    line.append(std::size_t(barWidth - filled), '-');
    line += "] ";

    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%3d %% %llu/%llu cellules", static_cast<int>(fraction * 100),
                  static_cast<unsigned long long>(done), static_cast<unsigned long long>(total));
    line += numbers;
    line += " reste ";
    if (done == 0 || !(elapsedSeconds > 0))
        line += "?";
    else
        line += durationText(elapsedSeconds / double(done) * double(total - done));
    return line;
}
