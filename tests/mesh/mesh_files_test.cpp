#include "export/mesh_layout.h"
#include "export/mesh_size_estimate.h"
#include "export/obj_writer.h"
#include "export/part_summary.h"
#include "export/stl_writer.h"
#include "export/surface_greedy.h"
#include "export/surface_quadtree.h"
#include "export/surface_simplifier.h"
#include "platform/string_sink.h"
#include "support/mesh_file_readers.h"
#include "support/part_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
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
    EXPECT_TRUE(out.close());
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

// The number after `label` and its colon in a program's report.
double reported(const std::string& report, const std::string& label)
{
    const std::size_t at = report.find(label);
    if (at == std::string::npos)
        return NAN;
    return std::strtod(report.c_str() + report.find(':', at) + 1, nullptr);
}

// The STL's triangles, the file exactly as long as their count says.
std::vector<Triangle> stlTriangles(const std::string& bytes)
{
    std::vector<Triangle> triangles = ::stlTriangles<Triangle>(bytes);
    EXPECT_EQ(bytes.size(), 84 + 50 * triangles.size());
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

enum class Terrain { Smooth, Fractal, Noisy, Flat };

// Depths of a few kinds of pictures, 0.5 m deep at most: smooth shading,
// detail at every scale (octaves of interpolated random values), gray-level
// noise, one level.
HeightGrid pictureGrid(Terrain kind, std::size_t columns, std::size_t rows, double xScale = 0.001)
{
    HeightGrid g = reliefGrid(columns, rows, xScale, false);
    std::mt19937 random(3);
    std::vector<double> lattice(64 * 64);
    for (double& v : lattice)
        v = std::uniform_real_distribution<double>(0, 1)(random);
    for (std::size_t r = 0; r <= rows; ++r)
        for (std::size_t c = 0; c <= columns; ++c) {
            double z = 0.2;
            if (kind == Terrain::Smooth)
                z = 0.25 + 0.1 * std::sin(c * 0.11 + 1) * std::cos(r * 0.07) + 0.1 * std::exp(-0.002 * ((c - 20.0) * (c - 20.0) + (r - 15.0) * (r - 15.0)));
            else if (kind == Terrain::Noisy)
                z = int(random() % 128) * 2 / 255.0 * 0.5;
            else if (kind == Terrain::Fractal) {
                z = 0;
                for (std::size_t cell = 32, amplitude = 1; cell >= 1; cell /= 2, amplitude *= 2) {
                    const std::size_t i = c / cell, j = r / cell;
                    const double u = double(c % cell) / cell, v = double(r % cell) / cell;
                    auto at = [&](std::size_t a, std::size_t b) { return lattice[(a * 7 + b * 13 + cell) % lattice.size()]; };
                    z += 0.25 / amplitude *
                         ((at(i, j) * (1 - u) + at(i + 1, j) * u) * (1 - v) + (at(i, j + 1) * (1 - u) + at(i + 1, j + 1) * u) * v);
                }
            }
            g.depths[r * (columns + 1) + c] = z;
        }
    return g;
}

const char* pictureName(Terrain kind)
{
    return kind == Terrain::Smooth ? "smooth" : kind == Terrain::Fractal ? "fractal" : kind == Terrain::Noisy ? "noisy" : "flat";
}

// Volume between the triangles, read back from an OBJ, and the back face 550 mm deep.
double volumeAbove(const std::vector<Triangle>& surface)
{
    double volume = 0;
    for (const Triangle& t : surface)
        volume += -facingZ(t) / 2 * (550 - (t[0].z + t[1].z + t[2].z) / 3);
    return volume;
}

TEST(MeshFiles, SimplifiedSolidsAreWatertightUnfoldedAndWithinTheirLimits)
{
    const struct {
        Terrain picture;
        std::size_t columns, rows;
        double xScale;
        SimplifyLimits limits;
    } cases[] = {
        {Terrain::Smooth, 40, 30, 0.001, {300, 0}},       {Terrain::Smooth, 40, 30, 0.001, {0, 0.002}},
        {Terrain::Fractal, 40, 30, 0.001, {500, 0}},      {Terrain::Fractal, 40, 30, -0.001, {0, 0.01}},
        {Terrain::Noisy, 40, 30, 0.001, {300, 0.05}},     {Terrain::Noisy, 40, 30, 0.001, {0, 0.2}},
        {Terrain::Flat, 40, 30, 0.001, {500, 0}},         {Terrain::Flat, 40, 30, -0.001, {0, 0.001}},
        {Terrain::Fractal, 2, 25, 0.001, {70, 0}},        {Terrain::Noisy, 40, 30, 0.001, {2 * (40 + 30) - 2, 0}},
        {Terrain::Noisy, 37, 1, 0.001, {80, 0}},          {Terrain::Smooth, 37, 1, -0.001, {0, 0.001}},
        {Terrain::Fractal, 33, 21, 0.0025, {0, 0.005}},   // steps in X 2.5 times those in Y
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(pictureName(c.picture)) + " " + std::to_string(c.columns) + "x" +
                     std::to_string(c.rows) + " budget " + std::to_string(c.limits.maxTriangles) + " bound " +
                     std::to_string(c.limits.maxError));
        HeightGrid g = pictureGrid(c.picture, c.columns, c.rows, c.xScale);
        if (c.xScale == 0.0025)
            for (double& y : g.ys)
                y /= 2.5;
        const SimplifyResult result = simplifySurface(g, c.limits);
        ASSERT_TRUE(std::holds_alternative<SimplifiedSurface>(result));
        const SimplifiedSurface& s = std::get<SimplifiedSurface>(result);
        const MeshReport& report = s.report;
        EXPECT_EQ(report.triangles, s.triangles.size() / 3);
        if (c.rows > 1) {
            EXPECT_LT(report.triangles, 2 * c.columns * c.rows);  // it did simplify
        }
        if (c.limits.maxTriangles > 0) {
            EXPECT_LE(report.triangles, c.limits.maxTriangles);
        } else {
            EXPECT_LE(report.largestError, c.limits.maxError);
        }
        EXPECT_EQ(report.pointsMeasured, g.depths.size());
        EXPECT_EQ(report.foldedTriangles, 0u);
        EXPECT_TRUE(closedSolidCheck(solidTriangles(g, s.triangles)).closed());

        const ObjFile obj = readObj(written([&](TextOutput& out) { return writeObj(out, g, s.triangles, openSurface); }));
        for (const Triangle& t : obj.triangles)
            ASSERT_LT(facingZ(t), 0);  // no fold seen from the picture
        const std::string stl = written([&](TextOutput& out) { return writeStl(out, g, s.triangles, solidBlock); });
        expectSound(runOn("admesh", stl, ".stl"), volumeAbove(obj.triangles));
    }
}

TEST(MeshFiles, SimplifiedCountNeverPassesTheBudgetNorTheMeasuredErrorTheBound)
{
    for (Terrain picture : {Terrain::Smooth, Terrain::Fractal, Terrain::Noisy}) {
        SCOPED_TRACE(pictureName(picture));
        const HeightGrid g = pictureGrid(picture, 45, 32);
        const std::uint64_t minimum = minimumSurfaceTriangles(45, 32);
        for (std::uint64_t budget : {minimum, minimum + 1, minimum + 2, minimum + 77, std::uint64_t(1001), std::uint64_t(2 * 45 * 32 - 1)}) {
            const SimplifyResult result = simplifySurface(g, {budget, 0});
            EXPECT_LE(std::get<SimplifiedSurface>(result).triangles.size() / 3, budget) << budget;
        }
        for (double bound : {0.1, 0.03, 0.01, 0.003, 0.001, 1e-4}) {
            const SimplifyResult result = simplifySurface(g, {0, bound});
            EXPECT_LE(std::get<SimplifiedSurface>(result).report.largestError, bound) << bound;
        }
    }
    // One triangle short of what the outline needs.
    const SimplifyResult refused = simplifySurface(reliefGrid(40, 30, 0.001, false), {2 * (40 + 30) - 3, 0.0});
    ASSERT_TRUE(std::holds_alternative<BudgetBelowOutline>(refused));
    EXPECT_EQ(std::get<BudgetBelowOutline>(refused).minimum, 2u * (40 + 30) - 2);
}

TEST(MeshFiles, LargeGridUnderABoundIsSplitInHalvesThatMeetEdgeForEdge)
{
    for (Terrain picture : {Terrain::Smooth, Terrain::Fractal, Terrain::Noisy, Terrain::Flat})
        for (double bound : {0.01, 0.002}) {
            SCOPED_TRACE(std::string(pictureName(picture)) + " " + std::to_string(bound));
            const HeightGrid g = pictureGrid(picture, 37, 23);
            // Split from 100 points, where a real grid is split from millions.
            const std::vector<std::uint32_t> halves = greedySurface(g, 0, bound, 100);
            const MeshReport report = measureSurface(g, halves);
            EXPECT_LE(report.largestError, bound);
            EXPECT_EQ(report.pointsMeasured, g.depths.size());
            EXPECT_EQ(report.foldedTriangles, 0u);
            EXPECT_TRUE(closedSolidCheck(solidTriangles(g, halves)).closed());
            const std::string stl = written([&](TextOutput& out) { return writeStl(out, g, halves, solidBlock); });
            const ObjFile obj = readObj(written([&](TextOutput& out) { return writeObj(out, g, halves, openSurface); }));
            expectSound(runOn("admesh", stl, ".stl"), volumeAbove(obj.triangles));
        }
}

TEST(MeshFiles, WithinABudgetTheSurfaceKeptStraysNoMoreThanEitherSimplifier)
{
    for (bool specks : {false, true})
        for (std::uint64_t budget : {300u, 1200u}) {
            SCOPED_TRACE(std::string(specks ? "specks " : "smooth ") + std::to_string(budget));
            const HeightGrid g = reliefGrid(60, 40, 0.001, specks);
            const SimplifyResult result = simplifySurface(g, {budget, 0});
            const double kept = std::get<SimplifiedSurface>(result).report.largestError;
            EXPECT_LE(kept, measureSurface(g, greedySurface(g, budget, 0)).largestError);
            EXPECT_LE(kept, measureSurface(g, quadtreeSurface(g, budget)).largestError);
        }
}

// The watch hears the share done while points go in, within a budget or a
// bound alone (one half of a split grid); it leaves the surface as it is,
// and stops the work when it says so.
TEST(MeshFiles, AWatchedSimplificationGivesTheSameSurfaceOrStopsWhenTold)
{
    const HeightGrid g = pictureGrid(Terrain::Noisy, 120, 90);
    for (const SimplifyLimits& limits : {SimplifyLimits{6000, 0}, SimplifyLimits{0, 0.01}}) {
        SCOPED_TRACE(limits.maxTriangles ? "budget" : "bound");
        const std::vector<std::uint32_t> plain = std::get<SimplifiedSurface>(simplifySurface(g, limits)).triangles;
        for (const bool carryOn : {true, false}) {
            std::vector<double> told;
            SimplifyLimits watched = limits;
            watched.watch = [&](double done) { return told.push_back(done), carryOn; };
            const SimplifyResult result = simplifySurface(g, watched);
            ASSERT_FALSE(told.empty());
            EXPECT_TRUE(told.front() >= 0 && told.back() <= 1 && std::is_sorted(told.begin(), told.end()));
            if (carryOn) {
                EXPECT_EQ(std::get<SimplifiedSurface>(result).triangles, plain);
            } else {
                EXPECT_TRUE(std::holds_alternative<SimplifyStopped>(result));
                EXPECT_EQ(told.size(), 1u);
            }
        }
    }
    // Split in halves under a bound: the calling thread's half is watched.
    bool asked = false;
    EXPECT_TRUE(greedySurface(g, 0, 0.01, 1000, [&](double) { return asked = true, false; }).empty());
    EXPECT_TRUE(asked);
}

TEST(MeshFiles, SurfaceReportEqualsAPointByPointMeasurement)
{
    const HeightGrid fractal = pictureGrid(Terrain::Fractal, 23, 17, -0.001);
    std::vector<std::uint32_t> simplified = std::get<SimplifiedSurface>(simplifySurface(fractal, {200, 0})).triangles;
    std::vector<std::uint32_t> gapped = simplified;
    gapped.erase(gapped.begin() + 30, gapped.begin() + 33);
    const struct {
        const char* name;
        const HeightGrid grid;
        std::vector<std::uint32_t> triangles;
    } cases[] = {
        {"simplified", fractal, simplified},
        {"one triangle missing", fractal, gapped},
        {"every cell", pictureGrid(Terrain::Noisy, 9, 6), std::get<SimplifiedSurface>(simplifySurface(pictureGrid(Terrain::Noisy, 9, 6), {0, 0})).triangles},
        {"one row", pictureGrid(Terrain::Smooth, 19, 1), std::get<SimplifiedSurface>(simplifySurface(pictureGrid(Terrain::Smooth, 19, 1), {40, 0})).triangles},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HeightGrid& g = c.grid;
        // Each grid point against every triangle, by barycentric weights in metres.
        double largest = 0, squares = 0;
        std::uint64_t measured = 0;
        for (std::size_t r = 0; r < g.ys.size(); ++r)
            for (std::size_t col = 0; col < g.xs.size(); ++col) {
                bool first = true;
                for (std::size_t t = 0; t < c.triangles.size(); t += 3) {
                    double x[3], y[3], z[3];
                    for (int k = 0; k < 3; ++k) {
                        const std::uint32_t v = c.triangles[t + k];
                        x[k] = g.xs[v % g.xs.size()];
                        y[k] = g.ys[v / g.xs.size()];
                        z[k] = g.depths[v];
                    }
                    const double px = g.xs[col], py = g.ys[r];
                    const double area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
                    const double w0 = ((x[1] - px) * (y[2] - py) - (y[1] - py) * (x[2] - px)) / area;
                    const double w1 = ((x[2] - px) * (y[0] - py) - (y[2] - py) * (x[0] - px)) / area;
                    const double w2 = 1 - w0 - w1;
                    if (w0 < -1e-9 || w1 < -1e-9 || w2 < -1e-9)
                        continue;
                    const double e = std::fabs(w0 * z[0] + w1 * z[1] + w2 * z[2] - g.depth(r, col));
                    largest = std::max(largest, e);
                    if (first)
                        squares += e * e, ++measured;
                    first = false;
                }
            }
        const MeshReport report = measureSurface(g, c.triangles);
        EXPECT_EQ(report.triangles, c.triangles.size() / 3);
        EXPECT_EQ(report.pointsMeasured, measured);
        EXPECT_NEAR(report.largestError, largest, 1e-12);
        EXPECT_NEAR(report.rmsError, std::sqrt(squares / double(measured)), 1e-12);
        EXPECT_EQ(report.foldedTriangles, 0u);
    }
}

TEST(MeshFiles, ClosedSolidCheckFindsAMissingOrATurnedTriangle)
{
    const HeightGrid g = pictureGrid(Terrain::Smooth, 12, 9);
    const std::vector<MeshTriangle> whole =
        solidTriangles(g, std::get<SimplifiedSurface>(simplifySurface(g, {60, 0})).triangles);
    EXPECT_TRUE(closedSolidCheck(whole).closed());

    std::vector<MeshTriangle> missing = whole;
    missing.erase(missing.begin() + 5);
    EXPECT_EQ(closedSolidCheck(missing).openEdges, 3u);
    EXPECT_FALSE(closedSolidCheck(missing).closed());

    std::vector<MeshTriangle> turned = whole;
    std::swap(turned[7][1], turned[7][2]);
    EXPECT_EQ(closedSolidCheck(turned).turnedEdges, 3u);
    EXPECT_FALSE(closedSolidCheck(turned).closed());

    // A folded surface triangle is also reported as such by the measurement.
    std::vector<std::uint32_t> surface = std::get<SimplifiedSurface>(simplifySurface(g, {60, 0})).triangles;
    std::swap(surface[1], surface[2]);
    EXPECT_EQ(measureSurface(g, surface).foldedTriangles, 1u);
}

// "Pièce posée": a 16-bit gradient of 120 x 90 pixels (black at the
// top-left, white at the bottom-right) as a solid 150 mm wide, its relief
// 10 mm over a base of 2 mm, every point kept.
TEST(PartPlacement, SolidStandsOnItsFlatBaseWithThePicturesProportions)
{
    constexpr int columns = 120, rows = 90;
    constexpr double width = 150, relief = 10, base = 2;
    const ExportJob job = wholePictureJob(deepGradient(columns, rows));
    const struct {
        bool invert;
        int every;
        double height;  // mm: 90 pixels, or 88 in blocks of 4 (22 of 30 across)
    } cases[] = {{false, 1, 112.5}, {true, 1, 112.5}, {false, 4, 110}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.invert ? "inverted" : "bright high") + ", every " + std::to_string(c.every));
        FormatOptions options = defaultOptions(format("stl").options, job);
        options.solid = true;
        options.widthMm = width, options.reliefMm = relief, options.baseMm = base;
        options.invert = c.invert, options.every = std::uint64_t(c.every);
        options.partMaxTriangles = 0, options.partMaxError = 0;
        const std::string stl = writtenFile(format("stl"), job, options);
        const std::vector<Triangle> triangles = stlTriangles(stl);

        // The rule, from the picture's own levels: a point at the top-left
        // corner of every N-th pixel, the far sides reading the last pixels.
        const int across = columns / c.every, down = rows / c.every;
        const double side = width / across;
        const auto z = [&](int i, int j) {
            const int column = std::min(i * c.every, columns - 1), row = std::min(j * c.every, rows - 1);
            const double level = job.picture->luminance(column, row);
            return base + relief * (c.invert ? 1 - level : level);
        };
        // Each cell's two triangles (corners 0 2 1 and 2 3 1) over the plane Z = 0.
        double volume = 0;
        for (int j = 0; j < down; ++j)
            for (int i = 0; i < across; ++i)
                volume += side * side / 6 * (z(i, j) + 2 * z(i, j + 1) + 2 * z(i + 1, j) + z(i + 1, j + 1));

        Point low{HUGE_VAL, HUGE_VAL, HUGE_VAL}, high{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
        double baseArea = 0, topLeft = 0, bottomRight = 0;
        std::set<float> heights;
        for (const Triangle& t : triangles) {
            for (const Point& p : t) {
                low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
                high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
                if (p.x == 0 && p.y == float(c.height))
                    topLeft = std::max(topLeft, p.z);
                if (p.x == float(width) && p.y == 0)
                    bottomRight = std::max(bottomRight, p.z);
                if (p.z > 0)
                    heights.insert(float(p.z));
            }
            if (t[0].z == 0 && t[1].z == 0 && t[2].z == 0) {
                EXPECT_LT(facingZ(t), 0);  // the base faces down
                baseArea -= facingZ(t) / 2;
            }
        }
        EXPECT_EQ(low.x, 0);
        EXPECT_EQ(low.y, 0);
        EXPECT_EQ(low.z, 0);
        EXPECT_FLOAT_EQ(high.x, width);
        EXPECT_FLOAT_EQ(high.y, c.height);
        EXPECT_FLOAT_EQ(high.z, float(z(c.invert ? 0 : across, c.invert ? 0 : down)));
        EXPECT_NEAR(baseArea, width * c.height, 1e-3);
        // The picture's top row at the largest Y: its black corner low, unless inverted.
        EXPECT_FLOAT_EQ(topLeft, float(z(0, 0)));
        EXPECT_FLOAT_EQ(bottomRight, float(z(across, down)));
        EXPECT_FLOAT_EQ(float(c.invert ? topLeft : bottomRight), float(c.every == 1 ? base + relief : z(across, down)));
        EXPECT_GT(heights.size(), 256u);
        expectSound(runOn("admesh", stl, ".stl"), volume);
    }
}

// The budget is the whole file's, walls and back included, in both meshes,
// and the solid stays closed; below what the outline, the walls and the
// back need, it is refused with that figure.
TEST(PartPlacement, ABudgetBoundsEveryTriangleOfTheFile)
{
    const ExportJob job = wholePictureJob(deepPicture(
        120, 90, [](int c, int r) { return 0.5 + 0.3 * std::sin(c / 4.0) * std::cos(r / 6.0) + 0.1 * ((c * 7 + r * 13) % 5) / 5; }));
    FormatOptions options = defaultOptions(format("stl").options, job);
    options.solid = true;
    options.partMaxTriangles = 1677;  // the outline's 418 and the closure's 1260, less one
    const std::optional<std::string> refused =
        checkOptions(format("stl"), job, walkGridSize(job.parameters, job.selection), options);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("au moins 1\u202F678."), std::string::npos) << *refused;
    for (const std::uint64_t budget : {1678u, 2500u, 6000u}) {
        SCOPED_TRACE(budget);
        options.partMaxTriangles = budget;
        EXPECT_FALSE(checkOptions(format("stl"), job, walkGridSize(job.parameters, job.selection), options));
        const std::string stl = writtenFile(format("stl"), job, options);
        const std::string obj = writtenFile(format("obj"), job, options);
        const std::vector<Triangle> triangles = stlTriangles(stl);
        EXPECT_LE(triangles.size(), budget);
        EXPECT_GE(triangles.size(), budget * 9 / 10);
        EXPECT_EQ(reported(runOn("assimp info", obj, ".obj", "-r"), "\nFaces"), triangles.size());
        const double volume = signedVolume(triangles);
        EXPECT_NEAR(signedVolume(readObj(obj).triangles), volume, volume * 1e-6);
        expectSound(runOn("admesh", stl, ".stl"), volume);
    }
}

// The options dialog's line: the part's size and the most triangles its file holds.
TEST(PartPlacement, SummaryGivesTheSizeAndTheTrianglesAtMost)
{
    const ExportJob job = wholePictureJob(std::make_shared<const Picture>(uniformPicture(400, 300, 0x808080)));
    const struct {
        bool solid;
        std::uint64_t every, budget;
        const char* said;
    } cases[] = {
        {true, 1, 200000, "Pièce : 150 × 112,5 × 12 mm · 200\u202F000 triangles au plus"},
        {false, 1, 0, "Pièce : 150 × 112,5 × 10 mm · 240\u202F000 triangles au plus"},
        {true, 4, defaultPartTriangles, "Pièce : 150 × 112,5 × 12 mm · 16\u202F050 triangles au plus"},
    };
    for (const auto& c : cases) {
        FormatOptions options = defaultOptions(format("stl").options, job);
        options.solid = c.solid, options.every = c.every, options.partMaxTriangles = c.budget;
        options.widthMm = 150, options.reliefMm = 10, options.baseMm = 2;
        EXPECT_EQ(partSummary(job, options), c.said);
    }
}
