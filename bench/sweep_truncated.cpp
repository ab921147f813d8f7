// Pictures of every format Qt reads here, whole and cut short, through the
// program's readers. Run by hand; what a decoder never wrote shows as output
// that changes with the heap, so run it twice under different
// MALLOC_PERTURB_ values and compare, and once under valgrind:
//   sweep_truncated sweep            every picture cut at every sixteenth of
//                                    its length, read as a file (turned by its
//                                    orientation, as the program does) and as
//                                    a data URI: one line each, outcome, size
//                                    and a digest of the pixels
//   sweep_truncated make <folder>    writes the whole pictures, one file each
//   sweep_truncated hash <file>...   reads files through the loader: outcome,
//                                    size and digest, and the time it took
// scripts/sweep_truncated.sh runs the sweep both ways and compares.

#include "graphx.h"
#include "imagedecoder.h"
#include "picturebytes.h"
#include "pngbytes.h"
#include "textcodecs.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <functional>

namespace {

using MGraphX::ImageDecoder;

struct Sample
{
    QString name; // also the file name
    QByteArray label; // the type a data URI gives
    QByteArray bytes;
};

QByteArray le16(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

// A value that varies from pixel to pixel without a pattern.
quint32 noise(int x, int y, int salt)
{
    quint32 v = quint32(x) * 73856093u ^ quint32(y) * 19349663u ^ quint32(salt) * 83492791u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ (v >> 15);
}

QImage picture(int width, int height, QImage::Format format)
{
    if (format == QImage::Format_Mono) { // made bit by bit, its line padding set
        QImage mono(width, height, format);
        mono.fill(0u);
        mono.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                mono.setPixel(x, y, noise(x, y, 2) & 1);
        return mono;
    }
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 255 / width, y * 255 / height, noise(x, y, 1) & 0xff,
                                       format == QImage::Format_ARGB32 ? (x + y) * 7 & 0xff : 255));
    return image.convertToFormat(format);
}

QByteArray written(const QImage &image, const char *format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? bytes : QByteArray();
}

// Bitmap pixel rows, bottom-up, of the given depth (1 to 32), each padded to
// 32 bits; the values are palette indexes or BGR(A) samples.
QByteArray bmpRows(int width, int height, int bits)
{
    const int stride = (width * bits + 31) / 32 * 4;
    QByteArray rows(stride * height, '\0');
    for (int y = 0; y < height; ++y) {
        uchar *line = reinterpret_cast<uchar *>(rows.data()) + y * stride;
        for (int x = 0; x < width; ++x) {
            const quint32 v = noise(x, y, bits);
            switch (bits) {
            case 1:
            case 4:
            case 8: {
                const int bit = x * bits;
                line[bit / 8] |= uchar((v & ((1u << bits) - 1)) << (8 - bits - bit % 8));
                break;
            }
            case 16:
                qToLittleEndian<quint16>(quint16(v & 0x7fff), line + 2 * x);
                break;
            default:
                for (int b = 0; b < bits / 8; ++b)
                    line[x * bits / 8 + b] = uchar(v >> (8 * b));
            }
        }
    }
    return rows;
}

QByteArray palette(int colours, int entryBytes)
{
    QByteArray bytes;
    for (int i = 0; i < colours; ++i)
        bytes += QByteArray(1, char(i * 37)) + char(i * 91) + char(255 - i) + QByteArray(entryBytes - 3, '\0');
    return bytes;
}

enum BmpHeader { Core, Info, Fields565, V5Alpha, TopDown };

QByteArray bmp(int width, int height, int bits, BmpHeader kind)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    QByteArray info;
    QByteArray rows = bmpRows(width, height, bits);
    if (kind == Core) {
        info = le32(12) + le16(quint16(width)) + le16(quint16(height)) + le16(1) + le16(quint16(bits));
        info += palette(colours, 3);
    } else {
        const quint32 headerSize = kind == V5Alpha ? 124 : 40;
        const quint32 compression = kind == Fields565 || kind == V5Alpha ? 3 : 0;
        info = le32(headerSize) + le32(quint32(width)) + le32(quint32(kind == TopDown ? -height : height)) + le16(1)
            + le16(quint16(bits)) + le32(compression) + le32(quint32(rows.size())) + le32(2835) + le32(2835)
            + le32(0) + le32(0);
        if (kind == Fields565)
            info += le32(0xf800) + le32(0x07e0) + le32(0x001f);
        if (kind == V5Alpha) {
            info += le32(0x00ff0000) + le32(0x0000ff00) + le32(0x000000ff) + le32(0xff000000);
            info += le32(0x73524742) + QByteArray(36 + 12, '\0') + le32(4) + QByteArray(12, '\0');
        }
        info += palette(colours, 4);
    }
    const quint32 offset = quint32(14 + info.size());
    return "BM" + le32(offset + quint32(rows.size())) + le32(0) + le32(offset) + info + rows;
}

// An 8-bit (rle 1) or 4-bit (rle 2) run-length bitmap: runs of one value.
// With rowsGiven, its data ends after that many rows and its header gives no
// data size: the decoder leaves the other rows unwritten.
QByteArray rleBmp(int width, int height, int compression, int rowsGiven = -1)
{
    const int bits = compression == 1 ? 8 : 4;
    QByteArray data;
    for (int y = 0; y < (rowsGiven < 0 ? height : rowsGiven); ++y) {
        for (int x = 0; x < width;) {
            const int run = std::min(width - x, 1 + int(noise(x, y, 5) % 9));
            const int value = int(noise(x, y, 6) & (bits == 8 ? 0xff : 0x0f));
            data += char(run);
            data += char(bits == 8 ? value : value << 4 | value);
            x += run;
        }
        data += QByteArray(2, '\0'); // end of line
    }
    data += QByteArray("\0\x01", 2); // end of bitmap
    const QByteArray info = le32(40) + le32(quint32(width)) + le32(quint32(height)) + le16(1) + le16(quint16(bits))
        + le32(quint32(compression)) + le32(rowsGiven < 0 ? quint32(data.size()) : 0) + le32(2835) + le32(2835) + le32(0) + le32(0)
        + palette(1 << bits, 4);
    const quint32 offset = quint32(14 + info.size());
    return "BM" + le32(offset + quint32(data.size())) + le32(0) + le32(offset) + info + data;
}

// An icon (type 1) or cursor (2) of one bitmap entry of the given depth,
// with its AND mask.
QByteArray bitmapIcon(int side, int bits, int type)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    const QByteArray rows = bmpRows(side, side, bits);
    const QByteArray mask((side + 31) / 32 * 4 * side, '\0');
    const QByteArray entry = le32(40) + le32(quint32(side)) + le32(quint32(2 * side)) + le16(1)
        + le16(quint16(bits)) + le32(0) + le32(quint32(rows.size() + mask.size())) + le32(0) + le32(0) + le32(0)
        + le32(0) + palette(colours, 4) + rows + mask;
    return le16(0) + le16(quint16(type)) + le16(1) + char(side) + char(side) + char(colours == 256 ? 0 : colours)
        + '\0' + le16(1) + le16(quint16(bits)) + le32(quint32(entry.size())) + le32(22) + entry;
}

QByteArray asCursor(QByteArray icon)
{
    icon[2] = 2;
    return icon;
}

// An uncompressed GIF of 256 colours: a clear code every 250 pixels keeps
// every code 9 bits wide.
QByteArray gif(int width, int height, bool interlaced, bool transparent)
{
    QByteArray bytes = "GIF89a" + le16(quint16(width)) + le16(quint16(height)) + QByteArray("\xf7\0\0", 3);
    bytes += palette(256, 3);
    if (transparent)
        bytes += QByteArray("\x21\xf9\x04\x01\0\0\x05\0", 8);
    bytes += ',' + le16(0) + le16(0) + le16(quint16(width)) + le16(quint16(height)) + char(interlaced ? 0x40 : 0);
    QVector<int> order; // the rows in the order they are stored
    if (interlaced) {
        for (const auto &pass : {std::make_pair(0, 8), std::make_pair(4, 8), std::make_pair(2, 4),
                                 std::make_pair(1, 2)})
            for (int y = pass.first; y < height; y += pass.second)
                order += y;
    } else {
        for (int y = 0; y < height; ++y)
            order += y;
    }
    QByteArray data;
    quint32 accumulator = 0;
    int held = 0;
    const auto put = [&](int code) {
        accumulator |= quint32(code) << held;
        held += 9;
        while (held >= 8) {
            data += char(accumulator & 0xff);
            accumulator >>= 8;
            held -= 8;
        }
    };
    int sinceClear = 0;
    put(256);
    for (int y : order)
        for (int x = 0; x < width; ++x) {
            if (sinceClear == 250) {
                put(256);
                sinceClear = 0;
            }
            put(int(noise(x, y, 7) & 0xff));
            ++sinceClear;
        }
    put(257);
    if (held > 0)
        data += char(accumulator & 0xff);
    bytes += '\x08';
    for (int at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        bytes += char(block.size()) + block;
    }
    return bytes + QByteArray(1, '\0') + ';';
}

QByteArray netpbm(int kind, int width, int height, int maxval)
{
    const bool ascii = kind <= 3;
    const int channels = kind % 3 == 0 ? 3 : kind % 3 == 2 ? 1 : 0; // 0: bits
    QByteArray bytes = "P" + QByteArray::number(kind) + "\n" + QByteArray::number(width) + " "
        + QByteArray::number(height) + "\n";
    if (channels)
        bytes += QByteArray::number(maxval) + "\n";
    for (int y = 0; y < height; ++y) {
        if (!channels && !ascii) {
            QByteArray line((width + 7) / 8, '\0');
            for (int x = 0; x < width; ++x)
                if (noise(x, y, 8) & 1)
                    line[x / 8] = char(line.at(x / 8) | (0x80 >> (x % 8)));
            bytes += line;
            continue;
        }
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < std::max(1, channels); ++c) {
                const quint32 v = channels ? noise(x, y, 9 + c) % quint32(maxval + 1) : noise(x, y, 8) & 1;
                if (ascii)
                    bytes += QByteArray::number(v) + (x + 1 == width && c + 1 == std::max(1, channels) ? "\n" : " ");
                else if (maxval > 255)
                    bytes += char(v >> 8) + QByteArray(1, char(v & 0xff));
                else
                    bytes += char(v);
            }
    }
    return bytes;
}

// An X bitmap: C source of its rows, bytes of eight pixels, the lowest bit first.
QByteArray xbm(int width, int height)
{
    QByteArray bytes = "#define mono_width " + QByteArray::number(width) + "\n#define mono_height "
        + QByteArray::number(height) + "\nstatic char mono_bits[] = {\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; x += 8) {
            int byte = 0;
            for (int bit = 0; bit < 8 && x + bit < width; ++bit)
                byte |= int(noise(x + bit, y, 2) & 1) << bit;
            bytes += "0x" + QByteArray::number(byte, 16).rightJustified(2, '0') + ",\n";
        }
    return bytes + "};\n";
}

// A 16-bit RGB PNG whose every third pixel is the colour key of its tRNS chunk.
QByteArray keyedPng(int width, int height, bool interlaced)
{
    const QVector<quint16> key{0x1234, 0xabcd, 0x0f0f};
    QVector<quint16> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                samples += (y * width + x) % 3 == 0 ? key.at(c) : quint16(noise(x, y, c));
    return PngBytes::sixteenBit(width, height, 2, samples, interlaced, key);
}

QVector<Sample> corpus()
{
    const int w = 37;
    const int h = 23;
    QVector<Sample> samples;
    const auto add = [&](const QString &name, const QByteArray &label, const QByteArray &bytes) {
        if (bytes.isEmpty())
            std::fprintf(stderr, "could not make %s\n", qPrintable(name));
        else
            samples.append({name, label, bytes});
    };
    add("rgb.png", "png", written(picture(w, h, QImage::Format_RGB32), "png"));
    add("argb.png", "png", written(picture(w, h, QImage::Format_ARGB32), "png"));
    add("indexed.png", "png", written(picture(w, h, QImage::Format_Indexed8), "png"));
    add("grey.png", "png", written(picture(w, h, QImage::Format_Grayscale8), "png"));
    add("mono.png", "png", written(picture(w, h, QImage::Format_Mono), "png"));
    add("rgba64.png", "png", written(picture(w, h, QImage::Format_RGBA64), "png"));
    add("grey16.png", "png", written(picture(w, h, QImage::Format_Grayscale16), "png"));
    add("keyed16.png", "png", keyedPng(w, h, false));
    add("keyed16-interlaced.png", "png", keyedPng(w, h, true));
    add("photo.jpeg", "jpeg", written(picture(w * 4, h * 4, QImage::Format_RGB32), "jpeg"));
    add("grey.jpeg", "jpeg", written(picture(w * 4, h * 4, QImage::Format_Grayscale8), "jpeg"));
    add("progressive.jpeg", "jpeg", written(picture(w * 4, h * 4, QImage::Format_RGB32), "jpeg", true));
    add("turned.jpeg", "jpeg", PictureBytes::orientedJpeg(w * 4, h * 4, 6));
    add("plain.gif", "gif", gif(w, h, false, false));
    add("interlaced.gif", "gif", gif(w, h, true, true));
    for (int bits : {1, 4, 8, 16, 24, 32})
        add(QString("info%1.bmp").arg(bits), "bmp", bmp(w, h, bits, Info));
    for (int bits : {1, 4, 8, 24})
        add(QString("core%1.bmp").arg(bits), "bmp", bmp(w, h, bits, Core));
    add("fields565.bmp", "bmp", bmp(w, h, 16, Fields565));
    add("v5alpha.bmp", "bmp", bmp(w, h, 32, V5Alpha));
    add("topdown24.bmp", "bmp", bmp(w, h, 24, TopDown));
    add("rle8.bmp", "bmp", rleBmp(w, h, 1));
    add("rle4.bmp", "bmp", rleBmp(w, h, 2));
    // Large enough for the picture's memory to span whole pages.
    add("rle8-ends-early.bmp", "bmp", rleBmp(w * 8, h * 8, 1, h));
    add("argb.ico", "x-icon", written(picture(32, 32, QImage::Format_ARGB32), "ico"));
    add("argb.cur", "x-icon", asCursor(written(picture(32, 32, QImage::Format_ARGB32), "ico")));
    for (int bits : {1, 4, 8, 24})
        add(QString("bitmap%1.ico").arg(bits), "x-icon", bitmapIcon(32, bits, 1));
    add("bitmap8.cur", "x-icon", bitmapIcon(32, 8, 2));
    add("png.ico", "x-icon", PictureBytes::icoHolding(written(picture(w, h, QImage::Format_ARGB32), "png")));
    add("keyed16png.ico", "x-icon", PictureBytes::icoHolding(keyedPng(w, h, false)));
    add("keyed16png.cur", "x-icon", asCursor(PictureBytes::icoHolding(keyedPng(w, h, true))));
    add("ascii.pbm", "x-portable-bitmap", netpbm(1, w, h, 1));
    add("ascii.pgm", "x-portable-graymap", netpbm(2, w, h, 255));
    add("ascii.ppm", "x-portable-pixmap", netpbm(3, w, h, 255));
    add("binary.pbm", "x-portable-bitmap", netpbm(4, w, h, 1));
    add("binary.pgm", "x-portable-graymap", netpbm(5, w, h, 255));
    add("binary.ppm", "x-portable-pixmap", netpbm(6, w, h, 255));
    add("binary16.pgm", "x-portable-graymap", netpbm(5, w, h, 65535));
    add("binary16.ppm", "x-portable-pixmap", netpbm(6, w, h, 65535));
    add("ascii16.ppm", "x-portable-pixmap", netpbm(3, w, h, 65535));
    add("mono.xbm", "x-xbitmap", xbm(w, h));
    add("indexed.xpm", "x-xpixmap", written(picture(w, h, QImage::Format_Indexed8), "xpm"));
    add("argb.xpm", "x-xpixmap", written(picture(w, h, QImage::Format_ARGB32), "xpm"));
    return samples;
}

// Outcome, size and a digest of every pixel's 16-bit samples.
QByteArray describe(const QImage &image, ImageDecoder::Outcome outcome)
{
    static const char *names[] = {"taken", "not-a-file", "not-a-picture", "too-large", "too-costly"};
    if (image.isNull())
        return QByteArray(outcome >= 0 && outcome <= 4 ? names[outcome] : "refused");
    const QImage samples = image.convertToFormat(QImage::Format_RGBA64);
    QCryptographicHash digest(QCryptographicHash::Md5);
    for (int y = 0; y < samples.height(); ++y)
        digest.addData(reinterpret_cast<const char *>(samples.constScanLine(y)), samples.width() * 8);
    return QByteArray(names[outcome]) + ' ' + QByteArray::number(image.width()) + 'x'
        + QByteArray::number(image.height()) + ' ' + digest.result().toHex().left(16);
}

int sweep()
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return 1;
    const QString path = folder.filePath("cut");
    int cuts = 0;
    for (const Sample &sample : corpus()) {
        for (int sixteenths = 1; sixteenths <= 16; ++sixteenths) {
            const QByteArray bytes = sample.bytes.left(int(qint64(sample.bytes.size()) * sixteenths / 16));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
                return 1;
            file.close();
            ImageDecoder::Outcome outcome = ImageDecoder::NotAFile;
            const QImage loaded = ImageDecoder::decodeFile(path, true, &outcome);
            const QImage fromUri = MGraphX::GraphX::fromDataUri("data:image/" + QString::fromLatin1(sample.label)
                                                                + ";base64," + MTools::toBase64String(bytes));
            std::printf("%-24s %2d/16 file %-40s uri %s\n", qPrintable(sample.name), sixteenths,
                        describe(loaded, outcome).constData(),
                        describe(fromUri, fromUri.isNull() ? ImageDecoder::NotAPicture : ImageDecoder::Taken)
                            .constData());
            ++cuts;
        }
    }
    std::fprintf(stderr, "%d cuts\n", cuts);
    return 0;
}

int make(const QString &folder)
{
    QDir().mkpath(folder);
    for (const Sample &sample : corpus()) {
        QFile file(QDir(folder).filePath(sample.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(sample.bytes) != sample.bytes.size())
            return 1;
    }
    return 0;
}

int hash(const QStringList &files)
{
    QElapsedTimer timer;
    timer.start();
    for (const QString &name : files) {
        ImageDecoder::Outcome outcome = ImageDecoder::NotAFile;
        const QImage image = ImageDecoder::decodeFile(name, true, &outcome);
        std::printf("%-40s %s\n", qPrintable(QFileInfo(name).fileName()), describe(image, outcome).constData());
    }
    std::fprintf(stderr, "%d files, %lld ms\n", int(files.size()), timer.elapsed());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args.at(1) == "sweep")
        return sweep();
    if (args.size() == 3 && args.at(1) == "make")
        return make(args.at(2));
    if (args.size() >= 3 && args.at(1) == "hash")
        return hash(args.mid(2));
    std::fprintf(stderr, "usage: sweep_truncated sweep | make <folder> | hash <file>...\n");
    return 2;
}
