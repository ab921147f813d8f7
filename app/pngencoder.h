#pragma once

#include <QByteArray>

class QImage;

// Writes a QImage as a standard PNG file in memory, several times faster than
// Qt's PNG writer: the rows are filtered and the single zlib stream is deflated
// in slices on all cores, each slice by libdeflate or zlib, whichever suits
// it. The bytes decode (with Qt's reader) to the same image as Qt's writer
// output, and carry the same metadata chunks (pHYs, iCCP, text).
//
// Images with an alpha channel (QImage::hasAlphaChannel) become 8-bit RGBA with
// straight alpha, Grayscale8 and Grayscale16 become 8-bit grey, all other
// formats 8-bit RGB. Sixteen-bit formats are reduced to 8 bits per channel.
class PngEncoder
{
public:
    // Returns the PNG bytes; a null image gives an empty array.
    // quality has the meaning of QImageWriter::setQuality for Qt's PNG writer:
    // any negative value is the default (zlib level 6), 0 to 100 select zlib
    // level 9 - quality / 10, so 90 and above store the data uncompressed.
    static QByteArray encode(const QImage &image, int quality = -1);

    // The same with an explicit number of threads; 0 or less means one per
    // core. The bytes do not depend on the number of threads.
    static QByteArray encode(const QImage &image, int quality, int threadCount);

    // The compression level (0 to 9, as zlib counts) that a quality selects.
    static int compressionLevel(int quality);
};
