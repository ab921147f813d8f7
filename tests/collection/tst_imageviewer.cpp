#include "app.h"
#include "fifowatch.h"
#include "filesizelimit.h"
#include "imagearea.h"
#include "imageviewer.h"
#include "picturebytes.h"
#include "readertargets.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>

using namespace QMWidgets;

class TestImageViewer : public QObject
{
    Q_OBJECT

private slots:
    void zoomScalesAndChoosesScrollBars_data();
    void zoomScalesAndChoosesScrollBars();
    void fitToWindowKeepsAspectWithinArea();
    void emptyAreaAndNullPictureAreHarmless();
    void stepButtonsStopAtLimits();
    void actualPixelsReappliesHundredPercent();
    void fitButtonReturnsToFitMode();
    void systemPreviewWritesFileAndOpensIt();
    void systemPreviewWithoutPictureOpensNothing();
    void systemPreviewFailedWriteOpensNothing();
    void loadingAFileShowsOnlyPicturesWithinTheBudget_data();
    void loadingAFileShowsOnlyPicturesWithinTheBudget();
};

static QPixmap picture(int w, int h)
{
    QPixmap p(w, h);
    p.fill(Qt::red);
    return p;
}

void TestImageViewer::zoomScalesAndChoosesScrollBars_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<int>("percent");
    QTest::addColumn<QSize>("scaled");
    QTest::addColumn<QSize>("label");
    QTest::addColumn<bool>("hBar");
    QTest::addColumn<bool>("vBar");

    // Area is 300 x 200.
    QTest::newRow("small, centred") << QSize(101, 101) << 50 << QSize(51, 51) << QSize(300, 200) << false << false;
    QTest::newRow("exactly as wide") << QSize(300, 50) << 100 << QSize(300, 50) << QSize(300, 200) << true << false;
    QTest::newRow("tall") << QSize(100, 400) << 100 << QSize(100, 400) << QSize(300, 400) << false << true;
    QTest::newRow("large both ways") << QSize(800, 600) << 50 << QSize(400, 300) << QSize(400, 300) << true << true;
    QTest::newRow("zero clamps to one") << QSize(800, 600) << 0 << QSize(8, 6) << QSize(300, 200) << false << false;
    QTest::newRow("huge clamps to hundred") << QSize(30, 20) << 1000000000 << QSize(30, 20) << QSize(300, 200) << false << false;
}

void TestImageViewer::zoomScalesAndChoosesScrollBars()
{
    QFETCH(QSize, image);
    QFETCH(int, percent);
    QFETCH(QSize, scaled);
    QFETCH(QSize, label);
    QFETCH(bool, hBar);
    QFETCH(bool, vBar);

    // arrange
    ImageArea area;
    area.resize(300, 200);
    area.show();
    area.setPixmap(picture(image.width(), image.height()));

    // act
    area.slotZoom(percent);

    // assert
    auto *preview = area.findChild<QLabel *>(QStringLiteral("PreviewLabel"));
    auto *scroll = area.findChild<QScrollArea *>();
    QVERIFY(preview && scroll);
    QVERIFY(!area.isFitMode());
    QCOMPARE(preview->pixmap(Qt::ReturnByValue).size(), scaled);
    QCOMPARE(preview->size(), label);
    QCOMPARE(scroll->horizontalScrollBarPolicy(), hBar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    QCOMPARE(scroll->verticalScrollBarPolicy(), vBar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    QCOMPARE(scroll->geometry(), QRect(0, 0, 300, 200));
}

void TestImageViewer::fitToWindowKeepsAspectWithinArea()
{
    // arrange
    ImageArea area;
    area.resize(300, 200);
    area.show();
    area.setPixmap(picture(400, 200));
    area.slotZoom(100);

    // act
    area.slotFitScreen();
    auto *preview = area.findChild<QLabel *>(QStringLiteral("PreviewLabel"));
    const QSize afterFit = preview->pixmap(Qt::ReturnByValue).size();
    area.resize(400, 100);
    QApplication::processEvents();

    // assert
    QVERIFY(area.isFitMode());
    QCOMPARE(afterFit, QSize(300, 150));
    QCOMPARE(preview->pixmap(Qt::ReturnByValue).size(), QSize(200, 100));
    QCOMPARE(preview->size(), QSize(400, 100));
}

void TestImageViewer::emptyAreaAndNullPictureAreHarmless()
{
    ImageArea area;
    area.resize(0, 0);
    area.show();
    area.setPixmap(picture(50, 50));
    area.slotFitScreen();
    area.slotZoom(50);
    area.setPixmap(QPixmap());
    area.slotZoom(10);
    auto *preview = area.findChild<QLabel *>(QStringLiteral("PreviewLabel"));
    QVERIFY(preview->pixmap(Qt::ReturnByValue).isNull());
}

void TestImageViewer::stepButtonsStopAtLimits()
{
    // arrange
    ImageViewer viewer;
    viewer.resize(600, 500);
    viewer.show();
    viewer.imageArea()->setPixmap(picture(200, 100));
    auto *slider = viewer.findChild<QSlider *>(QStringLiteral("ImageViewSlider"));
    auto *lower = viewer.findChild<QPushButton *>(QStringLiteral("ZoomInButton"));
    auto *raise = viewer.findChild<QPushButton *>(QStringLiteral("ZoomOutButton"));
    auto *fit = viewer.findChild<QPushButton *>(QStringLiteral("FitToScreenButton"));
    QVERIFY(slider && lower && raise && fit);
    QVERIFY(fit->isChecked());

    // act / assert: raising at 100 changes nothing, the area stays fitted
    raise->click();
    QCOMPARE(slider->value(), 100);
    QVERIFY(viewer.imageArea()->isFitMode());

    lower->click();
    QCOMPARE(slider->value(), 99);
    QVERIFY(!viewer.imageArea()->isFitMode());
    QCOMPARE(viewer.imageArea()->percent(), 99);
    QVERIFY(!fit->isChecked());

    slider->setValue(1);
    lower->click();
    QCOMPARE(slider->value(), 1);
    QCOMPARE(viewer.imageArea()->percent(), 1);
    raise->click();
    QCOMPARE(viewer.imageArea()->percent(), 2);
}

void TestImageViewer::actualPixelsReappliesHundredPercent()
{
    // arrange: fitted, slider already at 100
    ImageViewer viewer;
    viewer.resize(600, 500);
    viewer.show();
    viewer.imageArea()->setPixmap(picture(1000, 800));
    auto *actual = viewer.findChild<QPushButton *>(QStringLiteral("ActualPixelsButton"));
    auto *preview = viewer.findChild<QLabel *>(QStringLiteral("PreviewLabel"));
    QVERIFY(viewer.imageArea()->isFitMode());

    // act
    actual->click();

    // assert
    QVERIFY(actual->isChecked());
    QVERIFY(!viewer.imageArea()->isFitMode());
    QCOMPARE(preview->pixmap(Qt::ReturnByValue).size(), QSize(1000, 800));

    // a second click unchecks and leaves the zoom as it is
    actual->click();
    QVERIFY(!actual->isChecked());
    QCOMPARE(preview->pixmap(Qt::ReturnByValue).size(), QSize(1000, 800));
}

void TestImageViewer::fitButtonReturnsToFitMode()
{
    ImageViewer viewer;
    viewer.resize(600, 500);
    viewer.show();
    viewer.slotLoad(picture(1000, 800).toImage());
    auto *slider = viewer.findChild<QSlider *>(QStringLiteral("ImageViewSlider"));
    auto *fit = viewer.findChild<QPushButton *>(QStringLiteral("FitToScreenButton"));
    auto *actual = viewer.findChild<QPushButton *>(QStringLiteral("ActualPixelsButton"));
    slider->setValue(50);
    slider->setValue(100);
    QVERIFY(actual->isChecked());

    fit->click();

    QVERIFY(viewer.imageArea()->isFitMode());
    QVERIFY(fit->isChecked());
    QVERIFY(!actual->isChecked());
    QCOMPARE(slider->value(), 100);
}

void TestImageViewer::systemPreviewWritesFileAndOpensIt()
{
    // arrange
    UrlRecorder::instance()->clear();
    ImageViewer viewer;
    viewer.slotLoad(picture(37, 21).toImage());
    QSignalSpy opened(&viewer, SIGNAL(systemPreviewOpened()));
    auto *button = viewer.findChild<QPushButton *>(QStringLiteral("SysPreviewButton"));

    // act
    button->click();

    // assert
    const QString path = App::workDirectory() + QStringLiteral("preview.png");
    QCOMPARE(ImageViewer::previewFilePath(), path);
    QCOMPARE(QImage(path, "PNG").size(), QSize(37, 21));
    QCOMPARE(UrlRecorder::instance()->last(), QUrl::fromLocalFile(path));
    QCOMPARE(opened.count(), 1);
}

void TestImageViewer::systemPreviewWithoutPictureOpensNothing()
{
    QFile::remove(ImageViewer::previewFilePath());
    UrlRecorder::instance()->clear();
    ImageViewer viewer;
    QSignalSpy opened(&viewer, SIGNAL(systemPreviewOpened()));

    viewer.slotSysPreview();

    QVERIFY(!QFile::exists(ImageViewer::previewFilePath()));
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    QCOMPARE(opened.count(), 0);
}

void TestImageViewer::systemPreviewFailedWriteOpensNothing()
{
    // arrange: an earlier preview, and a picture too large for the file size limit
    ImageViewer viewer;
    viewer.slotLoad(picture(5, 5).toImage());
    viewer.slotSysPreview();
    const QByteArray earlier = [] {
        QFile file(ImageViewer::previewFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(!earlier.isEmpty());
    viewer.slotLoad(picture(300, 300).toImage());
    UrlRecorder::instance()->clear();
    QSignalSpy opened(&viewer, SIGNAL(systemPreviewOpened()));

    // act
    {
        FileSizeLimit limit(earlier.size() + 16);
        QVERIFY(limit.active());
        viewer.slotSysPreview();
    }

    // assert: no preview opened, the earlier file untouched
    QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    QCOMPARE(opened.count(), 0);
    QFile file(ImageViewer::previewFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), earlier);
}

void TestImageViewer::loadingAFileShowsOnlyPicturesWithinTheBudget_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("shown"); // 0 x 0: nothing
    QTest::newRow("picture") << "picture" << QSize(7, 5);
    QTest::newRow("fifo") << "fifo" << QSize(0, 0);
    QTest::newRow("folder") << "folder" << QSize(0, 0);
    QTest::newRow("gif of 35 bytes on a 16000 x 16000 screen") << "gif" << QSize(0, 0);
}

void TestImageViewer::loadingAFileShowsOnlyPicturesWithinTheBudget()
{
    // arrange
    QFETCH(QString, kind);
    QFETCH(QSize, shown);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(kind);
    if (kind == "picture")
        QVERIFY(picture(7, 5).save(path, "PNG"));
    else
        QVERIFY(ReaderTargets::make(path, kind));
    ImageViewer viewer;
    viewer.slotLoad(picture(3, 3).toImage());
    std::unique_ptr<FifoWatch> watch(kind == "fifo" ? new FifoWatch(path) : nullptr);

    // act
    viewer.slotLoad(path);
    if (watch)
        watch->stop();

    // assert
    QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
    QCOMPARE(viewer.imageArea()->pixmap().size(), shown);
}

GLYPH_APP_TEST_MAIN(TestImageViewer, QMWidgets::App)
#include "tst_imageviewer.moc"
