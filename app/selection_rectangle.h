#pragma once

#include "relief/export_parameters.h"

#include <cstdint>

// A line segment of the main window, end points in window units.
struct EdgeLine {
    float X1, Y1, X2, Y2;
};

// The selection rectangle drawn by four lines and reshaped by dragging its
// edges: a press within 25 units of an edge grabs it (strictly; the four
// tests are independent, so a corner grabs two edges), a move carries every
// grabbed edge to the pointer, a release lets go. Nothing is clamped and the
// edges may cross.
class SelectionRectangle {
public:
    // Left edge, vertical, (X1, Y1) its lower end.
    EdgeLine Line4{0, 5020, 0, 0};
    // Top edge, horizontal, (X1, Y1) its right end.
    EdgeLine Line3{5000, 0, 0, 0};
    // Bottom edge, horizontal, (X1, Y1) its left end.
    EdgeLine Line2{0, 5000, 5000, 5000};
    // Right edge, vertical, (X1, Y1) its upper end.
    EdgeLine Line1{5000, 0, 5000, 5020};

    void mouseDown(float x, float y);
    // Returns whether any line moved.
    bool mouseMove(float x, float y);
    void mouseUp();

    bool dragging() const { return grabTop || grabBottom || grabLeft || grabRight; }
    // What the exports read: the vertical edges' X1, the horizontal edges' Y1.
    EdgeLines edges() const { return {Line1.X1, Line4.X1, Line2.Y1, Line3.Y1}; }

private:
    static constexpr float tolerance = 25;

    bool grabTop = false;
    bool grabBottom = false;
    bool grabLeft = false;
    bool grabRight = false;
    float leftAtDown = 0;
    float rightAtDown = 0;
    float topAtDown = 0;
    std::int16_t bottomAtDown = 0;
};
