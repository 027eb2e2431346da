// Preview benchmark: the time from a new height grid (a field change) to
// its frame, thinning included, for 10 000, 250 000 and 4 000 000 points,
// and the frames per second while orbiting a 250 000-point relief. Frames
// are 800 x 600, the window's usual view, seen from three quarters.
//
//   preview_bench [benchmark flags]

#include "preview/grid_thinning.h"
#include "preview/relief_renderer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

namespace {

const QSize frameSize(800, 600);

// A square grid of about `points` points 15 mm apart (a step of 15 at the
// default scale), 0.5 m deep at most:
// broad waves with a fine grain, like a photograph's shading.
HeightGrid reliefOf(std::int64_t points)
{
    const int side = static_cast<int>(std::lround(std::sqrt(double(points))));
    HeightGrid grid;
    for (int i = 0; i < side; ++i) {
        grid.xs.push_back(i * 0.015);
        grid.ys.push_back(i * 0.015);
    }
    std::uint32_t seed = 12345;
    grid.depths.reserve(std::size_t(side) * side);
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double wave = 0.5 + 0.4 * std::sin(c * 12.0 / side) * std::cos(r * 9.0 / side);
            grid.depths.push_back(0.5 * std::clamp(wave + (seed >> 24) / 2550.0, 0.0, 1.0));
        }
    }
    return grid;
}

void BM_FieldChangeToFrame(benchmark::State& state)
{
    const HeightGrid grid = reliefOf(state.range(0));
    std::size_t drawn = 0;
    for (auto _ : state) {
        const ThinnedGrid shown = thinGrid(grid);
        const QImage frame = renderRelief(shown.grid, PreviewCamera::threeQuarter(), frameSize);
        benchmark::DoNotOptimize(frame.constBits());
        drawn = shown.grid.depths.size();
    }
    state.counters["points"] = double(grid.depths.size());
    state.counters["drawn"] = double(drawn);
}
BENCHMARK(BM_FieldChangeToFrame)
    ->Arg(10000)
    ->Arg(250000)
    ->Arg(4000000)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_Orbit(benchmark::State& state)
{
    const HeightGrid grid = reliefOf(state.range(0));
    PreviewCamera camera = PreviewCamera::threeQuarter();
    for (auto _ : state) {
        camera.orbit({5, 1});
        const QImage frame = renderRelief(grid, camera, frameSize);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["fps"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Orbit)->Arg(250000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
