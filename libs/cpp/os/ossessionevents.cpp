#include "ossessionevents.h"

#include "os.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {
const char *const kLoginService = "org.freedesktop.login1";
const char *const kLoginPath = "/org/freedesktop/login1";
const char *const kLoginManager = "org.freedesktop.login1.Manager";

const int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe the handlers write to; both ends stay open for the process.
int s_signalPipe[2] = {-1, -1};

// What a SIGINT writes to standard error before it ends the program; null
// while no ending writes anything. A note once published is never freed: a
// handler on another thread may still be writing it.
std::atomic<const QByteArray *> s_interruptNote{nullptr};

void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        size -= size_t(written);
    }
}

// Async-signal-safe: one byte into a non-blocking pipe (a full pipe drops
// it, and one byte is as good as many), errno kept. A SIGINT while an
// ending writes ends the program at once, by the signal's default action
// once this handler returns.
extern "C" void onTerminationSignal(int signalNumber)
{
    const int savedErrno = errno;
    const QByteArray *note = s_interruptNote.load();
    if (signalNumber == SIGINT && note) {
        writeAll(STDERR_FILENO, note->constData(), size_t(note->size()));
        ::signal(signalNumber, SIG_DFL);
        ::raise(signalNumber); // blocked in this handler: delivered as it returns
        errno = savedErrno;
        return;
    }
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    const ssize_t written = ::write(s_signalPipe[1], &byte, 1);
    (void)written;
    errno = savedErrno;
}

bool installTerminationHandlers()
{
    if (s_signalPipe[0] >= 0)
        return true;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    s_signalPipe[0] = ends[0];
    s_signalPipe[1] = ends[1];
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool installed = true;
    for (const int signalNumber : kTerminationSignals) {
        // A signal ignored when the program started stays ignored, as a
        // shell wants it: nohup ignores SIGHUP, a script's background job
        // SIGINT.
        struct sigaction current = {};
        if (::sigaction(signalNumber, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        installed = ::sigaction(signalNumber, &action, nullptr) == 0 && installed;
    }
    return installed;
}

void post(quint32 code, quintptr wParam)
{
    Os::NativeMessage message;
    message.message = code;
    message.wParam = wParam;
    Os::nativeEvent(&message);
}
}

OsSessionEvents::OsSessionEvents(QObject *parent)
    : QObject(parent)
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        connect(app, SIGNAL(commitDataRequest(QSessionManager &)), this,
                SLOT(slotCommitData(QSessionManager &)));
    }

    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return;
    const bool sleep = bus.connect(kLoginService, kLoginPath, kLoginManager,
                                   QStringLiteral("PrepareForSleep"), this,
                                   SLOT(slotPrepareForSleep(bool)));
    const bool shutdown = bus.connect(kLoginService, kLoginPath, kLoginManager,
                                      QStringLiteral("PrepareForShutdown"), this,
                                      SLOT(slotPrepareForShutdown(bool)));
    m_onSystemBus = sleep || shutdown;
}

void OsSessionEvents::slotPrepareForSleep(bool sleeping)
{
    post(Os::PowerBroadcast, sleeping ? Os::PowerSuspend : Os::PowerResumeAutomatic);
}

void OsSessionEvents::slotPrepareForShutdown(bool shuttingDown)
{
    // The false edge only tells that a shutdown was cancelled.
    if (shuttingDown)
        post(Os::EndSession, 1);
}

void OsSessionEvents::slotCommitData(QSessionManager &)
{
    post(Os::EndSession, 1);
}

void OsSessionEvents::setUnwrittenAtInterrupt(const QStringList &items)
{
    static std::vector<std::unique_ptr<QByteArray>> published;
    if (items.isEmpty()) {
        s_interruptNote.store(nullptr);
        return;
    }
    QByteArray note;
    const QByteArray prefix = QCoreApplication::applicationName().toLocal8Bit()
                              + ": interrupted, left unwritten: ";
    for (const QString &item : items)
        note += prefix + item.toLocal8Bit() + '\n';
    published.push_back(std::make_unique<QByteArray>(note));
    s_interruptNote.store(published.back().get());
}

bool OsSessionEvents::catchTerminationSignals()
{
    if (!installTerminationHandlers())
        return false;
    if (!m_signalNotifier) {
        m_signalNotifier = new QSocketNotifier(s_signalPipe[0], QSocketNotifier::Read, this);
        connect(m_signalNotifier, SIGNAL(activated(int)), this, SLOT(slotReadTerminationSignals()));
    }
    return true;
}

void OsSessionEvents::slotReadTerminationSignals()
{
    unsigned char bytes[16];
    ssize_t count;
    while ((count = ::read(s_signalPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i)
            emit terminationSignal(int(bytes[i]));
    }
}
