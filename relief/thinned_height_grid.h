#pragma once

#include "export_parameters.h"
#include "height_grid.h"
#include "platform/picture.h"

#include <cstddef>

// Every `step`-th point of the walk's grid along each axis, and its last row
// and column, with exactly the positions and depths the whole grid has there,
// in time proportional to the points kept: a preview of a huge selection
// need not walk every cell. Empty when the walk has no cell.
HeightGrid thinnedHeightGrid(const ExportParameters& parameters, const Selection& selection, const Picture& picture,
                             std::size_t step);
