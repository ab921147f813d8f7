#include "vcard.h"

#include "filehelpers.h"

#include <QSaveFile>

#include <algorithm>

namespace {

// The largest file readFromFile reads: an address book with a photo for each
// of some hundreds of contacts fits, and decoding costs up to some 75 bytes
// of memory for each byte of text (a card of many short lines).
const qint64 kMaxFileBytes = 16 * 1024 * 1024;

bool isContinuation(const QByteArray &line)
{
    return line.startsWith(' ') || line.startsWith('\t');
}

// Joins folded lines. The base64 data of a PHOTO line is continued by indented
// lines whose blanks are all dropped; any other indented line continues the
// line before it without its first blank.
QList<QByteArray> unfold(const QList<QByteArray> &lines)
{
    QList<QByteArray> out;
    int i = 0;
    while (i < lines.size()) {
        const QByteArray &line = lines.at(i);
        if (line.startsWith("PHOTO")) {
            QByteArray joined = line.simplified();
            int j = i + 1;
            for (; j < lines.size() && isContinuation(lines.at(j)); ++j)
                joined += lines.at(j).simplified();
            out.append(joined);
            i = j; // the closing line may open the next photo
            continue;
        }
        if (isContinuation(line) && !out.isEmpty())
            out.last() += line.mid(1);
        else
            out.append(line);
        ++i;
    }
    return out;
}

// item1.TEL:123 becomes TEL:123; other prefixes stay.
QByteArray withoutItemPrefix(const QByteArray &line)
{
    if (!line.startsWith("item") && !line.startsWith("ITEM"))
        return line;
    const int dot = line.indexOf('.');
    if (dot < 0)
        return line;
    bool ok = false;
    QString::fromUtf8(line.mid(4, dot - 4)).toInt(&ok);
    return ok ? line.mid(dot + 1) : line;
}

// The properties of one card's lines. Version 2.1 values carry no escapes;
// 3.0 and cards that name no version have their backslash escapes undone. The
// version holds for the whole card, wherever its line stands.
vCard readCard(const QList<QByteArray> &lines)
{
    const bool escaped = !lines.contains("VERSION:2.1");
    vCard card;
    for (const QByteArray &line : lines)
        card.appendProperties(vCardProperty::parseLines(line, escaped));
    return card;
}

} // namespace

vCard::vCard(const QList<vCardProperty> &properties)
    : m_properties(properties)
{
}

vCard::~vCard() = default;

void vCard::appendProperty(const vCardProperty &property)
{
    m_properties.append(property);
}

void vCard::appendProperties(const QList<vCardProperty> &properties)
{
    m_properties.append(properties);
}

int vCard::propertyCount() const
{
    return m_properties.size();
}

bool vCard::hasEqualProperty(const vCardProperty &property) const
{
    return m_properties.contains(property);
}

int vCard::indexOf(const QString &name, const QList<vCardParam> &params, bool strict) const
{
    for (int i = 0; i < m_properties.size(); ++i) {
        const vCardProperty &p = m_properties.at(i);
        if (p.name() != name)
            continue;
        if (!strict || p.params() == params)
            return i;
    }
    return -1;
}

bool vCard::hasProperty(const QString &name, const QList<vCardParam> &params, bool strict) const
{
    return indexOf(name, params, strict) >= 0;
}

vCardProperty vCard::findProperty(const QString &name, const QList<vCardParam> &params,
                                  bool strict) const
{
    const int i = indexOf(name, params, strict);
    return i < 0 ? vCardProperty() : m_properties.at(i);
}

bool vCard::isValid() const
{
    if (m_properties.isEmpty())
        return false;
    for (const vCardProperty &p : m_properties) {
        if (!p.isValid())
            return false;
    }
    return true;
}

QByteArray vCard::encode(vCardVersion version) const
{
    if (version != Version21 && version != Version30)
        return QByteArray();
    QList<QByteArray> lines;
    lines.append("BEGIN:VCARD");
    const QString number = version == Version21 ? QStringLiteral("2.1") : QStringLiteral("3.0");
    lines.append(vCardProperty(QStringLiteral("VERSION"), QStringList(number)).encode(version));
    for (const vCardProperty &p : m_properties) {
        QByteArray line = p.encode(version);
        const int zero = line.indexOf('\0');
        if (zero >= 0)
            line.truncate(zero);
        lines.append(line);
    }
    lines.append("END:VCARD");
    QByteArray out;
    for (int i = 0; i < lines.size(); ++i) {
        if (i)
            out += '\n';
        out += lines.at(i);
    }
    return out;
}

bool vCard::writeToFile(const QString &fileName) const
{
    if (!MTools::isSaveTarget(fileName))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray text = encode(Version21);
    if (file.write(text) != text.size()) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    return file.commit();
}

QList<vCard> vCard::decode(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    lines = unfold(lines);

    QList<vCard> cards;
    QList<QByteArray> card; // the open card's lines
    bool open = false;
    for (const QByteArray &raw : qAsConst(lines)) {
        const QByteArray line = withoutItemPrefix(raw).simplified();
        if (line == "END:VCARD") {
            if (open) {
                cards.append(readCard(card));
                card.clear();
                open = false;
            }
        } else if (!open) {
            open = line == "BEGIN:VCARD";
        } else {
            card.append(line);
        }
    }
    return cards;
}

QList<vCard> vCard::readFromFile(const QString &fileName)
{
    // Only a regular file of address-book size is read; anything else reads
    // as no cards.
    QByteArray bytes;
    if (!MTools::readRegularFile(fileName, kMaxFileBytes, &bytes))
        return QList<vCard>();
    // As a text-mode read gives them: every carriage return dropped.
    bytes.resize(int(std::remove(bytes.begin(), bytes.end(), '\r') - bytes.begin()));
    return decode(bytes);
}
