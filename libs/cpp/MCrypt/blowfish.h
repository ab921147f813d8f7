#pragma once

#include <QtGlobal>

#include <memory>

namespace MCrypt {

// The Blowfish block cipher: 64-bit blocks as two 32-bit halves, keys of 1
// or more bytes (bytes beyond the 72nd have no effect), 16 rounds,
// key-dependent S-boxes. Copies own their own S-boxes.
class Blowfish
{
public:
    Blowfish();
    Blowfish(const Blowfish &other);
    Blowfish &operator=(const Blowfish &other);
    ~Blowfish();

    // Runs the key schedule. A null key or a length below 1 is refused:
    // false, and the object keeps its previous key.
    bool setKey(const unsigned char *key, int length);

    // En- or decipher the block (left, right) in place. Without a key the
    // halves are left alone and the result is false.
    bool encrypt(quint32 &left, quint32 &right) const;
    bool decrypt(quint32 &left, quint32 &right) const;

    bool isKeyed() const { return S[0] != nullptr; }

private:
    quint32 F(quint32 x) const;
    void encipher(quint32 &left, quint32 &right) const;

    quint32 P[18];
    std::unique_ptr<quint32[]> S[4];
};

} // namespace MCrypt
