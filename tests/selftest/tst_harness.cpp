#include "faildevice.h"
#include "idle.h"
#include "modalanswerer.h"
#include "testenvironment.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

class TestHarness : public QObject
{
    Q_OBJECT
private slots:
    void homeIsTemporary()
    {
        QVERIFY(!TestEnvironment::homePath().isEmpty());
        QCOMPARE(QDir::homePath(), TestEnvironment::homePath());
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::ConfigLocation)
                    .startsWith(TestEnvironment::homePath()));
    }

    void urlRecorderCapturesEveryScheme()
    {
        UrlRecorder::instance()->clear();
        const QStringList links = {"http://a.invalid/x", "https://b.invalid/", "mailto:x@y.invalid",
                                   "file:///tmp/x.html", "ms-windows-store://pdp/?productid=1",
                                   "no-scheme-text"};
        for (const QString &l : links)
            QVERIFY(QDesktopServices::openUrl(QUrl(l, QUrl::TolerantMode)));
        QCOMPARE(UrlRecorder::instance()->urls().size(), links.size());
        QCOMPARE(UrlRecorder::instance()->urls().first(), QUrl("http://a.invalid/x"));
    }

    void modalAnswererAnswersAndFailSafeCloses()
    {
        QDialog dialog;
        ModalAnswerer answer([](QWidget *w) { static_cast<QDialog *>(w)->done(7); });
        QCOMPARE(dialog.exec(), 7);
        QVERIFY(answer.answered());

        QDialog stubborn;
        ModalAnswerer none([](QWidget *) {}, 200);
        none.setClassName("QFileDialog"); // never appears: the fail-safe must end the loop
        QCOMPARE(stubborn.exec(), int(QDialog::Rejected));
        QVERIFY(none.timedOut());
    }

    void failSafeFailsAnAnswerThatLeavesTheDialogOpen()
    {
        // arrange: an answer that does nothing, like a click on a button
        // whose connection was removed
        QDialog stuck;
        QTimer::singleShot(20000, &stuck, &QDialog::reject); // only a broken fail-safe gets here
        ModalAnswerer ignoring([](QWidget *) {}, 200);
        // act
        QEXPECT_FAIL("", "the fail-safe fails the test whose answer left the dialog open", Continue);
        stuck.exec();
        // assert
        QVERIFY(ignoring.answered());
        QVERIFY(ignoring.timedOut());
    }

    void idleRunsQueuedWork()
    {
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        QVERIFY(Idle::settle());
        QVERIFY(ran);
    }

    void failDeviceFailsAfterLimit()
    {
        FailDevice dev(4);
        QVERIFY(dev.open(QIODevice::WriteOnly));
        QCOMPARE(dev.write("abc", 3), qint64(3));
        QCOMPARE(dev.write("def", 3), qint64(1));
        QCOMPARE(dev.write("g", 1), qint64(-1));
    }
};

GLYPH_TEST_MAIN(TestHarness)
#include "tst_harness.moc"
