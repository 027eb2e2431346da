// A sync or a close that fails at the very end must not let the file
// replace the earlier one: this test binary stands in for the C library's
// fsync and close, and makes them fail on the sink's temporary file.

#include "batch/scratch_directory.h"

#include "platform/replacing_file_sink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::atomic<bool> failFsync{false};
std::atomic<bool> failClose{false};
std::string failingFolder;  // set before arming, read while armed

bool inFailingFolder(int descriptor)
{
    char target[4096];
    const ssize_t length =
        readlink(("/proc/self/fd/" + std::to_string(descriptor)).c_str(), target, sizeof target - 1);
    return length > 0 && std::string(target, std::size_t(length)).rfind(failingFolder, 0) == 0;
}

template <typename Function>
Function real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int descriptor)
{
    if (failFsync && inFailingFolder(descriptor)) {
        errno = EIO;
        return -1;
    }
    return real<int (*)(int)>("fsync")(descriptor);
}

extern "C" int close(int descriptor)
{
    const bool fail = failClose && inFailingFolder(descriptor);
    const int result = real<int (*)(int)>("close")(descriptor);
    if (fail) {
        errno = EIO;
        return -1;
    }
    return result;
}

namespace {

std::string contents(const std::string& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path).rdbuf();
    return bytes.str();
}

TEST(SyncFailure, AFailedSyncOrCloseCommitsNothingAndSaysWhy)
{
    for (std::atomic<bool>* failing : {&failFsync, &failClose}) {
        ScratchDirectory folder;
        const std::string target = folder.file("relief.wrl");
        std::ofstream(target) << "earlier";
        failingFolder = std::filesystem::canonical(folder.path()).string() + "/";
        std::string error;
        std::unique_ptr<ByteSink> sink = ReplacingFileOpener().open(target, error);
        ASSERT_TRUE(sink) << error;
        ASSERT_TRUE(sink->write(std::string(100000, 'x')));
        *failing = true;
        const bool committed = sink->commit();
        *failing = false;
        EXPECT_FALSE(committed);
        EXPECT_EQ(sink->errorText(), "Erreur d'entrée-sortie");
        sink.reset();
        EXPECT_EQ(contents(target), "earlier");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    }
}

}  // namespace
