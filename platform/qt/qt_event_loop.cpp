#include "qt_event_loop.h"

#include <QCoreApplication>

bool QtEventLoop::yield()
{
    // The clock is read every 64 calls: cells take about a microsecond.
    if (++calls_ % 64 == 0 && sinceLastPass_.elapsed() >= 10) {
        QCoreApplication::processEvents();
        sinceLastPass_.restart();
    }
    return !abandon_;
}
