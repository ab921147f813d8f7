#include "colorreducer.h"
#include "fifo.h"
#include "graphx.h"
#include "testmain.h"

#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace MGraphX;

namespace {

// Every pixel's colour as the picture shows it (palette colour for indexed).
QSet<QRgb> coloursOf(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

// A colourful picture with far more than 256 distinct colours.
QImage gradient(int size = 64)
{
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (size - 1), y * 255 / (size - 1), (x + y) * 2 % 256));
    return image;
}

QImage greyRamp()
{
    QImage image(256, 2, QImage::Format_RGB32);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 2; ++y)
            image.setPixel(x, y, qRgb(x, x, x));
    return image;
}

} // namespace

class TestMedianCut : public QObject
{
    Q_OBJECT

private slots:
    void fewColoursAreKeptExactly_data()
    {
        QTest::addColumn<int>("maxColors");
        QTest::addColumn<bool>("dither");
        QTest::newRow("exact budget") << 4 << false;
        QTest::newRow("large budget") << 256 << false;
        QTest::newRow("exact budget dithered") << 4 << true;
    }

    // Colours on the 5-bit grid of the histogram (and white) survive as they are.
    void fewColoursAreKeptExactly()
    {
        QFETCH(int, maxColors);
        QFETCH(bool, dither);
        // arrange
        const QRgb colours[] = {qRgb(0, 0, 0), qRgb(248, 0, 0), qRgb(0, 128, 64), qRgb(255, 255, 255)};
        QImage image(8, 6, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, colours[(x + 3 * y) % 4]);
        ColorReducer reducer(image);
        reducer.setDither(dither);
        // act
        const QImage reduced = reducer.reduce(maxColors);
        // assert
        QCOMPARE(reduced.format(), QImage::Format_Indexed8);
        QCOMPARE(reduced.size(), image.size());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(reduced.pixel(x, y), image.pixel(x, y));
    }

    void transparentPixelsTakeTheReservedIndex()
    {
        // arrange
        QImage image(3, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(248, 0, 0, 255));
        image.setPixel(1, 0, qRgba(0, 0, 248, 127));
        image.setPixel(2, 0, qRgba(0, 248, 0, 126));
        ColorReducer reducer(image);
        reducer.setDither(false);
        // act
        const QImage reduced = reducer.reduce(256);
        // assert
        QCOMPARE(reduced.colorCount(), 256);
        QCOMPARE(reduced.color(255), QRgb(0));
        QCOMPARE(reduced.pixel(0, 0), qRgb(248, 0, 0));
        QCOMPARE(reduced.pixel(1, 0), qRgb(0, 0, 248));
        QCOMPARE(reduced.pixelIndex(2, 0), 255);
    }

    void paletteNeverExceedsTheBudget_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("maxColors");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("dither");
        const QImage colourful = gradient();
        QTest::newRow("16") << colourful << 16 << 16 << false;
        QTest::newRow("16 dithered") << colourful << 16 << 16 << true;
        QTest::newRow("2") << colourful << 2 << 2 << false;
        QTest::newRow("256") << colourful << 256 << 256 << false;
        QTest::newRow("1 is the mean") << colourful << 1 << 1 << false;
        QTest::newRow("0 counts as 1") << colourful << 0 << 1 << false;
        QTest::newRow("negative counts as 1") << colourful << -5 << 1 << false;
        QTest::newRow("above 256 is clamped") << colourful << 100000 << 256 << false;
        QTest::newRow("grey 256 gives 129 levels") << greyRamp() << 256 << 129 << false;
        QTest::newRow("grey 2") << greyRamp() << 2 << 2 << false;
        QTest::newRow("grey 1") << greyRamp() << 1 << 1 << false;
    }

    void paletteNeverExceedsTheBudget()
    {
        QFETCH(QImage, image);
        QFETCH(int, maxColors);
        QFETCH(int, limit);
        QFETCH(bool, dither);
        ColorReducer reducer(image);
        reducer.setDither(dither);

        const QImage reduced = reducer.reduce(maxColors);

        QCOMPARE(reduced.format(), QImage::Format_Indexed8);
        const int used = coloursOf(reduced).size();
        QVERIFY2(used <= limit, qPrintable(QString::number(used)));
        QVERIFY(used >= std::min(limit, 2) || limit == 1);
    }

    void greyPathListsLevelsAscending()
    {
        ColorReducer reducer(greyRamp());
        reducer.setDither(false);

        const QImage reduced = reducer.reduce(256);

        QCOMPARE(coloursOf(reduced).size(), 129);
        const QVector<QRgb> table = reduced.colorTable();
        QCOMPARE(table.size(), 256);
        QCOMPARE(table.first(), qRgb(0, 0, 0));
        for (int i = 1; i < table.size(); ++i)
            QVERIFY(table.at(i - 1) <= table.at(i));
    }

    void ditheringChangesPixelsButKeepsThePalette()
    {
        const QImage image = gradient();
        ColorReducer plain(image);
        plain.setDither(false);
        ColorReducer dithered(image);
        QSignalSpy progress(&dithered, SIGNAL(progress(int)));

        const QImage a = plain.reduce(8);
        const QImage b = dithered.reduce(8);

        int changed = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                changed += a.pixel(x, y) != b.pixel(x, y);
        QVERIFY(changed > 0);
        const QSet<QRgb> palette = coloursOf(a);
        QVERIFY(palette.size() <= 8);
        QVERIFY(palette.contains(coloursOf(b)));
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), 10 + 63 * 90 / 64);
    }

    void reductionReportsProgressPerSplit()
    {
        ColorReducer reducer(gradient());
        reducer.setDither(false);
        QSignalSpy spy(&reducer, SIGNAL(progress(int)));

        reducer.reduce(4);

        QList<int> values;
        for (const QList<QVariant> &args : spy)
            values << args.at(0).toInt();
        QCOMPARE(values, (QList<int>{0, 2, 5, 7}));
    }

    void savedIndexedFileReadsBackWithTheSamePalette()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("reduced.png");
        const QImage image = gradient(32);
        ColorReducer reducer(image);
        const QImage expected = reducer.reduce(12);

        QVERIFY(GraphX::reduceColorsToPng(image, path, 12, true, true));
        const QImage loaded(path);

        QCOMPARE(loaded.format(), QImage::Format_Indexed8);
        QCOMPARE(loaded.colorTable(), expected.colorTable());
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QCOMPARE(loaded.pixelIndex(x, y), expected.pixelIndex(x, y));
    }

    void savingReportsFailure()
    {
        QTemporaryDir dir;
        const QString missingFolder = dir.filePath("missing/reduced.png");
        QVERIFY(!GraphX::reduceColorsToPng(gradient(8), missingFolder, 8, false, true));
        QVERIFY(!GraphX::reduceColorsToFile(QImage(), dir.filePath("empty.png"), 8, "PNG"));
        QVERIFY(GraphX::reduceColorsToFile(gradient(8), dir.filePath("ok.bmp"), 8, "BMP"));
        QCOMPARE(QImage(dir.filePath("ok.bmp")).size(), QSize(8, 8));
        // a pipe under the name is no file to write the picture into
        const Fifo pipe(dir.filePath("pipe.png"));
        QVERIFY(pipe.isValid());
        QVERIFY(!GraphX::reduceColorsToPng(gradient(8), dir.filePath("pipe.png"), 8, false, true));
        QVERIFY(!GraphX::reduceColorsToFile(gradient(8), dir.filePath("pipe.png"), 8, "BMP"));
        QVERIFY(pipe.stillThere());
    }

    void degenerateSourcesAreSafe()
    {
        // One colour: one palette entry, no split.
        QImage single(5, 4, QImage::Format_RGB32);
        single.fill(qRgb(40, 80, 120));
        ColorReducer one(single);
        one.setDither(false);
        QSignalSpy spy(&one, SIGNAL(progress(int)));
        const QImage reduced = one.reduce(256);
        QCOMPARE(coloursOf(reduced), QSet<QRgb>{qRgb(40, 80, 120)});
        QCOMPARE(spy.count(), 2);

        // No pixels: null results, no crash.
        ColorReducer empty{QImage()};
        QVERIFY(empty.reduce(16).isNull());
        QVERIFY(empty.reduceGrayLevels(4).isNull());
        ColorReducer emptyDithered{QImage(0, 0, QImage::Format_ARGB32)};
        QVERIFY(emptyDithered.reduce(256).isNull());
    }

    void grayLevelsPosteriseEveryChannel_data()
    {
        QTest::addColumn<int>("levels");
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("1: below top goes to 0") << 1 << 254 << 0;
        QTest::newRow("1: top stays") << 1 << 255 << 255;
        QTest::newRow("255 keeps") << 255 << 77 << 77;
        QTest::newRow("2: middle") << 2 << 128 << 127;
        QTest::newRow("0 counts as 1") << 0 << 200 << 0;
        QTest::newRow("above 255 counts as 255") << 4000 << 77 << 77;
    }

    void grayLevelsPosteriseEveryChannel()
    {
        QFETCH(int, levels);
        QFETCH(int, input);
        QFETCH(int, expected);
        QImage image(1, 1, QImage::Format_RGB32);
        image.setPixel(0, 0, qRgb(input, input, 255));
        ColorReducer reducer(image);

        const QImage result = reducer.reduceGrayLevels(levels);

        QCOMPARE(result.format(), QImage::Format_ARGB32);
        QCOMPARE(result.pixel(0, 0), qRgb(expected, expected, 255));
    }

    void splitFollowsTheLongestAxisAndTakesWeightedMeans_data()
    {
        QTest::addColumn<QVector<QRgb>>("pixels");
        QTest::addColumn<QVector<QRgb>>("expected"); // each pixel's palette colour

        // Red spans 248, blue 16: sorted by red, the half of 6 pixels falls
        // after red 64, and each half takes its weighted mean.
        QTest::newRow("red axis")
            << QVector<QRgb>{qRgb(0, 0, 0), qRgb(0, 0, 0), qRgb(64, 0, 16), qRgb(128, 0, 0),
                             qRgb(248, 0, 0), qRgb(248, 0, 0)}
            << QVector<QRgb>{qRgb(21, 0, 5), qRgb(21, 0, 5), qRgb(21, 0, 5), qRgb(208, 0, 0),
                             qRgb(208, 0, 0), qRgb(208, 0, 0)};
        // Green and blue both span 64: blue wins the tie.
        QTest::newRow("tie goes to blue")
            << QVector<QRgb>{qRgb(0, 0, 0), qRgb(0, 64, 0), qRgb(0, 0, 64), qRgb(8, 64, 64)}
            << QVector<QRgb>{qRgb(0, 32, 0), qRgb(0, 32, 0), qRgb(4, 32, 64), qRgb(4, 32, 64)};
        // Red and green both span 64, blue 0: green wins over red.
        QTest::newRow("tie goes to green over red")
            << QVector<QRgb>{qRgb(0, 0, 0), qRgb(64, 0, 0), qRgb(0, 64, 0), qRgb(64, 64, 8)}
            << QVector<QRgb>{qRgb(32, 0, 0), qRgb(32, 0, 0), qRgb(32, 64, 4), qRgb(32, 64, 4)};
    }

    void splitFollowsTheLongestAxisAndTakesWeightedMeans()
    {
        QFETCH(QVector<QRgb>, pixels);
        QFETCH(QVector<QRgb>, expected);
        QImage image(pixels.size(), 1, QImage::Format_RGB32);
        for (int x = 0; x < pixels.size(); ++x)
            image.setPixel(x, 0, pixels.at(x));
        ColorReducer reducer(image);
        reducer.setDither(false);

        const QImage reduced = reducer.reduce(2);

        for (int x = 0; x < pixels.size(); ++x)
            QCOMPARE(reduced.pixel(x, 0), expected.at(x));
    }

    // L + 1 evenly spaced levels from 0 to 255, white included, for every L.
    void greyLevelsAreEvenAndReachWhite()
    {
        for (int levels = 1; levels <= 255; ++levels) {
            ColorReducer reducer(greyRamp());
            const QImage result = reducer.reduceGrayLevels(levels);
            QVector<int> seen;
            for (int v = 0; v < 256; ++v) {
                const int out = qRed(result.pixel(v, 0));
                QVERIFY(out <= v);
                QVERIFY2(seen.isEmpty() || out >= seen.last(),
                         qPrintable(QString("L %1 v %2").arg(levels).arg(v)));
                if (seen.isEmpty() || seen.last() != out)
                    seen << out;
            }
            QCOMPARE(seen.size(), levels + 1);
            QCOMPARE(seen.first(), 0);
            QCOMPARE(seen.last(), 255);
            for (int k = 1; k < seen.size(); ++k) {
                const int step = seen.at(k) - seen.at(k - 1);
                QVERIFY2(step == 255 / levels || step == (255 + levels - 1) / levels,
                         qPrintable(QString("L %1 level %2").arg(levels).arg(k)));
            }
            if (2 * levels <= 256) {
                ColorReducer grey(greyRamp());
                grey.setDither(false);
                QCOMPARE(grey.reduce(2 * levels).pixel(255, 0), qRgb(255, 255, 255));
            }
        }
    }

    void nearestColourPrefersTheLowestIndexOnTies()
    {
        const QVector<QRgb> table{qRgb(10, 0, 0), qRgb(0, 0, 0), qRgb(20, 0, 0)};
        QCOMPARE(ColorReducer::nearestColor(qRgb(15, 0, 0), table), qRgb(10, 0, 0));
        QCOMPARE(ColorReducer::nearestColor(qRgb(1, 0, 0), table), qRgb(0, 0, 0));
        QCOMPARE(ColorReducer::nearestColor(qRgb(1, 0, 0), {}), QRgb(0));
    }
};

GLYPH_TEST_MAIN(TestMedianCut)
#include "tst_mediancut.moc"
