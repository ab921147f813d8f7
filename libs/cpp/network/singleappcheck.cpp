#include "singleappcheck.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <memory>

#ifdef Q_OS_UNIX
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>
#endif

namespace QMRequest {

namespace {
// How long either side waits for the peer to take or give a byte before it
// gives up: a hung peer holds it no longer, while a long message on a busy
// machine goes on while its bytes keep moving (within the bound below).
const int kSilenceMs = 1000;
// The receiver's bound for a whole message: a base plus a second per MiB
// received. A peer that keeps sending a byte now and then is dropped once it
// passes the bound, as a silent one is after kSilenceMs. The base leaves a
// message sent in pieces over a few seconds whole.
const qint64 kMessageBaseMs = 5000;
const qint64 kMessageMsPerMiB = 1000;
// The most a message may hold before its NUL: a message names files, and a
// peer that sends more is dropped before its bytes fill the memory.
const int kMaxMessageBytes = 64 * 1024 * 1024;
// UTF-8 byte-order mark: starts a text that a NUL ends.
const QByteArray kMark("\xEF\xBB\xBF");

#ifdef Q_OS_UNIX
// A folder in which nobody but this user can create, remove or replace
// entries: a real folder, not a link, owned by this user and writable by
// neither group nor others.
bool isPrivateFolder(const QString &path)
{
    struct stat info;
    if (!QDir::isAbsolutePath(path) || ::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
           && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
#endif

// Whether the server named so cannot be another user's.
bool isOwnServerName(const QString &serverName)
{
#ifdef Q_OS_UNIX
    return isPrivateFolder(QFileInfo(serverName).path());
#else
    Q_UNUSED(serverName)
    return true;
#endif
}
}

SingleAppCheck::SingleAppCheck(const QString &key)
    : m_key(key)
    , m_name(userScopedKey(key))
    , m_serverName(serverName(key))
{
    m_segment.setKey(m_name);

    // A segment left behind by a crashed instance has no holder any more and
    // would make every later start look like a second one. Attaching and
    // detaching once removes such a segment (detach deletes it when this was
    // the last attachment) and leaves a live one untouched.
    if (m_segment.attach(QSharedMemory::ReadWrite))
        m_segment.detach();

    if (m_segment.attach(QSharedMemory::ReadWrite)) {
        m_running = true;
        return;
    }

    m_running = false;
    if (!m_segment.create(1, QSharedMemory::ReadWrite)) {
        // Another instance may have created it between our attach and create.
        if (m_segment.error() == QSharedMemory::AlreadyExists
            && m_segment.attach(QSharedMemory::ReadWrite)) {
            m_running = true;
            return;
        }
        qDebug() << "Unable to create single instance.";
        return;
    }

    m_server = new QLocalServer(this);
    connect(m_server, SIGNAL(newConnection()), this, SLOT(slotReceiveMessage()));
#ifdef Q_OS_UNIX
    // Made private from the start; an existing folder is left as it is and
    // must pass the check below.
    ::mkdir(QFile::encodeName(QFileInfo(m_serverName).path()).constData(), S_IRWXU);
#endif
    if (!isOwnServerName(m_serverName)) {
        qDebug() << "Single instance server: not a private folder:" << m_serverName;
        return;
    }
    // This instance holds the segment, so nobody else listens under the key:
    // a socket file still there is a crashed instance's and would block listen.
    QLocalServer::removeServer(m_serverName);
    if (!m_server->listen(m_serverName))
        qDebug() << "Single instance server:" << m_server->errorString();
}

SingleAppCheck::~SingleAppCheck()
{
    if (m_segment.isAttached())
        m_segment.detach();
}

bool SingleAppCheck::isRunning() const
{
    return m_running;
}

bool SingleAppCheck::sendMessage(const QString &message)
{
    if (!m_running)
        return false;

    if (!isOwnServerName(m_serverName)) {
        qDebug() << "Single instance: not a private folder:" << m_serverName;
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(m_serverName, QIODevice::WriteOnly);
    if (!socket.waitForConnected(kSilenceMs)) {
        qDebug() << socket.errorString();
        return false;
    }

    // A byte-order mark before the text says that a NUL ends it; a text cut
    // because this side gave up arrives without the NUL. A receiver that
    // takes the bytes up to the first NUL as UTF-8 reads the same text, since
    // UTF-8 decoding drops a leading byte-order mark.
    socket.write(kMark + message.toUtf8() + '\0');
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(kSilenceMs)) {
            qDebug() << socket.errorString();
            return false;
        }
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState
        && !socket.waitForDisconnected(kSilenceMs)) {
        qDebug() << socket.errorString();
        return false;
    }
    return true;
}

void SingleAppCheck::slotReceiveMessage()
{
    if (!m_server)
        return;
    while (QLocalSocket *socket = m_server->nextPendingConnection())
        receive(socket);
}

void SingleAppCheck::receive(QLocalSocket *socket)
{
    // The message is the text up to its NUL; it may arrive in several pieces.
    // It is read as the pieces arrive, never waited for, so that neither a
    // slow peer nor several at once hold this thread; each connection has a
    // timer of its own for silence and for the whole message.
    struct Incoming
    {
        QByteArray bytes;
        QElapsedTimer age;
        bool ended = false;
    };
    const auto incoming = std::make_shared<Incoming>();
    incoming->age.start();
    auto *timeout = new QTimer(socket);
    timeout->setSingleShot(true);

    // A marked text is whole only with its NUL. An unmarked one comes from a
    // sender that ends its text by closing the connection: it is everything
    // up to the close (or a NUL), as such a sender means it, or up to where
    // the receiver gives up.
    const auto end = [this, socket, timeout, incoming] {
        if (incoming->ended)
            return;
        incoming->ended = true;
        timeout->stop();
        QByteArray &bytes = incoming->bytes;
        if (bytes.size() <= kMaxMessageBytes)
            bytes += socket->readAll();
        const bool marked = bytes.startsWith(kMark);
        const int nul = bytes.indexOf('\0');
        const bool fits = (nul >= 0 ? nul : bytes.size()) <= kMaxMessageBytes;
        const bool whole = fits && (marked ? nul >= 0 : !bytes.isEmpty());
        if (!whole)
            qDebug() << "Single instance: incomplete message dropped:"
                     << (!fits ? QByteArray("the message is too large")
                         : socket->state() == QLocalSocket::ConnectedState ? QByteArray("the sender is too slow")
                                                                           : socket->errorString().toLatin1());
        else if (nul >= 0)
            bytes.truncate(nul);
        socket->disconnectFromServer();
        // One connection per message: do not let sockets pile up in a long run.
        socket->deleteLater();
        if (whole)
            emit messageAvailable(QString::fromUtf8(bytes));
    };
    const auto read = [socket, timeout, incoming, end] {
        const QByteArray piece = socket->readAll();
        incoming->bytes += piece;
        if (piece.contains('\0')) {
            end();
            return;
        }
        if (incoming->bytes.size() > kMaxMessageBytes) {
            end();
            return;
        }
        const qint64 bound = kMessageBaseMs + incoming->bytes.size() * kMessageMsPerMiB / (1024 * 1024);
        timeout->start(int(qBound<qint64>(0, bound - incoming->age.elapsed(), kSilenceMs)));
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    connect(socket, &QLocalSocket::disconnected, this, end);
    connect(timeout, &QTimer::timeout, this, end);
    if (socket->state() != QLocalSocket::ConnectedState)
        end();
    else
        read();
}

QString SingleAppCheck::userScopedKey(const QString &key)
{
#ifdef Q_OS_UNIX
    const QString user = QString::number(::getuid());
#else
    const QString user = qEnvironmentVariable("USERNAME");
#endif
    return key + QLatin1Char('-') + user;
}

QString SingleAppCheck::serverName(const QString &key)
{
#ifdef Q_OS_UNIX
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!isPrivateFolder(folder))
        folder = QDir::tempPath() + QStringLiteral("/singleappcheck-") + QString::number(::getuid());
    return folder + QLatin1Char('/') + key;
#else
    return userScopedKey(key);
#endif
}

} // namespace QMRequest
