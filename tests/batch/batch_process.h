#pragma once

// Runs the built orvanel-batch program as a child process, its standard
// output and error captured.

#include <QProcess>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include <sys/resource.h>

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
