// Measures how long a slow peer holds the first instance's thread: a first
// instance with a 10 ms timer on its thread, and a peer (this program as a
// child) that connects, sends a marked text one byte every INTERVAL ms for
// BYTES bytes and then its NUL. Prints the longest gap between the timer's
// ticks, when the connection ended (peer's view) and whether the text was
// delivered.
//
//   bench_instancehold [BYTES [INTERVAL]]      (default 15 bytes, 800 ms)
#include "singleappcheck.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QUuid>

#include <cstdio>

using QMRequest::SingleAppCheck;

namespace {

// The peer: exit 0 when it sent everything, 1 when the receiver closed first.
int drip(const QString &key, int bytes, int intervalMs)
{
    QLocalSocket socket;
    socket.connectToServer(SingleAppCheck::serverName(key));
    if (!socket.waitForConnected(5000))
        return 2;
    QElapsedTimer clock;
    clock.start();
    socket.write("\xEF\xBB\xBF");
    socket.waitForBytesWritten(5000);
    for (int i = 0; i <= bytes; ++i) {
        QThread::msleep(intervalMs);
        // A closed receiver shows as end of stream.
        if (socket.waitForReadyRead(0) || socket.state() != QLocalSocket::ConnectedState) {
            std::printf("peer: dropped after %d bytes, %.1f s\n", i, clock.elapsed() / 1000.0);
            return 1;
        }
        socket.write(i < bytes ? QByteArray("d") : QByteArray(1, '\0'));
        socket.waitForBytesWritten(5000);
    }
    std::printf("peer: sent %d bytes and the end in %.1f s\n", bytes, clock.elapsed() / 1000.0);
    socket.waitForDisconnected(30000);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--drip") == 0)
        return drip(QString::fromLocal8Bit(argv[2]), atoi(argv[3]), atoi(argv[4]));

    const int bytes = argc > 1 ? atoi(argv[1]) : 15;
    const int intervalMs = argc > 2 ? atoi(argv[2]) : 800;
    const QString key = QStringLiteral("bench-hold-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    SingleAppCheck first(key);

    QElapsedTimer sinceTick;
    qint64 longestGap = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestGap = qMax(longestGap, sinceTick.restart()); });
    int delivered = 0;
    QObject::connect(&first, &SingleAppCheck::messageAvailable, [&](const QString &) { ++delivered; });

    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(&peer, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                     [] { QTimer::singleShot(200, [] { QCoreApplication::quit(); }); });
    sinceTick.start();
    ticker.start(10);
    peer.start(QCoreApplication::applicationFilePath(),
               {QStringLiteral("--drip"), key, QString::number(bytes), QString::number(intervalMs)});
    app.exec();
    std::printf("receiver: longest gap between 10 ms ticks %.2f s, messages delivered %d\n",
                longestGap / 1000.0, delivered);
    return 0;
}
