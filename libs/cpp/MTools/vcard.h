#pragma once

#include "vcardproperty.h"

// An electronic business card: an ordered list of properties (duplicates
// allowed), written as vCard 2.1 or 3.0 text and read back forgivingly.
class vCard
{
public:
    vCard() = default;
    explicit vCard(const QList<vCardProperty> &properties);
    vCard(const vCard &other) = default;
    vCard &operator=(const vCard &other) = default;
    virtual ~vCard();

    QList<vCardProperty> properties() const { return m_properties; }
    void appendProperty(const vCardProperty &property);
    void appendProperties(const QList<vCardProperty> &properties);
    int propertyCount() const;

    // True when some property has the same name and values (parameters aside).
    bool hasEqualProperty(const vCardProperty &property) const;
    // Look-up by exact name. With strict, the property's parameter list must
    // equal the given one in the same order; without, the first of that name
    // matches. findProperty returns an empty property when nothing matches.
    bool hasProperty(const QString &name, const QList<vCardParam> &params = QList<vCardParam>(),
                     bool strict = false) const;
    vCardProperty findProperty(const QString &name,
                               const QList<vCardParam> &params = QList<vCardParam>(),
                               bool strict = false) const;

    // Valid with at least one property and only valid properties.
    bool isValid() const;

    // BEGIN:VCARD, the VERSION line, every property line, END:VCARD, joined by
    // line feeds; empty for an unknown version.
    QByteArray encode(vCardVersion version) const;
    // Writes the 2.1 text. The old file is replaced only when the whole text
    // was written; false when the file cannot be written or the name is a
    // folder, device or pipe (never replaced).
    bool writeToFile(const QString &fileName) const;

    // Every card closed by END:VCARD in the text; never reports an error. A
    // card with a VERSION:2.1 line anywhere reads its values as written;
    // others have their 3.0 backslash escapes undone.
    static QList<vCard> decode(const QByteArray &bytes);
    // decode of the file read in text mode; empty when it cannot be read or
    // is no regular file of at most 16 MiB (a FIFO or device is not opened).
    static QList<vCard> readFromFile(const QString &fileName);

private:
    int indexOf(const QString &name, const QList<vCardParam> &params, bool strict) const;

    QList<vCardProperty> m_properties;
};
