#include "batch_run.h"

#include "batch_preview.h"
#include "picture_input.h"

std::optional<CheckedRun> checkRun(const BatchArguments& arguments, int& failureStatus)
{
    CheckedRun run{arguments, std::nullopt, std::nullopt};
    const std::shared_ptr<const Picture> picture = loadCommandLinePicture(arguments.image, failureStatus);
    if (!picture)
        return std::nullopt;
    if (arguments.format != "preview" && !(run.exportFile = checkBatchExport(arguments, picture, failureStatus)))
        return std::nullopt;
    if (!arguments.preview.empty() && !(run.previewPng = makeBatchPreview(arguments, picture, failureStatus)))
        return std::nullopt;
    return run;
}

int writeRun(const CheckedRun& run, std::FILE* progressTerminal)
{
    int status = exit_status::written;
    if (run.exportFile)
        status = writeBatchExport(run.arguments, *run.exportFile, progressTerminal);
    if (status == exit_status::written && run.previewPng)
        status = writeBatchPreview(run.arguments, *run.previewPng);
    return status;
}
