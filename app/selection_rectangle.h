#pragma once

#include "relief/export_parameters.h"

// A line segment of the main window, drawn from one end to the other, in
// window units.
struct EdgeLine {
    float fromX, fromY, toX, toY;
};

// The selection rectangle drawn by four lines and reshaped by dragging its
// edges: a press within 25 units of an edge grabs it (strictly; the four
// tests are independent, so a corner grabs two edges), a move carries every
// grabbed edge to the pointer, a release lets go. Nothing is clamped and the
// edges may cross. The tolerance is 25 units unless the view is zoomed out,
// where it keeps its size on the screen.
class SelectionRectangle {
public:
    static constexpr float tolerance = 25;

    // The edges a press at (x, y) would grab.
    struct Grabs {
        bool top = false, bottom = false, left = false, right = false;
        bool any() const { return top || bottom || left || right; }
    };

    // Vertical, drawn up from its lower end.
    EdgeLine leftEdge{0, 5020, 0, 0};
    // Horizontal, drawn leftwards from its right end.
    EdgeLine topEdge{5000, 0, 0, 0};
    // Horizontal, drawn rightwards from its left end.
    EdgeLine bottomEdge{0, 5000, 5000, 5000};
    // Vertical, drawn down from its upper end.
    EdgeLine rightEdge{5000, 0, 5000, 5020};

    Grabs grabsAt(float x, float y, double tolerance = SelectionRectangle::tolerance) const;
    void mouseDown(float x, float y, double tolerance = SelectionRectangle::tolerance);
    // Returns whether any line moved.
    bool mouseMove(float x, float y);
    void mouseUp();
    // Moves the four edges as dragging each of them there would.
    void moveEdges(float left, float top, float right, float bottom);

    bool dragging() const { return grabTop || grabBottom || grabLeft || grabRight; }
    // What the exports read: where the vertical edges start across, the
    // horizontal ones down.
    EdgeLines edges() const { return {rightEdge.fromX, leftEdge.fromX, bottomEdge.fromY, topEdge.fromY}; }

private:
    bool grabTop = false;
    bool grabBottom = false;
    bool grabLeft = false;
    bool grabRight = false;
    float leftAtDown = 0;
    float rightAtDown = 0;
    float topAtDown = 0;
    // Rounded to a whole number, halves to even, at full width: within the
    // 16-bit range this is the 16-bit value, beyond it the edge can still be
    // grabbed.
    double bottomAtDown = 0;
};
