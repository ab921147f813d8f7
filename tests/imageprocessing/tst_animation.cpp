#include "xani.h"
#include "xaniframe.h"
#include "xaniwidget.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <climits>

using namespace MGraphX;

namespace {

const QRgb Colours[] = {0xffff0000, 0xff00ff00, 0xff0000ff, 0xffffff00, 0xff00ffff, 0xffff00ff};

XaniFrame solidFrame(QRgb colour, const QSize &size = QSize(2, 2))
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    XaniFrame frame;
    frame.setImage(image);
    return frame;
}

// Frames of the given colours, in order.
void fill(Xani &xani, int first, int count)
{
    for (int i = first; i < first + count; ++i)
        xani.addFrame(solidFrame(Colours[i]));
}

QRgb shown(const Xani &xani)
{
    const QImage &picture = xani;
    return picture.isNull() ? 0 : picture.pixel(0, 0);
}

// Counts paint events that reach a widget.
class PaintCounter : public QObject
{
public:
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

} // namespace

class TestAnimation : public QObject
{
    Q_OBJECT

private slots:
    void baseNameIsNameUpToFirstDot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("no dot") << "frame" << "frame";
        QTest::newRow("one dot") << "frame.png" << "frame";
        QTest::newRow("several dots") << "a.b.c" << "a";
        QTest::newRow("leading dot") << ".hidden" << "";
        QTest::newRow("empty") << "" << "";
    }

    void baseNameIsNameUpToFirstDot()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        XaniFrame frame;
        frame.setName(name);

        QCOMPARE(frame.baseName(), expected);
    }

    void nextFrameCyclesAndAnnouncesEachChange()
    {
        // arrange
        Xani xani;
        fill(xani, 0, 3);
        QSignalSpy changed(&xani, SIGNAL(frameChanged()));
        QVERIFY(static_cast<const QImage &>(xani).isNull());

        // act + assert: frame 0, 1, 2, then 0 again
        const QRgb expected[] = {Colours[0], Colours[1], Colours[2], Colours[0], Colours[1]};
        for (int step = 0; step < 5; ++step) {
            xani.nextFrame();
            QCOMPARE(shown(xani), expected[step]);
            QCOMPARE(changed.count(), step + 1);
        }
    }

    void emptyListStopsTimerAndKeepsPicture()
    {
        // arrange
        Xani xani;
        fill(xani, 0, 2);
        xani.nextFrame();
        xani.start();
        QSignalSpy changed(&xani, SIGNAL(frameChanged()));

        // act
        xani.clear();
        xani.nextFrame();

        // assert
        QVERIFY(!xani.isPlaying());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(shown(xani), Colours[0]);
        QCOMPARE(xani.frameCount(), 0);

        // frames added after the clear play from the start again
        QCOMPARE(xani.addFrame(solidFrame(Colours[3])), 1);
        xani.nextFrame();
        QCOMPARE(shown(xani), Colours[3]);
    }

    void outOfRangeIndicesAreHarmless_data()
    {
        QTest::addColumn<int>("index");

        QTest::newRow("count") << 3;
        QTest::newRow("past count") << 100;
        QTest::newRow("minus one") << -1;
        QTest::newRow("most negative") << INT_MIN;
        QTest::newRow("largest") << INT_MAX;
    }

    void outOfRangeIndicesAreHarmless()
    {
        QFETCH(int, index);
        // arrange
        Xani xani;
        fill(xani, 0, 3);
        xani.nextFrame();
        QSignalSpy changed(&xani, SIGNAL(frameChanged()));
        XaniFrame replacement = solidFrame(Colours[5]);
        replacement.setName(QStringLiteral("replacement"));

        // act
        const XaniFrame got = xani.frame(index);
        xani.setFrame(index, replacement);
        xani.setCurrentIndex(index);

        // assert: default frame, list untouched, null picture still announced
        QVERIFY(got.image().isNull());
        QCOMPARE(got.format(), QStringLiteral("PNG"));
        QCOMPARE(got.duration(), -1);
        QCOMPARE(got.start(), qint64(-1));
        QCOMPARE(xani.frameCount(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(xani.frame(i).image().pixel(0, 0), Colours[i]);
        QVERIFY(static_cast<const QImage &>(xani).isNull());
        QCOMPARE(changed.count(), 1);
    }

    void setCurrentIndexDoesNotMovePosition()
    {
        Xani xani;
        fill(xani, 0, 3);
        xani.nextFrame(); // shows 0, next is 1

        xani.setCurrentIndex(2);
        QCOMPARE(shown(xani), Colours[2]);
        xani.nextFrame();

        QCOMPARE(shown(xani), Colours[1]);
    }

    void assignmentKeepsPictureAndPositionButPlaysNewFrames()
    {
        // arrange
        Xani target;
        fill(target, 0, 3);
        target.nextFrame();
        target.nextFrame(); // shows 1, next is 2
        Xani source;
        fill(source, 3, 3);
        source.setLoop(7);
        source.setFrameDuration(40);

        // act
        target = source;

        // assert
        QCOMPARE(target.loop(), 7);
        QCOMPARE(target.frameDuration(), 40);
        QCOMPARE(target.frameCount(), 3);
        QCOMPARE(shown(target), Colours[1]);
        target.nextFrame();
        QCOMPARE(shown(target), Colours[5]);
    }

    void copyStartsAfreshAndPlays()
    {
        Xani original;
        fill(original, 0, 3);
        original.setLoop(3);
        original.nextFrame();
        original.nextFrame();

        Xani copy(original);

        QVERIFY(static_cast<const QImage &>(copy).isNull());
        QCOMPARE(copy.parent(), static_cast<QObject *>(nullptr));
        QCOMPARE(copy.loop(), 3);
        QCOMPARE(copy.frameCount(), 3);
        copy.nextFrame();
        QCOMPARE(shown(copy), Colours[0]);
        QCOMPARE(shown(original), Colours[1]);
    }

    void widgetPaintsFrameStretchedAndRepaintsOnChange()
    {
        // arrange: a 2x1 frame, left red, right blue, in a 20x10 widget
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, Colours[0]);
        image.setPixel(1, 0, Colours[2]);
        XaniFrame frame;
        frame.setImage(image);
        Xani xani;
        xani.addFrame(frame);
        xani.addFrame(solidFrame(Colours[1]));
        XaniWidget widget;
        widget.resize(20, 10);
        widget.setXani(xani);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCOMPARE(widget.grab().size(), QSize(20, 10)); // nothing shown yet: a null picture paints safely
        PaintCounter counter;
        widget.installEventFilter(&counter);

        // act
        widget.xani().setCurrentIndex(0);

        // assert
        QVERIFY(counter.count >= 1);
        const QImage painted = widget.grab().toImage();
        QCOMPARE(painted.size(), QSize(20, 10));
        QCOMPARE(painted.pixel(1, 1), Colours[0]);
        QCOMPARE(painted.pixel(8, 8), Colours[0]);
        QCOMPARE(painted.pixel(11, 1), Colours[2]);
        QCOMPARE(painted.pixel(19, 9), Colours[2]);

        const int before = counter.count;
        widget.xani().setCurrentIndex(1);
        QVERIFY(counter.count > before);
        QCOMPARE(widget.grab().toImage().pixel(5, 5), Colours[1]);
    }

    void playShowsFirstFrameAfterOnePeriod()
    {
        // The one test on the real timer: the period is fixed at one second.
        XaniWidget widget;
        widget.resize(4, 4);
        Xani xani;
        fill(xani, 0, 2);
        xani.setFrameDuration(10); // stored only; must not speed up playback
        widget.setXani(xani);
        QSignalSpy changed(&widget.xani(), SIGNAL(frameChanged()));
        QElapsedTimer clock;

        clock.start();
        widget.play();
        QVERIFY(changed.wait(3000));
        const qint64 elapsed = clock.elapsed();
        widget.stop();

        QVERIFY2(elapsed >= 900, qPrintable(QString::number(elapsed)));
        QCOMPARE(changed.count(), 1);
        QVERIFY(!widget.xani().isPlaying());
        QCOMPARE(widget.grab().toImage().pixel(2, 2), Colours[0]);
    }
};

GLYPH_TEST_MAIN(TestAnimation)
#include "tst_animation.moc"
