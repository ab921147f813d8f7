#pragma once

#include <QLabel>

class QPushButton;
class QTimer;

namespace QMWidgets {

// A label that, once slotLock() is called, turns itself into a frameless,
// always-on-top, full-screen window and has its "Unlock" button grab keyboard
// and mouse, re-asserting this every 10 ms until released. Nothing locks
// before slotLock(). A click on the button releases the lock only while the
// button is shown (showUnlockButton): the grabs end, the check timer stops,
// the window hides and unlocked() is emitted. With the button hidden, the
// lock ends only from code, by slotReleaseInputDevices().
class ScreenLocker : public QLabel
{
    Q_OBJECT
public:
    explicit ScreenLocker(QWidget *parent = nullptr);

    void showUnlockButton();
    bool isLocked() const;

signals:
    void unlocked();

public slots:
    void slotLock();
    void slotTest();
    void slotCheck();
    void slotFocusChanged(QWidget *old, QWidget *now);
    void slotReleaseInputDevices();

protected:
    bool event(QEvent *event) override;

private:
    QPushButton *unlockButton;
    QTimer *checkTimer;  // child of the locker
};

} // namespace QMWidgets
