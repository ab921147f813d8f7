#pragma once

#include <QEventLoop>
#include <QObject>

namespace MTools {

// Waits on the GUI thread without freezing it: wait() runs a nested event
// loop until a single-shot timer ends it, so events, signals and other timers
// keep being processed meanwhile. One wait at a time per object; code that may
// run during a wait uses its own Delay.
class Delay : public QObject
{
    Q_OBJECT

public:
    explicit Delay(QObject *parent = nullptr);

    // Returns no earlier than the given milliseconds (negative counts as 0).
    void wait(int milliseconds);

public slots:
    void slotUnblock();

private:
    QEventLoop m_loop;
};

} // namespace MTools
