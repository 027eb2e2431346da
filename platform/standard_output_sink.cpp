#include "standard_output_sink.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

class StandardOutputSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        while (!bytes.empty() && error_ == 0) {
            const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                error_ = written < 0 ? errno : EIO;
            else
                bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return error_ == 0;
    }
    bool commit() override { return error_ == 0; }
    std::string errorText() const override { return error_ ? std::strerror(error_) : std::string(); }

private:
    int error_ = 0;
};

}  // namespace

std::unique_ptr<ByteSink> openStandardOutput(std::string&)
{
    return std::make_unique<StandardOutputSink>();
}
