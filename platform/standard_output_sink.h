#pragma once

#include "byte_sink.h"

#include <memory>
#include <string>

// A sink that writes to standard output as it goes: there is no earlier file
// to keep, so commit() only says whether every byte went out.
std::unique_ptr<ByteSink> openStandardOutput(std::string& error);
