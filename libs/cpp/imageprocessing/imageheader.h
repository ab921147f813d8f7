#pragma once

#include <QByteArray>
#include <QPair>
#include <QSize>
#include <QVector>
#include <QtGlobal>

class QIODevice;

namespace MGraphX {

// What decoding a picture will cost, read from its headers before it is
// decoded, and whether that fits the budget of a 100-megapixel picture at
// 8 bits per channel. It reads the formats whose decoders do more than a
// picture reader's own size shows:
// - PNG: the bytes a pixel of the format Qt decodes the colour type and depth
//   to (16-bit grey 2, other 16-bit pictures 8); every chunk length must lie
//   within the data, since a forged one makes the decoder reserve memory for
//   data that is not there. A 16-bit RGB picture with a transparent colour
//   (tRNS) is decoded without that chunk, to 8 bytes a pixel, and the colour
//   applied in place (see ImageDecoder), so it costs what Qt's decoder takes;
//   one with more than 16 tRNS chunks before its picture data is damaged.
// - JPEG: a greyscale picture decodes to 1 byte a pixel, others to 4; a
//   progressive or multi-scan picture also needs the decoder's store of every
//   coefficient (128 bytes per 8 x 8 block of each component), and each scan
//   runs over that store again, so the scans and the coefficients they visit
//   are counted too. An Exif orientation that turns the picture by a quarter
//   needs the working memory of ImageTurn beside it when the picture is
//   turned (up to four working strips of about 5 MB at most, as many as the
//   budget has room for; a turned copy for a grey picture whose turned lines
//   need more padding than its lines have). A Huffman-coded picture whose
//   first scan has fewer bytes before the next marker than an eighth of its
//   8 x 8 blocks is damaged: each block takes a code of one bit at least.
// - GIF: the decoder builds the logical screen, whatever the frame's size. A
//   first frame whose data cannot hold its pixels (each LZW code yields 4,096
//   at most and takes the minimum code size plus one bits at least) is
//   damaged.
// - BMP: rows stored top-down (negative height) give as many rows. Pixel
//   data shorter than the offset, size, depth and compression require is
//   damaged: the decoder would leave the missing rows unwritten.
// - ICO and CUR: the first entry, a PNG at its own size (a 16-bit RGB one
//   with a transparent colour decoded as one alone is) or a bitmap of at most
//   256 pixels a side.
// Other data is left to the size and pixel format its decoder announces.
class ImageHeader
{
public:
    static constexpr qint64 MaxPixels = 100000000;
    static constexpr qint64 MaxBytes = 4 * MaxPixels;
    // A legitimate progressive JPEG has about ten scans.
    static constexpr int MaxScans = 64;
    // The JPEG coefficients the scans may make the decoder visit: twelve
    // passes over every coefficient of a one-component picture at the pixel
    // cap (about a second of decoding). A progressive photo of encoder
    // defaults visits two to four times its blocks' 64 coefficients.
    static constexpr qint64 MaxWork = 12 * MaxPixels;

    enum Verdict {
        Fits,
        Unreadable, // damaged headers, or no size known
        TooLarge, // over the pixels, the memory or the scans of the budget
    };

    // Reads the headers of the picture that starts at the device's current
    // position and leaves the device there. The device must be open and
    // random-access; from any other, nothing is known and the verdict is
    // Unreadable.
    explicit ImageHeader(QIODevice *device);

    // "png", "jpeg", "gif", "bmp", "ico" or "cur"; empty for other data.
    QByteArray format() const { return m_format; }
    // The size the decoder will produce; invalid when the headers give none.
    QSize size() const { return m_size; }
    // The memory decoding takes: the picture in the pixel format it decodes
    // to and the decoder's own stores; 0 when not known, the largest qint64
    // when beyond it.
    qint64 decodingBytes() const { return m_bytes; }
    // The same, when the picture is turned by its own orientation.
    qint64 turningBytes() const { return m_turningBytes; }
    // The scans of a JPEG, counted up to one more than MaxScans; 0 otherwise.
    int scans() const { return m_scans; }
    // A byte range of the device, from first to before second.
    using Range = QPair<qint64, qint64>;
    // For a 16-bit RGB PNG, alone or as an icon's first entry: its tRNS
    // chunks before the picture data, in order; empty otherwise. Qt's decoder
    // mangles such pictures, so they are decoded without these chunks.
    QVector<Range> pngKeyChunks() const { return m_keyChunks; }
    // For an icon or cursor whose first entry is PNG data: that data, as far
    // as the directory's size for it and the device reach; empty otherwise.
    Range iconPng() const { return m_iconPng; }
    // The transparent colour those chunks give as libpng reads it: three
    // 16-bit big-endian samples; empty when none of them is valid.
    QByteArray pngKey() const { return m_key; }
    // A PNG whose chunk length points beyond the data, that does not begin
    // with its header, or that is 16-bit RGB with more than 16 tRNS chunks
    // before its picture data (in an icon: or with one beyond the entry); a
    // BMP whose pixel data is cut short; a JPEG whose first scan or a GIF
    // whose first frame has too few bytes for its pixels.
    bool isDamaged() const { return m_damaged; }

    // Whether decoding fits the budget. decoderSize and decoderBitsPerPixel
    // are what the decoder announces (invalid and 0 when it cannot tell):
    // for data read here its size is held against the pixel cap too, for other
    // data they are all there is to go by (64 bits per pixel when unknown).
    // turning: the picture will be turned by its own orientation; for other
    // data, whose orientation is not read here, that it will be turned by a
    // quarter.
    Verdict verdict(const QSize &decoderSize, int decoderBitsPerPixel, bool turning = false) const;

    // Whether a decoded picture of this size and memory is within the budget.
    static bool fits(const QSize &size, qint64 bytes);

private:
    QByteArray m_format;
    QSize m_size;
    QVector<Range> m_keyChunks;
    Range m_iconPng;
    QByteArray m_key;
    qint64 m_bytes = 0;
    qint64 m_turningBytes = 0;
    qint64 m_work = 0;
    int m_scans = 0;
    bool m_damaged = false;
    bool m_readable = true;
};

} // namespace MGraphX
