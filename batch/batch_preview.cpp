#include "batch_preview.h"

#include "batch_export.h"

#include "platform/qt/decoder_messages.h"
#include "platform/same_file.h"
#include "preview/preview_picture.h"
#include "relief/export_messages.h"
#include "relief/point_rows.h"

std::optional<std::string> makeBatchPreview(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                                            int& failureStatus)
{
    const std::string& path = arguments.preview;
    std::optional<std::string> problem;
    const ExportJob job = readJob(exportRequestFor(arguments, picture), std::nullopt, problem);
    const GridSize grid = walkGridSize(job.parameters, job.selection);
    if (!problem && path != "-" && sameFile(path, arguments.image))
        problem = sameAsPictureMessage(path);
    // Checked before the export is written, which may not exist yet.
    if (!problem && !arguments.output.empty() && sameOutput(path, arguments.output))
        problem = "--preview « " + path + " » est aussi la sortie de l'export : l'image l'effacerait.\n"
                  "Choisissez un autre nom ; aucun fichier n'a été modifié.";
    if (!problem && grid.cells() == 0 && !arguments.force)
        problem = "la sélection ne contient aucune cellule : aucune image n'est écrite (--force l'écrit quand même, "
                  "sans relief).";
    if (!problem)
        problem = heightGridMemoryProblem(grid);
    if (problem) {
        say(*problem);
        failureStatus = exit_status::refused;
        return std::nullopt;
    }
    std::string png;
    {
        // Qt's and libpng's own words, in English, stay off the terminal.
        const DecoderMessages quiet;
        png = previewPng(buildHeightGrid(job.parameters, job.selection, *job.picture));
    }
    if (png.empty()) {
        say(writeFailureMessage(outputName(path), "l'image PNG n'a pas pu être composée (mémoire insuffisante ?)"));
        failureStatus = exit_status::writeFailed;
        return std::nullopt;
    }
    return png;
}

int writeBatchPreview(const BatchArguments& arguments, const std::string& png)
{
    return writeOutputFile(arguments.preview, say, [&png](ByteSink& sink) {
        if (sink.write(png))
            sink.commit();
        return ExportResult{};
    });
}
