#include "vcardparam.h"

#include <QStringList>

namespace {

bool isVersion(vCardVersion version)
{
    return version == Version21 || version == Version30;
}

// Upper-cases ASCII letters only, so multi-byte UTF-8 sequences stay intact.
QByteArray asciiUpper(QByteArray bytes)
{
    for (char &c : bytes) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return bytes;
}

QByteArray untilNul(const QByteArray &bytes)
{
    const int zero = bytes.indexOf('\0');
    return zero < 0 ? bytes : bytes.left(zero);
}

} // namespace

vCardParam::vCardParam(const QString &value, Group group)
    : m_group(group), m_value(value)
{
}

bool vCardParam::isValid() const
{
    return !m_value.isEmpty();
}

bool vCardParam::operator==(const vCardParam &other) const
{
    return m_group == other.m_group && m_value == other.m_value;
}

bool vCardParam::operator!=(const vCardParam &other) const
{
    return !(*this == other);
}

QByteArray vCardParam::encode(vCardVersion version) const
{
    if (!isVersion(version))
        return QByteArray();
    const QString pair = QStringLiteral("%1=%2");
    QString text;
    switch (m_group) {
    case Type:
        text = version == Version30 ? pair.arg(QStringLiteral("TYPE"), m_value) : m_value;
        break;
    case Encoding:
        text = pair.arg(QStringLiteral("ENCODING"), m_value);
        break;
    case Charset:
        text = pair.arg(QStringLiteral("CHARSET"), m_value);
        break;
    case Undefined:
    default:
        text = m_value;
        break;
    }
    return asciiUpper(text.toUtf8());
}

QByteArray vCardParam::encodeList(const QList<vCardParam> &params, vCardVersion version)
{
    if (!isVersion(version))
        return QByteArray();
    QStringList items;
    if (version == Version21) {
        for (const vCardParam &p : params)
            items.append(QString::fromUtf8(p.encode(Version21)));
    } else {
        QStringList types, charsets, encodings, rest;
        for (const vCardParam &p : params) {
            const QString text = QString::fromUtf8(p.encode(Version21));
            switch (p.group()) {
            case Type: types.append(text); break;
            case Charset: charsets.append(text); break;
            case Encoding: encodings.append(text); break;
            default: rest.append(text); break;
            }
        }
        items = rest + charsets + encodings;
        if (!types.isEmpty())
            items.prepend(QStringLiteral("%1=%2").arg(QStringLiteral("TYPE"),
                                                      types.join(QLatin1Char(','))));
    }
    return asciiUpper(items.join(QLatin1Char(';')).toUtf8());
}

QList<vCardParam> vCardParam::parseList(const QByteArray &bytes)
{
    QList<vCardParam> params;
    const QString text = QString::fromUtf8(untilNul(bytes)).simplified();
    const QStringList parts = text.split(QLatin1Char(';'), Qt::KeepEmptyParts);
    for (const QString &part : parts) {
        if (part.isEmpty())
            continue;
        if (part.startsWith(QLatin1String("TYPE"), Qt::CaseInsensitive)) {
            const QStringList items = part.mid(5).split(QLatin1Char(','), Qt::KeepEmptyParts);
            for (const QString &item : items)
                params.append(vCardParam(item, Type));
        } else if (part.startsWith(QLatin1String("ENCODING"), Qt::CaseInsensitive)) {
            params.append(vCardParam(part.mid(9), Encoding));
        } else if (part.startsWith(QLatin1String("CHARSET"), Qt::CaseInsensitive)) {
            params.append(vCardParam(part.mid(8), Charset));
        } else {
            params.append(vCardParam(part, Undefined));
        }
    }
    return params;
}
