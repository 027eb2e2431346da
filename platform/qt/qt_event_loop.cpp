#include "qt_event_loop.h"

#include <QCoreApplication>

bool QtEventLoop::yield()
{
    if (sinceLastPass_.elapsed() >= 10) {
        QCoreApplication::processEvents();
        sinceLastPass_.restart();
    }
    return !abandon_;
}
