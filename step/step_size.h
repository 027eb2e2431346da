#pragma once

#include "step_options.h"

#include <cstddef>
#include <cstdint>

struct StepSizeEstimate {
    std::uint64_t typicalBytes = 0;
    std::uint64_t upperBytes = 0;
};

// The file's size for a grid of `columns` x `rows` points, before anything
// is built: the exact surface has (columns + 2) x (rows + 2) poles and each
// pole costs one point line and one reference. An approximation is written
// only when it has fewer poles; how many fewer depends on the picture.
StepSizeEstimate estimateStepSize(std::size_t columns, std::size_t rows, const StepOptions& options);
