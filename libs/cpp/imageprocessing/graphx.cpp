#include "graphx.h"

#include "colormatrix.h"
#include "colorreducer.h"
#include "filehelpers.h"
#include "imagedecoder.h"
#include "imageprocesst.h"
#include "textcodecs.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

namespace MGraphX {

namespace {

int clampChannel(double v)
{
    const double t = std::trunc(v);
    if (!(t > 0))
        return 0; // also NaN
    if (t > 255)
        return 255;
    return int(t);
}

// A copy of image laid out as 0xAARRGGBB words; other formats become ARGB32.
QImage wordImage(const QImage &image)
{
    if (image.isNull())
        return QImage();
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return image.copy();
    default:
        return image.convertToFormat(QImage::Format_ARGB32);
    }
}

// Returns a copy of image whose every pixel word went through f.
template <typename F>
QImage mapWords(const QImage &image, F f)
{
    QImage result = wordImage(image);
    if (result.isNull())
        return QImage();
    const int width = result.width();
    for (int y = 0; y < result.height(); ++y) {
        quint32 *line = reinterpret_cast<quint32 *>(result.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = f(line[x]);
    }
    return result;
}

// Applies f to each of red, green and blue; alpha is kept.
template <typename F>
QImage mapChannels(const QImage &image, F f)
{
    return mapWords(image, [&f](quint32 p) {
        const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        return (p & 0xff000000u) | (quint32(f(r, r, g, b)) << 16) | (quint32(f(g, r, g, b)) << 8)
            | quint32(f(b, r, g, b));
    });
}

quint32 rgbWord(quint32 alphaOf, int r, int g, int b)
{
    return (alphaOf & 0xff000000u) | (quint32(r) << 16) | (quint32(g) << 8) | quint32(b);
}

float perceivedBrightness(int r, int g, int b)
{
    const double sum = double(0.299f) * r * r + double(0.587f) * g * g + double(0.114f) * b * b;
    return float(std::sqrt(sum));
}

float contrastFactor(int contrast)
{
    return float((double(contrast) + 127) / 127.0);
}

// trunc(256 * (v - low) / (high - low)) for low <= v < high, exactly; the
// operands are widened so that any int arguments are safe.
uchar rampValue(qint64 v, qint64 low, qint64 high)
{
    return uchar(256 * (v - low) / (high - low));
}

// Runs the three colour planes of image through table; the result is opaque ARGB32.
QImage applyTable(const QImage &image, const uchar table[256])
{
    if (image.isNull())
        return QImage();
    ImageProcessT<unsigned char> planes(image);
    planes.applyLut(table);
    return planes.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

GraphX::~GraphX() = default;

int GraphX::sharedValue1()
{
    return 0;
}

int GraphX::sharedValue2()
{
    return 0;
}

bool GraphX::sharedFlag()
{
    return false;
}

void GraphX::hookStoredPair()
{
}

void GraphX::hookPair(const int &, const int &)
{
}

void GraphX::hookQuad(int, int, int, int)
{
}

void GraphX::hookOneA(int)
{
}

void GraphX::hookOneB(int)
{
}

void GraphX::hookSix(int, int, int, int, int, int)
{
}

// ---- raster primitives ----

QRect GraphX::bounds() const
{
    return QRect(0, 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
}

namespace {

// The surface's bounds as inclusive 64-bit limits, so that coordinates
// computed from any int arguments can be compared without overflow.
struct Clip
{
    explicit Clip(const QRect &r)
        : left(r.left()), top(r.top()), right(qint64(r.left()) + r.width() - 1),
          bottom(qint64(r.top()) + r.height() - 1) {}
    bool empty() const { return left > right || top > bottom; }
    bool holds(qint64 x, qint64 y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    // The largest distance from c to a column (row) of the surface.
    qint64 reachX(qint64 c) const { return std::max(std::abs(left - c), std::abs(right - c)); }
    qint64 reachY(qint64 c) const { return std::max(std::abs(top - c), std::abs(bottom - c)); }
    qint64 left, top, right, bottom;
};

// floor(sqrt(n)).
quint64 isqrt(quint64 n)
{
    // The floating-point root is off by at most one; squares of roots below
    // 2^32 fit in 64 bits.
    quint64 x = std::min<quint64>(quint64(std::sqrt(double(n))), 0xffffffffu);
    while (x * x > n)
        --x;
    while (x < 0xffffffffu && (x + 1) * (x + 1) <= n)
        ++x;
    return x;
}

// The smallest i in lo .. hi for which the monotone test holds (false below,
// true from there on); hi + 1 when it never does.
template <typename Test>
qint64 firstWhere(qint64 lo, qint64 hi, Test test)
{
    while (lo <= hi) {
        const qint64 mid = lo + (hi - lo) / 2;
        if (test(mid))
            hi = mid - 1;
        else
            lo = mid + 1;
    }
    return lo;
}

// The same, searched outward from start with doubling steps: cheap when the
// answer lies near start.
template <typename Test>
qint64 firstWhereNear(qint64 lo, qint64 hi, qint64 start, Test test)
{
    start = std::clamp(start, lo, hi);
    qint64 step = 1;
    if (test(start)) {
        qint64 top = start;
        while (top - step >= lo && test(top - step)) {
            top -= step;
            step *= 2;
        }
        return firstWhere(std::max(lo, top - step + 1), top - 1, test);
    }
    qint64 bottom = start;
    while (bottom + step <= hi && !test(bottom + step)) {
        bottom += step;
        step *= 2;
    }
    return firstWhere(bottom + 1, std::min(hi, bottom + step), test);
}

void plot(GraphX &surface, const Clip &clip, qint64 x, qint64 y, int value)
{
    if (clip.holds(x, y))
        surface.setPixel(unsigned(x), unsigned(y), value);
}

// Sets the pixels from .. to - 1 of row at (or of column at, when vertical),
// only where the surface is.
void run(GraphX &surface, const Clip &clip, bool vertical, qint64 from, qint64 to, qint64 at, int value)
{
    const qint64 low = vertical ? clip.top : clip.left, high = vertical ? clip.bottom : clip.right;
    if (vertical ? (at < clip.left || at > clip.right) : (at < clip.top || at > clip.bottom))
        return;
    const qint64 last = std::min(to - 1, high);
    for (qint64 i = std::max(from, low); i <= last; ++i)
        surface.setPixel(unsigned(vertical ? at : i), unsigned(vertical ? i : at), value);
}

void span(GraphX &surface, const Clip &clip, qint64 x1, qint64 x2, qint64 y, int value)
{
    run(surface, clip, false, x1, x2, y, value);
}

void column(GraphX &surface, const Clip &clip, qint64 y1, qint64 y2, qint64 x, int value)
{
    run(surface, clip, true, y1, y2, x, value);
}

} // namespace

void GraphX::drawHLine(int x1, int x2, int y, int value)
{
    span(*this, Clip(bounds()), x1, x2, y, value);
}

void GraphX::drawVLine(int y1, int y2, int x, int value)
{
    column(*this, Clip(bounds()), y1, y2, x, value);
}

void GraphX::drawRect(int x, int y, int w, int h, int value)
{
    const Clip clip(bounds());
    const qint64 right = qint64(x) + w - 1, bottom = qint64(y) + h - 1;
    if (w > 0) {
        span(*this, clip, x, right + 1, y, value);
        span(*this, clip, x, right + 1, bottom, value);
    }
    column(*this, clip, qint64(y) + 1, bottom + 1, x, value);
    column(*this, clip, qint64(y) + 1, bottom, right, value);
}

void GraphX::fillRect(int x, int y, int w, int h, int value)
{
    const Clip clip(bounds());
    const qint64 first = std::min(qint64(y) + h - 1, clip.bottom);
    for (qint64 row = first; row >= std::max(qint64(y), clip.top); --row)
        span(*this, clip, x, qint64(x) + w, row, value);
}

void GraphX::drawLine(int x1, int y1, int x2, int y2, int value)
{
    const Clip clip(bounds());
    const bool xMajor = std::abs(qint64(x2) - x1) > std::abs(qint64(y2) - y1);
    // Walk along the major axis; 'a' is the major coordinate, 'b' the minor
    // one, so one loop serves both orientations.
    qint64 a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    qint64 a2 = xMajor ? x2 : y2, b2 = xMajor ? y2 : x2;
    if (a2 < a1) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    auto put = [&](qint64 a, qint64 b) {
        if (xMajor)
            plot(*this, clip, a, b, value);
        else
            plot(*this, clip, b, a, value);
    };
    const qint64 da = a2 - a1;
    if (da == 0) {
        put(a1, b1);
        return;
    }
    const int step = b1 > b2 ? -1 : 1;
    const qint64 db = std::abs(b2 - b1);
    const qint64 lowA = xMajor ? clip.left : clip.top, highA = xMajor ? clip.right : clip.bottom;
    const qint64 lowB = xMajor ? clip.top : clip.left, highB = xMajor ? clip.bottom : clip.right;
    // Start where both coordinates have reached the surface. After n steps the
    // minor coordinate has moved k = ceil(db * n / da - 1/2) times and the
    // error is da - 2 db n + 2 da k, the state the step-by-step walk would have.
    const qint64 last = std::min(da, highA - a1);
    auto moves = [&](qint64 n) {
        const quint64 product = quint64(db) * quint64(n);
        const qint64 q = qint64(product / quint64(da)), r = qint64(product % quint64(da));
        return std::make_pair(2 * r > da ? q + 1 : q, 2 * r > da ? 3 * da - 2 * r : da - 2 * r);
    };
    const qint64 first = firstWhere(std::max<qint64>(0, lowA - a1), last, [&](qint64 n) {
        const qint64 b = b1 + step * moves(n).first;
        return step > 0 ? b >= lowB : b <= highB;
    });
    if (first > last)
        return;
    auto [k, e] = moves(first);
    for (qint64 n = first; n <= last; ++n) {
        const qint64 b = b1 + step * k;
        if ((step > 0 && b > highB) || (step < 0 && b < lowB))
            break; // the minor coordinate has left the surface for good
        put(a1 + n, b);
        e -= 2 * db;
        if (e < 0) {
            e += 2 * da;
            ++k;
        }
    }
}

namespace {

// The stepping of the circles and ellipses on radius R: i counts up from 0,
// j starts at R and drops by one when the error turns negative, and the walk
// ends with the first step whose j is at most i. Before step i the error is
// R^2 - i^2 - t i - j^2 + j, with t = 1 for the filled circle (its error falls
// by 2i + 2 per step) and 0 for the others (2i + 1). So j at any step follows
// in closed form, the largest j with j (j - 1) <= R^2 - i^2 - t i, as long as
// the previous j exceeded i; only the final step is taken from its
// predecessor. The ellipses scale by k (16.16 fixed point): b = (j k) >> 16
// and c = (i k) >> 16.
class Stepping
{
public:
    enum Sequence { I, J, B, C };

    Stepping(qint64 radius, int filledCircle, qint64 scale) : r(radius), t(filledCircle), k(scale)
    {
        end = firstWhere(0, r, [this](qint64 i) { return j(i) <= i; });
    }

    qint64 last() const { return end; }

    qint64 j(qint64 i) const
    {
        if (i == 0)
            return r;
        const qint64 here = largestJ(i);
        if (here > i + 1)
            return here; // the previous j, no smaller, exceeded i as well
        const qint64 previous = largestJ(i - 1);
        if (previous > i)
            return here;
        return previous - (bound(i) - previous * previous + previous < 0 ? 1 : 0);
    }

    qint64 value(Sequence s, qint64 i) const
    {
        switch (s) {
        case I:
            return i;
        case J:
            return j(i);
        case B:
            return (j(i) * k) >> 16;
        case C:
            return (i * k) >> 16;
        }
        return 0;
    }

    static bool growing(Sequence s) { return s == I || s == C; }

    // The first step (0 .. last + 1) from which s has reached level: s >= level
    // for the growing I and C, s <= level for the shrinking J and B. Searched
    // from near, so consecutive levels cost little each.
    qint64 reaching(Sequence s, qint64 level, qint64 near) const
    {
        if (s == I || (s == C && k > 0)) {
            // i >= level, or i k >= level << 16.
            const qint64 i = s == I || level <= 0 ? level : ((level << 16) + k - 1) / k;
            return std::clamp<qint64>(i, 0, end + 1);
        }
        return firstWhereNear(0, end, near, [&](qint64 i) {
            return growing(s) ? value(s, i) >= level : value(s, i) <= level;
        });
    }

private:
    qint64 bound(qint64 i) const { return r * r - i * i - t * i; }
    qint64 largestJ(qint64 i) const
    {
        const qint64 n = bound(i);
        return n < 0 ? 0 : qint64((isqrt(4 * quint64(n) + 1) + 1) / 2);
    }

    qint64 r;
    qint64 t;
    qint64 k;
    qint64 end = 0;
};

// Draws what the stepping sets, row by row. Each of the two pairs names the
// sequences (y, x) of a step's points (cx +- x, cy +- y), or with fill of its
// spans cx - x .. cx + x - 1 on rows cy +- y. The steps whose y is a given row
// offset are consecutive, and since every sequence moves by at most one per
// step their x form a contiguous range; so only the rows of the surface are
// visited, and each pixel is set once.
void drawStepping(GraphX &surface, const Clip &clip, qint64 cx, qint64 cy, const Stepping &steps,
                  const Stepping::Sequence (&pairs)[2][2], bool fill, int value)
{
    if (clip.empty())
        return;
    qint64 highest = 0;
    for (const auto &pair : pairs)
        highest = std::max({highest, steps.value(pair[0], 0), steps.value(pair[0], steps.last())});
    const qint64 nearest =
        cy < clip.top ? clip.top - cy : (cy > clip.bottom ? cy - clip.bottom : 0);
    const qint64 farthest = std::min(clip.reachY(cy), highest);
    // For each pair the step where its row sequence reaches the next row.
    qint64 edges[2];
    for (int p = 0; p < 2; ++p) {
        const Stepping::Sequence rows = pairs[p][0];
        edges[p] = steps.reaching(rows, Stepping::growing(rows) ? nearest : nearest - 1, 0);
    }
    for (qint64 d = nearest; d <= farthest; ++d) {
        // The column offsets low .. high that each pair gives row offset d.
        std::pair<qint64, qint64> ranges[2];
        int count = 0;
        for (int p = 0; p < 2; ++p) {
            const Stepping::Sequence rows = pairs[p][0], columns = pairs[p][1];
            // The steps first .. second are those whose row offset is d.
            qint64 first, second;
            if (Stepping::growing(rows)) {
                first = edges[p];
                edges[p] = steps.reaching(rows, d + 1, edges[p]);
                second = edges[p] - 1;
            } else {
                second = edges[p] - 1;
                edges[p] = steps.reaching(rows, d, edges[p]);
                first = edges[p];
            }
            if (first > second)
                continue;
            const qint64 a = steps.value(columns, first), b = steps.value(columns, second);
            ranges[count++] = std::minmax(a, b);
        }
        if (count == 0)
            continue;
        if (fill) {
            // Spans around cx: the widest covers the others.
            const qint64 widest = count == 2 ? std::max(ranges[0].second, ranges[1].second)
                                             : ranges[0].second;
            ranges[0] = {0, widest};
            count = 1;
        } else if (count == 2) {
            if (ranges[1].first < ranges[0].first)
                std::swap(ranges[0], ranges[1]);
            if (ranges[1].first <= ranges[0].second + 1) {
                ranges[0].second = std::max(ranges[0].second, ranges[1].second);
                count = 1;
            }
        }
        for (const qint64 y : {cy - d, cy + d}) {
            for (int n = 0; n < count; ++n) {
                const auto [low, high] = ranges[n];
                if (fill) {
                    span(surface, clip, cx - high, cx + high, y, value);
                } else {
                    span(surface, clip, cx + low, cx + high + 1, y, value);
                    span(surface, clip, cx - high, cx - std::max<qint64>(low, 1) + 1, y, value);
                }
            }
            if (d == 0)
                break;
        }
    }
}

// Rows j and i against the scaled columns c and b: the circles, and the
// ellipses that are at least as tall as wide.
constexpr Stepping::Sequence tallPairs[2][2] = {{Stepping::J, Stepping::C},
                                                 {Stepping::I, Stepping::B}};
// Scaled rows b and c against the columns i and j: the wider ellipses.
constexpr Stepping::Sequence widePairs[2][2] = {{Stepping::B, Stepping::I},
                                                 {Stepping::C, Stepping::J}};

void drawEllipseSteps(GraphX &surface, int cx, int cy, int rx, int ry, bool fill, int value)
{
    const qint64 big = std::max(rx, ry), small = std::min(rx, ry);
    const Stepping steps(big, 0, (small << 16) / big);
    drawStepping(surface, Clip(surface.bounds()), cx, cy, steps, rx > ry ? widePairs : tallPairs,
                 fill, value);
}

} // namespace

void GraphX::drawCircle(int cx, int cy, int r, int value)
{
    if (r < 0)
        return;
    drawStepping(*this, Clip(bounds()), cx, cy, Stepping(r, 0, 1 << 16), tallPairs, false, value);
}

void GraphX::fillCircle(int cx, int cy, int r, int value)
{
    if (r < 0)
        return;
    drawStepping(*this, Clip(bounds()), cx, cy, Stepping(r, 1, 1 << 16), tallPairs, true, value);
}

void GraphX::drawEllipse(int cx, int cy, int rx, int ry, int value)
{
    if (rx < 0 || ry < 0)
        return;
    if (rx == 0 && ry == 0) {
        plot(*this, Clip(bounds()), cx, cy, value);
        return;
    }
    drawEllipseSteps(*this, cx, cy, rx, ry, false, value);
}

void GraphX::fillEllipse(int cx, int cy, int rx, int ry, int value)
{
    if (rx < 0 || ry < 0 || (rx == 0 && ry == 0))
        return;
    drawEllipseSteps(*this, cx, cy, rx, ry, true, value);
}

int GraphX::floodFill(int x, int y, int value)
{
    return floodFillSpan(x, y, 1, x, x, value);
}

int GraphX::floodFillSpan(int x, int y, int dy, int prevLeft, int prevRight, int value)
{
    // The back scans over the caller's span are widened to the whole span,
    // so the region filled does not depend on dy, prevLeft and prevRight.
    Q_UNUSED(dy);
    Q_UNUSED(prevLeft);
    Q_UNUSED(prevRight);
    const Clip clip(bounds());
    if (!clip.holds(x, y))
        return -1;
    const int seed = pixel(unsigned(x), unsigned(y));
    setPixel(unsigned(x), unsigned(y), value);
    // A value that reads back as the seed would never finish the region.
    if (pixel(unsigned(x), unsigned(y)) == seed)
        return -1;

    auto isSeed = [&](qint64 px, qint64 py) {
        return clip.holds(px, py) && pixel(unsigned(px), unsigned(py)) == seed;
    };

    // Scanline fill with an explicit stack of run starts, so big regions need
    // no deep recursion. Each entry is a pixel known to need filling.
    std::vector<std::pair<qint64, qint64>> pending;
    auto pushRuns = [&](qint64 left, qint64 right, qint64 row) {
        qint64 px = left;
        while (px <= right) {
            if (isSeed(px, row)) {
                pending.emplace_back(px, row);
                while (px <= right && isSeed(px, row))
                    ++px;
            } else {
                ++px;
            }
        }
    };
    // Sets (px, py) when it belongs to the region. A pixel that does not take
    // the value lies off the surface even where bounds() does not say so, so
    // the fill ends on surfaces that keep the default bounds too.
    auto take = [&](qint64 px, qint64 py) {
        if (!isSeed(px, py))
            return false;
        setPixel(unsigned(px), unsigned(py), value);
        return pixel(unsigned(px), unsigned(py)) != seed;
    };
    auto fillSpan = [&](qint64 sx, qint64 sy, bool startDone) {
        if (!startDone && !take(sx, sy))
            return sx;
        qint64 left = sx, right = sx;
        while (take(left - 1, sy))
            --left;
        while (take(right + 1, sy))
            ++right;
        pushRuns(left, right, sy - 1);
        pushRuns(left, right, sy + 1);
        return right;
    };

    const qint64 startRight = fillSpan(x, y, true);
    while (!pending.empty()) {
        const auto [px, py] = pending.back();
        pending.pop_back();
        fillSpan(px, py, false);
    }
    return int(startRight);
}

// ---- whole-image operations ----

QImage GraphX::toGray(const QImage &image)
{
    return mapWords(image, [](quint32 p) {
        const int v = (int((p >> 16) & 0xff) + int((p >> 8) & 0xff) + int(p & 0xff)) / 3;
        return rgbWord(p, v, v, v);
    });
}

QImage GraphX::brightnessContrast(const QImage &image, int brightness, int contrast)
{
    const double k = contrastFactor(contrast);
    return mapChannels(image, [&](int v, int, int, int) { return clampChannel((double(v) + brightness) * k); });
}

QImage GraphX::saturation(const QImage &image, float amount)
{
    return mapWords(image, [&](quint32 p) {
        const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        const double P = perceivedBrightness(r, g, b);
        auto f = [&](int v) { return clampChannel(P + double(amount) * (v - P)); };
        return rgbWord(p, f(r), f(g), f(b));
    });
}

QImage GraphX::brightnessContrastSaturation(const QImage &image, int brightness, int contrast,
                                            float amount)
{
    const double k = contrastFactor(contrast);
    return mapWords(image, [&](quint32 p) {
        const int r = (p >> 16) & 0xff, g = (p >> 8) & 0xff, b = p & 0xff;
        const double P = perceivedBrightness(r, g, b);
        auto f = [&](int v) { return clampChannel((brightness + P + double(amount) * (v - P)) * k); };
        return rgbWord(p, f(r), f(g), f(b));
    });
}

QImage GraphX::invert(const QImage &image)
{
    // Indexed and other formats are inverted as colours, not as raw bytes.
    QImage result = wordImage(image);
    if (result.isNull())
        return QImage();
    result.invertPixels(QImage::InvertRgb);
    return result;
}

QImage GraphX::threshold(const QImage &image, int level)
{
    return mapChannels(image, [level](int v, int, int, int) { return v >= level ? 255 : 0; });
}

QImage GraphX::posterize(const QImage &image, const QVector<int> &levels)
{
    uchar table[256];
    const int n = levels.size();
    // Wide enough for the differences of any two int levels.
    for (int v = 0; v < 256; ++v) {
        qint64 f = v;
        for (int k = 0; k < n; ++k) {
            const qint64 upper = levels.at(k);
            if (k == 0) {
                if (f < upper)
                    f = 0;
                else if (n == 1 && f > upper)
                    f = 255;
                continue;
            }
            const qint64 lower = levels.at(k - 1);
            if (lower <= f && f <= upper)
                f = (f - lower < upper - f) ? lower : upper;
            else if (f > upper && k == n - 1)
                f = 255;
        }
        table[v] = uchar(std::clamp<qint64>(f, 0, 255));
    }
    return mapChannels(image, [&table](int v, int, int, int) { return table[v]; });
}

QImage GraphX::swapRedBlue(const QImage &image)
{
    return mapWords(image, [](quint32 p) {
        return (p & 0xff00ff00u) | ((p >> 16) & 0xffu) | ((p & 0xffu) << 16);
    });
}

QImage GraphX::swapRedGreen(const QImage &image)
{
    return mapWords(image, [](quint32 p) {
        return (p & 0xff0000ffu) | ((p >> 8) & 0xff00u) | ((p & 0xff00u) << 8);
    });
}

QImage GraphX::swapGreenBlue(const QImage &image)
{
    return mapWords(image, [](quint32 p) {
        return (p & 0xffff0000u) | ((p >> 8) & 0xffu) | ((p & 0xffu) << 8);
    });
}

QImage GraphX::colorBalance(const QImage &image, const int &red, const int &green, const int &blue)
{
    ColorMatrix matrix;
    matrix.setScale(float(red / 127.0), float(green / 127.0), float(blue / 127.0), 1.0f);
    return matrix.apply(image);
}

QImage GraphX::brightness(const QImage &image, const int &percent)
{
    const float p = float(percent / 100.0);
    ColorMatrix matrix;
    matrix.setScale(p, p, p, 1.0f);
    return matrix.apply(image);
}

QImage GraphX::replaceHue(const QImage &image, const QColor &from, const QColor &to)
{
    if (image.isNull())
        return QImage();
    QImage result = image.format() == QImage::Format_ARGB32
        ? image.copy()
        : image.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull())
        return QImage();
    int hf, sf, vf, ht, st, vt;
    from.getHsv(&hf, &sf, &vf);
    to.getHsv(&ht, &st, &vt);
    const double satScale = sf == 0 ? 0.0 : double(st) / sf;
    const double valScale = vf == 0 ? 0.0 : double(vt) / vf;
    const int width = result.width();
    for (int y = 0; y < result.height(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int h, s, v, a;
            QColor::fromRgba(line[x]).getHsv(&h, &s, &v, &a);
            if (std::abs(h - hf) > 9)
                continue;
            const int hue = (h - hf + ht + 359) % 359;
            const int sat = clampChannel(std::trunc(s * satScale));
            const int val = clampChannel(std::trunc(v * valScale));
            line[x] = QColor::fromHsv(hue, sat, val, a).rgba();
        }
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage GraphX::autoLevels(const QImage &image, int highClip, int lowClip)
{
    if (image.isNull())
        return QImage();
    ImageProcessT<unsigned char> planes(image);
    const qint64 n = qint64(planes.width) * planes.height;
    auto clipCount = [n](int p) {
        return qint64(std::trunc(double(n) * std::min(p * 0.5, 100.0) / 100.0));
    };
    const qint64 lowCount = clipCount(lowClip);
    const qint64 highCount = clipCount(highClip);
    int bins[256];
    planes.histogram(bins);
    int low = 256;
    qint64 sum = 0;
    for (int v = 0; v < 256; ++v) {
        sum += bins[v];
        if (sum > lowCount) {
            low = v;
            break;
        }
    }
    int high = -1;
    sum = 0;
    for (int v = 255; v >= 0; --v) {
        sum += bins[v];
        if (sum > highCount) {
            high = v;
            break;
        }
    }
    uchar table[256];
    for (int v = 0; v < 256; ++v) {
        if (v < low)
            table[v] = 0;
        else if (v >= std::max(low, high))
            table[v] = 255;
        else
            table[v] = rampValue(v, low, high);
    }
    planes.applyLut(table);
    return planes.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage GraphX::levelsInput(const QImage &image, int low, int highCut)
{
    const qint64 hi = 255 - qint64(highCut);
    uchar table[256];
    for (int v = 0; v < 256; ++v) {
        if (v < low)
            table[v] = 0;
        else if (v >= hi)
            table[v] = 255;
        else // low <= v < hi, so hi - low > 0
            table[v] = rampValue(v, low, hi);
    }
    return applyTable(image, table);
}

QImage GraphX::levelsOutput(const QImage &image, int low, int highCut)
{
    uchar table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = uchar(clampChannel(low + (255.0 - highCut - low) * v / 256.0));
    return applyTable(image, table);
}

QImage GraphX::levels(const QImage &image, int amount)
{
    return levelsInput(levelsOutput(image, amount, amount), amount, amount);
}

QImage GraphX::edgeDetect(const QImage &image)
{
    const QImage source = wordImage(image);
    if (source.isNull())
        return QImage();
    QImage result(source.size(), source.format());
    if (result.isNull())
        return QImage();
    result.fill(Qt::transparent);
    const int width = source.width();
    const int height = source.height();
    for (int y = 1; y <= height - 3; ++y) {
        const quint32 *rows[3] = {
            reinterpret_cast<const quint32 *>(source.constScanLine(y - 1)),
            reinterpret_cast<const quint32 *>(source.constScanLine(y)),
            reinterpret_cast<const quint32 *>(source.constScanLine(y + 1)),
        };
        quint32 *out = reinterpret_cast<quint32 *>(result.scanLine(y));
        for (int x = 1; x <= width - 3; ++x) {
            quint32 word = 0xff000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                int s = 0;
                for (int dy = 0; dy < 3; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        s -= int((rows[dy][x + dx] >> shift) & 0xff);
                s += 9 * int((rows[1][x] >> shift) & 0xff);
                word |= quint32(std::max(0, s / 9)) << shift;
            }
            out[x] = word;
        }
    }
    return result;
}

QImage GraphX::blurRect(const QImage &image, const QRect &rect, int radius, bool alphaOnly)
{
    if (image.isNull())
        return QImage();
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (result.isNull())
        return QImage();
    static const int weights[17] = {14, 10, 8, 6, 5, 5, 4, 3, 3, 3, 3, 2, 2, 2, 2, 2, 2};
    const int alpha = radius <= 0 ? 16 : (radius <= 17 ? weights[radius - 1] : 1);

    QRect r = rect.normalized();
    const int left = std::max(r.left(), 0);
    const int top = std::max(r.top(), 0);
    const int right = std::min(r.right(), result.width() - 1);
    const int bottom = std::min(r.bottom(), result.height() - 1);
    if (left > right || top > bottom)
        return result;

    const int firstChannel = alphaOnly ? 3 : 0;
    const qsizetype bpl = result.bytesPerLine();
    uchar *bits = result.bits();

    // Blends the pixels along one line into a running accumulator; the first
    // pixel only seeds it. step is the byte distance between pixels.
    auto blurLine = [&](uchar *first, int count, qsizetype step) {
        for (int c = firstChannel; c < 4; ++c) {
            uchar *p = first + c;
            int acc = int(*p) * 16;
            for (int i = 1; i < count; ++i) {
                p += step;
                acc += ((int(*p) * 16 - acc) * alpha) / 16;
                *p = uchar(acc >> 4);
            }
        }
    };
    const int rows = bottom - top + 1;
    const int columns = right - left + 1;
    std::vector<uchar> oldAlpha;
    if (alphaOnly) {
        oldAlpha.resize(size_t(rows) * size_t(columns));
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                oldAlpha[size_t(y - top) * size_t(columns) + size_t(x - left)] = bits[y * bpl + x * 4 + 3];
    }
    for (int x = left; x <= right; ++x)
        blurLine(bits + top * bpl + x * 4, rows, bpl);
    for (int y = top; y <= bottom; ++y)
        blurLine(bits + y * bpl + left * 4, columns, 4);
    for (int x = left; x <= right; ++x)
        blurLine(bits + bottom * bpl + x * 4, rows, -bpl);
    for (int y = top; y <= bottom; ++y)
        blurLine(bits + y * bpl + right * 4, columns, -4);
    if (alphaOnly) {
        // The colours are premultiplied: scale each by its new alpha over the
        // old one, so the straight colour stays and no colour exceeds alpha.
        for (int y = top; y <= bottom; ++y) {
            uchar *p = bits + y * bpl + left * 4;
            const uchar *was = oldAlpha.data() + (y - top) * columns;
            for (int x = 0; x < columns; ++x, p += 4) {
                const int a = p[3], a0 = was[x];
                if (a == a0)
                    continue;
                for (int c = 0; c < 3; ++c)
                    p[c] = uchar(a0 == 0 ? 0 : std::min(a, (p[c] * a + a0 / 2) / a0));
            }
        }
    }
    return result;
}

int GraphX::midRange(int a, int b, int c, int d)
{
    const int high = std::max(std::max(a, b), std::max(c, d));
    const int low = std::min(std::min(a, b), std::min(c, d));
    return int((qint64(high) + low) / 2);
}

bool GraphX::reduceColorsToPng(const QImage &image, const QString &fileName, int maxColors,
                               bool dither, bool detectGray)
{
    ColorReducer reducer(image);
    reducer.setDither(dither);
    reducer.setDetectGray(detectGray);
    const QImage reduced = reducer.reduce(maxColors);
    return !reduced.isNull() && MTools::isSaveTarget(fileName) && reduced.save(fileName, "PNG", 0);
}

bool GraphX::reduceColorsToFile(const QImage &image, const QString &fileName, int maxColors,
                                const QString &format)
{
    ColorReducer reducer(image);
    const QImage reduced = reducer.reduce(maxColors);
    return !reduced.isNull() && MTools::isSaveTarget(fileName)
        && reduced.save(fileName, format.toLocal8Bit().constData(), 0);
}

namespace {

bool isWordFormat(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32
        || format == QImage::Format_ARGB32_Premultiplied;
}

// image itself (shared, not copied) when it is laid out as 0xAARRGGBB words,
// else an ARGB32 conversion.
QImage wordView(const QImage &image)
{
    if (image.isNull() || isWordFormat(image.format()))
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

// other in the given word format, so words can move between the two images.
QImage inFormat(const QImage &other, QImage::Format format)
{
    if (other.isNull() || other.format() == format)
        return other;
    return other.convertToFormat(format);
}

inline quint32 wordAt(const QImage &image, int x, int y)
{
    return reinterpret_cast<const quint32 *>(image.constScanLine(y))[x];
}

inline quint32 *wordLine(QImage &image, int y)
{
    return reinterpret_cast<quint32 *>(image.scanLine(y));
}

// A new w x h image of source's format whose pixel (x, y) is source's pixel
// at from(x, y).
template <typename F>
QImage remapped(const QImage &image, int w, int h, F from)
{
    const QImage source = wordView(image);
    if (source.isNull())
        return QImage();
    QImage result(w, h, source.format());
    if (result.isNull())
        return QImage();
    for (int y = 0; y < h; ++y) {
        quint32 *line = wordLine(result, y);
        for (int x = 0; x < w; ++x) {
            const QPoint p = from(x, y);
            line[x] = wordAt(source, p.x(), p.y());
        }
    }
    return result;
}

// first's copy, with f(firstWord, secondWord, x, y) applied over the overlap.
template <typename F>
QImage combined(const QImage &first, const QImage &second, F f)
{
    QImage result = wordImage(first);
    if (result.isNull())
        return QImage();
    const QImage other = inFormat(second, result.format());
    const int w = std::min(result.width(), other.width());
    const int h = std::min(result.height(), other.height());
    for (int y = 0; y < h; ++y) {
        quint32 *line = wordLine(result, y);
        const quint32 *otherLine = reinterpret_cast<const quint32 *>(other.constScanLine(y));
        for (int x = 0; x < w; ++x)
            line[x] = f(line[x], otherLine[x], x, y);
    }
    return result;
}

int channelDifference(quint32 a, quint32 b, int shift)
{
    return std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff));
}

// Doubles both images, copies second's pixel at each even (x, y) into the
// doubled first at the given offsets and scales the result back smoothly.
QImage interleaved(const QImage &first, const QImage &second, bool bothDiagonals)
{
    const QImage base = wordImage(first);
    if (base.isNull() || second.isNull())
        return base;
    const QImage other = inFormat(second, base.format());
    QImage big = base.scaled(2 * base.width(), 2 * base.height(), Qt::IgnoreAspectRatio,
                             Qt::FastTransformation);
    const QImage otherBig = inFormat(other.scaled(2 * other.width(), 2 * other.height(),
                                                  Qt::IgnoreAspectRatio, Qt::FastTransformation),
                                     big.format());
    if (big.isNull() || otherBig.isNull())
        return base;
    const int w = std::min(big.width(), otherBig.width());
    const int h = std::min(big.height(), otherBig.height());
    for (int y = 0; y < h; y += 2) {
        quint32 *line = wordLine(big, y);
        quint32 *next = wordLine(big, y + 1);
        for (int x = 0; x < w; x += 2) {
            const quint32 p = wordAt(otherBig, x, y);
            line[x + 1] = p;
            next[x] = p;
            if (bothDiagonals)
                next[x + 1] = p;
        }
    }
    return inFormat(big.scaled(base.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                    base.format());
}

} // namespace

QImage GraphX::mirror(const QImage &image, bool horizontal, bool vertical)
{
    return image.mirrored(horizontal, vertical);
}

QImage GraphX::rotateLeft(const QImage &image)
{
    const int w = image.width(), h = image.height();
    return remapped(image, h, w, [w](int x, int y) { return QPoint(w - 1 - y, x); });
}

QImage GraphX::rotateRight(const QImage &image)
{
    const int w = image.width(), h = image.height();
    return remapped(image, h, w, [h](int x, int y) { return QPoint(y, h - 1 - x); });
}

QImage GraphX::rotate180(const QImage &image)
{
    const int w = image.width(), h = image.height();
    return remapped(image, w, h, [w, h](int x, int y) { return QPoint(w - 1 - x, h - 1 - y); });
}

QImage GraphX::addBorder(const QImage &image, int percent, const QColor &colour)
{
    const QImage source = wordView(image);
    if (source.isNull())
        return QImage();
    const int w = source.width(), h = source.height();
    const qint64 border = std::max<qint64>(0, qint64(qint64(percent) * w / 100.0));
    const qint64 newWidth = w + 2 * border, newHeight = h + 2 * border;
    if (newWidth > 0x7fff'ffff / 4 || newHeight > 0x7fff'ffff / 4)
        return QImage();
    QImage result(int(newWidth), int(newHeight), source.format());
    if (result.isNull())
        return QImage();
    result.fill(colour);
    const int b = int(border);
    for (int y = 0; y < h; ++y) {
        const quint32 *in = reinterpret_cast<const quint32 *>(source.constScanLine(y));
        std::copy(in, in + w, wordLine(result, y + b) + b);
    }
    return result;
}

QImage GraphX::fitIntoSize(const QImage &image, const QSize &size, const QColor &fill)
{
    const QImage source = wordView(image);
    if (source.isNull() || size.width() <= 0 || size.height() <= 0)
        return QImage();
    QImage result(size, source.format());
    if (result.isNull())
        return QImage();
    result.fill(fill);
    const QImage scaled = source.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPoint at(0, 0);
    if (scaled.width() < size.width())
        at.setX((size.width() - scaled.width()) / 2);
    else if (scaled.height() < size.height())
        at.setY((size.height() - scaled.height()) / 2);
    QPainter painter(&result);
    painter.drawImage(at, scaled);
    painter.end();
    return result;
}

QImage GraphX::cropMargins(const QImage &image, int left, int right, int top, int bottom)
{
    const QImage source = wordView(image);
    if (source.isNull())
        return QImage();
    left = std::max(0, left);
    right = std::max(0, right);
    top = std::max(0, top);
    bottom = std::max(0, bottom);
    const qint64 w = qint64(source.width()) - left - right;
    const qint64 h = qint64(source.height()) - top - bottom;
    if (w <= 0 || h <= 0)
        return QImage();
    return source.copy(left, top, int(w), int(h));
}

QImage GraphX::cropPercent(const QImage &image, int left, int right, int top, int bottom)
{
    const qint64 w = image.width(), h = image.height();
    auto share = [](int percent, qint64 extent) {
        return int(qBound(0, percent, 100) * extent / 100);
    };
    return cropMargins(image, share(left, w), share(right, w), share(top, h), share(bottom, h));
}

QImage GraphX::difference(const QImage &first, const QImage &second)
{
    return combined(first, second, [](quint32 a, quint32 b, int, int) {
        return 0xff000000u | quint32(channelDifference(a, b, 16)) << 16
            | quint32(channelDifference(a, b, 8)) << 8 | quint32(channelDifference(a, b, 0));
    });
}

QImage GraphX::average(const QImage &first, const QImage &second)
{
    return combined(first, second, [](quint32 a, quint32 b, int, int) {
        quint32 out = 0;
        for (int shift = 0; shift < 32; shift += 8)
            out |= ((((a >> shift) & 0xff) + ((b >> shift) & 0xff)) >> 1) << shift;
        return out;
    });
}

QImage GraphX::interleaveHalf(const QImage &first, const QImage &second)
{
    return interleaved(first, second, false);
}

QImage GraphX::interleaveThreeQuarters(const QImage &first, const QImage &second)
{
    return interleaved(first, second, true);
}

QImage GraphX::maskedCopy(const QImage &first, const QImage &second, const QImage &mask)
{
    // Pixels the mask does not cover keep first's value.
    const QImage m = wordView(mask);
    return combined(first, second, [&m](quint32 a, quint32 b, int x, int y) {
        if (x < m.width() && y < m.height() && (wordAt(m, x, y) & 0x00ffffffu) == 0)
            return b;
        return a;
    });
}

QImage GraphX::replaceSimilar(const QImage &first, const QImage &second, const int &tolerance)
{
    return combined(first, second, [tolerance](quint32 a, quint32 b, int, int) {
        const bool similar = channelDifference(a, b, 8) < tolerance
            && channelDifference(a, b, 16) < tolerance && channelDifference(a, b, 0) < tolerance;
        return similar ? b : a;
    });
}

QPixmap GraphX::applyAlphaMask(const QPixmap &pixmap, const QPixmap &mask)
{
    if (pixmap.isNull())
        return QPixmap();
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    if (mask.isNull())
        return QPixmap::fromImage(image);
    const QImage alphaSource = mask.toImage()
                                   .scaled(image.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                   .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        quint32 *line = wordLine(image, y);
        for (int x = 0; x < image.width(); ++x)
            line[x] = (line[x] & 0x00ffffffu) | ((wordAt(alphaSource, x, y) & 0x00ff0000u) << 8);
    }
    return QPixmap::fromImage(image);
}

QString GraphX::toDataUri(const QImage &image, const QString &format, const int &quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly))
        return QString();
    // A data URI without a payload would be a broken picture: report failure
    // as an empty string instead.
    if (!image.save(&buffer, format.toLocal8Bit().constData(), quality) || bytes.isEmpty())
        return QString();
    return QStringLiteral("data:image/") + format.toLower() + QStringLiteral(";base64,")
        + MTools::toBase64String(bytes);
}

namespace {

// Whether the character at i closes a URI written in CSS or markup: a quote,
// also written as a character reference inside an attribute, a closing
// parenthesis, or the start or end of a tag.
bool closesUri(const QString &text, int i)
{
    switch (text.at(i).unicode()) {
    case '\'':
    case '"':
    case ')':
    case '<':
    case '>':
        return true;
    case '&':
        for (const char *quote : {"&quot;", "&apos;", "&#34;", "&#39;", "&#x22;", "&#x27;"})
            if (text.midRef(i, 6).startsWith(QLatin1String(quote), Qt::CaseInsensitive))
                return true;
        return false;
    default:
        return false;
    }
}

// The end of a data URI's base64 run that starts at from: the first character
// that closes the URI (see closesUri) or the end of the text. -1 when the run
// is not base64 of the standard alphabet, whitespace aside, padded at its end
// only: the decoder skips anything else, which would leave other bytes than
// were meant (the URL-safe alphabet, percent-encoding, padding in the middle).
int base64RunEnd(const QString &text, int from)
{
    int padding = 0;
    for (int i = from; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f')
            continue;
        if (c == '=') {
            if (++padding > 2)
                return -1;
            continue;
        }
        const bool alphabet = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
            || c == '+' || c == '/';
        if (alphabet && padding == 0)
            continue;
        return !alphabet && closesUri(text, i) ? i : -1;
    }
    return text.size();
}

} // namespace

QImage GraphX::fromDataUri(const QString &text)
{
    // The scheme and the type are read without regard to case.
    const QString imageMark = QStringLiteral(":image/");
    const QString base64Mark = QStringLiteral(";base64,");
    const int a = text.indexOf(imageMark, 0, Qt::CaseInsensitive);
    if (a < 0)
        return QImage();
    const int formatStart = a + imageMark.size();
    const int c = text.indexOf(base64Mark, formatStart, Qt::CaseInsensitive);
    if (c < 0)
        return QImage();
    const QString format = text.mid(formatStart, c - formatStart);
    const int payload = c + base64Mark.size();
    const int end = base64RunEnd(text, payload);
    if (end < 0)
        return QImage();
    QByteArray bytes = MTools::fromBase64String(text.mid(payload, end - payload));
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QImage();
    // Judged from the headers before any decoder runs; the type names the
    // decoder when Qt has one of that name, otherwise the content does.
    return MGraphX::ImageDecoder::decode(&buffer, format.toLatin1());
}

QImage GraphX::recompress(const QImage &image, const QString &format, const int &quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    const QByteArray name = format.toLocal8Bit();
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly)
        || !image.save(&buffer, name.constData(), quality))
        return QImage();
    return QImage::fromData(bytes, name.constData());
}

void GraphX::drawCaption(QPainter *painter, const QPoint &position, const QString &text,
                         const QFont &font, const QColor &colour, bool outline, float opacity)
{
    if (!painter || !painter->isActive())
        return;
    const QFontMetrics metrics(font);
    // Geometry in floating point, so that no position overflows.
    const qreal x = position.x(), y = position.y();
    const qreal tw = metrics.horizontalAdvance(text);
    const qreal th = metrics.height();

    painter->save();
    painter->setFont(font);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setOpacity(0.6);
    painter->setBrush(QBrush(Qt::black, Qt::SolidPattern));
    // Shadow, slightly larger than the box.
    painter->drawRoundedRect(QRectF(x, y, tw + 15, th + 6), 100, 100, Qt::RelativeSize);

    painter->setOpacity(1.0);
    painter->setOpacity(opacity);
    QRadialGradient gradient(QPointF(x + 2, y + 2), tw + 12, QPointF(x + 2, y + 2));
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, colour);
    painter->setBrush(gradient);
    if (outline)
        painter->setPen(Qt::white);
    const QRectF box(x, y, tw + 12, th + 3);
    painter->drawRoundedRect(box, 100, 100, Qt::RelativeSize);

    painter->setPen(Qt::white);
    painter->drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, text);
    painter->restore();
}

} // namespace MGraphX
