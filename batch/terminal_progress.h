#pragma once

#include "platform/export_windows.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

// The command line's "Scan" window: instead of green dots, a progress bar
// redrawn in place on a terminal. It appears only once an export has run for
// half a second and is redrawn at most ten times a second, so short exports
// print nothing. With no terminal it only counts.
class TerminalProgress : public CellProgress {
public:
    TerminalProgress(std::FILE* terminal, std::uint64_t totalCells) : terminal_(terminal), total_(totalCells) {}

    void start();
    void dot(double x, double y) override;

    // Clears the bar from its line, so that a message can be printed there.
    void erase();

private:
    using Clock = std::chrono::steady_clock;

    std::FILE* terminal_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastDraw_;
    bool drawn_ = false;
};
