#pragma once

#include "relief/point_placement.h"

#include <string>

// What the user asked for: one face, or the closed block carved by it.
struct StepOptions {
    bool solid = false;
    double base = 0.0;       // metres of material behind the deepest point (solid only)
    double tolerance = 0.0;  // metres; 0 = the surface passes through every point
    double maxDepth = 0.0;   // metres, the relief's depth setting
    PointPlacement placement{};  // where the file puts the shape: the VRML frame unless turned
};

enum class StepStatus {
    Written,       // committed to the sink
    NoCell,        // the grid holds no cell: a surface needs one
    BaseTooThin,   // the surface would cross the back face; `neededBase` says how much is enough
    Failed,        // OpenCASCADE could not build or translate the shape; `errorText` says where and why
    WriteFailed,   // the sink refused the bytes; `errorText` says why
    Cancelled,
};

struct StepResult {
    StepStatus status = StepStatus::Failed;
    double deviation = 0.0;          // metres: largest distance between surface and grid at the grid points
    // Metres: how far the surface strays beyond the relief's range of depths
    // at the cells' centres and the middles of their sides.
    double overshoot = 0.0;
    bool approximated = false;       // the surface written is the approximation
    bool toleranceMissed = false;    // the approximation strayed beyond the tolerance: the exact surface was written
    double neededBase = 0.0;         // metres, with BaseTooThin
    std::string errorText;           // in French, with Failed and WriteFailed
};
