#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

class OsSessionEvents;

// What the support library knows about the operating system. Most operations
// are static and need no instance; the class is a QObject so that session and
// power notices can be offered as signals of one process-wide object.
//
// Session and power notices arrive as small native messages (NativeMessage)
// and go through nativeEvent(), which keeps the suspend/resume state. On this
// platform the singleton feeds it itself: the login manager's PrepareForSleep
// and PrepareForShutdown signals on the system bus and the application's
// commit-data request at the end of the session. Without a reachable system
// bus those sources stay silent.
class Os : public QObject
{
    Q_OBJECT

public:
    // A session or power notice: the message code and its parameter.
    struct NativeMessage
    {
        quint32 message = 0;
        quintptr wParam = 0;
    };
    // Message codes and power-event parameters nativeEvent() understands.
    static constexpr quint32 EndSession = 0x16;
    static constexpr quint32 PowerBroadcast = 0x218;
    static constexpr quintptr PowerSuspend = 0x4;
    static constexpr quintptr PowerResumeAutomatic = 0x12;

    Os();
    // Clears the process-wide instance pointer when it is this object.
    ~Os() override;

    // The process-wide object, created without parent on first use; the
    // caller may delete it, a later call then creates a new one.
    static Os *instance();

    // Turns a session or power notice into a signal of the instance: session
    // end gives atUserLogout() whatever wParam says; a suspend gives
    // atSwitchToStandBy() once until the next automatic resume, which gives
    // atWakeUpFromStandBy() only after a suspend. Does nothing without an
    // instance. Always false: the message is never consumed.
    static bool nativeEvent(const NativeMessage *message);

    // Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal)
    // into atTerminationRequest() of the instance, emitted from its thread's
    // event loop: the handler itself only writes the signal's number to a
    // pipe. Every later one of the three arrives the same way. One of them
    // that is ignored at the first call (nohup, a script's background job)
    // stays ignored. False when the pipe or a handler could not be set up
    // (the signals then keep their default action).
    static bool catchTerminationSignals();

    // What an ending still has to write that the user asked to keep (file
    // names as they are to be shown), or none once it is done. While any is
    // listed, a SIGINT caught as above ends the program at once: it writes
    // "<application name>: interrupted, left unwritten: <item>" on standard
    // error for each and dies of the signal. SIGTERM and SIGHUP still wait
    // for the event loop, so they do not cut that work short.
    static void setUnwrittenAtInterrupt(const QStringList &items);

    // The platform's shared-library file name for a base name: base + ".so".
    static QString libraryFileName(const QString &baseName);

    // Shows the file in the system file manager by opening the folder that
    // holds it (a "file://" URL through the desktop services). Returns the
    // result of that call; false for an empty path, which names no folder.
    static bool showInFileManager(const QString &filePath);

    // Scale factor of the screen on top of Qt's device pixel ratio; 1.0 on
    // every supported system. Callers multiply screen sizes by it.
    static double scaleFactor();

    // Start with the desktop session: an autostart entry
    // "<config>/autostart/<application name>.desktop" that runs this program.
    // Enabled when the entry is a regular file with a non-empty command (its
    // Exec key's first argument, unescaped and unquoted) and is not hidden.
    static bool isAutoStartEnabled();
    // Writes (on) or removes (off) the entry; failures are not reported. The
    // program's path is escaped as the desktop-entry format requires, and a
    // folder, FIFO or device standing at the entry's name is not replaced.
    static void setAutoStart(bool on);
    // The entry's file path for the current application name.
    static QString autoStartFilePath();

    // Store-review pacing. Declared here, defined by the application shell,
    // which owns the settings and the rating dialog: only programs that link
    // the shell may call these; this library links nothing above it.
    // At most one attempt a run, three requests a year, and apart from the
    // first (or a forced) request only every N-th call; see the shell's
    // ReviewPacing for the rules and the settings used.
    static void requestStoreReview();
    static int reviewRequestCalls();
    static int reviewRequestCount();
    static QDate lastReviewRequestDate();
    static bool reviewRequestsExhausted();
    static void requestReview(bool force);
    static int remainingReviewRequests();
    static void setReviewRequestInterval(const int &interval);

    bool isInStandBy() const { return inStandBy; }

signals:
    void atSwitchToStandBy();
    void atWakeUpFromStandBy();
    void atUserLogout();
    // A termination signal arrived (see catchTerminationSignals).
    void atTerminationRequest(int signalNumber);
    // Offered for connections; nothing emits it on this platform.
    void atWorkspaceChanged();

private:
    bool inStandBy = false;
    OsSessionEvents *m_sessionEvents = nullptr;
};
