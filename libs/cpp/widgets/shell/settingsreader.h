#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDomDocument>
#include <QString>

namespace QMWidgets {

// Reads settings files (XML) into a document at a bounded cost. The text is
// read to its end in one pass before the document is handed out; a document
// type, nesting deeper than MaxDepth, a tag with more than MaxAttributes
// attributes or more than MaxNodes elements, attributes, texts, CDATA
// sections, comments and processing instructions refuse it, and so does a
// surrogate without its other half. Carriage returns inside CDATA sections
// are kept as written. Each function returns false with *error set (when
// given) on refusal; *document is then unspecified. The error starts with
// "Line L, column C: ", the start of what is refused (for an error of the XML
// reader, the character it stopped at); lines end at LF, CR LF or CR,
// columns count characters from 1.
class SettingsReader
{
    Q_DECLARE_TR_FUNCTIONS(QMWidgets::SettingsReader)

public:
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
    static constexpr int MaxDepth = 256;
    static constexpr int MaxAttributes = 256;
    static constexpr int MaxNodes = 50000;

    // Reads a regular file of at most MaxFileSize bytes.
    static bool readFile(const QString &fileName, QDomDocument *document, QString *error = nullptr);
    // Decodes the bytes, then reads them: in the encoding a byte-order mark or
    // the declaration names; without either as UTF-8, or as Latin-1 when the
    // bytes are not valid UTF-8.
    static bool readBytes(const QByteArray &bytes, QDomDocument *document, QString *error = nullptr);
    // Reads decoded text; an encoding named in its declaration is not used.
    static bool readText(const QString &text, QDomDocument *document, QString *error = nullptr);
};

} // namespace QMWidgets
