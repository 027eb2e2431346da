#pragma once

#include <cstdint>

// The positions of the walk along one axis: start, then each one the one
// before plus the step, for as long as it is at most `bound`. A step that
// no longer moves a position ends the axis after that position, and a step
// that is not positive gives no position at all. The walk, the cell count
// and the height grid all go through here, so their rounding is the same.
class GridAxis {
public:
    GridAxis(double start, double bound, double step)
        : at_(start), bound_(bound), step_(step), more_(step > 0 && start <= bound)
    {
    }

    bool more() const { return more_; }
    double at() const { return at_; }
    double next() const { return at_ + step_; }  // the far side of the cell at at()

    void advance()
    {
        const double next = at_ + step_;
        more_ = next != at_ && next <= bound_;
        at_ = next;
    }

    // As up to `count` calls of advance(), stopping after the one that ends
    // the axis; returns how many were made. The time grows with the number
    // of powers of two the positions pass, not with `count`.
    std::uint64_t skip(std::uint64_t count);

private:
    double at_;
    double bound_;
    double step_;
    bool more_;
};

// How many positions the axis has (cells along it), exactly, in the time
// of skip().
std::uint64_t countPositions(double start, double bound, double step);
