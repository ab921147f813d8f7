#include "testmain.h"
#include "scriptminifier.h"

#include <QElapsedTimer>

class TestMinifier : public QObject
{
    Q_OBJECT

private slots:
    void minifies_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("line comment") << "var a = 1; // note\nvar b = 2;" << "\nvar a=1;var b=2;";
        QTest::newRow("block comment") << "a = /* x\n y */ b;" << "\na=b;";
        QTest::newRow("plus plus kept apart") << "a + +b" << "\na+ +b";
        QTest::newRow("minus minus kept apart") << "a - -b" << "\na- -b";
        QTest::newRow("regexp copied") << "x = /ab+c/g.test(s)" << "\nx=/ab+c/g.test(s)";
        QTest::newRow("regexp class with slash") << "r = /[/*]+\\//;" << "\nr=/[/*]+\\//;";
        QTest::newRow("division is not regexp") << "a = b / c / d;" << "\na=b/c/d;";
        QTest::newRow("string keeps blanks and comments") << "s = \"a  // b /* c */\";"
                                                          << "\ns=\"a  // b /* c */\";";
        QTest::newRow("escaped quote") << "s = 'it\\'s  x' ;" << "\ns='it\\'s  x';";
        QTest::newRow("template") << "t = `a  ${b}  c`;" << "\nt=`a  ${b}  c`;";
        QTest::newRow("words keep a blank") << "return  typeof   x" << "\nreturn typeof x";
        QTest::newRow("line break between statements") << "a()\nb()" << "\na()\nb()";
        QTest::newRow("brace first") << "{ }" << "\n{}";
        QTest::newRow("crlf and tabs") << "if (a)\r\n\t{\tb();\r\n}" << "\nif(a)\n{b();}";
        QTest::newRow("byte-order mark") << QString::fromLatin1("\xEF\xBB\xBFx=1") << "\nx=1";
        QTest::newRow("decoded byte-order mark") << QString(QChar(0xFEFF)) + "x=1" << "\nx=1";
        QTest::newRow("non-latin-1 text kept") << QString::fromUtf8("s = \"€ 中\";") << QString::fromUtf8("\ns=\"€ 中\";");
    }
    void minifies()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(MTools::minifyScript(script), expected);
    }

    // Whatever is left open at the end, the scan stops there and returns
    // what it produced.
    void unterminatedInputEnds_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("string") << "a = \"abc" << "\na=\"abc";
        QTest::newRow("string ending in backslash") << "a = 'x\\" << "\na='x\\";
        QTest::newRow("template") << "a = `x" << "\na=`x";
        QTest::newRow("block comment") << "a = 1; /* open" << "\na=1;";
        QTest::newRow("line comment") << "a = 1; // open" << "\na=1;";
        QTest::newRow("regexp") << "a = /abc" << "\na=/abc";
        QTest::newRow("regexp class") << "a = /[abc" << "\na=/[abc";
        QTest::newRow("regexp backslash") << "a = /x\\" << "\na=/x\\";
        QTest::newRow("comment star only") << "/*" << "";
    }
    void unterminatedInputEnds()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QElapsedTimer timer;
        timer.start();
        const QString out = MTools::minifyScript(script);
        QVERIFY(timer.elapsed() < 10000);
        QCOMPARE(out, expected);
    }

    void runsDoNotInfluenceEachOther()
    {
        const QString first = MTools::minifyScript("a = b - \n-c");
        MTools::minifyScript("x = 1 +\n");
        QCOMPARE(MTools::minifyScript("a = b - \n-c"), first);
    }
};

GLYPH_TEST_MAIN(TestMinifier)
#include "tst_minifier.moc"
