#pragma once

#include "step_cancel.h"
#include "step_options.h"
#include "step_progress.h"
#include "platform/byte_sink.h"
#include "relief/height_grid.h"

// Builds the surface (or the solid) and writes its STEP file into the sink,
// through OpenCASCADE, which lives in a module of its own loaded on the
// first STEP export: loading OpenCASCADE with the program cost every run,
// whatever its format, some 40 ms of processor time and 60 ms in all (the
// dynamic loader resolving its symbols), a third of a million-cell export.
// A module that cannot be loaded fails the export with the system's reason.
// `progress` enters each phase as it comes.
StepResult writeStep(const HeightGrid& grid, const StepOptions& options, ByteSink& sink, StepCancel& cancel,
                     StepProgress& progress);
