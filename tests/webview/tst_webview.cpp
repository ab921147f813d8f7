#include "customwebview.h"
#include "httptestserver.h"
#include "idle.h"
#include "nativewebview.h"
#include "nativewebviewinternal.h"
#include "testmain.h"
#include "webviewinqt.h"

#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QPointer>
#include <QSignalSpy>

using QMWebView::NativeWebView;

class TestWebView : public QObject
{
    Q_OBJECT

private slots:
    void loadReturnsAtOnceAndFetchesInBackground()
    {
        // arrange
        HttpTestServer server;
        HttpTestServer::Route slow;
        slow.body = "<html>ping</html>";
        slow.delayMs = 300;
        server.setRoute("/", slow);
        NativeWebView view;
        QSignalSpy started(&view, SIGNAL(loadStarted()));
        QSignalSpy finished(&view, SIGNAL(loadFinished(bool)));
        QSignalSpy changed(&view, SIGNAL(urlChanged(QString)));
        const QUrl url = server.url("/?a=glyphcraft");

        // act
        QElapsedTimer clock;
        clock.start();
        view.load(url);
        const qint64 elapsed = clock.elapsed();

        // assert: started at once, finished only after the server answered
        QVERIFY(elapsed < 250); // well before the server answers
        QCOMPARE(started.size(), 1);
        QCOMPARE(finished.size(), 0);
        QVERIFY(server.waitForRequests(1));
        QCOMPARE(server.lastRequest().method, QByteArray("GET"));
        QCOMPARE(server.lastRequest().path, QString("/?a=glyphcraft"));
        QCOMPARE(finished.size(), 0);
        QVERIFY(finished.wait(3000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().first().toString(), url.toString());
        QCOMPARE(started.size(), 1);
    }

    void finishingSignalCarriesOutcome_data()
    {
        QTest::addColumn<QString>("address"); // a path on the server, or a full address
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("finalPath");
        QTest::newRow("200") << "/page" << true << "/page";
        QTest::newRow("404") << "/missing" << false << "";
        QTest::newRow("500") << "/broken" << false << "";
        QTest::newRow("redirect followed") << "/old" << true << "/page";
        QTest::newRow("refused port") << "refused" << false << "";
        QTest::newRow("other scheme") << "ftp://127.0.0.1/file" << false << "";
    }

    void finishingSignalCarriesOutcome()
    {
        QFETCH(QString, address);
        QFETCH(bool, ok);
        QFETCH(QString, finalPath);
        HttpTestServer server;
        server.setRoute("/page", 200, "<html></html>");
        server.setRoute("/missing", 404, "<html>not here</html>");
        server.setRoute("/broken", 500, "<html>oops</html>");
        server.setRoute("/old", 302, QByteArray(), {{"Location", "/page"}});
        QUrl url;
        if (address == "refused")
            url = QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(HttpTestServer::unusedPort()));
        else if (address.startsWith('/'))
            url = server.url(address);
        else
            url = QUrl(address);
        NativeWebView view;
        QSignalSpy finished(&view, SIGNAL(loadFinished(bool)));
        QSignalSpy changed(&view, SIGNAL(urlChanged(QString)));

        view.load(url);

        QVERIFY(finished.wait(3000));
        Idle::settle(100);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), ok);
        QCOMPARE(changed.size(), ok ? 1 : 0);
        if (ok)
            QCOMPARE(changed.first().first().toString(), server.url(finalPath).toString());
    }

    void noOpAddressesMakeNoRequest_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::newRow("empty") << QUrl();
        QTest::newRow("invalid domain") << QUrl("http://metrics.invalid/?a=glyphcraft");
        QTest::newRow("invalid domain, capitals") << QUrl("HTTPS://Metrics.INVALID/");
    }

    void noOpAddressesMakeNoRequest()
    {
        QFETCH(QUrl, url);
        // Any request that leaves the process would reach this server as proxy.
        HttpTestServer proxy;
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", proxy.port()));
        NativeWebView view;
        QSignalSpy started(&view, SIGNAL(loadStarted()));
        QSignalSpy finished(&view, SIGNAL(loadFinished(bool)));

        view.load(url);
        Idle::settle(200);
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);

        QCOMPARE(proxy.requestCount(), 0);
        QCOMPARE(started.size(), 0);
        QCOMPARE(finished.size(), 0);
    }

    void deletingWhileLoadingAbortsRequest()
    {
        HttpTestServer server;
        server.setNeverAnswer("/hang");
        QPointer<NativeWebView> view = new NativeWebView;
        int finishedCount = 0;
        connect(view.data(), &NativeWebView::loadFinished, this, [&] { ++finishedCount; });
        view->load(server.url("/hang"));
        QVERIFY(server.waitForRequests(1));

        delete view;
        Idle::settle(200);

        QVERIFY(Idle::waitUntil([&] { return server.openConnections() == 0; }));
        QCOMPARE(finishedCount, 0);
    }

    void newLoadReplacesRunningOne()
    {
        HttpTestServer server;
        server.setNeverAnswer("/hang");
        server.setRoute("/next", 200, "<html></html>");
        NativeWebView view;
        QSignalSpy finished(&view, SIGNAL(loadFinished(bool)));
        view.load(server.url("/hang"));
        QVERIFY(server.waitForRequests(1));

        view.load(server.url("/next"));

        QVERIFY(finished.wait(3000));
        Idle::settle(100);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(server.requestCount(), 2);
        QVERIFY(Idle::waitUntil([&] { return server.openConnections() <= 1; }));
    }

    void keyMessagesGoToControl_data()
    {
        QTest::addColumn<int>("message");
        QTest::addColumn<bool>("toControl");
        QTest::newRow("255") << 255 << false;
        QTest::newRow("256 first key message") << 256 << true;
        QTest::newRow("260") << 260 << true;
        QTest::newRow("265 last key message") << 265 << true;
        QTest::newRow("266") << 266 << false;
    }

    void keyMessagesGoToControl()
    {
        QFETCH(int, message);
        QFETCH(bool, toControl);
        CustomWebView control(nullptr, Qt::WindowFlags());
        QCOMPARE(control.translateKeyEvent(message, 0x41), toControl);
    }

    void onlyBrowserClassIdBindsControl()
    {
        CustomWebView control(nullptr, Qt::WindowFlags());
        QVERIFY(control.browser() != nullptr);
        QVERIFY(control.setControl("{8856f961-340a-11d0-a96b-00c04fd705a2}"));
        QVERIFY(!control.setControl("00000000-0000-0000-0000-000000000000"));
    }

    void resizingFillsLabelAndFrame()
    {
        NativeWebView view;
        view.resize(320, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.resize(400, 260);
        Idle::settle(200);

        auto *label = view.findChild<QMWebView::NativeWebViewInternal *>();
        auto *frame = view.findChild<QMWebView::WebViewInQt *>();
        QVERIFY(label && frame);
        QCOMPARE(label->size(), QSize(400, 260));
        QCOMPARE(frame->geometry(), QRect(0, 0, 400, 260));
    }
};

GLYPH_TEST_MAIN(TestWebView)
#include "tst_webview.moc"
