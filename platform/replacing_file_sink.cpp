#include "replacing_file_sink.h"

#include "background_sink.h"
#include "system_error_text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The mode a new file gets: what the umask lets through of 0666. Read
// without changing the umask, which other threads may be relying on.
mode_t newFileMode()
{
    unsigned mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "Umask: %o", &mask) == 1)
                break;
        std::fclose(status);
    }
    return 0666 & ~static_cast<mode_t>(mask);
}

// The owner and group where permitted (the group alone often is), then the
// mode, whose set-id bits only go with the owner they came with.
void keepOwnerAndMode(int descriptor, const struct stat& earlier)
{
    bool sameOwner = fchown(descriptor, earlier.st_uid, earlier.st_gid) == 0;
    if (!sameOwner)
        sameOwner = fchown(descriptor, static_cast<uid_t>(-1), earlier.st_gid) == 0 && earlier.st_uid == geteuid();
    fchmod(descriptor, earlier.st_mode & (sameOwner ? 07777 : 0777));
}

std::string baseName(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

ReplacingFileSink::~ReplacingFileSink()
{
    discard();
}

bool ReplacingFileSink::open(const std::string& path)
{
    if (path.empty())
        return fail("Nom de fichier vide");
    std::optional<OutputTarget> target = findOutputTarget(path, error_);
    if (!target) {
        failed_ = true;
        return false;
    }
    target_ = std::move(*target);

    const std::string folder = folderOf(target_.path);
    std::string name = folder + "/." + baseName(target_.path) + ".XXXXXX";
    descriptor_ = mkostemp(name.data(), O_CLOEXEC);
    if (descriptor_ < 0)
        return fail("Le dossier « " + folder + " » n'accepte pas de nouveau fichier : " + systemErrorText(errno));
    temporary_ = std::move(name);
    if (target_.existing)
        keepOwnerAndMode(descriptor_, *target_.existing);
    else
        fchmod(descriptor_, newFileMode());
    return true;
}

bool ReplacingFileSink::write(std::string_view bytes)
{
    return writePieces(&bytes, 1);
}

// A short write (disk full, file size limit) is followed by another, so
// that the system refuses and says why.
//
// The pieces go to the system at most 256 KB a call, then their write-back
// is started as one range. The kernel takes a write into its page cache in
// blocks as large as the write: written 8 MB a call, 2 GB took 2.4 to 5.7 s
// in the kernel's copy alone on this program's machine, against 0.7 to
// 0.9 s in 256 KB calls (and 1.2 to 1.4 s all told, against 1.7 to 2 s
// with the write-back started after each 256 KB).
bool ReplacingFileSink::writePieces(const std::string_view* pieces, std::size_t count)
{
    constexpr std::size_t mostPerCall = std::size_t(256) << 10;
    if (failed_)
        return false;
    const long long start = written_;
    for (std::size_t i = 0; i < count; ++i) {
        std::string_view bytes = pieces[i];
        while (!bytes.empty()) {
            const ssize_t n = ::write(descriptor_, bytes.data(), std::min(bytes.size(), mostPerCall));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return fail(systemErrorText(errno));
            }
            if (n == 0)
                return fail(systemErrorText(EIO));
            bytes.remove_prefix(static_cast<std::size_t>(n));
            written_ += n;
        }
    }
#ifdef __linux__
    // Start putting these bytes on the disk now, without waiting for it: the
    // sync before the file replaces the target then finds little left to do.
    if (written_ > start)
        sync_file_range(descriptor_, start, written_ - start, SYNC_FILE_RANGE_WRITE);
#endif
    return true;
}

bool ReplacingFileSink::commit()
{
    if (failed_ || descriptor_ < 0)
        return false;
    if (fsync(descriptor_) != 0)
        return fail(systemErrorText(errno));
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (close(descriptor) != 0)
        return fail(systemErrorText(errno));
    // Whatever appeared at the target meanwhile is replaced only if it is a
    // regular file too.
    struct stat now {};
    if (lstat(target_.path.c_str(), &now) == 0 && !S_ISREG(now.st_mode))
        return fail("La cible n'est plus un fichier ordinaire");
    if (rename(temporary_.c_str(), target_.path.c_str()) != 0)
        return fail(systemErrorText(errno));
    temporary_.clear();
    // The new name on the disk too; not every file system syncs a folder.
    const int folder = ::open(folderOf(target_.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

bool ReplacingFileSink::fail(const std::string& reason)
{
    if (!failed_)
        error_ = reason;
    failed_ = true;
    discard();
    return false;
}

void ReplacingFileSink::discard()
{
    if (descriptor_ >= 0)
        close(descriptor_);
    descriptor_ = -1;
    if (!temporary_.empty())
        unlink(temporary_.c_str());
    temporary_.clear();
}

std::unique_ptr<ByteSink> ReplacingFileOpener::open(const std::string& path, std::string& error)
{
    auto sink = std::make_unique<ReplacingFileSink>();
    if (!sink->open(path)) {
        error = sink->errorText();
        return nullptr;
    }
    // The file is written while the export goes on.
    return std::make_unique<BackgroundSink>(std::move(sink));
}
