#pragma once

#include <atomic>

// Who wins between the user's cancel and the worker's commit: whichever
// comes first, without either waiting for the other.
class StepCancel {
public:
    // Returns at once; true when the result will be discarded, false when it
    // was already being committed.
    bool cancel()
    {
        int expected = Working;
        return state_.compare_exchange_strong(expected, Cancelled) || expected == Cancelled;
    }
    bool cancelled() const { return state_.load() == Cancelled; }
    // The worker's last step: true when it may commit.
    bool beginCommit()
    {
        int expected = Working;
        return state_.compare_exchange_strong(expected, Committing);
    }

private:
    enum { Working, Cancelled, Committing };
    std::atomic<int> state_{Working};
};
