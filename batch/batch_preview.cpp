#include "batch_preview.h"

#include "batch_export.h"

#include "preview/preview_picture.h"
#include "relief/point_rows.h"

#include <QFile>

#include <cstdio>

int writeBatchPreview(const BatchArguments& arguments, std::shared_ptr<const Picture> picture)
{
    const ExportRequest request = exportRequestFor(arguments, picture);
    const ParameterReading reading = readParameters(request.fields, std::nullopt);
    const Selection selection = selectionFromLines(request.lines);
    std::optional<std::string> problem = reading.problem;
    if (!problem)
        problem = checkWalk(reading.parameters, selection);
    if (!problem)
        problem = heightGridMemoryProblem(walkGridSize(reading.parameters, selection));
    if (problem) {
        std::fprintf(stderr, "orvanel-batch : %s\n", problem->c_str());
        return exit_status::refused;
    }
    const HeightGrid grid = buildHeightGrid(reading.parameters, selection, *picture);
    QString error;
    if (!savePreviewPng(grid, QFile::decodeName(arguments.preview.c_str()), &error)) {
        std::fprintf(stderr, "orvanel-batch : %s\n", error.toStdString().c_str());
        return exit_status::writeFailed;
    }
    return exit_status::written;
}
