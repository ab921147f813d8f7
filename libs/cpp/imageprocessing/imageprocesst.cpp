#include "imageprocesst.h"

#include "filehelpers.h"
#include "imagedecoder.h"

#include <QFile>

namespace MGraphX {

QImage readPictureFile(const char *fileName)
{
    QFile file;
    if (!fileName || !MTools::openResourceOrRegularFile(QString::fromLocal8Bit(fileName), &file))
        return QImage();
    return ImageDecoder::decode(&file);
}

namespace {

using Bytes = ImageProcessT<unsigned char>;

void binarisePlane(uchar *plane, int count, int level, int low, int high)
{
    if (!plane)
        return;
    for (int i = 0; i < count; ++i)
        plane[i] = static_cast<uchar>(plane[i] < level ? low : high);
}

void shiftPlane(uchar *plane, int count, int delta, int low, int high)
{
    if (!plane)
        return;
    for (int i = 0; i < count; ++i) {
        const long long v = static_cast<long long>(plane[i]) + delta;
        plane[i] = static_cast<uchar>(v > high ? high : (v < low ? low : v));
    }
}

} // namespace

template <>
void Bytes::histogram(int bins[256], const uchar *plane)
{
    if (!bins)
        return;
    std::fill(bins, bins + 256, 0);
    const uchar *samples = plane ? plane : red;
    if (!samples)
        return;
    const int n = sampleCount();
    for (int i = 0; i < n; ++i)
        ++bins[samples[i]];
}

template <>
void Bytes::applyLutToPlane(uchar *plane, const uchar *table)
{
    if (!plane || !table)
        return;
    for (int i = sampleCount() - 1; i >= 0; --i)
        plane[i] = table[plane[i]];
    flags &= static_cast<unsigned char>(~UntouchedCopy);
}

template <>
void Bytes::applyLut(const uchar *table)
{
    if (table) {
        applyLutToPlane(red, table);
        if (green) {
            applyLutToPlane(green, table);
            applyLutToPlane(blue, table);
        }
    }
    if (depth == 1 && red) {
        const int n = sampleCount();
        for (int i = 0; i < n; ++i)
            red[i] = static_cast<uchar>(red[i] > 126 ? highValue : lowValue);
        flags &= static_cast<unsigned char>(~UntouchedCopy);
    }
}

template <>
Bytes &Bytes::threshold(const int &level)
{
    const int n = sampleCount();
    const bool threePlanes = depth == 24 && red && green && blue;
    if (!(flags & Grey) && depth != 1) {
        // Make grey first.
        if (depth == 8 && red && redPalette && greenPalette && bluePalette) {
            for (int i = 0; i < n; ++i) {
                const uchar v = red[i];
                red[i] = static_cast<uchar>(
                    (int(redPalette[v]) + int(greenPalette[v]) + int(bluePalette[v])) / 3);
            }
            for (int i = 0; i < 256; ++i)
                redPalette[i] = greenPalette[i] = bluePalette[i] = uchar(i);
        } else if (threePlanes) {
            for (int i = 0; i < n; ++i)
                red[i] = green[i] = blue[i] =
                    static_cast<uchar>((int(red[i]) + int(green[i]) + int(blue[i])) / 3);
        }
        flags |= Grey;
    }
    binarisePlane(red, n, level, lowValue, highValue);
    if (threePlanes && (flags & Grey)) {
        std::copy(red, red + n, green);
        std::copy(red, red + n, blue);
    }
    flags &= static_cast<unsigned char>(~UntouchedCopy);
    return *this;
}

template <>
Bytes &Bytes::adjustBrightness(const int &delta)
{
    const int n = sampleCount();
    if ((flags & Grey) || depth != 8) {
        shiftPlane(red, n, delta, lowValue, highValue);
        if (green) {
            shiftPlane(green, n, delta, lowValue, highValue);
            shiftPlane(blue, n, delta, lowValue, highValue);
        }
    } else {
        // A colour 8-bit image keeps its indices; its palettes move instead.
        shiftPlane(redPalette, 256, delta, lowValue, highValue);
        shiftPlane(greenPalette, 256, delta, lowValue, highValue);
        shiftPlane(bluePalette, 256, delta, lowValue, highValue);
    }
    flags &= static_cast<unsigned char>(~UntouchedCopy);
    if (depth == 1)
        threshold(127);
    return *this;
}

} // namespace MGraphX
