#include "delay.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class TestDelay : public QObject
{
    Q_OBJECT

private slots:
    void declaresItsSlot()
    {
        const QMetaObject *meta = &MTools::Delay::staticMetaObject;
        QCOMPARE(meta->className(), "MTools::Delay");
        QCOMPARE(meta->methodCount() - meta->methodOffset(), 1);
        QCOMPARE(meta->method(meta->methodOffset()).methodSignature(), QByteArray("slotUnblock()"));
    }

    void waitsAtLeastTheInterval_data()
    {
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("50 ms") << 50;
        QTest::newRow("500 ms") << 500;
    }
    void waitsAtLeastTheInterval()
    {
        QFETCH(int, milliseconds);
        MTools::Delay delay;
        QElapsedTimer clock;
        clock.start();
        delay.wait(milliseconds);
        QVERIFY2(clock.elapsed() >= milliseconds, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(clock.elapsed() < milliseconds + 5000);
    }

    void zeroAndNegativeReturnAfterOnePass_data()
    {
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("0") << 0;
        QTest::newRow("negative") << -100;
    }
    void zeroAndNegativeReturnAfterOnePass()
    {
        QFETCH(int, milliseconds);
        MTools::Delay delay;
        bool posted = false;
        QTimer::singleShot(0, this, [&posted] { posted = true; });
        // Fail-safe: a wait that never ends is stopped and reported.
        bool rescued = false;
        QTimer::singleShot(3000, &delay, [&] { rescued = true; delay.slotUnblock(); });
        QElapsedTimer clock;
        clock.start();
        delay.wait(milliseconds);
        QVERIFY(!rescued);
        QVERIFY(clock.elapsed() < 5000);
        QVERIFY(posted); // queued earlier than the wait's own timer
    }

    void keepsProcessingEventsWhileWaiting()
    {
        // arrange
        QWidget widget;
        widget.resize(50, 50);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCoreApplication::processEvents();
        PaintCounter counter;
        widget.installEventFilter(&counter);
        bool timerFired = false;
        QTimer::singleShot(30, this, [&timerFired] { timerFired = true; });
        // act
        widget.update();
        MTools::Delay().wait(200);
        // assert
        QVERIFY(counter.paints > 0);
        QVERIFY(timerFired);
    }

    void canWaitAgainAndNest()
    {
        MTools::Delay outer;
        int innerDone = 0;
        QTimer::singleShot(10, this, [&innerDone] {
            MTools::Delay inner;
            inner.wait(20);
            ++innerDone;
        });
        outer.wait(100);
        QCOMPARE(innerDone, 1);
        QElapsedTimer clock;
        clock.start();
        outer.wait(30);
        QVERIFY(clock.elapsed() >= 30);
    }
};

GLYPH_TEST_MAIN(TestDelay)
#include "tst_delay.moc"
