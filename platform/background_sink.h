#pragma once

#include "byte_sink.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Hands the writes to a thread of its own, so that an export goes on making
// its text while the disk takes the previous buffer. At most a few buffers
// wait; a write that failed there is reported by a later write or by
// commit(). Dropped without commit, the sink under it is dropped uncommitted.
class BackgroundSink : public ByteSink {
public:
    explicit BackgroundSink(std::unique_ptr<ByteSink> sink, std::size_t waitingAtMost = 4);
    ~BackgroundSink() override;

    bool write(std::string_view bytes) override;
    bool commit() override;
    std::string errorText() const override;

private:
    void writeInTurn();
    void stop();

    std::unique_ptr<ByteSink> sink_;
    const std::size_t waitingAtMost_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::string> waiting_;
    std::vector<std::string> spare_;  // written buffers, kept for their memory
    bool busy_ = false;
    bool failed_ = false;
    bool stopping_ = false;
    std::thread writer_;
};
