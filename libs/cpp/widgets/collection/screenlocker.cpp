#include "screenlocker.h"

#include <QPushButton>
#include <QScreen>
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

    // The timer is armed by slotLock(): a locker that is merely created
    // leaves the display alone.
    connect(checkTimer, SIGNAL(timeout()), this, SLOT(slotCheck()));
    // The hidden button still holds the grabs and would take any click or
    // key meant for the locked screen: only a visible one unlocks.
    connect(unlockButton, &QPushButton::clicked, this, [this] {
        if (unlockButton->isVisible())
            slotReleaseInputDevices();
    });
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
    // Arms the periodic check, again after an unlock too.
    if (!checkTimer->isActive())
        checkTimer->start();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    // Without a window manager nobody acts on the full-screen request: the
    // window covers the screen only because it is given the screen's geometry.
    if (QScreen *target = screen())
        setGeometry(target->geometry());
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
