#include "export_command.h"

#include "number_reading.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

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

// True when [first, last] holds a position of the picture's pixels, found
// the way the walk's colour reads find them.
bool reachesPicture(double first, double last, int (Picture::*pixelOf)(double) const, const Picture& picture)
{
    const double nearest = first > 0 ? first : (last < 0 ? last : 0);
    return (picture.*pixelOf)(nearest) >= 0;
}

bool outsidePicture(const ExportJob& job, const GridSize& grid)
{
    const Picture& picture = *job.picture;
    if (picture.isNull() || grid.cells() == 0)
        return false;
    const WalkBounds b = walkBounds(job.parameters, job.selection);
    const double right = b.left + double(grid.columns) * b.step;
    const double bottom = b.top + double(grid.rows) * b.step;
    return !reachesPicture(b.left, right, &Picture::columnOf, picture) ||
           !reachesPicture(b.top, bottom, &Picture::rowOf, picture);
}

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

std::optional<std::string> checkOptions(const FormatEntry& format, const ExportJob& job, const GridSize& grid,
                                        const FormatOptions& options)
{
    if (auto problem = optionRangeProblem(format.numbers, job.parameters, options))
        return problem;
    return format.checkJob ? format.checkJob(job, grid, options) : std::nullopt;
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
    if (!p.refusal)
        p.refusal = parameterRangeProblem(format.numbers, p.job.parameters, p.job.selection);
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
    p.outsidePicture = outsidePicture(p.job, p.grid);
    if (p.outsidePicture)
        p.doubts.push_back("La sélection est entièrement hors de l'image : le relief sera plat.");
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
    case FinishResult::Done:
        break;
    }
    if (!out.Close())
        return failed();
    return {ExportOutcome::Written, {}, writer->completionNotes()};
}
