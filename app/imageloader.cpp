#include "imageloader.h"

#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <limits>

namespace {

// length bytes at offset, or nothing when the device holds fewer.
QByteArray readAt(QIODevice *device, qint64 offset, int length)
{
    const qint64 start = device->pos();
    QByteArray bytes;
    if (device->seek(offset))
        bytes = device->read(length);
    device->seek(start);
    return bytes.size() == length ? bytes : QByteArray();
}

quint16 le16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 le32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

QSize sizeOf(quint32 width, quint32 height)
{
    const quint32 most = quint32(std::numeric_limits<int>::max());
    if (width == 0 || height == 0 || width > most || height > most)
        return QSize();
    return QSize(int(width), int(height));
}

// A bitmap gives as many rows as its height counts, whichever way they run: a
// negative height only means the rows are stored top-down.
QSize bmpSize(QIODevice *device, qint64 start)
{
    const QByteArray header = readAt(device, start, 26);
    if (header.isEmpty() || !header.startsWith("BM"))
        return QSize();
    if (le32(header, 14) == 12) // the old core header, with 16-bit sizes
        return sizeOf(le16(header, 18), le16(header, 20));
    const qint32 width = qint32(le32(header, 18));
    const qint32 height = qint32(le32(header, 22));
    if (width <= 0 || height == std::numeric_limits<qint32>::min())
        return QSize();
    return sizeOf(quint32(width), quint32(qAbs(height)));
}

// A GIF decodes to its logical screen, whatever the size of its frames. A
// file without a screen size is refused: its decoder would pick one itself.
QSize gifSize(QIODevice *device, qint64 start)
{
    const QByteArray header = readAt(device, start, 10);
    if (header.isEmpty() || !header.startsWith("GIF"))
        return QSize();
    return sizeOf(le16(header, 6), le16(header, 8));
}

// An icon file decodes its first entry. PNG data decodes to the size in its
// own header, whatever the directory says; bitmap entries are at most 256
// pixels a side, the directory's 0 standing for 256.
QSize icoSize(QIODevice *device, qint64 start)
{
    const QByteArray directory = readAt(device, start, 22);
    if (directory.isEmpty() || le16(directory, 0) != 0 || le16(directory, 4) == 0)
        return QSize();
    const QByteArray data = readAt(device, start + le32(directory, 18), 24);
    if (data.isEmpty())
        return QSize();
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return sizeOf(qFromBigEndian<quint32>(data.constData() + 16),
                      qFromBigEndian<quint32>(data.constData() + 20));
    const int width = quint8(directory.at(6));
    const int height = quint8(directory.at(7));
    return QSize(width ? width : 256, height ? height : 256);
}

} // namespace

bool ImageLoader::acceptsSize(const QSize &size)
{
    return size.width() > 0 && size.height() > 0
        && qint64(size.width()) * qint64(size.height()) <= MaxPixels;
}

QSize ImageLoader::decodedSize(QImageReader &reader)
{
    const QByteArray format = reader.format();
    QIODevice *device = reader.device();
    if (format.isEmpty() || !device)
        return QSize();
    const qint64 start = device->pos();
    if (format == "bmp")
        return bmpSize(device, start);
    if (format == "gif")
        return gifSize(device, start);
    if (format == "ico" || format == "cur")
        return icoSize(device, start);
    // PNG, JPEG, the PBM family, XBM and XPM decode to the size their header
    // gives; so are other formats taken to, where their reader tells one.
    return reader.size();
}

QImage ImageLoader::load(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return QImage();

    QImageReader reader(path);
    // A small file can announce a small picture and decode to a huge one, so
    // the cap applies to what will be decoded, and an unknown size is refused.
    if (!acceptsSize(decodedSize(reader)))
        return QImage();

    QImage image;
    if (!reader.read(&image))
        return QImage();
    // A decoder may still produce another size than its headers gave.
    if (!acceptsSize(image.size()))
        return QImage();
    return image;
}
