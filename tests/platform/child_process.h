#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

struct ChildResult {
    int status = -1;  // -1 when the child did not exit
    std::string message;  // what it printed on its standard error
    std::string output;   // what it printed on its standard output
};

// A forked child, its standard output and error kept in memory files.
struct StartedChild {
    pid_t pid = -1;
    int output = -1;
    int errors = -1;
};

// Runs `body` in a forked child, which exits with what it returns. A child
// still running after 30 s is ended, so that a write blocked on a FIFO
// fails the test instead of hanging it.
inline StartedChild startChild(const std::function<int()>& body)
{
    StartedChild child{-1, memfd_create("child-output", MFD_CLOEXEC), memfd_create("child-errors", MFD_CLOEXEC)};
    std::fflush(nullptr);
    child.pid = fork();
    if (child.pid == 0) {
        alarm(30);
        dup2(child.output, STDOUT_FILENO);
        dup2(child.errors, STDERR_FILENO);
        const int status = body();
        std::fflush(nullptr);
        _exit(status);
    }
    return child;
}

inline ChildResult waitFor(const StartedChild& child)
{
    const auto text = [](int file) {
        std::string bytes;
        char buffer[65536];
        for (ssize_t n; (n = pread(file, buffer, sizeof buffer, off_t(bytes.size()))) > 0;)
            bytes.append(buffer, std::size_t(n));
        close(file);
        return bytes;
    };
    int status = 0;
    waitpid(child.pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(child.errors), text(child.output)};
}

// Runs `body` in a forked child and hands back the message it sets.
inline ChildResult inChild(const std::function<int(std::string& message)>& body)
{
    return waitFor(startChild([&] {
        std::string message;
        const int status = body(message);
        (void)!write(STDERR_FILENO, message.data(), message.size());
        return status;
    }));
}
