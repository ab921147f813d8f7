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

// A 256 x 64 run-length bitmap of two colours, red (0) and blue (1), whose
// data first moves 32 rows up, then gives those rows in blue: its bottom
// rows, the end of the decoded picture's memory, are never written.
QByteArray bottomSkippingRunLengthBmp()
{
    QByteArray data("\0\x02\0\x20", 4); // move 0 columns right and 32 rows up
    for (int y = 0; y < 32; ++y)
        data += QByteArray("\x80\x01\x80\x01\0\0", 6); // 2 x 128 of colour 1, end of line
    data += QByteArray("\0\x01", 2); // end of bitmap
    QByteArray bytes = PictureBytes::bmp(256, 64, 8, false).left(54);
    bytes[30] = 1; // run-length coded 8 bits a pixel
    bytes.replace(34, 4, QByteArray(1, char(data.size() & 0xff)) + char(data.size() >> 8) + QByteArray(2, '\0'));
    bytes[46] = 2; // colours used
    bytes.replace(10, 4, QByteArray("\x3e\0\0\0", 4)); // the data at 62
    return bytes + QByteArray("\0\0\xff\0\xff\0\0\0", 8) + data;
}

QByteArray le16(quint16 value)
{
    return QByteArray(1, char(value & 0xff)) + char(value >> 8);
}

// A GIF of one frame on a screen of the frame's size, a two-colour global
// table, and the LZW data given (minimum code size, then the data
// sub-blocks as they stand); the trailer when asked.
QByteArray gifFrame(quint16 width, quint16 height, const QByteArray &data, bool trailer = true)
{
    return "GIF89a" + le16(width) + le16(height) + QByteArray("\x80\0\0", 3) + QByteArray("\0\0\0\xff\xff\xff", 6)
        + ',' + le16(0) + le16(0) + le16(width) + le16(height) + '\0' + data + (trailer ? ";" : "");
}

// The JPEG with the data of its first scan, up to the next marker, replaced.
QByteArray withFirstScanData(QByteArray jpeg, const QByteArray &data)
{
    const int scan = jpeg.indexOf("\xff\xda");
    const int start = scan + 2 + (uchar(jpeg.at(scan + 2)) << 8 | uchar(jpeg.at(scan + 3)));
    int end = start;
    while (end + 1 < jpeg.size()
           && !(uchar(jpeg.at(end)) == 0xff && uchar(jpeg.at(end + 1)) != 0 && (uchar(jpeg.at(end + 1)) & 0xf8) != 0xd0))
        ++end;
    return jpeg.replace(start, end - start, data);
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
        // Unwritten memory at the end of the picture, past its last whole page.
        QImage skipped(256, 64, QImage::Format_RGB32);
        skipped.fill(qRgb(0, 0, 255));
        for (int y = 32; y < 64; ++y)
            for (int x = 0; x < 256; ++x)
                skipped.setPixel(x, y, qRgb(255, 0, 0));
        QTest::newRow("run-length bmp that skips its bottom rows") << bottomSkippingRunLengthBmp() << QByteArray()
                                                                   << ImageDecoder::Taken << skipped;
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

    // A frame whose bytes cannot hold its pixels, whatever encoded it, is
    // refused as a file cut short is: a GIF frame needs an LZW code (of the
    // minimum code size plus one bits) for every 4,096 pixels, a Huffman-coded
    // JPEG's first scan a bit for every 8 x 8 block of its components. Those
    // with just enough bytes are decoded as before.
    void framesTheirBytesCannotHoldAreRefusedAsCutShort_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size"); // invalid when refused

        // Minimum code size 2: eight 3-bit codes in three bytes, 32,768 pixels at most.
        const QByteArray threeBytes("\x02\x03\0\0\0\0", 6);
        QTest::newRow("gif frame of 9000 x 9000 in 35 bytes")
            << gifFrame(9000, 9000, QByteArray("\x02\x02\x44\x01\0", 5)).left(35) << QSize();
        QTest::newRow("gif frame without data") << gifFrame(300, 200, QByteArray("\x02\0", 2)) << QSize();
        QTest::newRow("gif frame cut before its data") << gifFrame(300, 200, QByteArray(), false) << QSize();
        QTest::newRow("gif frame of eight 3-bit codes, 256 x 128") << gifFrame(256, 128, threeBytes) << QSize(256, 128);
        QTest::newRow("gif frame of eight 3-bit codes, 256 x 129") << gifFrame(256, 129, threeBytes) << QSize();
        QTest::newRow("gif frame of eight 9-bit codes, 256 x 128")
            << gifFrame(256, 128, QByteArray("\x08\x09", 2) + QByteArray(9, '\0') + '\0') << QSize(256, 128);
        QTest::newRow("gif frame of seven 9-bit codes, 256 x 128")
            << gifFrame(256, 128, QByteArray("\x08\x08", 2) + QByteArray(8, '\0') + '\0') << QSize();
        QTest::newRow("gif frame whose sub-block runs past the end, 256 x 129")
            << gifFrame(256, 129, QByteArray("\x02\xff", 2) + QByteArray(3, '\0'), false) << QSize();
        QTest::newRow("gif screen larger than its frame") << PictureBytes::gifOnScreen(600, 400) << QSize(600, 400);

        // 2000 x 1000 grey: 31,250 blocks need 3,907 bytes.
        const QByteArray grey = PictureBytes::jpeg(2000, 1000, 1, 1, false);
        QTest::newRow("jpeg of 9000 x 9000 without scan data")
            << withFirstScanData(PictureBytes::jpeg(9000, 9000, 3, 1, false), QByteArray()) << QSize();
        QTest::newRow("baseline jpeg whose first scan is a byte short")
            << withFirstScanData(grey, QByteArray(3906, '\0')) << QSize();
        QTest::newRow("baseline jpeg whose first scan has a bit a block")
            << withFirstScanData(grey, QByteArray(3907, '\0')) << QSize(2000, 1000);
        QTest::newRow("baseline jpeg with a restart marker in its first scan")
            << withFirstScanData(grey, QByteArray(3905, '\0') + "\xff\xd0") << QSize(2000, 1000);
        // 2000 x 2000 grey: 62,500 blocks need 7,813 bytes.
        const QByteArray refining = PictureBytes::refiningJpeg(2000, 2000, 2);
        QTest::newRow("progressive jpeg whose dc scan has no data, then refinement scans")
            << withFirstScanData(refining, QByteArray()) << QSize();
        QTest::newRow("progressive jpeg whose dc scan is a byte short")
            << withFirstScanData(refining, QByteArray(7812, '\0')) << QSize();
        QTest::newRow("progressive jpeg whose dc scan has a bit a block") << refining << QSize(2000, 2000);
        const int refinement = refining.indexOf("\xff\xda", refining.indexOf("\xff\xda") + 2);
        QTest::newRow("progressive jpeg of refinement scans only")
            << refining.left(refining.indexOf("\xff\xda")) + refining.mid(refinement) << QSize();
        // Arithmetic coding codes a flat picture in a few bytes.
        QByteArray arithmetic = withFirstScanData(grey, QByteArray());
        arithmetic[arithmetic.indexOf("\xff\xc0") + 1] = char(0xc9);
        QTest::newRow("arithmetic-coded jpeg without scan data") << arithmetic << QSize(2000, 1000);
    }

    void framesTheirBytesCannotHoldAreRefusedAsCutShort()
    {
        // arrange
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        ImageDecoder::Outcome why = ImageDecoder::NotAFile;

        // act
        const ImageDecoder::Outcome judged = ImageDecoder::judge(&buffer);
        const QImage image = ImageDecoder::decode(&buffer, QByteArray(), false, &why);

        // assert
        QCOMPARE(judged, size.isValid() ? ImageDecoder::Taken : ImageDecoder::NotAPicture);
        QCOMPARE(why, judged);
        QCOMPARE(image.size(), size.isValid() ? size : QSize(0, 0));
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
