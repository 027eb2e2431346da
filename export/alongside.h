#pragma once

// Work for the other processor: a thread of its own, or, when none can be
// started, done when its result is asked for.

#include <future>
#include <system_error>

template <typename Work>
auto alongside(const Work& work) -> std::future<decltype(work())>
{
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, work);
    }
}
