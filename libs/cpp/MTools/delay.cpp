#include "delay.h"

#include <QTimer>

namespace MTools {

Delay::Delay(QObject *parent)
    : QObject(parent)
{
}

void Delay::wait(int milliseconds)
{
    // A negative interval would never start the timer and the loop would run
    // for ever; a precise timer never ends the wait early.
    QTimer::singleShot(qMax(0, milliseconds), Qt::PreciseTimer, this, SLOT(slotUnblock()));
    m_loop.exec(QEventLoop::AllEvents);
}

void Delay::slotUnblock()
{
    m_loop.exit(0);
}

} // namespace MTools
