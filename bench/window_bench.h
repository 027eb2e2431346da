#pragma once

// Whole exports through the real main window on the offscreen platform: the
// menu action, the Save dialog and the message box answered here, the "Scan"
// window with its dots and the event-loop yields, as a user would run them.

#include "bench_workloads.h"

#include <string>

// Imports the noisy picture into the window (once) and sets the selection to
// the workload's by dragging the rectangle's bottom-right corner.
void prepareWindow(const Workload& workload);

// The selection the window holds now, as an export reads it.
EdgeLines windowSelection();

// Runs the format's menu action with the Save dialog answering `path`;
// true when the export ended with the completion message.
bool exportFromWindow(const Format& format, const std::string& path);
