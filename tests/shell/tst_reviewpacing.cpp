#include "app.h"
#include "modalanswerer.h"
#include "os.h"
#include "reviewpacing.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QPointer>

#include <climits>

using QMWidgets::App;
using QMWidgets::ReviewPacing;

namespace {

const char *const kRatePage = "https://127.0.0.1/rate/rate.php?appname=glyphcraft";
const char *const kDateFormat = "yyyy-MM-dd";

// The stored date text of a request made the given number of days ago.
QString daysAgo(int days)
{
    return QDate::currentDate().addDays(-days).toString(kDateFormat);
}

} // namespace

class TestReviewPacing : public QObject
{
    Q_OBJECT

private:
    App *app() const { return App::instance(); }

    void store(int count, int calls, const QString &lastDate, bool remindersOn = true)
    {
        app()->setValue("RequestedReviewsCount", count);
        app()->setValue("RequestedReviewsCalls", calls);
        app()->setValue("RequestedReviewsLastDate", lastDate);
        app()->setValue("AutoReminder", remindersOn);
    }
    int storedCount() const { return app()->value("RequestedReviewsCount", -999).toInt(); }
    int storedCalls() const { return app()->value("RequestedReviewsCalls", -999).toInt(); }
    QString storedDate() const { return app()->value("RequestedReviewsLastDate").toString(); }
    bool storedRemindersOn() const { return app()->value("AutoReminder", true).toBool(); }

private slots:
    void initTestCase()
    {
        qputenv("GLYPH_SITE_RATE", "https://127.0.0.1/rate");
        app()->setWebDistribution(true);
    }

    void init()
    {
        UrlRecorder::instance()->clear();
        app()->setMainWidget(nullptr);
        ReviewPacing::resetRun();
        ReviewPacing::setReviewRequestInterval(2);
    }

    void freshInstallation()
    {
        store(0, 0, QString());
        QCOMPARE(ReviewPacing::reviewRequestCount(), 0);
        QCOMPARE(ReviewPacing::reviewRequestCalls(), 0);
        QCOMPARE(ReviewPacing::lastReviewRequestDate(), QDate::currentDate());
        QVERIFY(!ReviewPacing::reviewRequestsExhausted());
        QCOMPARE(ReviewPacing::remainingReviewRequests(), 3);
    }

    void yearlyAllowance_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("lastDate");
        QTest::addColumn<bool>("exhausted");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<int>("remaining");

        QTest::newRow("2 requests, 365 days ago") << 2 << daysAgo(365) << false << false << 1;
        QTest::newRow("2 requests, 366 days ago") << 2 << daysAgo(366) << true << false << 0;
        QTest::newRow("3 requests, 366 days ago") << 3 << daysAgo(366) << true << false << 0;
        QTest::newRow("3 requests, 10 days ago") << 3 << daysAgo(10) << true << false << 0;
        QTest::newRow("3 requests, 367 days ago") << 3 << daysAgo(367) << false << true << 3;
        QTest::newRow("1 request, 400 days ago") << 1 << daysAgo(400) << false << true << 3;
        QTest::newRow("2 requests, date in the future") << 2 << daysAgo(-30) << false << false << 1;
        QTest::newRow("3 requests, malformed date counts as today")
            << 3 << QString("31.12.2019") << true << false << 0;
    }
    void yearlyAllowance()
    {
        QFETCH(int, count);
        QFETCH(QString, lastDate);
        QFETCH(bool, exhausted);
        QFETCH(bool, reset);
        QFETCH(int, remaining);
        store(count, 17, lastDate);

        QCOMPARE(ReviewPacing::reviewRequestsExhausted(), exhausted);

        QCOMPARE(storedCount(), reset ? 0 : count);
        QCOMPARE(storedCalls(), reset ? 0 : 17);
        QCOMPARE(storedDate(), reset ? QDate::currentDate().toString(kDateFormat) : lastDate);
        QCOMPARE(ReviewPacing::remainingReviewRequests(), remaining);
    }

    void pacedRequest_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("calls");
        QTest::addColumn<QString>("lastDate");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("remindersOn");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<int>("nextCount");
        QTest::addColumn<int>("nextCalls");

        const QString before = daysAgo(10);
        QTest::newRow("first request") << 2 << 0 << 0 << QString() << false << true << true << 1 << 1;
        QTest::newRow("N 2, calls 3") << 2 << 1 << 3 << before << false << true << false << 1 << 4;
        QTest::newRow("N 2, calls 4") << 2 << 1 << 4 << before << false << true << true << 2 << 5;
        QTest::newRow("forced, calls 3") << 2 << 1 << 3 << before << true << true << true << 2 << 4;
        QTest::newRow("N 3, calls 4") << 3 << 1 << 4 << before << false << true << false << 1 << 5;
        QTest::newRow("N 3, calls 6") << 3 << 2 << 6 << before << false << true << true << 3 << 7;
        QTest::newRow("N 0 counts as 1") << 0 << 1 << 5 << before << false << true << true << 2 << 6;
        QTest::newRow("largest calls") << 2 << 1 << INT_MAX << before << false << true << false << 1 << 1;
        QTest::newRow("negative calls") << 2 << 1 << -5 << before << false << true << false << 1 << 1;
        QTest::newRow("exhausted") << 2 << 3 << 4 << before << true << true << false << 3 << 4;
        // Reminders off: nothing is shown, but the request is counted.
        QTest::newRow("reminders off") << 2 << 0 << 0 << QString() << false << false << false << 1 << 1;
    }
    void pacedRequest()
    {
        QFETCH(int, interval);
        QFETCH(int, count);
        QFETCH(int, calls);
        QFETCH(QString, lastDate);
        QFETCH(bool, force);
        QFETCH(bool, remindersOn);
        QFETCH(bool, shown);
        QFETCH(int, nextCount);
        QFETCH(int, nextCalls);
        // arrange
        ReviewPacing::setReviewRequestInterval(interval);
        store(count, calls, lastDate, remindersOn);
        QByteArray shownClass;
        ModalAnswerer answerer([&](QWidget *dialog) {
            shownClass = dialog->metaObject()->className();
            ModalAnswerer::clickButtonWithText(dialog, "&Later");
        });

        // act
        ReviewPacing::requestReview(force);

        // assert
        QCOMPARE(answerer.answered(), shown);
        if (shown)
            QCOMPARE(shownClass, QByteArray("QMWidgets::RateAppStoreDialog"));
        QCOMPARE(storedCount(), nextCount);
        QCOMPARE(storedCalls(), nextCalls);
        if (nextCount != count)
            QCOMPARE(storedDate(), QDate::currentDate().toString(kDateFormat));
        else
            QCOMPARE(storedDate(), lastDate);
        QVERIFY(ReviewPacing::wasRequestedThisRun());
        QCOMPARE(storedRemindersOn(), remindersOn);
    }

    void secondRequestInSameRunDoesNothing()
    {
        store(0, 0, QString());
        {
            ModalAnswerer answerer([](QWidget *d) { ModalAnswerer::clickButtonWithText(d, "&Later"); });
            ReviewPacing::requestReview(false);
            QVERIFY(answerer.answered());
        }
        ModalAnswerer answerer([](QWidget *d) { ModalAnswerer::clickButtonWithText(d, "&Later"); });

        ReviewPacing::requestReview(true);

        QVERIFY(!answerer.answered());
        QCOMPARE(storedCount(), 1);
        QCOMPARE(storedCalls(), 1);
    }

    void storeReviewChoice_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("remindersAfter");
        QTest::addColumn<bool>("ratePageOpened");
        QTest::newRow("rate") << "&Rate It Now" << false << true;
        QTest::newRow("later") << "&Later" << true << false;
        QTest::newRow("never ask again") << "&Don't ask me again" << false << false;
        QTest::newRow("escape") << "Escape" << true << false;
    }
    void storeReviewChoice()
    {
        QFETCH(QString, answer);
        QFETCH(bool, remindersAfter);
        QFETCH(bool, ratePageOpened);
        // arrange
        QWidget page;
        app()->setMainWidget(&page);
        app()->setValue("AutoReminder", true);
        QWidget *parent = nullptr;
        ModalAnswerer answerer([&](QWidget *dialog) {
            parent = dialog->parentWidget();
            if (answer == QLatin1String("Escape"))
                ModalAnswerer::pressKey(dialog, Qt::Key_Escape);
            else
                ModalAnswerer::clickButtonWithText(dialog, answer);
        });

        // act
        ReviewPacing::requestStoreReview();

        // assert
        QVERIFY(answerer.answered());
        QCOMPARE(parent, &page);
        QCOMPARE(storedRemindersOn(), remindersAfter);
        const QList<QUrl> urls = UrlRecorder::instance()->urls();
        QCOMPARE(urls.size(), ratePageOpened ? 1 : 0);
        if (ratePageOpened)
            QCOMPARE(urls.first(), QUrl(kRatePage));
        QVERIFY(!page.findChild<QDialog *>());
    }

    // The Os names reach the same pacing: same settings, interval and run mark.
    void osNamesPaceTheSameRequests()
    {
        // arrange
        store(1, 5, daysAgo(3));
        Os::setReviewRequestInterval(3);
        ModalAnswerer answerer([](QWidget *d) { ModalAnswerer::clickButtonWithText(d, "&Later"); });
        // act: call 5 is not a multiple of 3, so only a forced request is shown
        Os::requestReview(false);
        const bool shownUnforced = answerer.answered();
        ReviewPacing::resetRun();
        Os::requestReview(true);
        // assert
        QVERIFY(!shownUnforced);
        QVERIFY(answerer.answered());
        QCOMPARE(Os::reviewRequestCount(), 2);
        QCOMPARE(Os::reviewRequestCalls(), 7);
        QCOMPARE(Os::lastReviewRequestDate(), QDate::currentDate());
        QCOMPARE(Os::remainingReviewRequests(), 1);
        QVERIFY(!Os::reviewRequestsExhausted());
        QCOMPARE(ReviewPacing::reviewRequestInterval(), 3);
    }

    void storeReviewWithRemindersOffShowsNothing()
    {
        app()->setValue("AutoReminder", false);
        ModalAnswerer answerer([](QWidget *d) { ModalAnswerer::clickButtonWithText(d, "&Later"); });

        ReviewPacing::requestStoreReview();

        QVERIFY(!answerer.answered());
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }
};

GLYPH_APP_TEST_MAIN(TestReviewPacing, QMWidgets::App)
#include "tst_reviewpacing.moc"
