#pragma once

#include <QImage>
#include <QString>

// Reads an image file for the road from a dropped or opened file to the
// previews, turned the way the picture's own orientation says. Returns a null
// image for anything it will not or cannot read, and tells why: paths that are
// not regular files (FIFOs and devices would block) or cannot be opened, files
// that are not images or are truncated or corrupt, and images whose decoding
// would exceed the budget of MTools::ImageHeader (100 megapixels, the memory
// of such a picture at 8 bits per channel, a sane number of JPEG scans),
// judged from the headers before decoding (MTools::ImageDecoder); a picture
// turned by its orientation counts its turned copy. The budget also keeps the
// road's several full copies of the picture, and its base64 text within a
// QString.
class ImageLoader
{
public:
    enum Outcome { Taken, NotAFile, NotAPicture, TooLarge };

    static QImage load(const QString &path, Outcome *outcome = nullptr);
};
