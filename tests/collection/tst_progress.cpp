#include "testmain.h"

#include "comboprogress.h"
#include "fifowatch.h"
#include "movielabel.h"
#include "roundprogress.h"
#include "picturebytes.h"
#include "readertargets.h"
#include "simpleprogress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QMovie>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTimerEvent>

#include <memory>
#include <sys/stat.h>

using namespace QMWidgets;

namespace {

QStringList g_warnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        g_warnings << message;
}

const QString kMovie = QStringLiteral(":/pix/loading.gif");

// A bitmap cut short: Qt's decoder takes it, leaving the rows it lacks
// unwritten, and the headers judge it damaged.
QByteArray damagedBitmap()
{
    const QByteArray whole = PictureBytes::bmp(13, 7, 24, false);
    return whole.left(whole.size() - 40);
}

// A GIF whose 2000 x 2000 frame, on a screen of its size, has two bytes of
// data: far fewer than its pixels need, whatever encoded it.
QByteArray gifFrameWithoutPixels()
{
    const QByteArray size("\xd0\x07\xd0\x07", 4);
    return "GIF89a" + size + QByteArray("\x80\0\0\0\0\0\xff\xff\xff,\0\0\0\0", 14) + size
        + QByteArray("\0\x02\x02\x44\x01\0;", 7);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Notes the timers whose events reach the watched object.
class TimerIds : public QObject
{
public:
    QSet<int> ids;
    int ticks = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Timer) {
            ids.insert(static_cast<QTimerEvent *>(event)->timerId());
            ++ticks;
        }
        return false;
    }
};

} // namespace

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void comboSwitchesBetweenBarAndLabel();
    void roundSpanIsNeverAFullCircle_data();
    void roundSpanIsNeverAFullCircle();
    void roundPieGrowsClockwiseFromTop();
    void roundTinyGaugePaintsWithoutWarnings();
    void simpleFillsItsShare_data();
    void simpleFillsItsShare();
    void simpleBusyStepWraps();
    void simpleBusyTimerStopsAndDoesNotMultiply();
    void movieScalesWithLabel();
    void moviePlaysWhileShown();
    void movieStopDelayStartsAtEachShow();
    void movieDiesWithLabel();
    void moviePlaysOnlyPicturesWithinTheBudget_data();
    void moviePlaysOnlyPicturesWithinTheBudget();
    void moviePlaysTheBytesItJudgedThoughTheFileIsRewritten();
};

void TestProgress::comboSwitchesBetweenBarAndLabel()
{
    ComboProgress combo(nullptr);
    QProgressBar *bar = combo.findChild<QProgressBar *>();
    QPushButton *stop = combo.findChild<QPushButton *>(QStringLiteral("ComboProgressStop"));
    QVERIFY(bar && stop);
    QCOMPARE(stop->toolTip(), QStringLiteral("Stop"));
    QVERIFY(!combo.label()->isHidden());
    QVERIFY(bar->isHidden());

    combo.slotSetProgress(50);
    QVERIFY(combo.label()->isHidden());
    QVERIFY(!bar->isHidden());
    QVERIFY(!stop->isHidden());
    QCOMPARE(combo.value(), 50);
    QVERIFY(!combo.isStopPressed());

    stop->click();
    QVERIFY(combo.isStopPressed());
    QVERIFY(!combo.label()->isHidden());
    QVERIFY(bar->isHidden());

    combo.slotSetProgress(60);
    QVERIFY(!combo.isStopPressed());
    QCOMPARE(combo.value(), 60);

    combo.slotSetProgress(100);
    QVERIFY(!combo.label()->isHidden());
    QVERIFY(stop->isHidden());
    QCOMPARE(combo.value(), 60);
}

void TestProgress::roundSpanIsNeverAFullCircle_data()
{
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("span");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("25") << 25 << -1439;
    QTest::newRow("50") << 50 << -2879;
    QTest::newRow("100") << 100 << -5759;
}

void TestProgress::roundSpanIsNeverAFullCircle()
{
    QFETCH(int, percent);
    QFETCH(int, span);
    QCOMPARE(RoundProgress::spanAngle(percent), span);
}

void TestProgress::roundPieGrowsClockwiseFromTop()
{
    RoundProgress round(nullptr);
    round.resize(100, 100);
    auto greenish = [](const QColor &c) { return c.green() > c.red() + 40; };
    // Points on the outer ring, where the pie's gradient is brightest.
    const QPoint right(95, 50);
    const QPoint left(4, 50);

    round.setValue(50);
    QImage image = round.grab().toImage();
    QVERIFY(greenish(image.pixelColor(right)));
    QVERIFY(!greenish(image.pixelColor(left)));

    round.setValue(0);
    image = round.grab().toImage();
    QVERIFY(!greenish(image.pixelColor(right)));
    QCOMPARE(round.value(), 0);
}

void TestProgress::roundTinyGaugePaintsWithoutWarnings()
{
    RoundProgress round(nullptr);
    round.setValue(42);
    SimpleProgress simple(nullptr);
    simple.setMinimumHeight(0);
    g_warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectWarnings);

    for (const QSize &size : {QSize(2, 2), QSize(1, 50), QSize(0, 0)}) {
        round.resize(size);
        round.grab();
        simple.resize(size);
        simple.grab();
    }

    qInstallMessageHandler(previous);
    QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
}

void TestProgress::simpleFillsItsShare_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("filled");
    QTest::newRow("37 of 200") << 37 << 74;
    QTest::newRow("100") << 100 << 200;
    QTest::newRow("over 100 stays inside") << 250 << 200;
    QTest::newRow("negative fills nothing") << -10 << 0;
}

void TestProgress::simpleFillsItsShare()
{
    QFETCH(int, value);
    QFETCH(int, filled);

    SimpleProgress progress(nullptr);
    progress.resize(200, 20);
    progress.setValue(value);

    QCOMPARE(progress.filledWidth(), filled);
    if (filled > 2 && filled < 198) {
        const QImage image = progress.grab().toImage();
        const QColor inside = image.pixelColor(filled - 2, 10);
        const QColor outside = image.pixelColor(filled + 2, 10);
        QVERIFY(inside.green() > inside.red() + 100);
        QVERIFY(qAbs(outside.green() - outside.red()) < 10);
    }
}

void TestProgress::simpleBusyStepWraps()
{
    SimpleProgress progress(nullptr);
    progress.resize(40, 20); // steps 0, 1, 2, then back to 0
    QVERIFY(progress.isAnimating());

    QList<int> seen{progress.currentBusyStep()};
    QElapsedTimer clock;
    clock.start();
    while (seen.size() < 5 && clock.elapsed() < 3000) {
        QTest::qWait(10);
        if (progress.currentBusyStep() != seen.last())
            seen << progress.currentBusyStep();
    }
    QCOMPARE(seen, (QList<int>{0, 1, 2, 0, 1}));
}

void TestProgress::simpleBusyTimerStopsAndDoesNotMultiply()
{
    SimpleProgress progress(nullptr);
    progress.resize(2000, 20); // wraps only after 100 steps
    TimerIds timers;
    progress.installEventFilter(&timers);
    for (int i = 0; i < 10; ++i)
        progress.setValue(0);

    // Every tick comes from the one timer, however often the value was 0.
    QTRY_VERIFY(timers.ticks >= 4);
    QCOMPARE(timers.ids.size(), 1);

    progress.setValue(30);
    QTRY_VERIFY(!progress.isAnimating());
    const int stopped = progress.currentBusyStep();
    QTest::qWait(250);
    QCOMPARE(progress.currentBusyStep(), stopped);

    progress.setValue(0);
    QVERIFY(progress.isAnimating());
}

void TestProgress::movieScalesWithLabel()
{
    MovieLabel label(kMovie, nullptr);
    QCOMPARE(label.objectName(), QStringLiteral("MovieLabel"));
    QVERIFY(label.movie());
    QVERIFY(label.movie()->isValid());

    label.resize(110, 55);
    label.show();

    QCOMPARE(label.movie()->scaledSize(), QSize(100, 50));
}

void TestProgress::moviePlaysWhileShown()
{
    MovieLabel label(kMovie, nullptr);
    label.setStopAfter(0);
    QCOMPARE(label.movie()->state(), QMovie::NotRunning);

    label.show();
    QCOMPARE(label.movie()->state(), QMovie::Running);
    QTest::qWait(50);
    QCOMPARE(label.movie()->state(), QMovie::Running);

    label.hide();
    QCOMPARE(label.movie()->state(), QMovie::NotRunning);
}

void TestProgress::movieStopDelayStartsAtEachShow()
{
    MovieLabel label(kMovie, nullptr);
    label.setStopAfter(600);

    label.show();
    QTest::qWait(400);
    label.hide();
    label.show();
    QTest::qWait(300); // past the first show's delay
    QCOMPARE(label.movie()->state(), QMovie::Running);

    QTRY_COMPARE(label.movie()->state(), QMovie::NotRunning);
}

void TestProgress::movieDiesWithLabel()
{
    MovieLabel *label = new MovieLabel(kMovie, nullptr);
    QPointer<QMovie> movie = label->movie();
    QVERIFY(movie);
    delete label;
    QVERIFY(movie.isNull());
}

void TestProgress::moviePlaysOnlyPicturesWithinTheBudget_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("plays");
    QTest::newRow("animation") << "animation" << true;
    QTest::newRow("fifo") << "fifo" << false;
    QTest::newRow("folder") << "folder" << false;
    QTest::newRow("gif of 35 bytes on a 16000 x 16000 screen") << "gif" << false;
    QTest::newRow("bitmap cut short") << "damaged" << false;
    QTest::newRow("gif whose 2000 x 2000 frame has two bytes of data") << "frame" << false;
    // A resource keeps its name, which steers the reader that judges it;
    // the bytes that would play are judged by what they are.
    QTest::newRow("resource of a pbm over the pixel cap, named as an xbm") << "resource" << false;
}

void TestProgress::moviePlaysOnlyPicturesWithinTheBudget()
{
    // arrange
    QFETCH(QString, kind);
    QFETCH(bool, plays);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString path = dir.filePath(kind);
    if (kind == "resource")
        path = ":/tests/collection/pbm-named-as.xbm";
    else if (kind == "animation")
        QVERIFY(QFile::copy(kMovie, path));
    else if (kind == "damaged")
        QVERIFY(writeFile(path, damagedBitmap()));
    else if (kind == "frame")
        QVERIFY(writeFile(path, gifFrameWithoutPixels()));
    else
        QVERIFY(ReaderTargets::make(path, kind));
    std::unique_ptr<FifoWatch> watch(kind == "fifo" ? new FifoWatch(path) : nullptr);

    // act
    MovieLabel label(path, nullptr);
    const bool valid = label.movie()->isValid();
    label.show();
    const bool running = label.movie()->state() == QMovie::Running;
    if (watch)
        watch->stop();

    // assert
    QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
    QCOMPARE(valid, plays);
    QCOMPARE(running, plays);
    QCOMPARE(label.movie()->currentPixmap().isNull(), !plays);
}

// The file is rewritten in place (the same inode) while the movie plays:
// when the movie starts again from its first frame, it reads the bytes it
// judged, not what the file holds now.
void TestProgress::moviePlaysTheBytesItJudgedThoughTheFileIsRewritten()
{
    // arrange
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("loading.gif");
    QFile original(kMovie);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QVERIFY(writeFile(path, original.readAll()));
    MovieLabel label(path, nullptr);
    label.setSpeed(1000);
    QMovie *movie = label.movie();
    QVector<QImage> firstFrames;
    connect(movie, &QMovie::frameChanged, this, [&](int frame) {
        if (frame == 0)
            firstFrames.append(movie->currentImage());
    });
    movie->start();
    QCOMPARE(firstFrames.size(), 1);

    // act
    QVERIFY(writeFile(path, damagedBitmap()));
    QTRY_VERIFY(firstFrames.size() == 2 || movie->state() == QMovie::NotRunning);

    // assert
    QCOMPARE(firstFrames.size(), 2);
    QCOMPARE(firstFrames.at(1), firstFrames.at(0));
}

GLYPH_TEST_MAIN(TestProgress)
#include "tst_progress.moc"
