#include "export_preflight.h"

#include "export_messages.h"
#include "number_reading.h"
#include "part_grid.h"
#include "size_text.h"

namespace {

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

using Level = ExportFinding::Level;
using Subject = ExportFinding::Subject;

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

std::optional<std::string> solidBaseProblem(const FormatOptions& options, Placement placement)
{
    const bool part = placement == Placement::Part;
    if (!options.solid || (part ? options.baseMm : options.base) > 0)
        return std::nullopt;
    return refusalMessage(std::string("L'épaisseur du socle doit être plus grande que 0 ") + (part ? "mm" : "m") +
                          " pour un solide fermé.");
}

namespace {

// The grid the options make the format write: the walk's, as prepared, or
// the part's pixels.
GridSize writtenGrid(const FormatEntry& format, const ExportJob& job, const GridSize& walked,
                     const FormatOptions& options)
{
    return placementOf(format.options, options) == Placement::Part ? exportGridSize(format, job, options) : walked;
}

std::optional<std::string> partProblem(const FormatEntry& format, const ExportJob& job, const GridSize& walked,
                                       const FormatOptions& options)
{
    const PartShape shape = partShape(job, options);
    if (shape.cells.cells() == 0) {
        // A selection without a cell was asked about already; one with
        // cells must not become an empty part because of the sampling.
        if (walked.cells() == 0 || shape.pixels.columns == 0 || shape.pixels.rows == 0)
            return std::nullopt;
        return refusalMessage("« Un point tous les N pixels » vaut " + countText(shape.every) +
                              " : c'est trop pour la sélection de " + countText(std::uint64_t(shape.pixels.columns)) +
                              " x " + countText(std::uint64_t(shape.pixels.rows)) +
                              " pixels, la pièce n'aurait aucune cellule.");
    }
    if (!(shape.widthMm > 0))
        return refusalMessage("La largeur de la pièce doit être plus grande que 0 mm.");
    return partRangeProblem(format.numbers, shape, options);
}

}  // namespace

std::optional<std::string> checkOptions(const FormatEntry& format, const ExportJob& job, const GridSize& grid,
                                        const FormatOptions& options)
{
    const bool part = placementOf(format.options, options) == Placement::Part;
    if (auto problem = part ? partProblem(format, job, grid, options)
                            : optionRangeProblem(format.numbers, job.parameters, options))
        return problem;
    return format.checkJob ? format.checkJob(job, writtenGrid(format, job, grid, options), options) : std::nullopt;
}

std::vector<std::string> fieldDoubts(const FieldTexts& fields)
{
    std::vector<std::string> doubts;
    const std::pair<const char*, const std::string&> labelled[] = {
        {field_label::scale, fields.scale}, {field_label::depth, fields.depth}, {field_label::step, fields.step}};
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
    p.grid = walkGridSize(p.job.parameters, p.job.selection);
    if (p.grid.cells() == 0 && !format.noCellRefusal.empty()) {
        p.refusal = refusalMessage(std::string(format.noCellRefusal));
        return p;
    }

    const auto ask = [&p](Subject subject, std::string text, bool stopsUnattended = false) {
        p.findings.push_back({Level::Question, subject, std::move(text), stopsUnattended});
    };
    for (std::string& doubt : fieldDoubts(request.fields))
        ask(Subject::FieldReading, std::move(doubt));
    if (p.grid.cells() == 0)
        ask(Subject::NoCell, "La sélection ne contient aucune cellule : le fichier n'aura que son en-tête.", true);
    if (p.job.picture->isNull())
        ask(Subject::NoPicture, "Aucune image n'est chargée : le relief sera plat.", true);
    if (outsidePicture(p.job, p.grid))
        ask(Subject::OutsidePicture, "La sélection est entièrement hors de l'image : le relief sera plat.", true);
    if (const double asRead = readParameters(request.fields, std::nullopt).parameters.maxDepth;
        asRead != p.job.parameters.maxDepth)
        p.findings.push_back({Level::Note, Subject::DepthFloor,
                              "profondeur " + metresText(asRead) + " m remplacée par " +
                                  metresText(p.job.parameters.maxDepth) + " m"});
    return p;
}

SizeEstimate estimateFileSize(const FormatEntry& format, const PreparedExport& prepared,
                              const FormatOptions& options)
{
    return format.estimateSize({prepared.job, writtenGrid(format, prepared.job, prepared.grid, options), options});
}

std::vector<ExportFinding> checkTarget(const FormatEntry& format, const PreparedExport& prepared,
                                       const FormatOptions& options, const std::string& path,
                                       const std::string& picturePath, const TargetFacts& target)
{
    if (!picturePath.empty() && target.sameFile(path, picturePath))
        return {{Level::Refusal, Subject::SameAsPicture, sameAsPictureMessage(path)}};
    std::vector<ExportFinding> findings;
    const SizeEstimate size = estimateFileSize(format, prepared, options);
    if (const std::optional<std::uint64_t> free = target.freeBytes(path); free && size.upperBound > *free)
        findings.push_back({Level::Refusal, Subject::NoRoom, noRoomMessage(path, size, *free), true});
    else if (size.typical > largeFileBytes)
        findings.push_back({Level::Question, Subject::LargeFile,
                            largeFileStatement(size.typical,
                                               writtenGrid(format, prepared.job, prepared.grid, options).cells())});
    return findings;
}
