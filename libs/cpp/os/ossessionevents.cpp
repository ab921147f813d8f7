#include "ossessionevents.h"

#include "os.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QSessionManager>

namespace {
const char *const kLoginService = "org.freedesktop.login1";
const char *const kLoginPath = "/org/freedesktop/login1";
const char *const kLoginManager = "org.freedesktop.login1.Manager";

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
