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
    const double bottom = wholeNumber(bottomEdge.toY);
    // Within the 16-bit range the bottom's bounds are the whole numbers the
    // 16-bit sums give; all other sums are single precision.
    const double bottomLow = bottom - tol;
    const double bottomHigh = bottom + tol;
    const float t = static_cast<float>(tol);
    const bool betweenTopAndBottom = topEdge.fromY - t < y && y < bottomHigh;
    const bool betweenLeftAndRight = leftEdge.fromX - t < x && x < rightEdge.fromX + t;
    Grabs g;
    g.left = leftEdge.fromX - t < x && x < leftEdge.fromX + t && betweenTopAndBottom;
    g.right = rightEdge.fromX - t < x && x < rightEdge.fromX + t && betweenTopAndBottom;
    g.bottom = bottomLow < y && y < bottomHigh && betweenLeftAndRight;
    g.top = topEdge.fromY - t < y && y < topEdge.fromY + t && betweenLeftAndRight;
    return g;
}

void SelectionRectangle::mouseDown(float x, float y, double tol)
{
    leftAtDown = leftEdge.fromX;
    rightAtDown = rightEdge.fromX;
    topAtDown = topEdge.fromY;
    bottomAtDown = wholeNumber(bottomEdge.toY);
    const Grabs g = grabsAt(x, y, tol);
    grabTop = g.top;
    grabBottom = g.bottom;
    grabLeft = g.left;
    grabRight = g.right;
}

bool SelectionRectangle::mouseMove(float x, float y)
{
    if (grabTop)
        topEdge.fromY = rightEdge.fromY = leftEdge.toY = topEdge.toY = y;
    if (grabBottom)
        bottomEdge.fromY = rightEdge.toY = leftEdge.fromY = bottomEdge.toY = y;
    if (grabLeft)
        topEdge.toX = leftEdge.toX = leftEdge.fromX = bottomEdge.fromX = x;
    if (grabRight)
        topEdge.fromX = rightEdge.toX = rightEdge.fromX = bottomEdge.toX = x;
    return dragging();
}

void SelectionRectangle::mouseUp()
{
    grabTop = grabBottom = grabLeft = grabRight = false;
}

void SelectionRectangle::moveEdges(float left, float top, float right, float bottom)
{
    topEdge.fromY = rightEdge.fromY = leftEdge.toY = topEdge.toY = top;
    bottomEdge.fromY = rightEdge.toY = leftEdge.fromY = bottomEdge.toY = bottom;
    topEdge.toX = leftEdge.toX = leftEdge.fromX = bottomEdge.fromX = left;
    topEdge.fromX = rightEdge.toX = rightEdge.fromX = bottomEdge.toX = right;
}
