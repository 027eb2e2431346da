#include "step_module.h"

#include "failure_text.h"
#include "step_export.h"

#include <exception>

extern "C" __attribute__((visibility("default"))) void orvanelWriteStep(const HeightGrid* grid,
                                                                        const StepOptions* options, ByteSink* sink,
                                                                        StepCancel* cancel, StepProgress* progress,
                                                                        StepResult* result)
{
    try {
        *result = writeSurfaceStep(*grid, *options, *sink, *cancel, *progress);
    } catch (const std::exception& error) {
        // Out of memory, most likely: it must not cross into the program.
        result->status = cancel->cancelled() ? StepStatus::Cancelled : StepStatus::Failed;
        result->errorText = failureText(error);
    } catch (...) {
        result->status = cancel->cancelled() ? StepStatus::Cancelled : StepStatus::Failed;
        result->errorText = "erreur inattendue";
    }
}
