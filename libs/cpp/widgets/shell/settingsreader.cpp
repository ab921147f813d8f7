#include "settingsreader.h"

#include "filehelpers.h"

#include <QRegularExpression>
#include <QTextCodec>
#include <QVector>
#include <QXmlStreamReader>

#include <cstring>

namespace QMWidgets {

namespace {

// Settings files nest a few levels; the document is built and released
// recursively, once per level, so a file nested thousands deep would exhaust
// the stack. A page writes one element with its values: some attributes,
// perhaps a list of child elements. The XML reader compares each attribute of
// an element with all before it, so attributes per element are bounded before
// it reads them; the number of nodes bounds the time and memory that building
// the document takes (some microseconds and 500 bytes a node).
const int MaxDepth = SettingsReader::MaxDepth;
const int MaxAttributes = SettingsReader::MaxAttributes;
const int MaxNodes = SettingsReader::MaxNodes;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

// A line and column of a text, both counted from 1.
struct Place
{
    int line;
    int column;
};

// The place of the character at the offset in the text. Lines end as an XML
// reader ends them, at LF, CR LF or a lone CR; columns count characters (a
// surrogate pair is one).
Place placeOf(const QString &text, int at)
{
    const QChar *chars = text.constData();
    int line = 1;
    int lineStart = 0;
    for (int i = 0; i < at; ++i) {
        if (chars[i] == QLatin1Char('\n') || chars[i] == QLatin1Char('\r')) {
            if (chars[i] == QLatin1Char('\r') && i + 1 < at && chars[i + 1] == QLatin1Char('\n'))
                ++i;
            ++line;
            lineStart = i + 1;
        }
    }
    int column = 1;
    for (int i = lineStart; i < at; ++i) {
        if (!(chars[i].isLowSurrogate() && i > lineStart && chars[i - 1].isHighSurrogate()))
            ++column;
    }
    return {line, column};
}

// The place an XML reader stopped at, given its offset just past the last
// character it read: that character, or the start of the next line when it
// was a line end (the reader itself counts a final CR on the old line until
// it knows no LF follows).
Place readerPlace(const QString &text, int offset)
{
    int at = offset - 1;
    if (at > 0 && text.at(at).isLowSurrogate() && text.at(at - 1).isHighSurrogate())
        --at;
    if (at < 0 || text.at(at) == QLatin1Char('\n') || text.at(at) == QLatin1Char('\r'))
        at = offset;
    return placeOf(text, at);
}

// A piece of the file quoted in a message: at most 40 characters, "..."
// marking a cut, on one line.
QString quoted(const QStringRef &piece)
{
    const int most = 40;
    const QString shown = piece.left(most).toString().simplified();
    return piece.size() > most ? shown + QLatin1String("...") : shown;
}

// The refusal of bytes that are not text in the codec, naming the place of
// the first sequence that is not and its bytes. A decoder is run over the
// bytes in pieces until it fails (or to the end, for text cut inside a
// sequence), then a second one up to just before that piece and byte by byte
// from there, which finds the sequence at the cost of two passes.
QString invalidTextError(QTextCodec *codec, const QByteArray &bytes)
{
    const int piece = 4096;
    int failingPiece = 0;
    QTextDecoder scout(codec);
    while (failingPiece + piece < bytes.size()) {
        scout.toUnicode(bytes.constData() + failingPiece, piece);
        if (scout.hasFailure())
            break;
        failingPiece += piece;
    }
    // A sequence that fails starts at most a few bytes before the byte that
    // tells so; the decoder at the byte-by-byte start is inside a valid one.
    const int bulk = qMax(0, failingPiece - 8);
    QTextDecoder decoder(codec);
    QString decoded = decoder.toUnicode(bytes.constData(), bulk);
    int sequenceStart = bulk;
    int sequenceEnd = bytes.size();
    for (int i = bulk; i < bytes.size(); ++i) {
        if (!decoder.needsMoreData())
            sequenceStart = i;
        const QString more = decoder.toUnicode(bytes.constData() + i, 1);
        if (decoder.hasFailure()) {
            // The byte that tells a sequence is broken may start valid text
            // of its own (a "<" after a cut sequence); then it is not quoted.
            QTextDecoder alone(codec);
            alone.toUnicode(bytes.constData() + i, 1);
            sequenceEnd = i > sequenceStart && !alone.hasFailure() ? i : i + 1;
            break;
        }
        decoded += more;
    }
    const Place place = placeOf(decoded, decoded.size());
    const QByteArray sequence = bytes.mid(sequenceStart, qMin(sequenceEnd - sequenceStart, 8));
    return SettingsReader::tr("Line %1, column %2: the bytes %3 are not valid %4 text.")
        .arg(place.line)
        .arg(place.column)
        .arg(QString::fromLatin1(sequence.toHex(' ').toUpper()), QString::fromLatin1(codec->name()));
}

// A CDATA section of the text that holds a carriage return: its number among
// all CDATA sections of the text (from 0) and its content as written.
struct RawCData
{
    int ordinal;
    QStringRef content;
};

// The text with its line ends as an XML reader passes them on: CR LF and a
// lone CR become LF.
QString normalizedLineEnds(const QStringRef &raw)
{
    QString text = raw.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Files without an XML declaration are read as UTF-8; an older file in
// Latin-1 is not valid UTF-8 and is decoded as Latin-1 instead of being
// loaded with damaged characters. Returns false when the bytes are left to
// the parser as they are.
bool decodeUndeclaredLatin1(const QByteArray &bytes, QString *text)
{
    if (bytes.startsWith("<?xml") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")
        || bytes.contains('\0'))
        return false;
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars == 0 && state.remainingChars == 0)
        return false;
    *text = QString::fromLatin1(bytes);
    return true;
}

// The codec the XML reader takes before any declaration: a byte-order mark
// or the bytes of the first "<" tell UTF-32 or UTF-16; otherwise UTF-8.
QTextCodec *undeclaredCodec(const QByteArray &bytes)
{
    const auto startsWith = [&bytes](const char *prefix, int size) {
        return bytes.size() >= size && std::memcmp(bytes.constData(), prefix, size_t(size)) == 0;
    };
    int mib = 106; // UTF-8
    if (startsWith("\0\0\xFE\xFF", 4) || startsWith("\xFF\xFE\0\0", 4))
        mib = 1017; // UTF-32, byte order from the mark
    else if (startsWith("<\0\0\0", 4))
        mib = 1019; // UTF-32LE
    else if (startsWith("\0\0\0<", 4))
        mib = 1018; // UTF-32BE
    else if (startsWith("\xFE\xFF", 2) || startsWith("\xFF\xFE", 2))
        mib = 1015; // UTF-16, byte order from the mark
    else if (startsWith("<\0", 2))
        mib = 1014; // UTF-16LE
    else if (startsWith("\0<", 2))
        mib = 1013; // UTF-16BE
    return QTextCodec::codecForMib(mib);
}

// The file's text as the XML reader would decode it: in the encoding its
// declaration names, else as undeclaredCodec() and decodeUndeclaredLatin1()
// tell. False with *error set for an unknown encoding or bytes that are not
// text in it.
bool decodeSettingsText(const QByteArray &bytes, QString *text, QString *error)
{
    if (decodeUndeclaredLatin1(bytes, text))
        return true;
    QTextCodec *codec = undeclaredCodec(bytes);
    QString decoded = codec->toUnicode(bytes);
    if (decoded.startsWith(QLatin1String("<?xml"))) {
        const int end = decoded.indexOf(QLatin1String("?>"));
        static const QRegularExpression encoding(
            QStringLiteral("\\sencoding\\s*=\\s*([\"'])([^\"']*)\\1"));
        const QRegularExpressionMatch match = encoding.match(decoded.left(end < 0 ? 0 : end));
        if (match.hasMatch()) {
            const QString name = match.captured(2);
            QTextCodec *declared = QTextCodec::codecForName(name.toLatin1());
            if (!declared) {
                const Place place = placeOf(decoded, match.capturedStart(2));
                setError(error, SettingsReader::tr("Line %1, column %2: the file is written in the "
                                                   "encoding \"%3\", which cannot be read here.")
                                    .arg(place.line)
                                    .arg(place.column)
                                    .arg(quoted(match.capturedRef(2))));
                return false;
            }
            codec = declared;
        }
    }
    QTextCodec::ConverterState state;
    decoded = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0) {
        setError(error, invalidTextError(codec, bytes));
        return false;
    }
    *text = decoded;
    return true;
}

// A look at the raw markup before the XML reader sees it, linear in the
// text: refuses a document type declaration (its entities and attribute
// defaults could put markup into the document that is not in the text) and
// any tag with more than MaxAttributes attributes. Every attribute of a
// well-formed tag has one "=" outside quotes, and no attribute value holds a
// "<", so the "="s counted up to the tag's end (or the next "<") bound its
// attributes. Other faults are left to the reader. The CDATA sections that
// hold a carriage return are noted, in order, in *withCarriageReturns.
bool markupWithinLimits(const QString &text, QVector<RawCData> *withCarriageReturns, QString *error)
{
    int cdataSections = 0;
    const int size = text.size();
    const QChar *chars = text.constData();
    int at = 0;
    const auto skipPast = [&](const QLatin1String &end) {
        const int found = text.indexOf(end, at);
        at = found < 0 ? size : found + end.size();
    };
    while ((at = text.indexOf(QLatin1Char('<'), at)) >= 0) {
        const QStringRef rest = text.midRef(at);
        if (rest.startsWith(QLatin1String("<!--"))) {
            at += 4;
            skipPast(QLatin1String("-->"));
        } else if (rest.startsWith(QLatin1String("<![CDATA["))) {
            at += 9;
            const int start = at;
            skipPast(QLatin1String("]]>"));
            const QStringRef content = text.midRef(start, qMax(0, at - 3 - start));
            if (content.contains(QLatin1Char('\r')))
                withCarriageReturns->append({cdataSections, content});
            ++cdataSections;
        } else if (rest.startsWith(QLatin1String("<?"))) {
            at += 2;
            skipPast(QLatin1String("?>"));
        } else if (rest.startsWith(QLatin1String("<!DOCTYPE"))) {
            const Place place = placeOf(text, at);
            const int close = rest.indexOf(QLatin1Char('>'));
            setError(error, SettingsReader::tr("Line %1, column %2: \"%3\" declares a document type; "
                                               "settings files have none.")
                                .arg(place.line)
                                .arg(place.column)
                                .arg(quoted(close < 0 ? rest : rest.left(close + 1))));
            return false;
        } else if (rest.startsWith(QLatin1String("<!"))) {
            // Any other declaration, or a comment or CDATA section cut short:
            // refused here too, quoting what stands there.
            const Place place = placeOf(text, at);
            setError(error, SettingsReader::tr("Line %1, column %2: \"%3\" is no markup of a "
                                               "settings file.")
                                .arg(place.line)
                                .arg(place.column)
                                .arg(rest.left(12).toString().simplified()));
            return false;
        } else {
            const int tagStart = at;
            int equals = 0;
            QChar quote;
            for (++at; at < size && chars[at] != QLatin1Char('<'); ++at) {
                const QChar c = chars[at];
                if (!quote.isNull()) {
                    if (c == quote)
                        quote = QChar();
                } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                    quote = c;
                } else if (c == QLatin1Char('=')) {
                    ++equals;
                } else if (c == QLatin1Char('>')) {
                    ++at;
                    break;
                }
            }
            if (equals > MaxAttributes) {
                const Place place = placeOf(text, tagStart);
                static const QRegularExpression name(QStringLiteral("^[^\\s/>=]*"));
                setError(error, SettingsReader::tr("Line %1, column %2: the element \"%3\" has %4 "
                                                   "attributes; settings files need at most %5.")
                                    .arg(place.line)
                                    .arg(place.column)
                                    .arg(quoted(name.match(text.midRef(tagStart + 1)).capturedRef()))
                                    .arg(equals)
                                    .arg(MaxAttributes));
                return false;
            }
        }
    }
    return true;
}

// Refuses a surrogate without its other half: it is no character, and no
// encoding can write it.
bool withoutLoneSurrogates(const QString &text, QString *error)
{
    const ushort *units = text.utf16();
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        if ((units[i] & 0xF800) != 0xD800)
            continue;
        if (QChar::isHighSurrogate(units[i]) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
            ++i;
            continue;
        }
        const Place place = placeOf(text, i);
        setError(error, SettingsReader::tr("Line %1, column %2: U+%3 is half of a character whose "
                                           "other half is missing.")
                            .arg(place.line)
                            .arg(place.column)
                            .arg(QString::number(units[i], 16).toUpper()));
        return false;
    }
    return true;
}

// Appends character data to the node, joined to a text node just before it
// so that a text split by the reader stays one node.
void appendText(QDomDocument &document, QDomNode &parent, const QString &text)
{
    QDomNode last = parent.lastChild();
    if (last.isText() && !last.isCDATASection())
        last.toText().appendData(text);
    else
        parent.appendChild(document.createTextNode(text));
}

// Reads the text to its end in one pass of the XML reader, without
// namespace processing, and builds the document from it as the DOM parser
// would: whitespace-only text between elements is left out, CDATA sections,
// comments and processing instructions are kept; CDATA sections keep their
// carriage returns. Any error of the reader,
// nesting deeper than MaxDepth or more than MaxNodes nodes refuses the file:
// false with *error set. A refusal names the place where what it refuses
// starts; an error of the reader, the place where the reader stopped.
bool buildDocument(const QString &withMark, QDomDocument *document, QString *error)
{
    // The reader skips a byte-order mark without counting it; without it its
    // offsets are offsets into the text.
    const QString text = withMark.startsWith(QChar(0xFEFF)) ? withMark.mid(1) : withMark;
    if (!withoutLoneSurrogates(text, error))
        return false;
    QVector<RawCData> withCarriageReturns;
    if (!markupWithinLimits(text, &withCarriageReturns, error))
        return false;
    int cdataSections = 0;
    int nextRaw = 0;
    QXmlStreamReader reader;
    reader.setNamespaceProcessing(false);
    reader.addData(text);
    // A default-constructed document is a null node that takes no children.
    *document = QDomDocument(QString());
    QDomNode current = *document;
    int depth = 0;
    int nodes = 0;
    // Where the text after the last token starts. The reader reports its
    // offset past what it has read, which after a text is the "<" that ends
    // it, and at the start of a document without declaration the first
    // characters of the root.
    int previousEnd = 0;
    QXmlStreamReader::TokenType token = QXmlStreamReader::NoToken;
    // The start of the token just read: a text starts where the last token
    // ended, markup at the first "<" from there (the reader passes over
    // whitespace outside the root without a token).
    const auto tokenStart = [&]() -> Place {
        const bool isText = token == QXmlStreamReader::Characters && !reader.isCDATA();
        const int start = isText ? previousEnd : text.indexOf(QLatin1Char('<'), previousEnd);
        return placeOf(text, start < 0 ? previousEnd : start);
    };
    while (!reader.atEnd()) {
        switch (token = reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            if (++depth > MaxDepth) {
                const Place place = tokenStart();
                setError(error, SettingsReader::tr("Line %1, column %2: the element \"%3\" lies %4 "
                                                   "levels deep; settings files nest at most %5.")
                                    .arg(place.line)
                                    .arg(place.column)
                                    .arg(quoted(reader.qualifiedName()))
                                    .arg(depth)
                                    .arg(MaxDepth));
                return false;
            }
            const QXmlStreamAttributes attributes = reader.attributes();
            nodes += 1 + attributes.size();
            if (nodes > MaxNodes)
                break;
            QDomElement element = document->createElement(reader.qualifiedName().toString());
            for (const QXmlStreamAttribute &attribute : attributes)
                element.setAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            current = current.appendChild(element);
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            current = current.parentNode();
            break;
        case QXmlStreamReader::Characters:
            if (reader.isCDATA()) {
                // The reader passes each CDATA section on whole, with its
                // line ends normalised; one that held a carriage return gets
                // its content as written, which normalises to the same text.
                QString content = reader.text().toString();
                if (nextRaw < withCarriageReturns.size()
                    && withCarriageReturns.at(nextRaw).ordinal == cdataSections) {
                    const QStringRef raw = withCarriageReturns.at(nextRaw++).content;
                    if (normalizedLineEnds(raw) == content)
                        content = raw.toString();
                }
                ++cdataSections;
                // Outside the root the reader refuses a CDATA section.
                if (depth == 0)
                    break;
                ++nodes;
                current.appendChild(document->createCDATASection(content));
                break;
            }
            // Text outside the root is only whitespace; the reader refuses anything else there.
            if (depth == 0)
                break;
            if (!reader.isWhitespace()) {
                ++nodes;
                appendText(*document, current, reader.text().toString());
            }
            break;
        case QXmlStreamReader::Comment:
            ++nodes;
            current.appendChild(document->createComment(reader.text().toString()));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            ++nodes;
            current.appendChild(document->createProcessingInstruction(
                reader.processingInstructionTarget().toString(), reader.processingInstructionData().toString()));
            break;
        case QXmlStreamReader::DTD:
        case QXmlStreamReader::EntityReference: {
            // Neither comes from a text without a document type; never built.
            const Place place = tokenStart();
            setError(error, SettingsReader::tr("Line %1, column %2: a document type or an entity "
                                               "reference; settings files have neither.")
                                .arg(place.line)
                                .arg(place.column));
            return false;
        }
        default:
            break;
        }
        if (nodes > MaxNodes) {
            const Place place = tokenStart();
            setError(error, SettingsReader::tr("Line %1, column %2: the file holds more than %3 "
                                               "elements, attributes, texts, comments and processing "
                                               "instructions up to here; settings files need far fewer.")
                                .arg(place.line)
                                .arg(place.column)
                                .arg(MaxNodes));
            return false;
        }
        const int end = int(reader.characterOffset());
        if (token == QXmlStreamReader::StartDocument && reader.documentVersion().isEmpty())
            previousEnd = 0;
        else if (token == QXmlStreamReader::Characters && !reader.isCDATA() && end > 0
                 && text.at(end - 1) == QLatin1Char('<'))
            previousEnd = end - 1;
        else
            previousEnd = end;
    }
    if (reader.hasError()) {
        const Place place = readerPlace(text, int(reader.characterOffset()));
        setError(error, SettingsReader::tr("Line %1, column %2: %3")
                            .arg(place.line)
                            .arg(place.column)
                            .arg(reader.errorString()));
        return false;
    }
    return true;
}

} // namespace

bool SettingsReader::readFile(const QString &fileName, QDomDocument *document, QString *error)
{
    QByteArray bytes;
    if (!MTools::readRegularFile(fileName, MaxFileSize, &bytes, error))
        return false;
    return readBytes(bytes, document, error);
}

bool SettingsReader::readBytes(const QByteArray &bytes, QDomDocument *document, QString *error)
{
    QString text;
    if (!decodeSettingsText(bytes, &text, error))
        return false;
    return readText(text, document, error);
}

bool SettingsReader::readText(const QString &text, QDomDocument *document, QString *error)
{
    return buildDocument(text, document, error);
}

} // namespace QMWidgets
