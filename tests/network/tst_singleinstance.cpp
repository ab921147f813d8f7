#include "singleappcheck.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSharedMemory>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <QtTest>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

using QMRequest::SingleAppCheck;

namespace {

// A key no other test or parallel test run uses.
QString uniqueKey()
{
    return QStringLiteral("glyph-sic-") + QUuid::createUuid().toString(QUuid::Id128).left(16);
}

// Child modes: the same binary started with one of these as first argument.
//   --send KEY      second instance: sends stdin as the message;
//                   exit 0 sent, 2 found no first instance, 3 send failed
//   --first KEY     first instance: prints "first", prints the first message
//                   it receives, exits 0 (2 when another instance was found)
//   --crash KEY     first instance that dies without any clean-up (exit 0 when
//                   it was first, 2 otherwise)
//   --pair KEY      a first and a second instance in this process; exit 0 when
//                   the second's message reached the first, 2 when the first
//                   found another instance, 3 when the second found none, 4
//                   when sending failed, 5 when nothing arrived
//   --name KEY      prints the server name of the key
//   --trickle KEY   sends "piece0" to "piece5" as one marked text, pausing
//                   250 ms before each; exit 0 sent, 3 failed
//   --drip KEY MS   starts a marked text and adds a byte every MS ms, never
//                   its end; prints "connected" once connected and "sent N"
//                   with the bytes it added when the first instance drops
//                   it; exit 0 dropped, 3 connecting failed, 5 sent for 20 s
//                   without being dropped
//   --squat PATH    another user's server: listens at PATH (making its folder,
//                   open to all, when missing), prints "ready", then prints
//                   "got:" and each message that reaches it
int runChild(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString key = QString::fromLocal8Bit(argv[2]);

    if (mode == QLatin1String("--name")) {
        std::printf("%s\n", SingleAppCheck::serverName(key).toUtf8().constData());
        return 0;
    }
    if (mode == QLatin1String("--trickle")) {
        QLocalSocket socket;
        socket.connectToServer(SingleAppCheck::serverName(key));
        if (!socket.waitForConnected(20000))
            return 3;
        socket.write("\xEF\xBB\xBF");
        for (int i = 0; i < 6; ++i) {
            QThread::msleep(250);
            socket.write("piece" + QByteArray::number(i));
            if (!socket.waitForBytesWritten(20000))
                return 3;
        }
        socket.write(QByteArray(1, '\0'));
        if (!socket.waitForBytesWritten(20000))
            return 3;
        socket.disconnectFromServer();
        return 0;
    }
    if (mode == QLatin1String("--drip") && argc > 3) {
        const int intervalMs = std::atoi(argv[3]);
        QLocalSocket socket;
        socket.connectToServer(SingleAppCheck::serverName(key));
        if (!socket.waitForConnected(20000))
            return 3;
        std::printf("connected\n");
        std::fflush(stdout);
        socket.write("\xEF\xBB\xBF");
        QTimer drip;
        int sent = 0;
        QObject::connect(&drip, &QTimer::timeout, [&] {
            if (sent >= 20000 / intervalMs)
                QCoreApplication::exit(5);
            socket.write("d");
            ++sent;
        });
        QObject::connect(&socket, &QLocalSocket::disconnected, [&] {
            std::printf("sent %d\n", sent);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        drip.start(intervalMs);
        return app.exec();
    }
    if (mode == QLatin1String("--squat")) {
        const QString folder = QFileInfo(key).path();
        if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
            QFile::setPermissions(folder, QFileDevice::Permissions(0x7777));
        QLocalServer server;
        server.setSocketOptions(QLocalServer::WorldAccessOption);
        server.listen(key);
        QObject::connect(&server, &QLocalServer::newConnection, [&server] {
            QLocalSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QLocalSocket::disconnected, [socket] {
                std::printf("got:%s\n", socket->readAll().constData());
                std::fflush(stdout);
            });
        });
        std::printf("ready\n");
        std::fflush(stdout);
        QTimer::singleShot(60000, [] { QCoreApplication::exit(0); });
        return app.exec();
    }

    if (mode == QLatin1String("--send")) {
        QFile in;
        in.open(stdin, QIODevice::ReadOnly);
        const QString message = QString::fromUtf8(in.readAll());
        SingleAppCheck check(key);
        if (!check.isRunning())
            return 2;
        return check.sendMessage(message) ? 0 : 3;
    }
    if (mode == QLatin1String("--first")) {
        SingleAppCheck check(key);
        if (check.isRunning())
            return 2;
        QObject::connect(&check, &SingleAppCheck::messageAvailable, [](const QString &m) {
            std::printf("%s\n", m.toUtf8().constData());
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        std::printf("first\n");
        std::fflush(stdout);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(4); });
        return app.exec();
    }
    if (mode == QLatin1String("--pair")) {
        SingleAppCheck first(key);
        SingleAppCheck second(key);
        if (first.isRunning())
            return 2;
        if (!second.isRunning())
            return 3;
        QObject::connect(&first, &SingleAppCheck::messageAvailable,
                         [] { QCoreApplication::exit(0); });
        if (!second.sendMessage(QStringLiteral("pair")))
            return 4;
        QTimer::singleShot(20000, [] { QCoreApplication::exit(5); });
        return app.exec();
    }
    if (mode == QLatin1String("--crash")) {
        auto *check = new SingleAppCheck(key);
        std::_Exit(check->isRunning() ? 2 : 0);
    }
    return 1;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    static QString program() { return QCoreApplication::applicationFilePath(); }

    // The program that starts a child as another user, or empty with the
    // reason why children cannot run as other users here.
    static QString setprivForOtherUsers(QString *whyNot)
    {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (::geteuid() != 0)
            *whyNot = QStringLiteral("needs root to start processes as other users");
        else if (setpriv.isEmpty())
            *whyNot = QStringLiteral("setpriv is not installed");
        else if (!(QFile(QDir::tempPath()).permissions() & QFileDevice::WriteOther))
            *whyNot = QStringLiteral("the temporary folder is not shared by all users");
        return whyNot->isEmpty() ? setpriv : QString();
    }

private slots:
    void firstInstanceFindsNoneAndDoesNotSend()
    {
        // arrange
        const QString key = uniqueKey();
        // act
        SingleAppCheck first(key);
        // assert
        QVERIFY(!first.isRunning());
        QVERIFY(!first.sendMessage(QStringLiteral("to myself")));
    }

    void keyIsFreeAgainAfterFirstInstanceEnds()
    {
        const QString key = uniqueKey();
        {
            SingleAppCheck first(key);
            QVERIFY(!first.isRunning());
        }
        SingleAppCheck again(key);
        QVERIFY(!again.isRunning());
    }

    void secondObjectSendsToFirst_data()
    {
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("received");
        QTest::newRow("plain") << "C:/pictures/cat.png" << "C:/pictures/cat.png";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Bild \xc3\xa4\xe2\x82\xac \xf0\x9f\x90\x88")
                                   << QString::fromUtf8("Bild \xc3\xa4\xe2\x82\xac \xf0\x9f\x90\x88");
        QTest::newRow("cut at NUL") << QString::fromLatin1("abc\0def", 7) << "abc";
        QTest::newRow("empty") << "" << "";
    }
    void secondObjectSendsToFirst()
    {
        QFETCH(QString, sent);
        QFETCH(QString, received);
        const QString key = uniqueKey();
        SingleAppCheck first(key);
        QSignalSpy spy(&first, SIGNAL(messageAvailable(QString)));

        SingleAppCheck second(key);
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(sent));

        QVERIFY(spy.wait(20000));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), received);
    }

    void secondProcessSendsToFirst_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("delivered");
        QTest::newRow("short") << QByteArray("open /tmp/a b.png") << true;
        // Larger than one socket buffer: arrives in several pieces.
        QByteArray big(3 * 1024 * 1024, 'x');
        for (int i = 0; i < big.size(); i += 997)
            big[i] = char('a' + (i / 997) % 26);
        QTest::newRow("several megabytes") << big << true;
        // The receiver keeps at most 64 MiB of a message, its mark included.
        QTest::newRow("the largest message") << QByteArray(64 * 1024 * 1024 - 3, 'y') << true;
        QTest::newRow("a byte more") << QByteArray(64 * 1024 * 1024 - 2, 'y') << false;
    }
    void secondProcessSendsToFirst()
    {
        QFETCH(QByteArray, message);
        QFETCH(bool, delivered);
        const QString key = uniqueKey();
        SingleAppCheck first(key);
        QSignalSpy spy(&first, SIGNAL(messageAvailable(QString)));

        QProcess child;
        child.start(program(), {QStringLiteral("--send"), key});
        QVERIFY(child.waitForStarted(20000));
        child.write(message);
        child.closeWriteChannel();

        if (!delivered) {
            // Dropped: a message sent after it is the only one heard.
            QSignalSpy ended(&child, SIGNAL(finished(int, QProcess::ExitStatus)));
            QVERIFY(child.state() == QProcess::NotRunning || ended.wait(30000));
            QProcess next;
            next.start(program(), {QStringLiteral("--send"), key});
            QVERIFY(next.waitForStarted(20000));
            next.write("whole");
            next.closeWriteChannel();
            QTRY_VERIFY_WITH_TIMEOUT(spy.count() > 0 && next.state() == QProcess::NotRunning, 30000);
            QCOMPARE(spy.count(), 1);
            QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("whole"));
            return;
        }
        QVERIFY(spy.wait(20000));
        // The child may have ended already while the spy ran the event loop.
        QVERIFY(child.state() == QProcess::NotRunning || child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString().toUtf8(), message);
    }

    // Each side bears a second of silence, not a second for the whole
    // message: one that takes longer, its bytes moving all the while,
    // arrives whole.
    void slowTransferArrivesWhole_data()
    {
        QTest::addColumn<bool>("slowSender"); // else a slow receiver
        QTest::newRow("sender pausing between pieces") << true;
        QTest::newRow("receiver pausing between reads") << false;
    }
    void slowTransferArrivesWhole()
    {
        QFETCH(bool, slowSender);
        const QString key = uniqueKey();
        if (slowSender) {
            // arrange
            SingleAppCheck first(key);
            QSignalSpy spy(&first, SIGNAL(messageAvailable(QString)));
            // act
            QProcess child;
            child.start(program(), {QStringLiteral("--trickle"), key});
            QVERIFY(child.waitForStarted(20000));
            // assert
            QVERIFY(spy.wait(20000));
            QVERIFY(child.state() == QProcess::NotRunning || child.waitForFinished(30000));
            QCOMPARE(child.exitCode(), 0);
            QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("piece0piece1piece2piece3piece4piece5"));
            return;
        }
        // arrange: the segment held and a server that takes 64 KiB every 250 ms
        QSharedMemory holder(SingleAppCheck::userScopedKey(key));
        QVERIFY(holder.create(1));
        const QString name = SingleAppCheck::serverName(key);
        ::mkdir(QFile::encodeName(QFileInfo(name).path()).constData(), S_IRWXU);
        QLocalServer server;
        QVERIFY(server.listen(name));
        const QByteArray message(1024 * 1024, 'm');
        QProcess child;
        child.start(program(), {QStringLiteral("--send"), key});
        QVERIFY(child.waitForStarted(20000));
        child.write(message);
        while (child.bytesToWrite() > 0)
            QVERIFY(child.waitForBytesWritten(20000));
        child.closeWriteChannel();
        // act: read straight from the descriptor, so no buffer of Qt takes
        // the bytes faster
        QVERIFY(server.waitForNewConnection(20000));
        QLocalSocket *socket = server.nextPendingConnection();
        QByteArray received;
        char buffer[64 * 1024];
        while (!received.endsWith('\0')) {
            QThread::msleep(250);
            pollfd readable{int(socket->socketDescriptor()), POLLIN, 0};
            QCOMPARE(::poll(&readable, 1, 20000), 1);
            const ssize_t got = ::read(readable.fd, buffer, sizeof buffer);
            QVERIFY(got > 0);
            received.append(buffer, int(got));
        }
        // assert
        QVERIFY(child.state() == QProcess::NotRunning || child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(received, "\xEF\xBB\xBF" + message + '\0');
    }

    void firstInstanceInOtherProcessIsFoundAndReceives()
    {
        const QString key = uniqueKey();
        QProcess child;
        child.start(program(), {QStringLiteral("--first"), key});
        QVERIFY(child.waitForStarted(20000));
        QVERIFY(child.waitForReadyRead(20000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("first"));

        SingleAppCheck second(key);
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(QStringLiteral("hello first")));

        // The child may have ended already while the spy ran the event loop.
        QVERIFY(child.state() == QProcess::NotRunning || child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(child.readAll().trimmed(), QByteArray("hello first"));
    }

    void crashedFirstInstanceDoesNotBlockNewOne()
    {
        // arrange: a first instance that dies without releasing anything
        const QString key = uniqueKey();
        QProcess crashed;
        crashed.start(program(), {QStringLiteral("--crash"), key});
        QVERIFY(crashed.state() == QProcess::NotRunning || crashed.waitForFinished(30000));
        QCOMPARE(crashed.exitCode(), 0);
        // The dead instance's server socket is still there.
        QVERIFY(QFile::exists(SingleAppCheck::serverName(key)));

        // act
        SingleAppCheck first(key);
        QSignalSpy spy(&first, SIGNAL(messageAvailable(QString)));
        SingleAppCheck second(key);

        // assert: the new instance is the first one and listens
        QVERIFY(!first.isRunning());
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(QStringLiteral("after crash")));
        QVERIFY(spy.wait(20000));
        QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("after crash"));
    }

    // A marked connection that closes before the end of its text carried a
    // cut message: only whole ones are delivered. A sender that marks nothing
    // ends its text by closing, and is heard as such.
    void cutMessageIsNotDelivered_data()
    {
        QTest::addColumn<QByteArray>("firstBytes");
        QTest::addColumn<bool>("ours"); // sent by our sender, else raw
        QTest::addColumn<QStringList>("delivered");
        const QStringList whole{QStringLiteral("whole")};
        QTest::newRow("marked text without its end") << QByteArray("\xEF\xBB\xBF" "C:/pictures/ca") << false << whole;
        QTest::newRow("nothing") << QByteArray() << false << whole;
        QTest::newRow("unmarked text ended by the close")
            << QByteArray("C:/pictures/cat.png") << false << QStringList{QStringLiteral("C:/pictures/cat.png"), QStringLiteral("whole")};
        QTest::newRow("unmarked text up to its NUL")
            << QByteArray("caf\xC3\xA9\0rest", 10) << false << QStringList{QString::fromUtf8("caf\xC3\xA9"), QStringLiteral("whole")};
        // The receiver runs on the same thread and reads nothing meanwhile, so
        // our sender gives up once the socket's buffer is full.
        QTest::newRow("our text cut when the sender gives up") << QByteArray(8 * 1024 * 1024, 'c') << true << whole;
    }
    void cutMessageIsNotDelivered()
    {
        // arrange
        QFETCH(QByteArray, firstBytes);
        QFETCH(bool, ours);
        QFETCH(QStringList, delivered);
        const QString key = uniqueKey();
        SingleAppCheck first(key);
        QSignalSpy spy(&first, SIGNAL(messageAvailable(QString)));
        const auto sendRaw = [&](const QByteArray &bytes) {
            QLocalSocket socket;
            socket.connectToServer(SingleAppCheck::serverName(key));
            QVERIFY(socket.waitForConnected(20000));
            socket.write(bytes);
            QVERIFY(bytes.isEmpty() || socket.waitForBytesWritten(20000));
            socket.disconnectFromServer();
        };
        // act: a raw sender or one of ours that gives up, then one of ours that finishes
        if (ours) {
            SingleAppCheck cut(key);
            QVERIFY(!cut.sendMessage(QString::fromLatin1(firstBytes)));
        } else {
            sendRaw(firstBytes);
        }
        SingleAppCheck second(key);
        QVERIFY(second.sendMessage(QStringLiteral("whole")));
        // assert: connections are handled in order
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), delivered.size(), 20000);
        QStringList got;
        for (const QList<QVariant> &args : spy)
            got << args.at(0).toString();
        QCOMPARE(got, delivered);
    }

    // Peers are read as their bytes arrive, each on its own, while the
    // receiver's thread goes on: a peer silent for a second is dropped, one
    // that keeps adding a byte is dropped once it passes the bound for a
    // whole message, and a whole message sent meanwhile arrives at once.
    void slowPeerNeitherHoldsTheThreadNorStaysForEver_data()
    {
        QTest::addColumn<int>("drippers");
        QTest::addColumn<int>("intervalMs"); // between the bytes a dripper adds
        QTest::addColumn<bool>("wholeToo"); // a whole message sent beside them
        QTest::newRow("a byte every 300 ms") << 1 << 300 << false;
        QTest::newRow("two such peers beside a whole message") << 2 << 300 << true;
        QTest::newRow("silent for 3 s") << 1 << 3000 << false;
    }
    void slowPeerNeitherHoldsTheThreadNorStaysForEver()
    {
        QFETCH(int, drippers);
        QFETCH(int, intervalMs);
        QFETCH(bool, wholeToo);
        // arrange: the first instance and a timer on its thread that keeps
        // the longest gap between its ticks
        const QString key = uniqueKey();
        SingleAppCheck first(key);
        QSignalSpy spy(&first, SIGNAL(messageAvailable(QString)));
        const int tickMs = 20;
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        connect(&ticker, &QTimer::timeout, [&] {
            longestGap = qMax(longestGap, sinceTick.restart());
        });
        sinceTick.start();
        ticker.start(tickMs);

        // act: peers that drip, then (without waiting on this thread) a
        // whole message beside them
        std::vector<std::unique_ptr<QProcess>> children;
        for (int i = 0; i < drippers; ++i) {
            children.emplace_back(new QProcess);
            children.back()->start(program(), {QStringLiteral("--drip"), key, QString::number(intervalMs)});
        }
        for (const auto &child : children)
            QTRY_VERIFY_WITH_TIMEOUT(child->canReadLine(), 20000);
        bool drippersRanWhenWholeArrived = true;
        QLocalSocket whole;
        if (wholeToo) {
            QTest::qWait(1500); // the drippers are well under way
            whole.connectToServer(SingleAppCheck::serverName(key));
            QCOMPARE(whole.state(), QLocalSocket::ConnectedState); // at once on one machine
            whole.write("\xEF\xBB\xBF" "whole" + QByteArray(1, '\0'));
            whole.flush();
            QVERIFY(spy.wait(20000));
            for (const auto &child : children)
                drippersRanWhenWholeArrived &= child->state() != QProcess::NotRunning;
        }
        for (const auto &child : children)
            QTRY_VERIFY_WITH_TIMEOUT(child->state() == QProcess::NotRunning, 30000);
        ticker.stop();

        // assert: never late by 250 ms, which a loaded machine keeps (100 ms
        // it nearly does not), while one wait for a peer's byte costs 300 ms
        QVERIFY2(longestGap < tickMs + 250, qPrintable(QStringLiteral("longest gap %1 ms").arg(longestGap)));
        QVERIFY(drippersRanWhenWholeArrived);
        QCOMPARE(spy.count(), wholeToo ? 1 : 0);
        if (wholeToo)
            QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("whole"));
        for (const auto &child : children) {
            QCOMPARE(child->readLine().trimmed(), QByteArray("connected"));
            QCOMPARE(child->exitCode(), 0); // dropped, not done dripping
            // The silent one before its first byte, the others after many.
            const int sent = child->readLine().trimmed().mid(5).toInt();
            QVERIFY2(intervalMs > 1000 ? sent == 0 : sent > 3, qPrintable(QString::number(sent)));
        }
    }

    // Another user of the machine holding the same key gets instances of its
    // own. Needs root, to start the child as another user.
    void otherUserHasOwnInstances()
    {
        QString whyNot;
        const QString setpriv = setprivForOtherUsers(&whyNot);
        if (setpriv.isEmpty())
            QSKIP(qPrintable(whyNot));
        // arrange: this user's first instance holds the key
        const QString key = uniqueKey();
        SingleAppCheck mine(key);
        QVERIFY(!mine.isRunning());
        // act: the same key used by the user nobody
        QProcess child;
        child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                              QStringLiteral("--clear-groups"), program(), QStringLiteral("--pair"), key});
        QVERIFY(child.waitForFinished(30000));
        // assert
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(!mine.isRunning());
    }

    // Another user who listens first where this user's instances meet, or
    // who makes the folder for it, hears nothing: the message reaches this
    // user's first instance, or sending fails. Needs root, to start the
    // processes as other users.
    void otherUserCannotTakeTheServerName_data()
    {
        QTest::addColumn<bool>("squatFolder"); // else the name in the temporary folder
        QTest::addColumn<int>("victimExit");   // of the --pair child
        QTest::newRow("listens under the name in the temporary folder") << false << 0;
        QTest::newRow("makes the folder of the server first") << true << 4;
    }
    void otherUserCannotTakeTheServerName()
    {
        QString whyNot;
        const QString setpriv = setprivForOtherUsers(&whyNot);
        if (setpriv.isEmpty())
            QSKIP(qPrintable(whyNot));
        QFETCH(bool, squatFolder);
        QFETCH(int, victimExit);
        // arrange: a victim user of its own, so parallel runs do not meet
        const QString victim = QString::number(60000 + QRandomGenerator::global()->bounded(5000));
        const QString key = uniqueKey();
        const auto asUser = [&](QProcess &process, const QString &uid, const QStringList &arguments) {
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
            process.setProcessEnvironment(environment);
            process.start(setpriv, QStringList{"--reuid=" + uid, "--regid=" + uid, "--clear-groups", program()}
                                       + arguments);
        };
        QProcess name;
        asUser(name, victim, {QStringLiteral("--name"), key});
        QVERIFY(name.waitForFinished(30000));
        const QString victimServer = QString::fromUtf8(name.readAll().trimmed());
        QVERIFY(!victimServer.isEmpty());
        const QString squatted = squatFolder ? victimServer
                                             : QDir::tempPath() + QLatin1Char('/') + key + QLatin1Char('-') + victim;
        QProcess squatter;
        asUser(squatter, QStringLiteral("65534"), {QStringLiteral("--squat"), squatted});
        QVERIFY(squatter.waitForReadyRead(30000));
        QCOMPARE(squatter.readLine().trimmed(), QByteArray("ready"));

        // act: the victim's first and second instance, the second sends
        QProcess pair;
        asUser(pair, victim, {QStringLiteral("--pair"), key});
        const bool pairEnded = pair.waitForFinished(30000);
        squatter.kill();
        squatter.waitForFinished(30000);
        // Only what this test made: the two sockets and the victim's folder
        // once it is empty (never anything recursively).
        QFile::remove(squatted);
        QFile::remove(victimServer);
        QDir().rmdir(QFileInfo(victimServer).path());

        // assert
        QVERIFY(pairEnded);
        QCOMPARE(squatter.readAll(), QByteArray());
        QCOMPARE(pair.exitCode(), victimExit);
    }

    void sendFailsFastWithoutListener()
    {
        // arrange: the segment is held, but nobody listens under the key
        const QString key = uniqueKey();
        QSharedMemory holder(SingleAppCheck::userScopedKey(key));
        QVERIFY(holder.create(1));
        SingleAppCheck second(key);
        QVERIFY(second.isRunning());

        // act
        QElapsedTimer timer;
        timer.start();
        const bool sent = second.sendMessage(QStringLiteral("nobody"));

        // assert
        QVERIFY(!sent);
        QVERIFY(timer.elapsed() < 10000); // gives up instead of waiting for ever
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 3
        && (qstrcmp(argv[1], "--send") == 0 || qstrcmp(argv[1], "--first") == 0
            || qstrcmp(argv[1], "--crash") == 0 || qstrcmp(argv[1], "--pair") == 0
            || qstrcmp(argv[1], "--name") == 0 || qstrcmp(argv[1], "--squat") == 0
            || qstrcmp(argv[1], "--trickle") == 0 || qstrcmp(argv[1], "--drip") == 0))
        return runChild(argc, argv);

    TestEnvironment::prepare();
    QCoreApplication app(argc, argv);
    TestSingleInstance tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_singleinstance.moc"
