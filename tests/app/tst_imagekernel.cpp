#include "app.h"
#include "imagekernel.h"
#include "testmain.h"

#include <QRandomGenerator>

class TestImageKernel : public QObject
{
    Q_OBJECT

private:
    static QImage onePixel(QRgb pixel)
    {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, pixel);
        return image;
    }

    static QImage filled(int width, int height, QRgb pixel)
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(pixel);
        return image;
    }

    static bool near(int a, int b, int tolerance) { return qAbs(a - b) <= tolerance; }

private slots:
    void contrastFactorIsRoundedToFloat_data()
    {
        QTest::addColumn<int>("contrast");
        QTest::addColumn<float>("factor");
        QTest::newRow("lowest gives zero") << -127 << 0.0f;
        QTest::newRow("zero gives one") << 0 << 1.0f;
        QTest::newRow("highest just below 255/127") << 128 << 2.007874011993408f;
        QTest::newRow("fifty") << 50 << 1.3937008380889893f;
    }

    void contrastFactorIsRoundedToFloat()
    {
        QFETCH(int, contrast);
        QFETCH(float, factor);
        QCOMPARE(ImageKernel::contrastFactor(contrast), factor);
    }

    void kernelAdjustsEachChannel_data()
    {
        QTest::addColumn<QRgb>("input");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<QRgb>("expected");

        QTest::newRow("neutral keeps pixel") << qRgba(0, 127, 255, 200) << 0 << 0 << qRgba(0, 127, 255, 200);
        QTest::newRow("contrast -127 blackens, alpha kept")
            << qRgba(200, 17, 255, 33) << 100 << -127 << qRgba(0, 0, 0, 33);
        QTest::newRow("contrast 128: 127 -> 254, not 255")
            << qRgba(127, 128, 100, 255) << 0 << 128 << qRgba(254, 255, 200, 255);
        QTest::newRow("contrast 50, brightness 10")
            << qRgba(0, 100, 200, 10) << 10 << 50 << qRgba(13, 153, 255, 10);
        QTest::newRow("brightness -127: dark to 0, 255 to 128")
            << qRgba(127, 255, 128, 255) << -127 << 0 << qRgba(0, 128, 1, 255);
        QTest::newRow("negative product clamps to 0")
            << qRgba(0, 20, 126, 255) << -127 << 128 << qRgba(0, 0, 0, 255);
        QTest::newRow("brightness 128 clamps to 255")
            << qRgba(200, 100, 127, 0) << 128 << 0 << qRgba(255, 228, 255, 0);
        QTest::newRow("product truncated, not rounded")
            << qRgba(1, 100, 183, 255) << 0 << 50 << qRgba(1, 139, 255, 255);
        QTest::newRow("channels independent")
            << qRgba(10, 0, 0, 128) << 0 << 128 << qRgba(20, 0, 0, 128);
    }

    void kernelAdjustsEachChannel()
    {
        QFETCH(QRgb, input);
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(QRgb, expected);

        const QImage result = ImageKernel::applyBrightnessContrast(onePixel(input), brightness, contrast);

        QCOMPARE(result.format(), QImage::Format_ARGB32);
        QCOMPARE(QString::number(result.pixel(0, 0), 16), QString::number(expected, 16));
    }

    void kernelLeavesItsInputAlone()
    {
        const QImage source = filled(3, 2, qRgba(50, 60, 70, 255));

        const QImage result = ImageKernel::applyBrightnessContrast(source, 20, 30);

        QCOMPARE(source.pixel(1, 1), qRgba(50, 60, 70, 255));
        QVERIFY(result.pixel(1, 1) != source.pixel(1, 1));
    }

    void largeImageMatchesPixelByPixel()
    {
        // Large enough to be split over several threads; every band must match.
        QImage source(1201, 1003, QImage::Format_ARGB32);
        QRandomGenerator random(42);
        for (int y = 0; y < source.height(); ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(source.scanLine(y));
            for (int x = 0; x < source.width(); ++x)
                line[x] = random.generate();
        }
        const int brightness = -31;
        const int contrast = 77;
        const float factor = ImageKernel::contrastFactor(contrast);

        const QImage result = ImageKernel::applyBrightnessContrast(source, brightness, contrast);

        QCOMPARE(result.size(), source.size());
        int mismatches = 0;
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x) {
                const QRgb in = source.pixel(x, y);
                const QRgb want = qRgba(ImageKernel::adjustChannel(qRed(in), brightness, factor),
                                        ImageKernel::adjustChannel(qGreen(in), brightness, factor),
                                        ImageKernel::adjustChannel(qBlue(in), brightness, factor),
                                        qAlpha(in));
                if (result.pixel(x, y) != want)
                    ++mismatches;
            }
        }
        QCOMPARE(mismatches, 0);
    }

    void scaledSizeRoundsHalfUp_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("3x3 at 50") << QSize(3, 3) << 50 << QSize(2, 2);
        QTest::newRow("100x10 at 33") << QSize(100, 10) << 33 << QSize(33, 3);
        QTest::newRow("full size") << QSize(640, 480) << 100 << QSize(640, 480);
        QTest::newRow("zero percent") << QSize(640, 480) << 0 << QSize(0, 0);
        QTest::newRow("narrow side rounds to 0") << QSize(100, 1) << 40 << QSize(40, 0);
        // Texts already made rely on an exact half going the way the double product does.
        QTest::newRow("750 at 57: exact half goes down") << QSize(1000, 750) << 57 << QSize(570, 427);
    }

    void scaledSizeRoundsHalfUp()
    {
        QFETCH(QSize, source);
        QFETCH(int, percent);
        QFETCH(QSize, expected);
        QCOMPARE(ImageKernel::scaledSize(source, percent), expected);
    }

    void processGivesNullForEmptyTargets_data()
    {
        QTest::addColumn<QImage>("source");
        QTest::addColumn<int>("percent");
        QTest::newRow("null source") << QImage() << 100;
        QTest::newRow("resize 0") << filled(10, 10, 0xff102030) << 0;
        QTest::newRow("one side rounds to 0") << filled(100, 1, 0xff102030) << 40;
    }

    void processGivesNullForEmptyTargets()
    {
        QFETCH(QImage, source);
        QFETCH(int, percent);
        QVERIFY(ImageKernel::process(source, 0, 0, percent).isNull());
    }

    void processAtFullSizeKeepsStraightWords()
    {
        // arrange: semi-transparent and opaque pixels side by side
        QImage source(2, 1, QImage::Format_ARGB32);
        source.setPixel(0, 0, qRgba(200, 100, 50, 128));
        source.setPixel(1, 0, qRgba(1, 2, 3, 255));

        // act
        const QImage result = ImageKernel::process(source, 0, 0, 100);

        // assert
        QCOMPARE(result.format(), QImage::Format_ARGB32);
        QCOMPARE(result.pixel(0, 0), qRgba(200, 100, 50, 128));
        QCOMPARE(result.pixel(1, 0), qRgba(1, 2, 3, 255));
    }

    void processScalesSemiTransparentInStraightColours_data()
    {
        QTest::addColumn<int>("contrast");
        QTest::addColumn<QRgb>("expected");
        QTest::newRow("neutral") << 0 << qRgba(200, 100, 50, 128);
        QTest::newRow("doubled") << 128 << qRgba(255, 200, 100, 128);
    }

    void processScalesSemiTransparentInStraightColours()
    {
        QFETCH(int, contrast);
        QFETCH(QRgb, expected);
        const QImage source = filled(4, 4, qRgba(200, 100, 50, 128));

        const QImage result = ImageKernel::process(source, 0, contrast, 50);

        QCOMPARE(result.size(), QSize(2, 2));
        QCOMPARE(result.format(), QImage::Format_ARGB32);
        const QRgb p = result.pixel(1, 1);
        // Premultiplying and back costs at most a step or two per channel.
        QVERIFY2(near(qRed(p), qRed(expected), 2) && near(qGreen(p), qGreen(expected), 2)
                     && near(qBlue(p), qBlue(expected), 2) && qAlpha(p) == qAlpha(expected),
                 qPrintable(QString::number(p, 16)));
    }

    void neutralValuesCostNoCopy_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<int>("contrast");
        QTest::addColumn<bool>("shared");
        QTest::newRow("opaque, neutral") << int(QImage::Format_RGB32) << 0 << 0 << true;
        QTest::newRow("straight alpha, neutral") << int(QImage::Format_ARGB32) << 0 << 0 << true;
        QTest::newRow("brightness 1") << int(QImage::Format_RGB32) << 1 << 0 << false;
        QTest::newRow("contrast 1") << int(QImage::Format_ARGB32) << 0 << 1 << false;
    }

    void neutralValuesCostNoCopy()
    {
        // arrange
        QFETCH(int, format);
        QFETCH(int, brightness);
        QFETCH(int, contrast);
        QFETCH(bool, shared);
        QImage image(64, 48, QImage::Format(format));
        image.fill(qRgba(130, 20, 250, 255));
        const QImage source = image;

        // act
        const QImage result = ImageKernel::process(source, brightness, contrast, 100);

        // assert: the result shares the source's pixels exactly when nothing changes
        QCOMPARE(result.constBits() == source.constBits(), shared);
        QCOMPARE(result.pixel(3, 3) == source.pixel(3, 3), shared);
    }

    void processScalesOpaqueUnchanged()
    {
        const QImage source = filled(6, 4, qRgba(201, 99, 7, 255));

        const QImage result = ImageKernel::process(source, 0, 0, 50);

        QCOMPARE(result.size(), QSize(3, 2));
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x)
                QCOMPARE(result.pixel(x, y), qRgba(201, 99, 7, 255));
    }
};

GLYPH_APP_TEST_MAIN(TestImageKernel, QMWidgets::App)
#include "tst_imagekernel.moc"
