#include "imageheader.h"
#include "imageturn.h"
#include "picturebytes.h"
#include "pngbytes.h"
#include "testmain.h"

#include <QBuffer>

#include <limits>

using MGraphX::ImageHeader;

Q_DECLARE_METATYPE(ImageHeader::Verdict)

using PictureBytes::withFrameSize;

class TestImageHeader : public QObject
{
    Q_OBJECT

private slots:
    void headersTellWhatDecodingCosts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qint64>("decodingBytes");
        QTest::addColumn<int>("scans");
        QTest::addColumn<bool>("damaged");
        QTest::addColumn<ImageHeader::Verdict>("verdict");

        const QByteArray pngEnd = PngBytes::chunk("IEND", QByteArray());
        QTest::newRow("8-bit png at the cap") << PngBytes::header(10000, 10000) + pngEnd << QByteArray("png")
                                              << QSize(10000, 10000) << qint64(400000000) << 0 << false
                                              << ImageHeader::Fits;
        QTest::newRow("8-bit png one row over the cap")
            << PngBytes::header(10000, 10001) + pngEnd << QByteArray("png") << QSize(10000, 10001)
            << qint64(400040000) << 0 << false << ImageHeader::TooLarge;
        QTest::newRow("16-bit png at 8 bytes a pixel")
            << PngBytes::zeros(7100, 7100, 16, 6) << QByteArray("png") << QSize(7100, 7100) << qint64(403280000)
            << 0 << false << ImageHeader::TooLarge;
        QTest::newRow("16-bit grey png at 2 bytes a pixel")
            << PngBytes::zeros(8000, 8000, 16, 0) << QByteArray("png") << QSize(8000, 8000) << qint64(128000000) << 0
            << false << ImageHeader::Fits;
        QTest::newRow("16-bit grey png with a transparent grey at 8 bytes a pixel")
            << PngBytes::zeros(8000, 8000, 16, 0).insert(33, PngBytes::chunk("tRNS", QByteArray(2, '\0')))
            << QByteArray("png") << QSize(8000, 8000) << qint64(512000000) << 0 << false << ImageHeader::TooLarge;
        QTest::newRow("1-bit grey png at 1 bit a pixel")
            << PngBytes::zeros(10000, 10000, 1, 0) << QByteArray("png") << QSize(10000, 10000)
            << qint64(1252 * 10000) << 0 << false << ImageHeader::Fits;
        QTest::newRow("png of the largest size, its bytes saturated")
            << PngBytes::header(0x7f7f7f7f, 0x7f7f7f7f) + pngEnd << QByteArray("png") << QSize(0x7f7f7f7f, 0x7f7f7f7f)
            << std::numeric_limits<qint64>::max() << 0 << false << ImageHeader::TooLarge;
        QByteArray forged = PngBytes::header(100, 100) + PngBytes::chunk("zTXt", QByteArray(20000, 'a'));
        forged.replace(33, 4, QByteArray("\x70\0\0\0", 4)); // the zTXt length
        QTest::newRow("png chunk length beyond the data") << forged << QByteArray("png") << QSize(100, 100)
                                                          << qint64(40000) << 0 << true << ImageHeader::Unreadable;
        QTest::newRow("png without its header first")
            << QByteArray("\x89PNG\r\n\x1a\n", 8) + PngBytes::chunk("tEXt", "a") + PngBytes::header(4, 4).mid(8)
            << QByteArray("png") << QSize() << qint64(0) << 0 << true << ImageHeader::Unreadable;
        QTest::newRow("baseline jpeg in one pass") << PictureBytes::orientedJpeg(400, 300, 1) << QByteArray("jpeg")
                                                   << QSize(400, 300) << qint64(480000) << 1 << false
                                                   << ImageHeader::Fits;
        QTest::newRow("sequential jpeg of a scan per component")
            << PictureBytes::jpeg(1000, 600, 3, 3, false) << QByteArray("jpeg") << QSize(1000, 600)
            << qint64(2400000 + 3 * 125 * 75 * 128) << 3 << false << ImageHeader::Fits;
        QTest::newRow("progressive grey jpeg at the cap, 1 byte a pixel")
            << PictureBytes::jpeg(10000, 10000, 1, 10, true) << QByteArray("jpeg") << QSize(10000, 10000)
            << qint64(100000000 + 1250 * 1250 * 128) << 10 << false << ImageHeader::Fits;
        QTest::newRow("progressive colour jpeg over the memory budget")
            << PictureBytes::jpeg(7000, 7000, 3, 10, true) << QByteArray("jpeg") << QSize(7000, 7000)
            << qint64(196000000 + 3 * 875 * 875 * 128) << 10 << false << ImageHeader::TooLarge;
        QTest::newRow("progressive 4:2:0 jpeg, blocks in whole sampling units")
            << PictureBytes::jpeg(1000, 600, 3, 10, true, 0x22) << QByteArray("jpeg") << QSize(1000, 600)
            << qint64(2400000 + (126 * 76 + 2 * 63 * 38) * 128) << 10 << false << ImageHeader::Fits;
        QTest::newRow("refinement scans within the work budget")
            << PictureBytes::refiningJpeg(10000, 10000, 11) << QByteArray("jpeg") << QSize(10000, 10000)
            << qint64(100000000 + 1250 * 1250 * 128) << 12 << false << ImageHeader::Fits;
        QTest::newRow("refinement scans beyond the work budget")
            << PictureBytes::refiningJpeg(10000, 10000, 13) << QByteArray("jpeg") << QSize(10000, 10000)
            << qint64(100000000 + 1250 * 1250 * 128) << 14 << false << ImageHeader::TooLarge;
        QTest::newRow("jpeg start then other data") << QByteArray("\xff\xd8", 2) + QByteArray(100, '\0')
                                                    << QByteArray("jpeg") << QSize() << qint64(0) << 0 << false
                                                    << ImageHeader::Unreadable;
        QTest::newRow("jpeg with scans at the cap") << PictureBytes::jpeg(16, 16, 1, 64, true) << QByteArray("jpeg")
                                                    << QSize(16, 16) << qint64(256 + 4 * 128) << 64 << false
                                                    << ImageHeader::Fits;
        QTest::newRow("jpeg with a scan over the cap") << PictureBytes::jpeg(16, 16, 1, 2000, true)
                                                       << QByteArray("jpeg") << QSize(16, 16)
                                                       << qint64(256 + 4 * 128) << 65 << false
                                                       << ImageHeader::TooLarge;
        QTest::newRow("gif screen beyond its 1 x 1 frame")
            << QByteArray::fromBase64("R0lGODlhgD6APvAAAAAAAP///ywAAAAAAQABAAACAkQBADs=") << QByteArray("gif")
            << QSize(16000, 16000) << qint64(1024000000) << 0 << false << ImageHeader::TooLarge;
        QTest::newRow("gif screen within the budget") << PictureBytes::gifOnScreen(9000, 9000) << QByteArray("gif")
                                                      << QSize(9000, 9000) << qint64(324000000) << 0 << false
                                                      << ImageHeader::Fits;
        QTest::newRow("gif without a screen size") << PictureBytes::gifOnScreen(0, 0) << QByteArray("gif") << QSize()
                                                   << qint64(0) << 0 << false << ImageHeader::Unreadable;
        QTest::newRow("top-down bitmap") << PictureBytes::topDownBmp(40, 30, true) << QByteArray("bmp")
                                         << QSize(40, 30) << qint64(4800) << 0 << false << ImageHeader::Fits;
        const QByteArray topDown = PictureBytes::topDownBmp(40, 30, true);
        QTest::newRow("top-down bitmap cut short by one byte")
            << topDown.left(topDown.size() - 1) << QByteArray("bmp") << QSize(40, 30) << qint64(4800) << 0 << true
            << ImageHeader::Unreadable;
        const QByteArray core = PictureBytes::bmp(40, 30, 8, true);
        QTest::newRow("8-bit bitmap of the core header cut at 90 %")
            << core.left(core.size() * 9 / 10) << QByteArray("bmp") << QSize(40, 30) << qint64(4800) << 0 << true
            << ImageHeader::Unreadable;
        QByteArray farOffset = PictureBytes::bmp(40, 30, 32, false);
        farOffset[11] = 1; // the pixel data 256 bytes later, beyond the file
        QTest::newRow("bitmap whose pixel data starts too late")
            << farOffset << QByteArray("bmp") << QSize(40, 30) << qint64(4800) << 0 << true << ImageHeader::Unreadable;
        QByteArray runLength = PictureBytes::bmp(40, 30, 8, false).left(54 + 1024) + QByteArray(99, '\0');
        runLength[30] = 1; // run-length coded, 100 bytes of it
        runLength.replace(34, 4, QByteArray("\x64\0\0\0", 4));
        QTest::newRow("run-length bitmap cut short of its data")
            << runLength << QByteArray("bmp") << QSize(40, 30) << qint64(4800) << 0 << true << ImageHeader::Unreadable;
        QTest::newRow("run-length bitmap with all its data")
            << runLength + '\1' << QByteArray("bmp") << QSize(40, 30) << qint64(4800) << 0 << false
            << ImageHeader::Fits;
        QByteArray widest = PictureBytes::topDownBmp(1, 1, false) + QByteArray(16, '\0');
        widest.replace(18, 8, QByteArray("\xff\xff\xff\x7f\xff\xff\xff\x7f", 8)); // width, height
        widest.replace(28, 2, QByteArray("\xff\xff", 2)); // bits a pixel
        QTest::newRow("bitmap of the largest size at 65535 bits a pixel, its data saturated")
            << widest << QByteArray("bmp") << QSize(0x7fffffff, 0x7fffffff) << std::numeric_limits<qint64>::max() << 0
            << true << ImageHeader::Unreadable;
        QTest::newRow("icon holding a huge png")
            << PictureBytes::icoHolding(PngBytes::header(23000, 23000) + pngEnd) << QByteArray("ico")
            << QSize(23000, 23000) << qint64(2116000000) << 0 << false << ImageHeader::TooLarge;
        QTest::newRow("icon holding a bitmap") << PictureBytes::icoHolding(QByteArray(40, '\0')) << QByteArray("ico")
                                               << QSize(16, 16) << qint64(1024) << 0 << false << ImageHeader::Fits;
        QTest::newRow("other data") << QByteArray("this is not a picture\n") << QByteArray() << QSize() << qint64(0)
                                    << 0 << false << ImageHeader::Unreadable;
    }

    void headersTellWhatDecodingCosts()
    {
        // arrange: the picture starts after other bytes
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QFETCH(qint64, decodingBytes);
        QFETCH(int, scans);
        QFETCH(bool, damaged);
        QFETCH(ImageHeader::Verdict, verdict);
        QByteArray data = "xyz" + bytes;
        QBuffer buffer(&data);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QVERIFY(buffer.seek(3));

        // act
        const ImageHeader header(&buffer);

        // assert
        QCOMPARE(buffer.pos(), qint64(3));
        QCOMPARE(header.format(), format);
        QCOMPARE(header.size(), size);
        QCOMPARE(header.decodingBytes(), decodingBytes);
        QCOMPARE(header.scans(), scans);
        QCOMPARE(header.isDamaged(), damaged);
        QCOMPARE(header.verdict(QSize(), 0), verdict);
    }

    // A quarter turn is made in the picture's own memory, through the working
    // strips of ImageTurn, as many as the budget leaves room for; a mirror or
    // a half turn takes nothing.
    void turningByOrientationCountsWhatTheTurnTakes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("turningBytes");
        QTest::addColumn<ImageHeader::Verdict>("verdict"); // when turned

        const auto turned = [](int width, int height) {
            const qint64 picture = qint64(width) * height * 4;
            return picture
                + MGraphX::ImageTurn::workingBytes(QSize(width, height), 32, ImageHeader::MaxBytes - picture);
        };
        const char *const names[] = {"as stored", "mirrored", "upside down", "flipped", "transposed",
                                     "turned right", "transversed", "turned left"};
        for (int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("%d, %s", orientation, names[orientation - 1])
                << PictureBytes::orientedJpeg(400, 300, orientation)
                << (orientation >= 5 ? turned(400, 300) : 400 * 300 * 4) << ImageHeader::Fits;
        // Its turned lines need more padding than its lines have: turned into a copy.
        const QByteArray grey = PictureBytes::jpeg(300, 203, 1, 1, false);
        QTest::newRow("grey, turned right into a copy")
            << PictureBytes::withOrientation(grey, 6) << qint64(300 * 203 + 204 * 300) << ImageHeader::Fits;
        const QByteArray right = PictureBytes::orientedJpeg(8, 8, 6);
        QTest::newRow("turned right, a 64-megapixel phone photo")
            << withFrameSize(right, 9248, 6936) << turned(9248, 6936) << ImageHeader::Fits;
        QTest::newRow("turned right, 96 megapixels, with the strips the budget has room for")
            << withFrameSize(right, 12000, 8000) << turned(12000, 8000) << ImageHeader::Fits;
        QTest::newRow("turned right at the pixel cap, over the memory budget by one strip")
            << withFrameSize(right, 10000, 10000) << turned(10000, 10000) << ImageHeader::TooLarge;
    }

    void turningByOrientationCountsWhatTheTurnTakes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, turningBytes);
        QFETCH(ImageHeader::Verdict, verdict);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));

        const ImageHeader header(&buffer);

        QCOMPARE(header.turningBytes(), turningBytes);
        QCOMPARE(header.verdict(QSize(), 0, true), verdict);
        QCOMPARE(header.verdict(QSize(), 0, false), ImageHeader::Fits);
    }

    void verdictWeighsWhatTheDecoderAnnounces_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("decoderSize");
        QTest::addColumn<int>("bitsPerPixel");
        QTest::addColumn<ImageHeader::Verdict>("verdict");

        const QByteArray other("P4 8000 8000\n");
        QTest::newRow("other data at 32 bits") << other << QSize(8000, 8000) << 32 << ImageHeader::Fits;
        QTest::newRow("other data at 64 bits") << other << QSize(8000, 8000) << 64 << ImageHeader::TooLarge;
        QTest::newRow("other data of unknown pixel format, taken at 64 bits")
            << other << QSize(8000, 8000) << 0 << ImageHeader::TooLarge;
        QTest::newRow("other data over the pixel cap") << other << QSize(10001, 10000) << 1 << ImageHeader::TooLarge;
        QTest::newRow("other data of unknown size") << other << QSize() << 32 << ImageHeader::Unreadable;
        QTest::newRow("a decoder larger than the headers")
            << PictureBytes::gifOnScreen(4, 3) << QSize(10001, 10000) << 32 << ImageHeader::TooLarge;
        QTest::newRow("headers larger than the decoder")
            << PictureBytes::gifOnScreen(20000, 20000) << QSize(1, 1) << 32 << ImageHeader::TooLarge;
    }

    void verdictWeighsWhatTheDecoderAnnounces()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, decoderSize);
        QFETCH(int, bitsPerPixel);
        QFETCH(ImageHeader::Verdict, verdict);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));

        const ImageHeader header(&buffer);

        QCOMPARE(header.verdict(decoderSize, bitsPerPixel), verdict);
    }
};

GLYPH_TEST_MAIN(TestImageHeader)
#include "tst_imageheader.moc"
