#include "mstring.h"
#include "mstringwrap.h"
#include "fifo.h"
#include "fifowatch.h"
#include "readertargets.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <iostream>
#include <sstream>

namespace {

QByteArray bytesOf(const MString &s)
{
    return QByteArray(s.constData(), int(s.length()));
}

// Records every append so the test can see which operations go through it.
class CountingString : public MString
{
public:
    using MString::MString;
    int appends = 0;
    void append(const MString &other) override
    {
        ++appends;
        MString::append(other);
    }
};

// Runs f and returns the text it throws as a C string, or "" when it does not throw.
template<typename F>
QByteArray thrownText(F f)
{
    try {
        f();
    } catch (const char *text) {
        return QByteArray(text);
    }
    return QByteArray();
}

} // namespace

class TestCountedString : public QObject
{
    Q_OBJECT

private slots:
    void instanceNumbersFollowTheLiveCount()
    {
        int first = -1;
        {
            // arrange, act
            MString a("a");
            MTools::MStringWrap b("b");
            first = a.instanceNumber();
            // assert
            QCOMPARE(first, 0); // no other string lives while this test runs
            QCOMPARE(b.instanceNumber(), 1);
            QCOMPARE(a.instanceCount(), 2);
            MString copy(a);
            QCOMPARE(copy.instanceNumber(), 2);
        }
        MString later("c");
        QCOMPARE(later.instanceNumber(), first);
        QCOMPARE(later.instanceCount(), 1);
        QCOMPARE(*later.instanceCounter(), 1);
    }

    void comparesBytesAsSignedChars_data()
    {
        QTest::addColumn<QByteArray>("left");
        QTest::addColumn<QByteArray>("right");
        QTest::addColumn<int>("order"); // sign of left - right
        QTest::newRow("prefix is smaller") << QByteArray("ab") << QByteArray("abc") << -1;
        QTest::newRow("first byte decides") << QByteArray("b") << QByteArray("abc") << 1;
        QTest::newRow("equal") << QByteArray("abc") << QByteArray("abc") << 0;
        QTest::newRow("empty vs empty") << QByteArray() << QByteArray() << 0;
        QTest::newRow("empty is smallest") << QByteArray() << QByteArray("a") << -1;
        QTest::newRow("high byte is negative") << QByteArray("\x80") << QByteArray("a") << -1;
        QTest::newRow("zero byte inside") << QByteArray("a\0b", 3) << QByteArray("a\0c", 3) << -1;
    }
    void comparesBytesAsSignedChars()
    {
        QFETCH(QByteArray, left);
        QFETCH(QByteArray, right);
        QFETCH(int, order);
        const MTools::MStringWrap l(left.constData(), left.size());
        const MTools::MStringWrap r(right.constData(), right.size());
        QCOMPARE(l > r, order > 0);
        QCOMPARE(l < r, order < 0);
        QCOMPARE(l >= r, order >= 0);
        QCOMPARE(l <= r, order <= 0);
        QCOMPARE(l == r, order == 0);
        QCOMPARE(l.equals(r), order == 0);
        QCOMPARE(l != r, order != 0);
    }

    void findsPatterns_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("pattern");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("index");
        QTest::newRow("overlapping start") << QByteArray("aab") << QByteArray("ab") << 0 << 1;
        QTest::newRow("longer pattern") << QByteArray("ab") << QByteArray("abc") << 0 << -1;
        QTest::newRow("start at length") << QByteArray("ab") << QByteArray("b") << 2 << -1;
        QTest::newRow("start beyond") << QByteArray("ab") << QByteArray("b") << 9 << -1;
        QTest::newRow("negative start") << QByteArray("ab") << QByteArray("b") << -3 << 1;
        QTest::newRow("second match") << QByteArray("abcabc") << QByteArray("bc") << 2 << 4;
        QTest::newRow("match at end") << QByteArray("abcd") << QByteArray("cd") << 0 << 2;
        QTest::newRow("not found") << QByteArray("abcd") << QByteArray("x") << 0 << -1;
        QTest::newRow("empty pattern") << QByteArray("abc") << QByteArray() << 1 << 1;
        QTest::newRow("empty text") << QByteArray() << QByteArray() << 0 << -1;
    }
    void findsPatterns()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, pattern);
        QFETCH(int, from);
        QFETCH(int, index);
        const MTools::MStringWrap t(text.constData(), text.size());
        const MTools::MStringWrap p(pattern.constData(), pattern.size());
        QCOMPARE(t.indexOf(p, from), index);
    }

    void midClampsToTheContent_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QByteArray>("part");
        QTest::newRow("middle") << 1 << 3 << QByteArray("bc");
        QTest::newRow("whole") << 0 << 5 << QByteArray("abcde");
        QTest::newRow("to beyond end") << 3 << 50 << QByteArray("de");
        QTest::newRow("negative from") << -4 << 2 << QByteArray("ab");
        QTest::newRow("reversed") << 4 << 1 << QByteArray();
        QTest::newRow("empty range") << 2 << 2 << QByteArray();
        QTest::newRow("both beyond") << 9 << 12 << QByteArray();
    }
    void midClampsToTheContent()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QByteArray, part);
        const MString s("abcde");
        QCOMPARE(bytesOf(s.mid(from, to)), part);
    }

    void pointersStayInsideTheBuffer()
    {
        MString s("abc");
        QCOMPARE(*s.at(2), 'c');
        QVERIFY(s.ptrAt(3) == s.data() + 3); // the end position is allowed
        QVERIFY(!s.at(3));
        QVERIFY(!s.at(-1));
        QVERIFY(!s.ptrAt(4));
    }

    void editsInPlace()
    {
        MString s("Hello, World 1");
        s.toUpperAscii();
        QCOMPARE(bytesOf(s), QByteArray("HELLO, WORLD 1"));
        s.toLowerAscii();
        QCOMPARE(bytesOf(s), QByteArray("hello, world 1"));
        s.reverse();
        QCOMPARE(bytesOf(s), QByteArray("1 dlrow ,olleh"));

        MString odd("abc");
        odd.reverse();
        QCOMPARE(bytesOf(odd), QByteArray("cba"));
        MString empty("");
        empty.reverse();
        QVERIFY(empty.isEmpty());
    }

    void appendsGoThroughTheVirtualAppend()
    {
        // arrange
        CountingString s("ab");
        const MString tail("cd");
        // act
        s << tail;
        s += tail;
        // assert
        QCOMPARE(s.appends, 2);
        QCOMPARE(bytesOf(s), QByteArray("abcdcd"));
        QCOMPARE(bytesOf(s + tail), QByteArray("abcdcdcd"));
        QCOMPARE(bytesOf(s), QByteArray("abcdcd")); // operator+ leaves it alone
    }

    void appendsAndAssignsItself()
    {
        MString s("ab");
        s.append(s);
        QCOMPARE(bytesOf(s), QByteArray("abab"));
        s.assign(s);
        QCOMPARE(bytesOf(s), QByteArray("abab"));
        s = s;
        QCOMPARE(bytesOf(s), QByteArray("abab"));
        s.assign(s.c_str() + 2); // a C string inside the own buffer
        QCOMPARE(bytesOf(s), QByteArray("ab"));
    }

    void copiesAreIndependent()
    {
        MString a("one");
        MString b(a);
        MString c("x");
        c = a;
        a.toUpperAscii();
        QCOMPARE(bytesOf(b), QByteArray("one"));
        QCOMPARE(bytesOf(c), QByteArray("one"));
        QVERIFY(b.constData() != a.constData());
    }

    void terminateKeepsTheLength()
    {
        MString s("abc");
        const char *text = s.c_str();
        QCOMPARE(s.length(), 3u);
        QCOMPARE(std::strcmp(text, "abc"), 0);
        s.assign("xy");
        s.terminate();
        QCOMPARE(s.constData()[2], '\0');
        QCOMPARE(s.length(), 2u);
    }

    void printsReadableAndAsCString()
    {
        MTools::MStringWrap s("a\0b", 3);
        std::ostringstream readable;
        s.printReadable(readable);
        QCOMPARE(readable.str(), std::string("a b"));
        std::ostringstream plain;
        s.print(plain);
        QCOMPARE(plain.str(), std::string("a")); // stops at the zero byte

        // arrange: capture the standard output
        std::ostringstream captured;
        std::streambuf *old = std::cout.rdbuf(captured.rdbuf());
        MTools::MStringWrap line("hi");
        line.print();
        std::cout.rdbuf(old);
        QCOMPARE(captured.str(), std::string("hi\n"));
    }

    void namesItsClassAndObject()
    {
        const MString s("x");
        QCOMPARE(bytesOf(s.classId()), QByteArray("7d3e9a10-4b2c-4f81-9e6d-0c5a2b7f3e94"));
        QCOMPARE(bytesOf(s.className()), QByteArray("MString"));
        QCOMPARE(bytesOf(s.objectId()),
                 QByteArray("7d3e9a10-4b2c-4f81-9e6d-0c5a2b7f3e94") + QByteArray::number(s.instanceNumber()));
    }

    void wrapFormatsNumbers_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("short") << 0 << QByteArray("-5");
        QTest::newRow("long") << 1 << QByteArray("-1234567890123");
        QTest::newRow("unsigned") << 2 << QByteArray("4000000000");
        QTest::newRow("float") << 3 << QByteArray("1.500000");
        QTest::newRow("double") << 4 << QByteArray("-0.250000");
        QTest::newRow("long double narrowed") << 5 << QByteArray("0.100000");
        QTest::newRow("long double too large") << 6 << QByteArray("inf");
        QTest::newRow("char") << 7 << QByteArray("x");
        QTest::newRow("zero char") << 8 << QByteArray("\0", 1);
        QTest::newRow("huge float") << 9 << QByteArray("340282346638528859811704183484516925440.000000");
    }
    void wrapFormatsNumbers()
    {
        QFETCH(int, which);
        QFETCH(QByteArray, text);
        const MTools::MStringWrap values[] = {
            MTools::MStringWrap(short(-5)),      MTools::MStringWrap(-1234567890123L),
            MTools::MStringWrap(4000000000u),    MTools::MStringWrap(1.5f),
            MTools::MStringWrap(-0.25),          MTools::MStringWrap(0.1L),
            MTools::MStringWrap(1e300L),         MTools::MStringWrap('x'),
            MTools::MStringWrap('\0'),           MTools::MStringWrap(3.40282346638528859811704183484516925440e38f),
        };
        QCOMPARE(bytesOf(values[which]), text);
    }

    void wrapBuildsFromBytesAndSizes()
    {
        const MTools::MStringWrap exact("abcdef", 3);
        QCOMPARE(bytesOf(exact), QByteArray("abc"));
        const MTools::MStringWrap none("abc", -2);
        QVERIFY(none.isEmpty());
        const MTools::MStringWrap sized(4);
        QCOMPARE(bytesOf(sized), QByteArray(4, '\0'));
        const MTools::MStringWrap negative(-1);
        QVERIFY(negative.isEmpty());
        const MString null(nullptr);
        QVERIFY(null.isEmpty());
    }

    void savesAndLoadsBinaryFiles()
    {
        // arrange
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("data.bin")));
        const QByteArray bytes("\0\x01\xff text\0\n", 10);
        const MTools::MStringWrap out(bytes.constData(), bytes.size());
        // act
        out.saveToFile(path.constData());
        MString in("old");
        in.loadFromFile(path.constData());
        // assert
        QCOMPARE(bytesOf(in), bytes);

        MString pathString(path.constData());
        MString again("");
        again.loadFromFile(pathString);
        QCOMPARE(bytesOf(again), bytes);

        MString part("");
        part.readFromFile(path.constData(), 3, 4);
        QCOMPARE(bytesOf(part), QByteArray(" tex"));
        part.readFromFile(path.constData(), 8, 5); // two bytes left in the file
        QCOMPARE(bytesOf(part), QByteArray("\0\n\0\0\0", 5));
    }

    void savesThroughAPathString()
    {
        QTemporaryDir dir;
        MString path(QFile::encodeName(dir.filePath(QStringLiteral("p.txt"))).constData());
        MString("hello").saveToFile(path);
        QFile file(dir.filePath(QStringLiteral("p.txt")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("hello"));
    }

    void fileFailuresThrowPlainTextAndKeepContent()
    {
        QTemporaryDir dir;
        const QByteArray missing = QFile::encodeName(dir.filePath(QStringLiteral("missing.bin")));
        const QByteArray noFolder = QFile::encodeName(dir.filePath(QStringLiteral("no/such/file.bin")));
        const QByteArray folder = QFile::encodeName(dir.path());
        MString s("keep");

        QCOMPARE(thrownText([&] { s.loadFromFile(missing.constData()); }), QByteArray("can not open the file"));
        QCOMPARE(thrownText([&] { s.readFromFile(missing.constData(), 0, 4); }), QByteArray("can not open the file"));
        QCOMPARE(thrownText([&] { s.loadFromFile(folder.constData()); }), QByteArray("can not open the file"));
        QCOMPARE(thrownText([&] { s.saveToFile(noFolder.constData()); }), QByteArray("can not create the file"));
        QCOMPARE(bytesOf(s), QByteArray("keep"));
    }

    void fileOperationsRefuseWhatIsNoRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("error");
        QTest::newRow("load from a fifo") << "fifo" << "load" << QByteArray("can not open the file");
        QTest::newRow("read from a fifo") << "fifo" << "read" << QByteArray("can not open the file");
        QTest::newRow("read from a folder") << "folder" << "read" << QByteArray("can not open the file");
        QTest::newRow("save to a fifo") << "fifo" << "save" << QByteArray("can not create the file");
    }

    void fileOperationsRefuseWhatIsNoRegularFile()
    {
        // arrange
        QFETCH(QString, kind);
        QFETCH(QString, operation);
        QFETCH(QByteArray, error);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(kind);
        // A save is watched by a reader held open, reads by a writer that
        // answers when the FIFO is opened for reading.
        std::unique_ptr<Fifo> fifo(kind == "fifo" && operation == "save" ? new Fifo(path) : nullptr);
        QVERIFY(fifo ? fifo->isValid() : ReaderTargets::make(path, kind));
        std::unique_ptr<FifoWatch> watch(kind == "fifo" && !fifo ? new FifoWatch(path) : nullptr);
        const QByteArray name = QFile::encodeName(path);
        MString s("keep");

        // act
        const QByteArray thrown = thrownText([&] {
            if (operation == "load")
                s.loadFromFile(name.constData());
            else if (operation == "read")
                s.readFromFile(name.constData(), 0, 4);
            else
                s.saveToFile(name.constData());
        });
        if (watch)
            watch->stop();

        // assert
        QVERIFY2(!watch || !watch->readerSeen(), "the FIFO was opened");
        QVERIFY(!fifo || fifo->stillThere());
        QCOMPARE(thrown, error);
        QCOMPARE(bytesOf(s), QByteArray("keep"));
    }
};

GLYPH_TEST_MAIN(TestCountedString)
#include "tst_countedstring.moc"
