#include "bench_workloads.h"

#include "platform/event_loop.h"
#include "platform/export_windows.h"
#include "relief/export_command.h"
#include "export/standard_formats.h"

#include <QCoreApplication>
#include <QDir>

#include <cmath>
#include <vector>

namespace {

// xorshift64*: small, fast and the same on every machine.
struct Noise {
    std::uint64_t state;
    std::uint32_t next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<std::uint32_t>((state * 0x2545F4914F6CDD1DULL) >> 32);
    }
};

struct NoStop : EventLoop {
    bool yield() override { return true; }
};

struct NoDots : CellProgress {
    void dot(double, double) override {}
};

}  // namespace

const std::vector<Format>& benchFormats()
{
    static const std::vector<Format> formats = [] {
        std::vector<Format> list;
        for (const FormatEntry& entry : formatRegistry().all())
            if (textFormatPieces(entry.id))
                list.push_back({entry.id.data(), &entry});
        return list;
    }();
    return formats;
}

Picture makeNoisyPicture(int width, int height)
{
    Noise noise{0x9E3779B97F4A7C15ULL};
    std::vector<std::uint32_t> colours(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            const double shade = 127.5 + 90.0 * std::sin(column * 0.013) * std::cos(row * 0.021);
            int red = static_cast<int>(shade) + static_cast<int>(noise.next() % 61) - 30;
            const std::uint32_t speck = noise.next() % 100;
            if (speck < 3)
                red = 255;  // bright speck
            else if (speck < 6)
                red = 0;  // dark speck
            red = red < 0 ? 0 : red > 255 ? 255 : red;
            const std::uint32_t greenBlue = noise.next() & 0xFFFF00u;
            colours[static_cast<std::size_t>(row) * width + column] = static_cast<std::uint32_t>(red) | greenBlue;
        }
    }
    return Picture(width, height, std::move(colours));
}

const Picture& noisyPicture()
{
    static const Picture picture = makeNoisyPicture(1000, 1000);
    return picture;
}

FieldTexts benchFields(const char* step) { return FieldTexts{"0.5", "0.001 ", step}; }

EdgeLines benchLines(const Workload& w)
{
    EdgeLines lines;
    lines.leftEdge = 0;
    lines.rightEdge = w.width;
    lines.topEdge = 0;
    lines.bottomEdge = w.height;
    return lines;
}

Job makeJob(const Format& format, const FieldTexts& fields, const EdgeLines& lines)
{
    const FormatEntry& f = *format.entry;
    return Job{&f, readParameters(fields, f.depthFloor).parameters, selectionFromLines(lines)};
}

Job makeJob(const Format& format, const Workload& workload)
{
    return makeJob(format, benchFields(), benchLines(workload));
}

std::int64_t cellCount(const Job& job)
{
    return static_cast<std::int64_t>(walkCellCount(job.parameters, job.selection));
}

bool runStage(const Job& job, ByteSink& sink, unsigned threads, const FormatOptions& options)
{
    NoStop events;
    NoDots dots;
    static const auto picture = std::make_shared<const Picture>(noisyPicture());
    const ExportJob exportJob{job.parameters, job.selection, picture, threads};
    SilentWork work;
    return writeExport(*job.format, exportJob, options, sink, events, dots, work).outcome == ExportOutcome::Written;
}

std::string benchFilePath(const std::string& name)
{
    return (QDir::tempPath() + QStringLiteral("/orvanel-bench-%1-").arg(QCoreApplication::applicationPid()) +
            QString::fromStdString(name) + QStringLiteral(".out"))
        .toStdString();
}
