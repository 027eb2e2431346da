#include "relief_sampler.h"

#include "corner_writer.h"

#include <cmath>

namespace {

void writeLines(TextOutput& out, const std::vector<std::string_view>& lines)
{
    for (std::string_view line : lines)
        out.WriteLine(line);
}

// A block of whole lines as the one text it makes, written in one go for
// every cell.
std::string joinLines(const std::vector<std::string_view>& lines)
{
    std::string block;
    for (std::string_view line : lines) {
        block += line;
        block += "\r\n";
    }
    return block;
}

// The spike filter smooths a lone bright or dark right-hand corner: when it
// differs by more than 0.3 from both its left and right neighbours on the
// row, it takes their mean instead of its own level.
bool isSpike(int left, int centre, int right)
{
    return std::fabs(left / 255.0 - centre / 255.0) > 0.3 && std::fabs(centre / 255.0 - right / 255.0) > 0.3;
}

}  // namespace

WalkResult sampleRelief(const ExportFormat& format, const ExportParameters& parameters,
                        const Selection& selection, const Picture& picture, TextOutput& out,
                        EventLoop& events, ScanWindow& scan)
{
    writeLines(out, format.head);
    CornerWriter corners(format.corner);
    const std::string cellOpening = joinLines(format.cellOpening);
    const std::string cellClosing = joinLines(format.cellClosing);
    const double step = parameters.step;
    const double maxDepth = parameters.maxDepth;
    const double left = selection.left;
    const double top = selection.top;
    const double xBound = (left + double(selection.width)) - step;
    const double yBound = (top + double(selection.height)) - step;

    // A negative step walks no rows; a coordinate that stops moving ends its loop.
    // Rows are walked only when a row has a cell: rows without one write nothing
    // and never yield, so a tall selection narrower than a step would otherwise
    // loop over its rows without end.
    for (double y = top; step > 0 && left <= xBound && y <= yBound;) {
        for (double x = left; x <= xBound;) {
            if (!events.yield())
                return WalkResult::Abandoned;
            if (out.failed())
                return WalkResult::WriteFailed;
            out.Write(cellOpening);
            const double right = x + step;
            const double bottom = y + step;
            for (const double cornerY : {y, bottom}) {
                for (const double cornerX : {x, right}) {
                    const int centre = grayLevel(picture.colourAt(cornerX, cornerY));
                    double depth = centre / 255.0 * maxDepth;
                    if (cornerX == right && cornerX < xBound) {
                        const int leftLevel = grayLevel(picture.colourAt(x, cornerY));
                        const int rightLevel = grayLevel(picture.colourAt(cornerX + step, cornerY));
                        if (isSpike(leftLevel, centre, rightLevel))
                            depth = (leftLevel + rightLevel) / 510.0 * maxDepth;
                    }
                    const bool last = cornerX == right && cornerY == bottom;
                    corners.write(out, cornerX, cornerY, parameters.scale, depth, last);
                }
            }
            scan.dot(x, y);
            out.Write(cellClosing);
            if (right == x)
                break;
            x = right;
        }
        const double next = y + step;
        if (next == y)
            break;
        y = next;
    }
    writeLines(out, format.tail);
    return out.failed() ? WalkResult::WriteFailed : WalkResult::Completed;
}
