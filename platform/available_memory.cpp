#include "available_memory.h"

#include <sys/resource.h>

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>

namespace {

constexpr std::uint64_t unlimited = std::numeric_limits<std::uint64_t>::max();

// The value of a "Name:   1234 kB" line of a /proc file, in bytes.
std::uint64_t procKilobytes(const char* file, const std::string& name)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, name.size(), name) == 0) {
            std::istringstream value(line.substr(name.size()));
            std::uint64_t kilobytes = 0;
            if (value >> kilobytes)
                return kilobytes * 1024;
        }
    return unlimited;
}

std::uint64_t fileNumber(const std::string& path)
{
    std::ifstream in(path);
    std::uint64_t value = 0;
    return in >> value ? value : unlimited;  // "max" reads as no limit
}

std::uint64_t addressSpaceLeft()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return unlimited;
    const std::uint64_t used = procKilobytes("/proc/self/status", "VmSize:");
    return used == unlimited || used >= limit.rlim_cur ? 0 : limit.rlim_cur - used;
}

// Only the unified hierarchy: its line in /proc/self/cgroup reads "0::/path".
std::uint64_t controlGroupLeft()
{
    std::ifstream in("/proc/self/cgroup");
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, 3, "0::") == 0) {
            const std::string group = "/sys/fs/cgroup" + line.substr(3);
            const std::uint64_t limit = fileNumber(group + "/memory.max");
            const std::uint64_t used = fileNumber(group + "/memory.current");
            if (limit == unlimited || used == unlimited)
                return unlimited;
            return used >= limit ? 0 : limit - used;
        }
    return unlimited;
}

}  // namespace

std::uint64_t availableMemoryBytes()
{
    return std::min({procKilobytes("/proc/meminfo", "MemAvailable:"), addressSpaceLeft(), controlGroupLeft()});
}
