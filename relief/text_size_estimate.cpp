#include "text_size_estimate.h"

#include "grid_sample.h"
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

DepthTextLengths depthTextLengths(const ExportJob& job, const GridPositions& positions)
{
    const ExportParameters& p = job.parameters;
    DepthTextLengths lengths;
    for (int level = 0; level <= 254; level += 2)
        lengths.longest = std::max(lengths.longest, textLength(level / 255.0 * p.maxDepth, false));
    for (int sum = 0; sum <= 508; sum += 2)
        lengths.longest = std::max(lengths.longest, textLength(sum / 510.0 * p.maxDepth, false));
    const std::vector<double> sample = sampleDepths(job, positions);
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

    const double scale = q.job.parameters.scale;
    const GridPositions positions = gridPositions(q.job);
    std::vector<double> xs = positions.xs, ys = positions.ys;
    for (double& x : xs)
        x *= scale;
    for (double& y : ys)
        y *= scale;

    const CornerStyle& s = format.corner;
    const std::uint64_t lineEnds = s.endsLine ? 2 : 0;
    const std::uint64_t perCell = linesBytes(format.cellOpening) + linesBytes(format.cellClosing) +
                                  4 * (s.xLabel.size() + s.yLabel.size() + s.zLabel.size() + lineEnds) +
                                  3 * s.afterZ.size() + s.afterLastZ.size();
    const std::uint64_t xBytes = q.grid.rows * axisTextBytes(xs, false);
    const std::uint64_t yBytes = q.grid.columns * axisTextBytes(ys, true);
    const std::uint64_t known = fixed + cells * perCell + xBytes + yBytes;

    const DepthTextLengths z = depthTextLengths(q.job, positions);
    return {known + static_cast<std::uint64_t>(4.0 * double(cells) * z.typical + 0.5),
            known + 4 * cells * z.longest};
}
