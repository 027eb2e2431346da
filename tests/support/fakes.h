#pragma once

// Test doubles for the platform facilities of an export.

#include "platform/byte_sink.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/export_windows.h"
#include "platform/string_sink.h"
#include "relief/export_command.h"
#include "export/standard_formats.h"

#include <functional>
#include <map>
#include <utility>
#include <vector>

// A picture of w x h pixels, every pixel of the colour `fill`.
inline Picture uniformPicture(int w, int h, std::uint32_t fill)
{
    return Picture(w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, fill));
}

// A registered format by its command-line id.
inline const FormatEntry& format(std::string_view id)
{
    return *formatRegistry().find(id);
}

struct FakeSaveDialog : SaveDialog {
    std::optional<std::string> answer = std::string("out.asc");
    std::vector<std::string> filters;
    std::optional<std::string> askSavePath(const std::string& filter, const std::string&) override
    {
        filters.push_back(filter);
        return answer;
    }
};

// Files kept in memory by path; a sink's bytes reach `files` only on commit.
struct MemoryFiles : OutputOpener {
    struct Sink : StringSink {
        MemoryFiles& owner;
        std::string path;
        Sink(MemoryFiles& o, std::string p) : owner(o), path(std::move(p)) {}
        bool write(std::string_view b) override { return !owner.failWrites && StringSink::write(b); }
        bool commit() override { return !owner.failWrites && StringSink::commit() && (owner.files[path] = committed, true); }
        std::string errorText() const override { return "No space left on device"; }
    };
    std::map<std::string, std::string> files;
    std::string openError;  // when set, open fails with it
    bool failWrites = false;
    std::unique_ptr<ByteSink> open(const std::string& path, std::string& error) override
    {
        if (!openError.empty()) {
            error = openError;
            return nullptr;
        }
        return std::make_unique<Sink>(*this, path);
    }
};

struct FixedFrame : MainWindowFrame {
    WindowFrame value{1500, 900, 10800};
    WindowFrame frame() const override { return value; }
};

struct RecordingScan : ProgressWindow {
    std::vector<std::string> events;  // "move", "show", "hide"
    std::vector<std::pair<double, double>> dots;
    double left = 0, top = 0;
    void moveTo(double l, double t) override { left = l, top = t, events.push_back("move"); }
    void show() override { events.push_back("show"); }
    void hide() override { events.push_back("hide"); }
    void dot(double x, double y) override { dots.emplace_back(x, y); }
};

struct RecordingMessages : MessageBox {
    std::vector<std::string> information_, warnings, questions;
    bool answer = true;  // the answer to every question
    std::function<void()> onInformation;  // runs while the box would be up
    void information(const std::string& t) override
    {
        information_.push_back(t);
        if (onInformation)
            onInformation();
    }
    void warning(const std::string& t) override { warnings.push_back(t); }
    bool question(const std::string& t, const std::string&, const std::string&) override
    {
        questions.push_back(t);
        return answer;
    }
};

// Counts yields; `onYield` may say to abandon (return false).
struct ScriptedEvents : EventLoop {
    int yields = 0;
    std::function<bool(int)> onYield;
    bool yield() override { return onYield ? onYield(++yields) : (++yields, true); }
};

// Options in the VRML files' frame: the one-piece formats' files as they
// were before the part could be placed.
inline FormatOptions inVrmlFrame(FormatOptions options = {})
{
    options.placement = Placement::VrmlFrame;
    return options;
}

// Runs an export of the request into memory, as the desktop would after
// every question was answered yes, formatted on `threads` threads (0: one
// per core); returns the bytes, or nothing when the export refused or failed.
inline std::string exportToMemory(const FormatEntry& format, const ExportRequest& request,
                                  const FormatOptions& options = inVrmlFrame(), unsigned threads = 0)
{
    PreparedExport prepared = prepareExport(format, request);
    if (prepared.refusal)
        return {};
    prepared.job.threads = threads;
    StringSink sink;
    ScriptedEvents events;
    RecordingScan dots;
    SilentWork work;
    writeExport(format, prepared.job, options, sink, events, dots, work);
    return sink.committed;
}
