#pragma once

#include <functional>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

struct ChildResult {
    int status = -1;  // -1 when the child did not exit
    std::string message;
};

// Runs `body` in a forked child, which exits with what it returns and hands
// back the message it sets.
inline ChildResult inChild(const std::function<int(std::string& message)>& body)
{
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    if (fork() == 0) {
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
    wait(&status);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
