#pragma once

#include "platform/byte_sink.h"
#include "step_cancel.h"
#include "step_progress.h"

#include <TopoDS_Shape.hxx>

#include <string>

enum class StepTextResult { Written, Failed, WriteFailed, Cancelled };

// Translates `shape` (millimetres) to STEP AP214 declaring millimetres and
// streams the text into `sink`, without committing it. Stops soon after a
// cancel, between entities of the translation or between buffers. With
// Failed, `failure` says which step failed and why, in French. `progress`
// enters the translation, then the text.
StepTextResult writeStepText(const TopoDS_Shape& shape, ByteSink& sink, const StepCancel& cancel,
                             StepProgress& progress, std::string& failure);
