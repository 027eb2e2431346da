#include "export_flow.h"

#include "relief/export_messages.h"
#include "relief/part_grid.h"
#include "relief/size_text.h"

#include <algorithm>
#include <filesystem>
#include <utility>

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

// Passes the bytes on, counting them for the answer after the export, by
// the sink's own ways: kept buffers stay uncopied.
class CountingSink : public ByteSink {
public:
    explicit CountingSink(ByteSink& sink) : sink_(sink) {}
    bool write(std::string_view bytes) override
    {
        written += bytes.size();
        return sink_.write(bytes);
    }
    bool take(std::string&& bytes) override
    {
        written += bytes.size();
        return sink_.take(std::move(bytes));
    }
    bool writePieces(const std::string_view* pieces, std::size_t count) override
    {
        for (std::size_t i = 0; i < count; ++i)
            written += pieces[i].size();
        return sink_.writePieces(pieces, count);
    }
    bool commit() override { return sink_.commit(); }
    std::string errorText() const override { return sink_.errorText(); }
    std::uint64_t written = 0;

private:
    ByteSink& sink_;
};

// Every dot goes to "Scan"; the bar is told the share of cells walked, at
// most a thousand times over the walk.
class WalkProgress : public CellProgress {
public:
    WalkProgress(CellProgress& dots, ExportProgress& bar, std::uint64_t cells)
        : dots_(dots), bar_(bar), cells_(cells), every_(std::max<std::uint64_t>(1, cells / 1000))
    {
    }
    void dot(double x, double y) override
    {
        dots_.dot(x, y);
        if (++walked_ % every_ == 0 || walked_ == cells_)
            bar_.advance({}, {}, cells_ ? std::min(1.0, double(walked_) / double(cells_)) : 1.0);
    }

private:
    CellProgress& dots_;
    ExportProgress& bar_;
    std::uint64_t cells_, every_, walked_ = 0;
};

// The work after the walk shown on the bar under its caption.
class ShownWork : public LongWork {
public:
    ShownWork(LongWork& work, ExportProgress& bar) : work_(work), bar_(bar) {}
    void start(const std::string& caption) override
    {
        caption_ = caption;
        bar_.advance(caption_, {}, 0);
        work_.start(caption);
    }
    void progress(const std::string& phase, double done) override
    {
        bar_.advance(caption_, phase, done);
        work_.progress(phase, done);
    }
    bool keepGoing() override { return work_.keepGoing(); }
    void finish() override { work_.finish(); }

private:
    LongWork& work_;
    ExportProgress& bar_;
    std::string caption_;
};

// What the status area says once the export is over; failures and refusals
// have their message box.
std::string answerAfter(ExportOutcome outcome, const std::string& path, std::uint64_t bytes)
{
    switch (outcome) {
    case ExportOutcome::Written:
        return "Fichier écrit : " + std::filesystem::path(path).filename().string() + ", " + sizeText(bytes);
    case ExportOutcome::Abandoned:
    case ExportOutcome::Cancelled:
        return "Export annulé : aucun fichier n'a été écrit";
    default:
        return {};
    }
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
    if (!path) {
        // Declined at a question, the options or the Save dialog, or refused there.
        f.progress.end(answerAfter(ExportOutcome::Cancelled, {}, 0));
        return ExportOutcome::Cancelled;
    }

    const WindowFrame main = f.mainWindow.frame();
    f.scan.moveTo(main.left + main.width, main.top);
    f.scan.show();
    f.progress.advance({}, {}, 0);
    std::string error;
    std::unique_ptr<ByteSink> sink = f.files.open(*path, error);
    if (!sink) {
        f.progress.end({});
        f.messages.warning(writeFailureMessage(*path, error));
        f.scan.hide();
        return ExportOutcome::Failed;
    }
    CountingSink counted(*sink);
    WalkProgress walk(f.scan, f.progress, exportGridSize(format, prepared.job, options).cells());
    ShownWork work(f.longWork, f.progress);
    ExportResult result = writeExport(format, prepared.job, options, counted, f.events, walk, work);
    sink.reset();  // uncommitted, the temporary file goes; an earlier file stays
    // Said before the message box, so that it stands beside it.
    f.progress.end(answerAfter(result.outcome, *path, counted.written));
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
