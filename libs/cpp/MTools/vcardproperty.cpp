#include "vcardproperty.h"

namespace {

// Line breaks in names and parameters would end the property line early.
QByteArray withoutLineBreaks(QByteArray bytes)
{
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\')) {
            out += QLatin1String("\\\\");
        } else if (c == QLatin1Char(';')) {
            out += QLatin1String("\\;");
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
            if (c == QLatin1Char('\r') && i + 1 < value.size() && value.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// Splits a value text at every ";" not preceded by a backslash and undoes the
// escapes \\, \;, \, and \n; any other backslash stays as written.
QStringList splitValues(const QString &text)
{
    QStringList values;
    QString current;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(';')) {
            values.append(current);
            current.clear();
        } else if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text.at(i + 1);
            if (n == QLatin1Char('\\') || n == QLatin1Char(';') || n == QLatin1Char(',')) {
                current += n;
                ++i;
            } else if (n == QLatin1Char('n') || n == QLatin1Char('N')) {
                current += QLatin1Char('\n');
                ++i;
            } else {
                current += c;
            }
        } else {
            current += c;
        }
    }
    values.append(current);
    return values;
}

} // namespace

vCardProperty::vCardProperty(const QString &name, const QStringList &values,
                             const QList<vCardParam> &params)
    : m_name(name), m_values(values), m_params(params)
{
}

vCardProperty::vCardProperty(const QString &name, const QString &value,
                             const QList<vCardParam> &params)
    : m_name(name), m_values(value.split(QLatin1Char(';'), Qt::KeepEmptyParts)), m_params(params)
{
}

vCardProperty::vCardProperty(const QString &name, const QString &value, const QString &params)
    : vCardProperty(name, value, vCardParam::parseList(params.toUtf8()))
{
}

vCardProperty::vCardProperty(const QString &name, const QStringList &values, const QString &params)
    : vCardProperty(name, values, vCardParam::parseList(params.toUtf8()))
{
}

QString vCardProperty::value() const
{
    return m_values.join(QLatin1Char(';'));
}

bool vCardProperty::isValid() const
{
    if (m_name.isEmpty() || m_values.isEmpty())
        return false;
    for (const vCardParam &p : m_params) {
        if (!p.isValid())
            return false;
    }
    return true;
}

bool vCardProperty::operator==(const vCardProperty &other) const
{
    return m_name == other.m_name && m_values == other.m_values;
}

bool vCardProperty::operator!=(const vCardProperty &other) const
{
    return !(*this == other);
}

QByteArray vCardProperty::encode(vCardVersion version) const
{
    if (version != Version21 && version != Version30)
        return QByteArray();
    QByteArray line = withoutLineBreaks(m_name.toUtf8());
    for (char &c : line) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    const QByteArray section = withoutLineBreaks(vCardParam::encodeList(m_params, version));
    if (!section.isEmpty())
        line += ';' + section;
    if (version == Version30) {
        QStringList escaped;
        for (const QString &v : m_values)
            escaped.append(escapeValue(v));
        line += ':' + escaped.join(QLatin1Char(';')).toUtf8();
    } else {
        QString text = value();
        text.replace(QLatin1String("\r\n"), QLatin1String(" "));
        line += ':' + withoutLineBreaks(text.toUtf8());
    }
    return line;
}

QList<vCardProperty> vCardProperty::parseLines(const QByteArray &bytes)
{
    return parseLines(bytes, false);
}

QList<vCardProperty> vCardProperty::parseLines(const QByteArray &bytes, bool escaped)
{
    QList<vCardProperty> properties;
    const int zero = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    for (const QString &line : lines) {
        if (line == QLatin1String("BEGIN:VCARD") || line == QLatin1String("END:VCARD"))
            break;
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        QStringList head = line.left(colon).split(QLatin1Char(';'), Qt::KeepEmptyParts);
        const QString name = head.takeFirst();
        if (name == QLatin1String("VERSION"))
            continue;
        const QList<vCardParam> params = vCardParam::parseList(head.join(QLatin1Char(';')).toUtf8());
        const QString value = line.mid(colon + 1);
        properties.append(vCardProperty(
            name, escaped ? splitValues(value) : value.split(QLatin1Char(';'), Qt::KeepEmptyParts), params));
    }
    return properties;
}

vCardProperty vCardProperty::makeBirthday(const QDateTime &birthday, const QList<vCardParam> &params)
{
    return vCardProperty(QStringLiteral("BDAY"),
                         birthday.toString(QStringLiteral("yyyy-MM-ddThh:mm:ssZ")), params);
}

vCardProperty vCardProperty::makeBirthday(const QDate &birthday, const QList<vCardParam> &params)
{
    return vCardProperty(QStringLiteral("BDAY"),
                         QStringList(birthday.toString(QStringLiteral("yyyy-MM-dd"))), params);
}

vCardProperty vCardProperty::makeName(const QString &firstName, const QString &lastName,
                                      const QString &additional, const QString &prefix,
                                      const QString &suffix, const QList<vCardParam> &params)
{
    return vCardProperty(QStringLiteral("N"),
                         QStringList{lastName, firstName, additional, prefix, suffix}, params);
}

vCardProperty vCardProperty::makeAddress(const QString &street, const QString &locality,
                                         const QString &region, const QString &postalCode,
                                         const QString &country, const QString &postOfficeBox,
                                         const QString &extendedAddress,
                                         const QList<vCardParam> &params)
{
    return vCardProperty(QStringLiteral("ADR"),
                         QStringList{postOfficeBox, extendedAddress, street, locality, region,
                                     postalCode, country},
                         params);
}

vCardProperty vCardProperty::makeOrganization(const QString &name, const QStringList &units,
                                              const QList<vCardParam> &params)
{
    return vCardProperty(QStringLiteral("ORG"), QStringList(name) + units, params);
}

vCardProperty vCardProperty::makeGeoPosition(double latitude, double longitude,
                                             const QList<vCardParam> &params)
{
    return vCardProperty(QStringLiteral("GEO"),
                         QStringList{QStringLiteral("%1").arg(latitude),
                                     QStringLiteral("%1").arg(longitude)},
                         params);
}
