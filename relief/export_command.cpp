#include "export_command.h"

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
    if (!writer->begin())
        return failed();
    DotPerCell dots(progress);
    switch (walkRelief(job.parameters, job.selection, *job.picture, events, {&writer->cells(), &dots})) {
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
