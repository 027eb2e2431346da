#include "terminal_progress.h"

#include "progress_line.h"

namespace {

constexpr auto delayBeforeShowing = std::chrono::milliseconds(500);
constexpr auto redrawInterval = std::chrono::milliseconds(100);
constexpr std::uint64_t cellsBetweenClockReads = 64;

}  // namespace

void TerminalProgress::start()
{
    done_ = 0;
    start_ = Clock::now();
}

void TerminalProgress::dot(double, double)
{
    ++done_;
    if (!terminal_ || done_ % cellsBetweenClockReads != 0)
        return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < delayBeforeShowing || (drawn_ && now - lastDraw_ < redrawInterval))
        return;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    std::fprintf(terminal_, "\r%s\033[K", progressLine(done_, total_, elapsed).c_str());
    std::fflush(terminal_);
    lastDraw_ = now;
    drawn_ = true;
}

void TerminalProgress::erase()
{
    if (!drawn_)
        return;
    std::fputs("\r\033[K", terminal_);
    std::fflush(terminal_);
    drawn_ = false;
}
