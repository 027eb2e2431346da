#pragma once

#include <cstdint>

// Memory the program can still take without making the system swap: the
// kernel's estimate of available memory, or the free physical pages where
// it gives none.
std::uint64_t availableMemoryBytes();
