#include "step_job.h"

#include "step_cancel.h"
#include "step_writer.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
std::atomic<int> workersAlive{0};
}  // namespace

bool stepWorkersRunning()
{
    return workersAlive.load() > 0;
}

// Everything the worker touches, kept alive by whichever of the job and the
// worker lasts longer.
struct StepJob::Shared {
    HeightGrid grid;
    StepOptions options;
    std::unique_ptr<ByteSink> sink;
    StepCancel cancel;
    StepProgress progress;
    mutable std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    StepResult result;
};

StepJob::StepJob(HeightGrid grid, StepOptions options, std::unique_ptr<ByteSink> sink)
    : shared_(std::make_shared<Shared>())
{
    shared_->grid = std::move(grid);
    shared_->options = options;
    shared_->sink = std::move(sink);
}

StepJob::~StepJob()
{
    if (started_ && !finished())
        shared_->cancel.cancel();
}

void StepJob::start()
{
    if (started_)
        return;
    started_ = true;
    ++workersAlive;
    std::thread([shared = shared_] {
        // Its exceptions are caught in the module, where they are known.
        StepResult result = writeStep(shared->grid, shared->options, *shared->sink, shared->cancel, shared->progress);
        // An uncommitted sink drops its temporary file here, on this thread.
        shared->sink.reset();
        shared->grid = HeightGrid();
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->result = std::move(result);
        shared->finished = true;
        shared->done.notify_all();
        --workersAlive;
    }).detach();
}

bool StepJob::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(shared_->mutex);
    return shared_->done.wait_for(lock, timeout, [this] { return shared_->finished; });
}

bool StepJob::finished() const
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->finished;
}

bool StepJob::cancel()
{
    return shared_->cancel.cancel();
}

const StepProgress& StepJob::progress() const
{
    return shared_->progress;
}

StepResult StepJob::result() const
{
    std::lock_guard<std::mutex> lock(shared_->mutex);
    return shared_->result;
}
