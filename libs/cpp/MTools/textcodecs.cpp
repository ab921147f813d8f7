#include "textcodecs.h"

namespace {

// 6-bit value of a base64 alphabet character, or -1 for anything else.
int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

namespace MTools {

QString toBase64String(const QByteArray &bytes)
{
    // Qt's encoder uses the standard alphabet with padding and never breaks lines.
    return QString::fromLatin1(bytes.toBase64(QByteArray::Base64Encoding));
}

QByteArray fromBase64String(const QString &text)
{
    const QByteArray in = text.toLatin1();
    QByteArray out;
    out.reserve(in.size() * 3 / 4);
    unsigned int buffer = 0;
    int bits = 0;
    for (const char ch : in) {
        const int v = base64Value(static_cast<unsigned char>(ch));
        if (v < 0)
            continue;
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.append(char((buffer >> bits) & 0xFF));
            buffer &= (1u << bits) - 1; // keep only the bits not yet emitted
        }
    }
    return out;
}

QString stringToBase64(const QString &text)
{
    return toBase64String(text.toLatin1());
}

QString base64ToString(const QString &text)
{
    const QByteArray bytes = fromBase64String(text);
    const int zero = bytes.indexOf('\0');
    return QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
}

QByteArray utf16BeBytes(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    for (const QChar c : text) {
        const ushort u = c.unicode();
        out.append(char(u >> 8));
        out.append(char(u & 0xFF));
    }
    return out;
}

QString fromUtf16BeBytes(const QByteArray &bytes)
{
    QString out;
    out.reserve((bytes.size() + 1) / 2);
    const int n = bytes.size();
    for (int i = 0; i < n; i += 2) {
        const ushort high = static_cast<unsigned char>(bytes.at(i));
        const ushort low = i + 1 < n ? static_cast<unsigned char>(bytes.at(i + 1)) : 0;
        out.append(QChar(ushort((high << 8) | low)));
    }
    return out;
}

QString latin1BytesToString(const unsigned char *data, int length)
{
    if (!data || length <= 0)
        return QString();
    QString out(length, Qt::Uninitialized);
    QChar *dst = out.data();
    for (int i = 0; i < length; ++i)
        dst[i] = QChar(ushort(data[i]));
    return out;
}

QString toBase64Utf16(const QString &text)
{
    return toBase64String(utf16BeBytes(text));
}

QString fromBase64Utf16(const QString &text)
{
    return fromUtf16BeBytes(fromBase64String(text));
}

QRegExp emailRegExp()
{
    return QRegExp(QStringLiteral("([a-zA-Z0-9_\\-\\.]+)@([a-zA-Z0-9_.-])+\\.([a-zA-Z]{2,4}|[0-9]{1,3})"),
                   Qt::CaseSensitive, QRegExp::RegExp);
}

} // namespace MTools
