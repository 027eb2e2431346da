#include "text_output.h"

namespace {
// Room kept past the flush mark, so that the pieces of a line rarely
// need a flush of their own.
constexpr std::size_t spare = 64 * 1024;
}  // namespace

TextOutput::TextOutput(ByteSink& sink, std::size_t bufferSize)
    : sink_(sink),
      data_(new char[bufferSize + spare]),
      capacity_(bufferSize + spare),
      flushAt_(bufferSize)
{
}

void TextOutput::flush()
{
    if (!failed_ && size_ > 0 && !sink_.write(std::string_view(data_.get(), size_)))
        failed_ = true;
    size_ = 0;
}

void TextOutput::makeRoom(std::size_t bytes)
{
    flush();
    if (bytes > capacity_) {
        data_.reset(new char[bytes]);
        capacity_ = bytes;
    }
}

void TextOutput::writeLong(std::string_view text, bool endLine)
{
    flush();
    if (text.size() + 2 <= capacity_) {
        if (endLine)
            writeLine(text);
        else
            write(text);
        return;
    }
    // Longer than the whole buffer: straight to the sink.
    if (!failed_ && !sink_.write(text))
        failed_ = true;
    if (endLine)
        write("\r\n");
}

void TextOutput::pass(std::string&& text)
{
    flush();
    if (!failed_ && !text.empty() && !sink_.take(std::move(text)))
        failed_ = true;
}

bool TextOutput::close()
{
    flush();
    if (!failed_ && !sink_.commit())
        failed_ = true;
    return !failed_;
}
