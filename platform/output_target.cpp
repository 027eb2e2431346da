#include "output_target.h"

#include "system_error_text.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// As many links as the kernel follows in one path.
constexpr int mostLinksFollowed = 40;

// The kernel's protected-links rule: in a sticky world-writable folder
// (such as /tmp) a link is followed only when it belongs to whoever follows
// it or to the folder's owner; anyone could have planted it otherwise.
bool mayFollow(const struct stat& link, const std::string& folder)
{
    struct stat f {};
    if (stat(folder.c_str(), &f) != 0)
        return false;
    const bool shared = (f.st_mode & S_ISVTX) && (f.st_mode & S_IWOTH);
    return !shared || link.st_uid == geteuid() || link.st_uid == f.st_uid;
}

std::string kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "un dossier";
    if (S_ISFIFO(mode))
        return "un tube nommé";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "un périphérique";
    if (S_ISSOCK(mode))
        return "une socket";
    return "un fichier spécial";
}

std::string readLink(const std::string& path)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string folderOf(const std::string& path)
{
    std::string::size_type end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return "/";
    const std::string::size_type slash = path.rfind('/', end);
    if (slash == std::string::npos)
        return ".";
    end = path.find_last_not_of('/', slash);
    return end == std::string::npos ? "/" : path.substr(0, end + 1);
}

std::optional<OutputTarget> findOutputTarget(const std::string& path, std::string& error)
{
    OutputTarget target{path, std::nullopt};
    for (int followed = 0;; ++followed) {
        struct stat status {};
        if (lstat(target.path.c_str(), &status) != 0) {
            if (errno != ENOENT) {
                error = systemErrorText(errno);
                return std::nullopt;
            }
            const std::string folder = folderOf(target.path);
            if (access(folder.c_str(), F_OK) != 0) {
                error = "Le dossier « " + folder + " » n'est pas accessible : " + systemErrorText(errno);
                return std::nullopt;
            }
            return target;  // a new file
        }
        if (!S_ISLNK(status.st_mode)) {
            if (!S_ISREG(status.st_mode)) {
                error = "La cible est " + kindOf(status.st_mode) + ", pas un fichier ordinaire";
                return std::nullopt;
            }
            // A file the user made read-only stays as it is.
            if (faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0) {
                error = systemErrorText(errno);
                return std::nullopt;
            }
            target.existing = status;
            return target;
        }
        if (followed == mostLinksFollowed) {
            error = "Les liens symboliques de ce chemin forment une boucle";
            return std::nullopt;
        }
        const std::string folder = folderOf(target.path);
        if (!mayFollow(status, folder)) {
            error = "C'est un lien symbolique d'un autre utilisateur, placé dans le dossier partagé « " + folder +
                    " » : il n'est pas suivi";
            return std::nullopt;
        }
        const std::string next = readLink(target.path);
        if (next.empty()) {
            error = systemErrorText(errno);
            return std::nullopt;
        }
        target.path = next.front() == '/' ? next : folder + "/" + next;
    }
}
