#include "buffer_pool.h"

std::string BufferPool::take(std::size_t bytes)
{
    std::string buffer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // The first one large enough, or else the largest.
        std::size_t chosen = kept_.size();
        for (std::size_t i = 0; i < kept_.size(); ++i) {
            if (kept_[i].capacity() >= bytes) {
                chosen = i;
                break;
            }
            if (chosen == kept_.size() || kept_[i].capacity() > kept_[chosen].capacity())
                chosen = i;
        }
        if (chosen < kept_.size()) {
            buffer = std::move(kept_[chosen]);
            kept_[chosen] = std::move(kept_.back());
            kept_.pop_back();
            keptBytes_ -= buffer.capacity();
        }
    }
    buffer.clear();
    buffer.reserve(bytes);
    return buffer;
}

void BufferPool::give(std::string&& buffer)
{
    // Small ones cost little to make again.
    if (buffer.capacity() < (std::size_t(64) << 10))
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (keptBytes_ + buffer.capacity() > keptAtMost_)
        return;
    keptBytes_ += buffer.capacity();
    kept_.push_back(std::move(buffer));
}

BufferPool& exportBuffers()
{
    static BufferPool pool(std::size_t(32) << 20);
    return pool;
}
