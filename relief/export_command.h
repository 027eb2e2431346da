#pragma once

#include "export_preflight.h"
#include "format_entry.h"
#include "platform/byte_sink.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/export_windows.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

enum class ExportOutcome {
    Written,    // the file is complete and committed
    Cancelled,  // the user said no to a question or a dialog: nothing happened
    Refused,    // the parameters or options cannot be exported: the user was told
    Failed,     // the file could not be written: nothing replaced
    Abandoned,  // stopped on request: nothing written
};

struct ExportResult {
    ExportOutcome outcome = ExportOutcome::Written;
    // For Failed: the system's reason; for Refused after the walk: the whole French message.
    std::string reason;
    std::vector<std::string> notes;  // for Written: lines for the completion message
    std::optional<MeshFacts> mesh{};  // for Written: what a mesh export measured
};

// Writes the job's file into the sink, committing it only once whole: the
// format's writer gets the walk's cells, or formats bands of rows on the
// job's threads; `progress` gets a dot per cell as its band is written, and
// `events` is asked once per cell (and while a band is awaited) whether to
// go on; `work` sees what takes long after the walk.
ExportResult writeExport(const FormatEntry& format, const ExportJob& job, const FormatOptions& options,
                         ByteSink& sink, EventLoop& events, CellProgress& progress, LongWork& work);

// Long work that never stops and shows nothing.
class SilentWork : public LongWork {
public:
    void start(const std::string&) override {}
    bool keepGoing() override { return true; }
    void finish() override {}
};
