#include "step_export.h"

#include "failure_text.h"
#include "phase_indicator.h"
#include "relief_shape.h"
#include "relief_surface.h"
#include "step_text.h"

#include <Standard_Failure.hxx>

#include <algorithm>
#include <new>

namespace {

StepResult withStatus(StepResult result, StepStatus status)
{
    result.status = status;
    return result;
}

StepResult failed(StepResult result, std::string why)
{
    result.errorText = std::move(why);
    return withStatus(std::move(result), StepStatus::Failed);
}

} // namespace

StepResult writeSurfaceStep(const HeightGrid& grid, const StepOptions& options, ByteSink& sink, StepCancel& cancel,
                            StepProgress& progress)
{
    StepResult result;
    if (!grid.hasCells())
        return withStatus(result, StepStatus::NoCell);
    if (cancel.cancelled())
        return withStatus(result, StepStatus::Cancelled);

    progress.enter(StepProgress::Phase::Surface);
    ReliefSurface relief = buildReliefSurface(grid, options.tolerance * millimetresPerMetre);
    if (relief.surface.IsNull())
        return failed(result, relief.failure);
    result.deviation = relief.deviation / millimetresPerMetre;
    result.overshoot = relief.overshoot / millimetresPerMetre;
    result.approximated = relief.approximated;
    result.toleranceMissed = relief.toleranceMissed;
    if (cancel.cancelled())
        return withStatus(result, StepStatus::Cancelled);

    TopoDS_Shape shape;
    if (options.solid) {
        // The back lies `base` beyond the deepest the relief may go; the
        // surface, which may bulge between the points, must stay in front of
        // it as far as the samples between the points tell.
        const double backZ = (std::max(options.maxDepth, 0.0) + options.base) * millimetresPerMetre;
        const double deepest = relief.highest;
        if (options.base <= 0 || deepest >= backZ) {
            const double margin = 1e-3 * std::max(std::abs(options.maxDepth), 1e-9);
            result.neededBase = std::max(deepest / millimetresPerMetre - std::max(options.maxDepth, 0.0), 0.0) + margin;
            return withStatus(result, StepStatus::BaseTooThin);
        }
        std::string why;
        progress.enter(StepProgress::Phase::Block);
        Handle(PhaseIndicator) indicator = new PhaseIndicator(cancel, progress);
        shape = reliefSolid(relief.surface, backZ, why, indicator->Start());
        if (cancel.cancelled())
            return withStatus(result, StepStatus::Cancelled);
        if (shape.IsNull())
            return failed(result, why);
    } else {
        try {
            shape = reliefFace(relief.surface);
        } catch (const Standard_Failure& error) {
            return failed(result, "la face n'a pas pu être faite : " + failureText(error));
        } catch (const std::bad_alloc& error) {
            return failed(result, "la face n'a pas pu être faite : " + failureText(error));
        }
    }
    relief = {};  // the shape holds the surface; the rest is not needed while the text is made
    try {
        shape = placedShape(shape, options.placement);
    } catch (const Standard_Failure& error) {
        return failed(result, "la pièce n'a pas pu être placée : " + failureText(error));
    } catch (const std::bad_alloc& error) {
        return failed(result, "la pièce n'a pas pu être placée : " + failureText(error));
    }
    if (cancel.cancelled())
        return withStatus(result, StepStatus::Cancelled);

    std::string why;
    switch (writeStepText(shape, sink, cancel, progress, why)) {
    case StepTextResult::Written:
        break;
    case StepTextResult::Cancelled:
        return withStatus(result, StepStatus::Cancelled);
    case StepTextResult::WriteFailed:
        result.errorText = sink.errorText();
        return withStatus(result, StepStatus::WriteFailed);
    case StepTextResult::Failed:
        return failed(result, why);
    }
    if (!cancel.beginCommit())
        return withStatus(result, StepStatus::Cancelled);
    if (!sink.commit()) {
        result.errorText = sink.errorText();
        return withStatus(result, StepStatus::WriteFailed);
    }
    return withStatus(result, StepStatus::Written);
}
