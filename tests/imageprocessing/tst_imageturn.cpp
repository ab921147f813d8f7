#include "imageturn.h"
#include "testmain.h"

#include <cstring>

using MGraphX::ImageTurn;

namespace {

// A picture of the format whose every byte differs from its neighbours', with
// a colour table where the format has one, and metadata a turn must keep.
QImage scrambled(const QSize &size, QImage::Format format)
{
    QImage image(size, format);
    if (format == QImage::Format_Indexed8)
        for (int i = 0; i < 256; ++i)
            image.setColor(i, qRgb(i, 255 - i, i / 2));
    if (format == QImage::Format_Mono)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    quint32 state = 12345;
    for (int y = 0; y < image.height(); ++y) {
        uchar *line = image.scanLine(y);
        for (int i = 0; i < image.bytesPerLine(); ++i) {
            state = state * 1103515245u + 12345u;
            line[i] = uchar(state >> 16);
        }
    }
    image.setDotsPerMeterX(1000);
    image.setDotsPerMeterY(3000);
    image.setText("Comment", "kept");
    return image;
}

// The pixel of a picture at (x, y), as its bytes (or its index for 1 bit).
QByteArray pixelAt(const QImage &image, int x, int y)
{
    if (image.depth() == 1)
        return QByteArray(1, char(image.pixelIndex(x, y)));
    const int bytes = image.depth() / 8;
    return QByteArray(reinterpret_cast<const char *>(image.constScanLine(y)) + x * bytes, bytes);
}

void setPixelAt(QImage *image, int x, int y, const QByteArray &pixel)
{
    if (image->depth() == 1)
        image->setPixel(x, y, uint(pixel.at(0)));
    else
        std::memcpy(image->scanLine(y) + x * pixel.size(), pixel.constData(), size_t(pixel.size()));
}

// The picture transformed as the flags say: mirrored left to right, then
// flipped top to bottom, then turned a quarter clockwise.
QImage transformedAsSaid(const QImage &image, QImageIOHandler::Transformations transformation)
{
    const bool mirror = transformation & QImageIOHandler::TransformationMirror;
    const bool flip = transformation & QImageIOHandler::TransformationFlip;
    const bool quarter = transformation & QImageIOHandler::TransformationRotate90;
    const int w = image.width();
    const int h = image.height();
    QImage result(quarter ? h : w, quarter ? w : h, image.format());
    result.setColorTable(image.colorTable());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int mx = mirror ? w - 1 - x : x;
            const int my = flip ? h - 1 - y : y;
            setPixelAt(&result, quarter ? h - 1 - my : mx, quarter ? mx : my, pixelAt(image, x, y));
        }
    return result;
}

} // namespace

class TestImageTurn : public QObject
{
    Q_OBJECT

private slots:
    void turnsEveryPixelFormatByEveryTransformation_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("inPlace"); // a quarter turn stays in the picture's memory

        // Sizes past a run and a strip and of no multiple of them, wide and
        // tall; single lines and columns; a picture smaller than a run.
        const QSize sizes[] = {{301, 203}, {203, 301}, {1031, 204}, {205, 1032}, {2312, 37}, {37, 2312},
                               {257, 1}, {1, 700}, {7, 5}};
        const struct
        {
            QImage::Format format;
            const char *name;
        } formats[] = {{QImage::Format_RGB32, "rgb32"},     {QImage::Format_ARGB32, "argb32"},
                       {QImage::Format_Grayscale8, "grey"}, {QImage::Format_Indexed8, "indexed"},
                       {QImage::Format_RGB888, "rgb888"},   {QImage::Format_RGB16, "rgb16"},
                       {QImage::Format_RGBA64, "rgba64"},   {QImage::Format_Mono, "mono"}};
        for (const auto &f : formats)
            for (const QSize &size : sizes) {
                const int depth = QImage::toPixelFormat(f.format).bitsPerPixel();
                const auto line = [depth](int width) { return (qint64(width) * depth + 31) / 32 * 4; };
                const bool inPlace = depth >= 8
                    && line(size.height()) * size.width() <= line(size.width()) * size.height();
                QTest::addRow("%s %dx%d", f.name, size.width(), size.height()) << int(f.format) << size << inPlace;
            }
    }

    void turnsEveryPixelFormatByEveryTransformation()
    {
        QFETCH(int, format);
        QFETCH(QSize, size);
        QFETCH(bool, inPlace);
        const QImage original = scrambled(size, QImage::Format(format));

        for (int t = 0; t < 8; ++t) {
            // arrange
            const auto transformation = QImageIOHandler::Transformations(t);
            QImage image = original.copy();
            image.setText("Comment", "kept");
            const uchar *memory = image.constBits();

            // act
            const bool turned = ImageTurn::apply(&image, transformation);

            // assert
            const QByteArray what = "transformation " + QByteArray::number(t);
            QVERIFY2(turned, what);
            QVERIFY2(image == transformedAsSaid(original, transformation), what);
            QVERIFY2(image.bytesPerLine() == QImage(image.size(), QImage::Format(format)).bytesPerLine(), what);
            QVERIFY2(image.dotsPerMeterX() == 1000 && image.dotsPerMeterY() == 3000, what);
            QVERIFY2(image.text("Comment") == "kept", what);
            if (inPlace || !(transformation & QImageIOHandler::TransformationRotate90))
                QVERIFY2(image.constBits() == memory, what + " was turned into a copy");
        }
    }
};

GLYPH_TEST_MAIN(TestImageTurn)
#include "tst_imageturn.moc"
