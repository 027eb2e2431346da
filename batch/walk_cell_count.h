#pragma once

#include "relief/export_parameters.h"

#include <cstdint>

// How many cells the export's walk visits over a selection: rows times
// cells per row, counted by advancing the coordinates as the walk does, so
// that rounding gives the same count. An axis of more than about 67 million
// steps is estimated instead of counted (the walk over it takes hours anyway).
std::uint64_t walkCellCount(const ExportParameters& parameters, const Selection& selection);
