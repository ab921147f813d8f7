#pragma once

#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QtGlobal>

#include <limits>

namespace MGraphX {

// Turns a decoded picture the way its decoder's transformation says, with the
// pixels the decoder's own transform on read gives, in the picture's own
// memory. Mirrors and half turns move pixels within the buffer; a quarter
// turn transposes it in place, in strips of rows or columns through a small
// working buffer, and the turned picture is laid over the same memory. Only
// a picture whose turned lines do not fit its buffer (an 8, 16 or 24-bit
// picture whose turned lines need more padding than its lines have) or whose
// pixels are less than a byte is turned into a copy.
class ImageTurn
{
public:
    // The memory a turn by a quarter takes beside the picture itself, for a
    // picture of this size and bits per pixel as QImage lays it out: the
    // working strips, or the turned copy. Mirrors and half turns take none.
    // Strips are turned by up to four threads, each with a strip of its own,
    // as many as room (the memory that may be taken) allows; one at least.
    static qint64 workingBytes(const QSize &size, int bitsPerPixel,
                               qint64 room = std::numeric_limits<qint64>::max());

    // Turns *image by transformation, taking what workingBytes says for the
    // same room. Returns false, and leaves the image null, when the working
    // memory cannot be had.
    static bool apply(QImage *image, QImageIOHandler::Transformations transformation,
                      qint64 room = std::numeric_limits<qint64>::max());
};

} // namespace MGraphX
