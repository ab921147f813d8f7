#pragma once

namespace MTools {

// Radix-2 FFT over 2^bits points (bits from 0 to 15) with a precomputed
// bit-reversal table. A transformer built with bits outside 0..15 refuses
// every transform and leaves the arrays untouched.
class MFft
{
public:
    explicit MFft(int bits);
    virtual ~MFft();

    int bits() const { return m_bits; }
    int size() const { return m_bits < 0 ? 0 : 1 << m_bits; }

    // In place over size() complex values. Forward divides by the length,
    // inverse does not scale.
    void transform(float *real, float *imag, bool inverse) const;

private:
    static const int MaxBits = 15;
    int m_reversed[1 << MaxBits];
    int m_bits;
};

} // namespace MTools
