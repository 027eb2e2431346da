#pragma once

#include "byte_sink.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Hands the writes to a thread of its own, so that an export goes on making
// its text while the disk takes the earlier bytes. The thread gathers what
// it is given, however it comes (a few bytes, bands of a megabyte or two),
// into writes of `chunk` bytes at offsets that are multiples of it (the
// last one shorter), whose write-back the file sink starts as a whole. At
// most `waitingAtMost` bytes wait, beyond the write being given; a write
// that failed there is reported by a later write or by commit(). Dropped
// without commit, the sink under it is dropped uncommitted.
class BackgroundSink : public ByteSink {
public:
    static constexpr std::size_t defaultChunk = std::size_t(8) << 20;

    explicit BackgroundSink(std::unique_ptr<ByteSink> sink, std::size_t chunk = defaultChunk,
                            std::size_t waitingAtMost = 2 * defaultChunk);
    ~BackgroundSink() override;

    bool write(std::string_view bytes) override;
    bool take(std::string&& bytes) override;
    bool commit() override;
    std::string errorText() const override;

private:
    bool queue(std::string&& bytes);
    void writeInTurn();
    void stop();

    std::unique_ptr<ByteSink> sink_;
    const std::size_t chunk_;
    const std::size_t waitingAtMost_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> waiting_;
    std::size_t frontWritten_ = 0;  // bytes of waiting_.front() already written
    std::size_t waitingBytes_ = 0;  // not yet written
    unsigned long long written_ = 0;
    bool busy_ = false;
    bool draining_ = false;  // commit: the last, short write too
    bool failed_ = false;
    bool stopping_ = false;
    std::thread writer_;
};
