#pragma once

#include "export_parameters.h"
#include "format_entry.h"
#include "platform/byte_sink.h"
#include "platform/event_loop.h"
#include "platform/picture.h"
#include "platform/scan_window.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What an export command reads when it starts: the fields' texts, the edge
// lines and the picture shown (null when none is).
struct ExportRequest {
    FieldTexts fields;
    EdgeLines lines;
    std::shared_ptr<const Picture> picture;
};

// An export read and checked before anything is asked or written.
struct PreparedExport {
    ExportJob job;
    GridSize grid;
    // The export cannot be made (a number too large, a step that never
    // moves...): a French message; nothing is to be asked or written.
    std::optional<std::string> refusal;
    // Reasons to ask the user first, in French: a field that reads otherwise
    // than it looks, a selection without a cell, no picture.
    std::vector<std::string> doubts;
    // The maximum depth as read when the format's floor raised it.
    std::optional<double> depthBeforeFloor;
};

PreparedExport prepareExport(const FormatEntry& format, const ExportRequest& request);

// The job a request describes, read with the format's depth floor (none:
// as typed), with the reason it cannot be walked, if any.
ExportJob readJob(const ExportRequest& request, std::optional<double> depthFloor,
                  std::optional<std::string>& refusal);

// A closed solid needs a base thicker than 0: the French refusal otherwise.
std::optional<std::string> solidBaseProblem(const FormatOptions& options);

// One French sentence for each field whose text reads otherwise than it
// looks (the scale, the depth, the step, in that order).
std::vector<std::string> fieldDoubts(const FieldTexts& fields);

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
};

// Writes the job's file into the sink, committing it only once whole: the
// format's writer gets the walk's cells, `progress` a dot per cell, and
// `events` is asked once per cell whether to go on; `work` sees what takes
// long after the walk.
ExportResult writeExport(const FormatEntry& format, const ExportJob& job, const FormatOptions& options,
                         ByteSink& sink, EventLoop& events, CellProgress& progress, LongWork& work);

// Long work that never stops and shows nothing.
class SilentWork : public LongWork {
public:
    void start(const std::string&) override {}
    bool keepGoing() override { return true; }
    void finish() override {}
};
