#include "imageloader.h"

#include "imageheader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

QImage ImageLoader::load(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QImage();

    // A small file can announce a small picture and decode to a huge one, or
    // cost far more to decode than its pixels, so the budget applies to what
    // the headers say decoding will take, and an unknown size is refused.
    const MTools::ImageHeader header(&file);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const int bitsPerPixel = QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel();
    if (header.verdict(reader.size(), bitsPerPixel) != MTools::ImageHeader::Fits)
        return QImage();

    QImage image;
    if (!reader.read(&image))
        return QImage();
    // A decoder may still produce another size than its headers gave.
    if (!MTools::ImageHeader::fits(image.size(), image.sizeInBytes()))
        return QImage();
    return image;
}
