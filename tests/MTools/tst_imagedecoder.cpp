#include "imagedecoder.h"
#include "testmain.h"

#include <QBuffer>

using MTools::ImageDecoder;

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

QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 4, y * 4, 128));
    return image;
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
};

GLYPH_TEST_MAIN(TestImageDecoder)
#include "tst_imagedecoder.moc"
