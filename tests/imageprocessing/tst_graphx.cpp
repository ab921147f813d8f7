#include "graphx.h"
#include "testmain.h"

#include <climits>
#include <functional>
#include <numeric>

using namespace MGraphX;

// Registered under a plain name: the meta-type system wants a normalized one.
using GraphXOperation = std::function<QImage(const QImage &)>;
Q_DECLARE_METATYPE(GraphXOperation)

namespace {

using Operation = GraphXOperation;

QImage onePixel(QRgb pixel, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(1, 1, format);
    image.setPixel(0, 0, pixel);
    return image;
}

QImage filled(int width, int height, QRgb pixel, QImage::Format format = QImage::Format_ARGB32)
{
    QImage image(width, height, format);
    image.fill(pixel);
    return image;
}

// A one-row image of opaque greys.
QImage greyRow(const QVector<int> &values)
{
    QImage image(values.size(), 1, QImage::Format_ARGB32);
    for (int x = 0; x < values.size(); ++x)
        image.setPixel(x, 0, qRgb(values[x], values[x], values[x]));
    return image;
}

QVector<int> redsOf(const QImage &image)
{
    QVector<int> reds;
    for (int x = 0; x < image.width(); ++x)
        reds << qRed(image.pixel(x, 0));
    return reds;
}

} // namespace

class TestGraphX : public QObject
{
    Q_OBJECT

private slots:
    void perPixelOperations_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QRgb>("input");
        QTest::addColumn<QRgb>("expected");

        QTest::newRow("grey") << Operation([](const QImage &i) { return GraphX::toGray(i); })
                              << qRgba(16, 32, 48, 255) << qRgba(32, 32, 32, 255);
        QTest::newRow("grey truncates, keeps alpha")
            << Operation([](const QImage &i) { return GraphX::toGray(i); })
            << qRgba(1, 1, 0, 77) << qRgba(0, 0, 0, 77);
        QTest::newRow("threshold 128")
            << Operation([](const QImage &i) { return GraphX::threshold(i, 128); })
            << qRgba(255, 127, 128, 128) << qRgba(255, 0, 255, 128);
        QTest::newRow("invert keeps alpha")
            << Operation([](const QImage &i) { return GraphX::invert(i); })
            << qRgba(10, 20, 30, 40) << qRgba(245, 235, 225, 40);
        QTest::newRow("swap red blue")
            << Operation([](const QImage &i) { return GraphX::swapRedBlue(i); })
            << qRgba(10, 20, 30, 40) << qRgba(30, 20, 10, 40);
        QTest::newRow("swap red green")
            << Operation([](const QImage &i) { return GraphX::swapRedGreen(i); })
            << qRgba(10, 20, 30, 40) << qRgba(20, 10, 30, 40);
        QTest::newRow("swap green blue")
            << Operation([](const QImage &i) { return GraphX::swapGreenBlue(i); })
            << qRgba(10, 20, 30, 40) << qRgba(10, 30, 20, 40);
        QTest::newRow("brightness contrast clamps and truncates")
            << Operation([](const QImage &i) { return GraphX::brightnessContrast(i, 10, 50); })
            << qRgba(200, 100, 50, 9) << qRgba(255, 153, 83, 9);
        QTest::newRow("brightness contrast -127 blackens")
            << Operation([](const QImage &i) { return GraphX::brightnessContrast(i, 100, -127); })
            << qRgba(200, 100, 50, 9) << qRgba(0, 0, 0, 9);
        QTest::newRow("contrast INT_MAX saturates")
            << Operation([](const QImage &i) { return GraphX::brightnessContrast(i, 0, INT_MAX); })
            << qRgba(200, 1, 0, 9) << qRgba(255, 255, 0, 9);
        QTest::newRow("saturation 1.5")
            << Operation([](const QImage &i) { return GraphX::saturation(i, 1.5f); })
            << qRgba(200, 100, 50, 128) << qRgba(232, 82, 7, 128);
        QTest::newRow("saturation 4 clamps")
            << Operation([](const QImage &i) { return GraphX::saturation(i, 4.0f); })
            << qRgba(200, 100, 50, 128) << qRgba(255, 0, 0, 128);
        QTest::newRow("brightness contrast saturation")
            << Operation([](const QImage &i) { return GraphX::brightnessContrastSaturation(i, 10, 20, 0.5f); })
            << qRgba(200, 100, 50, 3) << qRgba(205, 147, 118, 3);
        QTest::newRow("colour balance")
            << Operation([](const QImage &i) { return GraphX::colorBalance(i, 127, 254, 0); })
            << qRgba(100, 100, 100, 50) << qRgba(100, 200, 0, 50);
        QTest::newRow("brightness percent")
            << Operation([](const QImage &i) { return GraphX::brightness(i, 50); })
            << qRgba(100, 51, 3, 9) << qRgba(50, 25, 1, 9);
    }

    void perPixelOperations()
    {
        QFETCH(Operation, operation);
        QFETCH(QRgb, input);
        QFETCH(QRgb, expected);
        // Two rows of different pixels; the second must pass unchanged in shape.
        QImage image(3, 2, QImage::Format_ARGB32);
        image.fill(input);
        const QImage before = image.copy();

        const QImage result = operation(image);

        QCOMPARE(result.size(), image.size());
        QCOMPARE(result.pixel(0, 0), expected);
        QCOMPARE(result.pixel(2, 1), expected);
        QCOMPARE(image, before);
        QVERIFY(operation(QImage()).isNull());
        // Another byte order is read as colours, not as 0xAARRGGBB words.
        const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
        QCOMPARE(operation(rgba).pixel(1, 1), expected);
    }

    void posterizeSnapsToNearerLevel_data()
    {
        QTest::addColumn<QVector<int>>("levels");
        QTest::addColumn<QVector<int>>("input");
        QTest::addColumn<QVector<int>>("expected");

        QTest::newRow("0, 128, 255") << QVector<int>{0, 128, 255} << QVector<int>{0, 63, 64, 200, 255}
                                     << QVector<int>{0, 0, 128, 255, 255};
        QTest::newRow("inner levels, ties go up") << QVector<int>{50, 150}
                                                  << QVector<int>{10, 50, 99, 100, 151, 200}
                                                  << QVector<int>{0, 50, 50, 150, 255, 255};
        QTest::newRow("one level") << QVector<int>{100} << QVector<int>{99, 100, 101}
                                   << QVector<int>{0, 100, 255};
        QTest::newRow("no levels keeps") << QVector<int>{} << QVector<int>{0, 7, 255}
                                         << QVector<int>{0, 7, 255};
        QTest::newRow("levels at the ends of int") << QVector<int>{INT_MIN, 200, INT_MAX}
                                                   << QVector<int>{0, 100, 201}
                                                   << QVector<int>{200, 200, 200};
    }

    void posterizeSnapsToNearerLevel()
    {
        QFETCH(QVector<int>, levels);
        QFETCH(QVector<int>, input);
        QFETCH(QVector<int>, expected);
        QCOMPARE(redsOf(GraphX::posterize(greyRow(input), levels)), expected);
    }

    void levelOperations_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QVector<int>>("input");
        QTest::addColumn<QVector<int>>("expected");

        QTest::newRow("output 10/10") << Operation([](const QImage &i) { return GraphX::levelsOutput(i, 10, 10); })
                                      << QVector<int>{0, 128, 255} << QVector<int>{10, 127, 244};
        QTest::newRow("input 20/35") << Operation([](const QImage &i) { return GraphX::levelsInput(i, 20, 35); })
                                     << QVector<int>{10, 20, 120, 219, 220}
                                     << QVector<int>{0, 0, 128, 254, 255};
        QTest::newRow("input with negative low") << Operation([](const QImage &i) { return GraphX::levelsInput(i, -10, 0); })
                                                 << QVector<int>{0, 245, 255} << QVector<int>{9, 246, 255};
        QTest::newRow("levels 10") << Operation([](const QImage &i) { return GraphX::levels(i, 10); })
                                   << QVector<int>{0, 255} << QVector<int>{0, 254};
        QTest::newRow("auto without clipping") << Operation([](const QImage &i) { return GraphX::autoLevels(i, 0, 0); })
                                               << QVector<int>{0, 50, 100, 200}
                                               << QVector<int>{0, 64, 128, 255};
        QTest::newRow("auto clipping a quarter each end")
            << Operation([](const QImage &i) { return GraphX::autoLevels(i, 50, 50); })
            << QVector<int>{0, 50, 100, 200} << QVector<int>{0, 0, 255, 255};
        QTest::newRow("auto ramp is exact") << Operation([](const QImage &i) { return GraphX::autoLevels(i, 0, 0); })
                                            << QVector<int>{0, 49, 98} << QVector<int>{0, 128, 255};
        QTest::newRow("input with INT_MIN low") << Operation([](const QImage &i) { return GraphX::levelsInput(i, INT_MIN, 0); })
                                                << QVector<int>{0, 128, 254} << QVector<int>{255, 255, 255};
        QTest::newRow("input with INT_MIN cut") << Operation([](const QImage &i) { return GraphX::levelsInput(i, 0, INT_MIN); })
                                                << QVector<int>{0, 128, 255} << QVector<int>{0, 0, 0};
        QTest::newRow("auto on a uniform image") << Operation([](const QImage &i) { return GraphX::autoLevels(i, 0, 0); })
                                                 << QVector<int>{100, 100} << QVector<int>{255, 255};
    }

    void levelOperations()
    {
        QFETCH(Operation, operation);
        QFETCH(QVector<int>, input);
        QFETCH(QVector<int>, expected);
        QImage image = greyRow(input);
        image.setPixel(0, 0, (image.pixel(0, 0) & 0x00ffffffu) | 0x40000000u);

        const QImage result = operation(image);

        QCOMPARE(result.format(), QImage::Format_ARGB32);
        QCOMPARE(redsOf(result), expected);
        QCOMPARE(qAlpha(result.pixel(0, 0)), 255); // level results are opaque
        QVERIFY(operation(QImage()).isNull());
    }

    // trunc(256 (v - low) / (high - low)) for every low < high in 0..255.
    void levelsInputRampIsExactForEveryPair()
    {
        QVector<int> ramp(256);
        std::iota(ramp.begin(), ramp.end(), 0);
        const QImage image = greyRow(ramp);
        for (int low = 0; low < 256; ++low) {
            for (int high = low + 1; high < 256; ++high) {
                const QImage result = GraphX::levelsInput(image, low, 255 - high);
                const uchar *line = result.constScanLine(0);
                for (int v = low; v < high; ++v) {
                    if (line[4 * v] != 256 * (v - low) / (high - low))
                        QFAIL(qPrintable(QString("low %1 high %2 v %3: %4").arg(low).arg(high).arg(v).arg(line[4 * v])));
                }
            }
        }
    }

    void invertTurnsTheColoursOfAnyFormat_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("indexed") << int(QImage::Format_Indexed8);
        QTest::newRow("grey") << int(QImage::Format_Grayscale8);
        QTest::newRow("16-bit") << int(QImage::Format_RGB16);
        QTest::newRow("premultiplied") << int(QImage::Format_ARGB32_Premultiplied);
    }

    void invertTurnsTheColoursOfAnyFormat()
    {
        QFETCH(int, format);
        QImage image = greyRow({0, 8, 128, 255}).convertToFormat(QImage::Format(format));

        const QImage result = GraphX::invert(image);

        QCOMPARE(result.size(), image.size());
        for (int x = 0; x < image.width(); ++x) {
            const QRgb in = image.pixel(x, 0), out = result.pixel(x, 0);
            QCOMPARE(out, qRgba(255 - qRed(in), 255 - qGreen(in), 255 - qBlue(in), qAlpha(in)));
        }
    }

    void replaceHueRetintsNearbyHuesOnly()
    {
        QImage image(4, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0, 0, 255, 255));
        image.setPixel(1, 0, qRgba(0, 255, 0, 200));
        image.setPixel(2, 0, qRgba(0, 0, 255, 128));
        image.setPixel(3, 0, qRgba(128, 128, 128, 255));

        const QImage result = GraphX::replaceHue(image, Qt::blue, Qt::red);

        QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
        const QImage straight = result.convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(straight.pixel(0, 0), qRgba(255, 0, 0, 255));
        QCOMPARE(straight.pixel(1, 0), qRgba(0, 255, 0, 200));
        QCOMPARE(straight.pixel(2, 0), qRgba(255, 0, 0, 128));
        QCOMPARE(straight.pixel(3, 0), qRgba(128, 128, 128, 255));
        QVERIFY(GraphX::replaceHue(QImage(), Qt::blue, Qt::red).isNull());
    }

    void replaceHueWrapsModulo359AndScales()
    {
        QCOMPARE(QColor::fromHsv(238, 255, 255).hsvHue(), 238);
        const QImage image = onePixel(QColor::fromHsv(238, 255, 255).rgba());

        const QImage wrapped = GraphX::replaceHue(image, QColor::fromHsv(240, 255, 255),
                                                  QColor::fromHsv(358, 255, 255));
        // (238 - 240 + 358 + 359) mod 359 = 356
        QCOMPARE(wrapped.pixel(0, 0), QColor::fromHsv(356, 255, 255).rgba());

        const QImage scaled = GraphX::replaceHue(onePixel(QColor::fromHsv(240, 128, 128).rgba()),
                                                 QColor::fromHsv(240, 255, 255),
                                                 QColor::fromHsv(0, 128, 200));
        int h, s, v;
        QColor::fromRgb(scaled.pixel(0, 0)).getHsv(&h, &s, &v);
        QCOMPARE(h, 0);
        QVERIFY(qAbs(s - 64) <= 1); // 128 * 128 / 255, through 8-bit RGB
        QCOMPARE(v, 100);           // 128 * 200 / 255
    }

    void edgeDetectOfFlatImageIsBlack()
    {
        const QImage result = GraphX::edgeDetect(filled(6, 5, qRgba(90, 40, 200, 30)));

        QCOMPARE(result.size(), QSize(6, 5));
        QCOMPARE(result.format(), QImage::Format_ARGB32);
        for (int y = 1; y <= 2; ++y)
            for (int x = 1; x <= 3; ++x)
                QCOMPARE(result.pixel(x, y), qRgba(0, 0, 0, 255));
        QCOMPARE(result.pixel(0, 0), qRgba(0, 0, 0, 0));
        QCOMPARE(result.pixel(4, 3), qRgba(0, 0, 0, 0));
    }

    void edgeDetectMarksAnImpulse()
    {
        QImage image = filled(5, 5, qRgb(0, 0, 0));
        image.setPixel(2, 2, qRgb(90, 45, 200));

        const QImage result = GraphX::edgeDetect(image);

        QCOMPARE(result.pixel(2, 2), qRgba(80, 40, 177, 255)); // 8 * c / 9
        QCOMPARE(result.pixel(1, 2), qRgba(0, 0, 0, 255));     // negative becomes 0
        QCOMPARE(result.pixel(1, 1), qRgba(0, 0, 0, 255));
        QVERIFY(GraphX::edgeDetect(QImage()).isNull());
        QCOMPARE(GraphX::edgeDetect(filled(3, 3, qRgb(9, 9, 9))).pixel(1, 1), qRgba(0, 0, 0, 0));
    }

    void edgeDetectReadsPremultipliedWordsAsStored()
    {
        // A lone pixel stored as 0x80402010: its colour bytes are taken as they are.
        QImage impulse(5, 5, QImage::Format_ARGB32_Premultiplied);
        impulse.fill(0);
        impulse.setPixel(2, 2, 0x80402010);
        QImage picture(6, 6, QImage::Format_ARGB32);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                picture.setPixel(x, y, qRgba(40 * x, 255 - 30 * y, 90, 60 + 30 * ((x + y) % 4)));
        const QImage premultiplied = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);

        const QImage result = GraphX::edgeDetect(premultiplied);

        QCOMPARE(GraphX::edgeDetect(impulse).pixel(2, 2), qRgba(56, 28, 14, 255)); // 8 * c / 9
        QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
        // The same words read as straight colours give the same pixels.
        QImage words = premultiplied;
        words.reinterpretAsFormat(QImage::Format_ARGB32);
        const QImage reference = GraphX::edgeDetect(words);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                QCOMPARE(result.pixel(x, y), reference.pixel(x, y));
    }

    void alphaOnlyBlurKeepsColoursWithinAlpha()
    {
        QImage image(8, 1, QImage::Format_ARGB32_Premultiplied);
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, 0, x % 2 ? qRgba(255, 128, 0, 255) : qRgba(0, 0, 0, 0));

        const QImage result = GraphX::blurRect(image, image.rect(), 10, true);

        const QRgb *line = reinterpret_cast<const QRgb *>(result.constScanLine(0));
        int lowered = 0;
        for (int x = 0; x < 8; ++x) {
            const int a = qAlpha(line[x]);
            QVERIFY2(qRed(line[x]) <= a && qGreen(line[x]) <= a && qBlue(line[x]) <= a, qPrintable(QString::number(x)));
            lowered += x % 2 && a < 255;
        }
        QVERIFY(lowered > 0);
    }

    // The note canvas blurs with radius 10: weight 3, steps truncated toward zero.
    void blurRectAtTheCanvasRadius()
    {
        const QImage result = GraphX::blurRect(greyRow({0, 200, 0, 200, 200}), QRect(0, 0, 5, 1), 10, false);

        QCOMPARE(redsOf(result), (QVector<int>{54, 66, 73, 83, 88}));
    }

    void blurRectBlendsAlongTheLine_data()
    {
        QTest::addColumn<int>("radius");
        QTest::addColumn<QVector<int>>("expected");
        QTest::newRow("radius 0 keeps") << 0 << QVector<int>{0, 160, 0};
        QTest::newRow("negative radius keeps") << -4 << QVector<int>{0, 160, 0};
        QTest::newRow("radius 17, weight 2") << 17 << QVector<int>{15, 17, 17};
        QTest::newRow("radius 18 and above, weight 1") << 100 << QVector<int>{8, 9, 9};
        QTest::newRow("radius 1, weight 14") << 1 << QVector<int>{15, 124, 17};
    }

    void blurRectBlendsAlongTheLine()
    {
        QFETCH(int, radius);
        QFETCH(QVector<int>, expected);

        const QImage result = GraphX::blurRect(greyRow({0, 160, 0}), QRect(0, 0, 3, 1), radius, false);

        QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(redsOf(result), expected);
        QCOMPARE(qAlpha(result.pixel(0, 0)), 255);
    }

    void blurRectOfUniformImageIsUniform()
    {
        const QImage image = filled(9, 7, qRgba(120, 60, 30, 255));
        const QImage result = GraphX::blurRect(image, QRect(-5, -5, 100, 100), 10, false);
        QCOMPARE(result, image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void blurRectStaysInsideRectangle()
    {
        QImage image(6, 6, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                image.setPixel(x, y, (x + y) % 2 ? qRgba(200, 200, 200, 200) : qRgba(0, 0, 0, 0));

        // A reversed rectangle is normalised.
        const QImage result = GraphX::blurRect(image, QRect(QPoint(4, 4), QPoint(1, 1)), 3, true);

        int changed = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                const QRgb before = image.pixel(x, y);
                const QRgb after = result.pixel(x, y);
                const bool inside = x >= 1 && x <= 4 && y >= 1 && y <= 4;
                if (!inside)
                    QCOMPARE(after, before);
                // alphaOnly: the straight colour stays, within the rounding of
                // premultiplied bytes; transparent pixels gain alpha as black
                const QRgb was = qUnpremultiply(before), now = qUnpremultiply(after);
                for (int shift = 0; shift <= 16; shift += 8) {
                    const int expected = qAlpha(before) ? int((was >> shift) & 0xff) : 0;
                    QVERIFY(qAbs(int((now >> shift) & 0xff) - expected) <= 2);
                }
                changed += after != before;
            }
        QVERIFY(changed > 0);

        const QImage outside = GraphX::blurRect(image, QRect(20, 20, 5, 5), 3, false);
        QCOMPARE(outside, image);
        QVERIFY(GraphX::blurRect(QImage(), QRect(0, 0, 1, 1), 3, false).isNull());
    }

    void midRangeOfFourValues_data()
    {
        QTest::addColumn<QVector<int>>("values");
        QTest::addColumn<int>("expected");
        QTest::newRow("positive") << QVector<int>{1, 9, 5, 3} << 5;
        QTest::newRow("negative truncates toward zero") << QVector<int>{-3, -8, 2, 0} << -3;
        QTest::newRow("extremes do not overflow") << QVector<int>{INT_MAX, INT_MAX, 0, INT_MAX} << INT_MAX / 2;
    }

    void midRangeOfFourValues()
    {
        QFETCH(QVector<int>, values);
        QFETCH(int, expected);
        QCOMPARE(GraphX::midRange(values[0], values[1], values[2], values[3]), expected);
    }
};

GLYPH_TEST_MAIN(TestGraphX)
#include "tst_graphx.moc"
