#include "imageprocess.h"
#include "imageprocessdouble.h"
#include "imageprocessfloat.h"
#include "fifowatch.h"
#include "picturebytes.h"
#include "testmain.h"

#include <QDir>
#include <QTemporaryDir>

#include <climits>
#include <memory>
#include <sys/stat.h>

using namespace MGraphX;

namespace {

// Renders an 8-bit surface as text rows joined by '|': '#' where the sample is
// non-zero, '.' elsewhere.
QString render(ImageProcess &surface)
{
    QStringList rows;
    for (int y = 0; y < surface.height; ++y) {
        QString row;
        for (int x = 0; x < surface.width; ++x)
            row += surface.pixel(unsigned(x), unsigned(y)) ? QLatin1Char('#') : QLatin1Char('.');
        rows << row;
    }
    return rows.join(QLatin1Char('|'));
}

// An 8-bit surface drawn from text rows: '#' becomes 1, anything else 0.
ImageProcess fromRows(const QStringList &rows)
{
    ImageProcess surface(8, rows.first().size(), rows.size(), 0);
    for (int y = 0; y < rows.size(); ++y)
        for (int x = 0; x < rows.at(y).size(); ++x)
            surface.setPixel(unsigned(x), unsigned(y), rows.at(y).at(x) == QLatin1Char('#') ? 1 : 0);
    return surface;
}

// Runs the named primitive with value 1; false for an unknown name.
bool draw(GraphX &surface, const QString &operation, const QVariantList &args)
{
    auto a = [&args](int i) { return args.at(i).toInt(); };
    if (operation == QLatin1String("hline"))
        surface.drawHLine(a(0), a(1), a(2), 1);
    else if (operation == QLatin1String("vline"))
        surface.drawVLine(a(0), a(1), a(2), 1);
    else if (operation == QLatin1String("rect"))
        surface.drawRect(a(0), a(1), a(2), a(3), 1);
    else if (operation == QLatin1String("fillrect"))
        surface.fillRect(a(0), a(1), a(2), a(3), 1);
    else if (operation == QLatin1String("line"))
        surface.drawLine(a(0), a(1), a(2), a(3), 1);
    else if (operation == QLatin1String("circle"))
        surface.drawCircle(a(0), a(1), a(2), 1);
    else if (operation == QLatin1String("fillcircle"))
        surface.fillCircle(a(0), a(1), a(2), 1);
    else if (operation == QLatin1String("ellipse"))
        surface.drawEllipse(a(0), a(1), a(2), a(3), 1);
    else if (operation == QLatin1String("fillellipse"))
        surface.fillEllipse(a(0), a(1), a(2), a(3), 1);
    else
        return false;
    return true;
}

// A surface that implements only the two pixel accessors and keeps the
// default bounds.
class TinySurface : public GraphX
{
public:
    void setPixel(unsigned x, unsigned y, int value) override
    {
        if (x < 4 && y < 3)
            cells[y][x] = value;
    }
    int pixel(unsigned x, unsigned y) override { return x < 4 && y < 3 ? cells[y][x] : 0; }
    QString rows() const
    {
        QStringList out;
        for (const auto &row : cells) {
            QString text;
            for (const int v : row)
                text += v ? QLatin1Char('#') : QLatin1Char('.');
            out << text;
        }
        return out.join(QLatin1Char('|'));
    }
    int cells[3][4] = {};
};

// A 10 x 10 surface that counts the calls to setPixel and, per pixel, how
// often it was set.
class CountingSurface : public GraphX
{
public:
    void setPixel(unsigned x, unsigned y, int) override
    {
        ++calls;
        if (x < 10 && y < 10)
            ++sets[y][x];
    }
    int pixel(unsigned x, unsigned y) override { return x < 10 && y < 10 ? sets[y][x] : 0; }
    QRect bounds() const override { return QRect(0, 0, 10, 10); }
    int pixelsSet() const
    {
        int count = 0;
        for (const auto &row : sets)
            for (const int n : row)
                count += n > 0;
        return count;
    }
    qint64 calls = 0;
    int sets[10][10] = {};
};

} // namespace

class TestImageProcess : public QObject
{
    Q_OBJECT

private slots:
    void splitsImageIntoOpaquePlanes()
    {
        // arrange
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(16, 32, 48, 128));
        image.setPixel(1, 0, qRgba(0, 0, 255, 255));
        // act
        ImageProcess planes(image);
        // assert
        QCOMPARE(planes.width, 2);
        QCOMPARE(planes.height, 1);
        QCOMPARE(planes.depth, uchar(24));
        QVERIFY(planes.alpha);
        QCOMPARE(int(planes.red[0]), 16);
        QCOMPARE(int(planes.green[0]), 32);
        QCOMPARE(int(planes.blue[0]), 48);
        QCOMPARE(int(planes.red[1]), 0);
        QCOMPARE(int(planes.blue[1]), 255);
        QCOMPARE(int(planes.alpha[0]), 255);
        QCOMPARE(int(planes.alpha[1]), 255);
        QCOMPARE(planes.pixel(0, 0), 0x102030);
        QCOMPARE(planes.keptImage.format(), QImage::Format_RGB32);
    }

    void planesRoundTripToSameOpaqueImage()
    {
        // An odd width catches row/plane index mix-ups.
        QImage image(7, 5, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, qRgb(x * 30, y * 50, (x * 7 + y * 13) & 255));

        ImageProcess planes(image);
        const QImage back = planes.toImage();

        QCOMPARE(back.format(), QImage::Format_ARGB32);
        QCOMPARE(back, image.convertToFormat(QImage::Format_ARGB32));

        ImageProcessFloat floats(image);
        QCOMPARE(floats.toImage(), back);
        ImageProcessDouble doubles(image);
        QCOMPARE(doubles.pixel(6, 4), planes.pixel(6, 4));
    }

    void fileConstructorLoadsOrGivesEmptyImage()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("p.png"));
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(qRgb(1, 2, 3));
        QVERIFY(image.save(path));

        ImageProcess loaded(path.toLocal8Bit().constData());
        QCOMPARE(loaded.width, 3);
        QCOMPARE(loaded.pixel(2, 1), 0x010203);
        QVERIFY(loaded.keptImage.isNull());

        ImageProcess missing(dir.filePath(QStringLiteral("none.png")).toLocal8Bit().constData());
        QCOMPARE(missing.width, 0);
        QCOMPARE(missing.height, 0);
        QVERIFY(missing.toImage().isNull());
        ImageProcess nullName(static_cast<const char *>(nullptr));
        QCOMPARE(nullName.width, 0);
    }

    void fileConstructorsReadOnlyPicturesWithinTheBudget_data()
    {
        QTest::addColumn<QString>("samples");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QSize>("size"); // 0 x 0: refused
        for (const char *samples : {"bytes", "floats", "doubles"}) {
            const QString prefix = QString::fromLatin1(samples) + QLatin1Char(' ');
            QTest::newRow(qPrintable(prefix + "picture")) << samples << "picture" << QSize(3, 2);
            QTest::newRow(qPrintable(prefix + "fifo")) << samples << "fifo" << QSize(0, 0);
            QTest::newRow(qPrintable(prefix + "folder")) << samples << "folder" << QSize(0, 0);
            QTest::newRow(qPrintable(prefix + "gif of 35 bytes on a 16000 x 16000 screen"))
                << samples << "gif" << QSize(0, 0);
        }
    }

    void fileConstructorsReadOnlyPicturesWithinTheBudget()
    {
        // arrange
        QFETCH(QString, samples);
        QFETCH(QString, kind);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(kind);
        if (kind == "picture") {
            QImage image(3, 2, QImage::Format_RGB32);
            image.fill(qRgb(1, 2, 3));
            QVERIFY(image.save(path, "PNG"));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "folder") {
            QVERIFY(QDir(dir.path()).mkdir(kind));
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(PictureBytes::gifOnScreen(16000, 16000)) > 0);
        }
        const QByteArray name = QFile::encodeName(path);
        std::unique_ptr<FifoWatch> watch(kind == "fifo" ? new FifoWatch(path) : nullptr);

        // act
        QSize read;
        int pixel = 0;
        if (samples == "bytes") {
            ImageProcess planes(name.constData());
            read = QSize(planes.width, planes.height);
            pixel = planes.pixel(2, 1);
        } else if (samples == "floats") {
            ImageProcessFloat planes(name.constData());
            read = QSize(planes.width, planes.height);
            pixel = planes.pixel(2, 1);
        } else {
            ImageProcessDouble planes(name.constData());
            read = QSize(planes.width, planes.height);
            pixel = planes.pixel(2, 1);
        }
        if (watch)
            watch->stop();

        // assert
        QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
        QCOMPARE(read, size);
        QCOMPARE(pixel, size.isEmpty() ? 0 : 0x010203);
    }

    void sizedConstructorFillsByDepth_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("fill");
        QTest::addColumn<int>("pixel");
        QTest::addColumn<int>("redSample");
        QTest::addColumn<bool>("hasGreen");
        QTest::addColumn<bool>("hasPalette");

        QTest::newRow("24-bit colour") << 24 << 0x7f102030 << 0x102030 << 0x10 << true << false;
        QTest::newRow("8-bit index, low byte") << 8 << 0x1234 << 0x34 << 0x34 << false << true;
        QTest::newRow("1-bit white") << 1 << 1 << 1 << 255 << false << false;
        QTest::newRow("1-bit black") << 1 << 0 << 0 << 0 << false << false;
    }

    void sizedConstructorFillsByDepth()
    {
        QFETCH(int, depth);
        QFETCH(int, fill);
        QFETCH(int, pixel);
        QFETCH(int, redSample);
        QFETCH(bool, hasGreen);
        QFETCH(bool, hasPalette);

        ImageProcess image(depth, 3, 2, fill);

        QCOMPARE(image.byteSize, 3 * 2 * depth / 8);
        QCOMPARE(image.pixel(0, 0), pixel);
        QCOMPARE(image.pixel(2, 1), pixel);
        QCOMPARE(int(image.red[5]), redSample);
        QCOMPARE(image.green != nullptr, hasGreen);
        QCOMPARE(image.redPalette != nullptr, hasPalette);
        QVERIFY(!image.alpha);
        if (hasPalette)
            QCOMPARE(int(image.bluePalette[200]), 200);

        ImageProcessFloat floats(depth, 3, 2, fill);
        QCOMPARE(floats.pixel(1, 1), depth == 8 ? fill : pixel);
    }

    void nonPositiveOrHugeSizesGiveEmptyImage_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("zero width") << 0 << 5;
        QTest::newRow("negative height") << 5 << -3;
        QTest::newRow("product overflows int") << 100000 << 100000;
    }

    void nonPositiveOrHugeSizesGiveEmptyImage()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        ImageProcess image(24, width, height, 0);
        QCOMPARE(image.width, 0);
        QCOMPARE(image.height, 0);
        QVERIFY(!image.red);
        image.setPixel(0, 0, 1);
        image.fillRect(0, 0, 3, 3, 1);
        QCOMPARE(image.pixel(0, 0), 0);
    }

    void outOfRangeAccessIsIgnored_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("x = width") << 4 << 0;
        QTest::newRow("y = height") << 0 << 3;
        QTest::newRow("negative x") << -1 << 0;
        QTest::newRow("negative y") << 2 << -1;
    }

    void outOfRangeAccessIsIgnored()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        const ImageProcess original(24, 4, 3, 0x010101);
        ImageProcess image(original);

        image.setPixel(unsigned(x), unsigned(y), 0xffffff);

        QCOMPARE(image.pixel(unsigned(x), unsigned(y)), 0);
        QVERIFY(std::equal(image.red, image.red + 12, original.red));
        QVERIFY(std::equal(image.blue, image.blue + 12, original.blue));
        QVERIFY(image.flags & ImageProcess::UntouchedCopy);
        ImageProcessDouble doubles(24, 4, 3, 0x010101);
        QCOMPARE(doubles.pixel(unsigned(x), unsigned(y)), 0);
    }

    void setPixelStoresByDepth()
    {
        ImageProcess binary(1, 2, 2, 0);
        binary.setPixel(1, 1, 1);
        QCOMPARE(int(binary.red[3]), 255);
        QCOMPARE(binary.pixel(1, 1), 1);
        QCOMPARE(binary.pixel(0, 1), 0);

        ImageProcess indexed(8, 2, 2, 0);
        indexed.setPixel(0, 1, 0x1ff);
        QCOMPARE(int(indexed.red[2]), 0xff);

        ImageProcessFloat floats(1, 2, 2, 0);
        floats.setPixel(0, 0, 1);
        QCOMPARE(floats.red[0], 255.0f);
        QCOMPARE(floats.pixel(0, 0), 1);
    }

    void copyIsDeepAndMarkedUntouched()
    {
        ImageProcess original(8, 3, 3, 5);
        original.threshold(3); // sets the grey bit
        ImageProcess copy(original);

        QVERIFY(copy.flags & ImageProcess::UntouchedCopy);
        QVERIFY(copy.flags & ImageProcess::Grey);
        QVERIFY(copy.red != original.red);
        QVERIFY(copy.redPalette != original.redPalette);
        QVERIFY(copy.keptImage.isNull());

        copy.setPixel(1, 1, 9);
        QCOMPARE(original.pixel(1, 1), 255);
        QCOMPARE(copy.pixel(1, 1), 9);
        QVERIFY(!(copy.flags & ImageProcess::UntouchedCopy));
    }

    void adjustBrightnessClampsAndStaysOpaque()
    {
        QImage image(3, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0, 0, 0, 10));
        image.setPixel(1, 0, qRgba(200, 200, 200, 255));
        image.setPixel(2, 0, qRgba(240, 240, 240, 255));
        ImageProcess planes(image);

        planes.adjustBrightness(30);
        const QImage result = planes.toImage();

        QCOMPARE(result.pixel(0, 0), qRgba(30, 30, 30, 255));
        QCOMPARE(result.pixel(1, 0), qRgba(230, 230, 230, 255));
        QCOMPARE(result.pixel(2, 0), qRgba(255, 255, 255, 255));
        planes.adjustBrightness(-300);
        QCOMPARE(planes.pixel(2, 0), 0);
    }

    void adjustBrightnessShiftsPalettesOfIndexedImage()
    {
        ImageProcess indexed(8, 2, 1, 7);
        indexed.adjustBrightness(250);
        QCOMPARE(indexed.pixel(0, 0), 7); // indices untouched
        QCOMPARE(int(indexed.redPalette[0]), 250);
        QCOMPARE(int(indexed.greenPalette[7]), 255);
    }

    void adjustBrightnessRebinarisesBinaryImage()
    {
        ImageProcess binary(1, 2, 1, 0);
        binary.setPixel(1, 0, 1);
        binary.adjustBrightness(127); // 0 -> 127 which is not below 127
        QCOMPARE(binary.pixel(0, 0), 1);
        QCOMPARE(int(binary.red[0]), 255);
        binary.adjustBrightness(-200);
        QCOMPARE(binary.pixel(1, 0), 0);
    }

    void thresholdMakesGreyThenBinarises()
    {
        QImage image(3, 1, QImage::Format_RGB32);
        image.setPixel(0, 0, qRgb(255, 127, 0));   // grey 127
        image.setPixel(1, 0, qRgb(128, 128, 129)); // grey 128
        image.setPixel(2, 0, qRgb(255, 0, 130));   // grey 128
        ImageProcess planes(image);

        planes.threshold(128);

        QVERIFY(planes.flags & ImageProcess::Grey);
        QCOMPARE(planes.pixel(0, 0), 0);
        QCOMPARE(planes.pixel(1, 0), 0xffffff);
        QCOMPARE(planes.pixel(2, 0), 0xffffff);
    }

    void thresholdOfIndexedImageGoesThroughPalettes()
    {
        ImageProcess indexed(8, 2, 1, 0);
        indexed.setPixel(1, 0, 1);
        indexed.redPalette[1] = 200;
        indexed.greenPalette[1] = 100;
        indexed.bluePalette[1] = 60; // mean 120
        indexed.redPalette[0] = 255;
        indexed.greenPalette[0] = 255;
        indexed.bluePalette[0] = 255;

        indexed.threshold(121);

        QCOMPARE(indexed.pixel(0, 0), 255);
        QCOMPARE(indexed.pixel(1, 0), 0);
        QCOMPARE(int(indexed.redPalette[1]), 1);
    }

    void histogramCountsPlane()
    {
        ImageProcess image(24, 3, 2, 0x050607);
        image.setPixel(0, 0, 0x090000);
        int bins[256];
        bins[5] = -1;
        image.histogram(bins);
        QCOMPARE(bins[5], 5);
        QCOMPARE(bins[9], 1);
        image.histogram(bins, image.blue);
        QCOMPARE(bins[7], 5);
        QCOMPARE(bins[0], 1);
        QCOMPARE(bins[5], 0);
    }

    void applyLutMapsEveryPlane()
    {
        uchar invert[256];
        for (int i = 0; i < 256; ++i)
            invert[i] = uchar(255 - i);
        ImageProcess image(24, 2, 2, 0x0010ff);

        image.applyLut(invert);
        QCOMPARE(image.pixel(1, 1), 0xffef00);

        image.applyLut(nullptr);
        QCOMPARE(image.pixel(0, 0), 0xffef00);
    }

    void applyLutRebinarisesBinaryImage()
    {
        uchar table[256];
        for (int i = 0; i < 256; ++i)
            table[i] = uchar(i == 255 ? 126 : 127);
        ImageProcess binary(1, 2, 1, 0);
        binary.setPixel(1, 0, 1);
        binary.highValue = 200;
        binary.lowValue = 3;

        binary.applyLut(table);

        QCOMPARE(int(binary.red[0]), 200); // 0 -> 127 > 126
        QCOMPARE(int(binary.red[1]), 3);   // 255 -> 126
    }

    void primitivesSetExpectedPixels_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("expected");

        QTest::newRow("hline half-open") << "hline" << QVariantList{1, 4, 2}
            << ".........|.........|.###.....";
        QTest::newRow("vline half-open") << "vline" << QVariantList{0, 2, 8}
            << "........#|........#|.........";
        QTest::newRow("rect outline") << "rect" << QVariantList{1, 0, 4, 3}
            << ".####....|.#..#....|.####....";
        QTest::newRow("rect zero height draws its two rows") << "rect" << QVariantList{1, 1, 4, 0}
            << ".####....|.####....|.........";
        QTest::newRow("rect zero width draws its two columns") << "rect" << QVariantList{4, 0, 0, 3}
            << ".........|...##....|....#....";
        QTest::newRow("fill rect") << "fillrect" << QVariantList{6, 1, 5, 5}
            << ".........|......###|......###";
        QTest::newRow("line includes both ends") << "line" << QVariantList{0, 0, 4, 2}
            << "##.......|..##.....|....#....";
        QTest::newRow("reversed line is the same") << "line" << QVariantList{4, 2, 0, 0}
            << "##.......|..##.....|....#....";
        QTest::newRow("steep line, tie stays near the start") << "line" << QVariantList{8, 0, 7, 2}
            << "........#|........#|.......#.";
        QTest::newRow("diagonal") << "line" << QVariantList{2, 2, 4, 0}
            << "....#....|...#.....|..#......";
        QTest::newRow("single point line") << "line" << QVariantList{3, 1, 3, 1}
            << ".........|...#.....|.........";
        QTest::newRow("line off the surface is clipped") << "line" << QVariantList{-3, -3, 20, 20}
            << "#........|.#.......|..#......";
        QTest::newRow("circle radius 0 is the centre") << "circle" << QVariantList{4, 1, 0}
            << ".........|....#....|.........";
        QTest::newRow("filled circle radius 0 is empty") << "fillcircle" << QVariantList{4, 1, 0}
            << ".........|.........|.........";
        QTest::newRow("negative radius draws nothing") << "circle" << QVariantList{4, 1, -2}
            << ".........|.........|.........";
        // Extreme arguments neither overflow nor walk beyond the surface.
        QTest::newRow("line over the whole int range") << "line" << QVariantList{INT_MIN, 1, INT_MAX, 1}
            << ".........|#########|.........";
        QTest::newRow("steep line over the whole int range") << "line" << QVariantList{2, INT_MIN, 2, INT_MAX}
            << "..#......|..#......|..#......";
        QTest::newRow("diagonal from far away")
            << "line" << QVariantList{-1000000000, -1000000000, 1000000000, 1000000000}
            << "#........|.#.......|..#......";
        QTest::newRow("huge filled circle") << "fillcircle" << QVariantList{2, 1, INT_MAX}
            << "#########|#########|#########";
        QTest::newRow("huge circle misses the surface") << "circle" << QVariantList{2, 1, 1000000000}
            << ".........|.........|.........";
        QTest::newRow("huge filled ellipse") << "fillellipse" << QVariantList{1, 1, INT_MAX, INT_MAX - 1}
            << "#########|#########|#########";
        QTest::newRow("rectangle over the int range") << "fillrect" << QVariantList{INT_MIN, INT_MIN, INT_MAX, INT_MAX}
            << ".........|.........|.........";
        QTest::newRow("rectangle reaching the surface") << "fillrect" << QVariantList{-5, -5, INT_MAX, 7}
            << "#########|#########|.........";
        QTest::newRow("outline past INT_MAX") << "rect" << QVariantList{2, 1, INT_MAX, INT_MAX}
            << ".........|..#######|..#......";
        QTest::newRow("span of INT_MAX length") << "hline" << QVariantList{INT_MIN, INT_MAX, 2}
            << ".........|.........|#########";
    }

    void primitivesSetExpectedPixels()
    {
        QFETCH(QString, operation);
        QFETCH(QVariantList, args);
        QFETCH(QString, expected);
        ImageProcess surface(8, 9, 3, 0);

        QVERIFY(draw(surface, operation, args));

        QCOMPARE(render(surface), expected);
    }

    void curvesSetExpectedPixels_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("rx");
        QTest::addColumn<int>("ry");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("circle 2") << "circle" << 2 << 2
            << QStringList{".........", ".........", "...###...", "..#...#..", "..#...#..",
                           "..#...#..", "...###...", ".........", "........."};
        QTest::newRow("filled circle 2") << "fillcircle" << 2 << 2
            << QStringList{".........", ".........", "...##....", "..####...", "..####...",
                           "..####...", "...##....", ".........", "........."};
        QTest::newRow("wide ellipse") << "ellipse" << 4 << 2
            << QStringList{".........", ".........", "..#####..", "##.....##", "#.......#",
                           "##.....##", "..#####..", ".........", "........."};
        QTest::newRow("filled wide ellipse") << "fillellipse" << 4 << 2
            << QStringList{".........", ".........", "..####...", "########.", "########.",
                           "########.", "..####...", ".........", "........."};
        QTest::newRow("tall ellipse") << "ellipse" << 2 << 4
            << QStringList{"...###...", "...#.#...", "..#...#..", "..#...#..", "..#...#..",
                           "..#...#..", "..#...#..", "...#.#...", "...###..."};
        QTest::newRow("filled tall ellipse") << "fillellipse" << 2 << 4
            << QStringList{"...##....", "...##....", "..####...", "..####...", "..####...",
                           "..####...", "..####...", "...##....", "...##...."};
        QTest::newRow("ellipse of zero radii is the centre") << "ellipse" << 0 << 0
            << QStringList{".........", ".........", ".........", ".........", "....#....",
                           ".........", ".........", ".........", "........."};
        QTest::newRow("filled ellipse of zero radii is empty") << "fillellipse" << 0 << 0
            << QStringList{".........", ".........", ".........", ".........", ".........",
                           ".........", ".........", ".........", "........."};
    }

    void curvesSetExpectedPixels()
    {
        QFETCH(QString, operation);
        QFETCH(int, rx);
        QFETCH(int, ry);
        QFETCH(QStringList, expected);
        ImageProcess surface(8, 9, 9, 0);

        if (operation == QLatin1String("circle"))
            surface.drawCircle(4, 4, rx, 1);
        else if (operation == QLatin1String("fillcircle"))
            surface.fillCircle(4, 4, rx, 1);
        else if (operation == QLatin1String("ellipse"))
            surface.drawEllipse(4, 4, rx, ry, 1);
        else
            surface.fillEllipse(4, 4, rx, ry, 1);

        QCOMPARE(render(surface), expected.join(QLatin1Char('|')));
    }

    void shapesAcrossTheBorderAreClipped()
    {
        ImageProcess surface(8, 4, 4, 0);
        surface.fillCircle(0, 0, 30, 1);
        surface.drawEllipse(3, 3, 50, 7, 2);
        surface.fillEllipse(-1, 5, 3, 40, 3);
        surface.fillRect(-2, -2, 3, 3, 4);
        QCOMPARE(surface.pixel(0, 0), 4);
        QCOMPARE(surface.pixel(1, 1), 1);
        QCOMPARE(surface.pixel(4, 0), 0);
    }

    void farCentredShapesSetEachPixelOnTheSurfaceOnce_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<int>("pixels");

        // The shapes' edges cross a 10 x 10 surface; their centres lie far off it.
        QTest::newRow("filled circle, top edge") << "fillcircle" << QVariantList{0, 2000000000, 2000000000}
            << 100;
        QTest::newRow("filled wide ellipse, top edge") << "fillellipse"
            << QVariantList{0, 1999975, 3000000, 2000000} << 40;
        QTest::newRow("flat filled ellipse, left end") << "fillellipse" << QVariantList{3000005, 5, 3000000, 2}
            << 5;
        QTest::newRow("flat ellipse, right end") << "ellipse" << QVariantList{-999995, 5, 1000000, 1} << 6;
        QTest::newRow("narrow tall ellipse, top end") << "ellipse" << QVariantList{3, 1000005, 2, 1000000}
            << 5;
    }

    void farCentredShapesSetEachPixelOnTheSurfaceOnce()
    {
        QFETCH(QString, operation);
        QFETCH(QVariantList, args);
        QFETCH(int, pixels);
        CountingSurface surface;

        QVERIFY(draw(surface, operation, args));

        QCOMPARE(surface.pixelsSet(), pixels);
        QCOMPARE(surface.calls, qint64(pixels));
    }

    void floodFillFillsFourConnectedRegion_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("right");

        QTest::newRow("one-pixel column from its top")
            << QStringList{"#.#", "#.#", "#.#"} << 1 << 0
            << QStringList{"###", "###", "###"} << 1;
        QTest::newRow("one-pixel column from its middle reaches the row above")
            << QStringList{"#.#", "#.#", "#.#"} << 1 << 1
            << QStringList{"###", "###", "###"} << 1;
        QTest::newRow("diagonal neighbours are not joined")
            << QStringList{"..#", "##.", "#.."} << 0 << 0
            << QStringList{"###", "##.", "#.."} << 1;
        QTest::newRow("enclosed hole stays")
            << QStringList{".....", ".###.", ".#.#.", ".###.", "....."} << 4 << 4
            << QStringList{"#####", "#####", "##.##", "#####", "#####"} << 4;
        QTest::newRow("winding path upward and downward")
            << QStringList{"......", "#####.", "...#..", ".#.#.#", ".#...#", ".#####"} << 2 << 2
            << QStringList{"######", "######", "######", "######", "######", "######"} << 2;
        QTest::newRow("regions behind walls stay")
            << QStringList{"......", "#####.", "...#..", ".#.###", ".#.#.#", ".#####"} << 2 << 2
            << QStringList{"......", "#####.", "####..", "######", "####.#", "######"} << 2;
    }

    void floodFillFillsFourConnectedRegion()
    {
        QFETCH(QStringList, rows);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(QStringList, expected);
        QFETCH(int, right);
        ImageProcess surface = fromRows(rows);

        QCOMPARE(surface.floodFill(x, y, 1), right);

        QCOMPARE(render(surface), expected.join(QLatin1Char('|')));
    }

    void floodFillSpanFillsTheRegionAndReturnsTheSpanEnd_data()
    {
        QTest::addColumn<QList<int>>("args"); // x, y, dy, prevLeft, prevRight
        QTest::addColumn<int>("right");
        // The region ".." on row 1 joins the column below it; "#" are walls.
        QTest::newRow("downward from the left") << QList<int>{1, 1, 1, 1, 1} << 2;
        QTest::newRow("upward, previous span given") << QList<int>{2, 1, -1, 0, 3} << 2;
        QTest::newRow("previous span elsewhere") << QList<int>{1, 3, 1, 3, 3} << 1;
    }

    void floodFillSpanFillsTheRegionAndReturnsTheSpanEnd()
    {
        QFETCH(QList<int>, args);
        QFETCH(int, right);
        ImageProcess surface = fromRows({"####", "#..#", "#.##", "#.##", "####"});

        QCOMPARE(surface.floodFillSpan(args[0], args[1], args[2], args[3], args[4], 5), right);

        int filled = 0;
        for (int y = 0; y < surface.height; ++y)
            for (int x = 0; x < surface.width; ++x)
                filled += surface.pixel(unsigned(x), unsigned(y)) == 5;
        QCOMPARE(filled, 4);
        QCOMPARE(surface.pixel(1, 3), 5);
        QCOMPARE(surface.pixel(2, 1), 5);
    }

    void surfaceWithOnlyTheAccessorsDrawsAndFills()
    {
        TinySurface surface;
        surface.cells[0][2] = surface.cells[1][2] = 7;

        surface.drawLine(0, 2, 3, 2, 1);
        const int right = surface.floodFill(0, 0, 5);

        QCOMPARE(right, 1);
        QCOMPARE(surface.rows(), QStringLiteral("###.|###.|####"));
        QCOMPARE(surface.cells[0][0], 5);
        QCOMPARE(surface.cells[0][3], 0);
    }

    void negativeSamplesReadWithoutOverflow()
    {
        ImageProcessFloat surface(24, 1, 1, 0);
        surface.red[0] = -1.0f;
        surface.green[0] = -2.0f;
        surface.blue[0] = 3.0f;
        QCOMPARE(surface.pixel(0, 0), 0xff0000 | 0xfe00 | 3);
        ImageProcess binary(1, 1, 1, INT_MIN);
        QCOMPARE(int(binary.red[0]), 0);
    }

    void floodFillThatChangesNothingReturnsAtOnce_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("value");
        QTest::newRow("value equals seed") << 8 << 0 << 0;
        QTest::newRow("value reads back as seed (alpha bits)") << 24 << 0 << int(0xff000000u);
        QTest::newRow("start outside the surface") << 8 << 7 << 1;
        QTest::newRow("start at negative x") << 8 << -1 << 1;
    }

    void floodFillThatChangesNothingReturnsAtOnce()
    {
        QFETCH(int, depth);
        QFETCH(int, x);
        QFETCH(int, value);
        ImageProcess surface(depth, 5, 5, 0);
        QCOMPARE(surface.floodFill(x, 2, value), -1);
        QCOMPARE(surface.pixel(0, 2), 0);
        QCOMPARE(surface.pixel(4, 4), 0);
    }

    void floodFillOfLargeSerpentineNeedsNoDeepRecursion()
    {
        // Columns joined alternately at the top and the bottom: a single path
        // of about 190,000 pixels that a recursive fill would follow span by span.
        const int size = 600;
        ImageProcess surface(8, size, size, 0);
        for (int x = 1; x < size; x += 2) {
            const bool gapAtBottom = (x / 2) % 2 == 0;
            surface.drawVLine(gapAtBottom ? 0 : 1, gapAtBottom ? size - 1 : size, x, 9);
        }

        surface.floodFill(0, 0, 5);

        int filled = 0;
        int untouched = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int v = surface.pixel(unsigned(x), unsigned(y));
                filled += v == 5;
                untouched += v == 0;
            }
        QCOMPARE(untouched, 0);
        QCOMPARE(filled, size * size - (size / 2) * (size - 1));
    }
};

GLYPH_TEST_MAIN(TestImageProcess)
#include "tst_imageprocess.moc"
