#pragma once

#include "batch_arguments.h"

#include "platform/picture.h"
#include "relief/export_command.h"

#include <cstdio>
#include <memory>

namespace exit_status {
constexpr int written = 0;
constexpr int writeFailed = 1;  // also: no room, a target that is not a regular file
constexpr int refused = 2;      // bad arguments, or parameters or options the export refuses
constexpr int unreadablePicture = 3;
constexpr int interruptedBy(int signal) { return 128 + signal; }  // 130 for Ctrl-C
}  // namespace exit_status

// What the desktop export command would read if its fields held the given
// number texts and its edge lines drew the given rectangle (by default the
// whole picture) or stood where --edges puts them.
ExportRequest exportRequestFor(const BatchArguments& arguments, std::shared_ptr<const Picture> picture);

// Runs the export the arguments ask for and returns the exit status. The
// progress bar goes to `progressTerminal`, or nowhere when it is null;
// messages go to standard error.
int runBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                   std::FILE* progressTerminal);
