#include "batch_output.h"

#include "interrupt_signal.h"

#include "platform/replacing_file_sink.h"
#include "platform/same_file.h"
#include "platform/standard_output_sink.h"
#include "relief/export_messages.h"

#include <cstdio>

namespace {

// A stop signal that comes once the last byte is written must still keep
// the new file from replacing the earlier one.
class StopCheckingSink : public ByteSink {
public:
    explicit StopCheckingSink(ByteSink& sink) : sink_(sink) {}

    bool write(std::string_view bytes) override { return sink_.write(bytes); }
    bool take(std::string&& bytes) override { return sink_.take(std::move(bytes)); }
    bool commit() override { return committed_ = interruptingSignal() == 0 && sink_.commit(); }
    std::string errorText() const override { return sink_.errorText(); }
    bool committed() const { return committed_; }

private:
    ByteSink& sink_;
    bool committed_ = false;
};

}  // namespace

void say(const std::string& text)
{
    std::fprintf(stderr, "orvanel-batch : %s\n", text.c_str());
}

std::string outputName(const std::string& path)
{
    return path == "-" ? "sortie standard" : path;
}

bool sameOutput(const std::string& a, const std::string& b)
{
    if (a == "-" || b == "-")
        return a == b;
    return sameFile(a, b);
}

int writeOutputFile(const std::string& path, const std::function<void(const std::string&)>& say,
                    const std::function<ExportResult(ByteSink&)>& write)
{
    catchInterruptions();
    std::string error;
    ReplacingFileOpener files;
    std::unique_ptr<ByteSink> sink = path == "-" ? openStandardOutput() : files.open(path, error);
    if (!sink) {
        say(writeFailureMessage(outputName(path), error));
        return exit_status::writeFailed;
    }
    StopCheckingSink checked(*sink);
    const ExportResult result = write(checked);
    const std::string reason = result.reason.empty() ? checked.errorText() : result.reason;
    sink.reset();
    if (checked.committed())
        return exit_status::written;
    if (const int signal = interruptingSignal())
        return exit_status::interruptedBy(signal);
    // What the writer found it cannot make (a base the surface crosses).
    if (result.outcome == ExportOutcome::Refused) {
        say(result.reason);
        return exit_status::refused;
    }
    say(writeFailureMessage(outputName(path), reason));
    return exit_status::writeFailed;
}
