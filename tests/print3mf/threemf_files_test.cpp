// 3MF files read back by lib3mf's reader and by assimp, against the STL and
// the OBJ of the same export: the STL's triangles corner for corner, each
// point once as in the OBJ, one object in millimetres, the same box.

#include "print3mf/threemf_format.h"
#include "print3mf/threemf_writer.h"
#include "export/surface_simplifier.h"
#include "support/fakes.h"
#include "support/mesh_file_readers.h"

#include <Model/COM/NMR_DLLInterfaces.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using Point = std::array<double, 3>;
using Corners = std::array<Point, 3>;

struct Mesh {
    std::vector<Point> points;
    std::vector<Corners> triangles;
};

// What lib3mf's reader finds in the archive.
struct Read3mf {
    DWORD unit = 99, type = 99;
    int objects = 0, items = 0;
    Mesh mesh;
};

struct Released {
    void operator()(NMR::PLib3MFBase* p) const { NMR::lib3mf_release(p); }
};
using Object = std::unique_ptr<NMR::PLib3MFBase, Released>;

template <typename Make>
Object made(Make make)
{
    NMR::PLib3MFBase* p = nullptr;
    EXPECT_EQ(make(&p), LIB3MF_OK);
    return Object(p);
}

Read3mf read3mf(std::string bytes)
{
    Read3mf r;
    const Object model = made([](auto p) { return NMR::lib3mf_createmodel(p); });
    const Object reader = made([&](auto p) { return NMR::lib3mf_model_queryreader(model.get(), "3mf", p); });
    if (NMR::lib3mf_reader_readfrombuffer(reader.get(), reinterpret_cast<BYTE*>(bytes.data()), bytes.size()) != LIB3MF_OK)
        return r;
    NMR::lib3mf_model_getunit(model.get(), &r.unit);
    const Object items = made([&](auto p) { return NMR::lib3mf_model_getbuilditems(model.get(), p); });
    for (BOOL more = true; NMR::lib3mf_builditemiterator_movenext(items.get(), &more) == LIB3MF_OK && more;)
        ++r.items;
    const Object objects = made([&](auto p) { return NMR::lib3mf_model_getmeshobjects(model.get(), p); });
    for (BOOL more = true; NMR::lib3mf_resourceiterator_movenext(objects.get(), &more) == LIB3MF_OK && more;) {
        const Object mesh = made([&](auto p) { return NMR::lib3mf_resourceiterator_getcurrent(objects.get(), p); });
        ++r.objects;
        NMR::lib3mf_object_gettype(mesh.get(), &r.type);
        DWORD vertices = 0, triangles = 0;
        NMR::lib3mf_meshobject_getvertexcount(mesh.get(), &vertices);
        NMR::lib3mf_meshobject_gettrianglecount(mesh.get(), &triangles);
        for (DWORD i = 0; i < vertices; ++i) {
            NMR::MODELMESHVERTEX v;
            NMR::lib3mf_meshobject_getvertex(mesh.get(), i, &v);
            r.mesh.points.push_back({v.m_fPosition[0], v.m_fPosition[1], v.m_fPosition[2]});
        }
        for (DWORD i = 0; i < triangles; ++i) {
            NMR::MODELMESHTRIANGLE t;
            NMR::lib3mf_meshobject_gettriangle(mesh.get(), i, &t);
            const auto& p = r.mesh.points;
            r.mesh.triangles.push_back({p.at(t.m_nIndices[0]), p.at(t.m_nIndices[1]), p.at(t.m_nIndices[2])});
        }
    }
    return r;
}

// lib3mf writes a single-precision number to six decimals, within about
// one unit of its last place.
bool close(double written, double stl)
{
    return std::fabs(written - stl) <= 2 * FLT_EPSILON * std::fabs(stl) + 1e-6;
}

// "Faces" and the six numbers of the minimum and maximum points.
std::vector<double> facesAndBox(std::string info)
{
    std::vector<double> numbers;
    const std::size_t faces = info.find("\nFaces:");
    if (faces == std::string::npos)
        return numbers;
    numbers.push_back(std::strtod(info.c_str() + faces + 7, nullptr));
    for (const char* label : {"Minimum point", "Maximum point"}) {
        char* p = info.data() + info.find('(', info.find(label)) + 1;
        for (int k = 0; k < 3; ++k)
            numbers.push_back(std::strtod(p, &p));
    }
    return numbers;
}

Picture shadedPicture()
{
    std::vector<std::uint32_t> colours(90 * 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 90; ++x)
            colours[static_cast<std::size_t>(y * 90 + x)] = static_cast<std::uint32_t>((x * 37 + y * 91 + x * y) % 256);
    return Picture(90, 60, colours);
}

const bool registered = (addThreeMfFormat(formatRegistry()), true);

// A solid part on the bed, 90 mm wide, every pixel a point, the budget its own.
FormatOptions placedPart()
{
    FormatOptions options;
    options.solid = true;
    options.widthMm = 90, options.reliefMm = 8, options.baseMm = 2;
    options.every = 1;
    options.partMaxTriangles = 4000;
    return options;
}

TEST(ThreeMfFiles, HoldTheStlsTrianglesInOneObjectInMillimetresAsLib3mfAndAssimpReadThem)
{
    const auto picture = std::make_shared<const Picture>(shadedPicture());
    const struct {
        const char* name;
        FieldTexts fields;
        FormatOptions options;
    } cases[] = {
        {"open surface", {"0.5", "0.001 ", "25"}, inVrmlFrame()},
        {"solid", {"0.5", "0.001 ", "25"}, inVrmlFrame({true, 0.05})},
        {"mirrored solid", {"0.3", "-0.002", "40"}, inVrmlFrame({true, 0.01})},
        {"solid within a budget", {"0.5", "0.001 ", "15"}, inVrmlFrame({true, 0.05, 900})},
        {"open surface within an error bound", {"0.5", "0.001 ", "15"}, inVrmlFrame({false, 0, 0, 20})},
        {"placed part", {"0.5", "0.001 ", "15"}, placedPart()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ExportRequest request{c.fields, {1400, 0, 900, 0}, picture};
        const std::string stl = exportToMemory(format("stl"), request, c.options);
        const std::string obj = exportToMemory(format("obj"), request, c.options);
        const std::string written = exportToMemory(format("3mf"), request, c.options);
        ASSERT_FALSE(written.empty());

        const Read3mf read = read3mf(written);
        EXPECT_EQ(read.unit, NMR::MODELUNIT_MILLIMETER);
        EXPECT_EQ(read.objects, 1);
        EXPECT_EQ(read.items, 1);
        EXPECT_EQ(read.type, c.options.solid ? NMR::MODELOBJECTTYPE_MODEL : NMR::MODELOBJECTTYPE_SURFACE);
        std::size_t objPoints = 0;
        for (std::size_t at = 0; (at = obj.find("\nv ", at)) != std::string::npos; ++at)
            ++objPoints;
        EXPECT_EQ(read.mesh.points.size(), objPoints);
        const std::vector<Corners> expected = stlTriangles<Corners>(stl);
        ASSERT_EQ(read.mesh.triangles.size(), expected.size());
        std::size_t strays = 0;
        for (std::size_t t = 0; t < expected.size(); ++t)
            for (int k = 0; k < 3; ++k)
                for (int axis = 0; axis < 3; ++axis)
                    strays += !close(read.mesh.triangles[t][k][axis], expected[t][k][axis]);
        EXPECT_EQ(strays, 0u);

        const std::vector<double> fromStl = facesAndBox(runOn("assimp info", stl, ".stl"));
        const std::vector<double> from3mf = facesAndBox(runOn("assimp info", written, ".3mf"));
        ASSERT_EQ(from3mf.size(), 7u);
        ASSERT_EQ(fromStl.size(), 7u);
        EXPECT_EQ(from3mf[0], fromStl[0]);
        for (int i = 1; i < 7; ++i)
            EXPECT_TRUE(close(from3mf[i], fromStl[i])) << from3mf[i] << " " << fromStl[i];

        const PreparedExport prepared = prepareExport(format("3mf"), request);
        const SizeEstimate size = format("3mf").estimateSize({prepared.job, prepared.grid, c.options});
        EXPECT_GE(size.upperBound, written.size());
        if (!c.options.maxTriangles && !c.options.maxError && c.options.placement == Placement::VrmlFrame) {
            // otherwise it depends on the relief
            EXPECT_NEAR(double(size.typical), double(written.size()), 0.15 * double(written.size()));
        }
    }
}

struct StoppingWork : LongWork {
    int started = 0, asked = 0, finished = 0;
    std::vector<double> done;
    void start(const std::string&) override { ++started; }
    void progress(const std::string&, double share) override { done.push_back(share); }
    bool keepGoing() override { return ++asked < 3; }
    void finish() override { ++finished; }
};

TEST(ThreeMfFiles, AStopWhileLib3mfWritesLeavesNothingInTheStream)
{
    HeightGrid grid;  // 100 000 triangles: enough for lib3mf to ask on the way
    for (int c = 0; c <= 250; ++c)
        grid.xs.push_back(0.01 * c);
    for (int r = 0; r <= 200; ++r)
        grid.ys.push_back(0.01 * r);
    grid.depths.assign(grid.xs.size() * grid.ys.size(), 0.25);
    const std::vector<std::uint32_t> surface = fullSurface(grid);
    StringSink sink;
    TextOutput out(sink);
    StoppingWork stop;
    std::string failure;
    EXPECT_EQ(writeThreeMf(out, {grid, surface, {true, 0.05, 0, 0.5}}, stop, failure), FinishResult::Abandoned);
    EXPECT_EQ(failure, "");
    EXPECT_EQ(stop.asked, 3);
    EXPECT_EQ(stop.started, 1);
    EXPECT_EQ(stop.finished, 1);
    EXPECT_FALSE(stop.done.empty());
    for (double share : stop.done)
        EXPECT_TRUE(share >= 0 && share <= 1) << share;
    out.flush();
    EXPECT_EQ(sink.pending, "");
}

}  // namespace
