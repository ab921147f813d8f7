#include "imageloader.h"

#include <QFileInfo>
#include <QImageReader>

bool ImageLoader::acceptsSize(const QSize &size)
{
    return size.width() > 0 && size.height() > 0
        && qint64(size.width()) * qint64(size.height()) <= MaxPixels;
}

QImage ImageLoader::load(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();

    QImageReader reader(path);
    // The header's size, where the format tells it before decoding.
    const QSize announced = reader.size();
    if (announced.isValid() && !acceptsSize(announced))
        return QImage();

    QImage image;
    if (!reader.read(&image))
        return QImage();
    if (!acceptsSize(image.size()))
        return QImage();
    return image;
}
