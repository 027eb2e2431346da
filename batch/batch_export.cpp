#include "batch_export.h"

#include "interrupt_signal.h"
#include "terminal_progress.h"

#include "platform/same_file.h"
#include "platform/target_facts.h"
#include "platform/window_unit.h"
#include "relief/export_messages.h"
#include "export/standard_formats.h"
#include "relief/number_reading.h"
#include "relief/part_grid.h"
#include "relief/size_text.h"

#include <cstdio>

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

namespace {

// A target that is standard output: no file to compare or measure.
class StandardOutputFacts : public TargetFacts {
public:
    std::optional<std::uint64_t> freeBytes(const std::string&) const override { return std::nullopt; }
    bool sameFile(const std::string&, const std::string&) const override { return false; }
};

// The format's options: every default, then what the command line gave.
FormatOptions formatOptionsFor(const FormatEntry& format, const BatchArguments& arguments, const ExportJob& job)
{
    FormatOptions options = defaultOptions(format.options, job);
    // The placement first: it says which of a key's options is meant.
    if (const auto frame = arguments.formatOptions.find("frame"); frame != arguments.formatOptions.end())
        if (const FormatOption* option = findOption(format.options, "frame"))
            setOptionValue(options, *option, frame->second);
    const Placement placement = placementOf(format.options, options);
    for (const auto& [key, value] : arguments.formatOptions)
        if (const FormatOption* option = findOption(format.options, key, placement))
            setOptionValue(options, *option, value);
    return options;
}

// The report must not take the place of any other file of the run.
std::optional<std::string> reportPathProblem(const BatchArguments& a)
{
    if (a.report.empty())
        return std::nullopt;
    // The picture is a file: standard output never reaches it.
    if (a.report != "-" && sameFile(a.report, a.image))
        return sameAsPictureMessage(a.report);
    const auto clash = [&a](const std::string& other) { return !other.empty() && sameOutput(a.report, other); };
    if (clash(a.output) || clash(a.preview))
        return "--report « " + a.report + " » est aussi un autre fichier de la commande : il l'effacerait.\n"
               "Choisissez un autre nom ; aucun fichier n'a été modifié.";
    return std::nullopt;
}

// The facts as JSON, the errors exactly as measured (17 digits read back
// to the same double).
std::string reportJson(const MeshFacts& facts)
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "{\"triangles\": %llu, \"max_error_mm\": %.17g, \"rms_error_mm\": %.17g, \"closed\": %s}\n",
                  static_cast<unsigned long long>(facts.triangles), facts.largestErrorMm, facts.rmsErrorMm,
                  facts.solid && facts.closedVerified ? "true" : "false");
    return text;
}

}  // namespace

std::optional<CheckedExport> checkBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                                              int& failureStatus)
{
    const FormatEntry& format = *formatRegistry().find(arguments.format);
    CheckedExport checked{&format, prepareExport(format, exportRequestFor(arguments, std::move(picture))), {}};
    checked.prepared.job.threads = arguments.threads;
    const PreparedExport& prepared = checked.prepared;
    const auto refuse = [&](const std::string& text, int status = exit_status::refused) {
        say(text);
        failureStatus = status;
        return false;
    };
    // Nobody answers the questions here: they are said, and those that would
    // stop a desktop user stop the program unless --force.
    const auto present = [&](const std::vector<ExportFinding>& findings) {
        for (const ExportFinding& finding : findings) {
            const bool forced = finding.stopsUnattended && arguments.force;
            if (finding.level == ExportFinding::Level::Refusal && !forced)
                return refuse(finding.text + (finding.stopsUnattended ? " (--force l'écrit quand même)" : ""),
                              finding.subject == ExportFinding::Subject::NoRoom ? exit_status::writeFailed
                                                                                : exit_status::refused);
            if (finding.stopsUnattended && !forced)
                return refuse(finding.text + " Aucun fichier n'est écrit (--force l'écrit quand même).");
            if (finding.level != ExportFinding::Level::Refusal && !arguments.quiet)
                say(finding.text);
        }
        return true;
    };
    if (prepared.refusal) {
        refuse(*prepared.refusal);
        return std::nullopt;
    }
    if (!present(prepared.findings))
        return std::nullopt;
    checked.options = formatOptionsFor(format, arguments, prepared.job);
    checked.options.measureMesh = !arguments.report.empty();
    if (const auto problem = reportPathProblem(arguments)) {
        refuse(*problem);
        return std::nullopt;
    }
    if (const auto problem = checkOptions(format, prepared.job, prepared.grid, checked.options)) {
        refuse(*problem);
        return std::nullopt;
    }
    const std::string& path = arguments.output;
    SystemTargetFacts system;
    StandardOutputFacts standardOutput;
    const TargetFacts& target = path == "-" ? static_cast<const TargetFacts&>(standardOutput) : system;
    if (!present(checkTarget(format, prepared, checked.options, path, arguments.image, target)))
        return std::nullopt;
    return checked;
}

int writeBatchExport(const BatchArguments& arguments, const CheckedExport& checked, std::FILE* progressTerminal)
{
    TerminalProgress progress(progressTerminal,
                              exportGridSize(*checked.format, checked.prepared.job, checked.options).cells());
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
    if (status != exit_status::written || arguments.report.empty() || !result.mesh)
        return status;
    return writeOutputFile(arguments.report, say, [&result](ByteSink& sink) {
        ExportResult written;
        if (!sink.write(reportJson(*result.mesh)) || !sink.commit())
            written.outcome = ExportOutcome::Failed;
        return written;
    });
}
