#pragma once

#include <memory>
#include <string>
#include <string_view>

// Where an export's bytes go. A file sink writes to a temporary file that
// replaces the target only on commit(); dropping the sink without commit
// leaves any earlier file at the path untouched.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(std::string_view bytes) = 0;
    virtual bool commit() = 0;
    virtual std::string errorText() const = 0;
};

// Opens a sink for a path; on failure returns null and sets `error` to the
// system's reason.
class OutputOpener {
public:
    virtual ~OutputOpener() = default;
    virtual std::unique_ptr<ByteSink> open(const std::string& path, std::string& error) = 0;
};
