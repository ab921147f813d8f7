#include "graphx.h"

#include "colormatrix.h"
#include "imageprocesst.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
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

int clampInt(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
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
    return float((contrast + 127) / 127.0);
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

void GraphX::drawHLine(int x1, int x2, int y, int value)
{
    for (int x = x1; x < x2; ++x)
        setPixel(unsigned(x), unsigned(y), value);
}

void GraphX::drawVLine(int y1, int y2, int x, int value)
{
    for (int y = y1; y < y2; ++y)
        setPixel(unsigned(x), unsigned(y), value);
}

void GraphX::drawRect(int x, int y, int w, int h, int value)
{
    if (w <= 0 || h <= 0)
        return;
    drawHLine(x, x + w, y, value);
    drawHLine(x, x + w, y + h - 1, value);
    drawVLine(y + 1, y + h - 1, x, value);
    drawVLine(y + 1, y + h - 1, x + w - 1, value);
}

void GraphX::fillRect(int x, int y, int w, int h, int value)
{
    for (int row = y + h - 1; row >= y; --row)
        drawHLine(x, x + w, row, value);
}

void GraphX::drawLine(int x1, int y1, int x2, int y2, int value)
{
    const bool xMajor = std::abs(x2 - x1) > std::abs(y2 - y1);
    // Walk along the major axis; 'major'/'minor' name the coordinates so one
    // loop serves both orientations.
    int a1 = xMajor ? x1 : y1, b1 = xMajor ? y1 : x1;
    int a2 = xMajor ? x2 : y2, b2 = xMajor ? y2 : x2;
    if (a2 < a1) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const int step = b1 > b2 ? -1 : 1;
    const int da = a2 - a1;
    const int db = std::abs(b2 - b1);
    int e = da;
    int b = b1;
    for (int a = a1;; ++a) {
        if (xMajor)
            setPixel(unsigned(a), unsigned(b), value);
        else
            setPixel(unsigned(b), unsigned(a), value);
        if (a == a2)
            break;
        e -= 2 * db;
        if (e < 0) {
            e += 2 * da;
            b += step;
        }
    }
}

void GraphX::drawCircle(int cx, int cy, int r, int value)
{
    if (r < 0)
        return;
    int i = 0, j = r, e = r;
    do {
        if (e < 0) {
            --j;
            e += 2 * j;
        }
        setPixel(unsigned(cx + i), unsigned(cy - j), value);
        setPixel(unsigned(cx - i), unsigned(cy - j), value);
        setPixel(unsigned(cx + i), unsigned(cy + j), value);
        setPixel(unsigned(cx - i), unsigned(cy + j), value);
        setPixel(unsigned(cx + j), unsigned(cy - i), value);
        setPixel(unsigned(cx - j), unsigned(cy - i), value);
        setPixel(unsigned(cx + j), unsigned(cy + i), value);
        setPixel(unsigned(cx - j), unsigned(cy + i), value);
        e -= 2 * i + 1;
        ++i;
    } while (j >= i);
}

void GraphX::fillCircle(int cx, int cy, int r, int value)
{
    if (r < 0)
        return;
    int i = 0, j = r, e = r;
    do {
        if (e < 0) {
            --j;
            e += 2 * j;
        }
        drawHLine(cx - j, cx + j, cy - i, value);
        drawHLine(cx - j, cx + j, cy + i, value);
        drawHLine(cx - i, cx + i, cy - j, value);
        drawHLine(cx - i, cx + i, cy + j, value);
        ++i;
        e -= 2 * i;
    } while (j >= i);
}

namespace {

// Circle stepping on the larger radius with the other axis scaled in 16.16
// fixed point; calls visit(i, j, b, c) with b = j scaled and c = i scaled.
template <typename Visit>
void stepEllipse(int rx, int ry, Visit visit)
{
    const int big = std::max(rx, ry);
    const int small = std::min(rx, ry);
    const qint64 k = (qint64(small) << 16) / big;
    int i = 0, j = big, e = big;
    qint64 a = 0;
    do {
        if (e < 0) {
            --j;
            e += 2 * j;
        }
        visit(i, j, int((j * k) >> 16), int(a >> 16));
        e -= 2 * i + 1;
        ++i;
        a += k;
    } while (j >= i);
}

} // namespace

void GraphX::drawEllipse(int cx, int cy, int rx, int ry, int value)
{
    if (rx < 0 || ry < 0)
        return;
    if (rx == 0 && ry == 0) {
        setPixel(unsigned(cx), unsigned(cy), value);
        return;
    }
    const bool wide = rx > ry;
    stepEllipse(rx, ry, [&](int i, int j, int b, int c) {
        if (wide) {
            setPixel(unsigned(cx + i), unsigned(cy - b), value);
            setPixel(unsigned(cx - i), unsigned(cy - b), value);
            setPixel(unsigned(cx + i), unsigned(cy + b), value);
            setPixel(unsigned(cx - i), unsigned(cy + b), value);
            setPixel(unsigned(cx + j), unsigned(cy - c), value);
            setPixel(unsigned(cx - j), unsigned(cy - c), value);
            setPixel(unsigned(cx + j), unsigned(cy + c), value);
            setPixel(unsigned(cx - j), unsigned(cy + c), value);
        } else {
            setPixel(unsigned(cx + c), unsigned(cy - j), value);
            setPixel(unsigned(cx - c), unsigned(cy - j), value);
            setPixel(unsigned(cx + c), unsigned(cy + j), value);
            setPixel(unsigned(cx - c), unsigned(cy + j), value);
            setPixel(unsigned(cx + b), unsigned(cy - i), value);
            setPixel(unsigned(cx - b), unsigned(cy - i), value);
            setPixel(unsigned(cx + b), unsigned(cy + i), value);
            setPixel(unsigned(cx - b), unsigned(cy + i), value);
        }
    });
}

void GraphX::fillEllipse(int cx, int cy, int rx, int ry, int value)
{
    if (rx < 0 || ry < 0 || (rx == 0 && ry == 0))
        return;
    const bool wide = rx > ry;
    stepEllipse(rx, ry, [&](int i, int j, int b, int c) {
        if (wide) {
            drawHLine(cx - i, cx + i, cy - b, value);
            drawHLine(cx - i, cx + i, cy + b, value);
            drawHLine(cx - j, cx + j, cy - c, value);
            drawHLine(cx - j, cx + j, cy + c, value);
        } else {
            drawHLine(cx - c, cx + c, cy - j, value);
            drawHLine(cx - c, cx + c, cy + j, value);
            drawHLine(cx - b, cx + b, cy - i, value);
            drawHLine(cx - b, cx + b, cy + i, value);
        }
    });
}

int GraphX::floodFill(int x, int y, int value)
{
    if (!contains(x, y))
        return -1;
    const int seed = pixel(unsigned(x), unsigned(y));
    setPixel(unsigned(x), unsigned(y), value);
    // A value that reads back as the seed would never finish the region.
    if (pixel(unsigned(x), unsigned(y)) == seed)
        return -1;

    auto isSeed = [&](int px, int py) { return contains(px, py) && pixel(unsigned(px), unsigned(py)) == seed; };

    // Scanline fill with an explicit stack of run starts, so big regions need
    // no deep recursion. Each entry is a pixel known to need filling.
    std::vector<std::pair<int, int>> pending;
    auto pushRuns = [&](int left, int right, int row) {
        int px = left;
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
    auto fillSpan = [&](int sx, int sy, bool startDone) {
        int left = sx, right = sx;
        while (isSeed(left - 1, sy))
            --left;
        while (isSeed(right + 1, sy))
            ++right;
        for (int px = left; px <= right; ++px)
            if (!startDone || px != sx)
                setPixel(unsigned(px), unsigned(sy), value);
        pushRuns(left, right, sy - 1);
        pushRuns(left, right, sy + 1);
        return right;
    };

    const int startRight = fillSpan(x, y, true);
    while (!pending.empty()) {
        const auto [px, py] = pending.back();
        pending.pop_back();
        if (isSeed(px, py))
            fillSpan(px, py, false);
    }
    return startRight;
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
    if (image.isNull())
        return QImage();
    QImage result = image.copy();
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
    for (int v = 0; v < 256; ++v) {
        int f = v;
        for (int k = 0; k < n; ++k) {
            const int upper = levels.at(k);
            if (k == 0) {
                if (f < upper)
                    f = 0;
                else if (n == 1 && f > upper)
                    f = 255;
                continue;
            }
            const int lower = levels.at(k - 1);
            if (lower <= f && f <= upper)
                f = (f - lower < upper - f) ? lower : upper;
            else if (f > upper && k == n - 1)
                f = 255;
        }
        table[v] = uchar(clampInt(f));
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
            table[v] = uchar(clampChannel(256.0 / (high - low) * (v - low)));
    }
    planes.applyLut(table);
    return planes.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage GraphX::levelsInput(const QImage &image, int low, int highCut)
{
    const int hi = 255 - highCut;
    uchar table[256];
    for (int v = 0; v < 256; ++v) {
        if (v < low)
            table[v] = 0;
        else if (v >= hi)
            table[v] = 255;
        else // low <= v < hi, so hi - low > 0
            table[v] = uchar(clampChannel(256.0 / (hi - low) * (v - low)));
    }
    return applyTable(image, table);
}

QImage GraphX::levelsOutput(const QImage &image, int low, int highCut)
{
    uchar table[256];
    for (int v = 0; v < 256; ++v)
        table[v] = uchar(clampChannel(low + double(255 - highCut - low) * v / 256.0));
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
    for (int x = left; x <= right; ++x)
        blurLine(bits + top * bpl + x * 4, rows, bpl);
    for (int y = top; y <= bottom; ++y)
        blurLine(bits + y * bpl + left * 4, columns, 4);
    for (int x = left; x <= right; ++x)
        blurLine(bits + bottom * bpl + x * 4, rows, -bpl);
    for (int y = top; y <= bottom; ++y)
        blurLine(bits + y * bpl + right * 4, columns, -4);
    return result;
}

int GraphX::midRange(int a, int b, int c, int d)
{
    const int high = std::max(std::max(a, b), std::max(c, d));
    const int low = std::min(std::min(a, b), std::min(c, d));
    return int((qint64(high) + low) / 2);
}

} // namespace MGraphX
