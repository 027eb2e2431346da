#include "mesh_export.h"

#include "mesh_layout.h"
#include "mesh_size_estimate.h"
#include "obj_writer.h"
#include "part_summary.h"
#include "stl_writer.h"
#include "surface_simplifier.h"

#include "relief/cell_table.h"
#include "relief/grid_sample.h"
#include "relief/export_command.h"
#include "relief/export_messages.h"
#include "relief/grid_filling.h"
#include "relief/part_grid.h"
#include "relief/point_rows.h"
#include "relief/saturating.h"
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

// The limits of the placement chosen: the part has its own defaults.
struct MeshLimits {
    std::uint64_t maxTriangles;  // the whole file's
    double maxErrorMm;
};

MeshLimits meshLimits(const FormatOptions& options)
{
    if (options.placement == Placement::Part)
        return {options.partMaxTriangles, options.partMaxError};
    return {options.maxTriangles, options.maxError};
}

}  // namespace

MeshOptions meshOptions(const ExportJob& job, const FormatOptions& options)
{
    const bool part = options.placement == Placement::Part;
    const PartShape shape = part ? partShape(job, options) : PartShape{};
    const MeshLimits limits = meshLimits(options);
    std::uint64_t surfaceBudget = 0;
    if (limits.maxTriangles > 0) {
        const GridSize grid = part ? shape.cells : walkGridSize(job.parameters, job.selection);
        const std::uint64_t walls = closureTriangles(grid, options.solid);
        const std::uint64_t outline = minimumSurfaceTriangles(grid.columns, grid.rows);
        surfaceBudget = limits.maxTriangles > walls + outline ? limits.maxTriangles - walls : outline;
    }
    MeshOptions mesh{options.solid, options.base, surfaceBudget, job.parameters.maxDepth,
                     limits.maxErrorMm / millimetresPerMetre, options.measureMesh};
    if (part) {
        mesh.base = options.baseMm / millimetresPerMetre;
        mesh.maxDepth = shape.reliefMm / millimetresPerMetre;
        mesh.placement = partPlacement(shape, options.solid, mesh.base);
    }
    return mesh;
}

namespace {

// "100 000 triangles · écart maxi 0,049 mm · écart moyen 0,007 mm · solide fermé vérifié"
std::string factsLine(const MeshFacts& facts)
{
    std::string line = countText(facts.triangles) + " triangles · écart maxi " +
                       metresText(facts.largestErrorMm) + " mm · écart moyen " + metresText(facts.rmsErrorMm) + " mm";
    if (facts.solid)
        line += facts.closedVerified ? " · solide fermé vérifié" : " · solide NON fermé";
    return line;
}

using BodyMaker = std::unique_ptr<MeshBody> (*)(const GridPoints&, const MeshOptions&);
using WholeGridWriter = bool (*)(TextOutput&, const HeightGrid&, const std::vector<std::uint32_t>&,
                                 const MeshOptions&);

// A writer that takes any whole grid as a format written in bands does.
WholeMeshWriter wholeWriter(WholeGridWriter write)
{
    return [write](TextOutput& out, const WholeMesh& mesh, LongWork&, std::string&) {
        return write(out, mesh.grid, mesh.surface, mesh.options) ? FinishResult::Done : FinishResult::Failed;
    };
}

// Without a budget the file is written as bands from the walk's tables (or,
// for a walk too long for them, from the grid gathered whole) or from the
// part's pixels; with one, the whole grid is filled (or gathered),
// simplified, then written.
class MeshExport : public ReliefWriter {
public:
    MeshExport(const ExportJob& job, const FormatOptions& chosen, TextOutput& out, BodyMaker body,
               WholeMeshWriter whole)
        : options_(meshOptions(job, chosen)), out_(out), threads_(job.threads), makeBody_(body),
          whole_(std::move(whole))
    {
        if (chosen.placement == Placement::Part)
            part_ = std::make_unique<PartGrid>(*job.picture, partShape(job, chosen), chosen.invert);
        else
            rows_.emplace(job.parameters, job.selection, grid_);
    }

    std::optional<OwnGrid> ownGrid() override
    {
        if (!part_)
            return std::nullopt;
        return OwnGrid{bandsOver(*part_), part_.get()};
    }
    const BandedBody* bands(const CellTable& cells) override { return bandsOver(cells); }
    bool begin() override
    {
        if (body_) {
            body_->writeHead(out_);
            return !out_.failed();
        }
        return filling_ || rows_->begin();
    }
    CellConsumer& cells() override { return *rows_; }
    FinishResult finish(LongWork& work) override
    {
        if (body_) {
            body_->writeTail(out_);
            return out_.failed() ? FinishResult::Failed : FinishResult::Done;
        }
        if (!filling_ && !rows_->end())
            return FinishResult::Failed;
        if (!options_.simplifies() && makeBody_) {
            const HeightGridPoints points(grid_.grid);
            return writeMesh(*makeBody_(points, options_), threads_, out_) ? FinishResult::Done
                                                                          : FinishResult::Failed;
        }
        if (!options_.simplifies())
            return writeWhole(fullSurface(grid_.grid), work);
        // Events run and a stop is heard while the surface is simplified.
        work.start("Simplification du maillage…");
        const SimplifyResult simplified =
            simplifySurface(grid_.grid, {options_.maxTriangles, options_.maxError, [&work](double done) {
                                             work.progress({}, done);
                                             return work.keepGoing();
                                         }});
        work.finish();
        if (std::holds_alternative<SimplifyStopped>(simplified))
            return FinishResult::Abandoned;
        const auto* surface = std::get_if<SimplifiedSurface>(&simplified);
        if (!surface)
            return FinishResult::Failed;  // refused before the walk: never here
        if (const FinishResult written = writeWhole(surface->triangles, work); written != FinishResult::Done)
            return written;
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
    std::string failureReason() const override { return failure_; }

private:
    // A format without bands (no `makeBody_`) always has the whole grid.
    const BandedBody* bandsOver(const GridPoints& points)
    {
        if (options_.simplifies() || !makeBody_) {
            filling_ = std::make_unique<GridFilling>(points, grid_.grid);
            return filling_.get();
        }
        body_ = makeBody_(points, options_);
        return body_.get();
    }
    FinishResult writeWhole(const std::vector<std::uint32_t>& surface, LongWork& work)
    {
        const FinishResult written = whole_(out_, {grid_.grid, surface, options_}, work, failure_);
        return written == FinishResult::Done && out_.failed() ? FinishResult::Failed : written;
    }

    MeshOptions options_;
    TextOutput& out_;
    unsigned threads_;
    BodyMaker makeBody_;
    WholeMeshWriter whole_;
    std::string failure_;
    std::unique_ptr<MeshBody> body_;
    HeightGridBuilder grid_;
    std::unique_ptr<GridFilling> filling_;
    std::unique_ptr<PartGrid> part_;
    std::optional<PointRowGatherer> rows_;
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

// The part's: X and Y spread over its width and height as the file writes
// them; its heights fill the thickness, any value a luminance gives.
ObjTextLengths partTextLengths(const ExportJob& job, const FormatOptions& options)
{
    const PartShape shape = partShape(job, options);
    const MeshOptions mesh = meshOptions(job, options);
    const auto spread = [](double extentMm, std::uint64_t blocks, auto&& placed) {
        const std::uint64_t taken = std::min<std::uint64_t>(blocks, measuredPerAxis);
        double total = 0;
        for (std::uint64_t i = 0; i <= taken; ++i)
            total += double(numberLength(placed(extentMm / 1000 * double(i) / double(std::max<std::uint64_t>(taken, 1)))));
        return total / double(taken + 1);
    };
    return {spread(shape.widthMm, shape.cells.columns, [&](double m) { return mesh.placement.x(m); }),
            spread(shape.heightMm, shape.cells.rows, [&](double m) { return mesh.placement.y(m); }), 17};
}

// Without a budget the file is written in bands from the walk's tables: per
// column and per row their positions, pixels and grid coordinates, and a
// solid's outline; the bands' buffers are bounded apart. Generously counted.
std::optional<std::string> streamingMemoryProblem(const GridSize& grid)
{
    const double bytes = 128 * (double(grid.columns) + 1) + 64 * (double(grid.rows) + 1);
    return memoryProblem("Les rangées de " + countText(grid.columns + 1) + " points demandent", bytes);
}

// `streams`: the format can be written in bands without the whole grid.
std::optional<std::string> checkMesh(const GridSize& grid, const FormatOptions& options, bool streams)
{
    if (auto problem = solidBaseProblem(options, options.placement))
        return problem;
    const MeshLimits limits = meshLimits(options);
    if (streams && limits.maxTriangles == 0 && limits.maxErrorMm <= 0 && !options.measureMesh) {
        // A walk too long for the tables is gathered whole before it is written.
        return cellTableHolds(grid.columns, grid.rows) ? streamingMemoryProblem(grid)
                                                       : heightGridMemoryProblem(grid);
    }
    const std::uint64_t minimum = fewestTriangles(grid, options.solid);
    if (grid.cells() > 0 && limits.maxTriangles > 0 && limits.maxTriangles < minimum)
        return refusalMessage("Le nombre maxi de triangles est trop petit : le contour de la sélection " +
                              std::string(options.solid ? "avec les murs et le dos du solide " : "") +
                              "en demande au moins " + countText(minimum) + ".");
    return heightGridMemoryProblem(grid);
}

using SizeEstimator = std::function<SizeEstimate(const SizeQuestion&)>;

// "215 696 triangles dans le fichier · 10,8 Mo": the whole file's triangles,
// walls and back included, and its size, before anything is read; for the
// placed part, its size first ("Pièce : 150 × 112,5 × 12 mm · ...").
std::string meshSummary(const SizeEstimator& estimate, const ExportJob& job, const FormatOptions& options)
{
    const bool part = options.placement == Placement::Part;
    const GridSize grid = part ? partShape(job, options).cells : walkGridSize(job.parameters, job.selection);
    const MeshLimits limits = meshLimits(options);
    const std::uint64_t fewest = fewestTriangles(grid, options.solid);
    if (grid.cells() > 0 && limits.maxTriangles > 0 && limits.maxTriangles < fewest)
        return "Nombre maxi de triangles trop petit : il en faut au moins " + countText(fewest) + ".";
    const SizeEstimate size = estimate({job, grid, options});
    const std::string bytes = (size.typical == size.upperBound ? "" : "environ ") + sizeText(size.typical);
    if (part)
        return partSummary(job, options) + " · " + bytes;
    const std::uint64_t surface = surfaceTriangleBound(grid.columns, grid.rows, meshOptions(job, options));
    const std::uint64_t triangles = saturatingAdd(surface, closureTriangles(grid, options.solid));
    // A budget below every cell's two, or an error bound, may leave fewer.
    const bool bound = limits.maxErrorMm > 0 || surface < surfaceTriangleCount(grid.columns, grid.rows);
    return std::string(bound ? "au plus " : "") + countText(triangles) + " triangles dans le fichier · " + bytes;
}

FormatEntry meshEntry(std::string_view id, std::string_view caption, std::string_view filter,
                      std::string_view extension, const NumberRange& numbers, BodyMaker body,
                      const WholeMeshWriter& whole, const SizeEstimator& estimate)
{
    FormatEntry entry;
    entry.id = id;
    entry.menuCaption = caption;
    entry.fileFilter = filter;
    entry.extension = extension;
    entry.addsExtension = true;
    entry.options = {placementOption(),    solidOption(true),        widthOption(),      reliefOption(),
                     partBaseOption(),     baseOption(),             everyOption(),      invertOption(),
                     partMaxTrianglesOption(), maxTrianglesOption(), partMaxErrorOption(), maxErrorOption()};
    entry.measuresMesh = true;
    entry.numbers = numbers;
    entry.estimateSize = estimate;
    entry.optionsSummary = [estimate](const ExportJob& job, const FormatOptions& options) {
        return meshSummary(estimate, job, options);
    };
    entry.checkJob = [streams = body != nullptr](const ExportJob&, const GridSize& grid, const FormatOptions& options) {
        return checkMesh(grid, options, streams);
    };
    entry.makeWriter = [body, whole](const ExportJob& job, const FormatOptions& options, TextOutput& out) {
        return std::make_unique<MeshExport>(job, options, out, body, whole);
    };
    return entry;
}

}  // namespace

// Mesh readers hold single precision, STL by its format, OBJ readers by habit.
FormatEntry stlFormatEntry()
{
    return meshEntry(
        "stl", "STL pour l'usinage et l'impression 3D", "Fichier STL (*.stl)|*.stl|", "stl",
        singlePrecisionNumbers("un fichier STL", 1000),
        [](const GridPoints& points, const MeshOptions& o) -> std::unique_ptr<MeshBody> {
            return std::make_unique<StlBody>(points, o);
        },
        wholeWriter(writeStl), [](const SizeQuestion& q) {
            const MeshSizeEstimate size = stlSizeEstimate(q.grid.columns, q.grid.rows, meshOptions(q.job, q.options));
            return SizeEstimate{size.typical, size.upperBound};
        });
}

FormatEntry objFormatEntry()
{
    return meshEntry(
        "obj", "OBJ (maillage unique)", "Fichier OBJ (*.obj)|*.obj|", "obj",
        singlePrecisionNumbers("un fichier OBJ", 1000),
        [](const GridPoints& points, const MeshOptions& o) -> std::unique_ptr<MeshBody> {
            return std::make_unique<ObjBody>(points, o);
        },
        wholeWriter(writeObj), [](const SizeQuestion& q) {
            const ObjTextLengths lengths = q.options.placement == Placement::Part ? partTextLengths(q.job, q.options)
                                                                                  : objTextLengths(q.job, q.grid);
            const MeshSizeEstimate size =
                objSizeEstimate(q.grid.columns, q.grid.rows, meshOptions(q.job, q.options), lengths);
            return SizeEstimate{size.typical, size.upperBound};
        });
}

FormatEntry wholeMeshFormatEntry(const WholeMeshFormat& format)
{
    FormatEntry entry = meshEntry(format.id, format.caption, format.filter, format.extension, format.numbers, nullptr,
                                  format.write, [estimate = format.estimate](const SizeQuestion& q) {
                                      const MeshSizeEstimate size =
                                          estimate(q.grid.columns, q.grid.rows, meshOptions(q.job, q.options));
                                      return SizeEstimate{size.typical, size.upperBound};
                                  });
    entry.checkJob = [check = format.check](const ExportJob& job, const GridSize& grid, const FormatOptions& options) {
        std::optional<std::string> problem = checkMesh(grid, options, false);
        return problem || !check ? problem : check(grid, meshOptions(job, options));
    };
    return entry;
}
