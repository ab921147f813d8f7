#pragma once

#include <QByteArray>
#include <QRegExp>
#include <QString>

// Byte/text conversions without state: base64 in the standard alphabet,
// big-endian UTF-16 byte strings, Latin-1 buffers, and the e-mail pattern.
// None of them fails; malformed input gives whatever its valid part makes.
namespace MTools {

// Standard base64 (RFC 4648 alphabet, "=" padding, no line breaks).
QString toBase64String(const QByteArray &bytes);

// Tolerant decoder: the text is narrowed to Latin-1 and every character
// outside the alphabet ("=", blanks, line breaks, ...) is skipped. Trailing
// bits that do not make a whole byte are dropped.
QByteArray fromBase64String(const QString &text);

// Base64 of the text's Latin-1 bytes.
QString stringToBase64(const QString &text);

// Decodes the base64 text and reads the bytes before the first zero byte as UTF-8.
QString base64ToString(const QString &text);

// Every UTF-16 code unit as two bytes, high byte first; no byte-order mark.
QByteArray utf16BeBytes(const QString &text);

// Byte pairs (high, low) back to code units; an odd last byte becomes a unit
// whose low byte is zero. Units are not validated.
QString fromUtf16BeBytes(const QByteArray &bytes);

// One character per byte with the byte's value as its code. A null buffer or
// a length of zero or less gives an empty string.
QString latin1BytesToString(const unsigned char *data, int length);

// Base64 of the text's big-endian UTF-16 bytes, and back.
QString toBase64Utf16(const QString &text);
QString fromBase64Utf16(const QString &text);

// Pattern for e-mail addresses, meant for QRegExp::exactMatch.
QRegExp emailRegExp();

} // namespace MTools
