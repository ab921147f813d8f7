#include "imageturn.h"

#include <QColorSpace>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace MGraphX {

namespace {

// A quarter turn moves pixels in runs of about this many bytes: long enough
// that moving a run costs little more than reaching it, short enough that a
// strip of them stays small.
constexpr int RunBytes = 512;
// The strips are turned by this many threads at once, each with its own
// working strip: turning them is bound by memory bandwidth, which one thread
// does not fill.
constexpr int Workers = 4;

qint64 lineBytes(qint64 width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// Whether a quarter turn can stay in the picture's memory: whole-byte pixels,
// and turned lines, padded as QImage pads them, that fit the buffer.
bool turnsInPlace(const QSize &size, int bitsPerPixel)
{
    return bitsPerPixel % 8 == 0 && bitsPerPixel > 0 && bitsPerPixel <= 64
        && lineBytes(size.height(), bitsPerPixel) * size.width()
        <= lineBytes(size.width(), bitsPerPixel) * size.height();
}

// The run length for a side: the nominal one, or the longest down to half of
// it that divides the side, so that no lines or columns are left over.
qint64 runFor(qint64 along, int pixelBytes)
{
    const qint64 nominal = std::max(1, RunBytes / pixelBytes);
    for (qint64 run = nominal; run > nominal / 2; --run)
        if (along % run == 0)
            return run;
    return nominal;
}

// How a width x height picture of pixelBytes-byte pixels is transposed in
// place: in strips across its longer side, each strip as many lines as a run
// has pixels, so that a working strip is as long as the shorter side.
struct Strips
{
    Strips(qint64 width, qint64 height, int pixelBytes, qint64 room)
        : pixelBytes(pixelBytes),
          byRows(width <= height),
          across(byRows ? width : height),
          along(byRows ? height : width),
          run(runFor(along, pixelBytes)),
          whole(along / run),
          rest(along % run)
    {
        const qint64 roomForStrips = (room - markBytes()) / oneStripBytes();
        workers = int(std::max<qint64>(1, std::min<qint64>({qint64(Workers), whole, roomForStrips})));
    }

    qint64 oneStripBytes() const { return across * std::min(run, along) * pixelBytes; }
    qint64 stripBytes() const { return workers * oneStripBytes(); }
    // One bit for each run, to mark the runs already moved.
    qint64 markBytes() const { return (whole * across + 7) / 8; }

    const int pixelBytes;
    const bool byRows; // strips of lines; otherwise of columns
    const qint64 across; // the shorter side
    const qint64 along; // the longer side
    const qint64 run; // pixels
    const qint64 whole; // the whole strips
    const qint64 rest; // lines or columns beyond them
    // The threads that turn strips, each with its own working strip: as many
    // as the room allows, one at least.
    int workers = 1;
};

// dst (cols x rows) becomes the transpose of src (rows x cols), both tight,
// with the order of the rows (within each line of dst) or of the columns
// (the lines of dst) reversed when asked.
template <int Bytes>
void transposeTo(const uchar *src, qint64 rows, qint64 cols, uchar *dst, bool reverseRows, bool reverseCols)
{
    constexpr qint64 Tile = 8;
    for (qint64 r0 = 0; r0 < rows; r0 += Tile) {
        const qint64 r1 = std::min(rows, r0 + Tile);
        for (qint64 c0 = 0; c0 < cols; c0 += Tile) {
            const qint64 c1 = std::min(cols, c0 + Tile);
            for (qint64 r = r0; r < r1; ++r) {
                const qint64 to = reverseRows ? rows - 1 - r : r;
                const uchar *from = src + r * cols * Bytes;
                for (qint64 c = c0; c < c1; ++c)
                    std::memcpy(dst + ((reverseCols ? cols - 1 - c : c) * rows + to) * Bytes, from + c * Bytes, Bytes);
            }
        }
    }
}

void transposeTo(int pixelBytes, const uchar *src, qint64 rows, qint64 cols, uchar *dst, bool reverseRows,
                 bool reverseCols)
{
    switch (pixelBytes) {
    case 1:
        return transposeTo<1>(src, rows, cols, dst, reverseRows, reverseCols);
    case 2:
        return transposeTo<2>(src, rows, cols, dst, reverseRows, reverseCols);
    case 3:
        return transposeTo<3>(src, rows, cols, dst, reverseRows, reverseCols);
    case 4:
        return transposeTo<4>(src, rows, cols, dst, reverseRows, reverseCols);
    default:
        return transposeTo<8>(src, rows, cols, dst, reverseRows, reverseCols);
    }
}

// Calls turn(k, strip) for each k below count, on s.workers threads, each
// with its own working strip of strips.
template <typename Turn>
void forEachStrip(qint64 count, const Strips &s, uchar *strips, Turn turn)
{
    std::atomic<qint64> next(0);
    const auto work = [&](int worker) {
        uchar *strip = strips + worker * s.oneStripBytes();
        for (qint64 k = next++; k < count; k = next++)
            turn(k, strip);
    };
    std::vector<std::thread> threads;
    for (int worker = 1; worker < s.workers; ++worker) {
        try {
            threads.emplace_back(work, worker);
        } catch (const std::system_error &) {
            break; // the threads there are do the work
        }
    }
    work(0);
    for (std::thread &thread : threads)
        thread.join();
}

// Moves count runs of runBytes each in place, so that position i receives the
// run at source(i), by following each cycle of the permutation once; marks is
// zeroed, one bit a run. The next run of a cycle is fetched ahead.
template <typename Source>
void permuteRuns(uchar *data, qint64 count, qint64 runBytes, uchar *marks, Source source)
{
    uchar held[RunBytes];
    for (qint64 start = 0; start < count; ++start) {
        if (marks[start >> 3] & (1u << (start & 7)))
            continue;
        qint64 to = start;
        qint64 from = source(to);
        if (from == start) {
            marks[start >> 3] |= uchar(1u << (start & 7));
            continue;
        }
        std::memcpy(held, data + start * runBytes, size_t(runBytes));
        for (;;) {
            marks[to >> 3] |= uchar(1u << (to & 7));
            if (from == start) {
                std::memcpy(data + to * runBytes, held, size_t(runBytes));
                break;
            }
            const qint64 next = source(from);
            for (qint64 b = 0; b < runBytes; b += 64)
                __builtin_prefetch(data + next * runBytes + b);
            std::memcpy(data + to * runBytes, data + from * runBytes, size_t(runBytes));
            to = from;
            from = next;
        }
    }
}

// Turns the tight picture at p, height lines of width pixels, in place into
// width lines of height pixels: line x, pixel j of the result is the pixel at
// column x, line j, counted from the right when mirrored and from the bottom
// when flipped. Works through strip and marks, of the sizes Strips gives.
void turnTight(uchar *p, qint64 width, qint64 height, bool mirrored, bool flipped, const Strips &s, uchar *strip,
               uchar *marks)
{
    const int e = s.pixelBytes;
    const qint64 run = s.run;
    const qint64 n = s.whole;
    const qint64 r = s.rest;
    if (s.byRows) {
        // Each strip of run lines becomes width runs, one for each column.
        forEachStrip(n, s, strip, [=](qint64 k, uchar *mine) {
            uchar *lines = p + k * run * width * e;
            transposeTo(e, lines, run, width, mine, flipped, false);
            std::memcpy(lines, mine, size_t(run * width * e));
        });
        // The runs, n x width, put in column order make each turned line.
        permuteRuns(p, n * width, run * e, marks, [=](qint64 at) {
            const qint64 x = mirrored ? width - 1 - at / n : at / n;
            const qint64 k = flipped ? n - 1 - at % n : at % n;
            return k * width + x;
        });
        if (r > 0) {
            // The lines beyond the strips end (or, flipped, begin) every turned
            // line: the lines are spread out to their length from the last back.
            transposeTo(e, p + n * run * width * e, r, width, strip, flipped, mirrored);
            const qint64 main = flipped ? r : 0;
            const qint64 rest = flipped ? 0 : n * run;
            for (qint64 x = width - 1; x >= 0; --x) {
                std::memmove(p + (x * height + main) * e, p + x * n * run * e, size_t(n * run * e));
                std::memcpy(p + (x * height + rest) * e, strip + x * r * e, size_t(r * e));
            }
        }
    } else {
        // Mirrored, the columns beyond the strips make the first turned lines.
        const qint64 main = mirrored ? r * height : 0;
        if (r > 0) {
            // Those columns are set aside, the lines closed up, and they are
            // turned into their place.
            for (qint64 y = 0; y < height; ++y)
                std::memcpy(strip + y * r * e, p + (y * width + n * run) * e, size_t(r * e));
            if (mirrored) {
                for (qint64 y = height - 1; y >= 0; --y)
                    std::memmove(p + (main + y * n * run) * e, p + y * width * e, size_t(n * run * e));
            } else {
                for (qint64 y = 1; y < height; ++y)
                    std::memmove(p + y * n * run * e, p + y * width * e, size_t(n * run * e));
            }
            transposeTo(e, strip, height, r, p + (mirrored ? 0 : n * run * height) * e, flipped, mirrored);
        }
        // Each line's runs, height x n, put in column order make each strip
        // of columns a height x run block ...
        uchar *blocks = p + main * e;
        permuteRuns(blocks, height * n, run * e, marks, [=](qint64 at) {
            const qint64 k = mirrored ? n - 1 - at / height : at / height;
            return at % height * n + k;
        });
        // ... which, transposed, is run turned lines.
        forEachStrip(n, s, strip, [=](qint64 k, uchar *mine) {
            uchar *block = blocks + k * height * run * e;
            transposeTo(e, block, height, run, mine, flipped, mirrored);
            std::memcpy(block, mine, size_t(height * run * e));
        });
    }
}

void releaseHolder(void *holder)
{
    delete static_cast<QImage *>(holder);
}

} // namespace

qint64 ImageTurn::workingBytes(const QSize &size, int bitsPerPixel, qint64 room)
{
    if (!size.isValid() || size.isEmpty() || bitsPerPixel <= 0)
        return 0;
    // Far beyond any picture: not worth counting, and safe from overflow below.
    if (qint64(size.width()) * size.height() > (qint64(1) << 40))
        return std::numeric_limits<qint64>::max();
    if (!turnsInPlace(size, bitsPerPixel))
        return lineBytes(size.height(), bitsPerPixel) * size.width();
    const Strips strips(size.width(), size.height(), bitsPerPixel / 8, room);
    return strips.stripBytes() + strips.markBytes();
}

bool ImageTurn::apply(QImage *image, QImageIOHandler::Transformations transformation, qint64 room)
{
    const bool mirror = transformation & QImageIOHandler::TransformationMirror;
    const bool flip = transformation & QImageIOHandler::TransformationFlip;
    if (image->isNull())
        return true;
    if (!(transformation & QImageIOHandler::TransformationRotate90)) {
        *image = std::move(*image).mirrored(mirror, flip);
        return true;
    }
    const qint64 width = image->width();
    const qint64 height = image->height();
    if (!turnsInPlace(image->size(), image->depth())) {
        // The turn makes a new picture, which takes all but the colour space.
        const QColorSpace colorSpace = image->colorSpace();
        *image = std::move(*image).mirrored(mirror, flip);
        *image = image->transformed(QTransform().rotate(90));
        image->setColorSpace(colorSpace);
        return !image->isNull();
    }
    const Strips strips(width, height, image->depth() / 8, room);
    std::unique_ptr<uchar[]> strip(new (std::nothrow) uchar[size_t(strips.stripBytes())]);
    std::unique_ptr<uchar[]> marks(new (std::nothrow) uchar[size_t(strips.markBytes())]());
    if (!strip || !marks) {
        *image = QImage();
        return false;
    }

    // A quarter turn clockwise is the transpose of the picture upside down:
    // the mirrors are made while transposing.
    QImage *holder = new QImage(std::move(*image));
    uchar *bits = holder->bits();
    const int e = strips.pixelBytes;
    const qint64 inLine = holder->bytesPerLine();
    const qint64 outLine = lineBytes(height, holder->depth());
    if (inLine != width * e)
        for (qint64 y = 1; y < height; ++y)
            std::memmove(bits + y * width * e, bits + y * inLine, size_t(width * e));
    turnTight(bits, width, height, mirror, !flip, strips, strip.get(), marks.get());
    if (outLine != height * e)
        for (qint64 x = width - 1; x > 0; --x)
            std::memmove(bits + x * outLine, bits + x * height * e, size_t(height * e));

    // The turned picture lies over the same memory, which it keeps until it goes.
    QImage turned(bits, int(height), int(width), int(outLine), holder->format(), releaseHolder, holder);
    if (turned.isNull()) {
        delete holder;
        *image = QImage();
        return false;
    }
    turned.setColorTable(holder->colorTable());
    turned.setDotsPerMeterX(holder->dotsPerMeterX());
    turned.setDotsPerMeterY(holder->dotsPerMeterY());
    turned.setDevicePixelRatio(holder->devicePixelRatio());
    turned.setColorSpace(holder->colorSpace());
    for (const QString &key : holder->textKeys())
        turned.setText(key, holder->text(key));
    *image = std::move(turned);
    return true;
}

} // namespace MGraphX
