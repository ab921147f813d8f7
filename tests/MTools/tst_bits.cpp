#include "bits.h"
#include "testmain.h"

#include <iostream>
#include <sstream>

namespace {

// Builds an array from "0"/"1" text, index 0 first.
MTools::Bits fromText(const QByteArray &text)
{
    MTools::Bits bits(text.size());
    for (int i = 0; i < text.size(); ++i)
        bits.setBit(unsigned(i), text.at(i) == '1');
    return bits;
}

// The bits as "0"/"1" text, index 0 first.
QByteArray toText(const MTools::Bits &bits)
{
    QByteArray text;
    for (int i = 0; i < bits.bitCount(); ++i)
        text.append(bits.getBit(unsigned(i)) ? '1' : '0');
    return text;
}

// Captures what a call writes to the standard error stream.
class ErrorCapture
{
public:
    ErrorCapture() : m_old(std::cerr.rdbuf(m_text.rdbuf())) {}
    ~ErrorCapture() { std::cerr.rdbuf(m_old); }
    QByteArray text() const { return QByteArray::fromStdString(m_text.str()); }

private:
    std::ostringstream m_text;
    std::streambuf *m_old;
};

enum Move { RotateRight, ShiftRight, RotateLeft, ShiftLeft };

} // namespace

class TestBits : public QObject
{
    Q_OBJECT

private slots:
    void sizesItsBuffer_data()
    {
        QTest::addColumn<int>("nbits");
        QTest::addColumn<int>("bytes");
        QTest::newRow("9 bits") << 9 << 2;
        QTest::newRow("8 bits") << 8 << 1;
        QTest::newRow("1 bit") << 1 << 1;
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("negative") << -5 << 0;
    }
    void sizesItsBuffer()
    {
        QFETCH(int, nbits);
        QFETCH(int, bytes);
        const MTools::Bits bits(nbits);
        QCOMPARE(bits.bitCount(), qMax(0, nbits));
        QCOMPARE(bits.byteCount(), bytes);
        for (int i = 0; i < bytes; ++i)
            QCOMPARE(int(bits.constData()[i]), 0);
    }

    void reportsOutOfRangePositions()
    {
        MTools::Bits bits(12);
        QCOMPARE(bits.getBit(12), -1);
        QCOMPARE(bits.getBit(11), 0);
        ErrorCapture capture;
        bits.setBit(12, 1);
        bits.setBit(0xFFFFFFFFu, 1);
        QCOMPARE(capture.text(), QByteArray("Bits::setBit(int,int) Position is out of range\n"
                                            "Bits::setBit(int,int) Position is out of range\n"));
        QCOMPARE(bits.toInt(), 0);
    }

    void readsCodes_data()
    {
        QTest::addColumn<int>("nbits");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("error");
        QTest::newRow("low 3 of 5") << 32 << 5 << 3 << 5 << false;
        QTest::newRow("low 2 of 5") << 32 << 5 << 2 << 1 << false;
        QTest::newRow("across bytes") << 32 << 0x1234 << 16 << 0x1234 << false;
        QTest::newRow("all 32") << 32 << -2 << 32 << -2 << false;
        QTest::newRow("40 is out") << 64 << 5 << 40 << 0 << true;
        QTest::newRow("0 is out") << 32 << 5 << 0 << 0 << true;
        QTest::newRow("negative is out") << 32 << 5 << -1 << 0 << true;
        QTest::newRow("above bitCount") << 32 << 5 << 33 << 0 << true;
        QTest::newRow("39 keeps low 32") << 40 << 0x7 << 39 << 0x7 << false;
    }
    void readsCodes()
    {
        QFETCH(int, nbits);
        QFETCH(int, value);
        QFETCH(int, n);
        QFETCH(int, code);
        QFETCH(bool, error);
        MTools::Bits bits(nbits);
        bits.setValue(value);
        ErrorCapture capture;
        QCOMPARE(bits.getCode(n), code);
        QCOMPARE(capture.text(), error ? QByteArray("Bits::getCode(int) Out Of Range\n") : QByteArray());
    }

    void writesHighestBitFirst()
    {
        MTools::Bits bits(32);
        bits.setValue(5);
        std::ostringstream out;
        bits.write(out);
        QCOMPARE(QByteArray::fromStdString(out.str()), QByteArray(29, '0') + "101");

        std::ostringstream printed;
        std::streambuf *old = std::cout.rdbuf(printed.rdbuf());
        fromText("110").print();
        std::cout.rdbuf(old);
        QCOMPARE(QByteArray::fromStdString(printed.str()), QByteArray("110\n"));
    }

    void setValueOnShortArrayReportsTheRest()
    {
        MTools::Bits bits(30);
        ErrorCapture capture;
        bits.setValue(-1);
        QCOMPARE(capture.text().count('\n'), 2); // positions 30 and 31
        QCOMPARE(bits.toInt(), 0x3FFFFFFF);
    }

    void toIntReadsLittleEndianBytes()
    {
        MTools::Bits bits(40);
        const unsigned char bytes[] = {0x78, 0x56, 0x34, 0x12, 0xFF};
        bits.setBytes(bytes);
        QCOMPARE(bits.toInt(), 0x12345678);
        MTools::Bits shortBits(12);
        shortBits.setBytes(bytes);
        QCOMPARE(shortBits.toInt(), 0x678); // bits beyond the count stay 0
    }

    void invertKeepsBitsBeyondTheCountClear()
    {
        MTools::Bits bits(9);
        bits.invert();
        QCOMPARE(bits.toInt(), 0x1FF);
        QCOMPARE(bits.getCode(9), 0x1FF);
    }

    void movesBits_data()
    {
        QTest::addColumn<int>("move");
        QTest::addColumn<QByteArray>("before"); // index 0 first
        QTest::addColumn<uint>("count");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("carried");
        QTest::newRow("rotate right 1") << int(RotateRight) << QByteArray("100") << 1u << QByteArray("001") << 1;
        QTest::newRow("rotate right 2") << int(RotateRight) << QByteArray("1100") << 2u << QByteArray("0011") << 1;
        QTest::newRow("rotate right full turn") << int(RotateRight) << QByteArray("1010") << 4u << QByteArray("1010") << 0;
        QTest::newRow("rotate right many turns") << int(RotateRight) << QByteArray("100") << 3000000001u << QByteArray("001") << 1;
        QTest::newRow("rotate right 0") << int(RotateRight) << QByteArray("100") << 0u << QByteArray("100") << 0;
        QTest::newRow("shift right 1") << int(ShiftRight) << QByteArray("101") << 1u << QByteArray("010") << 1;
        QTest::newRow("shift right 2") << int(ShiftRight) << QByteArray("011") << 2u << QByteArray("100") << 1;
        QTest::newRow("shift right all") << int(ShiftRight) << QByteArray("111") << 3u << QByteArray("000") << 1;
        QTest::newRow("shift right past end") << int(ShiftRight) << QByteArray("111") << 4u << QByteArray("000") << 0;
        QTest::newRow("shift right huge") << int(ShiftRight) << QByteArray("111") << 0xFFFFFFFFu << QByteArray("000") << 0;
        QTest::newRow("shift right 0") << int(ShiftRight) << QByteArray("111") << 0u << QByteArray("111") << 0;
        QTest::newRow("rotate left 1") << int(RotateLeft) << QByteArray("001") << 1u << QByteArray("100") << 1;
        QTest::newRow("rotate left 2") << int(RotateLeft) << QByteArray("0110") << 2u << QByteArray("1001") << 1;
        QTest::newRow("rotate left many turns") << int(RotateLeft) << QByteArray("001") << 3000000001u << QByteArray("100") << 1;
        QTest::newRow("shift left 1") << int(ShiftLeft) << QByteArray("101") << 1u << QByteArray("010") << 1;
        QTest::newRow("shift left 2") << int(ShiftLeft) << QByteArray("110") << 2u << QByteArray("001") << 1;
        QTest::newRow("shift left past end") << int(ShiftLeft) << QByteArray("111") << 9u << QByteArray("000") << 0;
        QTest::newRow("across bytes") << int(RotateRight) << QByteArray("0000000011") << 9u << QByteArray("1000000001") << 1;
        QTest::newRow("empty array") << int(RotateLeft) << QByteArray() << 3u << QByteArray() << 0;
    }
    void movesBits()
    {
        QFETCH(int, move);
        QFETCH(QByteArray, before);
        QFETCH(uint, count);
        QFETCH(QByteArray, after);
        QFETCH(int, carried);
        MTools::Bits bits = fromText(before);
        int result = -1;
        switch (move) {
        case RotateRight: result = bits.rotateRight(count); break;
        case ShiftRight: result = bits.shiftRight(count); break;
        case RotateLeft: result = bits.rotateLeft(count); break;
        case ShiftLeft: result = bits.shiftLeft(count); break;
        }
        QCOMPARE(toText(bits), after);
        QCOMPARE(result, carried);
    }

    void removesLowBitsAndAppends()
    {
        MTools::Bits bits = fromText("1101001110");
        bits.removeLow(3);
        QCOMPARE(toText(bits), QByteArray("1001110"));
        QCOMPARE(bits.byteCount(), 1);
        bits.append(fromText("0111"));
        QCOMPARE(toText(bits), QByteArray("10011100111"));
        QCOMPARE(bits.byteCount(), 2);
        bits.append(bits);
        QCOMPARE(toText(bits), QByteArray("1001110011110011100111"));
        bits.removeLow(100);
        QCOMPARE(bits.bitCount(), 0);
        QCOMPARE(bits.byteCount(), 0);
    }

    void combinesWithOtherArrays_data()
    {
        QTest::addColumn<QByteArray>("own");
        QTest::addColumn<QByteArray>("other");
        QTest::addColumn<QByteArray>("xorResult");
        QTest::addColumn<QByteArray>("andResult");
        QTest::addColumn<QByteArray>("orResult");
        QTest::newRow("same length") << QByteArray("1100") << QByteArray("1010")
                                     << QByteArray("0110") << QByteArray("1000") << QByteArray("1110");
        QTest::newRow("other shorter") << QByteArray("111111") << QByteArray("01")
                                       << QByteArray("101111") << QByteArray("010000") << QByteArray("111111");
        QTest::newRow("other longer") << QByteArray("10") << QByteArray("1111")
                                      << QByteArray("01") << QByteArray("10") << QByteArray("11");
    }
    void combinesWithOtherArrays()
    {
        QFETCH(QByteArray, own);
        QFETCH(QByteArray, other);
        QFETCH(QByteArray, xorResult);
        QFETCH(QByteArray, andResult);
        QFETCH(QByteArray, orResult);
        MTools::Bits x = fromText(own), a = fromText(own), o = fromText(own);
        x.xorWith(fromText(other));
        a.andWith(fromText(other));
        o.orWith(fromText(other));
        QCOMPARE(toText(x), xorResult);
        QCOMPARE(toText(a), andResult);
        QCOMPARE(toText(o), orResult);
    }

    void copiesAreDeep()
    {
        MTools::Bits a = fromText("1010");
        MTools::Bits b(a);
        MTools::Bits c(1);
        c = a;
        a.invert();
        QCOMPARE(toText(b), QByteArray("1010"));
        QCOMPARE(toText(c), QByteArray("1010"));
        c = c;
        QCOMPARE(toText(c), QByteArray("1010"));
    }
};

GLYPH_TEST_MAIN(TestBits)
#include "tst_bits.moc"
