#include "reference_export.h"

#include "relief/number_text.h"
#include "relief/relief_walk.h"

#include <cmath>

namespace {

void appendLines(std::string& out, const std::vector<std::string_view>& lines)
{
    for (std::string_view line : lines) {
        out += line;
        out += "\r\n";
    }
}

std::string withPoint(std::string text, char decimalPoint)
{
    for (char& c : text)
        if (c == '.')
            c = decimalPoint;
    return text;
}

void appendCorner(std::string& out, const CornerStyle& style, double x, double y, double scale, double depth,
                  bool last)
{
    const std::string zText = withPoint(numberToText(depth), style.decimalPoint);
    const std::string xText = withPoint(numberToText(scale * x), style.decimalPoint);
    const std::string yText = withPoint(std::string(cutToEight(numberToText(scale * y))), style.decimalPoint);
    out += style.xLabel;
    out += xText;
    out += style.yLabel;
    out += yText;
    out += style.zLabel;
    out += zText;
    out += last ? style.afterLastZ : style.afterZ;
    if (style.endsLine)
        out += "\r\n";
}

bool beyondThreshold(int a, int b) { return std::fabs(a / 255.0 - b / 255.0) > 0.3; }

}  // namespace

std::string referenceExport(const ExportFormat& format, const ExportParameters& p, const Selection& s,
                            const Picture& picture)
{
    std::string out;
    appendLines(out, format.head);
    const double step = p.step;
    const double left = s.left;
    const double top = s.top;
    const double xBound = (left + double(s.width)) - step;
    const double yBound = (top + double(s.height)) - step;
    for (double y = top; step > 0 && y <= yBound;) {
        for (double x = left; x <= xBound;) {
            appendLines(out, format.cellOpening);
            const double right = x + step;
            const double bottom = y + step;
            const double cornerXs[4] = {x, right, x, right};
            const double cornerYs[4] = {y, y, bottom, bottom};
            for (int corner = 0; corner < 4; ++corner) {
                const double cx = cornerXs[corner];
                const double cy = cornerYs[corner];
                const int gC = grayLevel(picture.colourAt(cx, cy));
                double depth = gC / 255.0 * p.maxDepth;
                if (cx == right && cx < xBound) {
                    const int gL = grayLevel(picture.colourAt(x, cy));
                    const int gR = grayLevel(picture.colourAt(cx + step, cy));
                    if (beyondThreshold(gL, gC) && beyondThreshold(gC, gR))
                        depth = (gL + gR) / 510.0 * p.maxDepth;
                }
                appendCorner(out, format.corner, cx, cy, p.scale, depth, cx == right && cy == bottom);
            }
            appendLines(out, format.cellClosing);
            if (right == x)
                break;
            x = right;
        }
        if (y + step == y)
            break;
        y += step;
    }
    appendLines(out, format.tail);
    return out;
}
