#include "export_command.h"

#include "relief_sampler.h"

namespace {

std::string writeFailureMessage(const std::string& path, std::string reason)
{
    if (reason.empty())
        reason = "raison inconnue";
    if (reason.back() != '.')
        reason += '.';
    return "Le fichier « " + path + " » n'a pas pu être écrit : " + reason +
           "\nAucun fichier existant n'a été modifié.";
}

}  // namespace

ExportOutcome runExport(const ExportFormat& format, const ExportRequest& request, ExportFacilities& f)
{
    const ParameterReading reading = readParameters(request.fields, format.depthFloor);
    const Selection selection = selectionFromLines(request.lines);
    std::optional<std::string> problem = reading.problem;
    if (!problem)
        problem = checkWalk(reading.parameters, selection);
    if (problem) {
        f.messages.warning(*problem);
        return ExportOutcome::Refused;
    }

    const std::optional<std::string> path = f.saveDialog.askSavePath(std::string(format.fileFilter));
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

    static const Picture noPicture;
    const Picture& picture = request.picture ? *request.picture : noPicture;
    TextOutput out(*sink);
    const WalkResult walk = sampleRelief(format, reading.parameters, selection, picture, out, f.events, f.scan);
    if (walk == WalkResult::Abandoned) {
        f.scan.hide();
        return ExportOutcome::Abandoned;
    }
    if (walk == WalkResult::WriteFailed || !out.Close()) {
        const std::string reason = out.errorText();
        sink.reset();  // drops the temporary file; an earlier file stays
        f.messages.warning(writeFailureMessage(*path, reason));
        f.scan.hide();
        return ExportOutcome::Failed;
    }
    f.messages.information(completionMessage);
    f.scan.hide();
    return ExportOutcome::Written;
}
