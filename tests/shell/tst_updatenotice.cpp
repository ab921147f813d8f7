#include "updateindicationdialog.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QMovie>
#include <QPointer>
#include <QTimer>

using QMWidgets::UpdateIndicationDialog;

namespace {
QTimer *timerOf(UpdateIndicationDialog &dialog)
{
    return dialog.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
}
QMovie *movieOf(UpdateIndicationDialog &dialog)
{
    return dialog.findChild<QMovie *>();
}
}

class TestUpdateNotice : public QObject
{
    Q_OBJECT

private slots:
    void builtAsAFramelessTopWindow()
    {
        UpdateIndicationDialog dialog;
        dialog.setText(QString());

        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(dialog.windowOpacity(), 0.8);
        QVERIFY(timerOf(dialog));
        QCOMPARE(timerOf(dialog)->interval(), 10000);
        QVERIFY(movieOf(dialog));
        QCOMPARE(movieOf(dialog)->speed(), 300);
        QCOMPARE(movieOf(dialog)->fileName(), QString(":/pix/loading.gif"));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.height() >= 70); // an empty text leaves the animation alone
    }

    void animatesAndCountsOnlyWhileShown()
    {
        UpdateIndicationDialog dialog;
        dialog.setText("Checking");
        QMovie *movie = movieOf(dialog);
        QTimer *timer = timerOf(dialog);
        QVERIFY(movie->isValid());

        dialog.show();
        const bool runningWhileShown = movie->state() == QMovie::Running && timer->isActive();
        auto *animation = qobject_cast<QLabel *>(dialog.layout()->itemAt(0)->widget());
        QVERIFY(animation);
        QCOMPARE(animation->size(), movie->currentImage().size());
        dialog.hide();

        QVERIFY(runningWhileShown);
        QCOMPARE(movie->state(), QMovie::NotRunning);
        QVERIFY(!timer->isActive());
    }

    void acceptsItselfWhenTheTimeRunsOut()
    {
        UpdateIndicationDialog dialog;
        timerOf(dialog)->setInterval(150);
        QElapsedTimer clock;
        clock.start();

        const int result = dialog.exec();

        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(clock.elapsed() >= 140);
        QVERIFY(clock.elapsed() < 8000);
    }

    void rejectWinsOverTheTimer()
    {
        UpdateIndicationDialog dialog;
        timerOf(dialog)->setInterval(2000);
        QTimer::singleShot(50, &dialog, SLOT(reject()));
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }

    void showingAgainGivesAFreshCount()
    {
        UpdateIndicationDialog dialog;
        QTimer *timer = timerOf(dialog);
        timer->setInterval(400);
        dialog.show();
        QTest::qWait(250);
        dialog.hide();
        dialog.show();
        const int remaining = timer->remainingTime();
        QVERIFY2(remaining > 300, qPrintable(QString::number(remaining)));
        QTest::qWait(250); // more than the first count had left
        QVERIFY(dialog.isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 2000);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void ownsItsTimerAndMovie()
    {
        auto *dialog = new UpdateIndicationDialog;
        QPointer<QTimer> timer = timerOf(*dialog);
        QPointer<QMovie> movie = movieOf(*dialog);
        QVERIFY(timer && movie);
        delete dialog;
        QVERIFY(!timer);
        QVERIFY(!movie);
    }
};

GLYPH_TEST_MAIN(TestUpdateNotice)
#include "tst_updatenotice.moc"
