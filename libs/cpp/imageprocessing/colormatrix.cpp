#include "colormatrix.h"

#include <algorithm>
#include <cmath>

namespace MGraphX {

namespace {

constexpr int FullMask = 31;

int clampChannel(long double v)
{
    const long double t = std::trunc(v);
    if (!(t > 0))
        return 0; // also NaN
    if (t > 255)
        return 255;
    return static_cast<int>(t);
}

} // namespace

ColorMatrix::ColorMatrix()
{
    setIdentity();
}

ColorMatrix::ColorMatrix(const ColorMatrix &other)
    : QObject()
{
    std::copy(&other.m[0][0], &other.m[0][0] + 16, &m[0][0]);
    mask = other.mask;
}

ColorMatrix &ColorMatrix::operator=(const ColorMatrix &other)
{
    if (this != &other) {
        std::copy(&other.m[0][0], &other.m[0][0] + 16, &m[0][0]);
        mask = other.mask;
    }
    return *this;
}

ColorMatrix::~ColorMatrix() = default;

void ColorMatrix::setIdentity()
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] = i == j ? 1.0f : 0.0f;
    mask = FullMask;
}

void ColorMatrix::setSaturation(float s)
{
    const float a = (1.0f - s) / 3.0f;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = i == j ? s + a : a;
    mask = FullMask;
}

void ColorMatrix::setScale(float r, float g, float b, float a)
{
    m[0][0] = r;
    m[1][1] = g;
    m[2][2] = b;
    m[3][3] = a;
    mask = FullMask;
}

void ColorMatrix::setBrightness(float k)
{
    m[0][0] = m[1][1] = m[2][2] = k;
    mask = FullMask;
}

void ColorMatrix::setGrayAverage()
{
    const float third = 1.0f / 3.0f;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = third;
    mask = FullMask;
}

void ColorMatrix::setGrayLuminance()
{
    const float weights[3] = {0.3086f, 0.6094f, 0.0820f};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[i][j] = weights[i];
    mask = FullMask;
}

void ColorMatrix::swapColumns(int a, int b)
{
    for (int i = 0; i < 3; ++i)
        std::swap(m[i][a], m[i][b]);
    mask = FullMask;
}

void ColorMatrix::swapRedGreen()
{
    swapColumns(0, 1);
}

void ColorMatrix::swapRedBlue()
{
    swapColumns(0, 2);
}

void ColorMatrix::swapGreenBlue()
{
    swapColumns(1, 2);
}

void ColorMatrix::reset()
{
    setIdentity();
}

void ColorMatrix::setTint(float wr, float wg, float wb, float alphaScale)
{
    float sum = static_cast<float>(std::ceil(double(wr)) + std::ceil(double(wg)) + std::ceil(double(wb)));
    if (!(sum > 0))
        sum = 1.0f;
    for (int i = 0; i < 3; ++i) {
        m[i][0] = wr / sum;
        m[i][1] = wg / sum;
        m[i][2] = wb / sum;
        m[i][3] = 0.0f;
    }
    m[3][0] = m[3][1] = m[3][2] = 0.0f;
    m[3][3] = alphaScale;
    mask = FullMask;
}

void ColorMatrix::setAlphaSum()
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] = j == 3 ? 1.0f : 0.0f;
    mask = FullMask;
}

quint32 ColorMatrix::map(int r, int g, int b, int a) const
{
    int v[4];
    for (int j = 0; j < 4; ++j) {
        const long double sum = static_cast<long double>(r) * m[0][j]
            + static_cast<long double>(g) * m[1][j] + static_cast<long double>(b) * m[2][j]
            + static_cast<long double>(a) * m[3][j];
        v[j] = clampChannel(sum);
    }
    return (quint32(v[3]) << 24) | (quint32(v[0]) << 16) | (quint32(v[1]) << 8) | quint32(v[2]);
}

QImage ColorMatrix::apply(const QImage &image) const
{
    if (image.isNull())
        return QImage();
    QImage result = image;
    // The pixels are read as 0xAARRGGBB words; any other layout would be misread.
    if (result.format() != QImage::Format_RGB32 && result.format() != QImage::Format_ARGB32
        && result.format() != QImage::Format_ARGB32_Premultiplied)
        result = result.convertToFormat(QImage::Format_ARGB32);
    if (result.isNull())
        return QImage();
    const int width = result.width();
    for (int y = 0; y < result.height(); ++y) {
        quint32 *line = reinterpret_cast<quint32 *>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 p = line[x];
            line[x] = map((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff, p >> 24);
        }
    }
    return result;
}

} // namespace MGraphX
