#include "settingsreader.h"
#include "testmain.h"

#include <QDomDocument>
#include <QTextCodec>

using QMWidgets::SettingsReader;

namespace {

// A settings file whose page "Alpha" holds the markup.
QByteArray page(const QByteArray &inner, const QByteArray &attributes = " value=\"v\"")
{
    return "<Settings><Alpha" + attributes + ">" + inner + "</Alpha></Settings>";
}

// Elements nested to the given depth, the root counted.
QByteArray nested(int depth)
{
    const int inner = depth - 2;
    return page(QByteArray("<a>").repeated(inner) + QByteArray("</a>").repeated(inner));
}

// An element "Alpha" with the given number of attributes.
QByteArray withAttributes(int count)
{
    QByteArray attributes;
    for (int i = 0; i < count; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"\"";
    return page(QByteArray(), attributes);
}

// A file of exactly the given number of nodes, most of them attributes:
// the root, "Alpha" and its attribute, then elements with one attribute
// each (two nodes) and a bare element for an odd remainder.
QByteArray withNodes(int count)
{
    const int rest = count - 3;
    return page(QByteArray("<a b=\"\"/>").repeated(rest / 2) + QByteArray("<a/>").repeated(rest % 2));
}

// The text in the codec, without a byte-order mark unless the text starts
// with one. UTF-32 is written here: Qt's encoder adds a mark and a null.
QByteArray encoded(const char *codec, const QString &text)
{
    const QByteArray name(codec);
    if (!name.startsWith("UTF-32"))
        return QTextCodec::codecForName(codec)->fromUnicode(text);
    QByteArray bytes;
    for (const uint c : text.toUcs4()) {
        const char b[4] = {char(c >> 24), char(c >> 16), char(c >> 8), char(c)};
        for (int i = 0; i < 4; ++i)
            bytes += name.endsWith("BE") ? b[i] : b[3 - i];
    }
    return bytes;
}

} // namespace

class TestSettingsReader : public QObject
{
    Q_OBJECT

private slots:
    // Each limit at its value and one past it, and each refusal with its message.
    void limitsAndRefusals_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error"); // empty when the file is read
        const QString nodes = "Line 1, column %1: the file holds more than 50000 elements, attributes, texts, "
                              "comments and processing instructions up to here; settings files need far fewer.";
        QTest::newRow("nested 256 levels") << nested(256) << QString();
        QTest::newRow("nested 257 levels")
            << nested(257) << "Line 1, column 790: the element \"a\" lies 257 levels deep; settings files "
                              "nest at most 256.";
        QTest::newRow("256 attributes") << withAttributes(256) << QString();
        QTest::newRow("257 attributes")
            << withAttributes(257) << "Line 1, column 11: the element \"Alpha\" has 257 attributes; settings "
                                      "files need at most 256.";
        QTest::newRow("50000 nodes, half of them attributes") << withNodes(50000) << QString();
        QTest::newRow("50001 nodes, half of them attributes") << withNodes(50001) << nodes.arg(225010);
        QTest::newRow("50001 nodes in comments")
            << page(QByteArray("<!--c-->").repeated(49998)) << nodes.arg(400004);
        QTest::newRow("50001 nodes in processing instructions")
            << page(QByteArray("<?p?>").repeated(49998)) << nodes.arg(250013);
        QTest::newRow("a document type")
            << QByteArray("<Settings/>\n<!DOCTYPE Settings>") << "Line 2, column 1: \"<!DOCTYPE Settings>\" declares a "
                                                     "document type; settings files have none.";
        QTest::newRow("a CDATA section cut short") << page("<![CD")
                                                   << "Line 1, column 28: \"<![CD</Alpha\" is no markup of a "
                                                      "settings file.";
        QTest::newRow("an entity declaration") << QByteArray("<Settings>\n  <!ENTITY x \"y\">\n</Settings>")
                                               << "Line 2, column 3: \"<!ENTITY x \"\" is no markup of a "
                                                  "settings file.";
        QTest::newRow("an unknown encoding")
            << "<?xml version=\"1.0\"\n      encoding=\"x-none\"?>" + page("")
            << "Line 2, column 17: the file is written in the encoding \"x-none\", which cannot be read here.";
        QTest::newRow("declared UTF-8 that is not")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + page("\xFF")
            << "Line 1, column 66: the bytes FF are not valid UTF-8 text.";
        QTest::newRow("a UTF-8 sequence cut by a tag")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + page("\xC3\xA4\xE2\x82<")
            << "Line 2, column 29: the bytes E2 82 are not valid UTF-8 text.";
        QTest::newRow("a UTF-8 sequence cut by the end")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + page("") + "\n\xF0\x9F"
            << "Line 2, column 1: the bytes F0 9F are not valid UTF-8 text.";
        const QString half(QChar(0xD834));
        QTest::newRow("UTF-16 with half a surrogate pair")
            << encoded("UTF-16LE", QChar(0xFEFF) + QString::fromLatin1(page("a")).replace("a<", "a" + half + "<"))
            << "Line 1, column 29: U+D834 is half of a character whose other half is missing.";
        QTest::newRow("a broken tag") << QByteArray("<Settings>\n<Alpha value=\"x\"\n</Settings>")
                                      << "Line 3, column 1: Expected '>' or '/', but got '<'.";
        QTest::newRow("an undeclared entity") << page("&nosuch;")
                                              << "Line 1, column 35: Entity 'nosuch' not declared.";
        QTest::newRow("truncated") << QByteArray("<Settings><Alpha/>")
                                   << "Line 1, column 18: Premature end of document.";
    }
    void limitsAndRefusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        // act
        QDomDocument document;
        QString reported;
        const bool read = SettingsReader::readBytes(content, &document, &reported);
        // assert
        QCOMPARE(reported, error);
        QCOMPARE(read, error.isEmpty());
        if (read)
            QCOMPARE(document.documentElement().firstChildElement().tagName(), QStringLiteral("Alpha"));
    }

    // Each refusal names the line and column where what it refuses starts
    // (for the XML reader's own errors, the character it stopped at), the
    // same whether lines end in LF, CR LF or CR; columns count characters,
    // so the "𝄞" before each is one column.
    void refusalsPointAtTheirStart_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("error");
        const QByteArray clef = "\xF0\x9D\x84\x9E";
        const QByteArray longName = QByteArray("Abcdefghij").repeated(4) + "K";
        QByteArray attributes;
        for (int i = 0; i < 257; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"\"";
        const QString nodes = "Line 3, column %1: the file holds more than 50000 elements, attributes, texts, "
                              "comments and processing instructions up to here; settings files need far fewer.";
        const struct
        {
            const char *name;
            QByteArray content; // lines end in LF
            QString error;
        } rows[] = {
            {"attributes, a 41-character name cut at 40",
             "<Settings>\n<Alpha/>\n " + clef + "<" + longName + attributes + "/>\n</Settings>",
             "Line 3, column 3: the element \"" + QString::fromLatin1(longName.left(40))
                 + "...\" has 257 attributes; settings files need at most 256."},
            {"a document type", "<Settings/>\n\n<!--" + clef + "--><!DOCTYPE Settings>",
             "Line 3, column 9: \"<!DOCTYPE Settings>\" declares a document type; settings files have none."},
            {"an unknown encoding", "<?xml version=\"1.0\"\n\n encoding=\"x-none\"?>" + page(""),
             "Line 3, column 12: the file is written in the encoding \"x-none\", which cannot be read here."},
            {"a bad byte before a tag",
             "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Settings>\n<Alpha>" + clef + "\xE9</Alpha></Settings>",
             "Line 3, column 9: the bytes E9 are not valid UTF-8 text."},
            {"too deep", "<Settings>\n<Alpha>" + QByteArray("<a>").repeated(254) + "\n" + clef + "<b/>",
             "Line 3, column 2: the element \"b\" lies 257 levels deep; settings files nest at most 256."},
            {"too many nodes at a comment after a text",
             "<Settings>\n" + QByteArray("<!--c-->").repeated(49998) + "\n" + clef + "<!--x-->", nodes.arg(2)},
            {"too many nodes at a text",
             "<Settings>\n" + QByteArray("<!--c-->").repeated(49998) + "\n<!--y-->" + clef + "text</Settings>",
             nodes.arg(9)},
            {"an error of the reader", "<Settings>\n<Alpha>\n" + clef + "&nosuch;</Alpha></Settings>",
             "Line 3, column 9: Entity 'nosuch' not declared."},
            {"an end after a line end", "<Settings>\n<Alpha/>\n", "Line 3, column 1: Premature end of document."},
        };
        const char *const lineEnds[][2] = {{"LF", "\n"}, {"CR LF", "\r\n"}, {"CR", "\r"}};
        for (const auto &row : rows) {
            for (const auto &lineEnd : lineEnds) {
                QTest::addRow("%s, %s", row.name, lineEnd[0])
                    << QByteArray(row.content).replace("\n", lineEnd[1]) << row.error;
            }
        }
    }
    void refusalsPointAtTheirStart()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, error);
        // act
        QDomDocument document;
        QString reported;
        const bool read = SettingsReader::readBytes(content, &document, &reported);
        // assert
        QVERIFY(!read);
        QCOMPARE(reported, error);
    }

    // Every encoding form the reader tells from the first bytes or the declaration.
    void encodings_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("value");
        const QString text = QString::fromUtf8("<Settings><Alpha value=\"Grüße ✓ 𝄞\"/></Settings>");
        const QString value = QString::fromUtf8("Grüße ✓ 𝄞");
        const QString declared = "<?xml version=\"1.0\" encoding=\"%1\"?>" + text;
        QTest::newRow("UTF-8") << text.toUtf8() << value;
        QTest::newRow("UTF-8 with a byte-order mark") << encoded("UTF-8", QChar(0xFEFF) + text) << value;
        QTest::newRow("UTF-8 declared") << declared.arg("UTF-8").toUtf8() << value;
        QTest::newRow("UTF-16LE with a mark") << encoded("UTF-16LE", QChar(0xFEFF) + text) << value;
        QTest::newRow("UTF-16BE with a mark") << encoded("UTF-16BE", QChar(0xFEFF) + text) << value;
        QTest::newRow("UTF-16LE without a mark") << encoded("UTF-16LE", text) << value;
        QTest::newRow("UTF-16BE without a mark") << encoded("UTF-16BE", text) << value;
        QTest::newRow("UTF-16 declared, with a mark")
            << encoded("UTF-16LE", QChar(0xFEFF) + declared.arg("UTF-16")) << value;
        QTest::newRow("UTF-32LE with a mark") << encoded("UTF-32LE", QChar(0xFEFF) + text) << value;
        QTest::newRow("UTF-32BE with a mark") << encoded("UTF-32BE", QChar(0xFEFF) + text) << value;
        QTest::newRow("UTF-32LE without a mark") << encoded("UTF-32LE", text) << value;
        QTest::newRow("UTF-32BE without a mark") << encoded("UTF-32BE", text) << value;
        const QString latin = QString::fromUtf8("<Settings><Alpha value=\"Grüße ©\"/></Settings>");
        QTest::newRow("Latin-1 declared")
            << ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + latin).toLatin1()
            << QString::fromUtf8("Grüße ©");
        QTest::newRow("Latin-1 without a declaration") << latin.toLatin1() << QString::fromUtf8("Grüße ©");
    }
    void encodings()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, value);
        QDomDocument document;
        QString error;
        QVERIFY2(SettingsReader::readBytes(content, &document, &error), qPrintable(error));
        QCOMPARE(document.documentElement().firstChildElement("Alpha").attribute("value"), value);
    }

    // Values come back as written: carriage returns in CDATA sections (as
    // earlier writers stored them, in every encoding form) and character
    // references; line ends elsewhere are normalised as XML demands.
    void valuesComeBackAsWritten_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("text"); // the text of "Alpha"
        QTest::addColumn<QString>("value"); // its attribute "value"
        QTest::newRow("CR LF in CDATA") << page("<![CDATA[a\r\nb]]>") << "a\r\nb" << "v";
        QTest::newRow("lone CRs in CDATA") << page("<![CDATA[\ra\r\rb\r]]>") << "\ra\r\rb\r" << "v";
        QTest::newRow("CR LF in the second of three CDATA sections")
            << page("<![CDATA[x]]><!--<![CDATA[\r]]>--><![CDATA[a\r\nb]]><![CDATA[\n]]>") << "xa\r\nb\n" << "v";
        QTest::newRow("a CDATA start inside CDATA") << page("<![CDATA[<![CDATA[\r]]>") << "<![CDATA[\r" << "v";
        QTest::newRow("CDATA with CR LF in UTF-16LE")
            << encoded("UTF-16LE", QChar(0xFEFF) + QString::fromLatin1(page("<![CDATA[a\r\nb]]>")))
            << "a\r\nb" << "v";
        QTest::newRow("CDATA with CR LF in UTF-32BE")
            << encoded("UTF-32BE", QString::fromLatin1(page("<![CDATA[a\r\nb]]>"))) << "a\r\nb" << "v";
        QTest::newRow("CDATA with CR in declared Latin-1")
            << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + page("<![CDATA[\xFC\r\xFC]]>")
            << QString::fromUtf8("ü\rü") << "v";
        QTest::newRow("references in text and attribute")
            << page("a&#xd;&#13;b&#xa;", " value=\"&#xd;&#xa;&#x9;x\"") << "a\r\rb\n" << "\r\n\tx";
        QTest::newRow("raw CR LF in text") << page("a\r\nb") << "a\nb" << "v";
        QTest::newRow("raw CR LF in an attribute") << page("", " value=\"a\r\nb\"") << "" << "a b";
    }
    void valuesComeBackAsWritten()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, text);
        QFETCH(QString, value);
        QDomDocument document;
        QString error;
        QVERIFY2(SettingsReader::readBytes(content, &document, &error), qPrintable(error));
        const QDomElement alpha = document.documentElement().firstChildElement("Alpha");
        QCOMPARE(alpha.text(), text);
        QCOMPARE(alpha.attribute("value"), value);
    }
};

GLYPH_TEST_MAIN(TestSettingsReader)
#include "tst_settingsreader.moc"
