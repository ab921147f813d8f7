// Times PngEncoder against Qt's PNG writer on large photo-like images, noise
// and a screenshot.
//
//   bench_png [--no-qt] [--threads N] [--quality Q]
//
// For 4000x3000 and 6000x4000 images, opaque (RGB32, what a photo becomes on
// its way through the program) and with alpha (ARGB32, and premultiplied as a
// pixmap with alpha gives it), once smoothed by a JPEG round trip, 6000x4000
// random pixels and a 2560x1440 screenshot-like picture, it prints Qt's time
// and size, ours (median of five, wall clock and processor time), the size
// ratio and the speed-up, and checks that our bytes decode to the image's own
// pixels and to Qt's.
#include "photolike.h"
#include "pngencoder.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QStringList>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Processor time of the whole process, all threads, in milliseconds: steadier
// than the wall clock on a machine that other work shares.
qint64 processMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

enum class Kind { Photo, Noise, Screenshot };

// Uniformly random opaque pixels: nothing for deflate to find.
QImage noise(int width, int height, quint32 seed)
{
    quint64 state = seed;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            line[x] = 0xff000000u | quint32(state >> 40);
        }
    }
    return image;
}

// A desktop with windows: flat fills, frames, a gradient title bar and lines
// of anti-aliased text, deterministic.
QImage screenshotLike(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(46, 52, 64));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    painter.setFont(font);
    const QString words = QStringLiteral(
            "The quick brown fox jumps over the lazy dog 0123456789 (settings) [edit] {view} ");
    int n = 0;
    for (int wy = 20; wy + 200 < height; wy += 460) {
        for (int wx = 20; wx + 300 < width; wx += 840, ++n) {
            const QRect window(wx, wy, 800, 430);
            painter.fillRect(window, QColor(250, 250, 250));
            QLinearGradient title(window.topLeft(), window.topRight());
            title.setColorAt(0, QColor(40, 90, 160));
            title.setColorAt(1, QColor(90, 140, 210));
            painter.fillRect(QRect(wx, wy, 800, 28), title);
            painter.setPen(Qt::white);
            painter.drawText(wx + 10, wy + 19, QStringLiteral("Window %1").arg(n));
            painter.setPen(QColor(200, 200, 200));
            painter.drawRect(window.adjusted(0, 0, -1, -1));
            painter.setPen(QColor(30, 30, 30));
            for (int line = 0; line < 22; ++line) {
                const int from = (line * 7 + n * 13) % words.size();
                painter.drawText(wx + 12, wy + 50 + line * 17,
                                 (words.mid(from) + words).left(90 - (line * 11 + n) % 40));
            }
            painter.fillRect(QRect(wx + 600, wy + 380, 90, 30), QColor(60, 120, 200));
            painter.setBrush(QColor(220, 80, 60));
            painter.drawEllipse(QPoint(wx + 760, wy + 14), 7, 7);
            painter.setBrush(Qt::NoBrush);
        }
    }
    painter.end();
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
        Kind kind;
    };
    const Case cases[] = {
        {QSize(4000, 3000), QImage::Format_RGB32, false, Kind::Photo},
        {QSize(4000, 3000), QImage::Format_ARGB32, false, Kind::Photo},
        {QSize(4000, 3000), QImage::Format_ARGB32_Premultiplied, false, Kind::Photo},
        {QSize(4000, 3000), QImage::Format_RGB32, true, Kind::Photo},
        {QSize(6000, 4000), QImage::Format_RGB32, false, Kind::Photo},
        {QSize(6000, 4000), QImage::Format_ARGB32, false, Kind::Photo},
        {QSize(6000, 4000), QImage::Format_RGB32, false, Kind::Noise},
        {QSize(2560, 1440), QImage::Format_RGB32, false, Kind::Screenshot},
    };
    for (const Case &c : cases) {
        const bool alpha = c.format != QImage::Format_RGB32;
        QImage image = c.kind == Kind::Noise ? noise(c.size.width(), c.size.height(), 2024)
                : c.kind == Kind::Screenshot ? screenshotLike(c.size.width(), c.size.height())
                                             : photoLike(c.size.width(), c.size.height(), alpha, 2024);
        if (c.viaJpeg) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "JPG", 90);
            image = QImage::fromData(jpeg);
        }
        image = image.convertToFormat(c.format);
        std::printf("%dx%d %s%s%s\n", c.size.width(), c.size.height(),
                    c.format == QImage::Format_RGB32   ? "RGB32"
                    : c.format == QImage::Format_ARGB32 ? "ARGB32"
                                                        : "ARGB32_Premultiplied",
                    c.viaJpeg ? ", after JPEG quality 90" : "",
                    c.kind == Kind::Noise ? ", noise" : c.kind == Kind::Screenshot ? ", screenshot" : "");

        QElapsedTimer timer;
        QByteArray reference;
        qint64 qtMs = 0;
        if (withQt) {
            timer.start();
            reference = qtWrite(image, quality);
            qtMs = timer.elapsed();
            std::printf("  Qt writer:  %6lld ms  %10d bytes\n", qtMs, reference.size());
        }

        // Median of five runs, wall clock and processor time.
        QByteArray ours;
        std::vector<qint64> times, cpuTimes;
        for (int run = 0; run < 5; ++run) {
            const qint64 cpuStart = processMs();
            timer.start();
            ours = PngEncoder::encode(image, quality, threads);
            times.push_back(timer.elapsed());
            cpuTimes.push_back(processMs() - cpuStart);
        }
        std::sort(times.begin(), times.end());
        std::sort(cpuTimes.begin(), cpuTimes.end());
        const qint64 ourMs = times[times.size() / 2];
        const qint64 ourCpuMs = cpuTimes[cpuTimes.size() / 2];
        const QImage decoded = QImage::fromData(ours);
        const QImage::Format straight = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        std::printf("  PngEncoder: %6lld ms (processor %6lld ms)  %10d bytes, decodes to the image: %s\n",
                    ourMs, ourCpuMs, ours.size(),
                    (!decoded.isNull()
                     && decoded.convertToFormat(straight) == image.convertToFormat(straight))
                            ? "yes"
                            : "NO");

        if (withQt) {
            const QImage b = QImage::fromData(reference);
            std::printf("  size ratio %.4f, speed-up %.1fx, same pixels as Qt's: %s\n",
                        double(ours.size()) / reference.size(),
                        double(qtMs) / std::max<qint64>(1, ourMs),
                        (!decoded.isNull() && decoded == b) ? "yes" : "NO");
        }
    }
    return 0;
}
