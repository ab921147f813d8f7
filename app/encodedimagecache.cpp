#include "encodedimagecache.h"

#include <QBuffer>
#include <QImageWriter>
#include <QStringList>
#include <QtDebug>
#include <utility>

QByteArray EncodedImageCache::encode(const QImage &image, const QString &formatSpec)
{
    const QStringList parts = formatSpec.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    const QString name = parts.first();
    const QString compression = parts.last();

    const char *format = nullptr;
    int quality = -1;
    if (name == QLatin1String("PNG")) {
        format = "PNG";
    } else if (name == QLatin1String("JPG")) {
        format = "JPG";
        if (compression == QLatin1String("0"))
            quality = 20;
        else if (compression == QLatin1String("1"))
            quality = 70;
        else
            quality = 90;
    } else {
        qDebug("Unknown format");
        return QByteArray();
    }

    QByteArray bytes;
    if (image.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

QImage EncodedImageCache::decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QImage();
    return QImage::fromData(bytes);
}

QString EncodedImageCache::formatName(const QString &formatSpec)
{
    return formatSpec.split(QLatin1Char(';'), Qt::KeepEmptyParts).first();
}

EncodedImageCache::Entry &EncodedImageCache::entry(const QPixmap &pixmap, const QString &formatSpec)
{
    const qint64 key = pixmap.cacheKey();
    auto matches = [&](const Entry &e) {
        return e.valid && e.key == key && e.formatSpec == formatSpec;
    };
    if (matches(m_recent))
        return m_recent;
    if (matches(m_previous)) {
        std::swap(m_recent, m_previous);
        return m_recent;
    }

    Entry fresh;
    fresh.valid = true;
    fresh.key = key;
    fresh.formatSpec = formatSpec;
    fresh.bytes = encode(pixmap.toImage(), formatSpec);
    ++m_encodeCount;
    m_previous = std::move(m_recent);
    m_recent = std::move(fresh);
    return m_recent;
}

QByteArray EncodedImageCache::bytes(const QPixmap &pixmap, const QString &formatSpec)
{
    return entry(pixmap, formatSpec).bytes;
}

QPixmap EncodedImageCache::decodedPixmap(const QPixmap &pixmap, const QString &formatSpec)
{
    Entry &e = entry(pixmap, formatSpec);
    if (!e.decoded) {
        e.decodedImage = decode(e.bytes);
        e.decodedPixmap = QPixmap::fromImage(e.decodedImage);
        e.decoded = true;
        ++m_decodeCount;
    }
    return e.decodedPixmap;
}

void EncodedImageCache::clear()
{
    m_recent = Entry();
    m_previous = Entry();
}
