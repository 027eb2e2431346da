#pragma once

#include "batch_arguments.h"

#include "platform/picture.h"
#include "relief/export_command.h"
#include "relief/export_format.h"

#include <cstdio>
#include <memory>

namespace exit_status {
constexpr int written = 0;
constexpr int writeFailed = 1;
constexpr int refused = 2;  // bad arguments, or parameters the export cannot walk
constexpr int unreadablePicture = 3;
constexpr int interruptedBy(int signal) { return 128 + signal; }  // 130 for Ctrl-C
}  // namespace exit_status

const ExportFormat& exportFormatOf(BatchFormat format);

// What the desktop export command would read if its fields held the given
// number texts and its edge lines drew the given rectangle (by default the
// whole picture).
ExportRequest exportRequestFor(const BatchArguments& arguments, std::shared_ptr<const Picture> picture);

// Runs the desktop program's export command over command-line facilities
// and returns the exit status. The progress bar goes to `progressTerminal`,
// or nowhere when it is null.
int runBatchExport(const BatchArguments& arguments, std::shared_ptr<const Picture> picture,
                   std::FILE* progressTerminal);
