#include "interrupt_signal.h"

#include <csignal>

#include <unistd.h>

namespace {

constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void noteStopSignal(int signal)
{
    stopSignal = signal;
}

extern "C" void endNow(int signal)
{
    _exit(128 + signal);
}

void handleStopSignals(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (const int signal : stopSignals)
        sigaction(signal, &action, nullptr);
}

}  // namespace

void endAtOnceOnInterruption()
{
    handleStopSignals(endNow);
}

void catchInterruptions()
{
    handleStopSignals(noteStopSignal);
}

int interruptingSignal()
{
    return stopSignal;
}
