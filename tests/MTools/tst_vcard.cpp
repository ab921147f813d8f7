#include "fifo.h"
#include "fifowatch.h"
#include "testmain.h"
#include "vcard.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>
#include <sys/stat.h>

Q_DECLARE_METATYPE(vCardParam)

namespace {

vCardParam type(const QString &v) { return vCardParam(v, vCardParam::Type); }

} // namespace

class TestVCard : public QObject
{
    Q_OBJECT

private slots:
    void encodesParameters_data()
    {
        QTest::addColumn<QList<vCardParam>>("params");
        QTest::addColumn<QByteArray>("v21");
        QTest::addColumn<QByteArray>("v30");
        QTest::newRow("type") << QList<vCardParam>{type("home")} << QByteArray("HOME") << QByteArray("TYPE=HOME");
        QTest::newRow("charset") << QList<vCardParam>{vCardParam("utf-8", vCardParam::Charset)}
                                 << QByteArray("CHARSET=UTF-8") << QByteArray("CHARSET=UTF-8");
        QTest::newRow("types gathered in front")
            << QList<vCardParam>{type("home"), vCardParam("b", vCardParam::Encoding), type("work")}
            << QByteArray("HOME;ENCODING=B;WORK") << QByteArray("TYPE=HOME,WORK;ENCODING=B");
        QTest::newRow("order rest charset encoding")
            << QList<vCardParam>{vCardParam("b", vCardParam::Encoding), vCardParam("x", vCardParam::Charset),
                                 vCardParam("pref", vCardParam::Undefined)}
            << QByteArray("ENCODING=B;CHARSET=X;PREF") << QByteArray("PREF;CHARSET=X;ENCODING=B");
        QTest::newRow("utf-8 survives upper-casing")
            << QList<vCardParam>{vCardParam(QString::fromUtf8("中a"), vCardParam::Undefined)}
            << QString::fromUtf8("中A").toUtf8() << QString::fromUtf8("中A").toUtf8();
    }
    void encodesParameters()
    {
        QFETCH(QList<vCardParam>, params);
        QFETCH(QByteArray, v21);
        QFETCH(QByteArray, v30);
        QCOMPARE(vCardParam::encodeList(params, Version21), v21);
        QCOMPARE(vCardParam::encodeList(params, Version30), v30);
    }

    void unknownVersionWritesNothing()
    {
        const vCardProperty tel("tel", QString("123"), QList<vCardParam>{type("home")});
        const vCard card(QList<vCardProperty>{tel});
        QVERIFY(card.encode(2).isEmpty());
        QVERIFY(tel.encode(2).isEmpty());
        QVERIFY(type("home").encode(2).isEmpty());
        QVERIFY(vCardParam::encodeList(tel.params(), -1).isEmpty());
    }

    void writesBothVersions()
    {
        // arrange
        vCard card;
        card.appendProperty(vCardProperty("tel", QString("123"), QList<vCardParam>{type("home")}));
        card.appendProperty(vCardProperty::makeName("Ann", "Lee"));
        // act
        const QByteArray v21 = card.encode(Version21);
        const QByteArray v30 = card.encode(Version30);
        // assert
        QCOMPARE(v21, QByteArray("BEGIN:VCARD\nVERSION:2.1\nTEL;HOME:123\nN:Lee;Ann;;;\nEND:VCARD"));
        QCOMPARE(v30, QByteArray("BEGIN:VCARD\nVERSION:3.0\nTEL;TYPE=HOME:123\nN:Lee;Ann;;;\nEND:VCARD"));
        QCOMPARE(vCard().encode(Version21), QByteArray("BEGIN:VCARD\nVERSION:2.1\nEND:VCARD"));
        QVERIFY(!vCard().isValid());
        QVERIFY(card.isValid());
    }

    void builders()
    {
        QCOMPARE(vCardProperty::makeBirthday(QDateTime(QDate(1990, 2, 3), QTime(17, 4, 5))).value(),
                 QString("1990-02-03T17:04:05Z"));
        QCOMPARE(vCardProperty::makeBirthday(QDate(1990, 2, 3)).values(), QStringList{"1990-02-03"});
        QCOMPARE(vCardProperty::makeAddress("Main St 1", "Town", "Reg", "123", "Land", "PO 9", "Apt 2").values(),
                 (QStringList{"PO 9", "Apt 2", "Main St 1", "Town", "Reg", "123", "Land"}));
        QCOMPARE(vCardProperty::makeOrganization("Org", {"Dev", "QA"}).value(), QString("Org;Dev;QA"));
        QCOMPARE(vCardProperty::makeGeoPosition(59.9138889, -10.75).values(), (QStringList{"59.9139", "-10.75"}));
        QCOMPARE(vCardProperty("NOTE", QString("a;b;")).values(), (QStringList{"a", "b", ""}));
    }

    void validityAndEquality()
    {
        QVERIFY(!vCardProperty("", QString("x")).isValid());
        QVERIFY(vCardProperty("X", QString("")).isValid());
        QVERIFY(!vCardProperty("X", QStringList()).isValid());
        QVERIFY(!vCardProperty("X", QString("v"), QList<vCardParam>{type("")}).isValid());
        QVERIFY(vCardProperty("TEL", QString("1"), QList<vCardParam>{type("a")})
                == vCardProperty("TEL", QString("1"), QList<vCardParam>{type("b")}));
        QVERIFY(type("home") != type("HOME"));
    }

    void lookUps()
    {
        const QList<vCardParam> wanted{type("home"), type("voice")};
        vCard card;
        card.appendProperty(vCardProperty("TEL", QString("1"), QList<vCardParam>{type("work")}));
        card.appendProperty(vCardProperty("TEL", QString("2"), QList<vCardParam>{type("voice"), type("home")}));
        card.appendProperty(vCardProperty("TEL", QString("3"), wanted));

        QCOMPARE(card.findProperty("TEL", wanted, true).value(), QString("3"));
        QCOMPARE(card.findProperty("TEL", wanted, false).value(), QString("1"));
        QVERIFY(!card.hasProperty("TEL", QList<vCardParam>{type("fax")}, true));
        QVERIFY(!card.hasProperty("tel"));
        QVERIFY(!card.findProperty("EMAIL").isValid());
        QVERIFY(card.hasEqualProperty(vCardProperty("TEL", QString("2"))));
        QVERIFY(!card.hasEqualProperty(vCardProperty("TEL", QString("4"))));
    }

    void readsCards()
    {
        const QByteArray text = "BEGIN:VCARD\nVERSION:3.0\nFN:Ann\nEND:VCARD\n"
                                "BEGIN:VCARD\nFN:Bob\nNOTE:meet at  10:30\r\nEND:VCARD\n"
                                "BEGIN:VCARD\nFN:Cut off\n";

        const QList<vCard> cards = vCard::decode(text);

        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards.at(0).propertyCount(), 1);
        QCOMPARE(cards.at(0).properties().at(0), vCardProperty("FN", QString("Ann")));
        QCOMPARE(cards.at(1).propertyCount(), 2);
        QCOMPARE(cards.at(1).findProperty("NOTE").values(), QStringList{"meet at 10:30"});
    }

    void readsParametersAndGroups()
    {
        const QList<vCard> cards = vCard::decode(
            "BEGIN:VCARD\nTEL;TYPE=home,work;PREF:123\nitem2.NOTE;TYPE=WORK:x\nitemA.X:1\nEND:VCARD");

        QCOMPARE(cards.size(), 1);
        const QList<vCardProperty> props = cards.at(0).properties();
        QCOMPARE(props.size(), 3);
        QCOMPARE(props.at(0).params(),
                 (QList<vCardParam>{type("home"), type("work"), vCardParam("PREF", vCardParam::Undefined)}));
        QCOMPARE(props.at(1).name(), QString("NOTE"));
        QCOMPARE(props.at(1).params(), QList<vCardParam>{type("WORK")});
        QCOMPARE(props.at(2).name(), QString("itemA.X"));
    }

    void unfoldsFoldedLines()
    {
        // arrange: a folded photo, a second photo right after it, and a folded note
        const QByteArray text = "BEGIN:VCARD\n"
                                "PHOTO;ENCODING=b:AAA\n BBB\n   CCC\n"
                                "PHOTO;ENCODING=b:DDD\n EEE\n"
                                "NOTE:split \n here\r\n"
                                "END:VCARD";
        // act
        const QList<vCard> cards = vCard::decode(text);
        // assert
        QCOMPARE(cards.size(), 1);
        const QList<vCardProperty> props = cards.at(0).properties();
        QCOMPARE(props.size(), 3);
        QCOMPARE(props.at(0).value(), QString("AAABBBCCC"));
        QCOMPARE(props.at(0).params(), QList<vCardParam>{vCardParam("b", vCardParam::Encoding)});
        QCOMPARE(props.at(1).value(), QString("DDDEEE"));
        QCOMPARE(props.at(2).value(), QString("split here"));
    }

    void escapedValuesRoundTrip_data()
    {
        QTest::addColumn<QStringList>("values");
        QTest::newRow("semicolon") << QStringList{"a;b", "c"};
        QTest::newRow("line break") << QStringList{"line1\nEND:VCARD\nBEGIN:VCARD"};
        QTest::newRow("backslash") << QStringList{"C:\\dir\\n", "\\"};
        QTest::newRow("colon and comma") << QStringList{"10:30, later"};
    }
    void escapedValuesRoundTrip()
    {
        QFETCH(QStringList, values);
        vCard card;
        card.appendProperty(vCardProperty("NOTE", values));
        card.appendProperty(vCardProperty("FN", QString("After")));

        const QList<vCard> back = vCard::decode(card.encode(Version30));
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.at(0).properties(), card.properties());
    }

    // 2.1 lines carry values as they are (a line break becomes a blank); 3.0
    // escapes them. Each reads back as it was written.
    void eachVersionKeepsItsValueForm_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QStringList>("readBack");
        QTest::newRow("2.1 backslashes") << int(Version21) << QStringList{"C:\\new\\table"}
                                         << QByteArray("NOTE:C:\\new\\table") << QStringList{"C:\\new\\table"};
        QTest::newRow("2.1 values") << int(Version21) << QStringList{"a", "b\\"}
                                    << QByteArray("NOTE:a;b\\") << QStringList{"a", "b\\"};
        QTest::newRow("2.1 line break") << int(Version21) << QStringList{"two\r\nlines\nEND:VCARD"}
                                        << QByteArray("NOTE:two lines END:VCARD")
                                        << QStringList{"two lines END:VCARD"};
        QTest::newRow("3.0 backslashes") << int(Version30) << QStringList{"C:\\new\\table"}
                                         << QByteArray("NOTE:C:\\\\new\\\\table") << QStringList{"C:\\new\\table"};
        QTest::newRow("3.0 line break") << int(Version30) << QStringList{"a;b\nc", "d"}
                                        << QByteArray("NOTE:a\\;b\\nc;d") << QStringList{"a;b\nc", "d"};
    }
    void eachVersionKeepsItsValueForm()
    {
        // arrange
        QFETCH(int, version);
        QFETCH(QStringList, values);
        QFETCH(QByteArray, line);
        QFETCH(QStringList, readBack);
        vCard card;
        card.appendProperty(vCardProperty("NOTE", values));
        card.appendProperty(vCardProperty("FN", QString("After")));
        // act
        const QByteArray text = card.encode(version);
        const QList<vCard> back = vCard::decode(text);
        // assert
        QCOMPARE(text.split('\n').value(2), line);
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.at(0).propertyCount(), 2);
        QCOMPARE(back.at(0).properties().at(0).values(), readBack);
        QCOMPARE(back.at(0).properties().at(1).value(), QString("After"));
    }

    void readsForeignEscapes()
    {
        const QList<vCard> cards = vCard::decode("BEGIN:VCARD\nNOTE:a\\, b\\nc\\x\nEND:VCARD");
        QCOMPARE(cards.size(), 1);
        QCOMPARE(cards.at(0).findProperty("NOTE").values(), QStringList{"a, b\nc\\x"});
    }

    void versionHoldsForWholeCard_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QStringList>("note");
        QTest::newRow("2.1 after the property")
            << QByteArray("BEGIN:VCARD\nNOTE:C:\\new\\table\nVERSION:2.1\nEND:VCARD")
            << QStringList{"C:\\new\\table"};
        QTest::newRow("2.1 before the property")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nNOTE:C:\\new\\table\nEND:VCARD")
            << QStringList{"C:\\new\\table"};
        QTest::newRow("next card names no version")
            << QByteArray("BEGIN:VCARD\nVERSION:2.1\nEND:VCARD\nBEGIN:VCARD\nNOTE:a\\;b\nEND:VCARD")
            << QStringList{"a;b"};
    }
    void versionHoldsForWholeCard()
    {
        QFETCH(QByteArray, text);
        QFETCH(QStringList, note);

        const QList<vCard> cards = vCard::decode(text);

        QVERIFY(!cards.isEmpty());
        QCOMPARE(cards.last().findProperty("NOTE").values(), note);
    }

    void fileRoundTrip()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("card.vcf");
        vCard card;
        card.appendProperty(vCardProperty::makeName(QString::fromUtf8("Åse"), "Berg"));
        card.appendProperty(vCardProperty("EMAIL", QString("a@b.c"), QString("TYPE=INTERNET")));

        QVERIFY(card.writeToFile(file));
        const QList<vCard> back = vCard::readFromFile(file);

        QCOMPARE(back.size(), 1);
        QCOMPARE(back.at(0).properties(), card.properties());
        // 2.1 writes types bare, so they come back as undefined parameters.
        QCOMPARE(back.at(0).properties().at(1).params(),
                 QList<vCardParam>{vCardParam("INTERNET", vCardParam::Undefined)});
        QVERIFY(!card.writeToFile(dir.filePath("missing/card.vcf")));
        QVERIFY(!QFile::exists(dir.filePath("missing")));
        const Fifo pipe(dir.filePath("pipe.vcf"));
        QVERIFY(pipe.isValid());
        QVERIFY(!card.writeToFile(dir.filePath("pipe.vcf")));
        QVERIFY(pipe.stillThere());
        QVERIFY(vCard::readFromFile(dir.filePath("missing/card.vcf")).isEmpty());
    }

    // Only a regular file of at most 16 MiB is read; anything else reads as
    // no cards without being read (a FIFO may block or never end).
    void readFromFileReadsOnlyRegularFilesOfBookSize_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("cards");
        const qint64 cap = 16 * 1024 * 1024;
        QTest::newRow("fifo") << "fifo" << qint64(0) << 0;
        QTest::newRow("exactly 16 MiB") << "file" << cap << 1;
        QTest::newRow("one byte over 16 MiB") << "file" << cap + 1 << 0;
    }
    void readFromFileReadsOnlyRegularFilesOfBookSize()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        QFETCH(int, cards);
        // arrange
        QTemporaryDir dir;
        QString name;
        std::unique_ptr<FifoWatch> watch;
        if (kind == "fifo") {
            name = dir.filePath("pipe.vcf");
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
            watch = std::make_unique<FifoWatch>(name); // a reader would otherwise block for good
        } else {
            name = dir.filePath("sized.vcf"); // one card, then zero bytes
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write("BEGIN:VCARD\nFN:Ann\nEND:VCARD\n") > 0);
            QVERIFY(file.resize(size));
        }
        // act
        const QList<vCard> read = vCard::readFromFile(name);
        if (watch)
            watch->stop();
        // assert
        QCOMPARE(read.size(), cards);
        QVERIFY(!watch || !watch->readerSeen());
    }
};

GLYPH_TEST_MAIN(TestVCard)
#include "tst_vcard.moc"
