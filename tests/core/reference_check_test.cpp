// The fast text exports against the plain per-corner writer of
// support/reference_export.h: whole files, every text format.

#include "support/fakes.h"
#include "support/reference_export.h"
#include "export/standard_formats.h"

#include "export/obj_writer.h"
#include "export/mesh_layout.h"
#include "export/stl_writer.h"
#include "export/surface_simplifier.h"
#include "relief/point_rows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Random colours: at steps of a pixel or more every depth shows up and the
// spike filter fires both ways, at its threshold too.
std::shared_ptr<const Picture> randomPicture()
{
    std::mt19937 random(7);
    std::vector<std::uint32_t> colours(600 * 400);
    for (std::uint32_t& colour : colours)
        colour = random() & 0xFFFFFFu;
    return std::make_shared<const Picture>(600, 400, colours);
}

const struct Case {
    const char* name;
    FieldTexts fields;
    EdgeLines lines;  // right, left, bottom, top
} cases[] = {
    // Long texts, cut Y texts, negative depths and positions, reversed
    // lines, steps that are not whole numbers, large and tiny scales.
    {"worked", {"-0.5", "0.0001234", "10"}, {1311.5f, 1001.25f, 1211.0f, 1001.0f}},
    {"reversed", {"0.37", "0.003", "7.3"}, {-200.0f, 300.0f, 150.0f, -120.5f}},
    {"large", {"123456.789", "1e6", "33.3"}, {4000.0f, 0.0f, 0.0f, 2000.0f}},
    {"tiny", {"1e-7", "1e-9", "15"}, {700.0f, 10.0f, 700.0f, 10.0f}},
    {"whole", {"2", "1", "50"}, {3000.0f, 0.0f, 2000.0f, 0.0f}},
    {"no cell", {"0.5", "0.001 ", "-50"}, {500.0f, 0.0f, 500.0f, 0.0f}},
    // More columns than the corner writer keeps X texts for, Y texts to cut.
    {"wide", {"0.21", "0.0001234", "1"}, {8400.0f, 0.0f, 1004.0f, 1001.25f}},
    // 250 distinct depths, three or more of them in each of 35 sets of
    // the depth-text table: texts are evicted and made again.
    {"evicting", {"2.35", "0.001 ", "17"}, {1700.0f, 0.0f, 700.0f, 0.0f}},
};

TEST(ReferenceCheck, TextFormatsWriteThePlainWritersBytes)
{
    const std::shared_ptr<const Picture> picture = randomPicture();
    for (const FormatEntry& format : formatRegistry().all()) {
        const ExportFormat* pieces = textFormatPieces(format.id);
        if (!pieces)
            continue;
        for (const auto& c : cases) {
            const ExportRequest request{c.fields, c.lines, picture};
            const PreparedExport prepared = prepareExport(format, request);
            ASSERT_FALSE(prepared.refusal) << c.name << ": " << *prepared.refusal;
            const std::string expected =
                referenceExport(*pieces, prepared.job.parameters, prepared.job.selection, *picture);
            // Bands formatted by one thread or several join into the same file.
            for (unsigned threads : {1u, 2u, 7u}) {
                const std::string got = exportToMemory(format, request, {}, threads);
                const std::size_t at =
                    std::mismatch(got.begin(), got.end(), expected.begin(), expected.end()).first - got.begin();
                EXPECT_TRUE(got == expected)
                    << format.id << ' ' << c.name << ", " << threads << " threads: sizes " << got.size() << " and "
                    << expected.size() << ", first difference at byte " << at << ": " << got.substr(at, 60) << " | "
                    << expected.substr(at, 60);
            }
        }
    }
}

// The meshes made in bands from the walk's tables, whole or simplified to a
// budget, against the same writers given the grid the walk gathers row by row.
TEST(ReferenceCheck, MeshesFromTheWalksTablesAreThoseOfTheWalkedGrid)
{
    const std::shared_ptr<const Picture> picture = randomPicture();
    for (const char* id : {"stl", "obj"}) {
        const bool stl = std::string(id) == "stl";
        for (const bool solid : {false, true}) {
            for (const bool budget : {false, true}) {
                for (const Case& c : cases) {
                    const ExportRequest request{c.fields, c.lines, picture};
                    const PreparedExport prepared = prepareExport(format(id), request);
                    if (prepared.refusal || (budget && prepared.grid.cells() == 0))
                        continue;
                    FormatOptions options = inVrmlFrame();
                    options.solid = solid;
                    options.base = 0.01;
                    // The budget counts the whole file: the surface gets what a
                    // solid's walls and back leave.
                    const std::uint64_t surfaceBudget =
                        budget ? 2 * minimumSurfaceTriangles(prepared.grid.columns, prepared.grid.rows) : 0;
                    if (budget)
                        options.maxTriangles =
                            surfaceBudget +
                            (solid ? closureTriangleCount(prepared.grid.columns, prepared.grid.rows) : 0);
                    const ExportJob& job = prepared.job;
                    const HeightGrid grid = buildHeightGrid(job.parameters, job.selection, *picture);
                    const MeshOptions mesh{solid, options.base, surfaceBudget, job.parameters.maxDepth};
                    StringSink sink;
                    TextOutput out(sink);
                    if (budget) {
                        const auto simplified = std::get<SimplifiedSurface>(simplifySurface(grid, {mesh.maxTriangles, 0}));
                        ASSERT_TRUE((stl ? writeStl : writeObj)(out, grid, simplified.triangles, mesh) && out.close());
                    } else {
                        const HeightGridPoints points(grid);
                        const std::unique_ptr<MeshBody> body =
                            stl ? std::unique_ptr<MeshBody>(new StlBody(points, mesh))
                                : std::make_unique<ObjBody>(points, mesh);
                        ASSERT_TRUE(writeMesh(*body, 1, out) && out.close());
                    }
                    for (unsigned threads : {1u, 2u, 7u})
                        EXPECT_TRUE(exportToMemory(format(id), request, options, threads) == sink.committed)
                            << id << (solid ? " solid " : " ") << (budget ? "budget " : "") << c.name << ", "
                            << threads << " threads";
                }
            }
        }
    }
}

}  // namespace
