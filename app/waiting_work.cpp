#include "waiting_work.h"

#include <QCoreApplication>

bool WaitingWork::keepGoing()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !abandon_;
}
