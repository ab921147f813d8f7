#include "app.h"
#include "filesizelimit.h"
#include "noteeditdragpreview.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QScopedPointer>

using namespace QMWidgets;

// Counts drag starts instead of running the platform's drag loop.
class CountingPreview : public NoteEditDragPreview
{
public:
    using NoteEditDragPreview::NoteEditDragPreview;
    void startDrag() override { ++starts; }
    int starts = 0;
};

class TestDragPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void dragFileIsWrittenIntoWorkFolder();
    void blockedNamesFallBackToNumberedOnes_data();
    void blockedNamesFallBackToNumberedOnes();
    void noPictureOffersNoFile();
    void failedWriteKeepsPreviousFile();
    void dragStartsBeyondDragDistance_data();
    void dragStartsBeyondDragDistance();
    void rightButtonDoesNotMovePressPoint();
    void pictureIsStretchedOverPreview();
};

static QPixmap noisyPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    auto *random = QRandomGenerator::global();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, random->generate() | 0xff000000u);
    }
    return QPixmap::fromImage(image);
}

static void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void TestDragPreview::init()
{
    QDir(App::workDirectory()).removeRecursively();
}

void TestDragPreview::dragFileIsWrittenIntoWorkFolder()
{
    // arrange
    NoteEditDragPreview preview;
    const QPixmap picture = noisyPicture(40, 30);
    preview.slotSetPixmap(picture);

    // act
    QScopedPointer<QMimeData> mime(preview.prepareDragData());

    // assert: one local-file URL, nothing else, and the file holds the picture
    QVERIFY(mime);
    const QString expected = App::workDirectory() + QStringLiteral("TarnwickDrag.png");
    QCOMPARE(mime->formats(), QStringList{QStringLiteral("text/uri-list")});
    QCOMPARE(mime->urls().size(), 1);
    QVERIFY(mime->urls().first().isLocalFile());
    QCOMPARE(mime->urls().first().toLocalFile(), expected);
    QImage written(expected, "PNG");
    QCOMPARE(written.size(), QSize(40, 30));
    QCOMPARE(written.convertToFormat(QImage::Format_RGB32), picture.toImage().convertToFormat(QImage::Format_RGB32));
}

void TestDragPreview::blockedNamesFallBackToNumberedOnes_data()
{
    QTest::addColumn<int>("blocked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first free") << 0 << "TarnwickDrag.png";
    QTest::newRow("first blocked") << 1 << "TarnwickDrag1.png";
    QTest::newRow("three blocked") << 3 << "TarnwickDrag3.png";
    QTest::newRow("last name left") << 31 << "TarnwickDrag31.png";
    QTest::newRow("all blocked") << 32 << "";
}

void TestDragPreview::blockedNamesFallBackToNumberedOnes()
{
    QFETCH(int, blocked);
    QFETCH(QString, expected);

    // arrange: a folder under a drag name makes that name unwritable
    NoteEditDragPreview preview;
    preview.slotSetPixmap(noisyPicture(8, 8));
    QDir work(App::workDirectory(true));
    for (int index = 0; index < blocked; ++index)
        QVERIFY(work.mkpath(QFileInfo(NoteEditDragPreview::dragFilePath(index)).fileName()));

    // act
    QScopedPointer<QMimeData> mime(preview.prepareDragData());

    // assert
    if (expected.isEmpty()) {
        QVERIFY(!mime);
        QCOMPARE(work.entryList(QDir::Files), QStringList());
        return;
    }
    QVERIFY(mime);
    QCOMPARE(mime->urls().size(), 1);
    QCOMPARE(mime->urls().first().toLocalFile(), work.filePath(expected));
    QCOMPARE(work.entryList(QDir::Files), QStringList{expected});
}

void TestDragPreview::noPictureOffersNoFile()
{
    // arrange
    NoteEditDragPreview preview;

    // act
    QScopedPointer<QMimeData> mime(preview.prepareDragData());

    // assert: no empty file posing as a picture
    QVERIFY(!mime);
    QVERIFY(!QFile::exists(NoteEditDragPreview::dragFilePath(0)));
}

void TestDragPreview::failedWriteKeepsPreviousFile()
{
    // arrange: a good earlier drag file
    NoteEditDragPreview preview;
    preview.slotSetPixmap(noisyPicture(10, 10));
    QScopedPointer<QMimeData> first(preview.prepareDragData());
    QVERIFY(first);
    const QString path = NoteEditDragPreview::dragFilePath(0);
    QFile earlier(path);
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    const QByteArray before = earlier.readAll();
    earlier.close();
    preview.slotSetPixmap(noisyPicture(200, 200));

    // act: every write fails past a few bytes
    QScopedPointer<QMimeData> second;
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.active());
        second.reset(preview.prepareDragData());
    }

    // assert
    QVERIFY(!second);
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), before);
    QCOMPARE(QDir(App::workDirectory()).entryList(QDir::Files), QStringList{QStringLiteral("TarnwickDrag.png")});
}

void TestDragPreview::dragStartsBeyondDragDistance_data()
{
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("starts");

    QTest::newRow("at the drag distance") << 0 << 0;
    QTest::newRow("one pixel further") << 1 << 1;
}

void TestDragPreview::dragStartsBeyondDragDistance()
{
    QFETCH(int, extra);
    QFETCH(int, starts);

    // arrange: the distance split over both axes (Manhattan length)
    CountingPreview preview;
    preview.resize(60, 50);
    const int distance = QApplication::startDragDistance() + extra;
    const QPoint press(5, 5);
    const QPoint move = press + QPoint(distance / 2, distance - distance / 2);
    sendMouse(&preview, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);

    // act
    sendMouse(&preview, QEvent::MouseMove, move, Qt::NoButton, Qt::LeftButton);

    // assert
    QCOMPARE(preview.starts, starts);
}

void TestDragPreview::rightButtonDoesNotMovePressPoint()
{
    // arrange: left press at the origin, then a right press far away
    CountingPreview preview;
    preview.resize(60, 50);
    const int far = QApplication::startDragDistance() + 20;
    sendMouse(&preview, QEvent::MouseButtonPress, QPoint(0, 0), Qt::LeftButton, Qt::LeftButton);
    sendMouse(&preview, QEvent::MouseButtonPress, QPoint(far, 0), Qt::RightButton, Qt::RightButton);

    // act: moves with only the right button start nothing
    sendMouse(&preview, QEvent::MouseMove, QPoint(far + 1, 0), Qt::NoButton, Qt::RightButton);
    QCOMPARE(preview.starts, 0);

    // act: a left-button move near the right press still counts from the left press
    sendMouse(&preview, QEvent::MouseMove, QPoint(far, 0), Qt::NoButton, Qt::LeftButton);

    // assert
    QCOMPARE(preview.starts, 1);
}

void TestDragPreview::pictureIsStretchedOverPreview()
{
    // arrange: a 2:1 picture in a 60 x 50 preview
    NoteEditDragPreview preview;
    preview.resize(60, 50);
    QPixmap picture(200, 100);
    picture.fill(Qt::red);
    preview.slotSetPixmap(picture);

    // act
    const QImage shown = preview.grab().toImage();

    // assert: red reaches the bottom corners (no letter-boxing) and the top band is darker
    QCOMPARE(shown.size(), QSize(60, 50));
    for (const QPoint &p : {QPoint(1, 48), QPoint(58, 48), QPoint(30, 30)}) {
        const QColor c = shown.pixelColor(p);
        QVERIFY2(c.red() > 100 && c.red() > c.green() + 50 && c.red() > c.blue() + 50,
                 qPrintable(QStringLiteral("pixel %1,%2 is %3").arg(p.x()).arg(p.y()).arg(c.name())));
    }
    QVERIFY(shown.pixelColor(1, 2).red() < shown.pixelColor(1, 30).red());
}

GLYPH_APP_TEST_MAIN(TestDragPreview, QMWidgets::App)

#include "tst_dragpreview.moc"
