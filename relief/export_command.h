#pragma once

#include "export_format.h"
#include "export_parameters.h"
#include "platform/byte_sink.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/scan_window.h"

#include <memory>

// What an export command reads when it starts.
struct ExportRequest {
    FieldTexts fields;
    EdgeLines lines;
    std::shared_ptr<const Picture> picture;  // null when no picture is shown
};

// The facilities an export command reaches the desktop through.
struct ExportFacilities {
    SaveDialog& saveDialog;
    OutputOpener& files;
    MainWindowFrame& mainWindow;
    ScanWindow& scan;
    MessageBox& messages;
    EventLoop& events;
};

enum class ExportOutcome {
    Written,    // the file is complete and the user was told
    Cancelled,  // the Save dialog was cancelled: nothing happened
    Refused,    // the parameters cannot be walked: the user was told, nothing written
    Failed,     // the file could not be written: the user was told, nothing replaced
    Abandoned,  // the "Scan" window or the program was closed: nothing written
};

inline constexpr const char* completionMessage = "Création du fichier terminée.";

// One export command from start to end: parameters and selection read, Save
// dialog, "Scan" window beside the main window, the walk into a file that
// replaces the target only once complete, the completion message, "Scan"
// hidden again.
ExportOutcome runExport(const ExportFormat& format, const ExportRequest& request, ExportFacilities& facilities);
