#pragma once

// Lets pending window events run. Returns false when the running export must
// be abandoned (its "Scan" window was closed, or the program is ending).
class EventLoop {
public:
    virtual ~EventLoop() = default;
    virtual bool yield() = 0;
};
