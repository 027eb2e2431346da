#pragma once

// The desktop's export command over facilities answered in memory.

#include "app/export_flow.h"
#include "support/fakes.h"

struct FakeTarget : TargetFacts {
    std::optional<std::uint64_t> free;  // none: unknown
    std::optional<std::uint64_t> freeBytes(const std::string&) const override { return free; }
    bool sameFile(const std::string& a, const std::string& b) const override { return a == b; }
};

// Offers and answers `chosen` for every format.
struct FakeOptions : FormatOptionsDialog {
    FormatOptions chosen;
    int asked = 0;
    std::optional<FormatOptions> ask(const FormatEntry&, const ExportJob&) override
    {
        ++asked;
        return chosen;
    }
    FormatOptions offered(const FormatEntry&, const ExportJob&) const override { return chosen; }
};

// The bar's advances, and the answer said at the end.
struct RecordingProgress : ExportProgress {
    std::vector<double> shares;
    std::vector<std::string> stages;  // each stage (and phase) in the order met
    std::optional<std::string> answer;
    void advance(const std::string& stage, const std::string& phase, double done) override
    {
        shares.push_back(done);
        const std::string named = phase.empty() ? stage : stage + " (" + phase + ")";
        if (stages.empty() || stages.back() != named)
            stages.push_back(named);
    }
    void end(const std::string& said) override { answer = said; }
};

// Every facility of an export command, answered in memory. The Save dialog
// answers "out.asc" until told otherwise.
struct FakeDesktop {
    FakeSaveDialog dialog;
    MemoryFiles files;
    FakeTarget target;
    FixedFrame frame;
    RecordingScan scan;
    RecordingProgress progress;
    RecordingMessages messages;
    ScriptedEvents events;
    FakeOptions options;
    SilentWork work;
    DesktopExportFacilities facilities{dialog,  files,  target,  frame, scan,         progress,
                                       messages, events, options, work,  "picture.png"};

    ExportOutcome run(const FormatEntry& format, const ExportRequest& request)
    {
        return runDesktopExport(format, request, facilities);
    }
    // The file a completed export wrote at the dialog's answer.
    std::string written() { return files.files[dialog.answer.value_or("")]; }
};
