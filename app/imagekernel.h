#pragma once

#include <QImage>
#include <QSize>

// The pixel work behind the effects form: scaling by a percentage and the
// brightness/contrast kernel. Pure functions on QImage; a null input gives a
// null result, nothing is reported.
class ImageKernel
{
public:
    // (contrast + 127) / 127, rounded to a float: -127 gives 0, 0 gives 1.
    static float contrastFactor(int contrast);

    // The value one colour channel (0..255) takes: trunc((channel + brightness) * factor),
    // the product formed exactly, clamped to 0..255.
    static int adjustChannel(int channel, int brightness, float factor);

    // Returns a copy whose red, green and blue bytes went through adjustChannel;
    // alpha is kept. Works on straight 32-bit words: images in other formats are
    // converted to QImage::Format_ARGB32 first (RGB32 stays RGB32). Values that
    // change no channel (brightness 0, contrast 0) give that 32-bit image
    // itself, sharing its pixels.
    static QImage applyBrightnessContrast(const QImage &image, int brightness, int contrast);

    // The size of an image scaled to percent / 100: each side times
    // (percent / 100.0), rounded to the nearest integer. An exact half follows
    // that double product: 750 at 57 % gives 427, at 49 % 368.
    static QSize scaledSize(const QSize &size, int percent);

    // True when every 32-bit word of an ARGB32 image (straight or
    // premultiplied) has an alpha of 255.
    static bool isOpaque(const QImage &words);

    // The image in the format a pixmap made from it takes (RGB32 when no pixel
    // is transparent, else premultiplied ARGB32), converted by the caller's
    // thread, so that QPixmap::fromImage on the GUI thread copies nothing.
    static QImage forPixmap(QImage image);

    // The pixels a pixmap of the image holds (see forPixmap), as straight
    // 32-bit words: RGB32 when opaque, else ARGB32. What the kernel works on.
    static QImage straightSource(QImage image);

    // Scales source to percent (smooth, aspect ignored), turns the result into
    // straight ARGB32 (an opaque RGB32 result stays RGB32) and applies the
    // kernel. At 100 % and neutral values a straight 32-bit source comes back
    // as it is, sharing its pixels. An empty target size or a null source gives
    // a null image.
    static QImage process(const QImage &source, int brightness, int contrast, int percent);
};
