#include "picturebytes.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace {

template <typename T>
QByteArray littleEndian(T value)
{
    QByteArray bytes(int(sizeof(T)), '\0');
    qToLittleEndian<T>(value, bytes.data());
    return bytes;
}

QByteArray le16(quint16 value)
{
    return littleEndian(value);
}

QByteArray le32(quint32 value)
{
    return littleEndian(value);
}

QByteArray be16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian<quint16>(value, bytes.data());
    return bytes;
}

// A marker segment: the marker, the length of what follows and the payload.
QByteArray segment(quint8 marker, const QByteArray &payload)
{
    return QByteArray(1, '\xff') + char(marker) + be16(quint16(payload.size() + 2)) + payload;
}

} // namespace

QByteArray PictureBytes::gifOnScreen(quint16 width, quint16 height)
{
    return "GIF89a" + le16(width) + le16(height) + QByteArray("\x80\0\0", 3) + QByteArray(6, '\0')
        + "," + le16(0) + le16(0) + le16(1) + le16(1) + QByteArray("\0\x02\x02\x44\x01\0;", 7);
}

QByteArray PictureBytes::topDownBmp(int width, int height, bool withPixels)
{
    const int rowBytes = (width * 3 + 3) & ~3;
    const quint32 pixelBytes = quint32(rowBytes) * quint32(height);
    QByteArray bytes = "BM" + le32(54 + pixelBytes) + le32(0) + le32(54);
    bytes += le32(40) + le32(quint32(width)) + le32(quint32(-height)) + le16(1) + le16(24) + le32(0)
        + le32(pixelBytes) + le32(2835) + le32(2835) + le32(0) + le32(0);
    if (withPixels)
        bytes += QByteArray(int(pixelBytes), '\x7f');
    return bytes;
}

QByteArray PictureBytes::bmp(int width, int height, int bits, bool coreHeader)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    const int rowBytes = (width * bits + 31) / 32 * 4;
    QByteArray pixels(rowBytes * height, '\0');
    for (int i = 0; i < pixels.size(); ++i)
        pixels[i] = char(i * 7 + i / rowBytes);
    QByteArray info = coreHeader ? le32(12) + le16(quint16(width)) + le16(quint16(height)) + le16(1) + le16(quint16(bits))
                                 : le32(40) + le32(quint32(width)) + le32(quint32(height)) + le16(1)
            + le16(quint16(bits)) + le32(0) + le32(quint32(pixels.size())) + le32(2835) + le32(2835) + le32(0)
            + le32(0);
    for (int i = 0; i < colours; ++i)
        info += QByteArray(3, char(i * 255 / (colours - 1))) + QByteArray(coreHeader ? 0 : 1, '\0');
    const quint32 offset = quint32(14 + info.size());
    return "BM" + le32(offset + quint32(pixels.size())) + le32(0) + le32(offset) + info + pixels;
}

QByteArray PictureBytes::icoHolding(const QByteArray &png)
{
    return le16(0) + le16(1) + le16(1) + QByteArray("\x10\x10\0\0", 4) + le16(1) + le16(32)
        + le32(quint32(png.size())) + le32(22) + png;
}

QByteArray PictureBytes::jpeg(quint16 width, quint16 height, int components, int scans, bool progressive,
                              quint8 lumaSampling)
{
    QByteArray bytes("\xff\xd8", 2);
    bytes += segment(0xdb, QByteArray(1, '\0') + QByteArray(64, '\x01'));
    QByteArray frame = QByteArray(1, '\x08') + be16(height) + be16(width) + char(components);
    for (int c = 0; c < components; ++c)
        frame += QByteArray(1, char(c + 1)) + char(c == 0 ? lumaSampling : 0x11) + '\0';
    bytes += segment(progressive ? 0xc2 : 0xc0, frame);
    // One code of one bit each: DC difference 0, and end of block.
    const QByteArray oneCode = QByteArray(1, '\x01') + QByteArray(15, '\0') + '\0';
    bytes += segment(0xc4, '\0' + oneCode) + segment(0xc4, '\x10' + oneCode);
    // The blocks of each component, in whole units of the sampling.
    const int lumaH = lumaSampling >> 4;
    const int lumaV = lumaSampling & 0x0f;
    const qint64 units = qint64(width + 8 * lumaH - 1) / (8 * lumaH) * ((height + 8 * lumaV - 1) / (8 * lumaV));
    const auto blocks = [&](int c) { return c == 0 ? units * lumaH * lumaV : units; };
    for (int scan = 0; scan < scans; ++scan) {
        QByteArray header;
        qint64 scanBlocks = 0;
        if (progressive && scan == 0) {
            header = QByteArray(1, char(components));
            for (int c = 0; c < components; ++c) {
                header += QByteArray(1, char(c + 1)) + '\0';
                scanBlocks += blocks(c);
            }
            header += QByteArray(3, '\0');
        } else {
            const int c = progressive ? (scan - 1) % components : scan % components;
            header = QByteArray(1, '\x01') + char(c + 1) + '\0';
            header += progressive ? QByteArray("\x01\x3f\0", 3) : QByteArray("\0\x3f\0", 3);
            scanBlocks = blocks(c);
        }
        // The first scan codes every block as blank (the codes of each, two
        // bits at most); the others have one byte of data.
        bytes += segment(0xda, header) + QByteArray(scan == 0 ? int((scanBlocks * 2 + 7) / 8) : 1, '\0');
    }
    return bytes + QByteArray("\xff\xd9", 2);
}

QByteArray PictureBytes::refiningJpeg(quint16 width, quint16 height, int refinements)
{
    QByteArray bytes("\xff\xd8", 2);
    bytes += segment(0xdb, QByteArray(1, '\0') + QByteArray(64, '\x01'));
    bytes += segment(0xc2, QByteArray(1, '\x08') + be16(height) + be16(width) + QByteArray("\x01\x01\x11\0", 4));
    // DC: one code "0" for a difference of 0; AC: one code "0" for an
    // end-of-block run of 2^14 plus 14 more bits.
    const QByteArray oneCode = QByteArray(1, '\x01') + QByteArray(15, '\0');
    bytes += segment(0xc4, '\0' + oneCode + '\0') + segment(0xc4, '\x10' + oneCode + '\xe0');
    // Runs of 32767 blocks: the code 0, then 14 one bits.
    const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8);
    // Every DC difference 0, one bit each.
    bytes += segment(0xda, QByteArray("\x01\x01\0\0\0\0", 6)) + QByteArray(int((blocks + 7) / 8), '\0');
    const qint64 bits = (blocks + 32766) / 32767 * 15;
    QByteArray data;
    quint32 byte = 0;
    for (qint64 i = 0; i < bits + 7; ++i) {
        byte = (byte << 1) | (i >= bits || i % 15 != 0 ? 1u : 0u); // padded with one bits
        if (i % 8 == 7) {
            data += char(byte);
            if ((byte & 0xff) == 0xff)
                data += '\0'; // stuffed
            byte = 0;
        }
    }
    for (int scan = 0; scan < refinements; ++scan)
        bytes += segment(0xda, QByteArray("\x01\x01\0\x01\x3f\x10", 6)) + data;
    return bytes + QByteArray("\xff\xd9", 2);
}

QByteArray PictureBytes::orientedJpeg(int width, int height, int orientation)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(0, 0, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return withOrientation(bytes, orientation);
}

QByteArray PictureBytes::withOrientation(QByteArray jpeg, int orientation)
{
    // Exif: a little-endian TIFF header and one directory of one entry, the
    // orientation as a SHORT.
    const QByteArray exif = QByteArray("Exif\0\0II*\0", 10) + le32(8) + le16(1) + le16(0x0112) + le16(3)
        + le32(1) + le16(quint16(orientation)) + le16(0) + le32(0);
    return jpeg.insert(2, segment(0xe1, exif));
}

QByteArray PictureBytes::withFrameSize(QByteArray jpeg, quint16 width, quint16 height)
{
    const int frame = jpeg.indexOf("\xff\xc0");
    jpeg.replace(frame + 5, 4, be16(height) + be16(width));
    // A bit for every 8 x 8 block of up to four components at the new size.
    const qint64 blocks = 4 * (qint64(width) + 7) / 8 * ((qint64(height) + 7) / 8);
    return jpeg.insert(jpeg.lastIndexOf("\xff\xd9"), QByteArray(int((blocks + 7) / 8), '\0'));
}
