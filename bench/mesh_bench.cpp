// One-piece mesh benchmark: STL and OBJ of a 1M-cell relief streamed to a
// file through the program's own file sink, beside the durable floor (the
// same bytes from memory written to that file and synced); and the surface
// simplified to 100 000 triangles.
//
//   mesh_bench [benchmark flags]
//   mesh_bench --peak-rss=stl|obj|simplify   one run, then the peak resident size

#include "export/obj_writer.h"
#include "export/stl_writer.h"
#include "export/surface_simplifier.h"
#include "platform/replacing_file_sink.h"
#include "platform/string_sink.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

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
    return writeMesh(*body, 0, out) && out.Close();
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
        const SimplifyResult result = simplifySurface(relief(specks), 100000);
        const auto& s = std::get<SimplifiedSurface>(result);
        gap = s.largestGap;
        triangles = s.triangles.size() / 3;
    }
    state.counters["triangles"] = static_cast<double>(triangles);
    state.counters["gap_m"] = gap;
}

int peakRss(const char* mode)
{
    relief();
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const long before = usage.ru_maxrss;
    if (std::strcmp(mode, "simplify") == 0) {
        simplifySurface(relief(), 100000);
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
