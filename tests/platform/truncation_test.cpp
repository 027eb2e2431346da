// A file cut short is never committed: the earlier file stays and the
// system's reason is shown, whichever write, sync or close fails. A file-size
// limit is tried on every writer of the program: every_writer_test.

#include "batch/scratch_directory.h"
#include "child_process.h"

#include "platform/background_sink.h"
#include "platform/replacing_file_sink.h"
#include "platform/text_output.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>

namespace {

constexpr std::size_t streamBuffer = 1 << 18;  // TextOutput's: the size of the writes the file sees
const std::string earlier = "the earlier file\r\n";
const std::vector<std::string> earlierOnly = {"relief.asc"};

std::string exportBytes()
{
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * streamBuffer + 20000; ++i)
        bytes += std::to_string(i * 0.001) + " " + std::to_string(i) + " -0.25\r\n";
    return bytes;
}

// Through the program's opener, as an export writes; the reason when it fails.
int exportTo(const std::string& path, const std::string& bytes, std::string& reason)
{
    std::unique_ptr<ByteSink> sink = ReplacingFileOpener().open(path, reason);
    if (!sink)
        return 2;
    TextOutput out(*sink);
    for (std::size_t at = 0; at < bytes.size(); at += 1000)
        out.write(std::string_view(bytes).substr(at, 1000));
    if (out.close())
        return 0;
    reason = out.errorText();
    return 1;
}

// No space at the write it is told, or at the commit (0).
struct FullDisk : ByteSink {
    int failingWrite, writes = 0;
    bool& committed;
    FullDisk(int w, bool& c) : failingWrite(w), committed(c) {}
    bool write(std::string_view) override { return ++writes != failingWrite; }
    bool commit() override { return failingWrite != 0 && (committed = true); }
    std::string errorText() const override { return "Aucun espace disponible sur le périphérique"; }
};

TEST(Truncation, NoSpaceAtAWriteTheLastFlushOrTheCommitIsReported)
{
    for (const int failingWrite : {1, 3, 0}) {  // 2500 bytes in a 1000-byte buffer: Close makes the 3rd write
        bool committed = false;
        BackgroundSink sink(std::make_unique<FullDisk>(failingWrite, committed));
        TextOutput out(sink, 1000);
        for (int i = 0; i < 25; ++i)
            out.write(std::string(100, 'x'));
        EXPECT_FALSE(out.close() || committed) << failingWrite;
        EXPECT_EQ(out.errorText(), "Aucun espace disponible sur le périphérique");
    }
}

bool writeTo(const char* path, const std::string& text)
{
    return bool(std::ofstream(path) << text);
}

// Mounting needs privileges, which a user namespace of one's own gives
// where the system allows it.
bool mountSmallTmpfs(const std::string& at, std::string& why)
{
    const std::string uid = std::to_string(geteuid()), gid = std::to_string(getegid());
    if (mount("tmpfs", at.c_str(), "tmpfs", 0, "size=128k") == 0 ||
        (unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeTo("/proc/self/setgroups", "deny") &&
         writeTo("/proc/self/uid_map", "0 " + uid + " 1") && writeTo("/proc/self/gid_map", "0 " + gid + " 1") &&
         mount("tmpfs", at.c_str(), "tmpfs", 0, "size=128k") == 0))
        return true;
    why = std::strerror(errno);
    return false;
}

TEST(Truncation, AFullFileSystemKeepsTheEarlierFile)
{
    ScratchDirectory folder;
    const std::string bytes = exportBytes();
    const ChildResult child = inChild([&](std::string& message) {
        if (!mountSmallTmpfs(folder.path(), message))
            return 77;
        writeFile(folder.file("relief.asc"), earlier);
        const int status = exportTo(folder.file("relief.asc"), bytes, message);
        if (fileBytes(folder.file("relief.asc")) != earlier || namesIn(folder.path()) != earlierOnly)
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
