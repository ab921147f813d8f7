// What decoding a picture costs through the program's readers. Run by hand,
// one picture a process, under /usr/bin/time -v for the peak memory:
//   bench_decode make <case> <file>   writes a test picture (cases below)
//   bench_decode load <file>          the program's loader (turned by orientation)
//   bench_decode uri <file>           a data URI of the file's bytes
// Cases: turned100 and turned64 (10000 and 8000 square JPEGs turned by their
// orientation), photo100 (a photo-like 10000 x 10000 baseline JPEG),
// progressive100 (the same, progressive), grey16 (8000 x 8000 16-bit grey
// PNG), refine<N> (10000 x 10000 grey JPEG of N refinement scans),
// photo<W>x<H>o<N> and grey<W>x<H>o<N> (a photo-like baseline JPEG, in colour
// or grey, of that size carrying the EXIF orientation N, as a phone stores a
// turned shot).

#include "graphx.h"
#include "imagedecoder.h"
#include "textcodecs.h"
#include "photolike.h"
#include "picturebytes.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QRegularExpression>
#include <cstdio>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool make(const QString &name, const QString &path)
{
    if (name == "turned100")
        return writeBytes(path, PictureBytes::orientedJpeg(10000, 10000, 6));
    if (name == "turned64")
        return writeBytes(path, PictureBytes::orientedJpeg(8000, 8000, 6));
    if (name.startsWith("refine"))
        return writeBytes(path, PictureBytes::refiningJpeg(10000, 10000, name.mid(6).toInt()));
    if (name == "grey16") {
        QImage grey = photoLike(8000, 8000, false, 7).convertToFormat(QImage::Format_Grayscale16);
        return grey.save(path, "PNG");
    }
    const QRegularExpressionMatch oriented = QRegularExpression("^(photo|grey)(\\d+)x(\\d+)o([1-8])$").match(name);
    if (oriented.hasMatch()) {
        QImage photo = photoLike(oriented.captured(2).toInt(), oriented.captured(3).toInt(), false, 7);
        if (oriented.captured(1) == "grey")
            photo = photo.convertToFormat(QImage::Format_Grayscale8);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(90);
        return writer.write(photo)
            && writeBytes(path, PictureBytes::withOrientation(bytes, oriented.captured(4).toInt()));
    }
    if (name == "photo100" || name == "progressive100") {
        QImageWriter writer(path, "jpeg");
        writer.setQuality(90);
        writer.setProgressiveScanWrite(name == "progressive100");
        return writer.write(photoLike(10000, 10000, false, 7));
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == "make")
        return make(args.at(2), args.at(3)) ? 0 : 1;
    if (args.size() != 3 || (args.at(1) != "load" && args.at(1) != "uri")) {
        std::fprintf(stderr, "usage: bench_decode make <case> <file> | load <file> | uri <file>\n");
        return 2;
    }
    QElapsedTimer timer;
    QImage image;
    if (args.at(1) == "load") {
        timer.start();
        image = MGraphX::ImageDecoder::decodeFile(args.at(2), true);
    } else {
        QFile file(args.at(2));
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const QString uri = "data:image/" + QFileInfo(file).suffix() + ";base64,"
            + MTools::toBase64String(file.readAll());
        timer.start();
        image = MGraphX::GraphX::fromDataUri(uri);
    }
    std::printf("%s: %dx%d, %lld ms\n", image.isNull() ? "refused" : "taken", image.width(), image.height(),
                timer.elapsed());
    return 0;
}
