#pragma once

#include "vcardparam.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

// One vCard property: a name with values and parameters. The name is kept as
// given; the writer upper-cases it.
class vCardProperty
{
public:
    vCardProperty() = default;
    vCardProperty(const QString &name, const QStringList &values,
                  const QList<vCardParam> &params = QList<vCardParam>());
    // The value is split at ";" into the values, empty parts kept.
    vCardProperty(const QString &name, const QString &value,
                  const QList<vCardParam> &params = QList<vCardParam>());
    // The parameter text is read with vCardParam::parseList.
    vCardProperty(const QString &name, const QString &value, const QString &params);
    vCardProperty(const QString &name, const QStringList &values, const QString &params);

    QString name() const { return m_name; }
    QStringList values() const { return m_values; }
    QList<vCardParam> params() const { return m_params; }
    // The values joined with ";".
    QString value() const;

    // Valid with a name, at least one value and only valid parameters.
    bool isValid() const;

    // Name and values are compared; parameters are not.
    bool operator==(const vCardProperty &other) const;
    bool operator!=(const vCardProperty &other) const;

    // One property line without line end. Version 3.0 escapes values: "\" is
    // written as "\\", ";" inside a value as "\;" and a line break as "\n".
    // Version 2.1 writes values as they are, except that a line break, which
    // would end the property line, is written as a blank.
    QByteArray encode(vCardVersion version) const;

    // Reads property lines up to the first BEGIN:VCARD or END:VCARD line; lines
    // without ":" and VERSION lines are skipped. The value text is split at
    // every ";" as written.
    static QList<vCardProperty> parseLines(const QByteArray &bytes);
    // The same; with escaped set, values are split only at a ";" without a
    // backslash before it and the escapes \\, \;, \, and \n are undone.
    static QList<vCardProperty> parseLines(const QByteArray &bytes, bool escaped);

    static vCardProperty makeBirthday(const QDateTime &birthday,
                                      const QList<vCardParam> &params = QList<vCardParam>());
    static vCardProperty makeBirthday(const QDate &birthday,
                                      const QList<vCardParam> &params = QList<vCardParam>());
    static vCardProperty makeName(const QString &firstName, const QString &lastName,
                                  const QString &additional = QString(),
                                  const QString &prefix = QString(),
                                  const QString &suffix = QString(),
                                  const QList<vCardParam> &params = QList<vCardParam>());
    static vCardProperty makeAddress(const QString &street, const QString &locality,
                                     const QString &region, const QString &postalCode,
                                     const QString &country,
                                     const QString &postOfficeBox = QString(),
                                     const QString &extendedAddress = QString(),
                                     const QList<vCardParam> &params = QList<vCardParam>());
    static vCardProperty makeOrganization(const QString &name,
                                          const QStringList &units = QStringList(),
                                          const QList<vCardParam> &params = QList<vCardParam>());
    static vCardProperty makeGeoPosition(double latitude, double longitude,
                                         const QList<vCardParam> &params = QList<vCardParam>());

private:
    QString m_name;
    QStringList m_values;
    QList<vCardParam> m_params;
};
