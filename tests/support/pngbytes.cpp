#include "pngbytes.h"

#include <QtEndian>

namespace {
quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
}

QByteArray PngBytes::chunk(const char *type, const QByteArray &payload)
{
    const QByteArray body = QByteArray(type) + payload;
    QByteArray length(4, '\0');
    qToBigEndian<quint32>(quint32(payload.size()), length.data());
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(crc32(body), crc.data());
    return length + body + crc;
}

QByteArray PngBytes::header(quint32 width, quint32 height)
{
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(width, ihdr.data());
    qToBigEndian<quint32>(height, ihdr.data() + 4);
    ihdr[8] = 8; // bit depth
    ihdr[9] = 6; // RGBA
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr);
}

QByteArray PngBytes::zeros(quint32 width, quint32 height, int depth, int colourType)
{
    const int channels = colourType == 6 ? 4 : (colourType == 2 ? 3 : 1);
    const quint64 raw = quint64(height) * (1 + (quint64(width) * channels * depth + 7) / 8);
    QByteArray stream("\x78\x01", 2);
    quint32 bits = 0;
    int count = 0;
    auto put = [&](quint32 value, int n) { // LSB first
        bits |= value << count;
        count += n;
        while (count >= 8) {
            stream.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    auto code = [&](quint32 value, int n) { // Huffman codes go MSB first
        for (int i = n - 1; i >= 0; --i)
            put((value >> i) & 1u, 1);
    };
    put(1, 1); // final block
    put(1, 2); // fixed codes
    code(0x30, 8); // literal 0
    quint64 left = raw - 1;
    for (; left >= 258; left -= 258) {
        code(0xc5, 8); // length 258
        code(0, 5);    // distance 1
    }
    for (; left > 0; --left)
        code(0x30, 8);
    code(0, 7); // end of block
    if (count > 0)
        put(0, 8 - count);
    const quint32 adler = quint32(raw % 65521) << 16 | 1u; // Adler-32 of zeros
    for (int i = 3; i >= 0; --i)
        stream.append(char(adler >> (8 * i)));

    QByteArray header(13, '\0');
    for (int i = 0; i < 4; ++i) {
        header[i] = char(width >> (24 - 8 * i));
        header[4 + i] = char(height >> (24 - 8 * i));
    }
    header[8] = char(depth);
    header[9] = char(colourType);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", stream)
        + chunk("IEND", QByteArray());
}


QByteArray PngBytes::sixteenBit(int width, int height, int colourType, const QVector<quint16> &samples,
                                bool interlaced, const QVector<quint16> &key)
{
    const int channels = colourType == 2 ? 3 : 1;
    struct Pass
    {
        int x0, y0, dx, dy;
    };
    const QVector<Pass> passes = interlaced
        ? QVector<Pass>{{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}}
        : QVector<Pass>{{0, 0, 1, 1}};
    QByteArray raw;
    for (const Pass &pass : passes) {
        if (pass.x0 >= width) // an empty pass has no lines at all
            continue;
        for (int y = pass.y0; y < height; y += pass.dy) {
            raw.append('\0'); // filter: none
            for (int x = pass.x0; x < width; x += pass.dx)
                for (int c = 0; c < channels; ++c) {
                    const quint16 sample = samples.at((y * width + x) * channels + c);
                    raw.append(char(sample >> 8)).append(char(sample & 0xff));
                }
        }
    }
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(quint32(width), header.data());
    qToBigEndian<quint32>(quint32(height), header.data() + 4);
    header[8] = 16;
    header[9] = char(colourType);
    header[12] = interlaced ? 1 : 0;
    QByteArray transparency;
    for (quint16 sample : key)
        transparency.append(char(sample >> 8)).append(char(sample & 0xff));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header)
        + (key.isEmpty() ? QByteArray() : chunk("tRNS", transparency))
        + chunk("IDAT", qCompress(raw).mid(4)) // without qCompress's length prefix
        + chunk("IEND", QByteArray());
}
