// The STEP export's time, peak memory (beside its estimate), file size and
// the surface's swing beyond the relief between the points, on reliefs of
// 10 000, 100 000 and 1 000 000 points, exact and with a tolerance of 1 % of
// the depth. Each case runs in a child process of its own, so that its peak
// resident size is its own; a case still running after the time limit is
// ended and reported as such.
//
//     step_bench [seconds per case, default 600]

#include "step/step_job.h"
#include "step/step_memory.h"
#include "step/step_size.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace {

constexpr double maxDepth = 0.5;

// A picture's relief: broad shading, finer ridges and a grain of a few
// percent of the depth, from a fixed hash so that every run is the same.
HeightGrid pictureRelief(int side, bool grainy)
{
    HeightGrid grid;
    const double step = 15 * 0.001;  // the default step and scale
    for (int i = 0; i < side; ++i) {
        grid.xs.push_back(i * step);
        grid.ys.push_back(i * step);
    }
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const double u = double(c) / side, v = double(r) / side;
            std::uint32_t h = std::uint32_t(r) * 73856093u ^ std::uint32_t(c) * 19349663u;
            h = (h ^ (h >> 13)) * 0x5bd1e995u;
            const double grain = grainy ? (double(h >> 8 & 0xffff) / 65535.0 - 0.5) * 0.04 : 0.0;
            const double shade = 0.5 + 0.3 * std::sin(6.0 * u) * std::cos(4.0 * v) + 0.1 * std::sin(40.0 * u + 30.0 * v);
            grid.depths.push_back(maxDepth * std::min(1.0, std::max(0.0, shade + grain)));
        }
    return grid;
}

class FileSink : public ByteSink {
public:
    explicit FileSink(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
    ~FileSink() override
    {
        if (file_)
            std::fclose(file_);
    }
    bool write(std::string_view bytes) override { return file_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size(); }
    bool commit() override { return file_ && std::fflush(file_) == 0; }
    std::string errorText() const override { return {}; }

private:
    std::FILE* file_;
};

struct Case {
    int side;
    bool solid;
    double tolerance;
    bool grainy = true;
};

// In the child: one export, its line of figures on stdout.
int runCase(const Case& c)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("orvanel_step_bench_" + std::to_string(getpid()) + ".step")).string();
    HeightGrid grid = pictureRelief(c.side, c.grainy);
    const StepSizeEstimate estimate = estimateStepSize(grid.xs.size(), grid.ys.size(), {c.solid, 0.05, c.tolerance, maxDepth});
    const StepMemoryEstimate memory = estimateStepMemory(grid.xs.size(), grid.ys.size(), {c.solid, 0.05, c.tolerance, maxDepth});
    const auto start = std::chrono::steady_clock::now();
    StepJob job(std::move(grid), {c.solid, 0.05, c.tolerance, maxDepth}, std::make_unique<FileSink>(path));
    job.start();
    while (!job.waitFor(std::chrono::seconds(1))) {
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const StepResult result = job.result();
    long long bytes = -1;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fseek(f, 0, SEEK_END);
        bytes = std::ftell(f);
        std::fclose(f);
    }
    std::remove(path.c_str());
    std::printf("%9.2f s  %9.1f MB  typical %7.1f MB  upper %7.1f MB  deviation %.3g m  overshoot %.3g m%s%s", seconds,
                bytes / 1e6, estimate.typicalBytes / 1e6, estimate.upperBytes / 1e6, result.deviation, result.overshoot,
                result.approximated ? " (approximation)" : "", result.toleranceMissed ? " (tolerance missed: exact)" : "");
    std::printf("  memory estimate %.0f MB", memory.bytes / 1e6);
    std::fflush(stdout);
    return result.status == StepStatus::Written ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const int limit = argc > 1 ? std::atoi(argv[1]) : 600;
    const Case cases[] = {
        {100, false, 0}, {100, false, 0.01 * maxDepth}, {100, true, 0},
        {316, false, 0}, {316, false, 0.01 * maxDepth}, {316, true, 0},
        {1000, false, 0}, {1000, false, 0.01 * maxDepth}, {1000, true, 0},
        // Without the grain, where the approximation pays.
        {100, false, 0.01 * maxDepth, false}, {316, false, 0.01 * maxDepth, false}, {1000, false, 0.01 * maxDepth, false},
    };
    std::printf("points     relief  shape  tolerance       time       file  estimates                               peak\n");
    for (const Case& c : cases) {
        std::printf("%9d  %-6s  %-5s  %-9s ", c.side * c.side, c.grainy ? "grainy" : "smooth", c.solid ? "solid" : "face", c.tolerance > 0 ? "1 %" : "exact");
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0)
            std::_Exit(runCase(c));
        int status = 0;
        rusage usage{};
        const auto start = std::chrono::steady_clock::now();
        while (wait4(child, &status, WNOHANG, &usage) == 0) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(limit)) {
                kill(child, SIGKILL);
                wait4(child, &status, 0, &usage);
                std::printf("  stopped after %d s", limit);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        std::printf("  peak %ld MB\n", usage.ru_maxrss / 1024);
        std::fflush(stdout);
    }
}
