#pragma once

#include <cstdint>

// Bytes this process may still take without the machine running short: the
// physical memory the system reports available, lowered by the process's own
// address-space limit and by its control group's memory limit where set.
std::uint64_t availableMemoryBytes();
