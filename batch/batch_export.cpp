#include "batch_export.h"

#include "interrupt_signal.h"
#include "terminal_progress.h"

#include "platform/replacing_file_sink.h"
#include "platform/standard_output_sink.h"
#include "platform/target_facts.h"
#include "platform/window_unit.h"
#include "relief/export_messages.h"
#include "relief/format_registry.h"
#include "relief/number_reading.h"
#include "relief/size_text.h"

#include <cstdarg>

namespace {

void say(TerminalProgress& progress, const std::string& text)
{
    progress.erase();
    std::fprintf(stderr, "orvanel-batch : %s\n", text.c_str());
}

// Yielding runs no events; it only says to stop once a stop signal came.
class InterruptibleEvents : public EventLoop {
public:
    bool yield() override { return interruptingSignal() == 0; }
};

// Long work goes on until a stop signal comes; the progress bar stays full.
class InterruptibleWork : public LongWork {
public:
    void start(const std::string&) override {}
    bool keepGoing() override { return interruptingSignal() == 0; }
    void finish() override {}
};

}  // namespace

ExportRequest exportRequestFor(const BatchArguments& arguments, std::shared_ptr<const Picture> picture)
{
    ExportRequest request;
    request.fields = arguments.fields;
    if (arguments.edges) {
        request.lines = *arguments.edges;
    } else {
        SelectionRectangle r;
        if (arguments.rectangle)
            r = *arguments.rectangle;
        else if (picture)
            r = {0, 0, picture->width() * window_unit::perPixelAcross,
                 picture->height() * window_unit::perPixelDown};
        // The edge lines hold single precision, as the desktop program's do.
        request.lines.leftEdge = static_cast<float>(r.left);
        request.lines.rightEdge = static_cast<float>(r.left + r.width);
        request.lines.topEdge = static_cast<float>(r.top);
        request.lines.bottomEdge = static_cast<float>(r.top + r.height);
    }
    request.picture = std::move(picture);
    return request;
}

int runBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                   std::FILE* progressTerminal)
{
    const FormatEntry& format = *formatRegistry().find(arguments.format);
    const PreparedExport prepared = prepareExport(format, exportRequestFor(arguments, std::move(picture)));
    TerminalProgress progress(progressTerminal, prepared.grid.cells());
    const auto note = [&](const std::string& text) {
        if (!arguments.quiet)
            say(progress, text);
    };
    if (prepared.refusal) {
        say(progress, *prepared.refusal);
        return exit_status::refused;
    }
    if (arguments.asTyped)
        for (const std::string& doubt : prepared.doubts)
            note(doubt);
    if (prepared.grid.cells() == 0 && !arguments.force) {
        say(progress, "la sélection ne contient aucune cellule : aucun fichier n'est écrit (--force l'écrit quand "
                      "même, avec son seul en-tête).");
        return exit_status::refused;
    }
    if (prepared.depthBeforeFloor)
        note("profondeur " + metresText(*prepared.depthBeforeFloor) + " m remplacée par " +
             metresText(prepared.job.parameters.maxDepth) + " m");

    FormatOptions options;
    options.solid = arguments.solid;
    options.base = arguments.base.value_or(prepared.job.parameters.maxDepth / 10);
    options.maxTriangles = arguments.maxTriangles;
    options.tolerance = arguments.tolerance;
    if (format.checkJob)
        if (const auto problem = format.checkJob(prepared.job, prepared.grid, options)) {
            say(progress, *problem);
            return exit_status::refused;
        }

    const std::string& path = arguments.output;
    const bool toStandardOutput = path == "-";
    SystemTargetFacts target;
    if (!toStandardOutput && target.sameFile(path, arguments.image)) {
        say(progress, sameAsPictureMessage(path));
        return exit_status::refused;
    }
    const SizeEstimate size = format.estimateSize({prepared.job, prepared.grid, options});
    if (!toStandardOutput && !arguments.force)
        if (const auto free = target.freeBytes(path); free && size.upperBound > *free) {
            say(progress, noRoomMessage(path, size.upperBound, *free) + " (--force l'écrit quand même)");
            return exit_status::writeFailed;
        }
    if (size.typical > largeFileBytes)
        note("fichier estimé à " + sizeText(size.typical) + " (" + countText(prepared.grid.cells()) + " cellules)");

    // From here on a stop signal only asks the walk to stop, so that the
    // temporary file is removed and an earlier file stays as it was.
    catchInterruptions();
    std::string error;
    ReplacingFileOpener files;
    std::unique_ptr<ByteSink> sink = toStandardOutput ? openStandardOutput() : files.open(path, error);
    if (!sink) {
        say(progress, writeFailureMessage(toStandardOutput ? "sortie standard" : path, error));
        return exit_status::writeFailed;
    }
    progress.start();
    InterruptibleEvents events;
    InterruptibleWork work;
    const ExportResult result = writeExport(format, prepared.job, options, *sink, events, progress, work);
    sink.reset();
    progress.erase();
    switch (result.outcome) {
    case ExportOutcome::Written:
        for (const std::string& line : result.notes)
            note(line);
        return exit_status::written;
    case ExportOutcome::Abandoned:
        return exit_status::interruptedBy(interruptingSignal());
    case ExportOutcome::Refused:
        say(progress, result.reason);
        return exit_status::refused;
    default:
        say(progress, writeFailureMessage(toStandardOutput ? "sortie standard" : path, result.reason));
        return exit_status::writeFailed;
    }
}
