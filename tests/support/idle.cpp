#include "idle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QThread>
#include <QThreadPool>

namespace {
void pump()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
}

bool Idle::settle(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    int quietRounds = 0;
    while (timer.elapsed() < timeoutMs) {
        const bool busyPool = QThreadPool::globalInstance()->activeThreadCount() > 0;
        pump();
        if (!busyPool) {
            if (++quietRounds >= 3)
                return true;
        } else {
            quietRounds = 0;
            if (busyPool)
                QThread::msleep(1);
        }
    }
    return false;
}

bool Idle::waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        pump();
        QThread::msleep(1);
    }
    return true;
}
