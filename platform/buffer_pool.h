#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

// Buffers of an export's bytes, passed from the threads that fill them to
// the thread that writes them, then kept for the next ones: memory the
// system has already given is filled again rather than asked for anew (a
// fresh megabyte costs 256 page faults, each clearing its page).
class BufferPool {
public:
    explicit BufferPool(std::size_t keptAtMost) : keptAtMost_(keptAtMost) {}

    // An empty buffer with room for at least `bytes`.
    std::string take(std::size_t bytes);
    // Keeps the buffer's memory while the pool holds less than its bound.
    void give(std::string&& buffer);

private:
    const std::size_t keptAtMost_;
    std::mutex mutex_;
    std::vector<std::string> kept_;
    std::size_t keptBytes_ = 0;
};

// The pool the exports' buffers go round in: a few dozen megabytes at most.
BufferPool& exportBuffers();
