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

// The grid's points where any of them can be read on its own, from any
// thread: what a writer formatting bands of rows in parallel reads.
class GridPoints {
public:
    virtual ~GridPoints() = default;
    virtual const std::vector<double>& xs() const = 0;  // as HeightGrid::xs; empty when no cell
    virtual const std::vector<double>& ys() const = 0;  // as HeightGrid::ys; empty when no cell
    // The depths of points [first, end) of point row `row`, into `out`.
    virtual void depths(std::size_t row, std::size_t first, std::size_t end, double* out) const = 0;
};

// A whole height grid read as GridPoints.
class HeightGridPoints : public GridPoints {
public:
    explicit HeightGridPoints(const HeightGrid& grid) : grid_(grid) {}
    const std::vector<double>& xs() const override { return grid_.xs; }
    const std::vector<double>& ys() const override { return grid_.ys; }
    void depths(std::size_t row, std::size_t first, std::size_t end, double* out) const override
    {
        const double* from = grid_.depths.data() + row * grid_.xs.size();
        for (std::size_t c = first; c < end; ++c)
            *out++ = from[c];
    }

private:
    const HeightGrid& grid_;
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
