// A file cut short is never committed: the earlier file stays, the system's
// reason is shown, whichever write, sync or close fails.

#include "scratch.h"

#include "platform/background_sink.h"
#include "platform/replacing_file_sink.h"
#include "platform/text_output.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <set>

#include <sys/mount.h>
#include <sys/resource.h>

namespace {

constexpr std::size_t streamBuffer = 1 << 18;  // TextOutput's, the size of each write the file sees
const std::string earlier = "the earlier file\r\n";

// Three full buffers and some, in lines as an export writes them.
std::string exportBytes()
{
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * streamBuffer + 20000; ++i)
        bytes += std::to_string(i * 0.001) + " " + std::to_string(i) + " -0.25\r\n";
    return bytes;
}

// The export through the program's opener; the reason when it fails.
int exportTo(const std::string& path, const std::string& bytes, std::string& reason)
{
    std::string error;
    std::unique_ptr<ByteSink> sink = ReplacingFileOpener().open(path, error);
    if (!sink) {
        reason = error;
        return 2;
    }
    TextOutput out(*sink);
    for (std::size_t at = 0; at < bytes.size(); at += 1000)
        out.Write(std::string_view(bytes).substr(at, 1000));
    if (out.Close())
        return 0;
    reason = out.errorText();
    return 1;
}

TEST(Truncation, AFileSizeLimitShortOfTheEndIsNeverASuccess)
{
    const std::string bytes = exportBytes();
    const std::size_t size = bytes.size();
    std::set<std::size_t> limits;
    for (std::size_t shortBy = 1; shortBy <= 64; ++shortBy)
        limits.insert(size - shortBy);
    for (std::size_t kib = 1; kib <= 64; ++kib)
        limits.insert(size - 1024 * kib);
    for (std::size_t edge = streamBuffer; edge < size; edge += streamBuffer)
        limits.insert({edge - 1, edge + 1});
    for (std::size_t edge = 16384; edge <= 65536; edge += 16384)  // QFile's buffer, once
        limits.insert({size - edge - 1, size - edge + 1});

    ScratchFolder folder;
    const std::string path = folder.file("relief.asc");
    writeFile(path, earlier);
    for (const std::size_t limit : limits) {
        const ChildResult child = inChild([&](std::string& reason) {
            const rlimit fileSize{limit, limit};
            setrlimit(RLIMIT_FSIZE, &fileSize);
            std::signal(SIGXFSZ, SIG_IGN);
            return exportTo(path, bytes, reason);
        });
        ASSERT_EQ(child.status, 1) << "limit " << limit << " of " << size;
        ASSERT_EQ(child.message, "Fichier trop volumineux") << "limit " << limit;
        ASSERT_EQ(fileBytes(path), earlier) << "limit " << limit;
        ASSERT_EQ(entriesIn(folder.path()), 1u) << "a temporary file is left, limit " << limit;
    }
}

// Fails with "no space" at the write or the commit it is told.
struct FullDisk : ByteSink {
    int failingWrite;  // 0: the commit fails
    bool& committed;
    int writes = 0;
    FullDisk(int w, bool& c) : failingWrite(w), committed(c) {}
    bool write(std::string_view) override { return ++writes != failingWrite; }
    bool commit() override { return failingWrite != 0 && (committed = true); }
    std::string errorText() const override { return "Aucun espace disponible sur le périphérique"; }
};

TEST(Truncation, NoSpaceAtAWriteTheLastFlushOrTheCommitIsReported)
{
    // With a 1000-byte buffer, 2500 bytes make three writes, the last from Close.
    for (const int failingWrite : {1, 3, 0}) {
        bool committed = false;
        BackgroundSink sink(std::make_unique<FullDisk>(failingWrite, committed));
        TextOutput out(sink, 1000);
        for (int i = 0; i < 25; ++i)
            out.Write(std::string(100, 'x'));
        EXPECT_FALSE(out.Close()) << failingWrite;
        EXPECT_FALSE(committed) << failingWrite;
        EXPECT_EQ(out.errorText(), "Aucun espace disponible sur le périphérique");
    }
}

bool writeTo(const std::string& path, const std::string& text)
{
    std::ofstream out(path);
    return bool(out << text);
}

// Mounting needs privileges; a user namespace of its own gives them where
// the system allows it.
bool mountSmallTmpfs(const std::string& at, std::string& why)
{
    if (mount("tmpfs", at.c_str(), "tmpfs", 0, "size=128k") == 0)
        return true;
    const std::string uid = std::to_string(geteuid()), gid = std::to_string(getegid());
    if (unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeTo("/proc/self/setgroups", "deny") &&
        writeTo("/proc/self/uid_map", "0 " + uid + " 1") && writeTo("/proc/self/gid_map", "0 " + gid + " 1") &&
        mount("tmpfs", at.c_str(), "tmpfs", 0, "size=128k") == 0)
        return true;
    why = std::strerror(errno);
    return false;
}

TEST(Truncation, AFullFileSystemKeepsTheEarlierFile)
{
    ScratchFolder folder;
    const std::string bytes = exportBytes();
    const ChildResult child = inChild([&](std::string& message) {
        if (!mountSmallTmpfs(folder.path(), message))
            return 77;
        const std::string path = folder.file("relief.asc");
        writeFile(path, earlier);
        const int status = exportTo(path, bytes, message);
        if (fileBytes(path) != earlier || entriesIn(folder.path()) != 1)
            message = "the earlier file was touched";
        umount2(folder.path().c_str(), MNT_DETACH);
        return status;
    });
    if (child.status == 77)
        GTEST_SKIP() << "no small tmpfs can be mounted here (" << child.message << ")";
    EXPECT_EQ(child.status, 1);
    EXPECT_EQ(child.message, "Aucun espace disponible sur le périphérique");
}

}  // namespace
