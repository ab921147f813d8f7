#include "imageheader.h"

#include "imageturn.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace MGraphX {

namespace {

// Random access to a device's bytes through one block of them, so that
// walking thousands of chunks or markers takes few reads.
class ByteWindow
{
public:
    explicit ByteWindow(QIODevice *device)
        : m_device(device),
          m_end(device->size())
    {
    }

    qint64 end() const { return m_end; }

    // The n bytes at offset (n at most one block), or null when the device
    // holds fewer.
    const uchar *at(qint64 offset, int n)
    {
        if (offset < 0 || n > Block || offset > m_end - n)
            return nullptr;
        if (offset < m_base || offset + n > m_base + m_bytes.size()) {
            m_bytes.clear();
            if (!m_device->seek(offset))
                return nullptr;
            m_bytes = m_device->read(Block);
            m_base = offset;
            if (m_bytes.size() < n)
                return nullptr;
        }
        return reinterpret_cast<const uchar *>(m_bytes.constData()) + (offset - m_base);
    }

    // The offset of the first byte 0xff at or after offset; -1 when none.
    qint64 findFF(qint64 offset)
    {
        while (const uchar *p = at(offset, 1)) {
            const qint64 held = m_base + m_bytes.size() - offset;
            if (const void *hit = std::memchr(p, 0xff, size_t(held)))
                return offset + (static_cast<const uchar *>(hit) - p);
            offset += held;
        }
        return -1;
    }

private:
    static constexpr int Block = 65536;

    QIODevice *m_device;
    qint64 m_end;
    qint64 m_base = 0;
    QByteArray m_bytes;
};

const char pngSignature[] = "\x89PNG\r\n\x1a\n";

quint16 le16(const uchar *p)
{
    return qFromLittleEndian<quint16>(p);
}

quint32 le32(const uchar *p)
{
    return qFromLittleEndian<quint32>(p);
}

quint16 be16(const uchar *p)
{
    return qFromBigEndian<quint16>(p);
}

quint32 be32(const uchar *p)
{
    return qFromBigEndian<quint32>(p);
}

QSize sizeOf(quint32 width, quint32 height)
{
    const quint32 most = quint32(std::numeric_limits<int>::max());
    if (width == 0 || height == 0 || width > most || height > most)
        return QSize();
    return QSize(int(width), int(height));
}

qint64 pixelsOf(const QSize &size)
{
    return qint64(size.width()) * qint64(size.height());
}

constexpr qint64 Saturated = std::numeric_limits<qint64>::max();

// a * b, or the largest qint64 when that overflows; both are not negative.
qint64 saturatedProduct(qint64 a, qint64 b)
{
    qint64 product = 0;
    return __builtin_mul_overflow(a, b, &product) ? Saturated : product;
}

qint64 saturatedSum(qint64 a, qint64 b)
{
    return a > Saturated - b ? Saturated : a + b;
}

// Bytes of a picture at bitsPerPixel with 32-bit aligned lines, as QImage
// lays it out; the largest qint64 when that does not fit in one.
qint64 pictureBytes(const QSize &size, int bitsPerPixel)
{
    const qint64 line = (qint64(size.width()) * bitsPerPixel + 31) / 32 * 4;
    return saturatedProduct(line, size.height());
}

struct Facts
{
    QSize size;
    QVector<ImageHeader::Range> keyChunks; // 16-bit RGB PNG: its tRNS chunks
    QByteArray key; // the transparent colour libpng takes from them
    int bitsPerPixel = 32;
    qint64 store = 0; // the decoder's own memory beside the picture
    qint64 work = 0; // JPEG coefficients the scans make the decoder visit
    int scans = 0;
    bool quarterTurn = false; // the orientation turns the picture by 90 degrees
    bool damaged = false;
};

// The pixel format Qt's PNG decoder produces for a colour type and bit depth:
// 1-bit grey and palettes to 1 bit a pixel, other palettes and grey to 8,
// 16-bit grey to 16 unless a transparent grey is named (then 64 like every
// other 16-bit picture), 8-bit colour to 32.
int pngBitsPerPixel(int colourType, int depth, bool transparency)
{
    switch (colourType) {
    case 0:
        if (depth == 16)
            return transparency ? 64 : 16;
        return depth == 1 ? 1 : 8;
    case 3:
        return depth == 1 ? 1 : 8;
    case 2:
    case 4:
    case 6:
        return depth == 16 ? 64 : 32;
    default:
        return 64;
    }
}

// The tRNS chunks a 16-bit RGB PNG may have before its picture data; libpng
// takes one and ignores the others.
constexpr int MaxKeyChunks = 16;

// The CRC-32 of a chunk's type and data, as PNG computes it.
quint32 chunkCrc(const uchar *bytes, qint64 n)
{
    quint32 crc = 0xffffffffu;
    for (qint64 i = 0; i < n; ++i) {
        crc ^= bytes[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG stream at offset: the header chunk must come first, and each chunk's
// data must lie within the device. A stream cut short of a chunk header, or
// of the last chunk's checksum, costs the decoder nothing.
Facts readPng(ByteWindow &window, qint64 offset)
{
    Facts facts;
    qint64 at = offset + 8;
    bool first = true;
    int colourType = -1;
    int depth = 0;
    bool transparency = false;
    bool pictureData = false;
    while (const uchar *chunk = window.at(at, 8)) {
        const qint64 length = be32(chunk);
        const bool header = std::memcmp(chunk + 4, "IHDR", 4) == 0;
        const bool end = std::memcmp(chunk + 4, "IEND", 4) == 0;
        if (length > window.end() - at - 8 || (first && (!header || length < 13))) {
            facts.damaged = true;
            return facts;
        }
        if (first) {
            const uchar *fields = window.at(at + 8, 13);
            facts.size = sizeOf(be32(fields), be32(fields + 4));
            depth = fields[8];
            colourType = fields[9];
            first = false;
        }
        if (std::memcmp(chunk + 4, "tRNS", 4) == 0) {
            transparency = true;
            // libpng takes the first one before the picture data that has
            // the length of a colour and its checksum, and ignores the rest;
            // one after the picture data changes nothing and stays.
            if (!pictureData) {
                // Each is a range to leave out when decoding: past a few, it
                // is no picture anyone wrote, and the ranges would cost memory.
                if (colourType == 2 && depth == 16 && facts.keyChunks.size() == MaxKeyChunks) {
                    facts.damaged = true;
                    return facts;
                }
                facts.keyChunks.append({at, at + 12 + length});
                const uchar *data = length == 6 ? window.at(at + 4, 14) : nullptr;
                if (data && facts.key.isEmpty() && chunkCrc(data, 10) == be32(data + 10))
                    facts.key = QByteArray(reinterpret_cast<const char *>(data + 4), 6);
            }
        }
        if (std::memcmp(chunk + 4, "IDAT", 4) == 0)
            pictureData = true;
        if (end)
            break;
        at += 12 + length;
    }
    facts.bitsPerPixel = pngBitsPerPixel(colourType, depth, transparency);
    if (colourType != 2 || depth != 16) {
        facts.keyChunks.clear();
        facts.key.clear();
    }
    return facts;
}

// The pixels one LZW code of a GIF yields at most: a string of its table.
constexpr qint64 MaxPixelsPerCode = 4096;

bool isFrameMarker(uchar marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

constexpr int MaxComponents = 255;

// The 8 x 8 blocks of each component of a frame at its sampling, in whole
// units of it, as the decoder allocates them, and those over the component's
// own size alone, the fewest a scan of it codes; keyed by component id.
struct FrameBlocks
{
    int ids[MaxComponents] = {};
    qint64 blocks[MaxComponents] = {};
    qint64 coded[MaxComponents] = {};
    int count = 0;

    qint64 of(int id) const
    {
        for (int i = 0; i < count; ++i)
            if (ids[i] == id)
                return blocks[i];
        return 0;
    }

    qint64 codedOf(int id) const
    {
        for (int i = 0; i < count; ++i)
            if (ids[i] == id)
                return coded[i];
        return 0;
    }

    qint64 total() const
    {
        qint64 sum = 0;
        for (int i = 0; i < count; ++i)
            sum += blocks[i];
        return sum;
    }
};

FrameBlocks frameBlocks(const uchar *frame, int components)
{
    const qint64 height = be16(frame + 1);
    const qint64 width = be16(frame + 3);
    int maxH = 1;
    int maxV = 1;
    for (int i = 0; i < components; ++i) {
        maxH = std::max(maxH, frame[7 + 3 * i] >> 4);
        maxV = std::max(maxV, frame[7 + 3 * i] & 0x0f);
    }
    FrameBlocks frameBlocks;
    frameBlocks.count = components;
    for (int i = 0; i < components; ++i) {
        const qint64 h = std::max(1, frame[7 + 3 * i] >> 4);
        const qint64 v = std::max(1, frame[7 + 3 * i] & 0x0f);
        const qint64 columns = (width * h + 8 * maxH - 1) / (8 * maxH);
        const qint64 rows = (height * v + 8 * maxV - 1) / (8 * maxV);
        frameBlocks.ids[i] = frame[6 + 3 * i];
        frameBlocks.blocks[i] = (columns + h - 1) / h * h * ((rows + v - 1) / v * v);
        frameBlocks.coded[i] = columns * rows;
    }
    return frameBlocks;
}

// The coefficients a scan makes the decoder visit: each block of each of its
// components, at every coefficient of its band. A sequential scan covers the
// whole block; a progressive one its spectral band, and a refinement scan
// visits every coefficient of that band even where the data is one run of
// empty blocks, so bands are counted whatever the data holds.
qint64 scanWork(const uchar *scan, int length, const FrameBlocks &frame, bool progressive)
{
    if (length < 3)
        return 0;
    const int components = scan[0];
    if (length < 4 + 2 * components)
        return 0;
    qint64 blocks = 0;
    for (int i = 0; i < components; ++i)
        blocks += frame.of(scan[1 + 2 * i]);
    int band = 64;
    if (progressive) {
        const int start = scan[1 + 2 * components];
        const int end = scan[2 + 2 * components];
        band = std::max(1, std::min(63, end) - std::min(63, start) + 1);
    }
    return blocks * band;
}

// Whether an APP1 segment holds Exif data whose orientation (5 to 8) turns
// the picture by a quarter, as the decoder reads it: a TIFF header in either
// byte order and the orientation entry of its first directory.
bool turnsByQuarter(const uchar *segment, int length)
{
    if (length < 6 + 8 || std::memcmp(segment, "Exif\0\0", 6) != 0)
        return false;
    const uchar *tiff = segment + 6;
    const qint64 size = length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return false;
    const auto u16 = [&](qint64 at) { return little ? le16(tiff + at) : be16(tiff + at); };
    const auto u32 = [&](qint64 at) { return little ? le32(tiff + at) : be32(tiff + at); };
    const qint64 directory = u32(4);
    if (directory < 8 || directory > size - 2)
        return false;
    const int entries = u16(directory);
    for (int i = 0; i < entries; ++i) {
        const qint64 entry = directory + 2 + 12 * qint64(i);
        if (entry > size - 12)
            return false;
        if (u16(entry) == 0x0112) {
            const int orientation = u16(entry + 8);
            return orientation >= 5 && orientation <= 8;
        }
    }
    return false;
}

// The blocks a scan codes at the least: those of each of its components.
qint64 scanBlocks(const uchar *scan, int length, const FrameBlocks &frame)
{
    if (length < 1 || length < 1 + 2 * scan[0])
        return 0;
    qint64 blocks = 0;
    for (int i = 0; i < scan[0]; ++i)
        blocks += frame.codedOf(scan[1 + 2 * i]);
    return blocks;
}

// Whether the entropy-coded data that starts at offset holds at least needed
// bytes before the end of the device or the first marker other than a
// restart marker (stuffed bytes and restart markers counted as data).
bool holdsBytes(ByteWindow &window, qint64 offset, qint64 needed)
{
    const qint64 enough = saturatedSum(offset, needed);
    if (enough > window.end())
        return false;
    qint64 at = offset;
    for (;;) {
        const qint64 ff = window.findFF(at);
        if (ff < 0 || ff >= enough)
            return true;
        qint64 next = ff + 1;
        const uchar *p = window.at(next, 1);
        while (p && p[0] == 0xff) // fill bytes
            p = window.at(++next, 1);
        if (!p)
            return true;
        if (p[0] != 0x00 && (p[0] < 0xd0 || p[0] > 0xd7))
            return false;
        at = next + 1;
    }
}

// A JPEG stream at offset, walked marker by marker. The first scan of a
// Huffman-coded picture (baseline, extended or progressive) codes the DC
// coefficient of each of its blocks with a code of one bit at least: a
// progressive picture begins with DC scans, since a component's DC comes
// before its AC coefficients. A first scan with fewer bits before the next
// marker (or the end) than it has blocks is one cut short, whatever encoded
// it, and the decoder would make its whole picture of nothing. Arithmetic
// coding has no such floor: a flat picture takes a few bytes.
// A sequential picture whose first scan holds every component is decoded in
// one pass: the walk ends there. Otherwise the decoder keeps every
// coefficient, and the scans and the coefficients they visit are counted, up
// to one scan beyond the cap.
Facts readJpeg(ByteWindow &window, qint64 offset)
{
    Facts facts;
    qint64 at = offset + 2;
    int components = 0;
    bool progressive = false;
    bool huffman = false;
    FrameBlocks blocks;
    qint64 store = 0;
    while (const uchar *p = window.at(at, 2)) {
        if (p[0] != 0xff) { // entropy-coded data: on to the next marker
            at = window.findFF(at);
            if (at < 0)
                break;
            continue;
        }
        const uchar marker = p[1];
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || marker == 0xd8 || (marker >= 0xd0 && marker <= 0xd7)) {
            at += 2; // stuffed byte, or a marker without a length
            continue;
        }
        const uchar *lengthBytes = window.at(at + 2, 2);
        if (marker == 0xd9 || !lengthBytes)
            break;
        const int length = be16(lengthBytes);
        const uchar *segment = length >= 2 ? window.at(at + 4, length - 2) : nullptr;
        if (!segment) // cut short: the decoder stops there too
            break;
        if (isFrameMarker(marker) && components == 0 && length >= 8) {
            components = std::min(int(segment[5]), (length - 8) / 3);
            if (components == 0)
                break;
            facts.size = sizeOf(be16(segment + 3), be16(segment + 1));
            facts.bitsPerPixel = components == 1 ? 8 : 32;
            progressive = (marker & 0x03) == 0x02;
            huffman = marker <= 0xc2;
            blocks = frameBlocks(segment, components);
            store = blocks.total() * 128;
        }
        if (marker == 0xe1 && facts.scans == 0 && turnsByQuarter(segment, length - 2))
            facts.quarterTurn = true;
        if (marker == 0xda) {
            ++facts.scans;
            const bool whole = facts.scans == 1 && !progressive && length >= 3
                && segment[0] == components;
            const qint64 work = scanWork(segment, length - 2, blocks, progressive);
            const qint64 coded = scanBlocks(segment, length - 2, blocks);
            // Read before the data is walked, which moves the window off the segment.
            if (facts.scans == 1 && huffman && !holdsBytes(window, at + 2 + length, (coded + 7) / 8)) {
                facts.damaged = true;
                return facts;
            }
            if (components == 0 || whole)
                return facts;
            facts.store = store;
            facts.work = saturatedSum(facts.work, work);
            if (facts.scans > ImageHeader::MaxScans)
                break;
        }
        at += 2 + length;
    }
    if (progressive)
        facts.store = store;
    return facts;
}

// Walks the data sub-blocks at offset up to their terminator, the end of the
// device or, when stopAt is not negative, past stopAt bytes of data; adds the
// bytes of data the device holds to *bytes. Returns the offset after them.
qint64 subBlocks(ByteWindow &window, qint64 offset, qint64 *bytes, qint64 stopAt = -1)
{
    while (const uchar *length = window.at(offset, 1)) {
        if (length[0] == 0 || (stopAt >= 0 && *bytes >= stopAt))
            return offset + 1;
        *bytes += std::min<qint64>(length[0], window.end() - offset - 1);
        offset += 1 + length[0];
    }
    return window.end();
}

// A GIF decodes to its logical screen; without a screen size the decoder
// would pick one itself, so the size is not known. Its first frame, the
// picture, must hold its pixels: an LZW code yields at most 4,096 pixels and
// takes the minimum code size plus one bits at least, so a frame whose data
// sub-blocks, as far as the device holds them, have fewer bits than that is
// one cut short, whatever encoded it; the decoder would make it a blank
// frame of the size it announces.
Facts readGif(ByteWindow &window, qint64 offset)
{
    Facts facts;
    const uchar *header = window.at(offset, 13);
    if (!header) {
        header = window.at(offset, 10);
        facts.size = sizeOf(le16(header + 6), le16(header + 8));
        return facts;
    }
    facts.size = sizeOf(le16(header + 6), le16(header + 8));
    qint64 at = offset + 13;
    if (header[10] & 0x80) // the global colour table
        at += 3 << ((header[10] & 0x07) + 1);
    while (const uchar *block = window.at(at, 1)) {
        if (block[0] == 0x21) { // an extension: its label, then its sub-blocks
            qint64 ignored = 0;
            at = subBlocks(window, at + 2, &ignored);
            continue;
        }
        if (block[0] != 0x2c)
            break;
        const uchar *descriptor = window.at(at, 10);
        const qint64 pixels = descriptor ? qint64(le16(descriptor + 5)) * le16(descriptor + 7) : 1;
        if (pixels == 0)
            break;
        at += 10;
        if (descriptor && (descriptor[9] & 0x80)) // the local colour table
            at += 3 << ((descriptor[9] & 0x07) + 1);
        const uchar *codeSize = descriptor ? window.at(at, 1) : nullptr;
        const qint64 codeBits = codeSize ? std::min(codeSize[0] + 1, 12) : 1;
        const qint64 neededBits = (pixels + MaxPixelsPerCode - 1) / MaxPixelsPerCode * codeBits;
        const qint64 neededBytes = (neededBits + 7) / 8;
        qint64 bytes = 0;
        if (codeSize)
            subBlocks(window, at + 1, &bytes, neededBytes);
        if (bytes * 8 < neededBits)
            facts.damaged = true;
        break;
    }
    return facts;
}

// A bitmap: its pixel data starts at the offset the file header gives, and
// must hold every row the headers announce (uncompressed rows padded to 32
// bits; run-length data of the size the header gives), since the decoder
// leaves the rows that a short file lacks unwritten.
Facts readBmp(ByteWindow &window, qint64 offset)
{
    Facts facts;
    const uchar *header = window.at(offset, 26);
    if (!header)
        return facts;
    const qint64 pixels = le32(header + 10);
    const quint32 infoSize = le32(header + 14);
    qint64 needed = 0;
    if (infoSize == 12) { // the old core header, with 16-bit sizes
        facts.size = sizeOf(le16(header + 18), le16(header + 20));
        needed = (qint64(le16(header + 18)) * le16(header + 24) + 31) / 32 * 4 * le16(header + 20);
    } else {
        const qint32 width = qint32(le32(header + 18));
        const qint32 height = qint32(le32(header + 22));
        if (width > 0 && height != std::numeric_limits<qint32>::min())
            facts.size = sizeOf(quint32(width), quint32(qAbs(height)));
        const uchar *info = infoSize >= 40 ? window.at(offset, 38) : nullptr;
        if (info && facts.size.isValid()) {
            const quint32 compression = le32(info + 30);
            if (compression == 1 || compression == 2) // run-length coded
                needed = le32(info + 34);
            else
                needed = pictureBytes(facts.size, le16(info + 28)); // saturated, past any file
        }
    }
    if (needed > window.end() - offset - pixels)
        facts.damaged = true;
    return facts;
}

// The first entry of an icon or cursor file: PNG data decodes to the size in
// its own header, whatever the directory says; bitmap entries take the
// directory's size, 0 standing for 256. The decoder reads an entry's data
// only as far as the size the directory gives.
Facts readIco(ByteWindow &window, qint64 offset, ImageHeader::Range *png)
{
    const uchar *directory = window.at(offset, 22);
    if (!directory)
        return Facts();
    const qint64 data = offset + le32(directory + 18);
    const uchar *signature = window.at(data, 8);
    if (!signature)
        return Facts();
    if (std::memcmp(signature, pngSignature, 8) == 0) {
        Facts facts = readPng(window, data);
        *png = {data, std::min(window.end(), data + le32(directory + 14))};
        // A transparent colour beyond the entry is none the decoder sees.
        for (const ImageHeader::Range &chunk : facts.keyChunks)
            if (chunk.second > png->second)
                facts.damaged = true;
        return facts;
    }
    Facts facts;
    facts.size = QSize(directory[6] ? directory[6] : 256, directory[7] ? directory[7] : 256);
    return facts;
}

} // namespace

ImageHeader::ImageHeader(QIODevice *device)
{
    if (!device || !device->isOpen() || device->isSequential()) {
        m_readable = false;
        return;
    }
    const qint64 start = device->pos();
    ByteWindow window(device);
    Facts facts;
    if (const uchar *magic = window.at(start, 10)) {
        if (std::memcmp(magic, pngSignature, 8) == 0) {
            m_format = "png";
            facts = readPng(window, start);
            m_keyChunks = facts.keyChunks;
            m_key = facts.key;
        } else if (magic[0] == 0xff && magic[1] == 0xd8) { // what the JPEG decoder takes
            m_format = "jpeg";
            facts = readJpeg(window, start);
        } else if (std::memcmp(magic, "GIF8", 4) == 0) {
            m_format = "gif";
            facts = readGif(window, start);
        } else if (magic[0] == 'B' && magic[1] == 'M') {
            m_format = "bmp";
            facts = readBmp(window, start);
        } else if (le16(magic) == 0 && (le16(magic + 2) == 1 || le16(magic + 2) == 2) && le16(magic + 4) > 0) {
            m_format = le16(magic + 2) == 1 ? "ico" : "cur";
            facts = readIco(window, start, &m_iconPng);
            m_keyChunks = facts.keyChunks;
            m_key = facts.key;
        }
    }
    device->seek(start);
    m_size = facts.size;
    m_scans = facts.scans;
    m_damaged = facts.damaged;
    m_work = facts.work;
    if (m_size.isValid()) {
        const qint64 picture = pictureBytes(m_size, facts.bitsPerPixel);
        m_bytes = saturatedSum(picture, facts.store);
        // The decoder's stores are gone when the picture is turned.
        m_turningBytes = facts.quarterTurn
            ? saturatedSum(picture, std::max(facts.store, ImageTurn::workingBytes(m_size, facts.bitsPerPixel,
                                                                                  MaxBytes - picture)))
            : m_bytes;
    }
}

ImageHeader::Verdict ImageHeader::verdict(const QSize &decoderSize, int decoderBitsPerPixel, bool turning) const
{
    if (!m_readable || m_damaged)
        return Unreadable;
    const bool known = !m_format.isEmpty();
    const QSize size = known ? m_size : decoderSize;
    if (!size.isValid() || size.isEmpty())
        return Unreadable;
    qint64 pixels = pixelsOf(size);
    qint64 bytes = turning ? m_turningBytes : m_bytes;
    if (decoderSize.isValid()) {
        pixels = std::max(pixels, pixelsOf(decoderSize));
        if (!known) {
            const int bits = decoderBitsPerPixel > 0 ? decoderBitsPerPixel : 64;
            bytes = pictureBytes(decoderSize, bits);
            if (turning)
                bytes = saturatedSum(bytes, ImageTurn::workingBytes(decoderSize, bits, MaxBytes - bytes));
        }
    }
    if (pixels > MaxPixels || bytes > MaxBytes || m_scans > MaxScans || m_work > MaxWork)
        return TooLarge;
    return Fits;
}

bool ImageHeader::fits(const QSize &size, qint64 bytes)
{
    return size.isValid() && !size.isEmpty() && pixelsOf(size) <= MaxPixels && bytes <= MaxBytes;
}

} // namespace MGraphX
