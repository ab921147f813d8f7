#include "downloader.h"
#include "downloadmanager.h"
#include "fifo.h"
#include "httptestserver.h"
#include "idle.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

using QMRequest::DownloadManager;
using QMRequest::Downloader;

Q_DECLARE_METATYPE(QMRequest::DownloadManager::RedirectStep)

class TestDownloader : public QObject
{
    Q_OBJECT

private:
    static const int kLimit = 4096;

    static QString refusedAddress()
    {
        return QStringLiteral("http://127.0.0.1:%1/x").arg(HttpTestServer::unusedPort());
    }

private slots:
    void returnsBodyOfSuccessfulGet()
    {
        // arrange
        HttpTestServer server;
        server.setRoute("/apps/info", 200, "build:42;");
        Downloader downloader;
        QVERIFY(!downloader.isDone());

        // act
        const QByteArray body = downloader.download(server.url("/apps/info?x=1").toString());

        // assert
        QCOMPARE(body, QByteArray("build:42;"));
        QVERIFY(downloader.isDone());
        QVERIFY(!downloader.isBusy());
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(server.lastRequest().method, QByteArray("GET"));
        QCOMPARE(server.lastRequest().path, QString("/apps/info?x=1"));
    }

    void failuresGiveEmpty_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("error");
        QTest::newRow("404 with body") << 404 << false << "The server answered with HTTP status 404.";
        QTest::newRow("500 with body") << 500 << false << "The server answered with HTTP status 500.";
        QTest::newRow("refused port") << 0 << true << "The download failed: Connection refused";
    }

    void failuresGiveEmpty()
    {
        QFETCH(int, status);
        QFETCH(bool, refused);
        QFETCH(QString, error);
        HttpTestServer server;
        server.setRoute("/page", status, "<html>error page</html>");
        server.setRoute("/ok", 200, "fine");
        Downloader downloader;

        const QByteArray body =
            downloader.download(refused ? refusedAddress() : server.url("/page").toString());
        const QString failure = downloader.errorString();
        const QByteArray next = downloader.download(server.url("/ok").toString());

        QVERIFY(body.isEmpty());
        QVERIFY(downloader.isDone());
        QCOMPARE(server.requestCount(), refused ? 1 : 2);
        QCOMPARE(failure, error);
        // A success clears the reason.
        QCOMPARE(next, QByteArray("fine"));
        QCOMPARE(downloader.errorString(), QString());
    }

    // Only the caller's time-out ends a slow download: with none set, a reply
    // that comes later than a short explicit time-out still arrives.
    void slowReplyArrivesUnlessTheCallerSetATimeOut_data()
    {
        QTest::addColumn<int>("abortTime");
        QTest::addColumn<bool>("arrives");
        QTest::newRow("no time-out") << 0 << true;
        QTest::newRow("negative: no time-out") << -1 << true;
        QTest::newRow("longer time-out") << 5000 << true;
        QTest::newRow("shorter time-out") << 100 << false;
    }

    void slowReplyArrivesUnlessTheCallerSetATimeOut()
    {
        // arrange
        QFETCH(int, abortTime);
        QFETCH(bool, arrives);
        HttpTestServer server;
        HttpTestServer::Route slow;
        slow.body = "late";
        slow.delayMs = 400;
        server.setRoute("/slow", slow);
        Downloader downloader;
        downloader.setAbortTime(abortTime);
        // what is armed to end the download while the reply is on its way
        QList<int> armed;
        QTimer::singleShot(50, &downloader, [&] {
            for (const QTimer *timer : downloader.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly))
                if (timer->isActive())
                    armed.append(timer->interval());
        });

        // act
        const QByteArray body = downloader.download(server.url("/slow").toString());

        // assert: only a time-out the caller set can cut the download short
        QCOMPARE(armed, abortTime > 0 ? QList<int>{abortTime} : QList<int>());
        QCOMPARE(body, arrives ? QByteArray("late") : QByteArray());
        QCOMPARE(downloader.errorString(), arrives ? QString() : QString("No answer within 0.1 s."));
    }

    // A reply over the size limit fails without being read to its end, whether
    // its length is announced or not; a compressed one is counted as sent.
    void replyOverTheSizeLimitIsRefused_data()
    {
        QTest::addColumn<int>("framing");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("encoding"); // Content-Encoding, empty: none
        QTest::addColumn<bool>("refused");
        const QByteArray big(1024 * 1024, 'b');
        const QByteArray deflated = qCompress(big, 9).mid(4); // zlib stream, a few KB
        QTest::newRow("announced length over the limit")
            << int(HttpTestServer::Framing::ContentLength) << big << QByteArray() << true;
        QTest::newRow("chunked, over the limit")
            << int(HttpTestServer::Framing::Chunked) << big << QByteArray() << true;
        QTest::newRow("ended by the close, over the limit")
            << int(HttpTestServer::Framing::CloseConnection) << big << QByteArray() << true;
        QTest::newRow("exactly the limit")
            << int(HttpTestServer::Framing::Chunked) << QByteArray(kLimit, 'e') << QByteArray() << false;
        QTest::newRow("compressed under, inflated over the limit")
            << int(HttpTestServer::Framing::ContentLength) << deflated.left(kLimit) << QByteArray("deflate") << false;
    }

    void replyOverTheSizeLimitIsRefused()
    {
        // arrange
        QFETCH(int, framing);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, encoding);
        QFETCH(bool, refused);
        HttpTestServer server;
        HttpTestServer::Route route;
        route.body = body;
        route.framing = HttpTestServer::Framing(framing);
        if (!encoding.isEmpty())
            route.headers.append({"Content-Encoding", encoding});
        server.setRoute("/reply", route);
        Downloader downloader;
        downloader.setMaxReplySize(kLimit);
        int received = 0;
        connect(&downloader, &Downloader::progress, [&](int count) { received = qMax(received, count); });

        // act
        const QByteArray result = downloader.download(server.url("/reply").toString());

        // assert
        QCOMPARE(result, refused ? QByteArray() : body);
        QCOMPARE(downloader.errorString(),
                 refused ? QString("The reply is larger than %1 bytes.").arg(kLimit) : QString());
        // Not read to its end: never much more than the limit arrived.
        QVERIFY2(received <= 2 * kLimit, qPrintable(QString::number(received)));
    }

    void abortEndsDownloadWithinItsTime_data()
    {
        QTest::addColumn<bool>("ownTimer");
        QTest::newRow("downloader's abort time") << true;
        QTest::newRow("caller's timer on slotAbort") << false;
    }

    void abortEndsDownloadWithinItsTime()
    {
        QFETCH(bool, ownTimer);
        HttpTestServer server;
        server.setNeverAnswer("/hang");
        server.setRoute("/ok", 200, "after");
        Downloader downloader;
        QCOMPARE(downloader.abortTime(), 0); // no time-out unless the caller sets one
        if (ownTimer)
            downloader.setAbortTime(150);
        else
            QTimer::singleShot(150, &downloader, SLOT(slotAbort()));

        QElapsedTimer clock;
        clock.start();
        const QByteArray body = downloader.download(server.url("/hang").toString());
        const qint64 elapsed = clock.elapsed();

        QVERIFY(body.isEmpty());
        QVERIFY2(elapsed >= 140 && elapsed < 2000, qPrintable(QString::number(elapsed)));
        QCOMPARE(server.requestCount(), 1);
        // The request is really given up: its connection is closed.
        QVERIFY(Idle::waitUntil([&] { return server.openConnections() == 0; }));
        // The downloader is reusable; an abort while idle changes nothing.
        downloader.slotAbort();
        QCOMPARE(downloader.download(server.url("/ok").toString()), QByteArray("after"));
    }

    void progressArithmetic_data()
    {
        QTest::addColumn<qlonglong>("received");
        QTest::addColumn<qlonglong>("total");
        QTest::addColumn<int>("percent"); // -1: no percent signal
        QTest::newRow("quarter") << 50LL << 200LL << 25;
        QTest::newRow("truncated third") << 1LL << 3LL << 33;
        QTest::newRow("truncated near end") << 999LL << 1000LL << 99;
        QTest::newRow("complete") << 7LL << 7LL << 100;
        QTest::newRow("no total") << 7LL << -1LL << -1;
        QTest::newRow("zero total") << 7LL << 0LL << -1;
    }

    void progressArithmetic()
    {
        QFETCH(qlonglong, received);
        QFETCH(qlonglong, total);
        QFETCH(int, percent);
        Downloader downloader;
        QSignalSpy counts(&downloader, SIGNAL(progress(int)));
        QSignalSpy percents(&downloader, SIGNAL(progressPercent(int)));

        downloader.slotProgress(received, total);

        QCOMPARE(counts.size(), 1);
        QCOMPARE(counts.first().first().toInt(), int(received));
        QCOMPARE(percents.size(), percent < 0 ? 0 : 1);
        if (percent >= 0)
            QCOMPARE(percents.first().first().toInt(), percent);
    }

    void progressDuringDownload_data()
    {
        QTest::addColumn<int>("framing");
        QTest::addColumn<bool>("withTotal");
        QTest::newRow("content length") << int(HttpTestServer::Framing::ContentLength) << true;
        QTest::newRow("chunked") << int(HttpTestServer::Framing::Chunked) << false;
        QTest::newRow("connection close") << int(HttpTestServer::Framing::CloseConnection) << false;
    }

    void progressDuringDownload()
    {
        QFETCH(int, framing);
        QFETCH(bool, withTotal);
        HttpTestServer server;
        HttpTestServer::Route route;
        route.body = QByteArray(4000, 'p');
        route.framing = HttpTestServer::Framing(framing);
        route.pieceDelayMs = 60; // Qt reports progress at most every 100 ms
        server.setRoute("/big", route);
        Downloader downloader;
        QSignalSpy counts(&downloader, SIGNAL(progress(int)));
        QSignalSpy percents(&downloader, SIGNAL(progressPercent(int)));

        const QByteArray body = downloader.download(server.url("/big").toString());

        QCOMPARE(body, route.body);
        QVERIFY(counts.size() >= 2);
        QVERIFY(counts.first().first().toInt() < route.body.size());
        QCOMPARE(counts.last().first().toInt(), route.body.size());
        if (withTotal) {
            QCOMPARE(percents.size(), counts.size());
            QVERIFY(percents.first().first().toInt() < 100);
            QCOMPARE(percents.last().first().toInt(), 100);
        } else {
            // Before the end the total is unknown: no percentage for those steps.
            QVERIFY(percents.size() < counts.size());
            for (const QList<QVariant> &p : percents)
                QCOMPARE(p.first().toInt(), 100);
        }
    }

    void callWhileBusyReturnsEmptyAtOnce()
    {
        HttpTestServer server;
        HttpTestServer::Route slow;
        slow.body = "first";
        slow.delayMs = 300;
        server.setRoute("/slow", slow);
        server.setRoute("/other", 200, "second");
        Downloader downloader;
        QByteArray inner = "unset";
        qint64 innerElapsed = -1;
        QTimer::singleShot(50, [&] {
            QElapsedTimer clock;
            clock.start();
            inner = downloader.download(server.url("/other").toString());
            innerElapsed = clock.elapsed();
        });

        const QByteArray outer = downloader.download(server.url("/slow").toString());

        QCOMPARE(outer, QByteArray("first"));
        QVERIFY(inner.isEmpty());
        QVERIFY(innerElapsed >= 0 && innerElapsed < 100);
        QCOMPARE(server.requestCount(), 1);
    }

    // A call refused while a download runs says why at once; the reason does
    // not outlive the running download, whose own result decides errorString().
    void refusalInsideTheLoopDoesNotOutliveTheDownload_data()
    {
        QTest::addColumn<QString>("outerPath");
        QTest::addColumn<QString>("innerAddress"); // empty: the server's /other
        QTest::addColumn<QString>("outerError");
        QTest::newRow("outer succeeds") << "/slow" << QString() << QString();
        QTest::newRow("outer succeeds, inner no-op address") << "/slow" << "http://maker.invalid/x" << QString();
        QTest::newRow("outer fails") << "/slowmissing" << QString() << "The server answered with HTTP status 404.";
    }

    void refusalInsideTheLoopDoesNotOutliveTheDownload()
    {
        // arrange
        QFETCH(QString, outerPath);
        QFETCH(QString, innerAddress);
        QFETCH(QString, outerError);
        HttpTestServer server;
        HttpTestServer::Route slow;
        slow.body = "first";
        slow.delayMs = 200;
        server.setRoute("/slow", slow);
        slow.status = 404;
        server.setRoute("/slowmissing", slow);
        server.setRoute("/other", 200, "second");
        Downloader downloader;
        QString innerError;
        QTimer::singleShot(50, &downloader, [&] {
            downloader.download(innerAddress.isEmpty() ? server.url("/other").toString() : innerAddress);
            innerError = downloader.errorString();
        });

        // act
        downloader.download(server.url(outerPath).toString());

        // assert
        QCOMPARE(innerError, QString("Another download is running."));
        QCOMPARE(downloader.errorString(), outerError);
    }

    // A redirect is followed a few hops within the same or a safer scheme; an
    // answer that ends without a 2xx body is a failure with its status, and an
    // existing file is then left as it was. The size limit holds at the end of
    // the redirects, too.
    void redirectIsFollowedOrFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QByteArray>("expected"); // of download(); empty: a failure
        QTest::addColumn<QString>("error");
        const QByteArray none; // a failure: the file keeps its old contents
        QTest::newRow("301 followed") << "/moved" << qint64(0) << QByteArray("new contents") << QString();
        QTest::newRow("302 followed") << "/found" << qint64(0) << QByteArray("new contents") << QString();
        QTest::newRow("two hops") << "/twice" << qint64(0) << QByteArray("new contents") << QString();
        QTest::newRow("relative location") << "/relative" << qint64(0) << QByteArray("new contents") << QString();
        QTest::newRow("to a 404") << "/tomissing" << qint64(0) << none
                                  << "The server answered with HTTP status 404.";
        QTest::newRow("loop") << "/loop" << qint64(0) << none
                              << "The server redirected more than 5 times.";
        QTest::newRow("301 without location") << "/nowhere" << qint64(0) << none
                                              << "The server answered with HTTP status 301.";
        QTest::newRow("304") << "/notmodified" << qint64(0) << none
                             << "The server answered with HTTP status 304.";
        QTest::newRow("to a reply over the size limit") << "/tobig" << qint64(kLimit) << none
                                                        << QString("The reply is larger than %1 bytes.").arg(kLimit);
    }

    void redirectIsFollowedOrFails()
    {
        // arrange
        QFETCH(QString, path);
        QFETCH(qint64, limit);
        QFETCH(QByteArray, expected);
        QFETCH(QString, error);
        const QByteArray oldContents("old contents");
        HttpTestServer server;
        const auto location = [&](const QString &to) {
            return QList<HttpTestServer::Header>{{"Location", server.url(to).toEncoded()}};
        };
        server.setRoute("/ok", 200, "new contents");
        server.setRoute("/moved", 301, "moved", location("/ok"));
        server.setRoute("/found", 302, QByteArray(), location("/ok"));
        server.setRoute("/twice", 302, QByteArray(), location("/moved"));
        server.setRoute("/relative", 301, QByteArray(), {{"Location", "ok"}});
        server.setRoute("/tomissing", 301, QByteArray(), location("/missing"));
        server.setRoute("/loop", 302, QByteArray(), location("/loop"));
        server.setRoute("/nowhere", 301, QByteArray());
        server.setRoute("/notmodified", 304, QByteArray());
        HttpTestServer::Route big;
        big.body = QByteArray(1024 * 1024, 'b');
        big.framing = HttpTestServer::Framing::Chunked;
        server.setRoute("/big", big);
        server.setRoute("/tobig", 302, QByteArray(), location("/big"));
        QTemporaryDir dir;
        const QString fileName = dir.filePath("target.txt");
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(oldContents);
        old.close();
        Downloader downloader;
        downloader.setMaxReplySize(limit);
        int received = 0;
        connect(&downloader, &Downloader::progress, [&](int count) { received = qMax(received, count); });

        // act
        const QByteArray body = downloader.download(server.url(path).toString());
        const QString bodyError = downloader.errorString();
        downloader.downloadToFile(server.url(path).toString(), fileName);

        // assert
        QCOMPARE(body, expected);
        QCOMPARE(bodyError, error);
        QCOMPARE(downloader.errorString(), error);
        QFile result(fileName);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), expected.isEmpty() ? oldContents : expected);
        // Each of the two calls made a few requests at most.
        QVERIFY2(server.requestCount() <= 2 * 6, qPrintable(QString::number(server.requestCount())));
        if (limit > 0)
            QVERIFY2(received <= 2 * limit, qPrintable(QString::number(received)));
    }

    // Which answers are followed, and where to (the location as the header's
    // text). The loopback server speaks no TLS, so the scheme rules are only
    // seen here.
    void redirectDecision_data()
    {
        using Step = DownloadManager::RedirectStep;
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("location");
        QTest::addColumn<int>("followed");
        QTest::addColumn<Step>("step");
        QTest::addColumn<QString>("target"); // empty unless followed
        const QString http("http://a.example/dir/x");
        const QString https("https://a.example/dir/x");
        QTest::newRow("http to http") << http << 301 << QByteArray("http://b.example/y") << 0 << Step::Follow << "http://b.example/y";
        QTest::newRow("http to https") << http << 302 << QByteArray("https://b.example/y") << 0 << Step::Follow << "https://b.example/y";
        QTest::newRow("https to https") << https << 307 << QByteArray("https://b.example/y") << 0 << Step::Follow << "https://b.example/y";
        QTest::newRow("https to http refused") << https << 301 << QByteArray("http://b.example/y") << 0 << Step::Stop << "";
        QTest::newRow("https to HTTP refused") << https << 308 << QByteArray("HTTP://a.example/y") << 0 << Step::Stop << "";
        QTest::newRow("https to http, hops used up") << https << 302 << QByteArray("http://b.example/y") << 5 << Step::Stop << "";
        QTest::newRow("relative path") << https << 302 << QByteArray("y?q=1") << 0 << Step::Follow << "https://a.example/dir/y?q=1";
        QTest::newRow("absolute path") << http << 303 << QByteArray("/y") << 0 << Step::Follow << "http://a.example/y";
        QTest::newRow("scheme-relative from https") << https << 301 << QByteArray("//b.example/y") << 0 << Step::Follow << "https://b.example/y";
        QTest::newRow("scheme-relative from http") << http << 301 << QByteArray("//b.example/y") << 0 << Step::Follow << "http://b.example/y";
        QTest::newRow("ftp") << http << 301 << QByteArray("ftp://b.example/y") << 0 << Step::Stop << "";
        QTest::newRow("local file") << http << 302 << QByteArray("file:///etc/passwd") << 0 << Step::Stop << "";
        QTest::newRow("data") << http << 302 << QByteArray("data:text/plain,x") << 0 << Step::Stop << "";
        QTest::newRow("no host") << http << 302 << QByteArray("http:///y") << 0 << Step::Stop << "";
        QTest::newRow("no location") << http << 301 << QByteArray() << 0 << Step::Stop << "";
        QTest::newRow("location on a 200") << http << 200 << QByteArray("http://b.example/y") << 0 << Step::Stop << "";
        QTest::newRow("location on a 404") << http << 404 << QByteArray("http://b.example/y") << 0 << Step::Stop << "";
        QTest::newRow("fifth hop") << http << 302 << QByteArray("/y") << 4 << Step::Follow << "http://a.example/y";
        QTest::newRow("sixth hop") << http << 302 << QByteArray("/y") << 5 << Step::TooMany << "";
    }

    void redirectDecision()
    {
        QFETCH(QString, from);
        QFETCH(int, status);
        QFETCH(QByteArray, location);
        QFETCH(int, followed);
        QFETCH(DownloadManager::RedirectStep, step);
        QFETCH(QString, target);
        QUrl to;

        const DownloadManager::RedirectStep got
            = DownloadManager::redirectStep(QUrl(from), status, QUrl(QString::fromUtf8(location)), followed, &to);

        QCOMPARE(int(got), int(step));
        QCOMPARE(to.toString(), target);
    }

    void noOpAddressesMakeNoRequest_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("empty") << QString();
        QTest::newRow("blank") << QString("   ");
        QTest::newRow("invalid domain") << QString("http://maker.invalid/apps/buildsinfo/x_win");
        QTest::newRow("invalid domain, capitals, https") << QString("HTTPS://Maker.INVALID/x");
        QTest::newRow("invalid domain without scheme") << QString("www.maker.invalid/apps");
        QTest::newRow("invalid itself with port") << QString("http://invalid:8080/");
    }

    void noOpAddressesMakeNoRequest()
    {
        QFETCH(QString, address);
        // Every request that leaves the process would reach this server as proxy.
        HttpTestServer proxy;
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.port()));
        Downloader downloader;
        downloader.setAbortTime(0);
        QElapsedTimer clock;
        clock.start();

        const QByteArray body = downloader.download(address);
        const qint64 elapsed = clock.elapsed();
        Idle::settle(200);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);

        QVERIFY(Downloader::isNoOpAddress(address));
        QVERIFY(body.isEmpty());
        QVERIFY(elapsed < 100);
        QCOMPARE(proxy.requestCount(), 0);
        QVERIFY(!downloader.isBusy());
    }

    void normalizedUrl_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("http") << "http://a.example/x" << "http://a.example/x";
        QTest::newRow("https") << "https://a.example/x" << "https://a.example/x";
        QTest::newRow("HTTP capitals") << "HTTP://A.example/" << "HTTP://A.example/";
        QTest::newRow("Https mixed") << "Https://a.example" << "Https://a.example";
        QTest::newRow("no scheme") << "a.example/path?q=1" << "http://a.example/path?q=1";
        QTest::newRow("scheme-like host") << "httpserver.example" << "http://httpserver.example";
        QTest::newRow("other scheme") << "ftp://a.example" << "http://ftp://a.example";
        QTest::newRow("empty") << "" << "http://";
    }

    void normalizedUrl()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(Downloader::normalizedUrl(text), expected);
    }

    void downloadToFileKeepsFileUnlessSuccessful_data()
    {
        QTest::addColumn<QString>("path"); // empty: refused port
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("success replaces") << "/ok" << QByteArray("new contents");
        QTest::newRow("404 keeps") << "/missing" << QByteArray("old contents");
        QTest::newRow("refused keeps") << "" << QByteArray("old contents");
        QTest::newRow("abort keeps") << "/hang" << QByteArray("old contents");
        QTest::newRow("no-op address keeps") << "invalid" << QByteArray("old contents");
    }

    void downloadToFileKeepsFileUnlessSuccessful()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, expected);
        HttpTestServer server;
        server.setRoute("/ok", 200, "new contents");
        server.setRoute("/missing", 404, "error page");
        server.setNeverAnswer("/hang");
        QTemporaryDir dir;
        const QString fileName = dir.filePath("target.txt");
        QFile old(fileName);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
        old.close();
        Downloader downloader;
        downloader.setAbortTime(100);
        QString address = refusedAddress();
        if (path == "invalid")
            address = "http://maker.invalid/x";
        else if (!path.isEmpty())
            address = server.url(path).toString();

        downloader.downloadToFile(address, fileName);

        QFile result(fileName);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), expected);
    }

    void downloadToFileLeavesAPipeInPlace()
    {
        HttpTestServer server;
        server.setRoute("/ok", 200, "new contents");
        QTemporaryDir dir;
        const Fifo pipe(dir.filePath("pipe"));
        QVERIFY(pipe.isValid());
        Downloader downloader;

        downloader.downloadToFile(server.url("/ok").toString(), dir.filePath("pipe"));

        QVERIFY(pipe.stillThere());
    }

    // Deleting the downloader from a slot on its own progress signals ends
    // the download; nothing touches the freed object afterwards.
    void destroyedFromItsOwnProgressSignal_data()
    {
        QTest::addColumn<bool>("percentSignal");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("framing");
        const int length = int(HttpTestServer::Framing::ContentLength);
        QTest::newRow("progress") << false << 8000 << length;
        QTest::newRow("progressPercent") << true << 8000 << length;
        // The only progress comes as the reply finishes.
        QTest::newRow("progress of an empty chunked reply")
            << false << 0 << int(HttpTestServer::Framing::Chunked);
    }

    void destroyedFromItsOwnProgressSignal()
    {
        // arrange
        QFETCH(bool, percentSignal);
        QFETCH(int, size);
        QFETCH(int, framing);
        HttpTestServer server;
        HttpTestServer::Route route;
        route.body = QByteArray(size, 'p');
        route.framing = HttpTestServer::Framing(framing);
        route.pieceDelayMs = 60;
        server.setRoute("/big", route);
        QPointer<Downloader> downloader = new Downloader;
        int calls = 0;
        const auto destroy = [&] {
            ++calls;
            delete downloader.data();
        };
        if (percentSignal)
            connect(downloader.data(), &Downloader::progressPercent, destroy);
        else
            connect(downloader.data(), &Downloader::progress, destroy);

        // act
        const QByteArray body = downloader->download(server.url("/big").toString());

        // assert
        QVERIFY(body.isEmpty());
        QVERIFY(!downloader);
        QCOMPARE(calls, 1);
        QVERIFY(Idle::waitUntil([&] { return server.openConnections() == 0; }));
    }

    void destroyedWhileBusyDoesNotCrash()
    {
        HttpTestServer server;
        server.setNeverAnswer("/hang");
        auto *downloader = new Downloader;
        QTimer::singleShot(50, [&] { delete downloader; });

        QElapsedTimer clock;
        clock.start();
        const QByteArray body = downloader->download(server.url("/hang").toString());

        QVERIFY(body.isEmpty());
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(Idle::waitUntil([&] { return server.openConnections() == 0; }));
    }
};

GLYPH_TEST_MAIN(TestDownloader)
#include "tst_downloader.moc"
