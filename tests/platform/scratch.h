#pragma once

// What the file tests share: a scratch folder, file bytes, a forked child.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

// A fresh folder, removed with everything in it when the test ends. Others
// may pass through it, for the tests that run as another user.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "orvanel-files-XXXXXX").string();
        path_ = mkdtemp(name.data());
        std::filesystem::permissions(path_, std::filesystem::perms(0755));
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::size_t entriesIn(const std::string& folder)
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

struct ChildResult {
    int status = -1;  // the exit status, -1 when killed
    std::string message;
};

// Runs `body` in a forked child, which exits with what it returns and hands
// back the message it sets.
inline ChildResult inChild(const std::function<int(std::string& message)>& body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string message;
        const int status = body(message);
        (void)!write(channel[1], message.data(), message.size());
        _exit(status);
    }
    close(channel[1]);
    ChildResult result;
    char buffer[512];
    for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
        result.message.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    return result;
}
