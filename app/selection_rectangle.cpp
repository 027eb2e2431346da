#include "selection_rectangle.h"

#include <algorithm>
#include <cmath>

namespace {

// The bottom edge is remembered as a 16-bit integer, rounded half to even;
// a position beyond that range is held at its end.
std::int16_t toInt16(float value)
{
    const double rounded = std::nearbyint(static_cast<double>(value));  // ties to even
    if (std::isnan(rounded))
        return 0;
    return static_cast<std::int16_t>(std::clamp(rounded, -32768.0, 32767.0));
}

}  // namespace

void SelectionRectangle::mouseDown(float x, float y)
{
    grabTop = grabBottom = grabLeft = grabRight = false;
    leftAtDown = Line4.X1;
    rightAtDown = Line1.X1;
    topAtDown = Line3.Y1;
    bottomAtDown = toInt16(Line2.Y2);
    // The bottom's bounds are whole numbers, computed without wrapping.
    const int bottomLow = bottomAtDown - 25;
    const int bottomHigh = bottomAtDown + 25;

    const bool betweenTopAndBottom = topAtDown - tolerance < y && y < bottomHigh;
    const bool betweenLeftAndRight = leftAtDown - tolerance < x && x < rightAtDown + tolerance;
    if (leftAtDown - tolerance < x && x < leftAtDown + tolerance && betweenTopAndBottom)
        grabLeft = true;
    if (rightAtDown - tolerance < x && x < rightAtDown + tolerance && betweenTopAndBottom)
        grabRight = true;
    if (bottomLow < y && y < bottomHigh && betweenLeftAndRight)
        grabBottom = true;
    if (topAtDown - tolerance < y && y < topAtDown + tolerance && betweenLeftAndRight)
        grabTop = true;
}

bool SelectionRectangle::mouseMove(float x, float y)
{
    if (grabTop)
        Line3.Y1 = Line1.Y1 = Line4.Y2 = Line3.Y2 = y;
    if (grabBottom)
        Line2.Y1 = Line1.Y2 = Line4.Y1 = Line2.Y2 = y;
    if (grabLeft)
        Line3.X2 = Line4.X2 = Line4.X1 = Line2.X1 = x;
    if (grabRight)
        Line3.X1 = Line1.X2 = Line1.X1 = Line2.X2 = x;
    return dragging();
}

void SelectionRectangle::mouseUp()
{
    grabTop = grabBottom = grabLeft = grabRight = false;
}
