#pragma once

#include <string>

// Work after the walk that takes a while and cannot report its progress (a
// surface being built): the desktop shows a dialog with "Annuler", the
// command line waits for a stop signal.
class LongWork {
public:
    virtual ~LongWork() = default;
    virtual void start(const std::string& caption) = 0;
    // Lets events run; false once the user or a signal asked to stop.
    virtual bool keepGoing() = 0;
    virtual void finish() = 0;
};
