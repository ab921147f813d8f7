#pragma once

#include <QByteArray>
#include <QString>

// Byte-array encryption with Rijndael, 256-bit block and 256-bit key.
// The key is the first 32 UTF-16 code units of the key text, each taken as
// one byte (units above 255 become 0), filled up with blanks to 32 bytes.
// Every 32-byte block is enciphered on its own (no chaining, no initial
// vector). Not thread-safe: the cipher's tables are shared.
namespace MCrypt {

// The data with 1 to 32 padding bytes, each holding the padding length, so
// the output is (n / 32 + 1) * 32 bytes for n input bytes. Empty on failure.
QByteArray encryptBytes(const QString &key, const QByteArray &data);

// Deciphers the complete 32-byte blocks (trailing bytes are ignored) and
// removes the padding. Ciphertexts padded with blanks only, as older
// versions wrote them, are accepted too; their trailing blanks are removed.
// Padding that fits neither form (a wrong key, damaged data) gives an empty
// array and *ok false; ok may be null.
QByteArray decryptBytes(const QString &key, const QByteArray &data, bool *ok = nullptr);

// Zero bytes as many as the data has; the key has no effect.
QByteArray blankBytes(const QString &key, const QByteArray &data);

// An empty array.
QByteArray noBytes();

} // namespace MCrypt
