#pragma once

#include <QObject>
#include <QSharedMemory>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace QMRequest {

// Tells a program whether another instance of it already runs, and lets a
// later instance pass a text to the first one. The first instance holds a
// one-byte shared-memory segment named by userScopedKey(key), so that each
// user of the machine has instances of its own, and listens on a local server
// named serverName(key); a later instance finds the segment and may send.
// One message is one local-socket connection carrying UTF-8 text. This class
// sends the text behind a byte-order mark and ends it with a NUL byte, so
// that a marked connection that closes before the NUL is known to carry a cut
// message and delivers nothing; an unmarked text (a sender that just closes)
// is delivered up to the close or its first NUL. The first instance reads
// each connection as its bytes arrive, without waiting on its thread, and
// drops one whose sender stays silent for a second or takes longer than five
// seconds plus a second per MiB received, or sends more than 64 MiB before
// its NUL.
// Build the object without parent and keep it for the whole run.
class SingleAppCheck : public QObject
{
    Q_OBJECT

public:
    explicit SingleAppCheck(const QString &key);
    // Releases the segment; the last holder on the machine removes it.
    ~SingleAppCheck() override;

    // True when another instance held the segment when this object was built.
    bool isRunning() const;

    // Sends the text to the first instance. False for the first instance
    // itself and when connecting or writing stood still for a second (the
    // receiver likewise drops a message whose sender stays silent that long);
    // failures go to the debug log only.
    bool sendMessage(const QString &message);

    // The name of the segment for a key: the key, "-" and the id of the user
    // running the process.
    static QString userScopedKey(const QString &key);
    // The name of the server for a key. On Unix a socket named by the key in
    // a folder that only this user can write, so no other user can listen
    // under it: the runtime folder (XDG_RUNTIME_DIR) when it is such a folder,
    // otherwise "singleappcheck-<user id>" in the temporary folder, which the
    // first instance creates with mode 0700. Neither instance uses a folder
    // that is a link, belongs to another user or is writable by others: the
    // first then has no server and sending fails. Elsewhere userScopedKey(key).
    static QString serverName(const QString &key);

signals:
    void messageAvailable(QString message);

public slots:
    void slotReceiveMessage();

private:
    // Reads one connection's message as it arrives and emits it when whole.
    void receive(QLocalSocket *socket);

    bool m_running = false;
    QString m_key;
    QString m_name; // userScopedKey(m_key)
    QString m_serverName; // serverName(m_key)
    QSharedMemory m_segment;
    QLocalServer *m_server = nullptr;
};

} // namespace QMRequest
