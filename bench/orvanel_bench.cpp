// Export benchmark: the headless stage with each exporter writing to a
// discarding sink, to a real file through the program's own file sink, and the I/O
// floor (the same bytes written from memory to that file in one write,
// through the same sink, so with the same sync to disk on commit), and a
// plain floor (one fwrite to a plain file, no sync); and the same exports
// run through the main window's menu on the offscreen platform.
//
//   orvanel_bench [benchmark flags]       bytes check, then the benchmarks
//   orvanel_bench --check-only            bytes check alone
//   orvanel_bench --peak-rss=FORMAT/LOAD  one export to a file, then its peak RSS
//   orvanel_bench --threads               bytes check, then formatting on 1 to 8 threads
//
// Before anything is timed, every output of the stage is compared byte for
// byte with the plain per-corner formatting (reference_export.h); the run
// stops at the first difference.

#include "bench_workloads.h"
#include "export/standard_formats.h"
#include "support/reference_export.h"

#include "platform/replacing_file_sink.h"
#include "relief/format_registry.h"
#include "platform/string_sink.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#ifdef ORVANEL_BENCH_WINDOW
#include "window_bench.h"

#include <QApplication>
#endif

#include <sys/resource.h>

#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Bytes check

struct CheckCase {
    std::string name;
    Job job;
};

std::vector<CheckCase> checkCases()
{
    std::vector<CheckCase> cases;
    for (const Format& f : benchFormats()) {
        for (const Workload& w : workloads)
            cases.push_back({std::string(f.name) + "/" + w.name, makeJob(f, w)});
        // Awkward numbers: long texts, cut Y texts, negative depths and
        // positions, reversed lines, steps that are not whole numbers,
        // large and tiny scales.
        const struct {
            const char* name;
            FieldTexts fields;
            EdgeLines lines;
        } odd[] = {
            {"worked", {"-0.5", "0.0001234", "10"}, {3011.5f, 1001.25f, 2011.0f, 1001.0f}},
            {"reversed", {"0.37", "0.003", "7.3"}, {-200.0f, 1500.0f, 900.0f, -120.5f}},
            {"large", {"123456.789", "1e6", "33.3"}, {16000.0f, 0.0f, 0.0f, 2000.0f}},
            {"tiny", {"1e-7", "1e-9", "15"}, {2000.0f, 10.0f, 2000.0f, 10.0f}},
            {"whole", {"2", "1", "50"}, {16000.0f, 0.0f, 15000.0f, 0.0f}},
        };
        for (const auto& o : odd)
            cases.push_back({std::string(f.name) + "/" + o.name, makeJob(f, o.fields, o.lines)});
    }
    return cases;
}

bool checkBytes()
{
    // Formatted on one thread, two, and more threads than bands of some cases.
    for (const CheckCase& c : checkCases()) {
        const std::string expected =
            referenceExport(*textFormatPieces(c.job.format->id), c.job.parameters, c.job.selection, noisyPicture());
        for (unsigned threads : {1u, 2u, 7u}) {
            StringSink sink;
            if (!runStage(c.job, sink, threads)) {
                std::fprintf(stderr, "bytes check %s: the stage failed\n", c.name.c_str());
                return false;
            }
            const std::string& got = sink.committed;
            if (got != expected) {
                std::size_t at = 0;
                while (at < got.size() && at < expected.size() && got[at] == expected[at])
                    ++at;
                const std::size_t from = at < 60 ? 0 : at - 60;
                std::fprintf(stderr,
                             "bytes check %s, %u threads: FAILED at byte %zu (sizes %zu, expected %zu)\n"
                             "  got:      ...%s\n  expected: ...%s\n",
                             c.name.c_str(), threads, at, got.size(), expected.size(), got.substr(from, 120).c_str(),
                             expected.substr(from, 120).c_str());
                return false;
            }
        }
        std::printf("bytes check %-16s %10lld cells %12zu bytes  identical on 1, 2 and 7 threads\n", c.name.c_str(),
                    static_cast<long long>(cellCount(c.job)), expected.size());
    }
#ifdef ORVANEL_BENCH_WINDOW
    for (const Format& f : benchFormats()) {
        for (const Workload& w : workloads) {
            const std::string name = std::string("window/") + f.name + "/" + w.name;
            prepareWindow(w);
            const EdgeLines lines = windowSelection();
            const EdgeLines wanted = benchLines(w);
            if (lines.rightEdge != wanted.rightEdge || lines.leftEdge != wanted.leftEdge ||
                lines.bottomEdge != wanted.bottomEdge || lines.topEdge != wanted.topEdge) {
                std::fprintf(stderr, "bytes check %s: the window's selection is not the workload's\n", name.c_str());
                return false;
            }
            const std::string path = benchFilePath(std::string(f.name) + "-" + w.name + "-window");
            const bool written = exportFromWindow(f, path);
            QFile file(QString::fromStdString(path));
            const std::string got = written && file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "";
            file.close();
            QFile::remove(QString::fromStdString(path));
            const Job job = makeJob(f, w);
            if (!written ||
                got != referenceExport(*textFormatPieces(job.format->id), job.parameters, job.selection, noisyPicture())) {
                std::fprintf(stderr, "bytes check %s: FAILED (%s)\n", name.c_str(),
                             written ? "the bytes differ" : "no completion message");
                return false;
            }
            std::printf("bytes check %-16s %10lld cells %12zu bytes  identical\n", name.c_str(),
                        static_cast<long long>(cellCount(job)), got.size());
        }
    }
#endif
    return true;
}

// ---------------------------------------------------------------------------
// Benchmarks

void setCounters(benchmark::State& state, std::int64_t cells, std::uint64_t bytes)
{
    using benchmark::Counter;
    state.counters["cells"] = Counter(static_cast<double>(cells));
    state.counters["cells/s"] = Counter(static_cast<double>(cells), Counter::kIsIterationInvariantRate);
    state.counters["MB/s"] = Counter(static_cast<double>(bytes) / 1e6, Counter::kIsIterationInvariantRate);
}

void benchDiscard(benchmark::State& state, const Format* f, const Workload* w)
{
    const Job job = makeJob(*f, *w);
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        DiscardSink sink;
        if (!runStage(job, sink))
            state.SkipWithError("the stage failed");
        bytes = sink.bytes();
    }
    setCounters(state, cellCount(job), bytes);
}

void benchFile(benchmark::State& state, const Format* f, const Workload* w)
{
    const Job job = makeJob(*f, *w);
    const std::string path = benchFilePath(std::string(f->name) + "-" + w->name);
    ReplacingFileOpener files;  // the program's own: a replacing file written from a thread of its own
    for (auto _ : state) {
        std::string error;
        const std::unique_ptr<ByteSink> sink = files.open(path, error);
        if (!sink || !runStage(job, *sink))
            state.SkipWithError("the export to a file failed");
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(QFile(QString::fromStdString(path)).size());
    QFile::remove(QString::fromStdString(path));
    setCounters(state, cellCount(job), bytes);
}

// The bytes an export writes, held in memory.
std::string stageBytes(const Job& job)
{
    StringSink memory;
    runStage(job, memory);
    return std::move(memory.committed);
}

void benchFloor(benchmark::State& state, const Format* f, const Workload* w)
{
    const Job job = makeJob(*f, *w);
    const std::string bytes = stageBytes(job);
    const std::string path = benchFilePath(std::string(f->name) + "-" + w->name);
    for (auto _ : state) {
        ReplacingFileSink sink;
        if (!sink.open(path) || !sink.write(bytes) || !sink.commit())
            state.SkipWithError("writing the file failed");
    }
    QFile::remove(QString::fromStdString(path));
    setCounters(state, cellCount(job), bytes.size());
}

#ifdef ORVANEL_BENCH_WINDOW
// The whole export from the main window's menu, to the same file.
void benchWindow(benchmark::State& state, const Format* f, const Workload* w)
{
    prepareWindow(*w);
    const Job job = makeJob(*f, *w);
    const std::string path = benchFilePath(std::string(f->name) + "-" + w->name);
    for (auto _ : state) {
        if (!exportFromWindow(*f, path))
            state.SkipWithError("the export from the window failed");
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(QFile(QString::fromStdString(path)).size());
    QFile::remove(QString::fromStdString(path));
    setCounters(state, cellCount(job), bytes);
}
#endif

// The floor without the replacing file sink: a plain file written with one
// buffered write and closed, no sync to disk. Shows what the page cache
// alone costs.
void benchPlainFloor(benchmark::State& state, const Format* f, const Workload* w)
{
    const Job job = makeJob(*f, *w);
    const std::string bytes = stageBytes(job);
    const std::string path = benchFilePath(std::string(f->name) + "-" + w->name + "-plain");
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0)
            state.SkipWithError("writing the file failed");
    }
    std::remove(path.c_str());
    setCounters(state, cellCount(job), bytes.size());
}

// Collects each benchmark's real time (the median when repeated) for the
// ratio table printed after the run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const std::string& name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[name] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                auto& [sum, count] = singles_[name];
                sum += run.GetAdjustedRealTime();
                ++count;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    double milliseconds(const std::string& name) const
    {
        if (auto m = medians_.find(name); m != medians_.end())
            return m->second;
        if (auto s = singles_.find(name); s != singles_.end())
            return s->second.first / s->second.second;
        return 0;
    }

private:
    std::map<std::string, double> medians_;
    std::map<std::string, std::pair<double, int>> singles_;
};

std::string benchName(const char* kind, const Format& f, const Workload& w)
{
    return std::string(kind) + "/" + f.name + "/" + w.name;
}

void registerBenchmarks()
{
    // Side by side: for each workload and format, discard, file and floor.
    for (const Workload& w : workloads) {
        const bool large = std::strcmp(w.name, "1M") == 0;
        for (const Format& f : benchFormats()) {
            std::vector<std::pair<const char*, void (*)(benchmark::State&, const Format*, const Workload*)>> kinds{
                {"discard", &benchDiscard}, {"file", &benchFile}, {"floor", &benchFloor},
                {"plainfloor", &benchPlainFloor}};
#ifdef ORVANEL_BENCH_WINDOW
            kinds.insert(kinds.begin() + 2, {"window", &benchWindow});
#endif
            for (auto [kind, fn] : kinds) {
                auto* b = benchmark::RegisterBenchmark(benchName(kind, f, w).c_str(), fn, &f, &w);
                b->UseRealTime()->Unit(benchmark::kMillisecond);
                if (large)
                    b->Iterations(2);
                else
                    b->MinTime(0.5);
            }
        }
    }
}

void printRatios(const RatioReporter& r)
{
    std::printf("\n%-6s %-5s %11s %11s %11s %11s %11s %13s %13s %14s\n", "format", "load", "discard ms",
                "file ms", "floor ms", "plain ms", "window ms", "file / floor", "file / plain", "window / file");
    for (const Workload& w : workloads) {
        for (const Format& f : benchFormats()) {
            const double discard = r.milliseconds(benchName("discard", f, w));
            const double file = r.milliseconds(benchName("file", f, w));
            const double floor = r.milliseconds(benchName("floor", f, w));
            const double plain = r.milliseconds(benchName("plainfloor", f, w));
            const double window = r.milliseconds(benchName("window", f, w));
            std::printf("%-6s %-5s %11.2f %11.2f %11.2f %11.2f %11.2f %13.2f %13.2f %14.2f\n", f.name, w.name,
                        discard, file, floor, plain, window, floor > 0 ? file / floor : 0.0,
                        plain > 0 ? file / plain : 0.0, file > 0 && window > 0 ? window / file : 0.0);
        }
    }
}

// ---------------------------------------------------------------------------
// Formatting alone on 1 to 8 threads: every format of the registry (the
// meshes as solids) at 1M cells into a discarding sink, best of 5 in real
// time, with the processor time of all the threads beside it.

double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// What the machine gives at the moment: the same arithmetic on one thread
// and on two, as a ratio (2.00 on two idle cores); other work on a shared
// machine takes its part.
double coresAvailable()
{
    const auto spin = [](unsigned threads) {
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> workers;
        for (unsigned t = 0; t < threads; ++t)
            workers.emplace_back([] {
                volatile double x = 0;
                for (long i = 0; i < 100000000; ++i)
                    x = x + 1;
            });
        for (std::thread& w : workers)
            w.join();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    return 2 * spin(1) / spin(2);
}

// The thread counts take turns within each repetition, so that a quiet
// moment of the machine falls to any of them alike.
int threadCurve()
{
    const Workload& load = workloads[1];
    constexpr unsigned most = 8;
    constexpr int repetitions = 7;
    std::printf("cores available (two threads of arithmetic against one): %.2f\n", coresAvailable());
    std::printf("%-6s %7s %10s %10s %8s\n", "format", "threads", "real ms", "cpu ms", "speed-up");
    for (const FormatEntry& entry : formatRegistry().all()) {
        const Job job = makeJob(Format{entry.id.data(), &entry}, load);
        FormatOptions options = walkedOptions();
        options.solid = !textFormatPieces(entry.id);
        options.base = 0.01;
        double best[most + 1] = {}, cpu[most + 1] = {};
        for (int run = 0; run < repetitions; ++run) {
            for (unsigned threads = 1; threads <= most; ++threads) {
                DiscardSink sink;
                const double cpuBefore = processorSeconds();
                const auto start = std::chrono::steady_clock::now();
                if (!runStage(job, sink, threads, options))
                    return 1;
                const double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
                if (run == 0 || ms < best[threads]) {
                    best[threads] = ms;
                    cpu[threads] = 1000 * (processorSeconds() - cpuBefore);
                }
            }
        }
        for (unsigned threads = 1; threads <= most; ++threads)
            std::printf("%-6s %7u %10.1f %10.1f %8.2f\n", entry.id.data(), threads, best[threads], cpu[threads],
                        best[1] / best[threads]);
        std::fflush(stdout);
    }
    std::printf("cores available at the end: %.2f\n", coresAvailable());
    return 0;
}

// ---------------------------------------------------------------------------
// Peak memory of one export, run alone in its process.

int peakRss(const std::string& which)
{
    const Format* format = nullptr;
    const Workload* workload = nullptr;
    for (const Format& f : benchFormats())
        for (const Workload& w : workloads)
            if (which == std::string(f.name) + "/" + w.name) {
                format = &f;
                workload = &w;
            }
    if (!format) {
        std::fprintf(stderr, "unknown workload %s (FORMAT/LOAD, e.g. ascii/1M)\n", which.c_str());
        return 2;
    }
    const Job job = makeJob(*format, *workload);
    const std::string path = benchFilePath(std::string(format->name) + "-" + workload->name + "-rss");
    bool ok;
    {
        ReplacingFileOpener files;
        std::string error;
        const std::unique_ptr<ByteSink> sink = files.open(path, error);
        ok = sink && runStage(job, *sink);
    }
    const auto bytes = QFile(QString::fromStdString(path)).size();
    QFile::remove(QString::fromStdString(path));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s %lld cells %lld bytes peak RSS %ld kB\n", which.c_str(), static_cast<long long>(cellCount(job)),
                static_cast<long long>(bytes), usage.ru_maxrss);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef ORVANEL_BENCH_WINDOW
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
#else
    QCoreApplication app(argc, argv);
#endif
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--peak-rss=", 0) == 0)
            return peakRss(arg.substr(std::strlen("--peak-rss=")));
        if (arg == "--check-only")
            return checkBytes() ? 0 : 1;
        if (arg == "--threads")
            return checkBytes() ? threadCurve() : 1;
    }

    if (!checkBytes()) {
        std::fprintf(stderr, "The outputs differ from the plain formatting: nothing is timed.\n");
        return 1;
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerBenchmarks();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printRatios(reporter);
    return 0;
}
