#include "export/mesh_size_estimate.h"
#include "export/obj_writer.h"
#include "export/stl_writer.h"
#include "export/surface_simplifier.h"
#include "platform/string_sink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace {

struct Point {
    double x, y, z;
};
using Triangle = std::array<Point, 3>;

// A relief as the walk gives it: steps of 15 units at a scale of 0.001 (or
// -0.001, mirroring X), depths of even gray levels over 255 times 0.5 m.
HeightGrid reliefGrid(std::size_t columns, std::size_t rows, double xScale, bool specks)
{
    HeightGrid g;
    std::mt19937 random(11);
    for (std::size_t c = 0; c <= columns; ++c)
        g.xs.push_back(15.0 * c * xScale);
    for (std::size_t r = 0; r <= rows; ++r)
        g.ys.push_back(15.0 * r * 0.001);
    for (std::size_t r = 0; r <= rows; ++r)
        for (std::size_t c = 0; c <= columns; ++c) {
            int level = static_cast<int>(127 + 100 * std::sin(c * 0.2) * std::cos(r * 0.15));
            if (specks && random() % 16 == 0)
                level = static_cast<int>(random() % 255);
            g.depths.push_back((level & ~1) / 255.0 * 0.5);
        }
    return g;
}

const MeshOptions openSurface{false, 0.0, 0, 0.5};
const MeshOptions solidBlock{true, 0.05, 0, 0.5};

// The bytes `write` puts into a stream.
template <typename Write>
std::string written(Write write)
{
    StringSink sink;
    TextOutput out(sink);
    EXPECT_TRUE(write(out));
    EXPECT_TRUE(out.Close());
    return sink.committed;
}

// The file a writer makes from the grid in bands of rows on `threads` threads.
std::string streamed(bool stl, const HeightGrid& g, const MeshOptions& o, unsigned threads = 1)
{
    const HeightGridPoints points(g);
    return written([&](TextOutput& out) {
        const std::unique_ptr<MeshBody> body =
            stl ? std::unique_ptr<MeshBody>(new StlBody(points, o)) : std::make_unique<ObjBody>(points, o);
        return writeMesh(*body, threads, out);
    });
}

// Runs a program on the bytes saved in a file; its standard output.
std::string runOn(const std::string& command, const std::string& bytes, const char* extension,
                  const char* after = "")
{
    const auto path = std::filesystem::temp_directory_path() /
                      ("orvanel-mesh-test-" + std::to_string(::getpid()) + extension);
    std::ofstream(path, std::ios::binary) << bytes;
    std::string text;
    if (FILE* p = ::popen((command + " '" + path.string() + "' " + after + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;)
            text.append(buffer, n);
        ::pclose(p);
    }
    std::filesystem::remove(path);
    return text;
}

// The number after `label` and its colon in a program's report.
double reported(const std::string& report, const std::string& label)
{
    const std::size_t at = report.find(label);
    if (at == std::string::npos)
        return NAN;
    return std::strtod(report.c_str() + report.find(':', at) + 1, nullptr);
}

std::vector<Triangle> stlTriangles(const std::string& bytes)
{
    std::uint32_t count;
    std::memcpy(&count, bytes.data() + 80, 4);
    EXPECT_EQ(bytes.size(), 84 + 50 * std::size_t(count));
    std::vector<Triangle> triangles(count);
    for (std::uint32_t t = 0; t < count; ++t)
        for (int k = 0; k < 3; ++k) {
            float v[3];
            std::memcpy(v, bytes.data() + 84 + 50 * t + 12 + 12 * k, 12);
            triangles[t][k] = {v[0], v[1], v[2]};
        }
    return triangles;
}

struct ObjFile {
    std::vector<Point> points;
    std::vector<Triangle> triangles;
};

ObjFile readObj(const std::string& text)
{
    ObjFile obj;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        Point p;
        std::size_t a, b, c;
        if (std::sscanf(line.c_str(), "v %lf %lf %lf", &p.x, &p.y, &p.z) == 3)
            obj.points.push_back(p);
        else if (std::sscanf(line.c_str(), "f %zu %zu %zu", &a, &b, &c) == 3)
            obj.triangles.push_back({obj.points.at(a - 1), obj.points.at(b - 1), obj.points.at(c - 1)});
    }
    return obj;
}

double facingZ(const Triangle& t)
{
    return (t[1].x - t[0].x) * (t[2].y - t[0].y) - (t[1].y - t[0].y) * (t[2].x - t[0].x);
}

double signedVolume(const std::vector<Triangle>& triangles)
{
    double v = 0;
    for (const Triangle& t : triangles)
        v += (t[0].x * (t[1].y * t[2].z - t[1].z * t[2].y) - t[0].y * (t[1].x * t[2].z - t[1].z * t[2].x) +
              t[0].z * (t[1].x * t[2].y - t[1].y * t[2].x)) / 6;
    return v;
}

// Volume between the grid's cells and the back face, in mm³, from the grid alone.
double blockVolume(const HeightGrid& g, double back)
{
    double v = 0;
    for (std::size_t r = 0; r + 1 < g.ys.size(); ++r)
        for (std::size_t c = 0; c + 1 < g.xs.size(); ++c) {
            const double area = std::fabs((g.xs[c + 1] - g.xs[c]) * (g.ys[r + 1] - g.ys[r])) * 1e6;
            const double a = g.depth(r, c), b = g.depth(r, c + 1), d = g.depth(r + 1, c), e = g.depth(r + 1, c + 1);
            v += area / 2 * (back - (a + d + b) / 3) * 1000 + area / 2 * (back - (d + e + b) / 3) * 1000;
        }
    return v;
}

// What admesh must find in a closed solid.
void expectSound(const std::string& admesh, double volume)
{
    EXPECT_EQ(reported(admesh, "Number of parts"), 1) << admesh;
    for (const char* none : {"Degenerate facets", "Edges fixed", "Facets removed", "Facets added",
                             "Facets reversed", "Backwards edges", "Normals fixed", "Total disconnected facets"})
        EXPECT_EQ(reported(admesh, none), 0) << none;
    EXPECT_NEAR(reported(admesh, "Volume"), volume, volume * 1e-3);
}

struct Shape {
    const char* name;
    std::size_t columns, rows;
    double xScale;
    bool solid;
};

const Shape shapes[] = {
    {"one cell", 1, 1, 0.001, true},       {"one row", 7, 1, 0.001, true},
    {"wide", 23, 9, 0.001, true},          {"mirrored", 12, 8, -0.001, true},
    {"open", 23, 9, 0.001, false},         {"mirrored open", 12, 8, -0.001, false},
};

}  // namespace

TEST(MeshFiles, StreamedMeshesAreReadBackWholeAndFacingOutwards)
{
    for (const Shape& s : shapes) {
        SCOPED_TRACE(s.name);
        const HeightGrid g = reliefGrid(s.columns, s.rows, s.xScale, true);
        const MeshOptions& o = s.solid ? solidBlock : openSurface;
        const std::size_t closure = s.solid ? 6 * (s.columns + s.rows) : 0;
        const std::size_t faces = 2 * s.columns * s.rows + closure;
        const std::string stl = streamed(true, g, o), obj = streamed(false, g, o);
        // Bands formatted by several threads join into the same bytes.
        for (unsigned threads : {2u, 7u}) {
            EXPECT_EQ(streamed(true, g, o, threads), stl) << threads << " threads";
            EXPECT_EQ(streamed(false, g, o, threads), obj) << threads << " threads";
        }

        EXPECT_EQ(reported(runOn("assimp info", stl, ".stl", "-r"), "\nFaces"), faces);
        EXPECT_EQ(reported(runOn("assimp info", obj, ".obj", "-r"), "\nFaces"), faces);
        const ObjFile read = readObj(obj);
        EXPECT_EQ(read.triangles.size(), faces);
        EXPECT_EQ(read.points.size(), (s.columns + 1) * (s.rows + 1) + (s.solid ? 2 * (s.columns + s.rows) + 1 : 0));
        EXPECT_EQ(stl.size(), stlSizeEstimate(s.columns, s.rows, o).typical);

        for (const auto& triangles : {stlTriangles(stl), read.triangles}) {
            if (s.solid) {
                EXPECT_NEAR(signedVolume(triangles), blockVolume(g, 0.55), blockVolume(g, 0.55) * 1e-6);
            } else {
                for (const Triangle& t : triangles)
                    ASSERT_LT(facingZ(t), 0);  // normals towards the picture
            }
        }
        if (s.solid)
            expectSound(runOn("admesh", stl, ".stl"), blockVolume(g, 0.55));
    }
}

TEST(MeshFiles, GridPointsAreWrittenExactlyInMillimetres)
{
    // More distinct depths than a writer could keep texts for.
    HeightGrid g = reliefGrid(40, 30, 0.001, true);
    for (std::size_t i = 0; i < g.depths.size(); ++i)
        g.depths[i] += i * 1e-7;
    const ObjFile obj = readObj(streamed(false, g, openSurface));
    const std::vector<Triangle> stl = stlTriangles(streamed(true, g, openSurface));
    for (std::size_t r = 0; r < g.ys.size(); ++r)
        for (std::size_t c = 0; c < g.xs.size(); ++c) {
            const Point& p = obj.points[r * g.xs.size() + c];
            EXPECT_EQ(p.x, 1000 * g.xs[c]);
            EXPECT_EQ(p.y, 1000 * g.ys[r]);
            EXPECT_EQ(p.z, 1000 * g.depth(r, c));
        }
    // Cell (row 1, column 2): corners 0 2 1 and 2 3 1, in single precision.
    const std::size_t corners[2][3][2] = {{{1, 2}, {2, 2}, {1, 3}}, {{2, 2}, {2, 3}, {1, 3}}};
    for (int k = 0; k < 2; ++k)
        for (int v = 0; v < 3; ++v) {
            const std::size_t r = corners[k][v][0], c = corners[k][v][1];
            const float x = static_cast<float>(1000 * g.xs[c]), y = static_cast<float>(1000 * g.ys[r]),
                        z = static_cast<float>(1000 * g.depth(r, c));
            const Point& p = stl[2 * (1 * 40 + 2) + k][v];
            EXPECT_TRUE(p.x == x && p.y == y && p.z == z) << k << " " << v;
        }
}

TEST(MeshFiles, EmptySelectionsGiveEmptyValidFiles)
{
    const HeightGrid none;
    const std::string stl = streamed(true, none, solidBlock);
    EXPECT_EQ(stl.size(), 84u);
    EXPECT_EQ(stl.substr(80), std::string(4, '\0'));
    EXPECT_EQ(streamed(false, none, solidBlock), std::string(objUnitsComment) + "\r\n");
}

TEST(MeshFiles, BudgetKeepsTheSolidWholeWithinTheBudgetAndMeasuresItsGapOrRefusesBelowTheOutline)
{
    const struct {
        const char* name;
        std::size_t columns, rows;
        double xScale;
        bool specks;
        std::uint64_t budget;
    } cases[] = {{"smooth", 40, 30, 0.001, false, 300},    {"specks", 40, 30, 0.001, true, 300},
                 {"mirrored", 40, 30, -0.001, true, 300},  {"two cells wide", 2, 25, 0.001, true, 70},
                 {"outline only", 40, 30, 0.001, true, 2 * (40 + 30) - 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HeightGrid g = reliefGrid(c.columns, c.rows, c.xScale, c.specks);
        const SimplifyResult result = simplifySurface(g, c.budget);
        ASSERT_TRUE(std::holds_alternative<SimplifiedSurface>(result));
        const SimplifiedSurface& s = std::get<SimplifiedSurface>(result);
        ASSERT_LE(s.triangles.size() / 3, c.budget);

        const std::string stl = written([&](TextOutput& out) { return writeStl(out, g, s.triangles, solidBlock); });
        const ObjFile obj = readObj(written([&](TextOutput& out) { return writeObj(out, g, s.triangles, openSurface); }));
        for (const Triangle& t : obj.triangles)
            ASSERT_LT(facingZ(t), 0);  // no fold seen from the picture
        double volume = 0;
        for (const Triangle& t : obj.triangles)
            volume += -facingZ(t) / 2 * (550 - (t[0].z + t[1].z + t[2].z) / 3);
        expectSound(runOn("admesh", stl, ".stl"), volume);

        // The gap, each grid point against the triangle above it, found by search.
        double gap = 0;
        for (std::size_t r = 0; r < g.ys.size(); ++r)
            for (std::size_t col = 0; col < g.xs.size(); ++col) {
                const double px = 1000 * g.xs[col], py = 1000 * g.ys[r];
                for (const Triangle& t : obj.triangles) {
                    const double area = facingZ(t);
                    const double w0 = ((t[1].x - px) * (t[2].y - py) - (t[1].y - py) * (t[2].x - px)) / area;
                    const double w1 = ((t[2].x - px) * (t[0].y - py) - (t[2].y - py) * (t[0].x - px)) / area;
                    const double w2 = 1 - w0 - w1;
                    if (w0 < -1e-12 || w1 < -1e-12 || w2 < -1e-12)
                        continue;
                    gap = std::max(gap, std::fabs(w0 * t[0].z + w1 * t[1].z + w2 * t[2].z - 1000 * g.depth(r, col)));
                }
            }
        EXPECT_NEAR(s.largestGap * 1000, gap, 1e-9);
    }
    // One triangle short of what the locked outline needs.
    const SimplifyResult refused = simplifySurface(reliefGrid(40, 30, 0.001, false), 2 * (40 + 30) - 3);
    ASSERT_TRUE(std::holds_alternative<BudgetBelowOutline>(refused));
    EXPECT_EQ(std::get<BudgetBelowOutline>(refused).minimum, 2u * (40 + 30) - 2);
}
