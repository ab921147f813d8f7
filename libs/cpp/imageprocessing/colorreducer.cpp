#include "colorreducer.h"

#include "imageprocess.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace MGraphX {

namespace {

constexpr int KeyCount = 32768;
constexpr int MaxCubes = 256;
// Source pixels at or below this word (alpha 126 or less) become transparent.
constexpr quint32 TransparentLimit = 0x7EFFFFFFu;

int clampByte(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

} // namespace

ColorReducer::ColorReducer(const QImage &image, QObject *parent)
    : QObject(parent)
    , histogram(KeyCount, 0)
    , workImage(image.convertToFormat(QImage::Format_RGB32))
    , sourceImage(image)
{
    if (!image.isNull())
        alphaImage = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < workImage.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(workImage.constScanLine(y));
        for (int x = 0; x < workImage.width(); ++x)
            ++histogram[rgbToKey15(line[x])];
    }
}

ColorReducer::~ColorReducer() = default;

void ColorReducer::setDither(bool dither_)
{
    dither = dither_;
}

void ColorReducer::setDetectGray(bool detectGray_)
{
    detectGray = detectGray_;
}

int ColorReducer::rgbToKey15(QRgb p)
{
    return int(((p >> 19) & 0x1F) | ((p & 0xF800) >> 6) | ((p & 0xF8) << 7));
}

int ColorReducer::keyRed(int key)
{
    return (key << 3) & 0xFF;
}

int ColorReducer::keyGreen(int key)
{
    return (key >> 2) & 0xF8;
}

int ColorReducer::keyBlue(int key)
{
    return (key >> 7) & 0xF8;
}

float ColorReducer::colorDistance(const QRgb &a, const QRgb &b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return std::sqrt(float(dr * dr + dg * dg + db * db));
}

QRgb ColorReducer::nearestColor(QRgb color, const QVector<QRgb> &table)
{
    if (table.isEmpty())
        return 0;
    int best = 0;
    float bestDistance = colorDistance(color, table.at(0));
    for (int i = 0; i < table.size(); ++i) {
        const float d = colorDistance(color, table.at(i));
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return table.at(best);
}

bool ColorReducer::transparentAt(int x, int y) const
{
    return reinterpret_cast<const quint32 *>(alphaImage.constScanLine(y))[x] <= TransparentLimit;
}

QImage ColorReducer::reduce(int maxColors_)
{
    emit progress(0);
    if (workImage.isNull())
        return QImage();

    // 256 box slots and 8-bit indices bound the budget.
    maxColors = qBound(1, maxColors_, MaxCubes);
    const bool hasAlpha = sourceImage.hasAlphaChannel();
    if (hasAlpha && maxColors >= 255)
        maxColors = 254; // index 255 carries the transparent pixels

    // Posterising to L + 1 greys needs a budget of at least two colours; a
    // budget of one takes the colour path, which gives the mean grey.
    if (detectGray && maxColors >= 2 && sourceImage.allGray())
        return reduceGray();

    cubes.fill(Cube(), MaxCubes);
    colors.fill(0, KeyCount);
    int n = 0;
    qint64 total = 0;
    for (int key = 0; key < KeyCount; ++key) {
        if (histogram.at(key) != 0) {
            colors[n++] = key;
            total += histogram.at(key);
        }
    }
    cubes[0] = Cube(0, n - 1, total, 0);
    shrinkCube(cubes[0]);
    int k = 1;

    while (maxColors > 1) {
        emit progress(int(k * 10.0 / maxColors));

        int chosen = -1;
        int bestLevel = 255;
        for (int i = 0; i < k; ++i) {
            const Cube &c = cubes.at(i);
            if (c.lower != c.upper && c.level < bestLevel) {
                bestLevel = c.level;
                chosen = i;
            }
        }
        if (chosen < 0)
            break;

        const Cube box = cubes.at(chosen);
        const int extentRed = box.maxRed - box.minRed;
        const int extentGreen = box.maxGreen - box.minGreen;
        const int extentBlue = box.maxBlue - box.minBlue;
        int axis;
        if (extentBlue >= extentGreen && extentBlue >= extentRed)
            axis = BlueAxis;
        else if (extentGreen >= extentRed)
            axis = GreenAxis;
        else
            axis = RedAxis;

        rotateForAxis(box.lower, box.upper, axis);
        quickSort(box.lower, box.upper);
        rotateBack(box.lower, box.upper, axis);

        const qint64 half = box.count / 2;
        qint64 sum = 0;
        int i = box.lower;
        do {
            sum += histogram.at(colors.at(i));
            ++i;
        } while (i < box.upper && sum < half);

        Cube lowerPart(box.lower, i - 1, sum, box.level + 1);
        Cube upperPart(i, box.upper, box.count - sum, box.level + 1);
        shrinkCube(lowerPart);
        shrinkCube(upperPart);
        cubes[chosen] = lowerPart;
        cubes[k] = upperPart;
        ++k;
        if (k >= maxColors)
            break;
    }

    buildColorTable(histogram, k);
    return mapToIndexed();
}

void ColorReducer::shrinkCube(Cube &cube)
{
    cube.minRed = cube.minGreen = cube.minBlue = 255;
    cube.maxRed = cube.maxGreen = cube.maxBlue = 0;
    for (int i = cube.lower; i <= cube.upper; ++i) {
        const int key = colors.at(i);
        const int r = keyRed(key), g = keyGreen(key), b = keyBlue(key);
        cube.minRed = std::min(cube.minRed, r);
        cube.maxRed = std::max(cube.maxRed, r);
        cube.minGreen = std::min(cube.minGreen, g);
        cube.maxGreen = std::max(cube.maxGreen, g);
        cube.minBlue = std::min(cube.minBlue, b);
        cube.maxBlue = std::max(cube.maxBlue, b);
    }
}

// Moves the axis field into bits 10-14 so that sorting the integers orders
// the keys by that channel first.
void ColorReducer::rotateForAxis(int lower, int upper, int axis)
{
    for (int i = lower; i <= upper; ++i) {
        const int key = colors.at(i);
        const int r = key & 0x1F, g = (key >> 5) & 0x1F, b = (key >> 10) & 0x1F;
        if (axis == RedAxis)
            colors[i] = g | (b << 5) | (r << 10);
        else if (axis == GreenAxis)
            colors[i] = r | (b << 5) | (g << 10);
    }
}

void ColorReducer::rotateBack(int lower, int upper, int axis)
{
    for (int i = lower; i <= upper; ++i) {
        const int v = colors.at(i);
        const int low = v & 0x1F, mid = (v >> 5) & 0x1F, high = (v >> 10) & 0x1F;
        if (axis == RedAxis)
            colors[i] = high | (low << 5) | (mid << 10);
        else if (axis == GreenAxis)
            colors[i] = low | (high << 5) | (mid << 10);
    }
}

// In-place quicksort with the middle element as pivot. Recursing into the
// smaller part only keeps the stack shallow for any input order.
void ColorReducer::quickSort(int lower, int upper)
{
    while (lower < upper) {
        const int pivot = colors.at((lower + upper) / 2);
        int i = lower, j = upper;
        while (i <= j) {
            while (colors.at(i) < pivot)
                ++i;
            while (colors.at(j) > pivot)
                --j;
            if (i <= j) {
                std::swap(colors[i], colors[j]);
                ++i;
                --j;
            }
        }
        if (j - lower < upper - i) {
            quickSort(lower, j);
            lower = i;
        } else {
            quickSort(i, upper);
            upper = j;
        }
    }
}

void ColorReducer::buildColorTable(QVector<int> &counts, int cubeCount)
{
    colorTable.clear();
    for (int c = 0; c < cubeCount; ++c) {
        const Cube &box = cubes.at(c);
        float sumRed = 0, sumGreen = 0, sumBlue = 0;
        for (int i = box.lower; i <= box.upper; ++i) {
            const int key = colors.at(i);
            const float weight = float(counts.at(key));
            sumRed = sumRed + float(keyRed(key)) * weight;
            sumGreen = sumGreen + float(keyGreen(key)) * weight;
            sumBlue = sumBlue + float(keyBlue(key)) * weight;
        }
        int red = 0, green = 0, blue = 0;
        if (box.count > 0) {
            red = clampByte(int(sumRed / float(box.count)));
            green = clampByte(int(sumGreen / float(box.count)));
            blue = clampByte(int(sumBlue / float(box.count)));
        }
        if (red == 248 && green == 248 && blue == 248)
            red = green = blue = 255;
        colorTable.append(0xFF000000u | QRgb(red) << 16 | QRgb(green) << 8 | QRgb(blue));
    }
    for (int c = 0; c < cubeCount; ++c) {
        const Cube &box = cubes.at(c);
        for (int i = box.lower; i <= box.upper; ++i)
            counts[colors.at(i)] = c;
    }
}

QImage ColorReducer::mapToIndexed()
{
    QImage picture;
    if (dither) {
        picture = ditherFloydSteinberg(workImage, colorTable);
    } else {
        picture = QImage(workImage.size(), QImage::Format_RGB32);
        for (int y = 0; y < workImage.height(); ++y) {
            const QRgb *in = reinterpret_cast<const QRgb *>(workImage.constScanLine(y));
            QRgb *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < workImage.width(); ++x)
                out[x] = colorTable.at(histogram.at(rgbToKey15(in[x])));
        }
    }
    // At most 256 distinct colours, so the conversion keeps them exactly.
    QImage indexed = picture.convertToFormat(QImage::Format_Indexed8);
    if (sourceImage.hasAlphaChannel() && !indexed.isNull()) {
        QVector<QRgb> table = indexed.colorTable();
        table.resize(256); // new entries are 0
        table[255] = 0;
        indexed.setColorTable(table);
        for (int y = 0; y < indexed.height(); ++y) {
            uchar *line = indexed.scanLine(y);
            for (int x = 0; x < indexed.width(); ++x) {
                if (transparentAt(x, y))
                    line[x] = 255;
            }
        }
    }
    return indexed;
}

QImage ColorReducer::posterizeSource(int levels) const
{
    // Table B stretches v to c + v * L / 255, table A maps c..255 back onto
    // 0..255 in steps of 255 / L: together L + 1 evenly spaced levels. Integer
    // division keeps the top level at 255 exactly for every L.
    const int c = 255 - levels;
    uchar tableB[256];
    uchar tableA[256];
    for (int j = 0; j < 256; ++j)
        tableB[j] = uchar(c + j * levels / 255);
    for (int u = 0; u < 256; ++u)
        tableA[u] = u < c ? 0 : uchar((u - c) * 255 / levels);

    ImageProcess planes(sourceImage);
    planes.applyLut(tableB);
    planes.applyLut(tableA);
    return planes.toImage().convertToFormat(QImage::Format_ARGB32);
}

QImage ColorReducer::reduceGray()
{
    // Budgets of 2 and 3 give two levels, so the result never exceeds the
    // budget; larger budgets give maxColors / 2 + 1 levels.
    const int levels = std::max(1, maxColors / 2);
    QImage picture = posterizeSource(levels);
    if (picture.isNull())
        return QImage();

    QVector<QRgb> grayTable(256, 0xFFFFFFFFu);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb r = qRed(line[x]);
            grayTable[int(r)] = 0xFF000000u | r << 16 | r << 8 | r;
        }
    }
    std::sort(grayTable.begin(), grayTable.end());

    if (dither)
        picture = ditherFloydSteinberg(workImage, grayTable);
    if (sourceImage.hasAlphaChannel())
        grayTable[255] = 0;

    QHash<QRgb, int> firstIndex;
    for (int i = grayTable.size() - 1; i >= 0; --i)
        firstIndex.insert(grayTable.at(i), i);

    QImage result(picture.size(), QImage::Format_Indexed8);
    if (result.isNull())
        return QImage();
    result.setColorTable(grayTable);
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb *in = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        uchar *out = result.scanLine(y);
        for (int x = 0; x < picture.width(); ++x)
            out[x] = transparentAt(x, y) ? 255 : uchar(firstIndex.value(in[x], 255));
    }
    return result;
}

QImage ColorReducer::reduceGrayLevels(int levels)
{
    maxColors = qBound(1, levels, 255);
    return reduceGrayLevels();
}

QImage ColorReducer::reduceGrayLevels()
{
    if (sourceImage.isNull())
        return QImage();
    return posterizeSource(qBound(1, maxColors, 255));
}

QImage ColorReducer::ditherFloydSteinberg(const QImage &image, const QVector<QRgb> &table)
{
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    QImage work = result.copy();
    const int width = work.width(), height = work.height();

    auto spread = [&work](int x, int y, int er, int eg, int eb, int weight) {
        QRgb &p = reinterpret_cast<QRgb *>(work.scanLine(y))[x];
        p = qRgba(clampByte(qRed(p) + er * weight / 16), clampByte(qGreen(p) + eg * weight / 16),
                  clampByte(qBlue(p) + eb * weight / 16), 255);
    };

    for (int x = 0; x < width; ++x) {
        emit progress(int(float(x) * 90.0f / float(width) + 10.0f));
        for (int y = 0; y < height; ++y) {
            const QRgb old = reinterpret_cast<const QRgb *>(work.constScanLine(y))[x];
            const QRgb chosen = nearestColor(old, table);
            reinterpret_cast<QRgb *>(result.scanLine(y))[x] = chosen;
            const int er = qRed(old) - qRed(chosen);
            const int eg = qGreen(old) - qGreen(chosen);
            const int eb = qBlue(old) - qBlue(chosen);
            const bool right = x + 1 < width, down = y + 1 < height;
            if (right)
                spread(x + 1, y, er, eg, eb, 7);
            if (down)
                spread(x, y + 1, er, eg, eb, 5);
            if (right && down)
                spread(x + 1, y + 1, er, eg, eb, 1);
        }
    }
    return result;
}

} // namespace MGraphX
