#include "step_export.h"

#include "relief_shape.h"
#include "relief_surface.h"
#include "step_text.h"

#include <Standard_Failure.hxx>

#include <algorithm>

namespace {

StepResult withStatus(StepResult result, StepStatus status)
{
    result.status = status;
    return result;
}

} // namespace

StepResult writeStep(const HeightGrid& grid, const StepOptions& options, ByteSink& sink, StepCancel& cancel)
{
    StepResult result;
    if (!grid.hasCells())
        return withStatus(result, StepStatus::NoCell);
    if (cancel.cancelled())
        return withStatus(result, StepStatus::Cancelled);

    ReliefSurface relief;
    try {
        relief = buildReliefSurface(grid, options.tolerance * millimetresPerMetre);
    } catch (const Standard_Failure&) {
    }
    if (relief.surface.IsNull())
        return withStatus(result, StepStatus::Failed);
    result.deviation = relief.deviation / millimetresPerMetre;
    result.approximated = relief.approximated;
    result.toleranceMissed = relief.toleranceMissed;
    if (cancel.cancelled())
        return withStatus(result, StepStatus::Cancelled);

    TopoDS_Shape shape;
    if (options.solid) {
        // The back lies `base` beyond the deepest the relief may go; the
        // surface, which may bulge between the points, must stay in front of it.
        const double backZ = (std::max(options.maxDepth, 0.0) + options.base) * millimetresPerMetre;
        const double deepest = deepestReach(*relief.surface, grid, backZ);
        if (options.base <= 0 || deepest >= backZ) {
            const double margin = 1e-3 * std::max(std::abs(options.maxDepth), 1e-9);
            result.neededBase = std::max(deepest / millimetresPerMetre - std::max(options.maxDepth, 0.0), 0.0) + margin;
            return withStatus(result, StepStatus::BaseTooThin);
        }
        shape = reliefSolid(relief.surface, backZ);
    } else {
        shape = reliefFace(relief.surface);
    }
    if (shape.IsNull())
        return withStatus(result, StepStatus::Failed);
    if (cancel.cancelled())
        return withStatus(result, StepStatus::Cancelled);

    switch (writeStepText(shape, sink, cancel)) {
    case StepTextResult::Written:
        break;
    case StepTextResult::Cancelled:
        return withStatus(result, StepStatus::Cancelled);
    case StepTextResult::WriteFailed:
        result.errorText = sink.errorText();
        return withStatus(result, StepStatus::WriteFailed);
    case StepTextResult::Failed:
        return withStatus(result, StepStatus::Failed);
    }
    if (!cancel.beginCommit())
        return withStatus(result, StepStatus::Cancelled);
    if (!sink.commit()) {
        result.errorText = sink.errorText();
        return withStatus(result, StepStatus::WriteFailed);
    }
    return withStatus(result, StepStatus::Written);
}
