#include "export_flow.h"

#include "relief/export_messages.h"

namespace {

constexpr const char* proceedAnyway = "Exporter quand même";
constexpr const char* cancel = "Annuler";

// The questions and dialogs before the file is opened; the path when the
// user went through them all.
std::optional<std::string> askBeforeWriting(const FormatEntry& format, const PreparedExport& prepared,
                                            FormatOptions& options, DesktopExportFacilities& f)
{
    if (!prepared.doubts.empty() && !f.messages.question(doubtsQuestion(prepared.doubts), proceedAnyway, cancel))
        return std::nullopt;
    if (format.options != OptionsKind::None) {
        const std::optional<FormatOptions> chosen = f.options.ask(format, prepared.job);
        if (!chosen)
            return std::nullopt;
        options = *chosen;
    }
    if (format.checkJob)
        if (const auto problem = format.checkJob(prepared.job, prepared.grid, options)) {
            f.messages.warning(*problem);
            return std::nullopt;
        }
    std::optional<std::string> path = f.saveDialog.askSavePath(
        std::string(format.fileFilter), format.addsExtension ? std::string(format.extension) : std::string());
    if (!path)
        return std::nullopt;
    if (!f.picturePath.empty() && f.target.sameFile(*path, f.picturePath)) {
        f.messages.warning(sameAsPictureMessage(*path));
        return std::nullopt;
    }
    const SizeEstimate size = format.estimateSize({prepared.job, prepared.grid, options});
    const std::optional<std::uint64_t> free = f.target.freeBytes(*path);
    if (free && size.upperBound > *free) {
        f.messages.warning(noRoomMessage(*path, size.upperBound, *free));
        return std::nullopt;
    }
    if (size.typical > largeFileBytes &&
        !f.messages.question(largeFileQuestion(size.typical, prepared.grid.cells()), proceedAnyway, cancel))
        return std::nullopt;
    return path;
}

}  // namespace

ExportOutcome runDesktopExport(const FormatEntry& format, const ExportRequest& request, DesktopExportFacilities& f)
{
    const PreparedExport prepared = prepareExport(format, request);
    if (prepared.refusal) {
        f.messages.warning(*prepared.refusal);
        return ExportOutcome::Refused;
    }
    FormatOptions options;
    const std::optional<std::string> path = askBeforeWriting(format, prepared, options, f);
    if (!path)
        return ExportOutcome::Cancelled;

    const WindowFrame main = f.mainWindow.frame();
    f.scan.moveTo(main.left + main.width, main.top);
    f.scan.show();
    std::string error;
    std::unique_ptr<ByteSink> sink = f.files.open(*path, error);
    if (!sink) {
        f.messages.warning(writeFailureMessage(*path, error));
        f.scan.hide();
        return ExportOutcome::Failed;
    }
    ExportResult result = writeExport(format, prepared.job, options, *sink, f.events, f.scan, f.longWork);
    sink.reset();  // uncommitted, the temporary file goes; an earlier file stays
    switch (result.outcome) {
    case ExportOutcome::Written: {
        std::string text = completionMessage;
        for (const std::string& note : result.notes)
            text += "\n" + note;
        f.messages.information(text);
        break;
    }
    case ExportOutcome::Failed:
        f.messages.warning(writeFailureMessage(*path, result.reason));
        break;
    case ExportOutcome::Refused:
        f.messages.warning(result.reason);
        break;
    default:
        break;
    }
    f.scan.hide();
    return result.outcome;
}
