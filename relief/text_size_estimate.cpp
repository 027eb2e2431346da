#include "text_size_estimate.h"

#include "grid_sample.h"
#include "number_text.h"
#include "saturating.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

std::uint64_t linesBytes(const std::vector<std::string_view>& lines)
{
    std::uint64_t bytes = 0;
    for (std::string_view line : lines)
        bytes += line.size() + 2;
    return bytes;
}

std::size_t textLength(double value, bool cut)
{
    std::string text;
    appendNumberText(text, value, '.');
    return cut ? cutToEight(text).size() : text.size();
}

double spacingAt(double value)
{
    const double magnitude = std::fabs(value);
    return std::nextafter(magnitude, INFINITY) - magnitude;
}

// The most characters a scaled position of the axis can take, whatever the
// rounding of the walk: 15 significant digits after the integer digits of
// the largest magnitude, or after the leading zeros of the smallest.
std::uint64_t longestText(const AxisPositions& axis, double scale, bool cut)
{
    const double largest = std::fabs(scale) * std::max(std::fabs(axis.start), std::fabs(axis.bound) + axis.step);
    if (largest == 0)
        return 1;  // "0"
    // From a start at or past zero the positions only grow. From below zero
    // they may pass close to it, but all are whole multiples of the spacing
    // of doubles at the start or at the step, whichever is finer.
    const double smallest = axis.start > 0    ? axis.start
                            : axis.start == 0 ? axis.step
                                              : std::min(spacingAt(axis.start), spacingAt(axis.step));
    // Rounding to 15 digits may carry into the next power of ten; a margin
    // for the scaling's own rounding and for log10's.
    const int high = int(std::floor(std::log10(largest * (1 + 1e-9)))) + 1;
    const int low = int(std::floor(std::log10(std::max(std::fabs(scale) * smallest * (1 - 1e-9), DBL_TRUE_MIN)))) - 1;
    const auto length = [](int exponent) { return exponent >= 0 ? std::max(exponent + 1, 16) : 16 - exponent; };
    const int sign = 1;
    if (cut)  // the integer part, or 8 characters
        return std::uint64_t(std::max(8, sign + std::max(high, 0) + 1));
    return std::uint64_t(sign + std::max(length(high), length(low)));
}

struct AxisTextBytes {
    std::uint64_t typical = 0;
    std::uint64_t upperBound = 0;
};

// Text bytes of every corner's value along one axis: each cell writes the
// near side's text twice and the far side's twice. Exact when every text
// was measured; otherwise the sample's mean length for the typical figure,
// and the longest text for the bound.
AxisTextBytes axisTextBytes(const AxisPositions& axis, double scale, bool cut)
{
    std::uint64_t total = 0, first = 0, last = 0, measured = 0;
    visitSpread(axis, measuredPerAxis, [&](double position) {
        last = textLength(scale * position, cut);
        if (measured++ == 0)
            first = last;
        total += last;
    });
    if (measured == axis.count) {
        const std::uint64_t exact = 2 * (2 * total - first - last);
        return {exact, exact};
    }
    const double cells = double(axis.count - 1);
    return {saturatingFromDouble(std::floor(4.0 * cells * double(total) / double(measured) + 0.5)),
            saturatingMultiply(4 * longestText(axis, scale, cut), axis.count - 1)};
}

struct DepthTextLengths {
    double typical = 0;
    std::size_t longest = 0;
};

DepthTextLengths depthTextLengths(const ExportJob& job, const GridAxes& axes)
{
    const ExportParameters& p = job.parameters;
    DepthTextLengths lengths;
    for (int level = 0; level <= 254; level += 2)
        lengths.longest = std::max(lengths.longest, textLength(level / 255.0 * p.maxDepth, false));
    for (int sum = 0; sum <= 508; sum += 2)
        lengths.longest = std::max(lengths.longest, textLength(sum / 510.0 * p.maxDepth, false));
    const std::vector<double> sample = sampleDepths(job, axes);
    std::uint64_t total = 0;
    for (double depth : sample)
        total += textLength(depth, false);
    lengths.typical = sample.empty() ? double(lengths.longest) : double(total) / double(sample.size());
    return lengths;
}

}  // namespace

SizeEstimate estimateTextSize(const ExportFormat& format, const SizeQuestion& q)
{
    const std::uint64_t fixed = linesBytes(format.head) + linesBytes(format.tail);
    const std::uint64_t cells = q.grid.cells();
    if (cells == 0)
        return {fixed, fixed};

    const GridAxes axes = gridAxes(q.job, q.grid);
    const double scale = q.job.parameters.scale;
    const AxisTextBytes xs = axisTextBytes(axes.across, scale, false);
    const AxisTextBytes ys = axisTextBytes(axes.down, scale, true);

    const CornerStyle& s = format.corner;
    const std::uint64_t lineEnds = s.endsLine ? 2 : 0;
    const std::uint64_t perCell = linesBytes(format.cellOpening) + linesBytes(format.cellClosing) +
                                  4 * (s.xLabel.size() + s.yLabel.size() + s.zLabel.size() + lineEnds) +
                                  3 * s.afterZ.size() + s.afterLastZ.size();
    const std::uint64_t framed = saturatingAdd(fixed, saturatingMultiply(cells, perCell));
    const auto withTexts = [&](std::uint64_t x, std::uint64_t y) {
        const std::uint64_t xTexts = saturatingMultiply(q.grid.rows, x), yTexts = saturatingMultiply(q.grid.columns, y);
        return saturatingAdd(framed, saturatingAdd(xTexts, yTexts));
    };

    const DepthTextLengths z = depthTextLengths(q.job, axes);
    return {saturatingAdd(withTexts(xs.typical, ys.typical),
                          saturatingFromDouble(std::floor(4.0 * double(cells) * z.typical + 0.5))),
            saturatingAdd(withTexts(xs.upperBound, ys.upperBound), saturatingMultiply(4 * z.longest, cells))};
}
