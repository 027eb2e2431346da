#pragma once

#include "platform/byte_sink.h"
#include "relief/height_grid.h"
#include "step_options.h"
#include "step_progress.h"

#include <chrono>
#include <memory>

// One STEP export on a thread of its own, so that the caller's event loop
// keeps running. The surface construction cannot be interrupted, so cancel()
// never waits for it: the worker is left to finish alone and its result,
// the sink with it, is dropped uncommitted. Dropping the job cancels it.
//
//     StepJob job(std::move(grid), options, std::move(sink));
//     job.start();
//     while (!job.waitFor(std::chrono::milliseconds(50)))
//         if (userCancelled) { job.cancel(); break; }
//     if (job.finished()) report(job.result());
// Whether a worker, abandoned or not, is still at work: a program that
// ends then must not run its static destructors under it.
bool stepWorkersRunning();

class StepJob {
public:
    StepJob(HeightGrid grid, StepOptions options, std::unique_ptr<ByteSink> sink);
    ~StepJob();
    StepJob(const StepJob&) = delete;
    StepJob& operator=(const StepJob&) = delete;

    void start();
    // True once the worker has finished (written, refused or failed), waiting
    // at most `timeout` for it.
    bool waitFor(std::chrono::milliseconds timeout);
    bool finished() const;
    // Returns at once. True when nothing will be written; false when the file
    // was already being committed (the result then stands).
    bool cancel();
    // The worker's outcome, once finished().
    StepResult result() const;
    // How far the worker has gone.
    const StepProgress& progress() const;

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
    bool started_ = false;
};
