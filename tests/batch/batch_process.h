#pragma once

// Runs the built orvanel-batch program as a child process, its standard
// output and error captured in files.

#include "scratch_directory.h"

#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class BatchProcess {
public:
    // `captureIn` receives the two capture files; `fileSizeLimit` sets the
    // child's RLIMIT_FSIZE, so that its writes fail beyond that many bytes.
    BatchProcess(const std::filesystem::path& captureIn, const std::vector<std::string>& arguments,
                 std::optional<rlim_t> fileSizeLimit = std::nullopt)
        : outPath_((captureIn / "stdout.txt").string()), errPath_((captureIn / "stderr.txt").string())
    {
        std::vector<std::string> argv{ORVANEL_BATCH_PROGRAM};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        std::vector<char*> pointers;
        for (std::string& a : argv)
            pointers.push_back(a.data());
        pointers.push_back(nullptr);

        const int out = open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        const int err = open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out, 1);
            dup2(err, 2);
            if (fileSizeLimit) {
                const rlimit limit{*fileSizeLimit, *fileSizeLimit};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            execv(pointers[0], pointers.data());
            _exit(127);
        }
        close(out);
        close(err);
    }

    ~BatchProcess()
    {
        if (pid_ > 0 && !finished_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    pid_t pid() const { return pid_; }

    // The exit status, or -1 when the program was killed by a signal or had
    // not ended within `patience` (it is then killed).
    int wait(std::chrono::seconds patience = std::chrono::seconds(20))
    {
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > giveUp)
                return -1;  // the destructor kills it
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        finished_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string standardOutput() const { return fileBytes(outPath_); }
    std::string errorOutput() const { return fileBytes(errPath_); }

private:
    std::string outPath_;
    std::string errPath_;
    pid_t pid_ = -1;
    bool finished_ = false;
};

// Runs the program to its end and returns its exit status.
inline int runBatch(const std::filesystem::path& captureIn, const std::vector<std::string>& arguments,
                    std::string* errors = nullptr)
{
    BatchProcess process(captureIn, arguments);
    const int status = process.wait();
    if (errors)
        *errors = process.errorOutput();
    return status;
}
