// One-piece mesh benchmark: STL and OBJ of a 1M-cell relief streamed to a
// file through the program's own file sink, beside the durable floor (the
// same bytes from memory written to that file and synced); and the surface
// simplified to 100 000 triangles.
//
//   mesh_bench [benchmark flags]
//   mesh_bench --peak-rss=stl|obj|simplify   one run, then the peak resident size
//   mesh_bench --simplify-table              the simplifiers side by side on a
//                                            1000 x 1000 grid, one process per run
//   mesh_bench --simplify-large=SIDE         SIDE x SIDE points to 0.1 % of the
//                                            relief's height, one process per picture

#include "export/obj_writer.h"
#include "export/stl_writer.h"
#include "export/surface_greedy.h"
#include "export/surface_quadtree.h"
#include "export/surface_simplifier.h"
#include "platform/replacing_file_sink.h"
#include "platform/string_sink.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <ctime>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace {

// 1066 x 933 cells at a step of 15 and a scale of 0.001: smooth shading,
// grain and 6 % specks (or none), depths of even gray levels over 255 times
// 0.5 m.
HeightGrid makeRelief(bool specks)
{
    HeightGrid g;
    std::mt19937 random(7);
    for (int c = 0; c <= 1066; ++c)
        g.xs.push_back(15.0 * c * 0.001);
    for (int r = 0; r <= 933; ++r)
        g.ys.push_back(15.0 * r * 0.001);
    for (int r = 0; r <= 933; ++r)
        for (int c = 0; c <= 1066; ++c) {
            int level = static_cast<int>(127 + 90 * std::sin(c * 0.01) * std::cos(r * 0.013)) +
                        static_cast<int>(random() % 13) - 6;
            if (random() % 100 < 6) {
                const int speck = static_cast<int>(random() % 255);
                if (specks)
                    level = speck;
            }
            g.depths.push_back((std::clamp(level, 0, 254) & ~1) / 255.0 * 0.5);
        }
    return g;
}

const HeightGrid& relief(bool specks = true)
{
    if (specks) {
        static const HeightGrid withSpecks = makeRelief(true);
        return withSpecks;
    }
    static const HeightGrid smooth = makeRelief(false);
    return smooth;
}

const MeshOptions solid{true, 0.05, 0, 0.5};

bool streamMesh(bool stl, ByteSink& sink)
{
    const HeightGrid& g = relief();
    TextOutput out(sink);
    const HeightGridPoints points(g);
    const std::unique_ptr<MeshBody> body =
        stl ? std::unique_ptr<MeshBody>(new StlBody(points, solid)) : std::make_unique<ObjBody>(points, solid);
    return writeMesh(*body, 0, out) && out.close();
}

std::string benchPath(const char* name)
{
    return (QDir::tempPath() + QStringLiteral("/orvanel-mesh-bench-%1-").arg(QCoreApplication::applicationPid()) +
            name)
        .toStdString();
}

void benchFile(benchmark::State& state, bool stl)
{
    const std::string path = benchPath(stl ? "a.stl" : "a.obj");
    ReplacingFileOpener files;
    for (auto _ : state) {
        std::string error;
        const std::unique_ptr<ByteSink> sink = files.open(path, error);
        if (!sink || !streamMesh(stl, *sink))
            state.SkipWithError("the export to a file failed");
    }
    state.counters["MB"] = QFile(QString::fromStdString(path)).size() / 1e6;
    QFile::remove(QString::fromStdString(path));
}

void benchFloor(benchmark::State& state, bool stl)
{
    StringSink memory;
    streamMesh(stl, memory);
    const std::string path = benchPath(stl ? "floor.stl" : "floor.obj");
    for (auto _ : state) {
        ReplacingFileSink sink;
        if (!sink.open(path) || !sink.write(memory.committed) || !sink.commit())
            state.SkipWithError("writing the file failed");
    }
    QFile::remove(QString::fromStdString(path));
}

void benchSimplify(benchmark::State& state, bool specks)
{
    double gap = 0;
    std::size_t triangles = 0;
    for (auto _ : state) {
        const SimplifyResult result = simplifySurface(relief(specks), {100000, 0.0});
        const auto& s = std::get<SimplifiedSurface>(result);
        gap = s.report.largestError;
        triangles = s.triangles.size() / 3;
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["gap_m"] = gap;
}

// The simplifiers' pictures, the same shape at any size: smooth shading (a
// smooth function, no gray-level steps), a fractal (octaves of interpolated
// random values down to the grid's step, each half the one before),
// gray-level noise, and a photograph's kind of relief as makeRelief gives
// it (shading, grain, 6 % specks, even gray levels); 0.5 m deep at most,
// points 1.5 cm apart.
enum class Picture { Smooth, Fractal, Noise, Specks };
const char* pictureName(Picture p)
{
    return p == Picture::Smooth ? "smooth" : p == Picture::Fractal ? "fractal" : p == Picture::Noise ? "noise" : "specks";
}

double latticeValue(std::uint64_t i, std::uint64_t j, std::uint64_t octave)
{
    std::uint64_t h = i * 0x9E3779B97F4A7C15u ^ (j + 0x632BE59BD9B4E019u) * 0xC2B2AE3D27D4EB4Fu ^
                      octave * 0x165667B19E3779F9u;
    h ^= h >> 31;
    h *= 0xBF58476D1CE4E5B9u;
    h ^= h >> 29;
    h *= 0x94D049BB133111EBu;
    h ^= h >> 32;
    return double(h >> 11) / double(std::uint64_t(1) << 53);
}

HeightGrid pictureGrid(Picture picture, std::size_t side)
{
    HeightGrid g;
    for (std::size_t i = 0; i < side; ++i) {
        g.xs.push_back(0.015 * double(i));
        g.ys.push_back(0.015 * double(i));
    }
    g.depths.resize(side * side);
    std::mt19937_64 random(17);
    std::vector<std::size_t> cells;
    for (std::size_t cell = side / 2; cell >= 1; cell /= 2)
        cells.push_back(cell);
    for (std::size_t r = 0; r < side; ++r) {
        double* row = &g.depths[r * side];
        const double v = double(r) / double(side - 1);
        for (std::size_t c = 0; c < side; ++c) {
            const double u = double(c) / double(side - 1);
            if (picture == Picture::Smooth) {
                row[c] = 0.25 + 0.1 * std::sin(6 * u + 1) * std::cos(5 * v) +
                         0.1 * std::exp(-20 * ((u - 0.3) * (u - 0.3) + (v - 0.6) * (v - 0.6)));
            } else if (picture == Picture::Noise) {
                row[c] = double(random() % 128) * 2 / 255.0 * 0.5;
            } else if (picture == Picture::Specks) {
                int level = static_cast<int>(127 + 90 * std::sin(double(c) * 0.01) * std::cos(double(r) * 0.013)) +
                            static_cast<int>(random() % 13) - 6;
                if (random() % 100 < 6)
                    level = static_cast<int>(random() % 255);
                row[c] = (std::clamp(level, 0, 254) & ~1) / 255.0 * 0.5;
            } else {
                double z = 0, amplitude = 0.25;
                for (std::size_t o = 0; o < cells.size(); ++o, amplitude /= 2) {
                    const std::size_t cell = cells[o], i = c / cell, j = r / cell;
                    const double fx = double(c % cell) / double(cell), fy = double(r % cell) / double(cell);
                    z += amplitude * ((latticeValue(i, j, o) * (1 - fx) + latticeValue(i + 1, j, o) * fx) * (1 - fy) +
                                      (latticeValue(i, j + 1, o) * (1 - fx) + latticeValue(i + 1, j + 1, o) * fx) * fy);
                }
                row[c] = z;
            }
        }
    }
    return g;
}

double reliefHeight(const HeightGrid& g)
{
    const auto [low, high] = std::minmax_element(g.depths.begin(), g.depths.end());
    return *high - *low;
}

long residentKb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

struct RunFigures {
    double triangles = 0, largest = 0, rms = 0, seconds = 0, cpuSeconds = 0, extraMb = 0, peakMb = 0, gridMb = 0,
           height = 0;
};

// One run in a child process of its own, so that its peak resident size is
// its own: the grid made there, then `run`.
RunFigures inChild(Picture picture, std::size_t side, const std::function<MeshReport(const HeightGrid&)>& run)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const HeightGrid g = pictureGrid(picture, side);
        const long before = residentKb();
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        const MeshReport report = run(g);
        RunFigures f;
        f.cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        struct rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        f.triangles = double(report.triangles);
        f.largest = report.largestError;
        f.rms = report.rmsError;
        f.extraMb = double(usage.ru_maxrss - before) / 1024;
        f.peakMb = double(usage.ru_maxrss) / 1024;
        f.gridMb = double(g.depths.size() * sizeof(double)) / (1024 * 1024);
        f.height = reliefHeight(g);
        const bool ok = write(channel[1], &f, sizeof f) == sizeof f;
        _exit(ok ? 0 : 1);
    }
    close(channel[1]);
    RunFigures f;
    const bool ok = read(channel[0], &f, sizeof f) == sizeof f;
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!ok)
        std::fprintf(stderr, "a run failed\n");
    return f;
}

MeshReport greedyRun(const HeightGrid& g, SimplifyLimits limits)
{
    const SimplifyResult result = simplifySurface(g, limits);
    return std::get<SimplifiedSurface>(result).report;
}

MeshReport greedyAlone(const HeightGrid& g, SimplifyLimits limits)
{
    return measureSurface(g, greedySurface(g, limits.maxTriangles, limits.maxError));
}

MeshReport quadtreeRun(const HeightGrid& g, std::uint64_t budget)
{
    return measureSurface(g, quadtreeSurface(g, budget));
}

// The quadtree has no error bound: the smallest budget found by bisection
// whose measured error is within it.
std::uint64_t quadtreeBudgetFor(Picture picture, std::size_t side, double bound)
{
    const HeightGrid g = pictureGrid(picture, side);
    std::uint64_t low = minimumSurfaceTriangles(side - 1, side - 1), high = surfaceTriangleCount(side - 1, side - 1);
    while (low < high) {
        const std::uint64_t middle = low + (high - low) / 2;
        if (measureSurface(g, quadtreeSurface(g, middle)).largestError <= bound)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void printRow(const char* picture, const std::string& limit, const char* simplifier, const RunFigures& f)
{
    std::printf("| %s | %s | %s | %.0f | %.3g | %.3g | %.3f | %.3f | %.1f |\n", picture, limit.c_str(), simplifier,
                f.triangles, f.largest * 1000, f.rms * 1000, f.seconds, f.cpuSeconds, f.extraMb);
    std::fflush(stdout);
}

int simplifyTable()
{
    const std::size_t side = 1000;
    std::printf("| picture | limit | simplifier | triangles | largest error (mm) | RMS error (mm) | time (s) | "
                "processor (s) | memory above the grid (MB) |\n|---|---|---|---:|---:|---:|---:|---:|---:|\n");
    for (Picture picture : {Picture::Smooth, Picture::Fractal, Picture::Noise, Picture::Specks}) {
        const char* name = pictureName(picture);
        for (std::uint64_t budget : {10000u, 100000u, 1000000u}) {
            const std::string limit = std::to_string(budget / 1000) + "k triangles";
            printRow(name, limit, "quadtree",
                     inChild(picture, side, [&](const HeightGrid& g) { return quadtreeRun(g, budget); }));
            printRow(name, limit, "greedy",
                     inChild(picture, side, [&](const HeightGrid& g) { return greedyAlone(g, {budget, 0}); }));
            printRow(name, limit, "kept (the better)",
                     inChild(picture, side, [&](const HeightGrid& g) { return greedyRun(g, {budget, 0}); }));
        }
        const double height = reliefHeight(pictureGrid(picture, side));
        for (double share : {0.01, 0.003, 0.001}) {
            const double bound = share * height;
            char limit[64];
            std::snprintf(limit, sizeof limit, "%.1f %% (%.3g mm)", share * 100, bound * 1000);
            const std::uint64_t budget = quadtreeBudgetFor(picture, side, bound);
            printRow(name, limit, "quadtree",
                     inChild(picture, side, [&](const HeightGrid& g) { return quadtreeRun(g, budget); }));
            printRow(name, limit, "greedy",
                     inChild(picture, side, [&](const HeightGrid& g) { return greedyRun(g, {0, bound}); }));
        }
    }
    return 0;
}

int simplifyLarge(std::size_t side)
{
    std::printf("| picture | points | bound (mm) | triangles | largest error (mm) | RMS error (mm) | time (s) | "
                "processor (s) | grid (MB) | peak resident (MB) | peak / grid |\n"
                "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (Picture picture : {Picture::Smooth, Picture::Fractal}) {
        const RunFigures f =
            inChild(picture, side, [](const HeightGrid& g) { return greedyRun(g, {0, 0.001 * reliefHeight(g)}); });
        std::printf("| %s | %zu x %zu | %.3g | %.0f | %.3g | %.3g | %.2f | %.2f | %.0f | %.0f | %.2f |\n",
                    pictureName(picture), side, side, 0.001 * f.height * 1000, f.triangles, f.largest * 1000,
                    f.rms * 1000, f.seconds, f.cpuSeconds, f.gridMb, f.peakMb, f.peakMb / f.gridMb);
        std::fflush(stdout);
    }
    return 0;
}

int peakRss(const char* mode)
{
    relief();
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const long before = usage.ru_maxrss;
    if (std::strcmp(mode, "simplify") == 0) {
        simplifySurface(relief(), {100000, 0.0});
    } else {
        ReplacingFileOpener files;
        std::string error;
        const std::string path = benchPath("rss");
        const std::unique_ptr<ByteSink> sink = files.open(path, error);
        if (!sink || !streamMesh(std::strcmp(mode, "stl") == 0, *sink))
            return 1;
        QFile::remove(QString::fromStdString(path));
    }
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s: peak RSS %ld kB, grid alone %ld kB, %.1f bytes per grid point above the grid\n", mode,
                usage.ru_maxrss, before, (usage.ru_maxrss - before) * 1024.0 / relief().depths.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--peak-rss=", 11) == 0)
            return peakRss(argv[i] + 11);
        else if (std::strcmp(argv[i], "--simplify-table") == 0)
            return simplifyTable();
        else if (std::strncmp(argv[i], "--simplify-large=", 17) == 0)
            return simplifyLarge(std::strtoul(argv[i] + 17, nullptr, 10));
    benchmark::RegisterBenchmark("stl/1M/file", benchFile, true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("stl/1M/floor", benchFloor, true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("obj/1M/file", benchFile, false)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("obj/1M/floor", benchFloor, false)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("simplify/1M/100k", benchSimplify, true)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("simplify/1M/100k/nospecks", benchSimplify, false)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
