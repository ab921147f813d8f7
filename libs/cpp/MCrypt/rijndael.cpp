#include "rijndael.h"

#include <QDebug>
#include <QFile>

#include <cstring>
#include <iostream>

namespace {

using u8 = unsigned char;
using u32 = quint32;

constexpr int kRconCount = 60;

// Multiplication by x in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1 (0x11B).
constexpr u8 xtime(u8 a)
{
    return (a & 0x80) ? u8((a << 1) ^ 0x1B) : u8(a << 1);
}

constexpr u8 GF2_8_mult(u8 a, u8 b)
{
    u8 product = 0;
    while (b) {
        if (b & 1)
            product ^= a;
        a = xtime(a);
        b >>= 1;
    }
    return product;
}

constexpr int byteParity(u8 byte)
{
    int p = 0;
    for (int bit = 0; bit < 8; ++bit)
        p ^= (byte >> bit) & 1;
    return p;
}

constexpr u8 rotateLeft(u8 byte, int n)
{
    return u8((byte << n) | (byte >> (8 - n)));
}

// Affine transform of the S-box: bit i of the result is the parity of the
// input bits i, i+4, i+5, i+6 and i+7 (mod 8), then XOR 0x63.
constexpr u8 affine(u8 byte)
{
    u8 result = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const u8 row = rotateLeft(0xF1, bit);
        result |= u8(byteParity(byte & row) << bit);
    }
    return result ^ 0x63;
}

struct Tables
{
    u8 inverse[256] = {};
    u8 sbox[256] = {};
    u8 invSbox[256] = {};
    u32 rcon[kRconCount] = {};
};

// The tables from their definitions: inverses by trial, the S-box as the
// affine image of the inverse, its inverse by search, the powers of x.
constexpr Tables computeTables()
{
    Tables t;
    t.inverse[0] = 0;
    for (int i = 1; i < 256; ++i) {
        int j = 1;
        while (GF2_8_mult(u8(i), u8(j)) != 1)
            ++j;
        t.inverse[i] = u8(j);
    }
    for (int i = 0; i < 256; ++i)
        t.sbox[i] = affine(t.inverse[i]);
    for (int v = 0; v < 256; ++v) {
        int index = 0;
        while (t.sbox[index] != v)
            ++index;
        t.invSbox[v] = u8(index);
    }
    t.rcon[0] = 0;
    u8 power = 1;
    for (int i = 1; i < kRconCount; ++i) {
        t.rcon[i] = power;
        power = xtime(power);
    }
    return t;
}

static_assert(GF2_8_mult(0x57, 0x13) == 0xFE, "GF(2^8) product");
static_assert(GF2_8_mult(0xFF, 0x55) == 0xF8, "GF(2^8) product");

constexpr Tables kStandardTables = computeTables();
static_assert(kStandardTables.sbox[0x00] == 0x63 && kStandardTables.sbox[0x53] == 0xED, "S-box");

// The process-wide tables; constant-initialised, so usable before any code runs.
Tables g_tables = kStandardTables;

template <typename T, int N>
bool writeOrCompare(T (&table)[N], const T (&fresh)[N], bool create)
{
    if (create) {
        std::memcpy(table, fresh, sizeof(table));
        return true;
    }
    return std::memcmp(table, fresh, sizeof(table)) == 0;
}

void appendByteBlock(QByteArray &out, const char *name, const u8 *bytes, int count)
{
    out += name;
    out += '\n';
    for (int i = 0; i < count; ++i) {
        out += "0x" + QByteArray::number(bytes[i], 16).rightJustified(2, '0') + ',';
        if ((i + 1) % 16 == 0)
            out += '\n';
    }
}

void appendWordBlock(QByteArray &out, const char *name, const u32 *words, int count)
{
    out += name;
    out += '\n';
    for (int i = 0; i < count; ++i) {
        out += "0x" + QByteArray::number(words[i], 16).rightJustified(8, '0') + ',';
        if ((i + 1) % 8 == 0)
            out += '\n';
    }
}

void dumpTables(const Tables &t)
{
    QFile file(QStringLiteral("Tables.dat"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    QByteArray text;
    appendByteBlock(text, "gf2_8_inv", t.inverse, 256);
    text += "\n\n";
    appendByteBlock(text, "byte_sub", t.sbox, 256);
    text += "\n\n";
    appendByteBlock(text, "inv_byte_sub", t.invSbox, 256);
    text += "\n\n";
    appendWordBlock(text, "RCon", t.rcon, kRconCount);
    file.write(text);
}

u8 mul(u8 a, u8 b)
{
    return GF2_8_mult(a, b);
}

} // namespace

namespace MCrypt {

bool Rijndael::setup(int keyBits, int blockBits)
{
    auto words = [](int bits) { return (bits == 128 || bits == 192 || bits == 256) ? bits / 32 : 0; };
    const int nk = words(keyBits);
    const int nb = words(blockBits);
    m_keyed = false;
    if (nk == 0 || nb == 0) {
        Nb = Nk = Nr = m_blockBytes = 0;
        m_shift[0] = m_shift[1] = m_shift[2] = 0;
        return false;
    }
    Nb = nb;
    Nk = nk;
    Nr = qMax(Nb, Nk) + 6;
    m_blockBytes = 4 * Nb;
    m_shift[0] = 1;
    m_shift[1] = Nb == 8 ? 3 : 2;
    m_shift[2] = Nb == 8 ? 4 : 3;
    return true;
}

bool Rijndael::makeKey(const unsigned char *key)
{
    if (Nk <= 0) {
        qDebug("MCrypt::Rijndael::makeKey: Nk > 0 failed; call setup() with supported lengths first");
        return false;
    }
    if (!key) {
        qDebug("MCrypt::Rijndael::makeKey: no key");
        m_keyed = false;
        return false;
    }
    const int words = (Nr + 1) * Nb;
    u8 *w = m_expandedKey;
    std::memcpy(w, key, size_t(4 * Nk));
    for (int i = Nk; i < words; ++i) {
        u8 temp[4] = {w[4 * (i - 1)], w[4 * (i - 1) + 1], w[4 * (i - 1) + 2], w[4 * (i - 1) + 3]};
        if (i % Nk == 0) {
            const u8 first = temp[0];
            temp[0] = u8(g_tables.sbox[temp[1]] ^ (g_tables.rcon[i / Nk] & 0xFF));
            temp[1] = g_tables.sbox[temp[2]];
            temp[2] = g_tables.sbox[temp[3]];
            temp[3] = g_tables.sbox[first];
        } else if (Nk > 6 && i % Nk == 4) {
            for (u8 &b : temp)
                b = g_tables.sbox[b];
        }
        for (int k = 0; k < 4; ++k)
            w[4 * i + k] = w[4 * (i - Nk) + k] ^ temp[k];
    }
    m_keyed = true;
    return true;
}

bool Rijndael::makeKey(const QByteArray &key)
{
    if (Nk > 0 && key.size() != 4 * Nk) {
        qDebug("MCrypt::Rijndael::makeKey: the key has %d bytes, expected %d", key.size(), 4 * Nk);
        m_keyed = false;
        return false;
    }
    return makeKey(reinterpret_cast<const unsigned char *>(key.constData()));
}

bool Rijndael::encryptBlockChecked(const unsigned char *in, unsigned char *out,
                                   const unsigned char *expected)
{
    if (!m_keyed || !in || !out)
        return false;
    std::memcpy(m_state, in, size_t(m_blockBytes));
    addRoundKey(0);
    for (int round = 1; round < Nr; ++round) {
        subBytes();
        shiftRows();
        mixColumns();
        addRoundKey(round);
        if (expected)
            checkState(round, expected + (round - 1) * m_blockBytes);
    }
    subBytes();
    shiftRows();
    addRoundKey(Nr);
    std::memcpy(out, m_state, size_t(m_blockBytes));
    return true;
}

bool Rijndael::decryptBlockChecked(const unsigned char *in, unsigned char *out,
                                   const unsigned char *expected)
{
    if (!m_keyed || !in || !out)
        return false;
    std::memcpy(m_state, in, size_t(m_blockBytes));
    addRoundKey(Nr);
    invShiftRows();
    invSubBytes();
    for (int round = Nr - 1; round >= 1; --round) {
        if (expected)
            checkState(round, expected + (round - 1) * m_blockBytes);
        addRoundKey(round);
        invMixColumns();
        invShiftRows();
        invSubBytes();
    }
    addRoundKey(0);
    std::memcpy(out, m_state, size_t(m_blockBytes));
    return true;
}

bool Rijndael::buildTables(bool create, bool dump)
{
    Q_ASSERT(GF2_8_mult(0x57,0x13) == 0xFE);
    Q_ASSERT(GF2_8_mult(0xFF,0x55) == 0xF8);

    const Tables fresh = computeTables();
    bool ok = writeOrCompare(g_tables.inverse, fresh.inverse, create);
    ok = writeOrCompare(g_tables.sbox, fresh.sbox, create) && ok;
    ok = writeOrCompare(g_tables.invSbox, fresh.invSbox, create) && ok;
    ok = writeOrCompare(g_tables.rcon, fresh.rcon, create) && ok;
    if (dump)
        dumpTables(g_tables);
    return ok;
}

void Rijndael::dumpHex(const unsigned char *bytes, int count)
{
    if (!bytes)
        return;
    std::cerr << std::hex;
    for (int i = 0; i < count; ++i) {
        if (bytes[i] < 16)
            std::cerr << '0';
        std::cerr << int(bytes[i]) << ' ';
        if ((i + 1) % 16 == 0)
            std::cerr << '\n';
    }
    std::cerr << std::dec;
}

int Rijndael::parity(unsigned char byte)
{
    return byteParity(byte);
}

void Rijndael::addRoundKey(int round)
{
    const u8 *key = m_expandedKey + round * m_blockBytes;
    for (int k = 0; k < m_blockBytes; ++k)
        m_state[k] ^= key[k];
}

void Rijndael::subBytes()
{
    for (int k = 0; k < m_blockBytes; ++k)
        m_state[k] = g_tables.sbox[m_state[k]];
}

void Rijndael::invSubBytes()
{
    for (int k = 0; k < m_blockBytes; ++k)
        m_state[k] = g_tables.invSbox[m_state[k]];
}

// Row r of the state is rotated left by its offset: column c takes the byte
// of column c + offset.
void Rijndael::shiftRows()
{
    u8 row[8];
    for (int r = 1; r < 4; ++r) {
        const int offset = m_shift[r - 1];
        for (int c = 0; c < Nb; ++c)
            row[c] = m_state[4 * ((c + offset) % Nb) + r];
        for (int c = 0; c < Nb; ++c)
            m_state[4 * c + r] = row[c];
    }
}

void Rijndael::invShiftRows()
{
    u8 row[8];
    for (int r = 1; r < 4; ++r) {
        const int offset = m_shift[r - 1];
        for (int c = 0; c < Nb; ++c)
            row[(c + offset) % Nb] = m_state[4 * c + r];
        for (int c = 0; c < Nb; ++c)
            m_state[4 * c + r] = row[c];
    }
}

void Rijndael::mixColumns()
{
    for (int c = 0; c < Nb; ++c) {
        u8 *col = m_state + 4 * c;
        const u8 a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = mul(a0, 2) ^ mul(a1, 3) ^ a2 ^ a3;
        col[1] = a0 ^ mul(a1, 2) ^ mul(a2, 3) ^ a3;
        col[2] = a0 ^ a1 ^ mul(a2, 2) ^ mul(a3, 3);
        col[3] = mul(a0, 3) ^ a1 ^ a2 ^ mul(a3, 2);
    }
}

void Rijndael::invMixColumns()
{
    for (int c = 0; c < Nb; ++c) {
        u8 *col = m_state + 4 * c;
        const u8 a0 = col[0], a1 = col[1], a2 = col[2], a3 = col[3];
        col[0] = mul(a0, 0x0E) ^ mul(a1, 0x0B) ^ mul(a2, 0x0D) ^ mul(a3, 0x09);
        col[1] = mul(a0, 0x09) ^ mul(a1, 0x0E) ^ mul(a2, 0x0B) ^ mul(a3, 0x0D);
        col[2] = mul(a0, 0x0D) ^ mul(a1, 0x09) ^ mul(a2, 0x0E) ^ mul(a3, 0x0B);
        col[3] = mul(a0, 0x0B) ^ mul(a1, 0x0D) ^ mul(a2, 0x09) ^ mul(a3, 0x0E);
    }
}

void Rijndael::checkState(int round, const unsigned char *expected) const
{
    if (std::memcmp(m_state, expected, size_t(m_blockBytes)) == 0)
        return;
    std::cerr << "State " << round << " failed:\n";
    std::cerr << "State     : ";
    dumpHex(m_state, m_blockBytes);
    std::cerr << "Should be : ";
    dumpHex(expected, m_blockBytes);
}

} // namespace MCrypt
