#include "export_command.h"

#include "number_reading.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

// VRML readers hold single-precision numbers: every written X, Y and Z
// must fit one.
std::optional<std::string> singlePrecisionProblem(const ExportParameters& p, const Selection& s)
{
    const double largest = std::max({std::fabs(double(s.left)), std::fabs(double(s.top)),
                                     std::fabs(double(s.left) + double(s.width)),
                                     std::fabs(double(s.top) + double(s.height))}) +
                           std::fabs(p.step);
    const char* field = nullptr;
    if (std::fabs(p.scale) * largest > FLT_MAX)
        field = "Largeur en m/pixel";
    else if (std::fabs(p.maxDepth) > FLT_MAX)
        field = "Profondeur maxi en m";
    if (!field)
        return std::nullopt;
    return std::string("Le champ « ") + field +
           " » donne des nombres trop grands pour un fichier VRML (plus de 3,4e38).\n"
           "L'export est annulé : aucun fichier n'a été écrit.";
}

class DotPerCell : public CellConsumer {
public:
    explicit DotPerCell(CellProgress& progress) : progress_(progress) {}
    bool cell(const ReliefCell& c) override
    {
        progress_.dot(c.x, c.y);
        return true;
    }

private:
    CellProgress& progress_;
};

std::shared_ptr<const Picture> noPicture()
{
    static const auto empty = std::make_shared<const Picture>();
    return empty;
}

}  // namespace

ExportJob readJob(const ExportRequest& request, std::optional<double> depthFloor,
                  std::optional<std::string>& refusal)
{
    const ParameterReading reading = readParameters(request.fields, depthFloor);
    ExportJob job{reading.parameters, selectionFromLines(request.lines),
                  request.picture ? request.picture : noPicture()};
    refusal = reading.problem;
    if (!refusal)
        refusal = checkWalk(job.parameters, job.selection);
    return job;
}

std::optional<std::string> solidBaseProblem(const FormatOptions& options)
{
    if (!options.solid || options.base > 0)
        return std::nullopt;
    return std::string("L'épaisseur du socle doit être plus grande que 0 m pour un solide fermé.\n"
                       "L'export est annulé : aucun fichier n'a été écrit.");
}

std::vector<std::string> fieldDoubts(const FieldTexts& fields)
{
    std::vector<std::string> doubts;
    const std::pair<const char*, const std::string&> labelled[] = {
        {"Largeur en m/pixel", fields.scale}, {"Profondeur maxi en m", fields.depth}, {"Pas en pixel", fields.step}};
    for (const auto& [label, text] : labelled)
        if (std::string doubt = fieldReadingDoubt(label, text); !doubt.empty())
            doubts.push_back(std::move(doubt));
    return doubts;
}

PreparedExport prepareExport(const FormatEntry& format, const ExportRequest& request)
{
    PreparedExport p;
    p.job = readJob(request, format.depthFloor, p.refusal);
    if (!p.refusal && format.depthFloor)
        p.refusal = singlePrecisionProblem(p.job.parameters, p.job.selection);
    if (p.refusal)
        return p;
    if (const double asRead = readParameters(request.fields, std::nullopt).parameters.maxDepth;
        asRead != p.job.parameters.maxDepth)
        p.depthBeforeFloor = asRead;

    p.grid = walkGridSize(p.job.parameters, p.job.selection);
    p.doubts = fieldDoubts(request.fields);
    if (p.grid.cells() == 0)
        p.doubts.push_back("La sélection ne contient aucune cellule : le fichier n'aura que son en-tête.");
    if (p.job.picture->isNull())
        p.doubts.push_back("Aucune image n'est chargée : le relief sera plat.");
    return p;
}

ExportResult writeExport(const FormatEntry& format, const ExportJob& job, const FormatOptions& options,
                         ByteSink& sink, EventLoop& events, CellProgress& progress, LongWork& work)
{
    TextOutput out(sink);
    const std::unique_ptr<ReliefWriter> writer = format.makeWriter(job, options, out);
    const auto failed = [&out, &writer] {
        const std::string reason = writer->failureReason();
        return ExportResult{ExportOutcome::Failed, reason.empty() ? out.errorText() : reason, {}};
    };
    if (!writer->begin())
        return failed();
    DotPerCell dots(progress);
    switch (walkRelief(job.parameters, job.selection, *job.picture, events, {&writer->cells(), &dots})) {
    case WalkResult::Abandoned:
        return {ExportOutcome::Abandoned, {}, {}};
    case WalkResult::Stopped:
        return failed();
    case WalkResult::Completed:
        break;
    }
    switch (writer->finish(work)) {
    case FinishResult::Abandoned:
        return {ExportOutcome::Abandoned, {}, {}};
    case FinishResult::Failed:
        return failed();
    case FinishResult::Refused:
        return {ExportOutcome::Refused, writer->failureReason(), {}};
    case FinishResult::Done:
        break;
    }
    if (!out.Close())
        return failed();
    return {ExportOutcome::Written, {}, writer->completionNotes()};
}
