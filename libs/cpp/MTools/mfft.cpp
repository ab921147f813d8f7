#include "mfft.h"

#include <QtGlobal>

#include <cmath>
#include <utility>

namespace MTools {

MFft::MFft(int bits)
    : m_reversed(), m_bits(bits)
{
    if (bits < 0 || bits > MaxBits) {
        qDebug("MTools::MFft: %d bits is outside 0..%d", bits, MaxBits);
        m_bits = -1;
        return;
    }
    for (int i = (1 << bits) - 1; i >= 0; --i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        m_reversed[i] = r;
    }
}

MFft::~MFft() = default;

void MFft::transform(float *real, float *imag, bool inverse) const
{
    if (m_bits < 0 || !real || !imag)
        return;
    const int n = 1 << m_bits;
    // Natural order in, bit-reversed order out; the twiddle of a block is
    // indexed by the block's bit-reversed position.
    for (int half = n / 2; half >= 1; half /= 2) {
        for (int g = 0; g < n; g += 2 * half) {
            const float theta = float(m_reversed[g / half]) * 6.283185f / float(n);
            const float c = float(std::cos(theta));
            const float s = inverse ? float(std::sin(theta)) : -float(std::sin(theta));
            for (int j = 0; j < half; ++j) {
                const int p = g + j;
                const int q = p + half;
                const float tr = c * real[q] - s * imag[q];
                const float ti = c * imag[q] + s * real[q];
                real[q] = real[p] - tr;
                imag[q] = imag[p] - ti;
                real[p] += tr;
                imag[p] += ti;
            }
        }
    }
    for (int i = 0; i < n; ++i) {
        const int r = m_reversed[i];
        if (i < r) {
            std::swap(real[i], real[r]);
            std::swap(imag[i], imag[r]);
        }
    }
    if (!inverse) {
        const float scale = 1.0f / float(n);
        for (int i = 0; i < n; ++i) {
            real[i] *= scale;
            imag[i] *= scale;
        }
    }
}

} // namespace MTools
