#include "band_writing.h"

#include "platform/buffer_pool.h"
#include "platform/byte_sink.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A band's bytes: about a megabyte, enough to keep a thread busy for a
// millisecond or two, few enough that the bands in flight stay small; a
// whole row as long as it makes no more than a few and there are rows
// enough for every thread (a row's texts are the same from one row to the
// next: a writer's best case).
constexpr double bandBytes = 1 << 20;
constexpr double rowBandBytes = 4 << 20;

struct Band {
    std::size_t part;
    std::uint64_t first, end;
};

// Each part in bands of about a megabyte, and in at least four bands per
// thread, so that a small export is shared out too.
std::vector<Band> planBands(const std::vector<BandPart>& parts, unsigned threads)
{
    std::vector<Band> bands;
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const BandPart& part = parts[p];
        if (part.rows == 0 || part.rowLength == 0)
            continue;
        const std::uint64_t shared = (part.rows * part.rowLength + 4 * threads - 1) / (4 * threads);
        const std::uint64_t items = std::max<std::uint64_t>(
            1, std::min(shared, static_cast<std::uint64_t>(bandBytes / std::max(part.bytesPerItem, 1.0))));
        const bool wholeRows = part.rows >= 4 * threads && double(part.rowLength) * part.bytesPerItem <= rowBandBytes;
        if (part.rowLength <= items || wholeRows) {
            const std::uint64_t rows = std::max<std::uint64_t>(1, items / part.rowLength);
            for (std::uint64_t r = 0; r < part.rows; r += rows)
                bands.push_back({p, r * part.rowLength, std::min(r + rows, part.rows) * part.rowLength});
        } else {
            // A row too long for one band: split into nearly equal pieces.
            const std::uint64_t pieces = (part.rowLength + items - 1) / items;
            for (std::uint64_t r = 0; r < part.rows; ++r)
                for (std::uint64_t i = 0; i < pieces; ++i)
                    bands.push_back({p, r * part.rowLength + part.rowLength * i / pieces,
                                     r * part.rowLength + part.rowLength * (i + 1) / pieces});
        }
    }
    return bands;
}

// Collects what a formatter's stream flushes into the band's buffer.
class BandBuffer : public ByteSink {
public:
    std::string* into = nullptr;
    bool write(std::string_view bytes) override
    {
        into->append(bytes);
        return true;
    }
    bool commit() override { return true; }
    std::string errorText() const override { return {}; }
};

struct Slot {
    std::string bytes;
    bool ready = false;
    bool made = false;
};

class BandRun {
public:
    BandRun(const BandedBody& body, std::vector<BandPart> parts, unsigned threads)
        : body_(body), parts_(std::move(parts)), bands_(planBands(parts_, threads)), slots_(2 * threads + 2)
    {
        for (unsigned i = 0; i < threads; ++i)
            workers_.emplace_back([this] { format(); });
    }
    ~BandRun() { stop(); }

    WalkResult write(TextOutput& out, BandWatcher* watcher)
    {
        for (std::size_t b = 0; b < bands_.size(); ++b) {
            Slot& slot = slots_[b % slots_.size()];
            std::unique_lock<std::mutex> lock(mutex_);
            while (!slot.ready) {
                if (!watcher) {
                    changed_.wait(lock);
                    continue;
                }
                if (changed_.wait_for(lock, std::chrono::milliseconds(1)) == std::cv_status::timeout) {
                    lock.unlock();
                    const bool goOn = watcher->waiting();
                    lock.lock();
                    if (!goOn)
                        return WalkResult::Abandoned;
                }
            }
            std::string bytes = std::move(slot.bytes);
            const bool made = slot.made;
            slot.bytes = std::string();
            slot.ready = false;
            ++handed_;
            changed_.notify_all();
            lock.unlock();
            if (!made)
                return WalkResult::Stopped;
            out.pass(std::move(bytes));
            // Still here when the stream copied it rather than kept it.
            exportBuffers().give(std::move(bytes));
            if (out.failed())
                return WalkResult::Stopped;
            const Band& band = bands_[b];
            if (watcher && !watcher->written(parts_[band.part], band.first, band.end))
                return WalkResult::Abandoned;
        }
        return WalkResult::Completed;
    }

private:
    void format()
    {
        BandBuffer buffer;
        TextOutput out(buffer);
        const std::unique_ptr<BandFormatter> formatter = body_.formatter(out);
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            // A band is taken only when its slot is free: at most as many in
            // flight as there are slots.
            changed_.wait(lock, [this] {
                return stopping_ || next_ >= bands_.size() || next_ < handed_ + slots_.size();
            });
            if (stopping_ || next_ >= bands_.size())
                return;
            const std::size_t b = next_++;
            lock.unlock();
            const Band& band = bands_[b];
            const BandPart& part = parts_[band.part];
            std::string bytes = exportBuffers().take(static_cast<std::size_t>(std::min(
                2 * bandBytes, part.bytesPerItem * static_cast<double>(band.end - band.first) * 1.25 + 4096)));
            buffer.into = &bytes;
            bool made = formatter->write(band.part, band.first, band.end);
            out.flush();
            made = made && !out.failed();
            lock.lock();
            Slot& slot = slots_[b % slots_.size()];
            slot.bytes = std::move(bytes);
            slot.made = made;
            slot.ready = true;
            changed_.notify_all();
        }
    }

    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        for (std::thread& worker : workers_)
            worker.join();
    }

    const BandedBody& body_;
    const std::vector<BandPart> parts_;
    const std::vector<Band> bands_;
    std::vector<Slot> slots_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;    // the next band to take
    std::size_t handed_ = 0;  // bands handed to the stream
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace

unsigned formattingThreads(unsigned wanted)
{
    if (wanted > 0)
        return wanted;
    return std::max(1u, std::thread::hardware_concurrency());
}

WalkResult writeBands(const BandedBody& body, unsigned threads, TextOutput& out, BandWatcher* watcher)
{
    if (out.failed())
        return WalkResult::Stopped;
    BandRun run(body, body.parts(), formattingThreads(threads));
    return run.write(out, watcher);
}
