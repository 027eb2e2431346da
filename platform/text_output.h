#pragma once

#include "byte_sink.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

// The export's text stream: Write adds text, WriteLine adds text and a CRLF
// line end, close hands everything to the sink and commits it. Text is taken
// as single-byte Windows-1252 characters and written as it stands. Writes are
// gathered in a large buffer so that the sink sees few, large writes.
//
// Writers that produce many small pieces can also fill the buffer in place:
// room(n) gives a position with at least n bytes free, and wrote(end) takes
// everything up to `end` as written.
class TextOutput {
public:
    explicit TextOutput(ByteSink& sink, std::size_t bufferSize = 1 << 18);

    void write(std::string_view text)
    {
        if (text.size() > capacity_ - size_)
            return writeLong(text, false);
        copy(data_.get() + size_, text);
        size_ += text.size();
        if (size_ >= flushAt_)
            flush();
    }
    void writeLine(std::string_view text)
    {
        if (text.size() + 2 > capacity_ - size_)
            return writeLong(text, true);
        char* p = data_.get() + size_;
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = '\r';
        p[text.size() + 1] = '\n';
        size_ += text.size() + 2;
        if (size_ >= flushAt_)
            flush();
    }

    // At least `bytes` bytes of room at the returned position, to be followed
    // by wrote() with the end of what was put there.
    char* room(std::size_t bytes)
    {
        if (bytes > capacity_ - size_)
            makeRoom(bytes);
        return data_.get() + size_;
    }
    void wrote(char* end)
    {
        size_ = static_cast<std::size_t>(end - data_.get());
        if (size_ >= flushAt_)
            flush();
    }

    // Hands the buffered text to the sink now.
    void flush();
    // Text made elsewhere (a band of a banded export), handed to the sink
    // after what is buffered without being copied again.
    void pass(std::string&& text);

    // Writes what is left and commits; false when any write or the commit failed.
    bool close();

    bool failed() const { return failed_; }
    std::string errorText() const { return sink_.errorText(); }

private:
    // The short pieces of a cell (its opening, its closing) are copied 16
    // bytes at a time in the compiler's own moves: the C library's copy of a
    // few dozen bytes takes its AVX-512 path on some processors, which made
    // a whole VRML 1.0 export two and a half times slower there.
    static void copy(char* to, std::string_view text)
    {
        const char* from = text.data();
        std::size_t n = text.size();
        if (n < 16 || n > 256) {
            std::memcpy(to, from, n);
            return;
        }
        const std::size_t last = n - 16;
        for (std::size_t i = 0; i < last; i += 16)
            std::memcpy(to + i, from + i, 16);
        std::memcpy(to + last, from + last, 16);
    }

    void makeRoom(std::size_t bytes);
    void writeLong(std::string_view text, bool endLine);

    ByteSink& sink_;
    std::unique_ptr<char[]> data_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    std::size_t flushAt_;
    bool failed_ = false;
};
