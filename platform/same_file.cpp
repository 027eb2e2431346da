#include "same_file.h"

#include "output_target.h"

#include <cerrno>
#include <optional>
#include <tuple>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A file by its device and inode, or a file yet to be made by its folder's
// and its name.
using FileIdentity = std::tuple<dev_t, ino_t, std::string>;

std::optional<FileIdentity> identityOf(std::string path)
{
    // As many links as the kernel follows in one path.
    for (int followed = 0; followed <= 40; ++followed) {
        struct stat status {};
        if (stat(path.c_str(), &status) == 0)
            return FileIdentity{status.st_dev, status.st_ino, {}};
        if (errno != ENOENT)
            return std::nullopt;
        char next[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), next, sizeof next);
        const std::string folder = folderOf(path);
        if (length <= 0 || length == ssize_t(sizeof next)) {
            // Nothing there yet: the writer would make the file in the folder.
            if (stat(folder.c_str(), &status) != 0)
                return std::nullopt;
            const std::string::size_type slash = path.rfind('/');
            return FileIdentity{status.st_dev, status.st_ino, slash == std::string::npos ? path : path.substr(slash + 1)};
        }
        // A link to nothing yet: the file would be made where it points.
        const std::string target(next, std::size_t(length));
        path = target.front() == '/' ? target : folder + "/" + target;
    }
    return std::nullopt;
}

}  // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    const std::optional<FileIdentity> first = identityOf(a);
    return first && first == identityOf(b);
}
