#pragma once

#include "relief/export_command.h"

#include <functional>
#include <string>

namespace exit_status {
constexpr int written = 0;
constexpr int writeFailed = 1;  // also: no room, a target that is not a regular file
constexpr int refused = 2;      // bad arguments, or parameters or options the export refuses
constexpr int unreadablePicture = 3;
constexpr int interruptedBy(int signal) { return 128 + signal; }  // 130 for Ctrl-C
}  // namespace exit_status

// A message of the program, on the standard error.
void say(const std::string& text);

// How messages name an output path: "-" is the standard output.
std::string outputName(const std::string& path);

// Whether two outputs of the run would land in one place: both standard
// output, or the same file (existing or to be made).
bool sameOutput(const std::string& a, const std::string& b);

// Writes one file of the run the way every file of the program is written:
// "-" to the standard output, any other path into a temporary file that
// replaces it only once whole, and only where a regular file or nothing
// stands. `write` puts the bytes into the sink and commits it. From the
// opening on, a stop signal abandons the file: nothing is committed after
// it, and the temporary file is removed. Returns the exit status; a failure
// is said through `say`, in French.
int writeOutputFile(const std::string& path, const std::function<void(const std::string&)>& say,
                    const std::function<ExportResult(ByteSink&)>& write);
