#include "standard_output_sink.h"

#include "background_sink.h"
#include "system_error_text.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool standardOutputClosed = false;

class ClosedOutputSink : public ByteSink {
public:
    bool write(std::string_view) override { return false; }
    bool commit() override { return false; }
    std::string errorText() const override { return "la sortie standard est fermée"; }
};

class DescriptorSink : public ByteSink {
public:
    explicit DescriptorSink(int descriptor) : descriptor_(descriptor) {}

    bool write(std::string_view bytes) override
    {
        while (!failed_ && !bytes.empty()) {
            const ssize_t n = ::write(descriptor_, bytes.data(), bytes.size());
            if (n > 0)
                bytes.remove_prefix(static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                fail(n == 0 ? EIO : errno);
        }
        return !failed_;
    }

    // A file on a network share may only report a failed write when synced.
    bool commit() override
    {
        struct stat status {};
        if (!failed_ && fstat(descriptor_, &status) == 0 && S_ISREG(status.st_mode) && fsync(descriptor_) != 0 &&
            errno != EINVAL)
            fail(errno);
        return !failed_;
    }

    std::string errorText() const override { return error_; }

private:
    void fail(int errorNumber)
    {
        error_ = systemErrorText(errorNumber);
        failed_ = true;
    }

    int descriptor_;
    bool failed_ = false;
    std::string error_;
};

}  // namespace

std::unique_ptr<ByteSink> openStandardOutput()
{
    if (standardOutputClosed)
        return std::make_unique<ClosedOutputSink>();
    return std::make_unique<BackgroundSink>(std::make_unique<DescriptorSink>(STDOUT_FILENO));
}

void reserveStandardStreams()
{
    for (int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number: this very one.
        const int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened != descriptor && opened >= 0)
            close(opened);
        if (descriptor == STDOUT_FILENO)
            standardOutputClosed = true;
    }
}
