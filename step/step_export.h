#pragma once

#include "platform/byte_sink.h"
#include "relief/height_grid.h"
#include "step_cancel.h"
#include "step_options.h"
#include "step_progress.h"

// Builds the relief's surface (and, if asked, its block) from `grid` (metres)
// and writes it as a STEP file in millimetres into `sink`, committing it
// when complete unless cancelled first. Runs on the calling thread: StepJob
// runs it on a worker, through the module (step_writer.h). The surface
// construction itself cannot be stopped; a cancel is seen before and after
// it and during the translation. `progress` enters each phase as it comes.
StepResult writeSurfaceStep(const HeightGrid& grid, const StepOptions& options, ByteSink& sink, StepCancel& cancel,
                            StepProgress& progress);
