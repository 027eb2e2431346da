#pragma once

#include <string>

// Work after the walk that takes a while (a surface being built): the
// desktop shows it on its progress bar with "Annuler", the command line
// waits for a stop signal.
class LongWork {
public:
    virtual ~LongWork() = default;
    virtual void start(const std::string& caption) = 0;
    // The phase the work is in and the share of the whole work done, from 0
    // to 1, as far as the work can tell.
    virtual void progress(const std::string& /*phase*/, double /*done*/) {}
    // Lets events run; false once the user or a signal asked to stop.
    virtual bool keepGoing() = 0;
    virtual void finish() = 0;
};
