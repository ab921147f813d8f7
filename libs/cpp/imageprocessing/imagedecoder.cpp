#include "imagedecoder.h"

#include "filehelpers.h"
#include "imageheader.h"
#include "imageturn.h"
#include "skippingdevice.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#endif
#endif

namespace MGraphX {

namespace {

QImage refuse(ImageDecoder::Outcome why, ImageDecoder::Outcome *outcome)
{
    if (outcome)
        *outcome = why;
    return QImage();
}

// One name for each format the headers read ("jpg" is "jpeg", a cursor an icon).
QByteArray family(const QByteArray &format)
{
    const QByteArray name = format.toLower();
    if (name == "jpg")
        return "jpeg";
    if (name == "cur")
        return "ico";
    return name;
}

// Over the budget: over the pixel cap, or else too costly to decode.
ImageDecoder::Outcome overBudget(const QSize &size)
{
    return qint64(size.width()) * size.height() > ImageHeader::MaxPixels ? ImageDecoder::TooLarge
                                                                          : ImageDecoder::TooCostly;
}

bool quarterTurn(QImageIOHandler::Transformations transformation)
{
    return transformation & QImageIOHandler::TransformationRotate90;
}

bool readByHeaders(const QByteArray &format)
{
    static const QByteArray known[] = {"png", "jpeg", "gif", "bmp", "ico"};
    const QByteArray name = family(format);
    return std::find(std::begin(known), std::end(known), name) != std::end(known);
}

// The bits a pixel of a format a decoder announces; 0 when it names none.
int bitsPerPixel(QImage::Format format)
{
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return 0;
    return QImage::toPixelFormat(format).bitsPerPixel();
}

// Makes transparent every pixel of a 16-bit RGB picture, decoded with its
// alpha at full, whose samples are the transparent colour key (three 16-bit
// big-endian samples); the samples stay as they are, unpremultiplied.
void applyKey(QImage *image, const QByteArray &key)
{
    const uchar *k = reinterpret_cast<const uchar *>(key.constData());
    const quint16 red = qFromBigEndian<quint16>(k);
    const quint16 green = qFromBigEndian<quint16>(k + 2);
    const quint16 blue = qFromBigEndian<quint16>(k + 4);
    image->reinterpretAsFormat(QImage::Format_RGBA64);
    for (int y = 0; y < image->height(); ++y) {
        QRgba64 *line = reinterpret_cast<QRgba64 *>(image->scanLine(y));
        for (int x = 0; x < image->width(); ++x)
            if (line[x].red() == red && line[x].green() == green && line[x].blue() == blue)
                line[x].setAlpha(0);
    }
}

// Makes the picture's memory zero bytes without touching it: on Linux its
// whole pages are handed back, and the system maps zeroed ones in as they are
// written (the memory malloc hands out is private and anonymous); only the
// parts of pages at its ends are written here.
void zeroUntouched(QImage *image)
{
    uchar *bits = image->bits();
    const quintptr size = quintptr(image->sizeInBytes());
#ifdef Q_OS_LINUX
    const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
    const quintptr start = quintptr(bits);
    const quintptr first = (start + page - 1) / page * page;
    const quintptr last = (start + size) / page * page;
    if (first < last && madvise(reinterpret_cast<void *>(first), last - first, MADV_DONTNEED) == 0) {
        std::memset(bits, 0, first - start);
        std::memset(reinterpret_cast<void *>(last), 0, start + size - last);
#ifdef VALGRIND_MAKE_MEM_DEFINED
        VALGRIND_MAKE_MEM_DEFINED(bits, size);
#endif
        return;
    }
#endif
    std::memset(bits, 0, size);
}

// A picture of the size and pixel format the reader's decoder announces, for
// the decoder to write into: Qt's decoders reuse an image of the size and
// format they produce. Its memory is zero bytes, mapped only as the decoder
// writes it, so that a file that holds fewer pixels than it announces costs
// no more than it holds, and what a short or damaged file leaves unwritten is
// zero bytes rather than earlier contents of the heap: colour 0, transparent,
// or black with its filler byte clear, as Qt's GIF decoder clears a screen.
// A null image when the decoder announces no size or format, or one over the
// budget.
QImage blankFor(QImageReader *reader)
{
    QSize size = reader->size();
    // A bitmap stored top-down announces its rows as a negative height.
    size.setHeight(qAbs(size.height()));
    // A decoder that could not read its headers announces no size, and its
    // pixel format is then not to be asked.
    if (size.isEmpty())
        return QImage();
    const QImage::Format format = reader->imageFormat();
    const int bits = bitsPerPixel(format);
    if (bits == 0 || !ImageHeader::fits(size, (qint64(size.width()) * bits + 31) / 32 * 4 * size.height()))
        return QImage();
    QImage image(size, format);
    if (!image.isNull())
        zeroUntouched(&image);
    return image;
}

// What judge() says of the picture whose headers were read into header; for
// one that fits, *format receives the format it is decoded as.
ImageDecoder::Outcome judged(const ImageHeader &header, QIODevice *device, const QByteArray &label, bool turn,
                             QByteArray *format)
{
    // A label that names a decoder picks that decoder, so the content must be
    // what it says.
    const bool labelDecodes = !label.isEmpty() && QImageReader::supportedImageFormats().contains(label.toLower());
    *format = header.format();
    QSize size = header.size();
    ImageHeader::Verdict verdict = ImageHeader::Unreadable;
    if (!format->isEmpty()) {
        if (labelDecodes && family(label) != family(*format))
            return ImageDecoder::NotAPicture;
        verdict = header.verdict(QSize(), 0, turn);
    } else if (!readByHeaders(label) && device && device->isOpen() && !device->isSequential()) {
        // Neither the headers nor the label know the format: its decoder
        // tells size and pixel format, and a decoder for a format the headers
        // read would be one they found no such data for.
        const qint64 start = device->pos();
        QImageReader probe(device, labelDecodes ? label.toLower() : QByteArray());
        *format = probe.format().toLower();
        size = probe.size();
        // The headers do not read this format's orientation: its decoder tells
        // whether the picture will be turned by a quarter.
        if (!format->isEmpty() && !readByHeaders(*format))
            verdict = header.verdict(size, bitsPerPixel(probe.imageFormat()),
                                     turn && quarterTurn(probe.transformation()));
        if (!device->seek(start))
            verdict = ImageHeader::Unreadable;
    }
    switch (verdict) {
    case ImageHeader::Fits:
        return ImageDecoder::Taken;
    case ImageHeader::TooLarge:
        return overBudget(size);
    case ImageHeader::Unreadable:
        break;
    }
    return ImageDecoder::NotAPicture;
}

} // namespace

ImageDecoder::Outcome ImageDecoder::judge(QIODevice *device, const QByteArray &label, bool turn)
{
    QByteArray format;
    return judged(ImageHeader(device), device, label, turn, &format);
}

QImage ImageDecoder::decode(QIODevice *device, const QByteArray &label, bool turn, Outcome *outcome)
{
    const ImageHeader header(device);
    QByteArray format;
    const Outcome judgement = judged(header, device, label, turn, &format);
    if (judgement != Taken)
        return refuse(judgement, outcome);

    // Qt's decoder lays out a 16-bit RGB PNG with a transparent colour as
    // 8-byte pixels of 6-byte samples, leaving part of each line unwritten:
    // such a picture is decoded as if it had no tRNS chunk, to exact 16-bit
    // samples at full alpha, and the colour is applied here. One that is an
    // icon's first entry is decoded so too, as the PNG data it is.
    QVector<ImageHeader::Range> keyChunks = header.pngKeyChunks();
    std::unique_ptr<SkippingDevice> withoutKey;
    if (!keyChunks.isEmpty()) {
        qint64 start = device->pos();
        if (format != "png") {
            const ImageHeader::Range entry = header.iconPng();
            start = entry.first;
            if (entry.second < device->size())
                keyChunks.append({entry.second, device->size()});
            format = "png";
        }
        withoutKey.reset(new SkippingDevice(device, start, keyChunks));
    }
    QImageReader reader(withoutKey ? withoutKey.get() : device, format);
    // The picture is turned here, in its own memory, not by the reader into a copy.
    reader.setAutoTransform(false);
    QImage image = blankFor(&reader);
    if (!reader.read(&image))
        return refuse(NotAPicture, outcome);
    if (withoutKey) {
        if (image.format() != QImage::Format_RGBX64)
            return refuse(NotAPicture, outcome);
        if (!header.pngKey().isEmpty())
            applyKey(&image, header.pngKey());
    }
    // A decoder may still produce another size than its headers gave, or be
    // turned otherwise than they said.
    const QImageIOHandler::Transformations transformation = turn ? reader.transformation()
                                                                 : QImageIOHandler::TransformationNone;
    const qint64 room = ImageHeader::MaxBytes - image.sizeInBytes();
    const qint64 working = quarterTurn(transformation) ? ImageTurn::workingBytes(image.size(), image.depth(), room)
                                                       : 0;
    if (!ImageHeader::fits(image.size(), image.sizeInBytes() + working))
        return refuse(overBudget(image.size()), outcome);
    if (!ImageTurn::apply(&image, transformation, room))
        return refuse(TooCostly, outcome);
    if (outcome)
        *outcome = Taken;
    return image;
}

QImage ImageDecoder::decodeFile(const QString &fileName, bool turn, Outcome *outcome)
{
    // What the name shows as no regular file is not opened at all; what is
    // swapped in under it meanwhile is caught on the open descriptor.
    QFile file;
    if (fileName.isEmpty() || !QFileInfo(fileName).isFile() || !MTools::openRegularFile(fileName, &file))
        return refuse(NotAFile, outcome);
    return decode(&file, QByteArray(), turn, outcome);
}

} // namespace MGraphX
