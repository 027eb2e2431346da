#pragma once

#include "byte_sink.h"

#include <string>
#include <string_view>

// The export's text stream: Write adds text, WriteLine adds text and a CRLF
// line end, Close hands everything to the sink and commits it. Text is taken
// as single-byte Windows-1252 characters and written as it stands. Writes are
// gathered in a large buffer so that the sink sees few, large writes.
class TextOutput {
public:
    explicit TextOutput(ByteSink& sink, std::size_t bufferSize = 1 << 20);

    void Write(std::string_view text)
    {
        buffer_.append(text);
        if (buffer_.size() >= flushAt_)
            flush();
    }
    void WriteLine(std::string_view text)
    {
        buffer_.append(text);
        buffer_.append("\r\n", 2);
        if (buffer_.size() >= flushAt_)
            flush();
    }
    // Writes what is left and commits; false when any write or the commit failed.
    bool Close();

    bool failed() const { return failed_; }
    std::string errorText() const { return sink_.errorText(); }

private:
    void flush();

    ByteSink& sink_;
    std::string buffer_;
    std::size_t flushAt_;
    bool failed_ = false;
};
