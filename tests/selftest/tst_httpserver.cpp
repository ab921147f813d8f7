#include "httptestserver.h"
#include "idle.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

class TestHttpServer : public QObject
{
    Q_OBJECT

private:
    // Waits for the reply to finish; false on time-out.
    static bool finish(QNetworkReply *reply, int timeoutMs = 5000)
    {
        return Idle::waitUntil([reply] { return reply->isFinished(); }, timeoutMs);
    }

private slots:
    void servesRoutesAndRecordsRequests()
    {
        // arrange
        HttpTestServer server;
        QVERIFY(server.isListening());
        QVERIFY(server.port() != 0);
        server.setRoute("/page", 200, "hello", {{"X-Test", "yes"}});
        QNetworkAccessManager nam;
        QNetworkRequest request(server.url("/page?a=1&b=two"));
        request.setRawHeader("X-Client", "tester");

        // act
        QScopedPointer<QNetworkReply> reply(nam.get(request));
        QVERIFY(finish(reply.data()));

        // assert
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QCOMPARE(reply->readAll(), QByteArray("hello"));
        QCOMPARE(reply->rawHeader("X-Test"), QByteArray("yes"));
        QCOMPARE(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(), 5);
        QCOMPARE(server.requestCount(), 1);
        QCOMPARE(server.lastRequest().method, QByteArray("GET"));
        QCOMPARE(server.lastRequest().path, QString("/page?a=1&b=two"));
        QCOMPARE(server.lastRequest().header("x-client"), QByteArray("tester"));
        QCOMPARE(server.lastRequest().header("Host"),
                 QByteArray("127.0.0.1:") + QByteArray::number(server.port()));
    }

    void exactQueryRouteWinsAndUnknownPathIs404()
    {
        HttpTestServer server;
        server.setRoute("/r", 200, "plain");
        server.setRoute("/r?x=1", 201, "exact");
        QNetworkAccessManager nam;

        QScopedPointer<QNetworkReply> exact(nam.get(QNetworkRequest(server.url("/r?x=1"))));
        QScopedPointer<QNetworkReply> plain(nam.get(QNetworkRequest(server.url("/r?x=2"))));
        QScopedPointer<QNetworkReply> missing(nam.get(QNetworkRequest(server.url("/nothing"))));
        QVERIFY(finish(exact.data()) && finish(plain.data()) && finish(missing.data()));

        QCOMPARE(exact->readAll(), QByteArray("exact"));
        QCOMPARE(plain->readAll(), QByteArray("plain"));
        QCOMPARE(missing->error(), QNetworkReply::ContentNotFoundError);
        QCOMPARE(missing->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
        QCOMPARE(server.requestCount(), 3);
    }

    void framingAndPieces_data()
    {
        QTest::addColumn<int>("framing");
        QTest::addColumn<qint64>("announcedTotal");
        QTest::newRow("content length") << int(HttpTestServer::Framing::ContentLength) << qint64(5003);
        QTest::newRow("chunked") << int(HttpTestServer::Framing::Chunked) << qint64(-1);
        QTest::newRow("connection close") << int(HttpTestServer::Framing::CloseConnection) << qint64(-1);
    }

    // The body arrives in pieces, so progress shows a partial count with the
    // announced total (or none) before the end.
    void framingAndPieces()
    {
        QFETCH(int, framing);
        QFETCH(qint64, announcedTotal);
        HttpTestServer server;
        HttpTestServer::Route route;
        route.body = QByteArray(5000, 'x') + "end";
        route.framing = HttpTestServer::Framing(framing);
        route.pieceDelayMs = 60; // the reply reports progress at most every 100 ms
        server.setRoute("/big", route);
        QNetworkAccessManager nam;
        QList<QPair<qint64, qint64>> progress;

        QScopedPointer<QNetworkReply> reply(nam.get(QNetworkRequest(server.url("/big"))));
        connect(reply.data(), &QNetworkReply::downloadProgress,
                [&](qint64 received, qint64 total) { progress.append({received, total}); });
        QVERIFY(finish(reply.data()));

        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->readAll(), route.body);
        QCOMPARE(reply->hasRawHeader("Content-Length"), announcedTotal > 0);
        QVERIFY(progress.size() >= 2);
        QVERIFY(progress.first().first < route.body.size());
        QCOMPARE(progress.first().second, announcedTotal);
        QCOMPARE(progress.last().first, qint64(route.body.size()));
    }

    void keepAliveServesSequentialRequests()
    {
        HttpTestServer server;
        server.setRoute("/a", 200, "one");
        server.setRoute("/b", 200, "two");
        QNetworkAccessManager nam;

        QScopedPointer<QNetworkReply> first(nam.get(QNetworkRequest(server.url("/a"))));
        QVERIFY(finish(first.data()));
        QScopedPointer<QNetworkReply> second(nam.get(QNetworkRequest(server.url("/b"))));
        QVERIFY(finish(second.data()));

        QCOMPARE(first->readAll(), QByteArray("one"));
        QCOMPARE(second->readAll(), QByteArray("two"));
        QCOMPARE(server.openConnections(), 1);
    }

    void delayAndNeverAnswer()
    {
        HttpTestServer server;
        HttpTestServer::Route slow;
        slow.body = "late";
        slow.delayMs = 150;
        server.setRoute("/slow", slow);
        server.setNeverAnswer("/hang");
        QNetworkAccessManager nam;

        QElapsedTimer clock;
        clock.start();
        QScopedPointer<QNetworkReply> late(nam.get(QNetworkRequest(server.url("/slow"))));
        QScopedPointer<QNetworkReply> hang(nam.get(QNetworkRequest(server.url("/hang"))));
        QVERIFY(finish(late.data()));
        QVERIFY(clock.elapsed() >= 140);
        QCOMPARE(late->readAll(), QByteArray("late"));

        QVERIFY(server.waitForRequests(2));
        QVERIFY(!finish(hang.data(), 200));
        QCOMPARE(server.openConnections(), 2);
        hang->abort();
        QVERIFY(Idle::waitUntil([&] { return server.openConnections() == 1; }));
    }

    void unusedPortRefuses()
    {
        QNetworkAccessManager nam;
        const QUrl url(QStringLiteral("http://127.0.0.1:%1/").arg(HttpTestServer::unusedPort()));
        QScopedPointer<QNetworkReply> reply(nam.get(QNetworkRequest(url)));
        QVERIFY(finish(reply.data()));
        QCOMPARE(reply->error(), QNetworkReply::ConnectionRefusedError);
    }
};

GLYPH_TEST_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
