#pragma once

#include "byte_sink.h"

// A sink onto the program's standard output ("-" given as the output path).
// There is no temporary file: bytes are gone as soon as written, so commit()
// only says whether every write, and the final sync of a file behind it,
// succeeded.
std::unique_ptr<ByteSink> openStandardOutput();
