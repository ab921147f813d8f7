#pragma once

#include <QByteArray>
#include <QString>

// Byte-array encryption with Rijndael, 256-bit block and 256-bit key.
// The key is the first 32 UTF-16 code units of the key text, each taken as
// one byte (units above 255 become 0), filled up with blanks to 32 bytes.
// Every 32-byte block is enciphered on its own (no chaining, no initial
// vector). Not thread-safe: the cipher's tables are shared.
namespace MCrypt {

// The data filled up with 1 to 32 blanks (0x20) to the next whole block, so
// the output is (n / 32 + 1) * 32 bytes for n input bytes. Empty on failure.
QByteArray encryptBytes(const QString &key, const QByteArray &data);

// Deciphers every complete 32-byte block (trailing bytes are ignored). The
// blank padding stays: deciphering an encryption gives the data followed by
// 1 to 32 blanks, and a wrong key gives as many bytes of unrelated text.
// Empty when there is no complete block or on failure.
QByteArray decryptBytes(const QString &key, const QByteArray &data);

// Zero bytes as many as the data has; the key has no effect.
QByteArray blankBytes(const QString &key, const QByteArray &data);

// An empty array.
QByteArray noBytes();

} // namespace MCrypt
