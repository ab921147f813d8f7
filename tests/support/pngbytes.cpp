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
