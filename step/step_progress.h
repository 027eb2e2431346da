#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>

// How far a STEP export has gone: its worker enters each phase in turn and,
// where OpenCASCADE counts its own work (the block's sewing, the
// translation), says the share of the phase done; the waiting thread reads
// it at any time. What the worker calls is inline: it runs in the module
// that holds OpenCASCADE.
class StepProgress {
public:
    enum class Phase { Surface, Block, Translation, Text };

    void enter(Phase phase) { state_.store(pack(phase, 0.0)); }
    // `done` from 0 to 1 of the phase entered last.
    void advance(double done) { state_.store(pack(phase(), done)); }

    Phase phase() const { return Phase(state_.load() / perPhase); }
    // The share of the whole export done, each phase weighed by its usual
    // share of the time.
    double done() const;
    // The phase as the progress bar names it, in French.
    static const char* name(Phase phase);

private:
    // Phase and share in one number, so that a reader never pairs a phase
    // with another's share.
    static constexpr std::uint32_t perPhase = 1000000;
    static std::uint32_t pack(Phase phase, double done)
    {
        return std::uint32_t(phase) * perPhase + std::uint32_t(std::clamp(done, 0.0, 1.0) * (perPhase - 1));
    }

    std::atomic<std::uint32_t> state_{0};
};
