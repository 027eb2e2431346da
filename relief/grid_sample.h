#pragma once

#include "format_entry.h"

#include <vector>

// The walk's grid positions along each axis in window units, the far side
// of the last cell included; empty when there is no cell.
struct GridPositions {
    std::vector<double> xs;
    std::vector<double> ys;
};
GridPositions gridPositions(const ExportJob& job);

// The depths (metres, spike filter aside) of up to 64 x 64 grid points
// spread evenly over the grid: what the size estimates measure their
// typical depth texts on.
std::vector<double> sampleDepths(const ExportJob& job, const GridPositions& positions);
