#include "batch_preview.h"

#include "batch_export.h"

#include "preview/preview_picture.h"
#include "relief/point_rows.h"

#include <QFile>

#include <cstdio>

int writeBatchPreview(const BatchArguments& arguments, std::shared_ptr<const Picture> picture)
{
    std::optional<std::string> problem;
    const ExportJob job = readJob(exportRequestFor(arguments, picture), std::nullopt, problem);
    if (!problem)
        problem = heightGridMemoryProblem(walkGridSize(job.parameters, job.selection));
    if (problem) {
        std::fprintf(stderr, "orvanel-batch : %s\n", problem->c_str());
        return exit_status::refused;
    }
    const HeightGrid grid = buildHeightGrid(job.parameters, job.selection, *job.picture);
    QString error;
    if (!savePreviewPng(grid, QFile::decodeName(arguments.preview.c_str()), &error)) {
        std::fprintf(stderr, "orvanel-batch : %s\n", error.toStdString().c_str());
        return exit_status::writeFailed;
    }
    return exit_status::written;
}
