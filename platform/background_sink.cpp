#include "background_sink.h"

#include "buffer_pool.h"

#include <algorithm>

BackgroundSink::BackgroundSink(std::unique_ptr<ByteSink> sink, std::size_t chunk, std::size_t waitingAtMost)
    : sink_(std::move(sink)),
      chunk_(std::max<std::size_t>(chunk, 1)),
      waitingAtMost_(waitingAtMost),
      writer_([this] { writeInTurn(); })
{
}

BackgroundSink::~BackgroundSink()
{
    stop();
}

bool BackgroundSink::write(std::string_view bytes)
{
    std::string buffer = exportBuffers().take(bytes.size());
    buffer.assign(bytes.data(), bytes.size());
    return queue(std::move(buffer));
}

bool BackgroundSink::take(std::string&& bytes)
{
    return queue(std::move(bytes));
}

bool BackgroundSink::queue(std::string&& bytes)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || waitingBytes_ < waitingAtMost_ || waitingBytes_ == 0; });
    if (failed_)
        return false;
    if (bytes.empty())
        return true;
    waitingBytes_ += bytes.size();
    waiting_.push_back(std::move(bytes));
    changed_.notify_all();
    return true;
}

bool BackgroundSink::commit()
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        draining_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return failed_ || (waitingBytes_ == 0 && !busy_); });
        if (failed_)
            return false;
    }
    stop();
    return sink_->commit();
}

std::string BackgroundSink::errorText() const
{
    return sink_->errorText();
}

void BackgroundSink::writeInTurn()
{
    std::unique_lock<std::mutex> lock(mutex_);
    std::vector<std::string_view> pieces;
    for (;;) {
        // Up to the next multiple of the chunk, once that much waits.
        const std::size_t wanted = chunk_ - static_cast<std::size_t>(written_ % chunk_);
        changed_.wait(lock, [&] { return stopping_ || waitingBytes_ >= wanted || (draining_ && waitingBytes_ > 0); });
        if (stopping_)
            return;
        const std::size_t size = std::min(wanted, waitingBytes_);
        pieces.clear();
        std::size_t gathered = 0;
        std::size_t skip = frontWritten_;
        for (auto it = waiting_.begin(); gathered < size; ++it) {
            const std::size_t n = std::min(it->size() - skip, size - gathered);
            pieces.emplace_back(it->data() + skip, n);
            gathered += n;
            skip = 0;
        }
        busy_ = true;
        lock.unlock();
        // Buffers queued meanwhile go to the back: the front ones stay put.
        const bool written = sink_->writePieces(pieces.data(), pieces.size());
        lock.lock();
        busy_ = false;
        if (!written) {
            // The sink is left alone from here on; the next write or the
            // commit reports the failure.
            failed_ = true;
            waiting_.clear();
            waitingBytes_ = 0;
            changed_.notify_all();
            return;
        }
        written_ += size;
        waitingBytes_ -= size;
        std::size_t left = size;
        while (left > 0) {
            std::string& front = waiting_.front();
            const std::size_t n = std::min(front.size() - frontWritten_, left);
            left -= n;
            frontWritten_ += n;
            if (frontWritten_ == front.size()) {
                exportBuffers().give(std::move(front));
                waiting_.pop_front();
                frontWritten_ = 0;
            }
        }
        changed_.notify_all();
    }
}

void BackgroundSink::stop()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (writer_.joinable())
        writer_.join();
}
