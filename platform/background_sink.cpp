#include "background_sink.h"

BackgroundSink::BackgroundSink(std::unique_ptr<ByteSink> sink, std::size_t waitingAtMost)
    : sink_(std::move(sink)), waitingAtMost_(waitingAtMost), writer_([this] { writeInTurn(); })
{
}

BackgroundSink::~BackgroundSink()
{
    stop();
}

bool BackgroundSink::write(std::string_view bytes)
{
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || waiting_.size() < waitingAtMost_; });
    if (failed_)
        return false;
    std::string buffer;
    if (!spare_.empty()) {
        buffer = std::move(spare_.back());
        spare_.pop_back();
    }
    buffer.assign(bytes.data(), bytes.size());
    waiting_.push_back(std::move(buffer));
    changed_.notify_all();
    return true;
}

bool BackgroundSink::commit()
{
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return failed_ || (waiting_.empty() && !busy_); });
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
    for (;;) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_)
            return;
        std::string buffer = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        lock.unlock();
        const bool written = sink_->write(buffer);
        lock.lock();
        busy_ = false;
        spare_.push_back(std::move(buffer));
        if (!written) {
            // The sink is left alone from here on; the next write or the
            // commit reports the failure.
            failed_ = true;
            waiting_.clear();
        }
        changed_.notify_all();
        if (failed_)
            return;
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
