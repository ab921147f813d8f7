#include "screenlocker.h"

#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace QMWidgets {

ScreenLocker::ScreenLocker(QWidget *parent)
    : QLabel(parent)
{
    checkTimer = new QTimer(this);
    checkTimer->setInterval(10);

    unlockButton = new QPushButton(QStringLiteral("Unlock"));
    unlockButton->hide();

    QVBoxLayout *layout = new QVBoxLayout;
    layout->addWidget(unlockButton);
    setLayout(layout);

    checkTimer->start();
    connect(checkTimer, SIGNAL(timeout()), this, SLOT(slotCheck()));
    connect(unlockButton, SIGNAL(clicked()), this, SLOT(slotReleaseInputDevices()));
}

void ScreenLocker::showUnlockButton()
{
    unlockButton->show();
}

bool ScreenLocker::isLocked() const
{
    return checkTimer->isActive();
}

void ScreenLocker::slotLock()
{
    // Locking again after an unlock re-arms the periodic check.
    if (!checkTimer->isActive())
        checkTimer->start();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    showFullScreen();
    raise();
    unlockButton->grabKeyboard();
    unlockButton->grabMouse();
}

void ScreenLocker::slotTest()
{
    slotLock();
}

void ScreenLocker::slotCheck()
{
    slotLock();
}

void ScreenLocker::slotFocusChanged(QWidget *, QWidget *)
{
}

// Stopping the check timer is what makes the release last: otherwise the
// next tick would lock the screen again at once.
void ScreenLocker::slotReleaseInputDevices()
{
    checkTimer->stop();
    unlockButton->releaseKeyboard();
    unlockButton->releaseMouse();
    hide();
    emit unlocked();
}

bool ScreenLocker::event(QEvent *event)
{
    return QLabel::event(event);
}

} // namespace QMWidgets
