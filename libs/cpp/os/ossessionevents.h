#pragma once

#include <QObject>
#include <QStringList>

class QSessionManager;
class QSocketNotifier;

// Feeds the platform's session and power notices into Os::nativeEvent() as
// native messages: the login manager's PrepareForSleep(bool) on the system
// bus becomes suspend (true) and automatic resume (false), its
// PrepareForShutdown(true) and the application's commit-data request become
// the session's end. Connects to nothing when no system bus is reachable.
class OsSessionEvents : public QObject
{
    Q_OBJECT

public:
    explicit OsSessionEvents(QObject *parent = nullptr);

    // True when the login manager's signals are connected.
    bool isConnectedToSystemBus() const { return m_onSystemBus; }

    // Installs the handlers of SIGTERM, SIGINT and SIGHUP (once per process;
    // one ignored at that moment stays ignored) and reads what they write to
    // their pipe; each signal then gives terminationSignal(). False when that
    // could not be set up.
    bool catchTerminationSignals();

    // See Os::setUnwrittenAtInterrupt().
    static void setUnwrittenAtInterrupt(const QStringList &items);

signals:
    void terminationSignal(int signalNumber);

public slots:
    void slotPrepareForSleep(bool sleeping);
    void slotPrepareForShutdown(bool shuttingDown);
    void slotCommitData(QSessionManager &manager);

private slots:
    void slotReadTerminationSignals();

private:
    bool m_onSystemBus = false;
    QSocketNotifier *m_signalNotifier = nullptr;
};
