#include "batch_export.h"

#include "interrupt_signal.h"
#include "terminal_progress.h"

#include "platform/target_facts.h"
#include "platform/window_unit.h"
#include "relief/export_messages.h"
#include "relief/format_registry.h"
#include "relief/number_reading.h"
#include "relief/size_text.h"

namespace {

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

std::optional<CheckedExport> checkBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                                              int& failureStatus)
{
    const FormatEntry& format = *formatRegistry().find(arguments.format);
    CheckedExport checked{&format, prepareExport(format, exportRequestFor(arguments, std::move(picture))), {}};
    const PreparedExport& prepared = checked.prepared;
    const auto refuse = [&](const std::string& text, int status = exit_status::refused) {
        say(text);
        failureStatus = status;
        return std::nullopt;
    };
    const auto note = [&](const std::string& text) {
        if (!arguments.quiet)
            say(text);
    };
    if (prepared.refusal)
        return refuse(*prepared.refusal);
    if (arguments.asTyped)
        for (const std::string& doubt : prepared.doubts)
            note(doubt);
    if (prepared.grid.cells() == 0 && !arguments.force)
        return refuse("la sélection ne contient aucune cellule : aucun fichier n'est écrit (--force l'écrit quand "
                      "même, avec son seul en-tête).");
    if (prepared.depthBeforeFloor)
        note("profondeur " + metresText(*prepared.depthBeforeFloor) + " m remplacée par " +
             metresText(prepared.job.parameters.maxDepth) + " m");

    FormatOptions& options = checked.options;
    options.solid = arguments.solid;
    options.base = arguments.base.value_or(prepared.job.parameters.maxDepth / 10);
    options.maxTriangles = arguments.maxTriangles;
    options.tolerance = arguments.tolerance;
    if (format.checkJob)
        if (const auto problem = format.checkJob(prepared.job, prepared.grid, options))
            return refuse(*problem);

    const std::string& path = arguments.output;
    const bool toStandardOutput = path == "-";
    SystemTargetFacts target;
    if (!toStandardOutput && target.sameFile(path, arguments.image))
        return refuse(sameAsPictureMessage(path));
    const SizeEstimate size = format.estimateSize({prepared.job, prepared.grid, options});
    if (!toStandardOutput && !arguments.force)
        if (const auto free = target.freeBytes(path); free && size.upperBound > *free)
            return refuse(noRoomMessage(path, size.upperBound, *free) + " (--force l'écrit quand même)",
                          exit_status::writeFailed);
    if (size.typical > largeFileBytes)
        note("fichier estimé à " + sizeText(size.typical) + " (" + countText(prepared.grid.cells()) + " cellules)");
    return checked;
}

int writeBatchExport(const BatchArguments& arguments, const CheckedExport& checked, std::FILE* progressTerminal)
{
    TerminalProgress progress(progressTerminal, checked.prepared.grid.cells());
    const auto say = [&](const std::string& text) {
        progress.erase();
        ::say(text);
    };
    ExportResult result;
    const int status = writeOutputFile(arguments.output, say, [&](ByteSink& sink) {
        progress.start();
        InterruptibleEvents events;
        InterruptibleWork work;
        result = writeExport(*checked.format, checked.prepared.job, checked.options, sink, events, progress, work);
        progress.erase();
        return result;
    });
    if (status == exit_status::written && !arguments.quiet)
        for (const std::string& line : result.notes)
            say(line);
    return status;
}
