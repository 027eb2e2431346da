#pragma once

#include "export_flow.h"

// Runs the menu's exports one at a time, each inside its command, letting
// window events through as it goes. Closing "Scan", Escape, the progress
// bar's "Annuler" or closing the program abandons the running one; its
// partial output is then discarded.
class ExportRunner {
public:
    ExportRunner(SaveDialog& saveDialog, MessageBox& messages, FormatOptionsDialog& options,
                 MainWindowFrame& mainWindow, ExportProgress& progress);

    bool running() const { return running_; }
    void abandon() { abandon_ = running_; }
    void run(const FormatEntry& format, const ExportRequest& request, ProgressWindow& scan,
             const std::string& picturePath);

private:
    SaveDialog& saveDialog_;
    MessageBox& messages_;
    FormatOptionsDialog& options_;
    MainWindowFrame& mainWindow_;
    ExportProgress& progress_;
    bool running_ = false;
    bool abandon_ = false;
};
