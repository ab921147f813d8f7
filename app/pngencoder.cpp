#include "pngencoder.h"

#include <QColorSpace>
#include <QImage>
#include <QStringList>
#include <QThread>

#include <libdeflate.h>
#include <zlib.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// Filtered bytes per slice of the zlib stream. Slices are cut at row
// boundaries from this size alone, so the output does not depend on the
// number of threads. Small slices balance the threads well; a slice that zlib
// deflates starts with the 32 KiB before it as dictionary, so cutting costs
// only a few bytes.
constexpr qint64 SliceBytes = 256 * 1024;
constexpr qint64 WindowBytes = 32 * 1024;

// Each slice is deflated by libdeflate or by zlib, whichever suits its data.
// libdeflate at the same level is about twice as fast and on smooth or
// graphic data also smaller; on noisy photo data zlib's filtered strategy,
// which leaves short matches aside, is a few percent smaller. So each slice
// first deflates its opening bytes on their own with both; a slice that
// libdeflate deflates no larger than zlib there goes to libdeflate, the
// others to zlib.
//
// zlib's levels 4 to 9 search long hash chains for matches. On noisy photo
// data that search finds nothing better and costs most of the time, so zlib
// probes such a slice both ways; when a short search (chain 8, lazy and good
// 4, nice 16) comes within 0.5 % of the full one there, the whole slice uses
// it: several times faster and about as small. Smooth and graphic slices keep
// the level's full search.
constexpr qint64 ProbeBytes = 16 * 1024;
constexpr int ProbeToleranceTenthsPercent = 5;
constexpr int LightGood = 4, LightLazy = 4, LightNice = 16, LightChain = 8;

// Qt's writer starts text longer than this many characters compressed.
constexpr int CompressTextFrom = 40;

enum class Source { Rgb32, Argb32, Argb32Premultiplied, Rgb888, Rgbx8888, Rgba8888, Grayscale8 };

// The image in a layout whose rows can be packed directly into PNG bytes.
struct Raster
{
    QImage image;
    Source source;
    int channels;   // bytes per pixel in the PNG
    int colourType; // IHDR colour type: 0 grey, 2 RGB, 6 RGBA
};

Raster prepare(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
        return {image, Source::Rgb32, 3, 2};
    case QImage::Format_ARGB32:
        return {image, Source::Argb32, 4, 6};
    case QImage::Format_ARGB32_Premultiplied:
        return {image, Source::Argb32Premultiplied, 4, 6};
    case QImage::Format_RGB888:
        return {image, Source::Rgb888, 3, 2};
    case QImage::Format_RGBX8888:
        return {image, Source::Rgbx8888, 3, 2};
    case QImage::Format_RGBA8888:
        return {image, Source::Rgba8888, 4, 6};
    case QImage::Format_Grayscale8:
        return {image, Source::Grayscale8, 1, 0};
    case QImage::Format_Grayscale16:
        return {image.convertToFormat(QImage::Format_Grayscale8), Source::Grayscale8, 1, 0};
    default:
        break;
    }
    // Like Qt's writer: the format, not the pixels, decides about alpha.
    if (image.hasAlphaChannel())
        return {image.convertToFormat(QImage::Format_ARGB32), Source::Argb32, 4, 6};
    return {image.convertToFormat(QImage::Format_RGB32), Source::Rgb32, 3, 2};
}

// Writes one row of the source as PNG samples (R, G, B[, A] or grey).
// Premultiplied rows arrive here already converted to straight ARGB32.
void packRow(Source source, const uchar *line, int width, uchar *out)
{
    const QRgb *pixels = reinterpret_cast<const QRgb *>(line);
    switch (source) {
    case Source::Rgb32:
        for (int x = 0; x < width; ++x, out += 3) {
            out[0] = uchar(qRed(pixels[x]));
            out[1] = uchar(qGreen(pixels[x]));
            out[2] = uchar(qBlue(pixels[x]));
        }
        break;
    case Source::Argb32:
    case Source::Argb32Premultiplied:
        for (int x = 0; x < width; ++x, out += 4) {
            out[0] = uchar(qRed(pixels[x]));
            out[1] = uchar(qGreen(pixels[x]));
            out[2] = uchar(qBlue(pixels[x]));
            out[3] = uchar(qAlpha(pixels[x]));
        }
        break;
    case Source::Rgbx8888:
        for (int x = 0; x < width; ++x, out += 3, line += 4) {
            out[0] = line[0];
            out[1] = line[1];
            out[2] = line[2];
        }
        break;
    case Source::Rgb888:
        std::memcpy(out, line, size_t(width) * 3);
        break;
    case Source::Rgba8888:
        std::memcpy(out, line, size_t(width) * 4);
        break;
    case Source::Grayscale8:
        std::memcpy(out, line, size_t(width));
        break;
    }
}

// Magnitude of a residual read as a signed byte.
inline unsigned cost(uchar v)
{
    return v < 128 ? v : 256u - v;
}

inline uchar paethPredictor(int a, int b, int c)
{
    const int pa = std::abs(b - c);
    const int pb = std::abs(a - c);
    const int pc = std::abs(a + b - 2 * c);
    return uchar((pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c));
}

// Residuals of the four predicting filters for bytes [from, to) of a row
// (from >= bpp), written to sub, up, avg and paeth; adds their costs to sums.
void filterSpan(const uchar *cur, const uchar *prev, int from, int to, int bpp, uchar *sub,
                uchar *up, uchar *avg, uchar *paeth, quint64 sums[5])
{
    for (int i = from; i < to; ++i) {
        const uchar x = cur[i], a = cur[i - bpp], b = prev[i], c = prev[i - bpp];
        sub[i] = uchar(x - a);
        up[i] = uchar(x - b);
        avg[i] = uchar(x - ((a + b) >> 1));
        paeth[i] = uchar(x - paethPredictor(a, b, c));
        sums[0] += cost(x);
        sums[1] += cost(sub[i]);
        sums[2] += cost(up[i]);
        sums[3] += cost(avg[i]);
        sums[4] += cost(paeth[i]);
    }
}

#if defined(__SSE2__)
// Sum of the costs of 16 residuals, in the two 64-bit halves.
inline __m128i costSum(__m128i r)
{
    const __m128i zero = _mm_setzero_si128();
    return _mm_sad_epu8(_mm_min_epu8(r, _mm_sub_epi8(zero, r)), zero);
}

inline __m128i abs16(__m128i v)
{
    return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v));
}

// Paeth predictor of eight 16-bit lanes.
inline __m128i paeth16(__m128i a, __m128i b, __m128i c)
{
    const __m128i bc = _mm_sub_epi16(b, c);
    const __m128i ac = _mm_sub_epi16(a, c);
    const __m128i pa = abs16(bc);
    const __m128i pb = abs16(ac);
    const __m128i pc = abs16(_mm_add_epi16(bc, ac));
    // a where pa <= pb and pa <= pc, else b where pb <= pc, else c.
    const __m128i notA = _mm_or_si128(_mm_cmpgt_epi16(pa, pb), _mm_cmpgt_epi16(pa, pc));
    const __m128i notB = _mm_cmpgt_epi16(pb, pc);
    const __m128i bOrC = _mm_or_si128(_mm_andnot_si128(notB, b), _mm_and_si128(notB, c));
    return _mm_or_si128(_mm_andnot_si128(notA, a), _mm_and_si128(notA, bOrC));
}

// filterSpan for 16 bytes at a time; returns where it stopped.
int filterSpanSse2(const uchar *cur, const uchar *prev, int from, int to, int bpp, uchar *sub,
                   uchar *up, uchar *avg, uchar *paeth, quint64 sums[5])
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i one = _mm_set1_epi8(1);
    __m128i acc[5] = {zero, zero, zero, zero, zero};
    int i = from;
    for (; i + 16 <= to; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(cur + i));
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(cur + i - bpp));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(prev + i));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(prev + i - bpp));
        const __m128i rSub = _mm_sub_epi8(x, a);
        const __m128i rUp = _mm_sub_epi8(x, b);
        // floor((a + b) / 2): the rounding-up average less the dropped half.
        const __m128i mean = _mm_sub_epi8(_mm_avg_epu8(a, b), _mm_and_si128(_mm_xor_si128(a, b), one));
        const __m128i rAvg = _mm_sub_epi8(x, mean);
        const __m128i low = paeth16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero),
                                    _mm_unpacklo_epi8(c, zero));
        const __m128i high = paeth16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero),
                                     _mm_unpackhi_epi8(c, zero));
        const __m128i rPaeth = _mm_sub_epi8(x, _mm_packus_epi16(low, high));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(sub + i), rSub);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(up + i), rUp);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(avg + i), rAvg);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(paeth + i), rPaeth);
        acc[0] = _mm_add_epi64(acc[0], costSum(x));
        acc[1] = _mm_add_epi64(acc[1], costSum(rSub));
        acc[2] = _mm_add_epi64(acc[2], costSum(rUp));
        acc[3] = _mm_add_epi64(acc[3], costSum(rAvg));
        acc[4] = _mm_add_epi64(acc[4], costSum(rPaeth));
    }
    for (int f = 0; f < 5; ++f) {
        quint64 halves[2];
        _mm_storeu_si128(reinterpret_cast<__m128i *>(halves), acc[f]);
        sums[f] += halves[0] + halves[1];
    }
    return i;
}
#endif

// Filters one row with each of the five PNG filters and keeps the one whose
// residuals, read as signed bytes, have the smallest sum of magnitudes (the
// first of equals, in the order None, Sub, Up, Average, Paeth). out receives
// the filter type byte and then the residuals; scratch holds 4 * length bytes.
void filterRow(const uchar *cur, const uchar *prev, int length, int bpp, uchar *out,
               uchar *scratch)
{
    uchar *sub = scratch;
    uchar *up = scratch + length;
    uchar *avg = scratch + 2 * length;
    uchar *paeth = scratch + 3 * length;
    quint64 sums[5] = {0, 0, 0, 0, 0};

    // The first pixel has no left neighbour.
    const int head = std::min(bpp, length);
    for (int i = 0; i < head; ++i) {
        const uchar x = cur[i], b = prev[i];
        sub[i] = x;
        up[i] = uchar(x - b);
        avg[i] = uchar(x - (b >> 1));
        paeth[i] = uchar(x - b);
        sums[0] += cost(x);
        sums[1] += cost(sub[i]);
        sums[2] += cost(up[i]);
        sums[3] += cost(avg[i]);
        sums[4] += cost(paeth[i]);
    }
    int i = head;
#if defined(__SSE2__)
    i = filterSpanSse2(cur, prev, i, length, bpp, sub, up, avg, paeth, sums);
#endif
    filterSpan(cur, prev, i, length, bpp, sub, up, avg, paeth, sums);

    int best = 0;
    for (int f = 1; f < 5; ++f) {
        if (sums[f] < sums[best])
            best = f;
    }
    out[0] = uchar(best);
    std::memcpy(out + 1, best == 0 ? cur : scratch + (best - 1) * length, size_t(length));
}

// One slice of the zlib stream: rows [firstRow, endRow) filtered and deflated.
struct Slice
{
    int firstRow = 0;
    int endRow = 0;
    std::vector<uchar> deflated; // IDAT chunk body (the zlib header in the first slice)
    qint64 rawLength = 0;
    quint32 adler = 0;           // adler32 of the slice's filtered bytes
    quint32 crc = 0;             // CRC of the IDAT chunk (type and body)
};

// Deflates slices one after another on one thread, reusing its buffers and
// its zlib stream.
class SliceDeflater
{
public:
    SliceDeflater(const Raster &raster, int level)
        : m_raster(raster),
          m_rowLength(int(qint64(raster.image.width()) * raster.channels)),
          m_level(level),
          m_compressor(level > 0 ? libdeflate_alloc_compressor(level) : nullptr)
    {
        m_ok = deflateInit2(&m_stream, level, Z_DEFLATED, -15, 8,
                            level > 0 ? Z_FILTERED : Z_DEFAULT_STRATEGY)
                == Z_OK;
        m_inflating = inflateInit2(&m_inflate, -15) == Z_OK;
    }
    ~SliceDeflater()
    {
        if (m_ok)
            deflateEnd(&m_stream);
        if (m_inflating)
            inflateEnd(&m_inflate);
        libdeflate_free_compressor(m_compressor);
    }
    SliceDeflater(const SliceDeflater &) = delete;
    SliceDeflater &operator=(const SliceDeflater &) = delete;

    bool run(Slice &slice, bool first, bool last)
    {
        if (!m_ok)
            return false;
        const qint64 rowBytes = qint64(m_rowLength) + 1;
        // The rows before the slice are filtered again to serve as dictionary.
        const int dictionaryRows =
                int(std::min<qint64>(slice.firstRow, (WindowBytes + rowBytes - 1) / rowBytes));
        const int from = slice.firstRow - dictionaryRows;

        m_filtered.resize(size_t((slice.endRow - from) * rowBytes));
        m_current.resize(size_t(m_rowLength));
        m_previous.assign(size_t(m_rowLength), 0);
        m_scratch.resize(size_t(m_rowLength) * 4);
        // Premultiplied rows are made straight by Qt's own conversion, a block
        // per slice, so the colours are exactly those Qt's writer stores.
        const QImage &source = m_raster.image;
        const int firstSourceRow = std::max(0, from - 1);
        QImage straight;
        if (m_raster.source == Source::Argb32Premultiplied) {
            straight = QImage(source.constScanLine(firstSourceRow), source.width(),
                              slice.endRow - firstSourceRow, source.bytesPerLine(),
                              QImage::Format_ARGB32_Premultiplied)
                               .convertToFormat(QImage::Format_ARGB32);
            if (straight.isNull())
                return false;
        }
        auto line = [&](int y) {
            return straight.isNull() ? source.constScanLine(y)
                                     : straight.constScanLine(y - firstSourceRow);
        };

        if (from > 0)
            packRow(m_raster.source, line(from - 1), source.width(), m_previous.data());
        for (int y = from; y < slice.endRow; ++y) {
            packRow(m_raster.source, line(y), source.width(), m_current.data());
            filterRow(m_current.data(), m_previous.data(), m_rowLength, bytesPerPixel(),
                      m_filtered.data() + (y - from) * rowBytes, m_scratch.data());
            m_current.swap(m_previous);
        }

        const uchar *data = m_filtered.data() + dictionaryRows * rowBytes;
        slice.rawLength = (slice.endRow - slice.firstRow) * rowBytes;
        slice.adler = libdeflate_adler32(1, data, size_t(slice.rawLength));

        const qint64 dictionaryLength = std::min<qint64>(WindowBytes, dictionaryRows * rowBytes);
        const uchar *dictionary = data - dictionaryLength;
        const size_t headerLength = first ? 2 : 0;
        bool light = false;
        if (m_level > 0 && slice.rawLength >= 2 * ProbeBytes) {
            // Without the bytes before the slice, as libdeflate sees it.
            const qint64 full = probe(data, false);
            const qint64 lighter = m_level >= 4 ? probe(data, true) : -1;
            const qint64 libdeflate = probeLibdeflate(data);
            if (full < 0 || (m_level >= 4 && lighter < 0))
                return false;
            light = m_level >= 4 && lighter * 1000 <= full * (1000 + ProbeToleranceTenthsPercent);
            if (libdeflate >= 0 && libdeflate <= (light ? lighter : full))
                return deflateWithLibdeflate(slice, data, headerLength, last);
        }
        if (!restart(dictionary, dictionaryLength, light))
            return false;

        std::vector<uchar> &out = m_output;
        size_t used = headerLength;
        out.resize(deflateBound(&m_stream, uLong(slice.rawLength)) + 64);
        if (first)
            writeZlibHeader(out.data());
        m_stream.next_in = const_cast<Bytef *>(data);
        m_stream.avail_in = uInt(slice.rawLength);
        const int flush = last ? Z_FINISH : Z_SYNC_FLUSH;
        for (;;) {
            m_stream.next_out = out.data() + used;
            m_stream.avail_out = uInt(out.size() - used);
            const int result = deflate(&m_stream, flush);
            used = out.size() - m_stream.avail_out;
            if (result == Z_STREAM_ERROR)
                return false;
            if (last ? result == Z_STREAM_END
                     : (m_stream.avail_in == 0 && m_stream.avail_out != 0))
                break;
            if (m_stream.avail_out != 0)
                return false; // stalled with room to spare
            out.resize(out.size() * 2);
        }
        slice.deflated.assign(out.begin(), out.begin() + std::ptrdiff_t(used));
        slice.crc = libdeflate_crc32(libdeflate_crc32(0, "IDAT", 4), out.data(), used);
        return true;
    }

private:
    int bytesPerPixel() const { return m_raster.channels; }

    // zlib header: deflate with a 32 KiB window, the level class in FLEVEL.
    void writeZlibHeader(uchar *out) const
    {
        const int levelClass = m_level < 2 ? 0 : m_level < 6 ? 1 : m_level == 6 ? 2 : 3;
        unsigned header = (0x78u << 8) | unsigned(levelClass << 6);
        header += 31 - header % 31;
        out[0] = uchar(header >> 8);
        out[1] = uchar(header & 0xff);
    }

    // libdeflate's size for the first ProbeBytes of data, or -1 when it has
    // no compressor (level 0, or no memory for one).
    qint64 probeLibdeflate(const uchar *data)
    {
        if (!m_compressor)
            return -1;
        m_probe.resize(libdeflate_deflate_compress_bound(m_compressor, size_t(ProbeBytes)));
        const size_t size = libdeflate_deflate_compress(m_compressor, data, size_t(ProbeBytes),
                                                        m_probe.data(), m_probe.size());
        return size > 0 ? qint64(size) : -1;
    }

    // The slice as libdeflate deflates it, on its own: libdeflate takes no
    // preset dictionary.
    bool deflateWithLibdeflate(Slice &slice, const uchar *data, size_t headerLength, bool last)
    {
        const size_t rawLength = size_t(slice.rawLength);
        std::vector<uchar> &out = m_output;
        // Room for the zlib header, the deflate data and an empty stored block.
        out.resize(headerLength + libdeflate_deflate_compress_bound(m_compressor, rawLength) + 5);
        if (headerLength > 0)
            writeZlibHeader(out.data());
        const size_t length = libdeflate_deflate_compress(m_compressor, data, rawLength,
                                                          out.data() + headerLength,
                                                          out.size() - headerLength - 5);
        if (length == 0)
            return false;
        size_t used = headerLength + length;
        if (!last) {
            const qint64 continued = continuable(out.data() + headerLength, length, rawLength);
            if (continued < 0)
                return false;
            used = headerLength + size_t(continued);
        }
        slice.deflated.assign(out.begin(), out.begin() + std::ptrdiff_t(used));
        slice.crc = libdeflate_crc32(libdeflate_crc32(0, "IDAT", 4), out.data(), used);
        return true;
    }

    // Makes a complete raw deflate stream of rawLength bytes one that another
    // stream's blocks may follow: clears the final-block bit of its last block
    // and appends an empty stored block, which ends the data on a byte boundary
    // as zlib's sync flush does. The last block's header is found by inflating
    // block by block. Returns the new length (at most 5 bytes more; the buffer
    // must have that room), or -1 when the stream does not inflate to exactly
    // rawLength bytes.
    qint64 continuable(uchar *stream, size_t length, size_t rawLength)
    {
        if (!m_inflating || inflateReset(&m_inflate) != Z_OK)
            return -1;
        m_inflated.resize(rawLength + 1);
        m_inflate.next_in = stream;
        m_inflate.avail_in = uInt(length);
        m_inflate.next_out = m_inflated.data();
        m_inflate.avail_out = uInt(m_inflated.size());
        size_t headerByte = 0; // where the current block's header starts
        int headerBit = 0;
        int unused = 0;        // bits after the current block's end in its last byte
        for (;;) {
            const int result = inflate(&m_inflate, Z_BLOCK);
            if (result != Z_OK || !(m_inflate.data_type & 128))
                return -1; // damaged, or stopped short of a block's end
            unused = m_inflate.data_type & 7;
            if (m_inflate.data_type & 64)
                break; // the end of the final block
            // The next block's header starts after the bits used.
            const size_t consumed = size_t(m_inflate.next_in - stream);
            headerByte = unused ? consumed - 1 : consumed;
            headerBit = unused ? 8 - unused : 0;
        }
        if (m_inflate.avail_in != 0 || m_inflate.total_out != rawLength)
            return -1;
        stream[headerByte] &= uchar(~(1u << headerBit));

        // The empty stored block: three zero header bits, zero bits up to the
        // byte boundary, then LEN 0 and its complement.
        size_t end = length;
        if (unused)
            stream[end - 1] &= uchar((1u << (8 - unused)) - 1);
        if (unused < 3)
            stream[end++] = 0;
        const uchar emptyStored[4] = {0x00, 0x00, 0xff, 0xff};
        std::memcpy(stream + end, emptyStored, 4);
        return qint64(end + 4);
    }

    // Starts a new raw deflate stream primed with the dictionary, with the
    // level's own search or the short one.
    bool restart(const uchar *dictionary, qint64 dictionaryLength, bool light)
    {
        if (deflateReset(&m_stream) != Z_OK)
            return false;
        if (light && deflateTune(&m_stream, LightGood, LightLazy, LightNice, LightChain) != Z_OK)
            return false;
        return dictionaryLength == 0
                || deflateSetDictionary(&m_stream, dictionary, uInt(dictionaryLength)) == Z_OK;
    }

    // zlib's size for the first ProbeBytes of data on their own, or -1 on
    // failure.
    qint64 probe(const uchar *data, bool light)
    {
        if (!restart(nullptr, 0, light))
            return -1;
        m_probe.resize(deflateBound(&m_stream, uLong(ProbeBytes)) + 64);
        m_stream.next_in = const_cast<Bytef *>(data);
        m_stream.avail_in = uInt(ProbeBytes);
        m_stream.next_out = m_probe.data();
        m_stream.avail_out = uInt(m_probe.size());
        if (deflate(&m_stream, Z_SYNC_FLUSH) != Z_OK || m_stream.avail_in != 0)
            return -1;
        return qint64(m_probe.size() - m_stream.avail_out);
    }

    const Raster &m_raster;
    const int m_rowLength; // bytes of one row without the filter byte
    const int m_level;
    libdeflate_compressor *const m_compressor; // null at level 0: zlib stores
    z_stream m_stream{};
    bool m_ok = false;
    z_stream m_inflate{}; // finds the last block of libdeflate's output
    bool m_inflating = false;
    std::vector<uchar> m_filtered;
    std::vector<uchar> m_current;
    std::vector<uchar> m_previous;
    std::vector<uchar> m_scratch;
    std::vector<uchar> m_probe;
    std::vector<uchar> m_output;
    std::vector<uchar> m_inflated;
};

void putUint32(QByteArray &out, quint32 v)
{
    const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    out.append(bytes, 4);
}

void appendChunk(QByteArray &png, const char *type, const QByteArray &data)
{
    putUint32(png, quint32(data.size()));
    const int start = png.size();
    png.append(type, 4);
    png.append(data);
    putUint32(png, quint32(crc32(0, reinterpret_cast<const Bytef *>(png.constData() + start),
                                 uInt(data.size() + 4))));
}

// A complete zlib stream of data, for compressed metadata chunks.
QByteArray zlibCompress(const QByteArray &data)
{
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(int(length), Qt::Uninitialized);
    if (compress2(reinterpret_cast<Bytef *>(out.data()), &length,
                  reinterpret_cast<const Bytef *>(data.constData()), uLong(data.size()),
                  Z_BEST_COMPRESSION)
        != Z_OK)
        return QByteArray();
    out.truncate(int(length));
    return out;
}

quint32 readUint32(const QByteArray &data, int at)
{
    const auto *p = reinterpret_cast<const uchar *>(data.constData()) + at;
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

// The description of an ICC profile (its 'desc' tag, version 2 or 4 form), or
// an empty string.
QByteArray iccDescription(const QByteArray &profile)
{
    if (profile.size() < 132)
        return QByteArray();
    const quint32 tags = readUint32(profile, 128);
    for (quint32 i = 0; i < tags && 132 + (i + 1) * 12 <= quint32(profile.size()); ++i) {
        const int entry = int(132 + i * 12);
        if (profile.mid(entry, 4) != "desc")
            continue;
        const quint32 offset = readUint32(profile, entry + 4);
        const quint32 size = readUint32(profile, entry + 8);
        if (qint64(offset) + size > profile.size() || size < 16)
            return QByteArray();
        const QByteArray tag = profile.mid(int(offset), int(size));
        if (tag.startsWith("desc")) {
            const quint32 count = readUint32(tag, 8);
            if (12 + qint64(count) > size)
                return QByteArray();
            const QByteArray ascii = tag.mid(12, int(count));
            return ascii.left(ascii.indexOf('\0') < 0 ? ascii.size() : ascii.indexOf('\0'));
        }
        if (tag.startsWith("mluc") && readUint32(tag, 8) > 0 && size >= 28) {
            const quint32 length = readUint32(tag, 20);
            const quint32 start = readUint32(tag, 24);
            if (qint64(start) + length > size)
                return QByteArray();
            QString text;
            for (quint32 k = 0; k + 1 < length; k += 2)
                text.append(QChar(ushort((uchar(tag[int(start + k)]) << 8)
                                         | uchar(tag[int(start + k + 1)]))));
            return text.toLatin1();
        }
        return QByteArray();
    }
    return QByteArray();
}

QByteArray iccpChunk(const QImage &image)
{
    const QColorSpace space = image.colorSpace();
    if (!space.isValid())
        return QByteArray();
    const QByteArray profile = space.iccProfile();
    if (profile.isEmpty())
        return QByteArray();
    QByteArray name = iccDescription(profile).simplified().left(79);
    if (name.isEmpty())
        name = "Custom"; // Qt's name for a colour space without description
    return name + '\0' + '\0' + zlibCompress(profile);
}

// Text that fits a tEXt chunk: printable Latin-1 and line feeds.
bool isPlainText(const QString &text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u != '\n' && !(u >= 0x20 && u <= 0x7e) && !(u >= 0xa1 && u <= 0xff))
            return false;
    }
    return true;
}

// Writes the image's texts as Qt's writer does: tEXt for short printable
// Latin-1, zTXt for long Latin-1, iTXt (UTF-8, compressed when long) otherwise.
void appendTextChunks(QByteArray &png, const QImage &image)
{
    const QStringList keys = image.textKeys();
    for (const QString &key : keys) {
        const QByteArray keyword = key.simplified().toLatin1();
        if (keyword.isEmpty() || keyword.size() > 79)
            continue;
        const QString value = image.text(key);
        const bool compressed = value.size() >= CompressTextFrom;
        if (isPlainText(value)) {
            if (compressed)
                appendChunk(png, "zTXt", keyword + '\0' + '\0' + zlibCompress(value.toLatin1()));
            else
                appendChunk(png, "tEXt", keyword + '\0' + value.toLatin1());
        } else {
            const QByteArray utf8 = value.toUtf8();
            QByteArray data = keyword + '\0' + char(compressed ? 1 : 0) + '\0';
            data += '\0'; // no language tag
            data += '\0'; // no translated keyword
            data += compressed ? zlibCompress(utf8) : utf8;
            appendChunk(png, "iTXt", data);
        }
    }
}

} // namespace

int PngEncoder::compressionLevel(int quality)
{
    if (quality < 0)
        return 6;
    return std::max(0, 9 - std::min(quality, 100) / 10);
}

QByteArray PngEncoder::encode(const QImage &image, int quality)
{
    return encode(image, quality, 0);
}

QByteArray PngEncoder::encode(const QImage &image, int quality, int threadCount)
{
    if (image.isNull())
        return QByteArray();

    const Raster raster = prepare(image);
    if (raster.image.isNull())
        return QByteArray();
    const int level = compressionLevel(quality);
    const int width = raster.image.width();
    const int height = raster.image.height();

    const qint64 rowBytes = qint64(width) * raster.channels + 1;
    const int rowsPerSlice = int(std::max<qint64>(1, std::min<qint64>(height, SliceBytes / rowBytes)));
    std::vector<Slice> slices(size_t((height + rowsPerSlice - 1) / rowsPerSlice));
    for (size_t i = 0; i < slices.size(); ++i) {
        slices[i].firstRow = int(i) * rowsPerSlice;
        slices[i].endRow = std::min(height, slices[i].firstRow + rowsPerSlice);
    }

    // Each thread takes the next slice until none is left.
    const int sliceCount = int(slices.size());
    int threads = threadCount > 0 ? threadCount : QThread::idealThreadCount();
    threads = std::max(1, std::min(threads, sliceCount));
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    auto work = [&]() {
        SliceDeflater deflater(raster, level);
        for (int i = next++; i < sliceCount; i = next++) {
            if (!deflater.run(slices[size_t(i)], i == 0, i == sliceCount - 1))
                failed = true;
        }
    };
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t) {
        try {
            helpers.emplace_back(work);
        } catch (const std::system_error &) {
            break; // fewer threads still finish the work
        }
    }
    work();
    for (std::thread &helper : helpers)
        helper.join();
    if (failed)
        return QByteArray();

    // The stream's adler32 combines those of the slices.
    uLong adler = adler32(0, nullptr, 0);
    qint64 idatBytes = 0;
    for (const Slice &slice : slices) {
        adler = adler32_combine(adler, slice.adler, z_off_t(slice.rawLength));
        idatBytes += qint64(slice.deflated.size()) + 12;
    }
    Slice &tail = slices.back();
    for (int shift = 24; shift >= 0; shift -= 8)
        tail.deflated.push_back(uchar(adler >> shift));
    tail.crc = libdeflate_crc32(tail.crc, tail.deflated.data() + tail.deflated.size() - 4, 4);
    idatBytes += 4;

    QByteArray header;
    putUint32(header, quint32(width));
    putUint32(header, quint32(height));
    header.append(char(8));                  // bit depth
    header.append(char(raster.colourType));
    header.append(3, '\0');                  // deflate, adaptive filtering, no interlace

    QByteArray metadata;
    appendChunk(metadata, "IHDR", header);
    const QByteArray iccp = iccpChunk(image);
    if (!iccp.isEmpty())
        appendChunk(metadata, "iCCP", iccp);
    if (image.dotsPerMeterX() > 0 && image.dotsPerMeterY() > 0) {
        QByteArray physical;
        putUint32(physical, quint32(image.dotsPerMeterX()));
        putUint32(physical, quint32(image.dotsPerMeterY()));
        physical.append(char(1)); // unit: metre
        appendChunk(metadata, "pHYs", physical);
    }
    appendTextChunks(metadata, image);

    static const char signature[8] = {char(0x89), 'P', 'N', 'G', '\r', '\n', char(0x1a), '\n'};
    const qint64 total = 8 + metadata.size() + idatBytes + 12;
    if (total > std::numeric_limits<int>::max())
        return QByteArray();
    QByteArray png;
    png.reserve(int(total));
    png.append(signature, 8);
    png.append(metadata);
    for (const Slice &slice : slices) {
        const auto *data = reinterpret_cast<const char *>(slice.deflated.data());
        const int length = int(slice.deflated.size());
        putUint32(png, quint32(length));
        png.append("IDAT", 4);
        png.append(data, length);
        putUint32(png, quint32(slice.crc));
    }
    appendChunk(png, "IEND", QByteArray());
    return png;
}
