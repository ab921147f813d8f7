#include "app.h"
#include "filesizelimit.h"
#include "os.h"
#include "screencropper.h"
#include "screenlocker.h"
#include "screenmeasurer.h"
#include "testenvironment.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QAction>
#include <QDir>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace QMWidgets;

// Gives the tests a known picture in place of a screen grab.
class KnownGrabCropper : public ScreenCropper
{
public:
    void setGrab(const QPixmap &pixmap) { grabbedPixmap = pixmap; }
};

class TestScreenCropper : public QObject
{
    Q_OBJECT

private slots:
    void grabScreenTakesTheOffscreenScreen();
    void selectionCropsTheGrab_data();
    void selectionCropsTheGrab();
    void selectionSavesWhatIsShown_data();
    void selectionSavesWhatIsShown();
    void selectionFollowsUnevenStretch_data();
    void selectionFollowsUnevenStretch();
    void fullScreenOverlaysCoverTheScreenAtOnce_data();
    void fullScreenOverlaysCoverTheScreenAtOnce();
    void overrideCursorIsGoneAfterwards_data();
    void overrideCursorIsGoneAfterwards();
    void measurerSizesIgnoreDragDirection_data();
    void measurerSizesIgnoreDragDirection();
    void escapeHidesAndSignals();
    void saveFolderIsDesktopElseHome_data();
    void saveFolderIsDesktopElseHome();
    void saveWritesScreenShotFiles();
    void returnKeyShowsSavedFileFolder();
    void saveKeepsNothingWhenWriteFails();

private:
    static QPixmap coordinatePicture();
    static void drag(QWidget *widget, QPoint from, QPoint to,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static QStringList screenShots(const QString &folder);
};

QPixmap TestScreenCropper::coordinatePicture()
{
    // Each pixel's red and green channels hold its x and y.
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, y, 0));
    return QPixmap::fromImage(image);
}

void TestScreenCropper::drag(QWidget *widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers)
{
    // Sent straight to the widget: no synthetic cursor moves can come between.
    QMouseEvent press(QEvent::MouseButtonPress, from, widget->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &press);
    if (from != to) {
        QMouseEvent move(QEvent::MouseMove, to, widget->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                         modifiers);
        QApplication::sendEvent(widget, &move);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, to, widget->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, modifiers);
    QApplication::sendEvent(widget, &release);
}

QStringList TestScreenCropper::screenShots(const QString &folder)
{
    return QDir(folder).entryList(QStringList() << QStringLiteral("ScreenShot_*"), QDir::Files);
}

void TestScreenCropper::grabScreenTakesTheOffscreenScreen()
{
    // arrange: the offscreen screen can only be grabbed where a window covers it
    QWidget backdrop(nullptr, Qt::FramelessWindowHint);
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();
    QVERIFY(QTest::qWaitForWindowExposed(&backdrop));
    ScreenCropper cropper;
    cropper.setShowMode(2);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size() * Os::scaleFactor();

    // act
    cropper.grabScreen();
    drag(&cropper, QPoint(0, 0), QPoint(screen.width() + 50, screen.height() + 50));

    // assert: a selection past the screen yields the whole grab
    QVERIFY(!screen.isEmpty());
    QCOMPARE(cropper.croppedPixmap().size(), screen);
    QVERIFY(!cropper.isVisible());
}

void TestScreenCropper::selectionCropsTheGrab_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QRect>("crop");

    QTest::newRow("down and right") << QPoint(10, 20) << QPoint(60, 50) << QRect(10, 20, 51, 31);
    QTest::newRow("up and left") << QPoint(60, 50) << QPoint(10, 20) << QRect(10, 20, 51, 31);
    QTest::newRow("no movement") << QPoint(7, 9) << QPoint(7, 9) << QRect(7, 9, 1, 1);
    QTest::newRow("partly outside") << QPoint(250, 250) << QPoint(300, 300) << QRect(250, 250, 6, 6);
}

void TestScreenCropper::selectionCropsTheGrab()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QRect, crop);

    // arrange
    KnownGrabCropper cropper;
    cropper.setShowMode(2);
    cropper.setGrab(coordinatePicture());
    cropper.resize(256, 256); // the grab is shown at its own size
    cropper.show();
    QSignalSpy closed(&cropper, SIGNAL(closed()));
    QSignalSpy donePixmap(&cropper, SIGNAL(done(QPixmap)));
    QSignalSpy done(&cropper, SIGNAL(done()));

    // act
    drag(&cropper, from, to);

    // assert (the screen scale factor is 1 here, so selection and grab agree)
    QCOMPARE(Os::scaleFactor(), 1.0);
    const QImage result = cropper.croppedPixmap().toImage();
    QCOMPARE(result.size(), crop.size());
    QCOMPARE(result.pixel(0, 0), qRgb(crop.left(), crop.top(), 0));
    QCOMPARE(closed.count(), 1);
    QCOMPARE(donePixmap.count(), 1);
    QCOMPARE(donePixmap.at(0).at(0).value<QPixmap>().size(), crop.size());
    QCOMPARE(done.count(), 1);
    QVERIFY(!cropper.isVisible());
}

void TestScreenCropper::selectionSavesWhatIsShown_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("full screen") << 0;
    QTest::newRow("maximised") << 1;
    QTest::newRow("normal") << 2;
}

void TestScreenCropper::selectionSavesWhatIsShown()
{
    QFETCH(int, mode);

    // arrange: a grab with twice the widget's pixels, stretched over it, with
    // a red block; where the block shows follows from that stretch
    KnownGrabCropper cropper;
    cropper.setShowMode(mode);
    if (mode == 2)
        cropper.resize(300, 200);
    cropper.grabScreen();
    QVERIFY(QTest::qWaitForWindowExposed(&cropper));
    const QSize shown = cropper.size();
    QImage grab(shown * 2, QImage::Format_RGB32);
    grab.fill(Qt::white);
    const QRect block(2 * 40, 2 * 30, 2 * 50, 2 * 20);
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x)
            grab.setPixel(x, y, qRgb(255, 0, 0));
    cropper.setGrab(QPixmap::fromImage(grab));
    cropper.refreshDisplay();

    // act: select the block as it shows on the widget
    drag(&cropper, QPoint(40, 30), QPoint(40 + 50 - 1, 30 + 20 - 1));

    // assert: exactly the block, every pixel red
    const QImage result = cropper.croppedPixmap().toImage();
    QCOMPARE(result.size(), block.size());
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            QCOMPARE(QColor(result.pixel(x, y)), QColor(Qt::red));
}

void TestScreenCropper::selectionFollowsUnevenStretch_data()
{
    QTest::addColumn<int>("fromRow");
    QTest::addColumn<int>("toRow");
    QTest::addColumn<int>("firstGrabRow");
    QTest::addColumn<int>("lastGrabRow");

    // A 1080-row grab shown maximised in 1061 rows: each widget row covers
    // 1080 / 1061 grab rows, and the crop takes every grab row the selected
    // widget rows touch.
    QTest::newRow("top edge") << 0 << 9 << 0 << 10;
    QTest::newRow("middle") << 100 << 199 << 101 << 203;
    QTest::newRow("single row") << 530 << 530 << 539 << 540;
    QTest::newRow("bottom edge") << 1000 << 1060 << 1017 << 1079;
}

void TestScreenCropper::selectionFollowsUnevenStretch()
{
    QFETCH(int, fromRow);
    QFETCH(int, toRow);
    QFETCH(int, firstGrabRow);
    QFETCH(int, lastGrabRow);

    // arrange: each grab row carries its number in green (high) and blue (low)
    QImage grab(64, 1080, QImage::Format_RGB32);
    for (int y = 0; y < grab.height(); ++y)
        for (int x = 0; x < grab.width(); ++x)
            grab.setPixel(x, y, qRgb(0, y >> 8, y & 0xff));
    KnownGrabCropper cropper;
    cropper.setShowMode(2);
    cropper.setGrab(QPixmap::fromImage(grab));
    cropper.resize(64, 1061);
    const auto rowOf = [](QRgb pixel) { return (qGreen(pixel) << 8) | qBlue(pixel); };

    // act
    drag(&cropper, QPoint(10, fromRow), QPoint(20, toRow));

    // assert
    const QImage result = cropper.croppedPixmap().toImage();
    QCOMPARE(result.height(), lastGrabRow - firstGrabRow + 1);
    QCOMPARE(rowOf(result.pixel(0, 0)), firstGrabRow);
    QCOMPARE(rowOf(result.pixel(0, result.height() - 1)), lastGrabRow);
}

void TestScreenCropper::fullScreenOverlaysCoverTheScreenAtOnce_data()
{
    QTest::addColumn<bool>("locker");
    QTest::newRow("screen lock") << true;
    QTest::newRow("cropper, full screen") << false;
}

void TestScreenCropper::fullScreenOverlaysCoverTheScreenAtOnce()
{
    QFETCH(bool, locker);

    // arrange
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    ScreenLocker lock;
    ScreenCropper cropper;
    cropper.setShowMode(0);
    QWidget *overlay = locker ? static_cast<QWidget *>(&lock) : &cropper;

    // act
    if (locker)
        lock.slotLock();
    else
        cropper.grabScreen();

    // assert: the window goes on screen with the screen's geometry, without
    // waiting for a window manager to act on the full-screen request
    QVERIFY(overlay->isVisible());
    QCOMPARE(overlay->geometry(), screen);
    lock.slotReleaseInputDevices();
}

void TestScreenCropper::overrideCursorIsGoneAfterwards_data()
{
    QTest::addColumn<bool>("measurer");
    QTest::addColumn<QString>("ending");

    for (const char *ending : {"select", "Escape", "hide", "delete"})
        QTest::newRow(qPrintable(QStringLiteral("cropper, %1").arg(QLatin1String(ending))))
            << false << QString::fromLatin1(ending);
    for (const char *ending : {"leave", "Escape", "hide", "delete"})
        QTest::newRow(qPrintable(QStringLiteral("measurer, %1").arg(QLatin1String(ending))))
            << true << QString::fromLatin1(ending);
}

void TestScreenCropper::overrideCursorIsGoneAfterwards()
{
    QFETCH(bool, measurer);
    QFETCH(QString, ending);

    // arrange: the overlay is up with its cross cursor
    QVERIFY(!QGuiApplication::overrideCursor());
    ScreenCropper *overlay = measurer ? new ScreenMeasurer : new ScreenCropper;
    overlay->setShowMode(2);
    overlay->grabScreen();
    overlay->show();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(overlay, &enter);
    QVERIFY(QGuiApplication::overrideCursor());

    // act
    if (ending == QLatin1String("select")) {
        drag(overlay, QPoint(2, 2), QPoint(9, 9));
    } else if (ending == QLatin1String("leave")) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(overlay, &leave);
    } else if (ending == QLatin1String("Escape")) {
        overlay->actions().first()->trigger();
    } else if (ending == QLatin1String("hide")) {
        overlay->hide();
    }
    if (ending == QLatin1String("delete"))
        delete overlay;
    else
        overlay->deleteLater();

    // assert: the application's cursor is its own again
    QVERIFY(!QGuiApplication::overrideCursor());
    QTest::qWait(0);
}

void TestScreenCropper::measurerSizesIgnoreDragDirection_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QString>("text");

    QTest::newRow("down and right") << QPoint(10, 10) << QPoint(109, 59) << QStringLiteral("100x50");
    QTest::newRow("up and left") << QPoint(109, 59) << QPoint(10, 10) << QStringLiteral("100x50");
    QTest::newRow("single pixel") << QPoint(30, 30) << QPoint(30, 30) << QStringLiteral("1x1");
    QTest::newRow("thin line") << QPoint(5, 40) << QPoint(300, 40) << QStringLiteral("296x1");
}

void TestScreenCropper::measurerSizesIgnoreDragDirection()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QString, text);

    // arrange
    ScreenMeasurer measurer;
    measurer.resize(400, 300);
    measurer.show();
    QMouseEvent press(QEvent::MouseButtonPress, from, measurer.mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&measurer, &press);
    QMouseEvent move(QEvent::MouseMove, to, measurer.mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);

    // act: paint while selecting (tiny rectangles take the label above them)
    QApplication::sendEvent(&measurer, &move);
    measurer.grab();

    // assert
    QCOMPARE(measurer.measuredText(), text);
    QMouseEvent release(QEvent::MouseButtonRelease, to, measurer.mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&measurer, &release);
    QCOMPARE(measurer.measuredText(), text);
}

void TestScreenCropper::escapeHidesAndSignals()
{
    ScreenMeasurer measurer;
    measurer.show();
    QSignalSpy escaped(&measurer, SIGNAL(escaped()));
    QSignalSpy quit(&measurer, SIGNAL(doQuit()));
    QSignalSpy closed(&measurer, SIGNAL(closed()));

    measurer.actions().first()->trigger();

    QVERIFY(!measurer.isVisible());
    QCOMPARE(escaped.count(), 1);
    QCOMPARE(quit.count(), 1);
    QCOMPARE(closed.count(), 0);
}

void TestScreenCropper::saveFolderIsDesktopElseHome_data()
{
    QTest::addColumn<bool>("desktopExists");
    QTest::newRow("desktop") << true;
    QTest::newRow("no desktop") << false;
}

void TestScreenCropper::saveFolderIsDesktopElseHome()
{
    QFETCH(bool, desktopExists);

    // arrange
    const QString desktop = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).first();
    if (desktopExists)
        QVERIFY(QDir().mkpath(desktop));
    else
        QDir(desktop).removeRecursively();

    // act
    ScreenCropper cropper;

    // assert
    const QString expected = desktopExists
        ? desktop
        : QStandardPaths::standardLocations(QStandardPaths::HomeLocation).first();
    QCOMPARE(cropper.saveFolderPath(), expected);
    QVERIFY(cropper.hintText().contains(desktopExists ? QStringLiteral("on Desktop")
                                                      : QStringLiteral("in Home Location")));
}

void TestScreenCropper::saveWritesScreenShotFiles()
{
    // arrange
    const QString desktop = QStandardPaths::standardLocations(QStandardPaths::DesktopLocation).first();
    QVERIFY(QDir().mkpath(desktop));
    for (const QString &name : screenShots(desktop))
        QFile::remove(desktop + QLatin1Char('/') + name);
    UrlRecorder::instance()->clear();
    KnownGrabCropper cropper;
    cropper.setShowMode(2);
    cropper.setGrab(coordinatePicture());
    cropper.resize(256, 256);
    cropper.show();
    drag(&cropper, QPoint(3, 4), QPoint(12, 8));
    QSignalSpy saved(&cropper, SIGNAL(saved()));

    // act: two saves within the same second
    cropper.slotSave();
    cropper.slotSave();

    // assert
    const QStringList files = screenShots(desktop);
    QCOMPARE(files.size(), 2);
    const QRegularExpression pattern(
        QStringLiteral("^ScreenShot_\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(_\\d+)?\\.png$"));
    for (const QString &name : files) {
        QVERIFY2(pattern.match(name).hasMatch(), qPrintable(name));
        QCOMPARE(QImage(desktop + QLatin1Char('/') + name, "PNG").size(), QSize(10, 5));
    }
    QCOMPARE(cropper.lastSavedPath(), QDir(desktop).filePath(cropper.lastSavedPath().section('/', -1)));
    QCOMPARE(saved.count(), 2);
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
}

void TestScreenCropper::returnKeyShowsSavedFileFolder()
{
    // arrange
    UrlRecorder::instance()->clear();
    KnownGrabCropper cropper;
    cropper.setShowMode(2);
    cropper.setGrab(coordinatePicture());
    cropper.show();
    QTest::keyClick(&cropper, Qt::Key_Return);
    drag(&cropper, QPoint(1, 1), QPoint(1, 1));

    // act
    cropper.slotSave();

    // assert
    QVERIFY(!cropper.lastSavedPath().isEmpty());
    QVERIFY(QFile::exists(cropper.lastSavedPath()));
    QCOMPARE(UrlRecorder::instance()->urls().size(), 1);
    QVERIFY(UrlRecorder::instance()->last().isLocalFile());
    QCOMPARE(QDir(UrlRecorder::instance()->last().toLocalFile()).absolutePath(),
             QFileInfo(cropper.lastSavedPath()).absolutePath());
}

void TestScreenCropper::saveKeepsNothingWhenWriteFails()
{
    // arrange: a picture too large for the file size limit, to be shown after saving
    UrlRecorder::instance()->clear();
    KnownGrabCropper cropper;
    cropper.setShowMode(2);
    cropper.setGrab(coordinatePicture());
    cropper.resize(256, 256);
    cropper.show();
    drag(&cropper, QPoint(0, 0), QPoint(255, 255), Qt::AltModifier);
    const QStringList before = screenShots(cropper.saveFolderPath());
    QSignalSpy saved(&cropper, SIGNAL(saved()));

    // act
    {
        FileSizeLimit limit(64);
        QVERIFY(limit.active());
        cropper.slotSave();
    }

    // assert
    QCOMPARE(cropper.croppedPixmap().size(), QSize(256, 256));
    QCOMPARE(saved.count(), 1);
    QVERIFY2(cropper.lastSavedPath().isEmpty(), qPrintable(QString::number(QFileInfo(cropper.lastSavedPath()).size())));
    QCOMPARE(screenShots(cropper.saveFolderPath()), before);
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
}

GLYPH_APP_TEST_MAIN(TestScreenCropper, QMWidgets::App)
#include "tst_screencropper.moc"
