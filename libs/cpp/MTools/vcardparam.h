#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Version selector of the vCard writers: 0 for vCard 2.1, 1 for vCard 3.0.
// Any other value makes every writer return an empty byte array.
typedef int vCardVersion;
constexpr vCardVersion Version21 = 0;
constexpr vCardVersion Version30 = 1;

// One parameter of a vCard property: a group and a value.
class vCardParam
{
public:
    enum Group : qint32 { Type = 0, Encoding = 1, Charset = 2, Undefined = 3 };

    vCardParam() = default;
    vCardParam(const QString &value, Group group);

    Group group() const { return m_group; }
    QString value() const { return m_value; }
    // A parameter is valid when its value is not empty.
    bool isValid() const;

    bool operator==(const vCardParam &other) const;
    bool operator!=(const vCardParam &other) const;

    // The parameter as it stands in a property line, upper-cased.
    QByteArray encode(vCardVersion version) const;
    // The parameter section of a property line (without the leading ";").
    static QByteArray encodeList(const QList<vCardParam> &params, vCardVersion version);
    // Reads the parameter text of a property line ("TYPE=home,work;PREF").
    static QList<vCardParam> parseList(const QByteArray &bytes);

private:
    Group m_group = Undefined;
    QString m_value;
};
