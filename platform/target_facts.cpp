#include "target_facts.h"

#include "same_file.h"

#include <sys/statvfs.h>

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::optional<std::uint64_t> SystemTargetFacts::freeBytes(const std::string& path) const
{
    struct statvfs fs {};
    if (statvfs(folderOf(path).c_str(), &fs) != 0)
        return std::nullopt;
    return std::uint64_t(fs.f_bavail) * std::uint64_t(fs.f_frsize);
}

bool SystemTargetFacts::sameFile(const std::string& a, const std::string& b) const
{
    return ::sameFile(a, b);
}
