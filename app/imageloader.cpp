#include "imageloader.h"

#include "imageheader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

QImage refuse(ImageLoader::Outcome why, ImageLoader::Outcome *outcome)
{
    if (outcome)
        *outcome = why;
    return QImage();
}

} // namespace

QImage ImageLoader::load(const QString &path, Outcome *outcome)
{
    QFile file(path);
    if (path.isEmpty() || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return refuse(NotAFile, outcome);

    // A small file can announce a small picture and decode to a huge one, or
    // cost far more to decode than its pixels, so the budget applies to what
    // the headers say decoding will take, and an unknown size is refused.
    const MTools::ImageHeader header(&file);
    QImageReader reader(&file);
    reader.setAutoTransform(true);
    switch (header.verdict(reader.size(), QImage::toPixelFormat(reader.imageFormat()).bitsPerPixel())) {
    case MTools::ImageHeader::Fits:
        break;
    case MTools::ImageHeader::TooLarge:
        return refuse(TooLarge, outcome);
    case MTools::ImageHeader::Unreadable:
        return refuse(NotAPicture, outcome);
    }

    QImage image;
    if (!reader.read(&image))
        return refuse(NotAPicture, outcome);
    // A decoder may still produce another size than its headers gave.
    if (!MTools::ImageHeader::fits(image.size(), image.sizeInBytes()))
        return refuse(TooLarge, outcome);
    if (outcome)
        *outcome = Taken;
    return image;
}
