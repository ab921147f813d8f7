#include "imagekernel.h"

#include <QThread>
#include <QThreadPool>
#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Below this many pixels a single pass is quicker than starting threads.
constexpr qint64 ParallelPixels = qint64(1) << 20;

void applyTable(const uchar *sourceBits, qsizetype sourceStride, uchar *targetBits,
                qsizetype targetStride, int width, int firstRow, int endRow, const uchar *table)
{
    for (int y = firstRow; y < endRow; ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(sourceBits + y * sourceStride);
        QRgb *out = reinterpret_cast<QRgb *>(targetBits + y * targetStride);
        for (int x = 0; x < width; ++x) {
            const quint32 p = in[x];
            out[x] = (p & 0xff000000u) | (quint32(table[(p >> 16) & 0xff]) << 16)
                | (quint32(table[(p >> 8) & 0xff]) << 8) | quint32(table[p & 0xff]);
        }
    }
}

// Whether a pixmap takes the image with an alpha channel: as the raster
// pixmap decides, by the colour table of an indexed image and by the pixels
// of any other image that has an alpha channel.
bool hasTransparency(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return false;
    if (image.format() == QImage::Format_Indexed8) {
        for (const QRgb colour : image.colorTable())
            if (qAlpha(colour) != 255)
                return true;
        return false;
    }
    const QImage words = image.format() == QImage::Format_ARGB32
            || image.format() == QImage::Format_ARGB32_Premultiplied
        ? image
        : image.convertToFormat(QImage::Format_ARGB32);
    return !ImageKernel::isOpaque(words);
}

// Qt spreads a smooth scale over the global thread pool, but not when it is
// called from a thread of that pool (where the form's worker runs): there it
// takes one core, several times as long. So from a pool thread, while the pool
// has a thread free, the scale is called from a thread of its own and the pool
// thread waits. The pixels are the same either way.
QImage smoothScaled(const QImage &source, const QSize &target)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    if (!pool->contains(QThread::currentThread()) || pool->activeThreadCount() >= pool->maxThreadCount())
        return source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage scaled;
    try {
        std::thread([&] {
            scaled = source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }).join();
    } catch (const std::system_error &) {
        // No thread to be had: scaled here, on one core.
        return source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return scaled;
}

} // namespace

bool ImageKernel::isOpaque(const QImage &words)
{
    for (int y = 0; y < words.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(words.constScanLine(y));
        QRgb all = 0xff000000u;
        for (int x = 0; x < words.width(); ++x)
            all &= row[x];
        if ((all & 0xff000000u) != 0xff000000u)
            return false;
    }
    return true;
}

QImage ImageKernel::forPixmap(QImage image)
{
    if (image.isNull())
        return image;
    if (hasTransparency(image))
        return std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Opaque words with an alpha byte are RGB32 words already.
    if (image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied) {
        image.reinterpretAsFormat(QImage::Format_RGB32);
        return image;
    }
    return std::move(image).convertToFormat(QImage::Format_RGB32);
}

QImage ImageKernel::straightSource(QImage image)
{
    image = forPixmap(std::move(image));
    if (!image.isNull() && image.format() != QImage::Format_RGB32)
        image = std::move(image).convertToFormat(QImage::Format_ARGB32);
    return image;
}

float ImageKernel::contrastFactor(int contrast)
{
    return static_cast<float>((contrast + 127) / 127.0);
}

int ImageKernel::adjustChannel(int channel, int brightness, float factor)
{
    // An int times a float is exact in double (at most 33 significant bits);
    // forming it in float would round 127 * 2.0078740 up to 255.
    const double product = double(channel + brightness) * double(factor);
    const double v = std::trunc(product);
    if (v < 0)
        return 0;
    if (v > 255)
        return 255;
    return int(v);
}

QImage ImageKernel::applyBrightnessContrast(const QImage &image, int brightness, int contrast)
{
    if (image.isNull())
        return QImage();

    QImage source = image;
    if (source.format() != QImage::Format_ARGB32 && source.format() != QImage::Format_RGB32)
        source = source.convertToFormat(QImage::Format_ARGB32);
    if (source.isNull())
        return QImage();

    const float factor = contrastFactor(contrast);
    uchar table[256];
    bool identity = true;
    for (int c = 0; c < 256; ++c) {
        table[c] = uchar(adjustChannel(c, brightness, factor));
        identity = identity && table[c] == c;
    }
    // Values that change no channel cost no copy: the source is the result.
    if (identity)
        return source;

    // A fresh image, written row by row from the source in one pass.
    QImage result(source.size(), source.format());
    if (result.isNull())
        return QImage();
    result.setDotsPerMeterX(source.dotsPerMeterX());
    result.setDotsPerMeterY(source.dotsPerMeterY());

    const uchar *sourceBits = source.constBits();
    const qsizetype sourceStride = source.bytesPerLine();
    uchar *targetBits = result.bits();
    const qsizetype targetStride = result.bytesPerLine();
    const int width = result.width();
    const int height = result.height();

    int workers = 1;
    if (qint64(width) * height >= ParallelPixels)
        workers = int(std::min<unsigned>(std::max(1u, std::thread::hardware_concurrency()), 8u));
    workers = std::min(workers, height);

    // Each worker takes its own band of rows; the bands do not overlap.
    const int band = (height + workers - 1) / workers;
    std::vector<std::thread> threads;
    threads.reserve(size_t(workers));
    for (int w = 1; w < workers; ++w) {
        const int first = w * band;
        const int end = std::min(height, first + band);
        if (first >= end)
            break;
        threads.emplace_back(applyTable, sourceBits, sourceStride, targetBits, targetStride, width,
                             first, end, table);
    }
    applyTable(sourceBits, sourceStride, targetBits, targetStride, width, 0, std::min(height, band),
               table);
    for (std::thread &t : threads)
        t.join();
    return result;
}

QSize ImageKernel::scaledSize(const QSize &size, int percent)
{
    const double s = percent / 100.0;
    return QSize(qRound(size.width() * s), qRound(size.height() * s));
}

QImage ImageKernel::process(const QImage &source, int brightness, int contrast, int percent)
{
    if (source.isNull())
        return QImage();
    const QSize target = scaledSize(source.size(), percent);
    if (target.isEmpty())
        return QImage();

    QImage scaled = smoothScaled(source, target);
    // Smooth scaling hands back premultiplied words for images with alpha; the
    // kernel works on straight colours (opaque RGB32 words are straight too).
    if (scaled.format() != QImage::Format_ARGB32 && scaled.format() != QImage::Format_RGB32)
        scaled = scaled.convertToFormat(QImage::Format_ARGB32);
    return applyBrightnessContrast(scaled, brightness, contrast);
}
