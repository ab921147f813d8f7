#pragma once

#include <QImage>
#include <QSize>
#include <QString>

class QImageReader;

// Reads an image file for the road from a dropped or opened file to the
// previews. Returns a null image for anything it will not or cannot read:
// paths that are not regular files (FIFOs and devices would block), files that
// are not images, truncated or corrupt data, and images larger than MaxPixels.
class ImageLoader
{
public:
    // The largest image the program takes, in pixels. The road keeps several
    // full copies of the image and its base64 text must fit a QString.
    static constexpr qint64 MaxPixels = 100000000;

    static QImage load(const QString &path);

    // True when an image of this size may be taken.
    static bool acceptsSize(const QSize &size);

    // The size of the picture the reader's next read will decode, taken from
    // the file's headers without decoding; an invalid size when it cannot be
    // known beforehand. The reader's device is left where it was.
    static QSize decodedSize(QImageReader &reader);
};
