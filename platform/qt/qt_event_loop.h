#pragma once

#include "platform/event_loop.h"

#include <QElapsedTimer>

// Runs pending window events during an export, at most every 10 ms or so:
// the windows stay responsive and the dots appear without paying an
// event-loop pass, or a clock read, for every cell. `abandon` is raised by the windows when the
// export must stop.
class QtEventLoop : public EventLoop {
public:
    explicit QtEventLoop(const bool& abandon) : abandon_(abandon) { sinceLastPass_.start(); }
    bool yield() override;

private:
    const bool& abandon_;
    QElapsedTimer sinceLastPass_;
    unsigned calls_ = 0;
};
