#pragma once

// Runs the built orvanel-batch program as a child process, its standard
// output and error captured.

#include <QProcess>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

class BatchProcess {
public:
    // `fileSizeLimit` sets the child's RLIMIT_FSIZE, so that its writes fail
    // beyond that many bytes.
    // `program` runs instead of orvanel-batch, e.g. a shell that sets a limit first.
    explicit BatchProcess(const std::vector<std::string>& arguments, std::optional<rlim_t> fileSizeLimit = {},
                          const char* program = ORVANEL_BATCH_PROGRAM, const char* standardOutputFile = nullptr)
    {
        if (standardOutputFile)
            process_.setStandardOutputFile(QString::fromLocal8Bit(standardOutputFile));
        QStringList list;
        for (const std::string& argument : arguments)
            list << QString::fromStdString(argument);
        if (fileSizeLimit)
            process_.setChildProcessModifier([limit = *fileSizeLimit] {
                const rlimit size{limit, limit};
                setrlimit(RLIMIT_FSIZE, &size);
            });
        process_.start(QString::fromLocal8Bit(program), list);
        process_.waitForStarted();
    }

    qint64 pid() const { return process_.processId(); }

    // The exit status, or -1 when the program was killed by a signal or had
    // not ended within 20 s (it is then killed).
    int wait()
    {
        if (!process_.waitForFinished(20000)) {
            process_.kill();
            process_.waitForFinished();
            return -1;
        }
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }

    std::string standardOutput() { return process_.readAllStandardOutput().toStdString(); }
    std::string errorOutput() { return process_.readAllStandardError().toStdString(); }

private:
    QProcess process_;
};

// Runs the program to its end and returns its exit status.
inline int runBatch(const std::vector<std::string>& arguments, std::string* errors = nullptr,
                    const char* standardOutputFile = nullptr)
{
    BatchProcess process(arguments, {}, ORVANEL_BATCH_PROGRAM, standardOutputFile);
    const int status = process.wait();
    if (errors)
        *errors = process.errorOutput();
    return status;
}

struct MeasuredRun {
    int status = -1;  // -1 when killed
    std::uint64_t peakBytes = 0;  // the most resident memory it had
};

// Runs the program to its end, its output thrown away, and measures its
// peak of resident memory. Past `ceiling` bytes, or 20 s, it is killed
// rather than left to take the machine's memory.
inline MeasuredRun runBatchMeasured(const std::vector<std::string>& arguments, std::uint64_t ceiling)
{
    std::vector<const char*> argv{ORVANEL_BATCH_PROGRAM};
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int nowhere = open("/dev/null", O_WRONLY);
        dup2(nowhere, STDOUT_FILENO);
        dup2(nowhere, STDERR_FILENO);
        execv(argv[0], const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        std::ifstream proc("/proc/" + std::to_string(pid) + "/status");
        std::string word;
        std::uint64_t kilobytes = 0;
        while (proc >> word && !(word == "VmHWM:" && proc >> kilobytes)) {
        }
        if (kilobytes * 1024 > ceiling || std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::uint64_t(usage.ru_maxrss) * 1024};
}
