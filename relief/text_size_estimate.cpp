#include "text_size_estimate.h"

#include "corner_depth.h"
#include "grid_axis.h"
#include "number_text.h"

#include <algorithm>

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

// The axis' positions (the last cell's far side included), times the scale.
std::vector<double> scaledPositions(double start, double bound, double step, double scale)
{
    std::vector<double> values;
    GridAxis axis(start, bound, step);
    for (; axis.more(); axis.advance())
        values.push_back(scale * axis.at());
    if (!values.empty())
        values.push_back(scale * axis.at());
    return values;
}

// Text bytes of every corner's value along one axis: each cell writes the
// near side's text twice and the far side's twice.
std::uint64_t axisTextBytes(const std::vector<double>& values, bool cut)
{
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i + 1 < values.size(); ++i)
        bytes += 2 * (textLength(values[i], cut) + textLength(values[i + 1], cut));
    return bytes;
}

struct DepthTextLengths {
    double typical = 0;
    std::size_t longest = 0;
};

// xs and ys in window units.
DepthTextLengths depthTextLengths(const ExportJob& job, const std::vector<double>& xs, const std::vector<double>& ys)
{
    const ExportParameters& p = job.parameters;
    DepthTextLengths lengths;
    for (int level = 0; level <= 254; level += 2)
        lengths.longest = std::max(lengths.longest, textLength(level / 255.0 * p.maxDepth, false));
    for (int sum = 0; sum <= 508; sum += 2)
        lengths.longest = std::max(lengths.longest, textLength(sum / 510.0 * p.maxDepth, false));

    // The typical length from up to 64 x 64 grid points spread over the grid.
    const CornerDepth depths(p.maxDepth);
    const std::size_t across = std::min<std::size_t>(xs.size(), 64);
    const std::size_t down = std::min<std::size_t>(ys.size(), 64);
    std::uint64_t total = 0, count = 0;
    for (std::size_t j = 0; j < down; ++j)
        for (std::size_t i = 0; i < across; ++i) {
            const double x = xs[i * (xs.size() - 1) / std::max<std::size_t>(across - 1, 1)];
            const double y = ys[j * (ys.size() - 1) / std::max<std::size_t>(down - 1, 1)];
            total += textLength(depths.plain(grayLevel(job.picture->colourAt(x, y))), false);
            ++count;
        }
    lengths.typical = count ? double(total) / double(count) : double(lengths.longest);
    return lengths;
}

}  // namespace

SizeEstimate estimateTextSize(const ExportFormat& format, const SizeQuestion& q)
{
    const std::uint64_t fixed = linesBytes(format.head) + linesBytes(format.tail);
    const std::uint64_t cells = q.grid.cells();
    if (cells == 0)
        return {fixed, fixed};

    const ExportParameters& p = q.job.parameters;
    const WalkBounds b = walkBounds(p, q.job.selection);
    // Positions in window units for the picture, scaled for the texts.
    const std::vector<double> xs = scaledPositions(b.left, b.xBound, b.step, p.scale);
    const std::vector<double> ys = scaledPositions(b.top, b.yBound, b.step, p.scale);
    const std::vector<double> xUnits = scaledPositions(b.left, b.xBound, b.step, 1);
    const std::vector<double> yUnits = scaledPositions(b.top, b.yBound, b.step, 1);

    const CornerStyle& s = format.corner;
    const std::uint64_t lineEnds = s.endsLine ? 2 : 0;
    const std::uint64_t perCell = linesBytes(format.cellOpening) + linesBytes(format.cellClosing) +
                                  4 * (s.xLabel.size() + s.yLabel.size() + s.zLabel.size() + lineEnds) +
                                  3 * s.afterZ.size() + s.afterLastZ.size();
    const std::uint64_t xBytes = q.grid.rows * axisTextBytes(xs, false);
    const std::uint64_t yBytes = q.grid.columns * axisTextBytes(ys, true);
    const std::uint64_t known = fixed + cells * perCell + xBytes + yBytes;

    const DepthTextLengths z = depthTextLengths(q.job, xUnits, yUnits);
    return {known + static_cast<std::uint64_t>(4.0 * double(cells) * z.typical + 0.5),
            known + 4 * cells * z.longest};
}
