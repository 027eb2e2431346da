#pragma once

#include <cstddef>
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
    // Bytes the sink may keep rather than copy; they follow what was written before.
    virtual bool take(std::string&& bytes) { return write(bytes); }
    // Pieces that follow one another, written as one where the sink can.
    virtual bool writePieces(const std::string_view* pieces, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            if (!write(pieces[i]))
                return false;
        return true;
    }
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
