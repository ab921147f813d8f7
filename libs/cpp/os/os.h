#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class OsSessionEvents;
class QUrl;

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

    // Lets a write to a pipe or socket whose reader is gone fail (EPIPE)
    // instead of ending the program: standard error may be a pipe nobody
    // reads any more. SIGPIPE gets a handler that does nothing; unlike an
    // ignored disposition a handler does not outlive exec, so the programs
    // this one starts get SIGPIPE at its default. A SIGPIPE ignored at the
    // call stays ignored. False when the handler could not be installed.
    static bool catchBrokenPipe();

    // Shows the file in the system file manager by opening the folder that
    // holds it (a "file://" URL, through openUrlWatched()). Returns whether
    // a program started; false for an empty path, which names no folder. A
    // later failure of the opener goes to failed, as openUrlWatched() says.
    static bool showInFileManager(const QString &filePath, const QObject *context,
                                  std::function<void(const QString &cause)> failed);
    // As above; a later failure of the opener is written to standard error.
    static bool showInFileManager(const QString &filePath);

    // The program through which the desktop opens links and folders, run
    // by openUrlWatched() itself to learn how it ended: "xdg-open" on the
    // X11 and Wayland platforms outside a sandbox (Flatpak, Snap), else
    // empty. Looked up on PATH at each use; another name (a stand-in) may
    // be set, an empty one leaves every link to QDesktopServices.
    static QString linkOpener();
    static void setLinkOpener(const QString &program);
    // Opens the URL as QDesktopServices does, except where linkOpener() is
    // found on PATH: that is started here (a URL handler registered with
    // QDesktopServices is not asked then), and when it ends with a failure
    // status or dies of a signal, failed receives the cause, a phrase that
    // names the opener and, for its "nothing available" status, what it
    // lacked (missing, e.g. "web browser"). failed is not called once
    // context is gone; without a context the cause is written to standard
    // error. Returns whether a program started.
    static bool openUrlWatched(const QUrl &url, const QString &missing, const QObject *context,
                               std::function<void(const QString &cause)> failed);

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
