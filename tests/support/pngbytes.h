#pragma once

#include <QByteArray>
#include <QVector>

// Hand-made PNG pieces for tests that need files a normal writer would not
// produce (forged headers, truncated streams).
namespace PngBytes {
// One chunk: length, type, payload and a correct CRC.
QByteArray chunk(const char *type, const QByteArray &payload);
// The PNG signature and a valid header chunk announcing width x height
// 8-bit RGBA pixels; nothing follows.
QByteArray header(quint32 width, quint32 height);
// A valid PNG of width x height black pixels whose image data is a hand-made
// deflate stream of fixed-code back references (13 bits per 258 zero bytes),
// so pictures of hundreds of megabytes stay a few megabytes.
QByteArray zeros(quint32 width, quint32 height, int depth, int colourType);
// A 16-bit grey (colour type 0) or RGB (2) PNG of width x height whose
// samples are given line by line, stored plainly or Adam7-interlaced, with a
// tRNS chunk naming the transparent colour key when key is not empty.
QByteArray sixteenBit(int width, int height, int colourType, const QVector<quint16> &samples, bool interlaced,
                      const QVector<quint16> &key);
}
