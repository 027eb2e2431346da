#pragma once

#include "byte_sink.h"

// A sink onto the program's standard output ("-" given as the output path).
// There is no temporary file: bytes are gone as soon as written, so commit()
// only says whether every write, and the final sync of a file behind it,
// succeeded.
// When standard output was closed by the caller, every write fails with
// that reason.
std::unique_ptr<ByteSink> openStandardOutput();

// Opens /dev/null on any of the three standard streams the caller left
// closed, so that no file the program opens takes the number of one and
// receives what was meant for it; remembers a closed standard output.
// Called first thing in main().
void reserveStandardStreams();
