// Times PngEncoder against Qt's PNG writer on large photo-like images.
//
//   bench_png [--no-qt] [--threads N] [--quality Q]
//
// For 4000x3000 and 6000x4000 images, opaque (RGB32, what a photo becomes on
// its way through the program) and with alpha (ARGB32, and premultiplied as a
// pixmap with alpha gives it), and once smoothed by a JPEG round trip, it
// prints Qt's time and size, ours (best of three), the size ratio and the
// speed-up, and checks that both decode to the same pixels.
#include "photolike.h"
#include "pngencoder.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {


QByteArray qtWrite(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool withQt = !args.contains(QStringLiteral("--no-qt"));
    int threads = 0;
    int quality = -1;
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == QLatin1String("--threads"))
            threads = args[i + 1].toInt();
        if (args[i] == QLatin1String("--quality"))
            quality = args[i + 1].toInt();
    }
    std::printf("quality %d (zlib level %d), threads %d\n", quality,
                PngEncoder::compressionLevel(quality), threads > 0 ? threads : QThread::idealThreadCount());

    struct Case
    {
        QSize size;
        QImage::Format format;
        bool viaJpeg; // smoother, like a camera JPEG that was opened
    };
    const Case cases[] = {
        {QSize(4000, 3000), QImage::Format_RGB32, false},
        {QSize(4000, 3000), QImage::Format_ARGB32, false},
        {QSize(4000, 3000), QImage::Format_ARGB32_Premultiplied, false},
        {QSize(4000, 3000), QImage::Format_RGB32, true},
        {QSize(6000, 4000), QImage::Format_RGB32, false},
        {QSize(6000, 4000), QImage::Format_ARGB32, false},
    };
    for (const Case &c : cases) {
        const bool alpha = c.format != QImage::Format_RGB32;
        QImage image = photoLike(c.size.width(), c.size.height(), alpha, 2024);
        if (c.viaJpeg) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "JPG", 90);
            image = QImage::fromData(jpeg);
        }
        image = image.convertToFormat(c.format);
        std::printf("%dx%d %s%s\n", c.size.width(), c.size.height(),
                    c.format == QImage::Format_RGB32   ? "RGB32"
                    : c.format == QImage::Format_ARGB32 ? "ARGB32"
                                                        : "ARGB32_Premultiplied",
                    c.viaJpeg ? ", after JPEG quality 90" : "");

        QElapsedTimer timer;
        QByteArray reference;
        qint64 qtMs = 0;
        if (withQt) {
            timer.start();
            reference = qtWrite(image, quality);
            qtMs = timer.elapsed();
            std::printf("  Qt writer:  %6lld ms  %10d bytes\n", qtMs, reference.size());
        }

        // Best of three runs.
        QByteArray ours;
        qint64 ourMs = -1;
        for (int run = 0; run < 3; ++run) {
            timer.start();
            ours = PngEncoder::encode(image, quality, threads);
            const qint64 ms = timer.elapsed();
            ourMs = ourMs < 0 ? ms : std::min(ourMs, ms);
        }
        std::printf("  PngEncoder: %6lld ms  %10d bytes\n", ourMs, ours.size());

        if (withQt) {
            const QImage a = QImage::fromData(ours);
            const QImage b = QImage::fromData(reference);
            std::printf("  size ratio %.4f, speed-up %.1fx, same pixels: %s\n",
                        double(ours.size()) / reference.size(),
                        double(qtMs) / std::max<qint64>(1, ourMs),
                        (!a.isNull() && a == b) ? "yes" : "NO");
        }
    }
    return 0;
}
