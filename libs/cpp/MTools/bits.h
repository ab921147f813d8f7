#pragma once

#include <ostream>

namespace MTools {

// A fixed-length array of bits packed into bytes, bit i in byte i / 8 at
// position i % 8 (bit 0 is the least significant bit of byte 0). Bits of the
// last byte beyond the bit count are kept 0.
// Out-of-range use writes a line to the standard error stream and leaves the
// array unchanged; nothing throws.
class Bits
{
public:
    explicit Bits(int nbits); // all bits 0; a negative count gives an empty array
    Bits(const Bits &other);
    virtual ~Bits();
    Bits &operator=(const Bits &other);

    int bitCount() const { return m_bitCount; }
    int byteCount() const { return m_byteCount; }
    const unsigned char *constData() const { return m_data; }

    void setBytes(const unsigned char *bytes); // copies byteCount() bytes
    void invert();
    int getBit(unsigned int position) const; // 0 or 1, -1 out of range
    void setBit(unsigned int position, int value);
    void setValue(int value); // bits 0 to 31 through setBit()
    // The integer of bits 0 to n - 1 (n from 1 to 39 and not above bitCount());
    // above 32 bits only the low 32 are kept. Out of range gives 0.
    int getCode(int n) const;
    int toInt() const; // bytes 0 to 3, little-endian, missing bytes 0

    // Each returns the last bit moved out of the array's end (0 for count 0):
    // right moves toward index 0, left toward the top; a rotation feeds the
    // bit back in at the other end, a shift feeds in 0.
    int rotateRight(unsigned int count);
    int shiftRight(unsigned int count);
    int rotateLeft(unsigned int count);
    int shiftLeft(unsigned int count);

    Bits &removeLow(unsigned int count); // drops the lowest count bits
    Bits &append(const Bits &other);     // other's bits go above the own ones

    // Bit by bit with the other's bit at the same index; missing bits are 0.
    void xorWith(const Bits &other);
    void andWith(const Bits &other);
    void orWith(const Bits &other);

    void write(std::ostream &out) const; // highest index first, "0"/"1"
    void print() const;                  // index 0 first to stdout, then a line end

private:
    void reset(int nbits);
    void clearPadding();
    void setBitUnchecked(int position, bool value);
    bool bitUnchecked(int position) const;

    unsigned char *m_data = nullptr;
    int m_bitCount = 0;
    int m_byteCount = 0;
};

} // namespace MTools
