#include "mesh_export.h"

#include "mesh_layout.h"
#include "mesh_size_estimate.h"
#include "obj_writer.h"
#include "stl_writer.h"
#include "surface_simplifier.h"

#include "relief/grid_sample.h"
#include "relief/export_command.h"
#include "relief/export_messages.h"
#include "relief/point_rows.h"
#include "relief/size_text.h"

#include <charconv>
#include <variant>

namespace {

constexpr double millimetresPerMetre = 1000;

// The walls and back of a solid: what a whole-file budget leaves the surface.
std::uint64_t closureTriangles(const GridSize& grid, bool solid)
{
    return solid && grid.cells() > 0 ? closureTriangleCount(grid.columns, grid.rows) : 0;
}

std::uint64_t fewestTriangles(const GridSize& grid, bool solid)
{
    return minimumSurfaceTriangles(grid.columns, grid.rows) + closureTriangles(grid, solid);
}

// The options as the writers take them: the budget is the whole file's, and
// the surface gets what the walls and back leave (never below what its
// outline needs: that budget is refused before the walk).
MeshOptions meshOptions(const ExportJob& job, const FormatOptions& options)
{
    std::uint64_t surfaceBudget = 0;
    if (options.maxTriangles > 0) {
        const GridSize grid = walkGridSize(job.parameters, job.selection);
        const std::uint64_t walls = closureTriangles(grid, options.solid);
        const std::uint64_t outline = minimumSurfaceTriangles(grid.columns, grid.rows);
        surfaceBudget = options.maxTriangles > walls + outline ? options.maxTriangles - walls : outline;
    }
    return {options.solid, options.base, surfaceBudget, job.parameters.maxDepth,
            options.maxError / millimetresPerMetre, options.measureMesh};
}

// "100 000 triangles · écart maxi 0,049 mm · écart moyen 0,007 mm · solide fermé vérifié"
std::string factsLine(const MeshFacts& facts)
{
    std::string line = countText(facts.triangles) + " triangles · écart maxi " +
                       metresText(facts.largestErrorMm) + " mm · écart moyen " + metresText(facts.rmsErrorMm) + " mm";
    if (facts.solid)
        line += facts.closedVerified ? " · solide fermé vérifié" : " · solide NON fermé";
    return line;
}

using StreamingWriter = std::unique_ptr<PointRowConsumer> (*)(TextOutput&, const MeshOptions&);
using WholeGridWriter = bool (*)(TextOutput&, const HeightGrid&, const std::vector<std::uint32_t>&,
                                 const MeshOptions&);

// Without a budget the rows go straight to the streaming writer; with one,
// the whole grid is gathered, simplified, then written.
class MeshExport : public ReliefWriter {
public:
    MeshExport(const ExportJob& job, const MeshOptions& options, TextOutput& out, StreamingWriter streaming,
               WholeGridWriter whole)
        : options_(options),
          out_(out),
          whole_(whole),
          streaming_(options.maxTriangles == 0 && options.maxError <= 0 && !options.measured ? streaming(out, options)
                                                                                             : nullptr),
          rows_(job.parameters, job.selection, streaming_ ? *streaming_ : static_cast<PointRowConsumer&>(grid_))
    {
    }

    bool begin() override { return rows_.begin(); }
    CellConsumer& cells() override { return rows_; }
    FinishResult finish(LongWork&) override
    {
        if (!rows_.end())
            return FinishResult::Failed;
        if (streaming_)
            return out_.failed() ? FinishResult::Failed : FinishResult::Done;
        const SimplifyResult simplified = simplifySurface(grid_.grid, {options_.maxTriangles, options_.maxError});
        const auto* surface = std::get_if<SimplifiedSurface>(&simplified);
        if (!surface)
            return FinishResult::Failed;  // refused before the walk: never here
        if (!whole_(out_, grid_.grid, surface->triangles, options_) || out_.failed())
            return FinishResult::Failed;
        // Measured on what was written: the surface's own report, and the
        // whole solid's edges.
        MeshFacts facts;
        facts.largestErrorMm = surface->report.largestError * millimetresPerMetre;
        facts.rmsErrorMm = surface->report.rmsError * millimetresPerMetre;
        facts.solid = options_.solid;
        if (options_.solid) {
            const std::vector<MeshTriangle> all = solidTriangles(grid_.grid, surface->triangles);
            facts.triangles = all.size();
            facts.closedVerified = closedSolidCheck(all).closed();
        } else {
            facts.triangles = surface->report.triangles;
        }
        facts_ = facts;
        return FinishResult::Done;
    }
    std::vector<std::string> completionNotes() const override
    {
        if (!facts_)
            return {};
        std::vector<std::string> notes{factsLine(*facts_)};
        if (options_.maxError > 0 && facts_->largestErrorMm > options_.maxError * millimetresPerMetre)
            notes.push_back("Le nombre maxi de triangles a été atteint avant l'écart maxi demandé.");
        return notes;
    }
    std::optional<MeshFacts> meshFacts() const override { return facts_; }

private:
    MeshOptions options_;
    TextOutput& out_;
    WholeGridWriter whole_;
    HeightGridBuilder grid_;
    std::unique_ptr<PointRowConsumer> streaming_;
    PointRowGatherer rows_;
    std::optional<MeshFacts> facts_;
};

std::size_t numberLength(double value)
{
    char text[32];
    return static_cast<std::size_t>(std::to_chars(text, text + sizeof text, value).ptr - text);
}

double meanTextLength(const std::vector<double>& values, double factor)
{
    if (values.empty())
        return 0;
    double total = 0;
    for (double v : values)
        total += double(numberLength(factor * v));
    return total / double(values.size());
}

// The mean length of an axis' positions as millimetre texts.
double meanTextLength(const AxisPositions& axis, double scale)
{
    double total = 0;
    std::uint64_t count = 0;
    visitSpread(axis, measuredPerAxis, [&](double position) {
        total += double(numberLength(1000 * (scale * position)));  // metres first, as the grid holds them
        ++count;
    });
    return count == 0 ? 0 : total / double(count);
}

// The OBJ's numbers measured: the columns' X and the rows' Y, a sample of the
// depths, all in millimetres.
ObjTextLengths objTextLengths(const ExportJob& job, const GridSize& grid)
{
    const GridAxes axes = gridAxes(job, grid);
    return {meanTextLength(axes.across, job.parameters.scale), meanTextLength(axes.down, job.parameters.scale),
            meanTextLength(sampleDepths(job, axes), 1000)};
}

// Without a budget the rows stream through: per column, the gatherer's two
// rows and X, the writer's X, its row or its X texts, and a solid's top and
// bottom outline; per row, a solid's Y and side outline. Generously counted.
std::optional<std::string> streamingMemoryProblem(const GridSize& grid, bool solid)
{
    const double bytes = 128 * (double(grid.columns) + 1) + (solid ? 64 * (double(grid.rows) + 1) : 0);
    return memoryProblem("Les rangées de " + countText(grid.columns + 1) + " points demandent", bytes);
}

std::optional<std::string> checkMesh(const GridSize& grid, const FormatOptions& options)
{
    if (auto problem = solidBaseProblem(options))
        return problem;
    if (options.maxTriangles == 0 && options.maxError <= 0 && !options.measureMesh)
        return streamingMemoryProblem(grid, options.solid);
    const std::uint64_t minimum = fewestTriangles(grid, options.solid);
    if (grid.cells() > 0 && options.maxTriangles > 0 && options.maxTriangles < minimum)
        return refusalMessage("Le nombre maxi de triangles est trop petit : le contour de la sélection " +
                              std::string(options.solid ? "avec les murs et le dos du solide " : "") +
                              "en demande au moins " + countText(minimum) + ".");
    return heightGridMemoryProblem(grid);
}

FormatEntry meshEntry(std::string_view id, std::string_view caption, std::string_view filter,
                      std::string_view extension, std::string_view fileKind, StreamingWriter streaming,
                      WholeGridWriter whole,
                      MeshSizeEstimate (*estimate)(std::uint64_t, std::uint64_t, const MeshOptions&))
{
    FormatEntry entry;
    entry.id = id;
    entry.menuCaption = caption;
    entry.fileFilter = filter;
    entry.extension = extension;
    entry.addsExtension = true;
    entry.options = {solidOption(true), baseOption(), maxTrianglesOption(), maxErrorOption()};
    entry.measuresMesh = true;
    // Mesh readers hold single precision, STL by its format, OBJ readers by habit.
    entry.numbers = singlePrecisionNumbers(fileKind, 1000);
    if (estimate)
        entry.estimateSize = [estimate](const SizeQuestion& q) {
            const MeshSizeEstimate size = estimate(q.grid.columns, q.grid.rows, meshOptions(q.job, q.options));
            return SizeEstimate{size.typical, size.upperBound};
        };
    entry.checkJob = [](const ExportJob&, const GridSize& grid, const FormatOptions& options) {
        return checkMesh(grid, options);
    };
    entry.makeWriter = [streaming, whole](const ExportJob& job, const FormatOptions& options, TextOutput& out) {
        return std::make_unique<MeshExport>(job, meshOptions(job, options), out, streaming, whole);
    };
    return entry;
}

}  // namespace

FormatEntry stlFormatEntry()
{
    return meshEntry(
        "stl", "STL pour l'usinage et l'impression 3D", "Fichier STL (*.stl)|*.stl|", "stl", "un fichier STL",
        [](TextOutput& out, const MeshOptions& o) -> std::unique_ptr<PointRowConsumer> {
            return std::make_unique<StlWriter>(out, o);
        },
        writeStl, stlSizeEstimate);
}

FormatEntry objFormatEntry()
{
    FormatEntry entry = meshEntry(
        "obj", "OBJ (maillage unique)", "Fichier OBJ (*.obj)|*.obj|", "obj", "un fichier OBJ",
        [](TextOutput& out, const MeshOptions& o) -> std::unique_ptr<PointRowConsumer> {
            return std::make_unique<ObjWriter>(out, o);
        },
        writeObj, nullptr);
    entry.estimateSize = [](const SizeQuestion& q) {
        const MeshSizeEstimate size =
            objSizeEstimate(q.grid.columns, q.grid.rows, meshOptions(q.job, q.options), objTextLengths(q.job, q.grid));
        return SizeEstimate{size.typical, size.upperBound};
    };
    return entry;
}
