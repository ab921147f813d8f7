#pragma once

#include <QByteArray>

namespace MCrypt {

// Rijndael with block and key lengths of 128, 192 or 256 bits each; the
// 128-bit block is AES. Call setup(), then makeKey(), then the block
// operations; the object can be re-keyed at any time. The lookup tables are
// process-wide and start with their standard values.
class Rijndael
{
public:
    // Picks block and key length. Any length other than 128, 192 or 256
    // leaves the cipher unconfigured (Nb, Nk, Nr 0) and returns false.
    // A new setup always drops the current key.
    bool setup(int keyBits, int blockBits);

    // Expands 4*Nk key bytes into the round keys. Returns false (with a debug
    // message) when setup() has not succeeded.
    bool makeKey(const unsigned char *key);
    // The same for a key held in an array; a key whose size is not 4*Nk
    // bytes is refused and the current key is dropped.
    bool makeKey(const QByteArray &key);

    // En- or deciphers one block of blockBytes() bytes; in and out may be the
    // same buffer. expected, when not null, holds Nr-1 blocks: the state
    // after each of rounds 1 to Nr-1. A differing state is reported on the
    // standard error stream and the operation goes on. Returns false and
    // leaves out untouched when the cipher has no key.
    bool encryptBlockChecked(const unsigned char *in, unsigned char *out,
                             const unsigned char *expected = nullptr);
    bool decryptBlockChecked(const unsigned char *in, unsigned char *out,
                             const unsigned char *expected = nullptr);

    // Builds (create) or verifies the process-wide tables; with dump they are
    // also written to "Tables.dat" in the current folder (skipped silently
    // when the file cannot be opened). False when a verified entry differs.
    // Not thread-safe in create mode: it rewrites the shared tables.
    static bool buildTables(bool create, bool dump);
    // Bytes as lower-case hex pairs and a blank each, 16 to a line, on stderr.
    static void dumpHex(const unsigned char *bytes, int count);
    // XOR of the byte's eight bits.
    static int parity(unsigned char byte);

    int blockColumns() const { return Nb; }
    int keyWords() const { return Nk; }
    int rounds() const { return Nr; }
    int blockBytes() const { return m_blockBytes; }
    bool isKeyed() const { return m_keyed; }

private:
    void addRoundKey(int round);
    void subBytes();
    void invSubBytes();
    void shiftRows();
    void invShiftRows();
    void mixColumns();
    void invMixColumns();
    void checkState(int round, const unsigned char *expected) const;

    int Nb = 0;
    int Nk = 0;
    int Nr = 0;
    int m_blockBytes = 0;
    int m_shift[3] = {0, 0, 0};
    unsigned char m_state[64] = {};
    unsigned char m_expandedKey[480] = {};
    bool m_keyed = false;
};

} // namespace MCrypt
