// PngEncoder against Qt's own PNG writer: same pixels after decoding, the same
// filtered rows, the same quality-to-level mapping, the same metadata chunks,
// a size close to Qt's, and smaller than Qt's on graphic pictures.

#include "pngencoder.h"
#include "testmain.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>
#include <zlib.h>

namespace {

QByteArray qtPng(const QImage &image, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

struct Chunk
{
    QByteArray type;
    QByteArray data;
};

quint32 bigEndian32(const QByteArray &bytes, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + at;
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

// Splits a PNG into chunks; returns a description of the first defect, or an
// empty string for a well-formed file (signature, lengths, CRCs, IHDR first,
// IEND last, IDAT chunks consecutive).
QString parsePng(const QByteArray &png, QVector<Chunk> &chunks)
{
    if (!png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)))
        return QStringLiteral("bad signature");
    int at = 8;
    while (at < png.size()) {
        if (at + 12 > png.size())
            return QStringLiteral("truncated chunk at %1").arg(at);
        const quint32 length = bigEndian32(png, at);
        if (length > quint32(png.size() - at - 12))
            return QStringLiteral("chunk length past the end at %1").arg(at);
        const QByteArray typeAndData = png.mid(at + 4, int(length) + 4);
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(typeAndData.constData()),
                                          uInt(typeAndData.size())));
        if (crc != bigEndian32(png, at + 8 + int(length)))
            return QStringLiteral("bad CRC in %1").arg(QString::fromLatin1(typeAndData.left(4)));
        chunks.append({typeAndData.left(4), typeAndData.mid(4)});
        at += int(length) + 12;
    }
    if (chunks.isEmpty() || chunks.first().type != "IHDR" || chunks.last().type != "IEND")
        return QStringLiteral("IHDR must come first and IEND last");
    int firstIdat = -1, lastIdat = -1;
    for (int i = 0; i < chunks.size(); ++i) {
        if (chunks[i].type == "IDAT") {
            if (firstIdat < 0)
                firstIdat = i;
            else if (lastIdat != i - 1)
                return QStringLiteral("IDAT chunks are not consecutive");
            lastIdat = i;
        }
    }
    return firstIdat < 0 ? QStringLiteral("no IDAT") : QString();
}

QVector<Chunk> chunksOf(const QByteArray &png)
{
    QVector<Chunk> chunks;
    const QString defect = parsePng(png, chunks);
    if (!defect.isEmpty())
        qWarning("malformed PNG: %s", qPrintable(defect));
    return defect.isEmpty() ? chunks : QVector<Chunk>();
}

QByteArray zlibStream(const QVector<Chunk> &chunks)
{
    QByteArray stream;
    for (const Chunk &chunk : chunks) {
        if (chunk.type == "IDAT")
            stream += chunk.data;
    }
    return stream;
}

// The filtered rows of a PNG's zlib stream; null when the stream does not
// inflate completely (adler32 included) to exactly rawSize bytes.
QByteArray inflated(const QByteArray &stream, int rawSize)
{
    QByteArray raw(rawSize + 1, '\0');
    uLongf length = uLongf(raw.size());
    if (uncompress(reinterpret_cast<Bytef *>(raw.data()), &length,
                   reinterpret_cast<const Bytef *>(stream.constData()), uLong(stream.size()))
                != Z_OK
        || length != uLongf(rawSize))
        return QByteArray();
    raw.truncate(rawSize);
    return raw;
}

QByteArray firstChunk(const QVector<Chunk> &chunks, const char *type)
{
    for (const Chunk &chunk : chunks) {
        if (chunk.type == type)
            return chunk.data;
    }
    return QByteArray();
}

QStringList chunkTypesBesidesIdat(const QVector<Chunk> &chunks)
{
    QStringList types;
    for (const Chunk &chunk : chunks) {
        if (chunk.type != "IDAT")
            types << QString::fromLatin1(chunk.type);
    }
    return types;
}

// Random pixels with transparent, opaque and semi-transparent alpha, in the
// given format.
QImage randomImage(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const quint32 v = random.generate();
            const int pick = int(v >> 30);
            const int alpha = pick == 0 ? 0 : pick == 1 ? 255 : int(v & 0xff);
            image.setPixel(x, y, qRgba(int((v >> 8) & 0xff), int((v >> 16) & 0xff),
                                       int((v >> 24) & 0x3f) * 4, alpha));
        }
    }
    return image.convertToFormat(format);
}

// Smooth gradients, a few sharp edges and a little noise, like a photo.
QImage photoLike(int width, int height, QImage::Format format, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            int r = int(120 + 80 * std::sin(fx * 5 + fy));
            int g = int(110 + 70 * std::cos(fy * 4 - fx * 2));
            int b = int(100 + 60 * std::sin((fx + fy) * 3));
            if ((x - width / 3) * (x - width / 3) + (y - height / 2) * (y - height / 2)
                < height * height / 9)
                r = 255 - r;
            const int noise = int(random.bounded(5)) - 2;
            const int alpha = qBound(0, int(255 * (1.5 - 1.5 * fx)), 255);
            image.setPixel(x, y, qRgba(qBound(0, r + noise, 255), qBound(0, g + noise, 255),
                                       qBound(0, b - noise, 255), alpha));
        }
    }
    return image.convertToFormat(format);
}

// Flat fills, outlines and anti-aliased lines in a repeating grid, like a
// drawing or a screenshot.
QImage graphicImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(236, 239, 244));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int y = 0; y < height; y += 50) {
        for (int x = 0; x < width; x += 70) {
            const int k = (x / 70 * 7 + y / 50 * 3) % 11;
            painter.fillRect(QRect(x + 2, y + 2, 60 - k * 3, 40),
                             QColor(40 + k * 18, 90 + k * 9, 200 - k * 12));
            painter.setPen(QPen(QColor(20, 20, 20), 1 + k % 3));
            painter.drawEllipse(QPoint(x + 35, y + 22), 8 + k, 6 + k % 4);
            painter.drawLine(x + 5, y + 45, x + 65 - k, y + 30 + k);
        }
    }
    return image;
}

// The bytes deflated into one zlib stream as Qt's writer deflates its rows:
// at the level, with the filtered strategy; null on failure.
QByteArray zlibDeflated(const QByteArray &raw, int level)
{
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, 15, 8, Z_FILTERED) != Z_OK)
        return QByteArray();
    QByteArray out(int(deflateBound(&stream, uLong(raw.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(raw.constData()));
    stream.avail_in = uInt(raw.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.truncate(int(stream.total_out));
    deflateEnd(&stream);
    return done ? out : QByteArray();
}

// Size of the filtered rows of an image stored with the given bytes per pixel.
int rawSize(const QImage &image, int channels)
{
    return image.height() * (1 + image.width() * channels);
}

} // namespace

class TestPngEncoder : public QObject
{
    Q_OBJECT

private slots:
    void nullImageGivesEmptyArray();
    void decodesToQtWritersPixels_data();
    void decodesToQtWritersPixels();
    void filteredRowsEqualQtWriters_data();
    void filteredRowsEqualQtWriters();
    void qualityMapsToQtWritersLevel_data();
    void qualityMapsToQtWritersLevel();
    void metadataChunksMatchQtWriter_data();
    void metadataChunksMatchQtWriter();
    void sizeIsCloseToQtWriters_data();
    void sizeIsCloseToQtWriters();
    void graphicImageIsSmallerThanQtWriters_data();
    void graphicImageIsSmallerThanQtWriters();
    void bytesDoNotDependOnThreadCount();
    void sizeIsZlibsAtTheSameLevel();
};

void TestPngEncoder::nullImageGivesEmptyArray()
{
    QVERIFY(PngEncoder::encode(QImage()).isEmpty());
    QVERIFY(PngEncoder::encode(QImage(), 50, 4).isEmpty());
}

void TestPngEncoder::decodesToQtWritersPixels_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("colourType");
    QTest::addColumn<bool>("sameDecodedFormat");

    struct Format
    {
        const char *name;
        QImage::Format format;
        int colourType;
        bool sameDecodedFormat; // Qt's writer keeps palettes, 1 and 16 bits
    };
    const Format formats[] = {
        {"ARGB32", QImage::Format_ARGB32, 6, true},
        {"ARGB32_Premultiplied", QImage::Format_ARGB32_Premultiplied, 6, true},
        {"RGB32", QImage::Format_RGB32, 2, true},
        {"RGB888", QImage::Format_RGB888, 2, true},
        {"Grayscale8", QImage::Format_Grayscale8, 0, true},
        {"Indexed8", QImage::Format_Indexed8, 6, false},
        {"RGBA8888", QImage::Format_RGBA8888, 6, true},
        {"RGBX8888", QImage::Format_RGBX8888, 2, true},
        {"RGB16", QImage::Format_RGB16, 2, true},
        {"Mono", QImage::Format_Mono, 2, false},
        {"RGBA8888_Premultiplied", QImage::Format_RGBA8888_Premultiplied, 6, true},
        // Sixteen bits a channel are written with eight.
        {"RGBA64", QImage::Format_RGBA64, 6, false},
        {"Grayscale16", QImage::Format_Grayscale16, 0, false},
    };
    const QSize sizes[] = {QSize(1, 1), QSize(1, 9), QSize(7, 1), QSize(3, 3), QSize(13, 11),
                           QSize(257, 31)};
    quint32 seed = 1;
    for (const Format &f : formats) {
        for (const QSize &size : sizes) {
            const QImage image = randomImage(size.width(), size.height(), f.format, seed++);
            // A small palette may happen to hold no transparent colour.
            const int colourType = f.format == QImage::Format_Indexed8 && !image.hasAlphaChannel()
                    ? 2
                    : f.colourType;
            QTest::addRow("%s %dx%d", f.name, size.width(), size.height())
                    << image << colourType << f.sameDecodedFormat;
        }
    }
    // An opaque palette, and several slices of the stream.
    QTest::newRow("Indexed8 opaque palette")
            << randomImage(31, 17, QImage::Format_RGB32, 90).convertToFormat(QImage::Format_Indexed8)
            << 2 << false;
    QTest::newRow("ARGB32 700x500, several slices")
            << randomImage(700, 500, QImage::Format_ARGB32, 91) << 6 << true;
    QTest::newRow("ARGB32_Premultiplied photo 600x500")
            << photoLike(600, 500, QImage::Format_ARGB32_Premultiplied, 92) << 6 << true;
    QTest::newRow("Grayscale8 1x300000, many rows per slice")
            << randomImage(1, 300000, QImage::Format_Grayscale8, 93) << 0 << true;
    QTest::newRow("RGB32 70000x3, one row per slice")
            << randomImage(70000, 3, QImage::Format_RGB32, 94) << 2 << true;
}

void TestPngEncoder::decodesToQtWritersPixels()
{
    QFETCH(QImage, image);
    QFETCH(int, colourType);
    QFETCH(bool, sameDecodedFormat);

    // act
    const QByteArray ours = PngEncoder::encode(image);

    // assert: a well-formed file of the expected kind...
    QVector<Chunk> chunks;
    const QString defect = parsePng(ours, chunks);
    QVERIFY2(defect.isEmpty(), qPrintable(defect));
    const QByteArray &header = chunks.first().data;
    QCOMPARE(header.size(), 13);
    QCOMPARE(int(bigEndian32(header, 0)), image.width());
    QCOMPARE(int(bigEndian32(header, 4)), image.height());
    QCOMPARE(int(header[8]), 8);
    QCOMPARE(int(header[9]), colourType);
    // ...and the same picture as Qt's writer gives.
    const QImage decoded = QImage::fromData(ours, "PNG");
    const QImage reference = QImage::fromData(qtPng(image), "PNG");
    QVERIFY(!decoded.isNull());
    if (sameDecodedFormat)
        QCOMPARE(decoded.format(), reference.format());
    QCOMPARE(decoded.convertToFormat(QImage::Format_ARGB32),
             reference.convertToFormat(QImage::Format_ARGB32));
}

void TestPngEncoder::filteredRowsEqualQtWriters_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("channels");

    QTest::newRow("RGB32 odd width") << photoLike(301, 97, QImage::Format_RGB32, 5) << 3;
    QTest::newRow("ARGB32 odd width") << photoLike(301, 97, QImage::Format_ARGB32, 6) << 4;
    QTest::newRow("ARGB32_Premultiplied") << photoLike(123, 45, QImage::Format_ARGB32_Premultiplied, 7)
                                          << 4;
    QTest::newRow("RGB888") << photoLike(99, 40, QImage::Format_RGB888, 8) << 3;
    QTest::newRow("Grayscale8") << photoLike(211, 80, QImage::Format_Grayscale8, 9) << 1;
    QTest::newRow("random ARGB32") << randomImage(77, 33, QImage::Format_ARGB32, 10) << 4;
    QTest::newRow("RGB32 several slices") << photoLike(700, 400, QImage::Format_RGB32, 11) << 3;
}

// The filter of every row is chosen as Qt's writer chooses it, so the
// filtered data, and with it the compressed size, match.
void TestPngEncoder::filteredRowsEqualQtWriters()
{
    QFETCH(QImage, image);
    QFETCH(int, channels);

    const QByteArray ours = inflated(zlibStream(chunksOf(PngEncoder::encode(image))),
                                     rawSize(image, channels));
    const QByteArray reference = inflated(zlibStream(chunksOf(qtPng(image))),
                                          rawSize(image, channels));

    QVERIFY(!ours.isNull()); // complete stream with a correct adler32
    QVERIFY(!reference.isNull());
    QVERIFY(ours == reference);
}

void TestPngEncoder::qualityMapsToQtWritersLevel_data()
{
    QTest::addColumn<int>("quality");
    QTest::addColumn<int>("level");

    const int table[][2] = {{-1, 6}, {-7, 6}, {0, 9}, {9, 9}, {10, 8}, {19, 8}, {20, 7},
                            {29, 7}, {30, 6}, {39, 6}, {40, 5}, {49, 5}, {50, 4}, {59, 4},
                            {60, 3}, {69, 3}, {70, 2}, {79, 2}, {80, 1}, {89, 1}, {90, 0},
                            {99, 0}, {100, 0}, {150, 0}};
    for (const auto &row : table)
        QTest::addRow("quality %d", row[0]) << row[0] << row[1];
}

// Qt's writer deflates with the level (and the filtered strategy) that a
// quality selects: recompressing its rows that way gives its stream exactly.
void TestPngEncoder::qualityMapsToQtWritersLevel()
{
    QFETCH(int, quality);
    QFETCH(int, level);
    // Four grey values at random: every zlib level compresses this differently.
    QImage image(300, 200, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int v = int(random.bounded(4)) * 60;
            image.setPixel(x, y, qRgb(v, v, v));
        }
    }

    // act
    const QByteArray ours = PngEncoder::encode(image, quality);
    const QByteArray reference = qtPng(image, quality);

    // assert
    QCOMPARE(PngEncoder::compressionLevel(quality), level);
    const QByteArray qtStream = zlibStream(chunksOf(reference));
    const QByteArray raw = inflated(qtStream, rawSize(image, 3));
    QVERIFY(!raw.isNull());
    if (level > 0) {
        const QByteArray again = zlibDeflated(raw, level);
        QVERIFY(!again.isNull());
        QVERIFY(again == qtStream);
    } else {
        QVERIFY(qtStream.size() > raw.size()); // stored, not compressed
    }
    // Our stream announces the same level class and decodes alike.
    const QByteArray ourStream = zlibStream(chunksOf(ours));
    QCOMPARE(ourStream.left(2).toHex(), qtStream.left(2).toHex());
    QCOMPARE(QImage::fromData(ours, "PNG"), QImage::fromData(reference, "PNG"));
}

void TestPngEncoder::metadataChunksMatchQtWriter_data()
{
    QTest::addColumn<QImage>("image");

    const QImage plain = randomImage(20, 10, QImage::Format_RGB32, 3);
    QTest::newRow("no metadata") << plain;
    QImage resolution = plain;
    resolution.setDotsPerMeterX(1000);
    resolution.setDotsPerMeterY(2500);
    QTest::newRow("resolution") << resolution;
    QImage texts = plain;
    texts.setText(QStringLiteral("Title"), QStringLiteral("short"));
    texts.setText(QStringLiteral("Comment"), QString(60, QLatin1Char('x')));
    texts.setText(QStringLiteral("Below"), QString(39, QChar(0xe9)));
    texts.setText(QStringLiteral("From"), QString(40, QLatin1Char('y')));
    texts.setText(QStringLiteral("Author"), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f \xe2\x82\xac"));
    texts.setText(QStringLiteral("Long"), QString(50, QChar(0x20ac)));
    texts.setText(QStringLiteral("Lines"), QStringLiteral("one\ntwo"));
    QTest::newRow("texts") << texts;
    QImage srgb = randomImage(20, 10, QImage::Format_ARGB32, 4);
    srgb.setColorSpace(QColorSpace::SRgb);
    QTest::newRow("sRGB") << srgb;
    QImage p3 = plain;
    p3.setColorSpace(QColorSpace::DisplayP3);
    QTest::newRow("Display P3") << p3;
    QImage custom = plain;
    custom.setColorSpace(QColorSpace(QColorSpace::Primaries::AdobeRgb, 1.8f));
    QTest::newRow("custom colour space") << custom;
}

void TestPngEncoder::metadataChunksMatchQtWriter()
{
    QFETCH(QImage, image);

    const QByteArray ours = PngEncoder::encode(image);
    const QByteArray reference = qtPng(image);

    const QVector<Chunk> ourChunks = chunksOf(ours);
    const QVector<Chunk> qtChunks = chunksOf(reference);
    QCOMPARE(chunkTypesBesidesIdat(ourChunks), chunkTypesBesidesIdat(qtChunks));
    // Same resolution, and the same profile name.
    QCOMPARE(firstChunk(ourChunks, "pHYs").toHex(), firstChunk(qtChunks, "pHYs").toHex());
    const QByteArray ourProfile = firstChunk(ourChunks, "iCCP");
    const QByteArray qtProfile = firstChunk(qtChunks, "iCCP");
    QCOMPARE(ourProfile.left(ourProfile.indexOf('\0')), qtProfile.left(qtProfile.indexOf('\0')));
    const QImage decoded = QImage::fromData(ours, "PNG");
    const QImage expected = QImage::fromData(reference, "PNG");
    QCOMPARE(decoded, expected);
    QCOMPARE(decoded.textKeys(), expected.textKeys());
    for (const QString &key : expected.textKeys())
        QCOMPARE(decoded.text(key), expected.text(key));
    QCOMPARE(decoded.colorSpace(), expected.colorSpace());
    QCOMPARE(decoded.colorSpace().iccProfile(), expected.colorSpace().iccProfile());
    QCOMPARE(decoded.dotsPerMeterX(), expected.dotsPerMeterX());
    QCOMPARE(decoded.dotsPerMeterY(), expected.dotsPerMeterY());
}

void TestPngEncoder::sizeIsCloseToQtWriters_data()
{
    QTest::addColumn<QImage>("image");

    QTest::newRow("RGB32") << photoLike(800, 600, QImage::Format_RGB32, 21);
    QTest::newRow("ARGB32") << photoLike(800, 600, QImage::Format_ARGB32, 22);
}

void TestPngEncoder::sizeIsCloseToQtWriters()
{
    QFETCH(QImage, image);

    const QByteArray ours = PngEncoder::encode(image);
    const QByteArray reference = qtPng(image);

    QVERIFY(!reference.isEmpty());
    QVERIFY2(ours.size() <= reference.size() * 1.03,
             qPrintable(QStringLiteral("%1 bytes against Qt's %2")
                                .arg(ours.size())
                                .arg(reference.size())));
}

void TestPngEncoder::graphicImageIsSmallerThanQtWriters_data()
{
    QTest::addColumn<int>("quality");

    for (int quality : {-1, 0, 10, 20, 30, 40, 50, 60, 70, 80})
        QTest::addRow("quality %d", quality) << quality;
}

// Slices of graphic data are deflated by libdeflate, at every level smaller
// than zlib's output, and joined into one valid zlib stream.
void TestPngEncoder::graphicImageIsSmallerThanQtWriters()
{
    QFETCH(int, quality);
    const QImage image = graphicImage(700, 600); // five slices of the stream

    // act
    const QByteArray ours = PngEncoder::encode(image, quality);

    // assert: CRCs right, one complete stream with a correct adler32...
    const QByteArray raw = inflated(zlibStream(chunksOf(ours)), rawSize(image, 3));
    QVERIFY(!raw.isNull());
    QCOMPARE(QImage::fromData(ours, "PNG").convertToFormat(QImage::Format_RGB32), image);
    // ...and smaller than Qt's writer makes it.
    const QByteArray reference = qtPng(image, quality);
    QVERIFY2(ours.size() <= reference.size() * 0.985,
             qPrintable(QStringLiteral("%1 bytes against Qt's %2")
                                .arg(ours.size())
                                .arg(reference.size())));
}

void TestPngEncoder::bytesDoNotDependOnThreadCount()
{
    const QImage image = photoLike(700, 500, QImage::Format_ARGB32, 31);

    const QByteArray single = PngEncoder::encode(image, -1, 1);
    const QByteArray three = PngEncoder::encode(image, -1, 3);
    const QByteArray all = PngEncoder::encode(image);

    QVERIFY(!single.isEmpty());
    QVERIFY(single == three);
    QVERIFY(single == all);
}

// A slice goes to libdeflate only where it deflates no larger than zlib at
// the same level, so the stream is within 1 % of zlib's one stream of the
// same rows (the short search allows 0.5 %, each cut a few bytes).
void TestPngEncoder::sizeIsZlibsAtTheSameLevel()
{
    // On this noisy data libdeflate deflates about 3 % larger than zlib.
    const QImage image = photoLike(800, 600, QImage::Format_ARGB32, 22);

    // act
    const QByteArray stream = zlibStream(chunksOf(PngEncoder::encode(image)));

    // assert
    const QByteArray raw = inflated(stream, rawSize(image, 4));
    QVERIFY(!raw.isNull());
    const QByteArray zlib = zlibDeflated(raw, PngEncoder::compressionLevel(-1));
    QVERIFY(!zlib.isNull());
    QVERIFY2(stream.size() <= zlib.size() * 1.01,
             qPrintable(QStringLiteral("%1 bytes against zlib's %2").arg(stream.size()).arg(zlib.size())));
}

GLYPH_TEST_MAIN(TestPngEncoder)
#include "tst_pngencoder.moc"
