#include "testmain.h"
#include "textcodecs.h"

#include <QRegExp>

class TestCodecs : public QObject
{
    Q_OBJECT

private slots:
    void encodesRfc4648Vectors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        // RFC 4648, section 10.
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("f") << QByteArray("f") << "Zg==";
        QTest::newRow("fo") << QByteArray("fo") << "Zm8=";
        QTest::newRow("foo") << QByteArray("foo") << "Zm9v";
        QTest::newRow("foob") << QByteArray("foob") << "Zm9vYg==";
        QTest::newRow("fooba") << QByteArray("fooba") << "Zm9vYmE=";
        QTest::newRow("foobar") << QByteArray("foobar") << "Zm9vYmFy";
        // The last two alphabet characters and a zero byte.
        QTest::newRow("plus-slash") << QByteArray::fromHex("00fbff") << "APv/";
        QTest::newRow("high bytes") << QByteArray::fromHex("fffefd") << "//79";
    }
    void encodesRfc4648Vectors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(MTools::toBase64String(bytes), text);
    }

    // The same vectors decode back to their bytes.
    void decodesRfc4648Vectors_data() { encodesRfc4648Vectors_data(); }
    void decodesRfc4648Vectors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(MTools::fromBase64String(text), bytes);
    }

    void encodesLongBufferOnOneLine()
    {
        // arrange
        QByteArray bytes(100000, Qt::Uninitialized);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char((i * 7 + 3) & 0xFF);
        // act
        const QString text = MTools::toBase64String(bytes);
        // assert
        QCOMPARE(text.size(), 133336);
        QVERIFY(!text.contains(QLatin1Char('\n')));
        QVERIFY(!text.contains(QLatin1Char('\r')));
        QVERIFY(text.endsWith(QLatin1String("=="))); // 100000 = 3 * 33333 + 1
        QCOMPARE(MTools::fromBase64String(text), bytes);
    }

    void decodingSkipsCharactersOutsideAlphabet_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("line breaks") << "Zm9v\nYmFy\r\n" << QByteArray("foobar");
        QTest::newRow("blanks and tabs") << " Zm 9v\tYm Fy " << QByteArray("foobar");
        QTest::newRow("missing padding") << "Zm9vYg" << QByteArray("foob");
        QTest::newRow("stray = in the middle") << "Zm9v=YmFy" << QByteArray("foobar");
        QTest::newRow("padding then more") << "Zg==Zm8=" << QByteArray::fromHex("660666"); // bits keep flowing across "="
        QTest::newRow("url-safe chars skipped") << "Zm-9v_YmFy" << QByteArray("foobar");
        QTest::newRow("non-latin1 skipped") << QString::fromUtf8("Zm9v€YmFy") << QByteArray("foobar");
        QTest::newRow("latin1 letters skipped") << QString::fromUtf8("Zm9vÄYmFy") << QByteArray("foobar");
        QTest::newRow("left-over bits dropped") << "Zm9vY" << QByteArray("foo");
        QTest::newRow("only junk") << "=-_ ?\n" << QByteArray();
    }
    void decodingSkipsCharactersOutsideAlphabet()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(MTools::fromBase64String(text), bytes);
    }

    void base64ToStringReadsUtf8UpToFirstZero_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QByteArray("https://example.invalid/x") << "https://example.invalid/x";
        QTest::newRow("utf-8") << QString::fromUtf8("Grüße €").toUtf8() << QString::fromUtf8("Grüße €");
        QTest::newRow("zero ends text") << QByteArray("abc\0def", 7) << "abc";
        QTest::newRow("leading zero") << QByteArray("\0abc", 4) << QString();
        QTest::newRow("empty") << QByteArray() << QString();
    }
    void base64ToStringReadsUtf8UpToFirstZero()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(MTools::base64ToString(MTools::toBase64String(bytes)), text);
    }

    void utf16BeBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("e acute") << QString(QChar(0x00E9)) << QByteArray::fromHex("00e9");
        QTest::newRow("ascii") << "Ab" << QByteArray::fromHex("00410062");
        QTest::newRow("high unit") << QString(QChar(0x20AC)) << QByteArray::fromHex("20ac");
        QTest::newRow("zero unit") << QString(QChar(0)) << QByteArray::fromHex("0000");
        // U+1F600 as its surrogate pair, no byte-order mark.
        QTest::newRow("surrogates") << QString::fromUcs4(U"\U0001F600") << QByteArray::fromHex("d83dde00");
    }
    void utf16BeBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(MTools::utf16BeBytes(text), bytes);
        QCOMPARE(MTools::fromUtf16BeBytes(bytes), text);
    }

    void fromUtf16BeBytesKeepsOddByteAndMark()
    {
        // An odd last byte becomes a unit with a zero low byte.
        const QString odd = MTools::fromUtf16BeBytes(QByteArray::fromHex("004142"));
        QCOMPARE(odd.size(), 2);
        QCOMPARE(odd.at(0).unicode(), ushort(0x0041));
        QCOMPARE(odd.at(1).unicode(), ushort(0x4200));
        // A byte-order mark is data, not a marker; a lone surrogate passes unchecked.
        const QString marked = MTools::fromUtf16BeBytes(QByteArray::fromHex("feff0041d800"));
        QCOMPARE(marked.size(), 3);
        QCOMPARE(marked.at(0).unicode(), ushort(0xFEFF));
        QCOMPARE(marked.at(2).unicode(), ushort(0xD800));
    }

    void latin1AndUtf16WrappersUseTheirBytes()
    {
        QCOMPARE(MTools::stringToBase64(QString::fromUtf8("é")), QStringLiteral("6Q=="));
        QCOMPARE(MTools::toBase64Utf16(QStringLiteral("A")), QStringLiteral("AEE="));
        const QString text = QString::fromUtf8("Hä€ ") + QString::fromUcs4(U"\U0001F600");
        const QString encoded = MTools::toBase64Utf16(text);
        QCOMPARE(MTools::fromBase64String(encoded), MTools::utf16BeBytes(text));
        QCOMPARE(MTools::fromBase64Utf16(encoded), text);
    }

    void latin1BufferMapsEveryByte()
    {
        unsigned char all[256];
        for (int i = 0; i < 256; ++i)
            all[i] = static_cast<unsigned char>(i);
        const QString text = MTools::latin1BytesToString(all, 256);
        QCOMPARE(text.size(), 256);
        for (int i = 0; i < 256; ++i)
            QCOMPARE(text.at(i).unicode(), ushort(i));

        const unsigned char zeros[3] = {'a', 0, 'b'};
        QCOMPARE(MTools::latin1BytesToString(zeros, 3), QString(QLatin1Char('a')) + QChar(0) + QLatin1Char('b'));
        QVERIFY(MTools::latin1BytesToString(all, 0).isEmpty());
        QVERIFY(MTools::latin1BytesToString(all, -5).isEmpty());
        QVERIFY(MTools::latin1BytesToString(nullptr, 10).isEmpty());
    }

    void emailPatternIsTheFixedText()
    {
        const QRegExp re = MTools::emailRegExp();
        QCOMPARE(re.pattern(),
                 QStringLiteral("([a-zA-Z0-9_\\-\\.]+)@([a-zA-Z0-9_.-])+\\.([a-zA-Z]{2,4}|[0-9]{1,3})"));
        QCOMPARE(re.pattern().size(), 65);
        QCOMPARE(re.caseSensitivity(), Qt::CaseSensitive);
        QCOMPARE(re.patternSyntax(), QRegExp::RegExp);
        QVERIFY(re.isValid());
    }

    void emailPatternExactMatch_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("plain") << "john.doe@example.com" << true;
        QTest::newRow("two letters") << "a@b.de" << true;
        QTest::newRow("four letters") << "x_y-z@mail.server.info" << true;
        QTest::newRow("upper case") << "JOHN@EXAMPLE.COM" << true;
        QTest::newRow("dotted digits") << "root@192.168.1.100" << true;
        QTest::newRow("one digit last") << "root@10.0.0.1" << true;
        QTest::newRow("one letter last") << "a@b.c" << false;
        QTest::newRow("five letters last") << "a@b.abcde" << false;
        QTest::newRow("six letters last") << "a@b.museum" << false;
        QTest::newRow("four digits last") << "root@1.2.3.1234" << false;
        QTest::newRow("mixed last label") << "a@b.c1" << false;
        QTest::newRow("blank inside") << "jo hn@example.com" << false;
        QTest::newRow("trailing blank") << "john@example.com " << false;
        QTest::newRow("two at") << "a@b@example.com" << false;
        QTest::newRow("nothing before at") << "@example.com" << false;
        QTest::newRow("nothing between at and dot") << "a@.com" << false;
        QTest::newRow("no dot") << "a@example" << false;
        QTest::newRow("inside other text") << "mail a@b.de now" << false;
        QTest::newRow("empty") << "" << false;
    }
    void emailPatternExactMatch()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QRegExp re = MTools::emailRegExp();
        QCOMPARE(re.exactMatch(text), accepted);
    }
};

GLYPH_TEST_MAIN(TestCodecs)
#include "tst_codecs.moc"
