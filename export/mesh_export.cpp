#include "mesh_export.h"

#include "mesh_layout.h"
#include "mesh_size_estimate.h"
#include "obj_writer.h"
#include "stl_writer.h"
#include "surface_simplifier.h"

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
          streaming_(options.maxTriangles == 0 ? streaming(out, options) : nullptr),
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
    WholeGridWriter whole_;
    HeightGridBuilder grid_;
    std::unique_ptr<PointRowConsumer> streaming_;
    PointRowGatherer rows_;
    double gap_ = 0;
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
    if (options.maxTriangles == 0)
        return streamingMemoryProblem(grid, options.solid);
    const std::uint64_t minimum = minimumSurfaceTriangles(grid.columns, grid.rows);
    if (grid.cells() > 0 && options.maxTriangles < minimum)
        return "Le nombre maxi de triangles est trop petit : le contour de la sélection en demande au moins " +
               countText(minimum) + ".\nL'export est annulé : aucun fichier n'a été écrit.";
    return heightGridMemoryProblem(grid);
}

FormatEntry meshEntry(std::string_view id, std::string_view caption, std::string_view filter,
                      std::string_view extension, StreamingWriter streaming, WholeGridWriter whole,
                      MeshSizeEstimate (*estimate)(std::uint64_t, std::uint64_t, const MeshOptions&))
{
    FormatEntry entry;
    entry.id = id;
    entry.menuCaption = caption;
    entry.fileFilter = filter;
    entry.extension = extension;
    entry.addsExtension = true;
    entry.options = OptionsKind::Mesh;
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
        "stl", "STL pour l'usinage et l'impression 3D", "Fichier STL (*.stl)|*.stl|", "stl",
        [](TextOutput& out, const MeshOptions& o) -> std::unique_ptr<PointRowConsumer> {
            return std::make_unique<StlWriter>(out, o);
        },
        writeStl, stlSizeEstimate);
}

FormatEntry objFormatEntry()
{
    FormatEntry entry = meshEntry(
        "obj", "OBJ (maillage unique)", "Fichier OBJ (*.obj)|*.obj|", "obj",
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
