#include "relief_sampler.h"

#include "corner_depth.h"
#include "corner_writer.h"

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
    const CornerDepth depths(parameters.maxDepth);
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
            // The pixels met by this cell: columns of x, x + step and the
            // right-hand neighbour one step further, rows of y and y + step.
            const int columns[] = {picture.columnOf(x), picture.columnOf(right), picture.columnOf(right + step)};
            const int rows[] = {picture.rowOf(y), picture.rowOf(bottom)};
            for (int r = 0; r < 2; ++r) {
                const double cornerY = r == 0 ? y : bottom;
                for (int c = 0; c < 2; ++c) {
                    const double cornerX = c == 0 ? x : right;
                    const int centre = grayLevel(picture.colourAtPixel(columns[c], rows[r]));
                    // Only a right-hand corner whose right neighbour still lies
                    // inside the selection may be smoothed.
                    const double depth =
                        cornerX == right && cornerX < xBound
                            ? depths.filtered(grayLevel(picture.colourAtPixel(columns[0], rows[r])), centre,
                                              grayLevel(picture.colourAtPixel(columns[2], rows[r])))
                            : depths.plain(centre);
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
