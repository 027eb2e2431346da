#include "export_command.h"

#include "band_writing.h"
#include "cell_table.h"

namespace {

class DotPerCell : public CellConsumer {
public:
    explicit DotPerCell(CellProgress& progress) : progress_(progress) {}
    bool cell(const ReliefCell& c) override
    {
        progress_.dot(c.x, c.y);
        return true;
    }

private:
    CellProgress& progress_;
};

// The bands' cells marked in order as they are written, a yield per cell
// as the walk has it, and yields while the next band is being made.
class BandProgress : public BandWatcher {
public:
    BandProgress(EventLoop& events, CellProgress& progress, const CellPlaces& cells)
        : events_(events), progress_(progress), cells_(cells)
    {
    }
    bool waiting() override { return events_.yield(); }
    bool written(const BandPart& part, std::uint64_t first, std::uint64_t end) override
    {
        if (!part.marksCells)
            return events_.yield();
        const auto mark = [this](std::uint64_t row, std::uint64_t from, std::uint64_t to) {
            for (std::uint64_t c = from; row < cells_.rows() && c < to && c < cells_.columns(); ++c) {
                progress_.dot(cells_.x(c), cells_.y(row));
                if (!events_.yield())
                    return false;
            }
            return true;
        };
        return forEachRowRun(first, end, part.rowLength, mark);
    }

private:
    EventLoop& events_;
    CellProgress& progress_;
    const CellPlaces& cells_;
};

}  // namespace

ExportResult writeExport(const FormatEntry& format, const ExportJob& job, const FormatOptions& options,
                         ByteSink& sink, EventLoop& events, CellProgress& progress, LongWork& work)
{
    TextOutput out(sink);
    const std::unique_ptr<ReliefWriter> writer = format.makeWriter(job, options, out);
    const auto failed = [&out, &writer] {
        const std::string reason = writer->failureReason();
        return ExportResult{ExportOutcome::Failed, reason.empty() ? out.errorText() : reason, {}};
    };
    const std::optional<ReliefWriter::OwnGrid> own = writer->ownGrid();
    std::optional<CellTable> cells;
    if (!own)
        cells = CellTable::of(job.parameters, job.selection, *job.picture);
    const BandedBody* body = own ? own->body : cells ? writer->bands(*cells) : nullptr;
    const CellPlaces* places = own ? own->places : cells ? &*cells : nullptr;
    if (!writer->begin())
        return failed();
    const auto walk = [&] {
        if (body) {
            BandProgress watcher(events, progress, *places);
            return writeBands(*body, job.threads, out, &watcher);
        }
        DotPerCell dots(progress);
        return walkRelief(job.parameters, job.selection, *job.picture, events, {&writer->cells(), &dots});
    };
    switch (walk()) {
    case WalkResult::Abandoned:
        return {ExportOutcome::Abandoned, {}, {}};
    case WalkResult::Stopped:
        return failed();
    case WalkResult::Completed:
        break;
    }
    switch (writer->finish(work)) {
    case FinishResult::Abandoned:
        return {ExportOutcome::Abandoned, {}, {}};
    case FinishResult::Failed:
        return failed();
    case FinishResult::Refused:
        return {ExportOutcome::Refused, writer->failureReason(), {}};
    case FinishResult::Done:
        break;
    }
    if (!out.close())
        return failed();
    return {ExportOutcome::Written, {}, writer->completionNotes(), writer->meshFacts()};
}
