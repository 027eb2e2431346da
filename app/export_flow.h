#pragma once

#include "platform/byte_sink.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/long_work.h"
#include "platform/message_box.h"
#include "platform/export_windows.h"
#include "platform/target_facts.h"
#include "relief/export_command.h"

#include <optional>
#include <string>

// The options dialog of the formats that have one; nothing when cancelled.
class FormatOptionsDialog {
public:
    virtual ~FormatOptionsDialog() = default;
    virtual std::optional<FormatOptions> ask(const FormatEntry& format, const ExportJob& job) = 0;
    // What it would offer now, without showing it: the options the file's
    // size is estimated with before anything is asked.
    virtual FormatOptions offered(const FormatEntry& format, const ExportJob& job) const
    {
        return proposedOptions(format.options, job);
    }
};

// What the desktop's export command works through.
struct DesktopExportFacilities {
    SaveDialog& saveDialog;
    OutputOpener& files;
    TargetFacts& target;
    MainWindowFrame& mainWindow;
    ProgressWindow& scan;
    ExportProgress& progress;
    MessageBox& messages;
    EventLoop& events;
    FormatOptionsDialog& options;
    LongWork& longWork;
    std::string picturePath;  // the imported picture's file: never written over
};

// One export command from the menu: the question when the result may
// surprise, the format's options, the Save dialog, the room on the disk,
// "Scan" beside the main window and the progress bar while the file is
// written, then the answer in the status area, the completion message and
// "Scan" hidden again.
ExportOutcome runDesktopExport(const FormatEntry& format, const ExportRequest& request,
                               DesktopExportFacilities& facilities);
