#pragma once

#include "export_parameters.h"
#include "saturating.h"
#include "platform/event_loop.h"
#include "platform/picture.h"

#include <cstdint>
#include <initializer_list>

// The gray level of a colour: its red component with the lowest bit cleared.
inline int grayLevel(std::int32_t colour)
{
    const int red = colour % 256;  // keeps the sign of a negative colour
    return red >= 0 ? red & ~1 : -((1 - red) & ~1);
}

// One cell of the walk: its sides in window units and the depths of its four
// corners in metres, in the order (x, y), (right, y), (x, bottom), (right, bottom).
struct ReliefCell {
    double x, y, right, bottom;
    double depths[4];
    std::uint64_t column, row;  // 0-based position in the grid
    bool lastOfRow;
};

// Takes the cells as the walk makes them. Returning false stops the walk (a
// write failed).
class CellConsumer {
public:
    virtual ~CellConsumer() = default;
    virtual bool cell(const ReliefCell& cell) = 0;
};

// The walk's bounds over a selection: cells start at every position of the
// two axes (GridAxis) from the selection's left and top, while a whole step
// still fits inside it.
struct WalkBounds {
    double left, top, xBound, yBound, step;
};
WalkBounds walkBounds(const ExportParameters& parameters, const Selection& selection);

// Cells the walk visits: rows times cells per row, counted exactly in a
// short time whatever their number (countPositions); no colour is read.
std::uint64_t walkCellCount(const ExportParameters& parameters, const Selection& selection);

struct GridSize {
    std::uint64_t columns = 0;  // cells across
    std::uint64_t rows = 0;     // cells down
    // At most UINT64_MAX, which stands for as many or more.
    std::uint64_t cells() const { return saturatingMultiply(columns, rows); }
};
GridSize walkGridSize(const ExportParameters& parameters, const Selection& selection);

enum class WalkResult { Completed, Abandoned, Stopped };

// Walks the grid of cells over the selection row by row, left to right,
// yielding once per cell, and hands every cell to each consumer in turn.
// A right-hand corner whose right neighbour one step further still lies
// inside the selection is smoothed by the spike filter. Abandoned when a
// yield says so, Stopped when a consumer does.
WalkResult walkRelief(const ExportParameters& parameters, const Selection& selection, const Picture& picture,
                      EventLoop& events, std::initializer_list<CellConsumer*> consumers);
