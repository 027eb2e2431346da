#pragma once

#include "relief_walk.h"
#include "platform/text_output.h"

#include <cstdint>
#include <memory>
#include <vector>

// The body of a file written a band at a time: bands are formatted in
// parallel, each into a buffer of its own, and the buffers handed to the
// stream strictly in order, so that the bytes are those of one writer going
// through the body from start to end.
//
// A body is a sequence of parts (a text format's cells; an OBJ's points,
// then its faces), each `rows` rows of `rowLength` items; a band is a run
// of whole rows, or of part of one row when a row alone is too long.
struct BandPart {
    std::uint64_t rows = 0;
    std::uint64_t rowLength = 0;
    double bytesPerItem = 64;  // about: sets how many items make a band
    // Item (row, column) stands for the walk's cell (row, column) where the
    // walk has one: the progress marks it once its band is written.
    bool marksCells = false;
};

// Calls `run(row, first, end)` for the part of each row that items
// [first, end) of a part take, rows being `rowLength` items long, in order;
// false as soon as a call is.
template <typename Run>
bool forEachRowRun(std::uint64_t first, std::uint64_t end, std::uint64_t rowLength, Run run)
{
    for (std::uint64_t at = first; at < end;) {
        const std::uint64_t row = at / rowLength, column = at % rowLength;
        const std::uint64_t to = end < (row + 1) * rowLength ? end : (row + 1) * rowLength;
        if (!run(row, column, column + (to - at)))
            return false;
        at = to;
    }
    return true;
}

// Formats bands into the stream it was made with: one per thread, keeping
// what it learns (its caches) from one band to the next.
class BandFormatter {
public:
    virtual ~BandFormatter() = default;
    // Items [first, end) of a part, counted row by row from its start;
    // false when the band cannot be made.
    virtual bool write(std::size_t part, std::uint64_t first, std::uint64_t end) = 0;
};

class BandedBody {
public:
    virtual ~BandedBody() = default;
    virtual std::vector<BandPart> parts() const = 0;
    virtual std::unique_ptr<BandFormatter> formatter(TextOutput& out) const = 0;
};

// Told on the thread that writes, between bands.
class BandWatcher {
public:
    virtual ~BandWatcher() = default;
    // While the next band is being formatted, every millisecond or so;
    // false abandons the body.
    virtual bool waiting() = 0;
    // A band was handed to the stream; false abandons the body.
    virtual bool written(const BandPart& part, std::uint64_t first, std::uint64_t end) = 0;
};

// Threads the machine offers for formatting: at least one.
unsigned formattingThreads(unsigned wanted = 0);

// Writes the body into `out` after what it holds, formatted by `threads`
// threads (0: one per core) with a fixed number of bands in flight whatever
// the body's size. Abandoned when the watcher says so, Stopped when a band
// or the stream failed.
WalkResult writeBands(const BandedBody& body, unsigned threads, TextOutput& out, BandWatcher* watcher = nullptr);
