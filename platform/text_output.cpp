#include "text_output.h"

TextOutput::TextOutput(ByteSink& sink, std::size_t bufferSize) : sink_(sink), flushAt_(bufferSize)
{
    buffer_.reserve(bufferSize + 4096);
}

void TextOutput::flush()
{
    if (!failed_ && !buffer_.empty() && !sink_.write(buffer_))
        failed_ = true;
    buffer_.clear();
}

bool TextOutput::Close()
{
    flush();
    if (!failed_ && !sink_.commit())
        failed_ = true;
    return !failed_;
}
