#pragma once

#include <QLabel>

class QPushButton;
class QTimer;

namespace QMWidgets {

// A label that turns itself into a frameless, always-on-top, full-screen
// window and has its "Unlock" button grab keyboard and mouse, re-asserting
// this every 10 ms from construction on. The button (shown by
// showUnlockButton) releases the lock: the grabs end, the check timer stops,
// the window hides and unlocked() is emitted. slotLock() locks again.
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
