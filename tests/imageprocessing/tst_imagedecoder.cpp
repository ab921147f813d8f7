#include "imagedecoder.h"
#include "picturebytes.h"
#include "pngbytes.h"
#include "testmain.h"

#include <QBuffer>
#include <QColorSpace>

using MGraphX::ImageDecoder;

Q_DECLARE_METATYPE(ImageDecoder::Outcome)

namespace {

QByteArray jpegOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// The JPEG with the ICC profile of the colour space inserted after its start
// marker (Qt writes none for a grey picture).
QByteArray withProfile(QByteArray jpeg, const QColorSpace &colorSpace)
{
    const QByteArray data = QByteArray("ICC_PROFILE\0\1\1", 14) + colorSpace.iccProfile();
    const int length = data.size() + 2;
    return jpeg.insert(2, QByteArray("\xff\xe2", 2) + char(length >> 8) + char(length & 0xff) + data);
}

QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, 128));
    return image;
}

// An 11 x 5 picture of 16-bit samples (channels 1 or 3) whose every third
// pixel is the colour key, and whose other pixels differ from it in one
// sample's low byte at least; with the picture each pixel should decode to.
struct KeyedPicture
{
    QVector<quint16> samples;
    QVector<quint16> key;
    QImage expected;
};

KeyedPicture keyedPicture(int channels)
{
    KeyedPicture picture;
    picture.key = channels == 3 ? QVector<quint16>{0x1234, 0xabcd, 0x0f0f} : QVector<quint16>{0x8421};
    picture.expected = QImage(11, 5, QImage::Format_RGBA64);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 11; ++x) {
            const int n = y * 11 + x;
            QVector<quint16> pixel = picture.key;
            if (n % 3 == 1)
                pixel.last() ^= 0x0001; // the key but for the lowest bit
            else if (n % 3 == 2)
                for (int c = 0; c < channels; ++c)
                    pixel[c] = quint16(n * 1201 + c * 20011);
            picture.samples += pixel;
            const quint16 alpha = pixel == picture.key ? 0 : 0xffff;
            picture.expected.setPixelColor(x, y, QColor(QRgba64::fromRgba64(pixel.first(), pixel.at(channels / 2),
                                                                          pixel.last(), alpha)));
        }
    return picture;
}

// The picture as shown by its EXIF orientation: where each stored pixel
// (x, y) of a w x h picture lands, by the definitions of the eight values.
QImage shownAs(const QImage &stored, int orientation)
{
    const int w = stored.width();
    const int h = stored.height();
    const bool quarter = orientation >= 5;
    QImage shown(quarter ? h : w, quarter ? w : h, stored.format());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QPoint to[] = {{x, y}, {w - 1 - x, y}, {w - 1 - x, h - 1 - y}, {x, h - 1 - y},
                                 {y, x}, {h - 1 - y, x}, {h - 1 - y, w - 1 - x}, {y, w - 1 - x}};
            shown.setPixel(to[orientation - 1], stored.pixel(x, y));
        }
    return shown;
}

QByteArray bmpOf(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

// A 4 x 4 run-length bitmap of two colours, red (0) and blue (1), whose data
// gives its bottom row in blue and then ends, without the size of its data
// in its header: the other rows are never written.
QByteArray shortRunLengthBmp()
{
    QByteArray bytes = PictureBytes::bmp(4, 4, 8, false).left(54);
    bytes[30] = 1; // run-length coded 8 bits a pixel
    bytes.replace(34, 4, QByteArray(4, '\0')); // the size of the data not given
    bytes[46] = 2; // colours used
    bytes += QByteArray("\0\0\xff\0\xff\0\0\0", 8) + QByteArray("\x04\x01\0\0", 4);
    bytes.replace(10, 4, QByteArray("\x3e\0\0\0", 4)); // the data at 62
    return bytes;
}

} // namespace

class TestImageDecoder : public QObject
{
    Q_OBJECT

private slots:
    // Run with a perturbed heap (MALLOC_PERTURB_), so that reading memory the
    // decoder never wrote shows.
    void damagedAndMislabelledPicturesAreRefusedOrDecodedExactly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("label");
        QTest::addColumn<ImageDecoder::Outcome>("outcome");
        QTest::addColumn<QImage>("expected"); // null for a refusal

        const QByteArray jpeg = jpegOf(gradient(64, 48));
        const int tables = jpeg.indexOf("\xff\xc4");
        const int data = jpeg.indexOf("\xff\xda");
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        gradient(8, 8).save(&buffer, "PNG");
        QByteArray badTable = jpeg;
        badTable.replace(tables + 5, 16, QByteArray(16, '\xff')); // codes far beyond 16 bits

        QTest::newRow("jpeg cut in its first segments") << jpeg.left(120) << QByteArray() << ImageDecoder::NotAPicture
                                                        << QImage();
        QTest::newRow("jpeg cut in its code tables") << jpeg.left(tables + 10) << QByteArray()
                                                     << ImageDecoder::NotAPicture << QImage();
        QTest::newRow("jpeg cut before its picture data") << jpeg.left(data) << QByteArray()
                                                          << ImageDecoder::NotAPicture << QImage();
        const QByteArray half = jpeg.left(data + (jpeg.size() - data) / 2);
        QTest::newRow("jpeg cut in its picture data, shown as far as it decodes")
            << half << QByteArray() << ImageDecoder::Taken << QImage::fromData(half, "JPEG");
        QTest::newRow("jpeg start then zeros") << QByteArray("\xff\xd8", 2) + QByteArray(100, '\0') << QByteArray()
                                               << ImageDecoder::NotAPicture << QImage();
        QTest::newRow("jpeg start then text") << QByteArray("\xff\xd8\xff\xe0hello world not jpeg") << QByteArray()
                                              << ImageDecoder::NotAPicture << QImage();
        QTest::newRow("jpeg with a damaged code table") << badTable << QByteArray() << ImageDecoder::NotAPicture
                                                        << QImage();
        QTest::newRow("png labelled jpeg") << png << QByteArray("jpeg") << ImageDecoder::NotAPicture << QImage();
        QTest::newRow("png labelled jpg") << png << QByteArray("jpg") << ImageDecoder::NotAPicture << QImage();
        QTest::newRow("text labelled jpeg") << QByteArray("this is not a picture\n") << QByteArray("jpeg")
                                            << ImageDecoder::NotAPicture << QImage();
        // Qt's decoder takes these and leaves the rows it lacks unwritten:
        // refused by the headers.
        const QByteArray bmp = bmpOf(gradient(13, 7));
        QTest::newRow("bmp whole") << bmp << QByteArray() << ImageDecoder::Taken << gradient(13, 7);
        QTest::newRow("bmp cut short by one byte") << bmp.left(bmp.size() - 1) << QByteArray()
                                                   << ImageDecoder::NotAPicture << QImage();
        const QByteArray mono = PictureBytes::bmp(64, 32, 1, false);
        QTest::newRow("1-bit bmp cut at half") << mono.left(mono.size() / 2) << QByteArray()
                                               << ImageDecoder::NotAPicture << QImage();
        const QByteArray core = PictureBytes::bmp(13, 7, 4, true);
        QTest::newRow("4-bit bmp of the core header cut at 90 %") << core.left(core.size() * 9 / 10) << QByteArray("bmp")
                                                                  << ImageDecoder::NotAPicture << QImage();
        // What a decoder leaves unwritten is the fill of the picture it
        // decodes into: colour 0 here.
        QImage shortRle(4, 4, QImage::Format_RGB32);
        shortRle.fill(qRgb(255, 0, 0));
        for (int x = 0; x < 4; ++x)
            shortRle.setPixel(x, 3, qRgb(0, 0, 255));
        QTest::newRow("run-length bmp whose data ends early") << shortRunLengthBmp() << QByteArray()
                                                               << ImageDecoder::Taken << shortRle;
    }

    void damagedAndMislabelledPicturesAreRefusedOrDecodedExactly()
    {
        // arrange
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, label);
        QFETCH(ImageDecoder::Outcome, outcome);
        QFETCH(QImage, expected);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ImageDecoder::Outcome why = ImageDecoder::NotAFile;

        // act
        const QImage image = ImageDecoder::decode(&buffer, label, false, &why);

        // assert
        QCOMPARE(why, outcome);
        QCOMPARE(image.isNull(), expected.isNull());
        QCOMPARE(image.convertToFormat(QImage::Format_ARGB32), expected.convertToFormat(QImage::Format_ARGB32));
    }

    // Refused from the headers alone, and the reason told: over the pixel cap,
    // or within it but too costly to decode.
    void picturesOverTheBudgetAreRefusedWithTheReason_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ImageDecoder::Outcome>("outcome");

        QTest::newRow("gif screen one row over the pixel cap") << PictureBytes::gifOnScreen(10000, 10001)
                                                               << ImageDecoder::TooLarge;
        QTest::newRow("png one row over the pixel cap")
            << PngBytes::header(10000, 10001) + PngBytes::chunk("IEND", QByteArray()) << ImageDecoder::TooLarge;
        QTest::newRow("16-bit png within the pixel cap, over the memory") << PngBytes::zeros(7100, 7100, 16, 6)
                                                                          << ImageDecoder::TooCostly;
        QTest::newRow("jpeg of 100 x 100 pixels in 65 scans") << PictureBytes::jpeg(100, 100, 1, 65, true)
                                                              << ImageDecoder::TooCostly;
    }

    void picturesOverTheBudgetAreRefusedWithTheReason()
    {
        // arrange
        QFETCH(QByteArray, bytes);
        QFETCH(ImageDecoder::Outcome, outcome);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ImageDecoder::Outcome why = ImageDecoder::Taken;

        // act
        const QImage image = ImageDecoder::decode(&buffer, QByteArray(), false, &why);

        // assert
        QCOMPARE(why, outcome);
        QVERIFY(image.isNull());
    }

    // Run with a perturbed heap too: a line the decoder left unwritten differs.
    void sixteenBitPngsWithATransparentColourDecodeToExactSamplesAndAlpha_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");

        const KeyedPicture rgb = keyedPicture(3);
        const KeyedPicture grey = keyedPicture(1);
        QTest::newRow("rgb") << PngBytes::sixteenBit(11, 5, 2, rgb.samples, false, rgb.key) << rgb.expected;
        QTest::newRow("rgb interlaced") << PngBytes::sixteenBit(11, 5, 2, rgb.samples, true, rgb.key)
                                        << rgb.expected;
        QTest::newRow("grey") << PngBytes::sixteenBit(11, 5, 0, grey.samples, false, grey.key) << grey.expected;
        QTest::newRow("grey interlaced") << PngBytes::sixteenBit(11, 5, 0, grey.samples, true, grey.key)
                                         << grey.expected;
        // A second transparent colour, that of pixel 2, is ignored.
        QByteArray twoKeys = PngBytes::sixteenBit(11, 5, 2, rgb.samples, false, rgb.key);
        const QVector<quint16> second = rgb.samples.mid(2 * 3, 3);
        QByteArray secondKey;
        for (quint16 sample : second)
            secondKey += char(sample >> 8) + QByteArray(1, char(sample & 0xff));
        twoKeys.insert(twoKeys.indexOf("tRNS") + 4 + 6 + 4, PngBytes::chunk("tRNS", secondKey));
        QTest::newRow("rgb with a second transparent colour") << twoKeys << rgb.expected;
        // The first entry of an icon or cursor decodes as the PNG alone.
        QTest::newRow("rgb in an icon") << PictureBytes::icoHolding(PngBytes::sixteenBit(11, 5, 2, rgb.samples, false,
                                                                                         rgb.key))
                                        << rgb.expected;
        QByteArray cursor = PictureBytes::icoHolding(PngBytes::sixteenBit(11, 5, 2, rgb.samples, true, rgb.key));
        cursor[2] = 2;
        QTest::newRow("rgb interlaced in a cursor") << cursor << rgb.expected;
    }

    void sixteenBitPngsWithATransparentColourDecodeToExactSamplesAndAlpha()
    {
        // arrange
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ImageDecoder::Outcome why = ImageDecoder::NotAFile;

        // act
        const QImage image = ImageDecoder::decode(&buffer, QByteArray(), false, &why);

        // assert
        QCOMPARE(why, ImageDecoder::Taken);
        QCOMPARE(image.format(), QImage::Format_RGBA64);
        QCOMPARE(image.size(), expected.size());
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const QRgba64 pixel = image.pixelColor(x, y).rgba64();
                const QRgba64 want = expected.pixelColor(x, y).rgba64();
                QVERIFY2(pixel == want, qPrintable(QString("pixel %1,%2 is %3, not %4").arg(x).arg(y)
                                                     .arg(quint64(pixel), 16, 16, QChar('0'))
                                                     .arg(quint64(want), 16, 16, QChar('0'))));
            }
    }

    // Run with a perturbed heap too: a turned line left short shows.
    void picturesAreTurnedByTheirOrientation_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("orientation");

        // Odd sizes, wide and tall, in colour and grey; the grey picture's
        // turned lines need more padding than its lines have. Each carries a
        // colour profile.
        const QImage wide = gradient(301, 203);
        const QImage pictures[] = {wide, gradient(203, 301),
                                   wide.convertToFormat(QImage::Format_Grayscale8).copy(0, 0, 300, 203)};
        const char *const names[] = {"colour 301 x 203", "colour 203 x 301", "grey 300 x 203"};
        for (int p = 0; p < 3; ++p)
            for (int orientation = 1; orientation <= 8; ++orientation)
                QTest::addRow("%s, orientation %d", names[p], orientation)
                    << PictureBytes::withOrientation(withProfile(jpegOf(pictures[p]), QColorSpace::DisplayP3),
                                                     orientation)
                    << orientation;
    }

    void picturesAreTurnedByTheirOrientation()
    {
        // arrange
        QFETCH(QByteArray, bytes);
        QFETCH(int, orientation);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QImage stored = ImageDecoder::decode(&buffer);
        QVERIFY(buffer.seek(0));
        ImageDecoder::Outcome why = ImageDecoder::NotAFile;

        // act
        const QImage turned = ImageDecoder::decode(&buffer, QByteArray(), true, &why);

        // assert
        QCOMPARE(why, ImageDecoder::Taken);
        QVERIFY(!stored.isNull());
        QCOMPARE(turned.format(), stored.format());
        QCOMPARE(turned, shownAs(stored, orientation));
        QCOMPARE(stored.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
        QCOMPARE(turned.colorSpace(), stored.colorSpace());
    }
};

GLYPH_TEST_MAIN(TestImageDecoder)
#include "tst_imagedecoder.moc"
