#pragma once

#include <cstddef>
#include <vector>

// The relief as numbers: the walk's grid of (columns + 1) x (rows + 1) points.
// X and Y are the walk's own positions times the scale, in metres, Y growing
// down the picture as in the VRML files; one depth per point, in metres (the
// depth the text exports write for that point; no depth floor).
struct HeightGrid {
    std::vector<double> xs;      // columns + 1 values, left to right
    std::vector<double> ys;      // rows + 1 values, top to bottom
    std::vector<double> depths;  // row by row: depths[row * xs.size() + column]

    std::size_t cellColumns() const { return xs.size() < 2 ? 0 : xs.size() - 1; }
    std::size_t cellRows() const { return ys.size() < 2 ? 0 : ys.size() - 1; }
    bool hasCells() const { return cellColumns() > 0 && cellRows() > 0; }
    double depth(std::size_t row, std::size_t column) const { return depths[row * xs.size() + column]; }
};

// Takes the grid's point rows as the walk completes them, top to bottom, so
// that a writer can stream a large relief without keeping all of it. Each
// call returns false to stop the walk (a write failed, or the work was
// cancelled).
class PointRowConsumer {
public:
    virtual ~PointRowConsumer() = default;
    // `xs`: the columns' X in metres; `rowCount`: the point rows that will
    // come (cell rows + 1), or 0 when the selection holds no cell.
    virtual bool begin(const std::vector<double>& xs, std::size_t rowCount) = 0;
    // One row of points: its Y in metres and xs.size() depths.
    virtual bool row(std::size_t index, double y, const double* depths) = 0;
    virtual bool end() = 0;
};
