#include "testmain.h"
#include "bytecipher.h"
#include "flag.h"
#include "rijndael.h"

#include <QTemporaryDir>

#include <iostream>
#include <sstream>

namespace {

const unsigned char *bytesOf(const QByteArray &array)
{
    return reinterpret_cast<const unsigned char *>(array.constData());
}

unsigned char *bytesOf(QByteArray &array)
{
    return reinterpret_cast<unsigned char *>(array.data());
}

// Collects what is written to std::cerr while it lives.
class CerrCapture
{
public:
    CerrCapture() : m_old(std::cerr.rdbuf(m_buffer.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(m_old); }
    QByteArray text() const { return QByteArray::fromStdString(m_buffer.str()); }

private:
    std::ostringstream m_buffer;
    std::streambuf *m_old;
};

// The key the byte helpers derive from a text of Latin-1 characters.
QByteArray paddedKey(const QByteArray &latin1)
{
    return latin1.leftJustified(32, ' ', true);
}

// FIPS-197 appendix B: key, plaintext and the state at the start of rounds 2 to 10.
const char *kAppendixBKey = "2b7e151628aed2a6abf7158809cf4f3c";
const char *kAppendixBPlain = "3243f6a8885a308d313198a2e0370734";
const char *kAppendixBCipher = "3925841d02dc09fbdc118597196a0b32";
const char *kAppendixBStates[] = {
    "a49c7ff2689f352b6b5bea43026a5049", "aa8f5f0361dde3ef82d24ad26832469a",
    "486c4eee671d9d0d4de3b138d65f58e7", "e0927fe8c86363c0d9b1355085b8be01",
    "f1006f55c1924cef7cc88b325db5d50c", "260e2e173d41b77de86472a9fdd28b25",
    "5a4142b11949dc1fa3e019657a8c040c", "ea835cf00445332d655d98ad8596b0c5",
    "eb40f21e592e38848ba113e71bc342d2",
};

QByteArray appendixBStates()
{
    QByteArray states;
    for (const char *state : kAppendixBStates)
        states += QByteArray::fromHex(state);
    return states;
}

} // namespace

class TestRijndael : public QObject
{
    Q_OBJECT

private slots:
    void knownAnswers_data()
    {
        QTest::addColumn<int>("keyBits");
        QTest::addColumn<int>("blockBits");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        // FIPS-197 appendix C.
        const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
        const QByteArray key = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
        QTest::newRow("AES-128 C.1") << 128 << 128 << key.left(16) << plain
                                     << QByteArray::fromHex("69c4e0d86a7b0430d8cdb78070b4c55a");
        QTest::newRow("AES-192 C.2") << 192 << 128 << key.left(24) << plain
                                     << QByteArray::fromHex("dda97ca4864cdfe06eaf70a0ec0d7191");
        QTest::newRow("AES-256 C.3") << 256 << 128 << key << plain
                                     << QByteArray::fromHex("8ea2b7ca516745bfeafc49904b496089");
        // FIPS-197 appendix B.
        QTest::newRow("AES-128 B") << 128 << 128 << QByteArray::fromHex(kAppendixBKey)
                                   << QByteArray::fromHex(kAppendixBPlain) << QByteArray::fromHex(kAppendixBCipher);
        // The Rijndael designers' vectors for the other block lengths: the
        // plaintext is the digits of pi, the key those of e.
        const QByteArray piPlain = QByteArray::fromHex(
            "3243f6a8885a308d313198a2e03707344a4093822299f31d0082efa98ec4e6c8");
        const QByteArray eKey = QByteArray::fromHex(
            "2b7e151628aed2a6abf7158809cf4f3c762e7160f38b4da56a784d9045190cfe");
        QTest::newRow("block 128, key 192") << 192 << 128 << eKey.left(24) << piPlain.left(16)
                                            << QByteArray::fromHex("f9fb29aefc384a250340d833b87ebc00");
        QTest::newRow("block 128, key 256") << 256 << 128 << eKey << piPlain.left(16)
                                            << QByteArray::fromHex("1a6e6c2c662e7da6501ffb62bc9e93f3");
        QTest::newRow("block 192, key 128") << 128 << 192 << eKey.left(16) << piPlain.left(24)
                                            << QByteArray::fromHex("b24d275489e82bb8f7375e0d5fcdb1f481757c538b65148a");
        QTest::newRow("block 192, key 192") << 192 << 192 << eKey.left(24) << piPlain.left(24)
                                            << QByteArray::fromHex("725ae43b5f3161de806a7c93e0bca93c967ec1ae1b71e1cf");
        QTest::newRow("block 256, key 128") << 128 << 256 << eKey.left(16) << piPlain
                                            << QByteArray::fromHex("7d15479076b69a46ffb3b3beae97ad8313f622f67fedb487de9f06b9ed9c8f19");
        QTest::newRow("block 256, key 256") << 256 << 256 << eKey << piPlain
                                            << QByteArray::fromHex("a49406115dfb30a40418aafa4869b7c6a886ff31602a7dd19c889dc64f7e4e7a");
    }
    void knownAnswers()
    {
        QFETCH(int, keyBits);
        QFETCH(int, blockBits);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(keyBits, blockBits));
        QCOMPARE(rijndael.blockBytes(), plain.size());
        QVERIFY(rijndael.makeKey(key));

        QByteArray out(plain.size(), '\0');
        QVERIFY(rijndael.encryptBlockChecked(bytesOf(plain), bytesOf(out)));
        QCOMPARE(out.toHex(), cipher.toHex());
        QVERIFY(rijndael.decryptBlockChecked(bytesOf(cipher), bytesOf(out)));
        QCOMPARE(out.toHex(), plain.toHex());
    }

    void roundsAndShiftsFollowLengths_data()
    {
        QTest::addColumn<int>("keyBits");
        QTest::addColumn<int>("blockBits");
        QTest::addColumn<int>("rounds");
        const int bits[] = {128, 192, 256};
        const int table[3][3] = {{10, 12, 14}, {12, 12, 14}, {14, 14, 14}};
        for (int b = 0; b < 3; ++b)
            for (int k = 0; k < 3; ++k)
                QTest::newRow(QByteArray("block ").append(QByteArray::number(bits[b])).append(" key ").append(QByteArray::number(bits[k])).constData())
                    << bits[k] << bits[b] << table[b][k];
    }
    void roundsAndShiftsFollowLengths()
    {
        QFETCH(int, keyBits);
        QFETCH(int, blockBits);
        QFETCH(int, rounds);
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(keyBits, blockBits));
        QCOMPARE(rijndael.rounds(), rounds);
        QCOMPARE(rijndael.keyWords(), keyBits / 32);
        QCOMPARE(rijndael.blockColumns(), blockBits / 32);
        // Every length pair round-trips a block in place.
        QByteArray key(keyBits / 8, Qt::Uninitialized);
        QByteArray block(blockBits / 8, Qt::Uninitialized);
        for (int i = 0; i < key.size(); ++i)
            key[i] = char(i * 29 + 3);
        for (int i = 0; i < block.size(); ++i)
            block[i] = char(255 - i * 7);
        QVERIFY(rijndael.makeKey(key));
        QByteArray data = block;
        QVERIFY(rijndael.encryptBlockChecked(bytesOf(data), bytesOf(data)));
        QVERIFY(data != block);
        QVERIFY(rijndael.decryptBlockChecked(bytesOf(data), bytesOf(data)));
        QCOMPARE(data.toHex(), block.toHex());
    }

    void unsupportedLengthsAreRefused_data()
    {
        QTest::addColumn<int>("keyBits");
        QTest::addColumn<int>("blockBits");
        QTest::newRow("key 160") << 160 << 128;
        QTest::newRow("block 160") << 128 << 160;
        QTest::newRow("key 0") << 0 << 256;
        QTest::newRow("key 512") << 512 << 128;
        QTest::newRow("key -128") << -128 << 128;
    }
    void unsupportedLengthsAreRefused()
    {
        QFETCH(int, keyBits);
        QFETCH(int, blockBits);
        // arrange: a working cipher
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(128, 128));
        QVERIFY(rijndael.makeKey(QByteArray(16, 'k')));
        // act
        QVERIFY(!rijndael.setup(keyBits, blockBits));
        // assert: unconfigured, and no block operation pretends to work
        QCOMPARE(rijndael.blockColumns(), 0);
        QCOMPARE(rijndael.keyWords(), 0);
        QCOMPARE(rijndael.rounds(), 0);
        QVERIFY(!rijndael.isKeyed());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("Nk > 0"));
        QVERIFY(!rijndael.makeKey(QByteArray(32, 'k')));
        QByteArray out(16, 'x');
        const QByteArray in(16, 'a');
        QVERIFY(!rijndael.encryptBlockChecked(bytesOf(in), bytesOf(out)));
        QVERIFY(!rijndael.decryptBlockChecked(bytesOf(in), bytesOf(out)));
        QCOMPARE(out, QByteArray(16, 'x'));
    }

    void keyOfWrongSizeIsRefused()
    {
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(192, 128));
        QTest::ignoreMessage(QtDebugMsg, "MCrypt::Rijndael::makeKey: the key has 16 bytes, expected 24");
        QVERIFY(!rijndael.makeKey(QByteArray(16, 'k')));
        QVERIFY(!rijndael.isKeyed());
        QVERIFY(rijndael.makeKey(QByteArray(24, 'k')));
        // A new setup drops the key that belonged to the old lengths.
        QVERIFY(rijndael.setup(256, 128));
        QVERIFY(!rijndael.isKeyed());
    }

    void matchingRoundStatesAreNotReported()
    {
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(128, 128));
        QVERIFY(rijndael.makeKey(QByteArray::fromHex(kAppendixBKey)));
        const QByteArray states = appendixBStates();
        const QByteArray plain = QByteArray::fromHex(kAppendixBPlain);
        const QByteArray cipher = QByteArray::fromHex(kAppendixBCipher);
        QByteArray out(16, '\0');
        CerrCapture capture;

        QVERIFY(rijndael.encryptBlockChecked(bytesOf(plain), bytesOf(out), bytesOf(states)));
        QCOMPARE(out.toHex(), cipher.toHex());
        QVERIFY(rijndael.decryptBlockChecked(bytesOf(cipher), bytesOf(out), bytesOf(states)));
        QCOMPARE(out.toHex(), plain.toHex());
        QCOMPARE(capture.text(), QByteArray());
    }

    void differingRoundStateIsReportedAndRunGoesOn()
    {
        // arrange: the state after round 3 is wrong in its first byte
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(128, 128));
        QVERIFY(rijndael.makeKey(QByteArray::fromHex(kAppendixBKey)));
        QByteArray states = appendixBStates();
        states[2 * 16] = char(0x0a);
        const QByteArray plain = QByteArray::fromHex(kAppendixBPlain);
        QByteArray out(16, '\0');
        const QByteArray report = "State 3 failed:\n"
                                  "State     : 48 6c 4e ee 67 1d 9d 0d 4d e3 b1 38 d6 5f 58 e7 \n"
                                  "Should be : 0a 6c 4e ee 67 1d 9d 0d 4d e3 b1 38 d6 5f 58 e7 \n";
        {
            // act
            CerrCapture capture;
            QVERIFY(rijndael.encryptBlockChecked(bytesOf(plain), bytesOf(out), bytesOf(states)));
            // assert
            QCOMPARE(capture.text(), report);
            QCOMPARE(out.toHex(), QByteArray(kAppendixBCipher));
        }
        {
            CerrCapture capture;
            QVERIFY(rijndael.decryptBlockChecked(bytesOf(out), bytesOf(out), bytesOf(states)));
            QCOMPARE(capture.text(), report);
            QCOMPARE(out.toHex(), QByteArray(kAppendixBPlain));
        }
        // The stream is back in decimal.
        std::ostringstream probe;
        probe.copyfmt(std::cerr);
        probe << 255;
        QCOMPARE(probe.str(), std::string("255"));
    }

    void tablesVerifyAndDump()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString old = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const bool verified = MCrypt::Rijndael::buildTables(false, true);
        QVERIFY(MCrypt::Rijndael::buildTables(true, false));
        QDir::setCurrent(old);
        QVERIFY(verified);

        QFile file(dir.filePath(QStringLiteral("Tables.dat")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        const QList<QByteArray> blocks = text.split('\n');
        // 4 names, 3 * 16 byte lines, two empty lines after each byte block, 8 rcon lines.
        QCOMPARE(blocks.size(), 4 + 48 + 6 + 8);
        QCOMPARE(blocks.at(0), QByteArray("gf2_8_inv"));
        // FIPS-197 section 4.2: {53} and {ca} are inverses.
        QVERIFY(blocks.at(1).startsWith("0x00,0x01,0x8d,0xf6,"));
        QCOMPARE(blocks.at(1 + 5).mid(3 * 5, 5), QByteArray("0xca,"));
        QCOMPARE(blocks.at(19), QByteArray("byte_sub"));
        // FIPS-197 figure 7: S-box rows 0 and 5, and the last entry.
        QCOMPARE(blocks.at(20), QByteArray("0x63,0x7c,0x77,0x7b,0xf2,0x6b,0x6f,0xc5,0x30,0x01,0x67,0x2b,0xfe,0xd7,0xab,0x76,"));
        QCOMPARE(blocks.at(25), QByteArray("0x53,0xd1,0x00,0xed,0x20,0xfc,0xb1,0x5b,0x6a,0xcb,0xbe,0x39,0x4a,0x4c,0x58,0xcf,"));
        QVERIFY(blocks.at(35).endsWith("0x16,"));
        QCOMPARE(blocks.at(38), QByteArray("inv_byte_sub"));
        // FIPS-197 figure 14, row 0.
        QCOMPARE(blocks.at(39), QByteArray("0x52,0x09,0x6a,0xd5,0x30,0x36,0xa5,0x38,0xbf,0x40,0xa3,0x9e,0x81,0xf3,0xd7,0xfb,"));
        QVERIFY(blocks.at(54).endsWith("0x7d,"));
        QCOMPARE(blocks.at(57), QByteArray("RCon"));
        QCOMPARE(blocks.at(58), QByteArray("0x00000000,0x00000001,0x00000002,0x00000004,0x00000008,0x00000010,0x00000020,0x00000040,"));
        QVERIFY(blocks.at(59).startsWith("0x00000080,0x0000001b,0x00000036,"));
        QCOMPARE(blocks.last().count(','), 4); // 60 words, 8 to a line
    }

    void parityOfByte_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<int>("parity");
        QTest::newRow("0x00") << 0x00 << 0;
        QTest::newRow("0x01") << 0x01 << 1;
        QTest::newRow("0x80") << 0x80 << 1;
        QTest::newRow("0x81") << 0x81 << 0;
        QTest::newRow("0xFE") << 0xFE << 1;
        QTest::newRow("0xFF") << 0xFF << 0;
    }
    void parityOfByte()
    {
        QFETCH(int, byte);
        QFETCH(int, parity);
        QCOMPARE(MCrypt::Rijndael::parity(static_cast<unsigned char>(byte)), parity);
    }

    // Lengths around the block size, and data whose end looks like padding.
    void bytesRoundTrip_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("cipherSize");
        QTest::newRow("empty") << QByteArray() << 32;
        QTest::newRow("one byte") << QByteArray("x") << 32;
        QTest::newRow("31 bytes") << QByteArray(31, 'a') << 32;
        QTest::newRow("32 bytes") << QByteArray(32, 'b') << 64;
        QTest::newRow("33 bytes") << QByteArray(33, 'c') << 64;
        QTest::newRow("97 bytes") << QByteArray(97, '\xff') << 128;
        QTest::newRow("trailing blanks") << QByteArray("text   ") << 32;
        QTest::newRow("only blanks") << QByteArray(40, ' ') << 64;
        QTest::newRow("ends like padding") << QByteArray("abc\x01", 4) << 32;
        QTest::newRow("zeros") << QByteArray(63, '\0') << 64;
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        QTest::newRow("every byte") << all << 288;
    }
    void bytesRoundTrip()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, cipherSize);
        const QString key = QStringLiteral("secret");
        const QByteArray cipher = MCrypt::encryptBytes(key, data);
        QCOMPARE(cipher.size(), cipherSize);
        QCOMPARE(MCrypt::decryptBytes(key, cipher), data + QByteArray(cipherSize - data.size(), ' '));
    }

    // Fixed key and text against bytes computed apart from this code: blank
    // padding to the next block, each block enciphered on its own.
    void bytesPinnedCiphertext_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("cipherHex");
        QTest::newRow("two blocks, trailing blanks")
            << QStringLiteral("pass") << QByteArray("The quick brown fox jumps over the lazy dog  ")
            << QByteArray("7dac01317bf092febe58eff65ce4622d37427fdc7c1e0e59f558096373a52d06"
                          "5a7f99c47847e92bbdc99d177e3dea3b45e121ad5910e8f1815ad78b729dd509");
        QTest::newRow("empty") << QStringLiteral("pass") << QByteArray()
                               << QByteArray("23d535d67061214703cf58883f2d8d1b21f25ab78fd46854f2721db069f2892d");
    }
    void bytesPinnedCiphertext()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, cipherHex);

        const QByteArray cipher = MCrypt::encryptBytes(key, data);
        const QByteArray plain = MCrypt::decryptBytes(key, QByteArray::fromHex(cipherHex));

        QCOMPARE(cipher.toHex(), cipherHex);
        QCOMPARE(plain, data.leftJustified(cipher.size(), ' '));
    }

    void bytesAreEcbBlocksUnderPaddedKey()
    {
        // arrange: 40 bytes make one full block and one padded with 24 blanks
        const QByteArray data = QByteArray("0123456789abcdef0123456789abcdef") + "tail1234";
        const QByteArray key = paddedKey("pass");
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(256, 256));
        QVERIFY(rijndael.makeKey(key));
        QByteArray expected(64, '\0');
        const QByteArray second = QByteArray("tail1234") + QByteArray(24, ' ');
        rijndael.encryptBlockChecked(bytesOf(data), bytesOf(expected));
        rijndael.encryptBlockChecked(bytesOf(second), bytesOf(expected) + 32);
        // act
        const QByteArray cipher = MCrypt::encryptBytes(QStringLiteral("pass"), data);
        // assert
        QCOMPARE(cipher.toHex(), expected.toHex());
        QCOMPARE(MCrypt::encryptBytes(QStringLiteral("pass").leftJustified(32, QLatin1Char(' ')), data), cipher);
    }

    void keyTextBeyond255AndBeyond32Units()
    {
        const QByteArray data("some data");
        QString wide = QStringLiteral("k");
        wide += QChar(0x20AC);
        const QString zero = QStringLiteral("k") + QChar(0);
        QCOMPARE(MCrypt::encryptBytes(wide, data), MCrypt::encryptBytes(zero, data));
        QVERIFY(MCrypt::encryptBytes(zero, data) != MCrypt::encryptBytes(QStringLiteral("k"), data));
        const QString longKey(32, QLatin1Char('q'));
        QCOMPARE(MCrypt::encryptBytes(longKey + QStringLiteral("ignored"), data),
                 MCrypt::encryptBytes(longKey, data));
    }

    void olderBlankPaddedCiphertextsStillDecrypt_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("expected");
        // The blank padding stays in what is deciphered.
        QTest::newRow("partial block") << QByteArray("abc") << QByteArray("abc").leftJustified(32, ' ');
        QTest::newRow("full block") << QByteArray(32, 'z') << QByteArray(32, 'z') + QByteArray(32, ' ');
        QTest::newRow("trailing blank") << QByteArray("ab ") << QByteArray("ab").leftJustified(32, ' ');
    }
    void olderBlankPaddedCiphertextsStillDecrypt()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, expected);
        // arrange: blank padding to the next block, at least one blank
        QByteArray plain = data + QByteArray(32 - data.size() % 32, ' ');
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(256, 256));
        QVERIFY(rijndael.makeKey(paddedKey("old key")));
        QByteArray cipher(plain.size(), '\0');
        for (int offset = 0; offset < plain.size(); offset += 32)
            rijndael.encryptBlockChecked(bytesOf(plain) + offset, bytesOf(cipher) + offset);
        // act
        const QByteArray result = MCrypt::decryptBytes(QStringLiteral("old key"), cipher);
        // assert
        QCOMPARE(result, expected);
        QCOMPARE(MCrypt::encryptBytes(QStringLiteral("old key"), data).toHex(), cipher.toHex());
    }

    void decryptIgnoresIncompleteTrailingBlock()
    {
        const QByteArray cipher = MCrypt::encryptBytes(QStringLiteral("key"), QByteArray("short"));
        QCOMPARE(cipher.size(), 32);
        QCOMPARE(MCrypt::decryptBytes(QStringLiteral("key"), cipher + QByteArray(8, 'x')),
                 QByteArray("short").leftJustified(32, ' '));
        QCOMPARE(MCrypt::decryptBytes(QStringLiteral("key"), cipher.left(31)), QByteArray());
    }

    void decryptWithWrongKeyGivesOtherBlocks()
    {
        // arrange
        const QByteArray cipher = MCrypt::encryptBytes(QStringLiteral("right"), QByteArray("confidential"));
        MCrypt::Rijndael rijndael;
        QVERIFY(rijndael.setup(256, 256));
        QVERIFY(rijndael.makeKey(paddedKey("wrong")));
        QByteArray expected(32, '\0');
        rijndael.decryptBlockChecked(bytesOf(cipher), bytesOf(expected));
        // act
        const QByteArray result = MCrypt::decryptBytes(QStringLiteral("wrong"), cipher);
        // assert
        QCOMPARE(result.toHex(), expected.toHex());
        QVERIFY(!result.startsWith("confidential"));
    }

    void flagValues_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("okAfter");
        QTest::newRow("one") << 1 << true << true;
        QTest::newRow("zero") << 0 << false << true;
        QTest::newRow("1000") << 1000 << false << false;
        QTest::newRow("two") << 2 << false << true;
        QTest::newRow("minus one") << -1 << false << true;
    }
    void flagValues()
    {
        QFETCH(int, value);
        QFETCH(bool, result);
        QFETCH(bool, okAfter);
        bool ok = true;
        QCOMPARE(MCrypt::Flag(value).toBool(&ok), result);
        QCOMPARE(ok, okAfter);
        QCOMPARE(MCrypt::Flag(value).toBool(), result);
    }

    void flagFromBool()
    {
        QCOMPARE(MCrypt::Flag(true), MCrypt::Flag(1));
        QCOMPARE(MCrypt::Flag(false), MCrypt::Flag(0));
        MCrypt::Flag flag(1000);
        flag = true;
        QCOMPARE(flag.value(), 1);
        flag = false;
        QCOMPARE(flag.value(), 0);
        QVERIFY(flag != MCrypt::Flag(1000));
    }
};

GLYPH_TEST_MAIN(TestRijndael)
#include "tst_rijndael.moc"
