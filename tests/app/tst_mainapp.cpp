#include "appupdatedialog.h"
#include "mainapp.h"

#include "httptestserver.h"
#include "idle.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QElapsedTimer>
#include <QJSEngine>
#include <QProcess>
#include <QQmlEngine>

// This test runs itself a second time (argument "--second-run") with the same
// home folder, to see how a later start behaves.

namespace {
const char kSecondRun[] = "--second-run";
QElapsedTimer s_sinceConstruction;
QtMessageHandler s_handlerAfterConstruction = nullptr;

MainApp *mainApp()
{
    return qobject_cast<MainApp *>(QCoreApplication::instance());
}

QString base(const HttpTestServer &server)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(server.port());
}

struct Arrival
{
    QString path;
    qint64 at;
};

int indexOf(const QList<Arrival> &arrivals, const QString &path)
{
    for (int i = 0; i < arrivals.size(); ++i) {
        if (arrivals.at(i).path == path)
            return i;
    }
    return -1;
}
}

class TestMainApp : public QObject
{
    Q_OBJECT

private slots:
    // First, while the start-up timers are still pending.
    void startTimersCheckThenPing()
    {
        // arrange: one loopback site for everything; an old stored check date,
        // so an armed update check asks the site
        HttpTestServer server;
        QVERIFY(server.isListening());
        server.setRoute(MainApp::buildsInfoPath(), 200, "build:1.0;date:2000-01-01;windows:all");
        server.setRoute("/", 200, "ok");
        QList<Arrival> arrivals;
        connect(&server, &HttpTestServer::requestReceived, this, [&](const QString &path) {
            arrivals.append({path, s_sinceConstruction.elapsed()});
        });
        const QByteArray address = base(server).toUtf8();
        qputenv("GLYPH_SITE_BASE", address);
        qputenv("GLYPH_SITE_FALLBACK", address);
        qputenv("GLYPH_SITE_METRICS", address);
        mainApp()->setLastUpdateCheckDate(QDate::currentDate().addDays(-10).toString("yyyy-MM-dd"));
        // The next start runs without the automatic check.
        AppUpdateDialog::setCheckUpdatesOnStart(false);
        mainApp()->settings()->sync();

        // act: this run's timers fire while a second run starts beside it
        QProcess second;
        second.setProcessChannelMode(QProcess::MergedChannels);
        second.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kSecondRun)});
        QVERIFY(second.waitForStarted());
        const bool ended = Idle::waitUntil([&] { return second.state() == QProcess::NotRunning; }, 20000);
        Idle::waitUntil([&] { return indexOf(arrivals, "/?a=glyphcraft") >= 0; }, 2000);
        AppUpdateDialog::setCheckUpdatesOnStart(true);

        // assert
        QVERIFY(ended);
        QVERIFY2(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0,
                 second.readAll().constData());
        const int check = indexOf(arrivals, MainApp::buildsInfoPath());
        const int firstPing = indexOf(arrivals, "/?f=glyphcraft");
        const int laterPing = indexOf(arrivals, "/?a=glyphcraft");
        QVERIFY(check >= 0);
        QVERIFY(firstPing >= 0);
        QVERIFY(laterPing >= 0);
        QVERIFY2(arrivals.at(check).at >= 1800, qPrintable(QString::number(arrivals.at(check).at)));
        QVERIFY2(arrivals.at(firstPing).at >= 3700, qPrintable(QString::number(arrivals.at(firstPing).at)));
        QVERIFY(check < firstPing);
        // Only this run checked: the second one had "checkupdates" off.
        int checks = 0;
        for (const Arrival &arrival : arrivals)
            checks += arrival.path == MainApp::buildsInfoPath() ? 1 : 0;
        QCOMPARE(checks, 1);
        QCOMPARE(arrivals.size(), 3);
    }

    void publishedToTheScriptEngineAsApp()
    {
        QJSEngine *engine = mainApp()->scriptEngine();
        QVERIFY(engine);
        QCOMPARE(engine->parent(), mainApp());
        QCOMPARE(engine->evaluate("app.applicationName").toString(), QString("Glyphcraft"));
        QCOMPARE(engine->evaluate("app.organizationName").toString(), QString("Quillar"));
        QCOMPARE(QQmlEngine::objectOwnership(mainApp()), QQmlEngine::CppOwnership);

        // Dropping the script's reference must not let the collector take the application.
        engine->evaluate("app = null");
        engine->collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(QCoreApplication::applicationName(), QString("Glyphcraft"));
        engine->globalObject().setProperty("app", engine->newQObject(mainApp()));
    }

    void silencedAndWebDistributed()
    {
        QVERIFY(s_handlerAfterConstruction == &QMWidgets::App::silentMessageHandler);
        QVERIFY(mainApp()->isWebDistribution());
    }

    void pingSendsTheNameWithoutBlanksInLowerCase()
    {
        HttpTestServer server;
        server.setRoute("/", 200, "ok");
        qputenv("GLYPH_SITE_METRICS", base(server).toUtf8());
        mainApp()->setApplicationName("My App");

        mainApp()->slotDoWebMetrics();
        mainApp()->setApplicationName("Glyphcraft");

        QVERIFY(server.waitForRequests(1, 5000));
        // This process is the first run.
        QCOMPARE(server.lastRequest().path, QString("/?f=myapp"));
    }

    void moreAppsPage_data()
    {
        QTest::addColumn<QString>("site");
        QTest::newRow("configured") << "http://127.0.0.1:9";
        QTest::newRow("default") << "";
    }

    void moreAppsPage()
    {
        QFETCH(QString, site);
        UrlRecorder::instance()->clear();
        qputenv("GLYPH_SITE_BASE", site.toUtf8());

        mainApp()->slotShowMoreApps();
        qunsetenv("GLYPH_SITE_BASE");

        const QList<QUrl> urls = UrlRecorder::instance()->urls();
        if (site.isEmpty()) {
            QVERIFY(urls.isEmpty());
            return;
        }
        QCOMPARE(urls.size(), 1);
        QCOMPARE(urls.first().host(), QString("127.0.0.1"));
        QCOMPARE(urls.first().path(), QString("/apps/crosspromo.php"));
        QCOMPARE(urls.first().query(QUrl::FullyDecoded), QString("appname=\"\""));
    }

    void storeLinksStayWebLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::newRow("empty") << "";
        QTest::newRow("web page") << "https://www.example.test/apps/glyphcraft/";
        QTest::newRow("known product") << "glyphcraft";
    }

    void storeLinksStayWebLinks()
    {
        QFETCH(QString, link);
        QMWidgets::App *app = mainApp();
        QCOMPARE(app->storeProductUrl(link), link);
    }
};

// The later start: the folders exist and "checkupdates" is off. Its ping and
// any update check go to the first run's server (the environment is inherited).
class TestSecondRun : public QObject
{
    Q_OBJECT

private slots:
    void laterStartArmsNoUpdateCheck()
    {
        QVERIFY(!mainApp()->isNewInstallation());
        QVERIFY(!AppUpdateDialog::checkUpdatesOnStart());
        // Past both start-up timers: the first run's server sees the ping
        // and no check.
        QTest::qWait(4600);
    }
};

int main(int argc, char *argv[])
{
    const bool secondRun = argc > 1 && qstrcmp(argv[1], kSecondRun) == 0;
    if (!secondRun)
        TestEnvironment::prepare(); // the second run inherits this home
    s_sinceConstruction.start();
    MainApp app(argc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
    s_handlerAfterConstruction = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(s_handlerAfterConstruction);
    TestEnvironment::installUrlRecorder();
    QTEST_SET_MAIN_SOURCE_PATH
    if (secondRun) {
        TestSecondRun tc;
        char *args[] = {argv[0], nullptr};
        return QTest::qExec(&tc, 1, args);
    }
    TestMainApp tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_mainapp.moc"
