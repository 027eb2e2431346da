#pragma once

#include "platform/long_work.h"

// Long work waited for with the window events running: the progress bar
// shows it, and `abandon` is raised by its "Annuler", Escape, closing
// "Scan" or closing the program.
class WaitingWork : public LongWork {
public:
    explicit WaitingWork(const bool& abandon) : abandon_(abandon) {}

    void start(const std::string&) override {}
    bool keepGoing() override;
    void finish() override {}

private:
    const bool& abandon_;
};
