#pragma once

#include "graphx.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <type_traits>

namespace MGraphX {

// The picture in a file, decoded through ImageDecoder as it is stored (not
// turned by its own orientation); a null image when the file is no regular
// file, no picture or over the decoding budget. A name that begins with ':'
// is one of the program's own resources.
QImage readPictureFile(const char *fileName);

// An image held as separate sample planes (row-major, index y * width + x).
// Depth 24: red, green, blue (and alpha when built from a picture) hold the
// channels. Depth 8: red holds palette indices, the three palettes map them.
// Depth 1: red holds black and white (0 or 255 for bytes).
// The object owns its planes and palettes; copies are deep.
template <typename T>
class ImageProcessT : public GraphX
{
public:
    enum Flag : unsigned char {
        UntouchedCopy = 1, // a copy whose samples no operation has changed yet
        Grey = 2           // the three colour planes hold equal values
    };

    // Loads a picture file with readPictureFile; a file that does not load
    // gives a 0x0 image.
    explicit ImageProcessT(const char *fileName);
    // depth 24: every pixel is fill's RGB; 8: every index is fill, identity
    // palettes; 1: fill 1 is white, 0 black. Sizes that are not positive, or
    // too large to index, give a 0x0 image.
    ImageProcessT(const int &depth, const int &width, const int &height, const int &fill);
    // Splits image (converted to 32-bit RGB, so alpha is always 255) into
    // planes and keeps the converted copy.
    explicit ImageProcessT(const QImage &image);
    ImageProcessT(const ImageProcessT &other);
    ImageProcessT &operator=(const ImageProcessT &) = delete;
    ~ImageProcessT() override;

    // Replaces the planes by four new ones filled from count BGRA quadruples;
    // samples beyond count stay 0.
    void loadPlanes(const uchar *bgra, int count);
    void freePlanes();

    void setPixel(unsigned x, unsigned y, int value) override;
    int pixel(unsigned x, unsigned y) override;
    void hookStoredPair() override;
    QRect bounds() const override;

    // The members below exist for byte planes (ImageProcessT<unsigned char>) only.

    // Zeroes bins, then counts the samples of plane (the red plane when null).
    void histogram(int bins[256], const uchar *plane = nullptr);
    // Passes the planes through table (nothing when null); a 1-bit image is then
    // re-binarised to highValue / lowValue.
    void applyLut(const uchar *table);
    void applyLutToPlane(uchar *plane, const uchar *table);
    // Makes the image grey if needed, then sets samples below level to lowValue
    // and the others to highValue.
    ImageProcessT &threshold(const int &level);
    // Adds delta to every sample (to the palettes of a colour 8-bit image),
    // clamped to lowValue..highValue.
    ImageProcessT &adjustBrightness(const int &delta);
    // An opaque ARGB32 image of the pixel values (palette indices for depth 8,
    // 0 or 1 for depth 1). Null for a 0x0 image.
    QImage toImage();

    T *red = nullptr;
    T *green = nullptr;
    T *blue = nullptr;
    T *alpha = nullptr;
    uchar *redPalette = nullptr;
    uchar *greenPalette = nullptr;
    uchar *bluePalette = nullptr;
    uchar *alphaPalette = nullptr;
    int width = 0;
    int height = 0;
    int byteSize = 0;
    int hookValueA = 0;
    int hookValueB = 0;
    int spareValue = 0;
    unsigned char depth = 24;
    float maxLevel = 255.0f;
    float minLevel = 0.0f;
    unsigned char flags = 0;
    int spareValue2 = 0;
    QImage keptImage;
    int highValue = 255;
    int lowValue = 0;

protected:
    int sampleCount() const { return width * height; }
    static T *newPlane(int count) { return new T[static_cast<size_t>(count)](); }
    static uchar *copyPalette(const uchar *palette);
    static T *copyPlane(const T *plane, int count);
    // The sample that stands for 1-bit value v: 0 stays 0, 1 becomes 255.
    static T binarySample(int v);
    void setSize(qint64 w, qint64 h);
    void fromRgbImage(const QImage &rgb);
};

template <typename T>
void ImageProcessT<T>::setSize(qint64 w, qint64 h)
{
    // Plane indices are ints; refuse sizes whose product would not fit.
    if (w <= 0 || h <= 0 || w * h > qint64(0x7fffffff) / 4) {
        width = height = 0;
        return;
    }
    width = int(w);
    height = int(h);
}

template <typename T>
T ImageProcessT<T>::binarySample(int v)
{
    if constexpr (std::is_same<T, unsigned char>::value)
        return static_cast<unsigned char>(0u - unsigned(v)); // -v without overflow
    else
        return static_cast<T>(v) * T(255);
}

template <typename T>
uchar *ImageProcessT<T>::copyPalette(const uchar *palette)
{
    if (!palette)
        return nullptr;
    uchar *copy = new uchar[256];
    std::copy(palette, palette + 256, copy);
    return copy;
}

template <typename T>
T *ImageProcessT<T>::copyPlane(const T *plane, int count)
{
    if (!plane)
        return nullptr;
    T *copy = new T[static_cast<size_t>(count)];
    std::copy(plane, plane + count, copy);
    return copy;
}

template <typename T>
void ImageProcessT<T>::fromRgbImage(const QImage &image)
{
    if (image.isNull())
        return;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    if (rgb.isNull())
        return;
    setSize(rgb.width(), rgb.height());
    if (sampleCount() == 0)
        return;
    // Planes are packed; the image's lines may be padded, so split line by line.
    freePlanes();
    red = newPlane(sampleCount());
    green = newPlane(sampleCount());
    blue = newPlane(sampleCount());
    alpha = newPlane(sampleCount());
    for (int y = 0; y < height; ++y) {
        const uchar *line = rgb.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int i = y * width + x;
            blue[i] = static_cast<T>(line[4 * x]);
            green[i] = static_cast<T>(line[4 * x + 1]);
            red[i] = static_cast<T>(line[4 * x + 2]);
            alpha[i] = static_cast<T>(line[4 * x + 3]);
        }
    }
}

template <typename T>
ImageProcessT<T>::ImageProcessT(const char *fileName)
{
    fromRgbImage(readPictureFile(fileName));
}

template <typename T>
ImageProcessT<T>::ImageProcessT(const int &depth_, const int &width_, const int &height_,
                                const int &fill)
{
    setSize(width_, height_);
    byteSize = int(qint64(width) * height * depth_ / 8);
    depth = static_cast<unsigned char>(depth_);
    const int n = sampleCount();
    if (n == 0)
        return;
    if (depth_ == 8) {
        red = newPlane(n);
        T index;
        if constexpr (std::is_same<T, unsigned char>::value)
            index = static_cast<unsigned char>(fill & 255);
        else
            index = static_cast<T>(fill);
        std::fill(red, red + n, index);
        redPalette = new uchar[256];
        greenPalette = new uchar[256];
        bluePalette = new uchar[256];
        for (int i = 0; i < 256; ++i)
            redPalette[i] = greenPalette[i] = bluePalette[i] = uchar(i);
    } else if (depth_ == 1) {
        red = newPlane(n);
        std::fill(red, red + n, binarySample(fill));
    } else {
        red = newPlane(n);
        green = newPlane(n);
        blue = newPlane(n);
        std::fill(red, red + n, static_cast<T>((fill >> 16) & 255));
        std::fill(green, green + n, static_cast<T>((fill >> 8) & 255));
        std::fill(blue, blue + n, static_cast<T>(fill & 255));
    }
}

template <typename T>
ImageProcessT<T>::ImageProcessT(const QImage &image)
{
    if (image.isNull())
        return;
    keptImage = image.convertToFormat(QImage::Format_RGB32);
    fromRgbImage(keptImage);
}

template <typename T>
ImageProcessT<T>::ImageProcessT(const ImageProcessT &other)
    : GraphX()
    , width(other.width)
    , height(other.height)
    , byteSize(other.byteSize)
    , hookValueA(other.hookValueA)
    , hookValueB(other.hookValueB)
    , spareValue(other.spareValue)
    , depth(other.depth)
    , maxLevel(other.maxLevel)
    , minLevel(other.minLevel)
    , flags(static_cast<unsigned char>((other.flags & Grey) | UntouchedCopy))
    , highValue(other.highValue)
    , lowValue(other.lowValue)
{
    const int n = sampleCount();
    red = copyPlane(other.red, n);
    green = copyPlane(other.green, n);
    blue = copyPlane(other.blue, n);
    alpha = copyPlane(other.alpha, n);
    redPalette = copyPalette(other.redPalette);
    greenPalette = copyPalette(other.greenPalette);
    bluePalette = copyPalette(other.bluePalette);
    alphaPalette = copyPalette(other.alphaPalette);
}

template <typename T>
ImageProcessT<T>::~ImageProcessT()
{
    freePlanes();
}

template <typename T>
void ImageProcessT<T>::loadPlanes(const uchar *bgra, int count)
{
    freePlanes();
    const int n = sampleCount();
    if (n == 0)
        return;
    red = newPlane(n);
    green = newPlane(n);
    blue = newPlane(n);
    alpha = newPlane(n);
    if (!bgra)
        return;
    const int m = std::min(n, std::max(count, 0));
    for (int i = 0; i < m; ++i) {
        alpha[i] = static_cast<T>(bgra[4 * i + 3]);
        red[i] = static_cast<T>(bgra[4 * i + 2]);
        green[i] = static_cast<T>(bgra[4 * i + 1]);
        blue[i] = static_cast<T>(bgra[4 * i]);
    }
}

template <typename T>
void ImageProcessT<T>::freePlanes()
{
    delete[] red;
    delete[] green;
    delete[] blue;
    delete[] alpha;
    delete[] redPalette;
    delete[] greenPalette;
    delete[] bluePalette;
    delete[] alphaPalette;
    red = green = blue = alpha = nullptr;
    redPalette = greenPalette = bluePalette = alphaPalette = nullptr;
}

template <typename T>
QRect ImageProcessT<T>::bounds() const
{
    return QRect(0, 0, width, height);
}

template <typename T>
void ImageProcessT<T>::setPixel(unsigned x, unsigned y, int value)
{
    if (x >= unsigned(width) || y >= unsigned(height))
        return;
    const int i = int(y) * width + int(x);
    if (depth == 24) {
        if (!red || !green || !blue)
            return;
        red[i] = static_cast<T>((value >> 16) & 255);
        green[i] = static_cast<T>((value >> 8) & 255);
        blue[i] = static_cast<T>(value & 255);
    } else if (depth == 8) {
        if (!red)
            return;
        red[i] = static_cast<T>(value & 255);
    } else if (depth == 1) {
        if (!red)
            return;
        red[i] = binarySample(value);
    } else {
        return;
    }
    flags &= static_cast<unsigned char>(~UntouchedCopy);
}

template <typename T>
int ImageProcessT<T>::pixel(unsigned x, unsigned y)
{
    if (x >= unsigned(width) || y >= unsigned(height) || !red)
        return 0;
    const int i = int(y) * width + int(x);
    if constexpr (std::is_same<T, unsigned char>::value) {
        if (depth == 24)
            return green && blue ? (int(red[i]) << 16) | (int(green[i]) << 8) | int(blue[i]) : 0;
        if (depth == 1)
            return red[i] >> 7;
        return red[i];
    } else {
        // Truncated to 16 bits, out-of-range samples saturated first.
        auto toInt = [](T v) -> int {
            if (!(v == v))
                return 0;
            return int(static_cast<qint16>(std::max(T(-32768), std::min(T(32767), v))));
        };
        if (depth == 24) {
            if (!green || !blue)
                return 0;
            // Shifted as unsigned: negative samples must not be shifted left.
            return int(((unsigned(toInt(red[i])) << 16) & 16777215u)
                       | ((unsigned(toInt(green[i])) << 8) & 65535u) | (unsigned(toInt(blue[i])) & 255u));
        }
        if (depth == 1)
            return red[i] >= T(128) ? 1 : 0;
        return toInt(red[i]);
    }
}

template <typename T>
void ImageProcessT<T>::hookStoredPair()
{
    hookPair(hookValueA, hookValueB);
}

template <typename T>
QImage ImageProcessT<T>::toImage()
{
    if (width <= 0 || height <= 0)
        return QImage();
    QImage rgb(width, height, QImage::Format_RGB32);
    if (rgb.isNull())
        return QImage();
    for (int y = 0; y < height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(rgb.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = 0xff000000u | (quint32(pixel(unsigned(x), unsigned(y))) & 0xffffffu);
    }
    QImage result = rgb.convertToFormat(QImage::Format_ARGB32);
    if (!keptImage.isNull()) {
        // Alpha comes from the kept picture (opaque, as it is stored as RGB32).
        QImage mask = keptImage.size() == result.size()
            ? keptImage
            : keptImage.scaled(result.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        mask = mask.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < mask.height() && y < result.height(); ++y) {
            const QRgb *in = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
            QRgb *out = reinterpret_cast<QRgb *>(result.scanLine(y));
            for (int x = 0; x < mask.width() && x < result.width(); ++x)
                out[x] = (out[x] & 0x00ffffffu) | (in[x] & 0xff000000u);
        }
    }
    return result;
}

// Byte-only operations, defined in imageprocesst.cpp.
template <>
void ImageProcessT<unsigned char>::histogram(int bins[256], const uchar *plane);
template <>
void ImageProcessT<unsigned char>::applyLut(const uchar *table);
template <>
void ImageProcessT<unsigned char>::applyLutToPlane(uchar *plane, const uchar *table);
template <>
ImageProcessT<unsigned char> &ImageProcessT<unsigned char>::threshold(const int &level);
template <>
ImageProcessT<unsigned char> &ImageProcessT<unsigned char>::adjustBrightness(const int &delta);

} // namespace MGraphX
