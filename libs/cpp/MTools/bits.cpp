#include "bits.h"

#include <climits>
#include <cstring>
#include <iostream>

namespace {

int bytesFor(int nbits)
{
    return nbits > 0 ? (nbits - 1) / 8 + 1 : 0;
}

} // namespace

namespace MTools {

Bits::Bits(int nbits)
{
    reset(nbits);
}

Bits::Bits(const Bits &other)
{
    reset(other.m_bitCount);
    if (m_byteCount)
        std::memcpy(m_data, other.m_data, size_t(m_byteCount));
}

Bits::~Bits()
{
    delete[] m_data;
}

Bits &Bits::operator=(const Bits &other)
{
    if (&other != this) {
        reset(other.m_bitCount);
        if (m_byteCount)
            std::memcpy(m_data, other.m_data, size_t(m_byteCount));
    }
    return *this;
}

void Bits::reset(int nbits)
{
    if (nbits < 0)
        nbits = 0;
    const int bytes = bytesFor(nbits);
    unsigned char *buffer = new unsigned char[bytes ? bytes : 1]();
    delete[] m_data;
    m_data = buffer;
    m_bitCount = nbits;
    m_byteCount = bytes;
}

void Bits::clearPadding()
{
    const int used = m_bitCount % 8;
    if (used)
        m_data[m_byteCount - 1] &= static_cast<unsigned char>((1u << used) - 1);
}

bool Bits::bitUnchecked(int position) const
{
    return (m_data[position / 8] >> (position % 8)) & 1;
}

void Bits::setBitUnchecked(int position, bool value)
{
    const unsigned char mask = static_cast<unsigned char>(1u << (position % 8));
    if (value)
        m_data[position / 8] |= mask;
    else
        m_data[position / 8] &= static_cast<unsigned char>(~mask);
}

void Bits::setBytes(const unsigned char *bytes)
{
    if (!bytes || !m_byteCount)
        return;
    std::memcpy(m_data, bytes, size_t(m_byteCount));
    clearPadding();
}

void Bits::invert()
{
    for (int i = 0; i < m_byteCount; ++i)
        m_data[i] = static_cast<unsigned char>(~m_data[i]);
    clearPadding();
}

int Bits::getBit(unsigned int position) const
{
    if (position >= unsigned(m_bitCount))
        return -1;
    return bitUnchecked(int(position)) ? 1 : 0;
}

void Bits::setBit(unsigned int position, int value)
{
    if (position >= unsigned(m_bitCount)) {
        std::cerr << "Bits::setBit(int,int) Position is out of range" << std::endl;
        return;
    }
    setBitUnchecked(int(position), value != 0);
}

void Bits::setValue(int value)
{
    const unsigned int bits = unsigned(value);
    for (unsigned int i = 0; i < 32; ++i)
        setBit(i, int((bits >> i) & 1u));
}

int Bits::getCode(int n) const
{
    if (n <= 0 || n >= 40 || n > m_bitCount) {
        std::cerr << "Bits::getCode(int) Out Of Range" << std::endl;
        return 0;
    }
    // Only the low 32 bits fit the result; computing in 64 bits keeps the
    // shifts defined for codes of 33 to 39 bits.
    unsigned long long code = 0;
    for (int i = 0; i < n; ++i) {
        if (bitUnchecked(i))
            code |= 1ull << i;
    }
    return int(static_cast<unsigned int>(code & 0xFFFFFFFFull));
}

int Bits::toInt() const
{
    unsigned int value = 0;
    for (int i = 0; i < 4 && i < m_byteCount; ++i)
        value |= unsigned(m_data[i]) << (8 * i);
    return int(value);
}

int Bits::rotateRight(unsigned int count)
{
    if (count == 0 || m_bitCount == 0)
        return 0;
    const Bits old(*this);
    const unsigned int n = unsigned(m_bitCount);
    const unsigned int r = count % n;
    for (unsigned int j = 0; j < n; ++j)
        setBitUnchecked(int(j), old.bitUnchecked(int((j + r) % n)));
    // The bit carried last is the one that was at index 0 before the last move.
    return old.bitUnchecked(int((count - 1) % n)) ? 1 : 0;
}

int Bits::shiftRight(unsigned int count)
{
    if (count == 0 || m_bitCount == 0)
        return 0;
    const Bits old(*this);
    const unsigned long long n = unsigned(m_bitCount);
    for (unsigned long long j = 0; j < n; ++j)
        setBitUnchecked(int(j), j + count < n && old.bitUnchecked(int(j + count)));
    return count - 1 < n && old.bitUnchecked(int(count - 1)) ? 1 : 0;
}

int Bits::rotateLeft(unsigned int count)
{
    if (count == 0 || m_bitCount == 0)
        return 0;
    const Bits old(*this);
    const unsigned int n = unsigned(m_bitCount);
    const unsigned int r = count % n;
    for (unsigned int j = 0; j < n; ++j)
        setBitUnchecked(int(j), old.bitUnchecked(int((j + n - r) % n)));
    // The bit carried last is the one that was at the top before the last move.
    return old.bitUnchecked(int(n - 1 - (count - 1) % n)) ? 1 : 0;
}

int Bits::shiftLeft(unsigned int count)
{
    if (count == 0 || m_bitCount == 0)
        return 0;
    const Bits old(*this);
    const unsigned long long n = unsigned(m_bitCount);
    for (unsigned long long j = 0; j < n; ++j)
        setBitUnchecked(int(j), j >= count && old.bitUnchecked(int(j - count)));
    return count - 1 < n && old.bitUnchecked(int(n - count)) ? 1 : 0;
}

Bits &Bits::removeLow(unsigned int count)
{
    const Bits old(*this);
    const int kept = count >= unsigned(m_bitCount) ? 0 : m_bitCount - int(count);
    reset(kept);
    for (int i = 0; i < kept; ++i)
        setBitUnchecked(i, old.bitUnchecked(i + int(count)));
    return *this;
}

Bits &Bits::append(const Bits &other)
{
    const long long total = (long long)m_bitCount + other.m_bitCount;
    if (total > INT_MAX)
        return *this; // not representable; leave the array unchanged
    const Bits low(*this);
    const Bits high(other); // other may be this object
    reset(int(total));
    for (int i = 0; i < low.m_bitCount; ++i)
        setBitUnchecked(i, low.bitUnchecked(i));
    for (int i = 0; i < high.m_bitCount; ++i)
        setBitUnchecked(low.m_bitCount + i, high.bitUnchecked(i));
    return *this;
}

void Bits::xorWith(const Bits &other)
{
    for (int i = 0; i < m_bitCount; ++i) {
        const bool b = i < other.m_bitCount && other.bitUnchecked(i);
        setBitUnchecked(i, bitUnchecked(i) != b);
    }
}

void Bits::andWith(const Bits &other)
{
    for (int i = 0; i < m_bitCount; ++i) {
        const bool b = i < other.m_bitCount && other.bitUnchecked(i);
        setBitUnchecked(i, bitUnchecked(i) && b);
    }
}

void Bits::orWith(const Bits &other)
{
    for (int i = 0; i < m_bitCount; ++i) {
        const bool b = i < other.m_bitCount && other.bitUnchecked(i);
        setBitUnchecked(i, bitUnchecked(i) || b);
    }
}

void Bits::write(std::ostream &out) const
{
    for (int i = m_bitCount - 1; i >= 0; --i)
        out << (bitUnchecked(i) ? '1' : '0');
}

void Bits::print() const
{
    for (int i = 0; i < m_bitCount; ++i)
        std::cout << (bitUnchecked(i) ? '1' : '0');
    std::cout << std::endl;
}

} // namespace MTools
