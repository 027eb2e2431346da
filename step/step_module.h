#pragma once

#include "step_cancel.h"
#include "step_options.h"
#include "step_progress.h"
#include "platform/byte_sink.h"
#include "relief/height_grid.h"

// The one entry of the module that holds OpenCASCADE: writeStep's work, its
// exceptions turned into a failure said in French.
using StepModuleWrite = void(const HeightGrid*, const StepOptions*, ByteSink*, StepCancel*, StepProgress*,
                             StepResult*);
inline constexpr const char* stepModuleWriteName = "orvanelWriteStep";
