#include "selection_rectangle.h"

#include <algorithm>
#include <cmath>

namespace {

double wholeNumber(float value)
{
    const double rounded = std::nearbyint(static_cast<double>(value));  // ties to even
    return std::isnan(rounded) ? 0 : rounded;
}

}  // namespace

SelectionRectangle::Grabs SelectionRectangle::grabsAt(float x, float y, double tol) const
{
    const double bottom = wholeNumber(Line2.Y2);
    // Within the 16-bit range the bottom's bounds are the whole numbers the
    // 16-bit sums give; all other sums are single precision.
    const double bottomLow = bottom - tol;
    const double bottomHigh = bottom + tol;
    const float t = static_cast<float>(tol);
    const bool betweenTopAndBottom = Line3.Y1 - t < y && y < bottomHigh;
    const bool betweenLeftAndRight = Line4.X1 - t < x && x < Line1.X1 + t;
    Grabs g;
    g.left = Line4.X1 - t < x && x < Line4.X1 + t && betweenTopAndBottom;
    g.right = Line1.X1 - t < x && x < Line1.X1 + t && betweenTopAndBottom;
    g.bottom = bottomLow < y && y < bottomHigh && betweenLeftAndRight;
    g.top = Line3.Y1 - t < y && y < Line3.Y1 + t && betweenLeftAndRight;
    return g;
}

void SelectionRectangle::mouseDown(float x, float y, double tol)
{
    leftAtDown = Line4.X1;
    rightAtDown = Line1.X1;
    topAtDown = Line3.Y1;
    bottomAtDown = wholeNumber(Line2.Y2);
    const Grabs g = grabsAt(x, y, tol);
    grabTop = g.top;
    grabBottom = g.bottom;
    grabLeft = g.left;
    grabRight = g.right;
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

void SelectionRectangle::moveEdges(float left, float top, float right, float bottom)
{
    Line3.Y1 = Line1.Y1 = Line4.Y2 = Line3.Y2 = top;
    Line2.Y1 = Line1.Y2 = Line4.Y1 = Line2.Y2 = bottom;
    Line3.X2 = Line4.X2 = Line4.X1 = Line2.X1 = left;
    Line3.X1 = Line1.X2 = Line1.X1 = Line2.X2 = right;
}
