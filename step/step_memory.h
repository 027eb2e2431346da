#pragma once

#include "step_options.h"

#include "relief/relief_walk.h"

#include <cstdint>
#include <optional>
#include <string>

// The memory a STEP export takes at its peak, for a grid of `columns` x
// `rows` points, before anything is built: the export's own share (the grid,
// the surface, OpenCASCADE's STEP entities and text, the file's bytes) grows
// with the poles; OpenCASCADE's approximation, tried when there is a
// tolerance, works on square matrices as long as a side of the grid.
struct StepMemoryEstimate {
    double exactBytes = 0;          // the surface through every point
    double bytes = 0;               // with the approximation's working memory when there is a tolerance
    bool approximationFits = true;  // the longest side within what the approximation can index
};
StepMemoryEstimate estimateStepMemory(std::uint64_t columns, std::uint64_t rows, const StepOptions& options);

// A French refusal, with the figures, when a STEP export of `grid` would
// take more memory than this computer has free.
std::optional<std::string> stepMemoryProblem(const GridSize& grid, const StepOptions& options);
