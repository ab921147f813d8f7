#include "bytecipher.h"

#include "rijndael.h"

#include <limits>

namespace {

constexpr int kBlock = 32;

QByteArray keyBytes(const QString &key)
{
    QByteArray bytes(kBlock, ' ');
    const int count = qMin(key.size(), kBlock);
    for (int i = 0; i < count; ++i) {
        const ushort unit = key.at(i).unicode();
        bytes[i] = unit <= 255 ? char(unit) : '\0';
    }
    return bytes;
}

bool prepare(MCrypt::Rijndael &cipher, const QString &key)
{
    // Verifying only reads the shared tables.
    if (!MCrypt::Rijndael::buildTables(false, false))
        return false;
    return cipher.setup(256, 256) && cipher.makeKey(keyBytes(key));
}

const unsigned char *bytesOf(const QByteArray &array)
{
    return reinterpret_cast<const unsigned char *>(array.constData());
}

unsigned char *bytesOf(QByteArray &array)
{
    return reinterpret_cast<unsigned char *>(array.data());
}

} // namespace

namespace MCrypt {

QByteArray encryptBytes(const QString &key, const QByteArray &data)
{
    if (data.size() > std::numeric_limits<int>::max() - 4096)
        return QByteArray();
    Rijndael cipher;
    if (!prepare(cipher, key))
        return QByteArray();

    const int pad = kBlock - data.size() % kBlock;
    QByteArray plain = data;
    plain.append(QByteArray(pad, ' '));
    QByteArray out(plain.size(), Qt::Uninitialized);
    for (int offset = 0; offset < plain.size(); offset += kBlock)
        cipher.encryptBlockChecked(bytesOf(plain) + offset, bytesOf(out) + offset);
    return out;
}

QByteArray decryptBytes(const QString &key, const QByteArray &data)
{
    const int size = data.size() / kBlock * kBlock;
    Rijndael cipher;
    if (size == 0 || !prepare(cipher, key))
        return QByteArray();

    QByteArray plain(size, Qt::Uninitialized);
    for (int offset = 0; offset < size; offset += kBlock)
        cipher.decryptBlockChecked(bytesOf(data) + offset, bytesOf(plain) + offset);
    return plain;
}

QByteArray blankBytes(const QString &key, const QByteArray &data)
{
    Q_UNUSED(key)
    return QByteArray(data.size(), '\0');
}

QByteArray noBytes()
{
    return QByteArray();
}

} // namespace MCrypt
