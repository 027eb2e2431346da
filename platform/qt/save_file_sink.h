#pragma once

#include "platform/replacing_file_sink.h"

// The program's way to open output files: a temporary file beside the target
// that replaces it once complete, written from a thread of its own.
using SaveFileOpener = ReplacingFileOpener;
