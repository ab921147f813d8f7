#include "appupdatedialog.h"
#include "buildsinfo.h"
#include "mainapp.h"

#include "httptestserver.h"
#include "idle.h"
#include "modalanswerer.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QLoggingCategory>

namespace {
const char kFormat[] = "yyyy-MM-dd";

MainApp *mainApp()
{
    return qobject_cast<MainApp *>(QCoreApplication::instance());
}

QString base(const HttpTestServer &server)
{
    return QStringLiteral("http://127.0.0.1:%1").arg(server.port());
}

QString labelTexts(QWidget *dialog)
{
    QString text;
    for (QLabel *label : dialog->findChildren<QLabel *>())
        text += label->text();
    return text;
}

int requestsFor(const HttpTestServer &server, const QString &path)
{
    int count = 0;
    for (const HttpTestServer::Request &request : server.requests())
        count += request.path == path ? 1 : 0;
    return count;
}
}

class TestUpdateCheck : public QObject
{
    Q_OBJECT

    HttpTestServer m_primary;
    HttpTestServer m_fallback;

private slots:
    void initTestCase()
    {
        QVERIFY(mainApp());
        // The parser logs every entry; keep the test output readable.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(m_primary.isListening() && m_fallback.isListening());
        qputenv("GLYPH_SITE_BASE", base(m_primary).toUtf8());
        qputenv("GLYPH_SITE_FALLBACK", base(m_fallback).toUtf8());
        m_primary.setRoute(MainApp::buildsInfoPath(), 200, "build:9.9;date:2099-01-01;windows:all");

        // The automatic check armed at start runs after 2000 ms; on a first
        // start it only remembers the day and asks nobody.
        QVERIFY(Idle::waitUntil([] { return !mainApp()->lastUpdateCheckDate().isEmpty(); }, 5000));
        QCOMPARE(mainApp()->lastUpdateCheckDate(), QDate::currentDate().toString(kFormat));
        QCOMPARE(m_primary.requestCount() + m_fallback.requestCount(), 0);

        mainApp()->setFetchAbortTime(400);
    }

    void init()
    {
        m_primary.clearRoutes();
        m_fallback.clearRoutes();
        m_primary.clearRequests();
        m_fallback.clearRequests();
        UrlRecorder::instance()->clear();
    }

    void requestPathNamesTheProgram()
    {
        QCOMPARE(MainApp::buildsInfoPath(), QString("/apps/buildsinfo/glyphcraft_win"));
    }

    void decision_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<bool>("newer");
        QTest::addColumn<QString>("build");

        const QByteArray running = QMWidgets::App::buildDate().toString(kFormat).toLatin1();
        const QString linux; // the tag of a system that is no Windows

        QTest::newRow("all, Windows 7") << QByteArray("build:2.0;date:2099-01-01;windows:all") << "00_90" << true << "2.0";
        QTest::newRow("all, Linux") << QByteArray("build:2.0;date:2099-01-01;windows:all") << linux << true << "2.0";
        QTest::newRow("00_C0 on 10") << QByteArray("build:2.0;date:2099-01-01;windows:00_C0") << "00_C0" << true << "2.0";
        QTest::newRow("00_C0 on 8.1") << QByteArray("build:2.0;date:2099-01-01;windows:00_C0") << "00_B0" << false << "2.0";
        QTest::newRow("00_C0 on Linux") << QByteArray("build:2.0;date:2099-01-01;windows:00_C0") << linux << false << "2.0";
        QTest::newRow("00_20 on Linux") << QByteArray("build:2.0;date:2099-01-01;windows:00_20") << linux << false << "2.0";
        QTest::newRow("00_90 admits 7") << QByteArray("build:2;date:2099-01-01;windows:00_90") << "00_90" << true << "2";
        QTest::newRow("00_90 admits 10") << QByteArray("build:2;date:2099-01-01;windows:00_90") << "00_C0" << true << "2";
        QTest::newRow("00_90 refuses Vista") << QByteArray("build:2;date:2099-01-01;windows:00_90") << "00_80" << false << "2";
        QTest::newRow("first windows entry passes, second fails")
            << QByteArray("build:2;date:2099-01-01;windows:all;windows:00_FF") << "00_90" << true << "2";
        QTest::newRow("value without _ or all") << QByteArray("build:2;date:2099-01-01;windows:C0") << "00_C0" << false << "2";
        QTest::newRow("same date as running build")
            << QByteArray("build:2;date:" + running + ";windows:all") << "00_C0" << false << "2";
        QTest::newRow("older date") << QByteArray("build:1;date:2000-01-01;windows:all") << "00_C0" << false << "1";
        QTest::newRow("later date replaces earlier")
            << QByteArray("build:2;date:2099-01-01;date:2000-01-01;windows:all") << "00_C0" << false << "2";
        QTest::newRow("no date") << QByteArray("build:2;windows:all") << "00_C0" << false << "2";
        QTest::newRow("unparsable date") << QByteArray("build:2;date:01.01.2099;windows:all") << "00_C0" << false << "2";
        QTest::newRow("no windows") << QByteArray("build:2;date:2099-01-01") << "00_C0" << false << "2";
        QTest::newRow("blank before colon is invalid")
            << QByteArray("build :2;date:2099-01-01;windows:all") << "00_C0" << false << "";
        QTest::newRow("keys are case-sensitive")
            << QByteArray("build:2;Date:2099-01-01;windows:all") << "00_C0" << false << "2";
        QTest::newRow("blanks and line characters ignored")
            << QByteArray("build: 2.1 ;\r\n date : 2099-01-01;\twindows:\nall\r\n") << "00_C0" << true << "2.1";
        QTest::newRow("date with time of day in UTC")
            << QByteArray("build:2;date:2099-01-01T10:20:30Z;windows:all") << "00_C0" << true << "2";
        QTest::newRow("date with time of day and offset")
            << QByteArray("build:2;date:2099-01-01T10:20:30.5+01:00;windows:all") << "00_C0" << true << "2";
        QTest::newRow("longest date with time of day")
            << QByteArray("build:2;date:2099-01-01T10:20:30.123456789+01:00;windows:all") << "00_C0" << true << "2";
        QTest::newRow("date and time of day with a blank between")
            << QByteArray("build:2;date:2099-01-01 10:20;windows:all") << "00_C0" << true << "2";
        QTest::newRow("running build's day at a later hour")
            << QByteArray("build:2;date:" + running + "T23:59:59-12:00;windows:all") << "00_C0" << false << "2";
        QTest::newRow("impossible time of day")
            << QByteArray("build:2;date:2099-01-01T24:20Z;windows:all") << "00_C0" << false << "2";
        QTest::newRow("value is the last part")
            << QByteArray("build:x:3.0;date:a:2099-01-01;windows:all") << "00_C0" << true << "3.0";
        QTest::newRow("entries without colon skipped")
            << QByteArray(";;junk;build:2;;date:2099-01-01;windows:all;") << "00_C0" << true << "2";
        QTest::newRow("text ends at NUL")
            << QByteArray("build:2;date:2099-01-01;windows:all\0;date:2000-01-01", 52) << "00_C0" << true << "2";
        QTest::newRow("empty reply") << QByteArray() << "00_C0" << false << "";
    }

    void decision()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, tag);
        QFETCH(bool, newer);
        QFETCH(QString, build);

        const QString text = BuildsInfo::textFromReply(reply);
        const BuildsInfo info = BuildsInfo::parse(text);

        QCOMPARE(BuildsInfo::isNewerBuild(text, QMWidgets::App::buildDate(), tag), newer);
        QCOMPARE(info.build(), build);
    }

    void fetchFallsBack_data()
    {
        QTest::addColumn<QString>("primary"); // how the first address behaves
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("fallbackAsked");
        QTest::newRow("first answers") << "answer" << "build:1;from:primary" << false;
        QTest::newRow("first 404") << "404" << "build:1;from:fallback" << true;
        QTest::newRow("first empty") << "empty" << "build:1;from:fallback" << true;
        QTest::newRow("first silent") << "silent" << "build:1;from:fallback" << true;
    }

    void fetchFallsBack()
    {
        QFETCH(QString, primary);
        QFETCH(QString, expected);
        QFETCH(bool, fallbackAsked);
        const QString path = MainApp::buildsInfoPath();
        if (primary == "answer")
            m_primary.setRoute(path, 200, "build:1;from:primary");
        else if (primary == "404")
            m_primary.setRoute(path, 404, "build:1;from:primary");
        else if (primary == "empty")
            m_primary.setRoute(path, 200, QByteArray());
        else
            m_primary.setNeverAnswer(path);
        m_fallback.setRoute(path, 200, "build:1;from:fallback");
        QElapsedTimer clock;
        clock.start();

        const QString text = mainApp()->fetchBuildsInfoWithFallback();

        QCOMPARE(text, expected);
        QCOMPARE(requestsFor(m_primary, path), 1);
        QCOMPARE(requestsFor(m_fallback, path), fallbackAsked ? 1 : 0);
        QVERIFY2(clock.elapsed() < 6000, "the abort time was not applied");
    }

    void defaultSiteIsNeverContacted()
    {
        qunsetenv("GLYPH_SITE_BASE");
        qunsetenv("GLYPH_SITE_FALLBACK");
        QElapsedTimer clock;
        clock.start();
        const QString text = mainApp()->fetchBuildsInfoWithFallback();
        const qint64 elapsed = clock.elapsed();
        AppUpdateDialog dialog(nullptr);
        dialog.slotUpdate();
        qputenv("GLYPH_SITE_BASE", base(m_primary).toUtf8());
        qputenv("GLYPH_SITE_FALLBACK", base(m_fallback).toUtf8());

        QVERIFY(text.isEmpty());
        QVERIFY(elapsed < 300);
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    void automaticCheckRunsAfterFiveDays_data()
    {
        const QDate today = QDate::currentDate();
        const QString todayText = today.toString(kFormat);
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("site"); // "newer", "older", or "404" from both servers
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("dialog");
        QTest::addColumn<QString>("storedAfter");

        QTest::newRow("first start") << "" << "newer" << false << false << todayText;
        QTest::newRow("unreadable date") << "soon" << "newer" << false << false << todayText;
        const QString sixAgo = today.addDays(-6).toString(kFormat);
        QTest::newRow("6 days, newer") << sixAgo << "newer" << true << true << todayText;
        QTest::newRow("6 days, nothing newer") << sixAgo << "older" << true << false << sixAgo;
        QTest::newRow("6 days, check fails silently") << sixAgo << "404" << true << false << sixAgo;
        const QString fiveAgo = today.addDays(-5).toString(kFormat);
        QTest::newRow("5 days") << fiveAgo << "newer" << false << false << fiveAgo;
        const QString tomorrow = today.addDays(1).toString(kFormat);
        QTest::newRow("future") << tomorrow << "newer" << false << false << tomorrow;
    }

    void automaticCheckRunsAfterFiveDays()
    {
        QFETCH(QString, stored);
        QFETCH(QString, site);
        QFETCH(bool, asks);
        QFETCH(bool, dialog);
        QFETCH(QString, storedAfter);
        if (site != "404")
            m_primary.setRoute(MainApp::buildsInfoPath(), 200,
                               site == "newer" ? "build:7.0;date:2099-01-01;windows:all"
                                               : "build:1.0;date:2000-01-01;windows:all");
        mainApp()->setLastUpdateCheckDate(stored);
        QString shownText;
        ModalAnswerer answerer([&](QWidget *d) {
            shownText = labelTexts(d);
            ModalAnswerer::clickButtonWithText(d, "No");
        }, 3000);
        answerer.setClassName("AppUpdateDialog");

        mainApp()->nop_cuos();

        QCOMPARE(m_primary.requestCount() > 0, asks);
        QCOMPARE(answerer.answered(), dialog);
        if (dialog)
            QVERIFY2(shownText.contains("The newer version 7.0 of Glyphcraft is available."),
                     qPrintable(shownText));
        QCOMPARE(mainApp()->lastUpdateCheckDate(), storedAfter);
    }

    // A check that could not be made says so, and why, without the check
    // mark; while it runs the cursor shows that the program is busy.
    void manualCheckAlwaysAnswers_data()
    {
        QTest::addColumn<int>("status"); // of both servers; 0: no answer
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("checkMark");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("opensPage");
        const QByteArray newer("build:2.5;date:2099-01-01;windows:all");
        const QString failed("The check for updates could not be made.");
        QTest::newRow("newer, yes") << 200 << newer
                                    << "The newer version 2.5 of Glyphcraft is available." << false << "Yes" << true;
        QTest::newRow("newer, no") << 200 << newer
                                   << "The newer version 2.5 of Glyphcraft" << false << "No" << false;
        QTest::newRow("not newer, no") << 200 << QByteArray("build:0.1;date:2000-01-01;windows:all")
                                       << "You are using the latest version available." << true << "No" << false;
        QTest::newRow("both servers 404, yes")
            << 404 << QByteArray() << failed + "</H2><P>The server answered with HTTP status 404." << false << "Yes" << true;
        QTest::newRow("no answer in time")
            << 0 << QByteArray() << failed + "</H2><P>No answer within 0.4 s." << false << "No" << false;
        QTest::newRow("reply over 64 KB")
            << 200 << newer + QByteArray(64 * 1024 + 1 - newer.size(), ' ')
            << failed + "</H2><P>The reply is larger than 65536 bytes." << false << "No" << false;
        QTest::newRow("no build information")
            << 200 << QByteArray("<html>Welcome</html>")
            << failed + "</H2><P>The reply holds no build information." << false << "No" << false;
        QTest::newRow("build without date")
            << 200 << QByteArray("build:2.5;windows:all")
            << failed + "</H2><P>The reply gives no build date." << false << "No" << false;
        QTest::newRow("impossible date")
            << 200 << QByteArray("build:2.5;date:2099-13-45;windows:all")
            << failed + "</H2><P>The build date cannot be read: 2099-13-45" << false << "No" << false;
        QTest::newRow("long unreadable date is cut")
            << 200 << QByteArray("build:2.5;date:" + QByteArray(60000, '9') + ";windows:all")
            << failed + "</H2><P>The build date cannot be read: " + QString(20, '9') + QChar(0x2026) + "</P>"
            << false << "No" << false;
        QTest::newRow("date with time of day and offset")
            << 200 << QByteArray("build:2.5;date:2099-01-01T10:20:30+01:00;windows:all")
            << "The newer version 2.5 of Glyphcraft is available." << false << "No" << false;
        QTest::newRow("unreadable date and time quoted whole")
            << 200 << QByteArray("build:2.5;date:2099-01-01T10:20:30X;windows:all")
            << failed + "</H2><P>The build date cannot be read: 2099-01-01T10:20:30X</P>" << false << "No" << false;
        QTest::newRow("unreadable date quoted with its blanks")
            << 200 << QByteArray("build:2.5;date: 01.01.2099 10:20 ;windows:all")
            << failed + "</H2><P>The build date cannot be read: 01.01.2099 10:20</P>" << false << "No" << false;
        // The reason is shown as text: its markup is not obeyed.
        QTest::newRow("reason holding markup")
            << 200 << QByteArray("build:2.5;date:<i>2099-01-01</i>;windows:all")
            << failed + "</H2><P>The build date cannot be read: &lt;i&gt;2099-01-01&lt;/i&gt;" << false << "No" << false;
    }

    void manualCheckAlwaysAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, reply);
        QFETCH(QString, text);
        QFETCH(bool, checkMark);
        QFETCH(QString, button);
        QFETCH(bool, opensPage);
        for (HttpTestServer *server : {&m_primary, &m_fallback}) {
            if (status == 0)
                server->setNeverAnswer(MainApp::buildsInfoPath());
            else
                server->setRoute(MainApp::buildsInfoPath(), status, reply);
        }
        int cursorWhileAsking = -1;
        connect(&m_primary, &HttpTestServer::requestReceived, this, [&] {
            if (const QCursor *cursor = QGuiApplication::overrideCursor())
                cursorWhileAsking = cursor->shape();
        });
        QString shownText;
        QString title;
        QString name;
        QImage shownIcon;
        bool cursorAtAnswer = true;
        ModalAnswerer answerer([&](QWidget *d) {
            shownText = labelTexts(d);
            title = d->windowTitle();
            name = d->objectName();
            for (QLabel *label : d->findChildren<QLabel *>())
                if (!label->pixmap(Qt::ReturnByValue).isNull())
                    shownIcon = label->pixmap(Qt::ReturnByValue).toImage();
            cursorAtAnswer = QGuiApplication::overrideCursor() != nullptr;
            ModalAnswerer::clickButtonWithText(d, button);
        });
        answerer.setClassName("AppUpdateDialog");

        mainApp()->slotCheckUpdate();
        m_primary.disconnect(this);

        QVERIFY(answerer.answered());
        QVERIFY2(shownText.contains(text), qPrintable(shownText));
        QVERIFY(!shownIcon.isNull());
        QCOMPARE(shownIcon == QImage(":/update_not_available.png").convertToFormat(shownIcon.format()), checkMark);
        QCOMPARE(cursorWhileAsking, int(Qt::BusyCursor));
        QVERIFY(!cursorAtAnswer);
        QCOMPARE(title, QString("Glyphcraft Updates Notification"));
        QCOMPARE(name, QString("UpdateDialog"));
        const QList<QUrl> urls = UrlRecorder::instance()->urls();
        QCOMPARE(urls.size(), opensPage ? 1 : 0);
        if (opensPage)
            QCOMPARE(urls.first().toString(),
                     base(m_primary) + "/apps/updatepage.php?appname=glyphcraft");
    }

    void checkBoxWritesTheSettingAtOnce()
    {
        AppUpdateDialog first(nullptr);
        auto *box = first.findChild<QCheckBox *>();
        QVERIFY(box);
        QVERIFY(box->isChecked());

        box->setChecked(false);
        const bool storedOff = mainApp()->value("checkupdates", true).toBool();
        AppUpdateDialog second(nullptr);
        const bool secondShowsOff = !second.findChild<QCheckBox *>()->isChecked();
        box->setChecked(true);

        QVERIFY(!storedOff);
        QVERIFY(secondShowsOff);
        QVERIFY(AppUpdateDialog::checkUpdatesOnStart());
        QCOMPARE(mainApp()->value("checkupdates", false).toBool(), true);
    }
};

GLYPH_APP_TEST_MAIN(TestUpdateCheck, MainApp)
#include "tst_updatecheck.moc"
