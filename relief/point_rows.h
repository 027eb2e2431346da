#pragma once

#include "height_grid.h"
#include "relief_walk.h"

#include <optional>
#include <string>
#include <vector>

// Turns the walk's cells into the grid's point rows. A point takes the depth
// it has as the right-hand corner of the cell on its left (so the spike
// filter applies exactly where the walk applies it), or, first in its row,
// as the left-hand corner of the row's first cell. A row of points is handed
// on as soon as the row of cells under it is walked.
class PointRowGatherer : public CellConsumer {
public:
    PointRowGatherer(const ExportParameters& parameters, const Selection& selection, PointRowConsumer& rows);

    bool begin();
    bool cell(const ReliefCell& cell) override;
    bool end();

private:
    PointRowConsumer& rows_;
    const double scale_;
    std::vector<double> xs_;
    std::size_t rowCount_ = 0;
    std::vector<double> top_, bottom_;
    double lastY_ = 0;
};

// The grid's X values (metres): the walk's column positions and the right
// side of the last column, times the scale. Empty when there is no cell.
std::vector<double> gridXs(const ExportParameters& parameters, const Selection& selection);

// Keeps every point row: the whole height grid.
class HeightGridBuilder : public PointRowConsumer {
public:
    bool begin(const std::vector<double>& xs, std::size_t rowCount) override;
    bool row(std::size_t index, double y, const double* depths) override;
    bool end() override { return true; }

    HeightGrid grid;
};

// The whole height grid of a walk over the selection, every point read.
HeightGrid buildHeightGrid(const ExportParameters& parameters, const Selection& selection, const Picture& picture);

// Bytes a height grid of the walk over the selection takes, and a French
// refusal when that is more than this computer can hold.
std::optional<std::string> heightGridMemoryProblem(const GridSize& size);

// A French refusal when `bytes` of memory are more than this computer can
// hold; `what` opens the sentence ("La grille de 12 points demande").
std::optional<std::string> memoryProblem(const std::string& what, double bytes);
