#include "mesh_export.h"

#include "mesh_layout.h"
#include "mesh_size_estimate.h"
#include "obj_writer.h"
#include "stl_writer.h"
#include "surface_simplifier.h"

#include "relief/cell_table.h"
#include "relief/grid_sample.h"
#include "relief/export_command.h"
#include "relief/point_rows.h"
#include "relief/size_text.h"

#include <charconv>
#include <variant>

namespace {

MeshOptions meshOptions(const ExportJob& job, const FormatOptions& options)
{
    return {options.solid, options.base, options.maxTriangles, job.parameters.maxDepth};
}

using BodyMaker = std::unique_ptr<MeshBody> (*)(const GridPoints&, const MeshOptions&);
using WholeGridWriter = bool (*)(TextOutput&, const HeightGrid&, const std::vector<std::uint32_t>&,
                                 const MeshOptions&);

// The whole grid a budget's simplification starts from, its rows filled in
// bands on every thread from the walk's tables; no byte is written then.
class GridFilling : public BandedBody {
public:
    GridFilling(const GridPoints& points, HeightGrid& grid) : points_(points), grid_(grid)
    {
        grid = {};
        if (points.ys().empty())
            return;
        grid.xs = points.xs();
        grid.ys = points.ys();
        grid.depths.resize(grid.xs.size() * grid.ys.size());
    }
    std::vector<BandPart> parts() const override
    {
        return {{grid_.ys.size(), grid_.xs.size(), sizeof(double), true}};
    }
    std::unique_ptr<BandFormatter> formatter(TextOutput&) const override
    {
        struct Rows : BandFormatter {
            const GridFilling& filling;
            explicit Rows(const GridFilling& f) : filling(f) {}
            bool write(std::size_t, std::uint64_t first, std::uint64_t end) override
            {
                const std::uint64_t width = filling.grid_.xs.size();
                return forEachRowRun(first, end, width, [&](std::uint64_t row, std::uint64_t from, std::uint64_t to) {
                    filling.points_.depths(row, from, to, &filling.grid_.depths[row * width + from]);
                    return true;
                });
            }
        };
        return std::make_unique<Rows>(*this);
    }

private:
    const GridPoints& points_;
    HeightGrid& grid_;
};

// Without a budget the file is written as bands from the walk's tables (or,
// for a walk too long for them, from the grid gathered whole); with one,
// the whole grid is filled (or gathered), simplified, then written.
class MeshExport : public ReliefWriter {
public:
    MeshExport(const ExportJob& job, const MeshOptions& options, TextOutput& out, BodyMaker body,
               WholeGridWriter whole)
        : options_(options), out_(out), threads_(job.threads), makeBody_(body), whole_(whole),
          rows_(job.parameters, job.selection, grid_)
    {
    }

    const BandedBody* bands(const CellTable& cells) override
    {
        if (options_.maxTriangles != 0) {
            filling_ = std::make_unique<GridFilling>(cells, grid_.grid);
            return filling_.get();
        }
        body_ = makeBody_(cells, options_);
        return body_.get();
    }
    bool begin() override
    {
        if (body_) {
            body_->writeHead(out_);
            return !out_.failed();
        }
        return filling_ || rows_.begin();
    }
    CellConsumer& cells() override { return rows_; }
    FinishResult finish(LongWork&) override
    {
        if (body_) {
            body_->writeTail(out_);
            return out_.failed() ? FinishResult::Failed : FinishResult::Done;
        }
        if (!filling_ && !rows_.end())
            return FinishResult::Failed;
        if (options_.maxTriangles == 0) {
            const HeightGridPoints points(grid_.grid);
            return writeMesh(*makeBody_(points, options_), threads_, out_) ? FinishResult::Done
                                                                          : FinishResult::Failed;
        }
        const SimplifyResult simplified = simplifySurface(grid_.grid, options_.maxTriangles);
        const auto* surface = std::get_if<SimplifiedSurface>(&simplified);
        if (!surface)
            return FinishResult::Failed;  // refused before the walk: never here
        gap_ = surface->largestGap;
        return whole_(out_, grid_.grid, surface->triangles, options_) && !out_.failed() ? FinishResult::Done
                                                                                          : FinishResult::Failed;
    }
    std::vector<std::string> completionNotes() const override
    {
        if (options_.maxTriangles == 0)
            return {};
        return {"Écart maximal entre la surface simplifiée et la grille : " + metresText(gap_) + " m"};
    }

private:
    MeshOptions options_;
    TextOutput& out_;
    unsigned threads_;
    BodyMaker makeBody_;
    WholeGridWriter whole_;
    std::unique_ptr<MeshBody> body_;
    HeightGridBuilder grid_;
    std::unique_ptr<GridFilling> filling_;
    PointRowGatherer rows_;
    double gap_ = 0;
};

double meanTextLength(const std::vector<double>& values, double factor)
{
    if (values.empty())
        return 0;
    double total = 0;
    char text[32];
    for (double v : values)
        total += double(std::to_chars(text, text + sizeof text, factor * v).ptr - text);
    return total / double(values.size());
}

// The OBJ's numbers measured: every column's X and row's Y, a sample of the
// depths, all in millimetres.
ObjTextLengths objTextLengths(const ExportJob& job)
{
    const GridPositions positions = gridPositions(job);
    // Metres first, as the grid holds them, then millimetres.
    const auto metres = [&job](std::vector<double> values) {
        for (double& v : values)
            v *= job.parameters.scale;
        return values;
    };
    return {meanTextLength(metres(positions.xs), 1000), meanTextLength(metres(positions.ys), 1000),
            meanTextLength(sampleDepths(job, positions), 1000)};
}

std::optional<std::string> checkMesh(const GridSize& grid, const FormatOptions& options)
{
    if (auto problem = solidBaseProblem(options))
        return problem;
    if (options.maxTriangles == 0)
        return std::nullopt;
    const std::uint64_t minimum = minimumSurfaceTriangles(grid.columns, grid.rows);
    if (grid.cells() > 0 && options.maxTriangles < minimum)
        return "Le nombre maxi de triangles est trop petit : le contour de la sélection en demande au moins " +
               countText(minimum) + ".\nL'export est annulé : aucun fichier n'a été écrit.";
    return heightGridMemoryProblem(grid);
}

FormatEntry meshEntry(std::string_view id, std::string_view caption, std::string_view filter,
                      std::string_view extension, std::string_view fileKind, BodyMaker body,
                      WholeGridWriter whole,
                      MeshSizeEstimate (*estimate)(std::uint64_t, std::uint64_t, const MeshOptions&))
{
    FormatEntry entry;
    entry.id = id;
    entry.menuCaption = caption;
    entry.fileFilter = filter;
    entry.extension = extension;
    entry.addsExtension = true;
    entry.options = {solidOption(true), baseOption(), maxTrianglesOption()};
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
    entry.makeWriter = [body, whole](const ExportJob& job, const FormatOptions& options, TextOutput& out) {
        return std::make_unique<MeshExport>(job, meshOptions(job, options), out, body, whole);
    };
    return entry;
}

}  // namespace

FormatEntry stlFormatEntry()
{
    return meshEntry(
        "stl", "STL pour l'usinage et l'impression 3D", "Fichier STL (*.stl)|*.stl|", "stl", "un fichier STL",
        [](const GridPoints& points, const MeshOptions& o) -> std::unique_ptr<MeshBody> {
            return std::make_unique<StlBody>(points, o);
        },
        writeStl, stlSizeEstimate);
}

FormatEntry objFormatEntry()
{
    FormatEntry entry = meshEntry(
        "obj", "OBJ (maillage unique)", "Fichier OBJ (*.obj)|*.obj|", "obj", "un fichier OBJ",
        [](const GridPoints& points, const MeshOptions& o) -> std::unique_ptr<MeshBody> {
            return std::make_unique<ObjBody>(points, o);
        },
        writeObj, nullptr);
    entry.estimateSize = [](const SizeQuestion& q) {
        const MeshSizeEstimate size =
            objSizeEstimate(q.grid.columns, q.grid.rows, meshOptions(q.job, q.options), objTextLengths(q.job));
        return SizeEstimate{size.typical, size.upperBound};
    };
    return entry;
}
