#include "export_flow.h"

#include "relief/export_messages.h"

namespace {

constexpr const char* proceedAnyway = "Exporter quand même";
constexpr const char* cancel = "Annuler";

// Asks the findings' questions in one box; false when the user declines.
bool askFindings(const std::vector<ExportFinding>& findings, MessageBox& messages, const char* question)
{
    std::string text;
    for (const ExportFinding& finding : findings)
        if (finding.level == ExportFinding::Level::Question)
            text += finding.text + "\n";
    return text.empty() || messages.question(text + question, proceedAnyway, cancel);
}

// The questions and dialogs before the file is opened; the path when the
// user went through them all.
std::optional<std::string> askBeforeWriting(const FormatEntry& format, const PreparedExport& prepared,
                                            FormatOptions& options, DesktopExportFacilities& f)
{
    if (!askFindings(prepared.findings, f.messages, "\nExporter quand même ?"))
        return std::nullopt;
    if (!format.options.empty()) {
        const std::optional<FormatOptions> chosen = f.options.ask(format, prepared.job);
        if (!chosen)
            return std::nullopt;
        options = *chosen;
    }
    if (const auto problem = checkOptions(format, prepared.job, prepared.grid, options)) {
        f.messages.warning(*problem);
        return std::nullopt;
    }
    std::optional<std::string> path = f.saveDialog.askSavePath(
        std::string(format.fileFilter), format.addsExtension ? std::string(format.extension) : std::string());
    if (!path)
        return std::nullopt;
    const std::vector<ExportFinding> findings = checkTarget(format, prepared, options, *path, f.picturePath, f.target);
    for (const ExportFinding& finding : findings)
        if (finding.level == ExportFinding::Level::Refusal) {
            f.messages.warning(finding.text);
            return std::nullopt;
        }
    if (!askFindings(findings, f.messages, "L'écrire quand même ?"))
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
