#pragma once

// The benchmark's workloads: a deterministic noisy picture, the selections
// walked over it, and the headless stage writing into a sink.

#include "platform/byte_sink.h"
#include "platform/picture.h"
#include "relief/format_entry.h"

#include <cstdint>
#include <string>
#include <vector>

// 1000 x 1000 pixels: smooth shading, grain and scattered bright and dark
// specks, from a fixed seed, so that the spike filter fires now and then.
const Picture& noisyPicture();
// The same kind of picture at any size.
Picture makeNoisyPicture(int width, int height);

struct Workload {
    const char* name;  // "70k" or "1M"
    float width;       // selection size in window units, from the top-left corner
    float height;
};

inline constexpr Workload workloads[] = {
    {"70k", 4000.0f, 4000.0f},     // 266 x 266 cells at step 15
    {"1M", 16000.0f, 14000.0f},    // 1066 x 933 cells at step 15
};

struct Format {
    const char* name;  // the format's id: "ascii", "vrml1", "vrml2"
    const FormatEntry* entry;
};

// The registered text formats, in the menu's order.
const std::vector<Format>& benchFormats();

// The fields as the window shows them by default, the step set to 15.
FieldTexts benchFields(const char* step = "15");
EdgeLines benchLines(const Workload& workload);

// Parameters and selection of a workload, read as an export reads them.
struct Job {
    const FormatEntry* format;
    ExportParameters parameters;
    Selection selection;
};
Job makeJob(const Format& format, const Workload& workload);
Job makeJob(const Format& format, const FieldTexts& fields, const EdgeLines& lines);

std::int64_t cellCount(const Job& job);

// The options the figures were taken with: the one-piece formats in the
// VRML files' frame, on the walk's grid.
inline FormatOptions walkedOptions()
{
    FormatOptions options;
    options.placement = Placement::VrmlFrame;
    return options;
}

// The headless stage: the walk and the exporter into `sink` through the
// text stream, formatted on `threads` threads (0: one per core), with an
// event loop that never stops it and a "Scan" window that draws nothing.
// Returns false when the walk or the stream failed.
bool runStage(const Job& job, ByteSink& sink, unsigned threads = 0, const FormatOptions& options = walkedOptions());

// A sink that drops every byte but counts them.
class DiscardSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        bytes_ += bytes.size();
        return true;
    }
    bool commit() override { return true; }
    std::string errorText() const override { return {}; }
    std::uint64_t bytes() const { return bytes_; }

private:
    std::uint64_t bytes_ = 0;
};

// A file in the system's temporary folder for the benchmark's output.
std::string benchFilePath(const std::string& name);
