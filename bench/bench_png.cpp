// Times PngEncoder against Qt's PNG writer on large photo-like images.
//
//   bench_png [--no-qt] [--threads N] [--quality Q]
//
// For 4000x3000 and 6000x4000 images, opaque (RGB32, what a photo becomes on
// its way through the program) and with alpha (ARGB32, and premultiplied as a
// pixmap with alpha gives it), and once smoothed by a JPEG round trip, it
// prints Qt's time and size, ours (best of three), the size ratio and the
// speed-up, and checks that both decode to the same pixels.
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

// Smooth gradients, a few sharp-edged discs and low-amplitude noise, from a
// fixed seed: compresses roughly like a photo, unlike pure noise.
QImage photoLike(int width, int height, bool alpha, quint32 seed)
{
    quint64 state = seed;
    auto random = [&state]() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(state >> 33);
    };
    const double scale = std::min(width, height);
    std::vector<double> along(size_t(width) * 3), down(size_t(height) * 3);
    for (int x = 0; x < width; ++x) {
        const double t = x / scale;
        along[size_t(x) * 3 + 0] = 60 * std::sin(t * 2.1 + 0.3) + 15 * std::sin(t * 9.0);
        along[size_t(x) * 3 + 1] = 50 * std::cos(t * 1.7) + 12 * std::sin(t * 7.0 + 1.0);
        along[size_t(x) * 3 + 2] = 40 * std::sin(t * 3.3 + 1.2);
    }
    for (int y = 0; y < height; ++y) {
        const double t = y / scale;
        down[size_t(y) * 3 + 0] = 120 + 40 * std::cos(t * 2.5);
        down[size_t(y) * 3 + 1] = 110 + 45 * std::sin(t * 1.9 + 0.7);
        down[size_t(y) * 3 + 2] = 100 + 50 * std::cos(t * 1.3 + 2.0);
    }
    struct Disc { double cx, cy, r2; int dr, dg, db; };
    std::vector<Disc> discs;
    for (int i = 0; i < 12; ++i) {
        const double r = scale * (0.05 + (random() % 1000) / 4000.0);
        discs.push_back({double(random() % quint32(width)), double(random() % quint32(height)),
                         r * r, int(random() % 121) - 60, int(random() % 121) - 60,
                         int(random() % 121) - 60});
    }

    QImage image(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            double c[3] = {along[size_t(x) * 3] + down[size_t(y) * 3],
                           along[size_t(x) * 3 + 1] + down[size_t(y) * 3 + 1],
                           along[size_t(x) * 3 + 2] + down[size_t(y) * 3 + 2]};
            for (const Disc &d : discs) {
                const double dx = x - d.cx, dy = y - d.cy;
                if (dx * dx + dy * dy < d.r2) {
                    c[0] += d.dr;
                    c[1] += d.dg;
                    c[2] += d.db;
                }
            }
            int v[3];
            for (int k = 0; k < 3; ++k) {
                const int noise = int(random() % 5) + int(random() % 5) - 4;
                v[k] = std::clamp(int(c[k]) + noise, 0, 255);
            }
            int a = 255;
            if (alpha) {
                // Opaque centre fading out towards the corners.
                const double dx = (x - width / 2.0) / width, dy = (y - height / 2.0) / height;
                a = std::clamp(int(255 * (1.4 - 2.4 * std::sqrt(dx * dx + dy * dy))), 0, 255);
            }
            line[x] = qRgba(v[0], v[1], v[2], a);
        }
    }
    return image;
}

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
