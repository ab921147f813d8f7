#include "testmain.h"
#include "blowfish.h"

namespace {

// Big-endian halves of an 8-byte block.
void splitBlock(const QByteArray &block, quint32 &left, quint32 &right)
{
    const auto *b = reinterpret_cast<const unsigned char *>(block.constData());
    left = quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
    right = quint32(b[4]) << 24 | quint32(b[5]) << 16 | quint32(b[6]) << 8 | b[7];
}

QByteArray joinBlock(quint32 left, quint32 right)
{
    QByteArray block(8, Qt::Uninitialized);
    for (int i = 0; i < 4; ++i) {
        block[i] = char(left >> (24 - 8 * i));
        block[4 + i] = char(right >> (24 - 8 * i));
    }
    return block;
}

bool keyed(MCrypt::Blowfish &cipher, const QByteArray &key)
{
    return cipher.setKey(reinterpret_cast<const unsigned char *>(key.constData()), key.size());
}

} // namespace

class TestBlowfish : public QObject
{
    Q_OBJECT

private slots:
    // The cipher author's published ECB vectors: key, plaintext, ciphertext.
    void publishedVectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        const char *rows[][3] = {
            {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
            {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
            {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
            {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
            {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
            {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
            {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
            {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
            {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
            {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
            {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
            {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
            {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
            {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
            {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
            {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
            {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
            {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
            {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
            {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
            {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
            {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
            {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
            {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
            {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
            {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
            {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
            {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
            {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
            {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
            {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
            {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
            {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
        };
        for (const auto &row : rows)
            QTest::newRow(QByteArray(row[0]).append('/').append(row[1]).constData())
                << QByteArray::fromHex(row[0]) << QByteArray::fromHex(row[1]) << QByteArray::fromHex(row[2]);
    }
    void publishedVectors()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        MCrypt::Blowfish blowfish;
        QVERIFY(keyed(blowfish, key));
        quint32 left, right;
        splitBlock(plain, left, right);

        QVERIFY(blowfish.encrypt(left, right));
        QCOMPARE(joinBlock(left, right).toHex(), cipher.toHex());
        QVERIFY(blowfish.decrypt(left, right));
        QCOMPARE(joinBlock(left, right).toHex(), plain.toHex());
    }

    // Published vectors for keys of 1 to 24 bytes (prefixes of one key, plaintext
    // FEDCBA9876543210): the key bytes cycle through the P-array.
    void keysOfEveryLength_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<QByteArray>("cipher");
        const char *ciphers[] = {
            "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
            "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
            "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
            "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
            "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
            "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
        };
        for (int i = 0; i < 24; ++i)
            QTest::newRow(QByteArray::number(i + 1).constData()) << (i + 1) << QByteArray::fromHex(ciphers[i]);
    }
    void keysOfEveryLength()
    {
        QFETCH(int, length);
        QFETCH(QByteArray, cipher);
        const QByteArray key = QByteArray::fromHex("F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677").left(length);
        MCrypt::Blowfish blowfish;
        QVERIFY(keyed(blowfish, key));
        quint32 left, right;
        splitBlock(QByteArray::fromHex("FEDCBA9876543210"), left, right);
        QVERIFY(blowfish.encrypt(left, right));
        QCOMPARE(joinBlock(left, right).toHex(), cipher.toHex());
    }

    void roundTripsManyBlocksUnderLongKey()
    {
        // A 100-byte key: bytes past the 72nd have no effect, the rest does.
        QByteArray key(100, Qt::Uninitialized);
        for (int i = 0; i < key.size(); ++i)
            key[i] = char(i * 37 + 11);
        MCrypt::Blowfish blowfish;
        QVERIFY(keyed(blowfish, key));
        MCrypt::Blowfish shortened;
        QVERIFY(keyed(shortened, key.left(72)));

        quint32 state = 0x9E3779B9u;
        for (int i = 0; i < 1000; ++i) {
            state = state * 1664525u + 1013904223u;
            const quint32 left0 = state, right0 = ~state ^ quint32(i);
            quint32 left = left0, right = right0;
            QVERIFY(blowfish.encrypt(left, right));
            QVERIFY(left != left0 || right != right0);
            quint32 left2 = left0, right2 = right0;
            shortened.encrypt(left2, right2);
            QCOMPARE(left2, left);
            QCOMPARE(right2, right);
            QVERIFY(blowfish.decrypt(left, right));
            QCOMPARE(left, left0);
            QCOMPARE(right, right0);
        }
    }

    void copiesKeepTheirOwnBoxes()
    {
        // arrange
        MCrypt::Blowfish original;
        QVERIFY(keyed(original, QByteArray::fromHex("0123456789ABCDEF")));
        MCrypt::Blowfish assigned;
        QVERIFY(keyed(assigned, QByteArray("another key")));
        // act
        assigned = original;
        MCrypt::Blowfish copied(original);
        QVERIFY(keyed(original, QByteArray::fromHex("FEDCBA9876543210")));
        // assert: both copies still use the first key's boxes
        for (MCrypt::Blowfish *cipher : {&assigned, &copied}) {
            quint32 left = 0x11111111, right = 0x11111111;
            QVERIFY(cipher->encrypt(left, right));
            QCOMPARE(joinBlock(left, right).toHex(), QByteArray("61f9c3802281b096"));
        }
        {
            MCrypt::Blowfish temporary;
            QVERIFY(keyed(temporary, QByteArray::fromHex("1111111111111111")));
            assigned = temporary;
        } // temporary destroyed
        quint32 left = 0x01234567, right = 0x89ABCDEF;
        QVERIFY(assigned.encrypt(left, right));
        QCOMPARE(joinBlock(left, right).toHex(), QByteArray("7d0cc630afda1ec7"));
        // Self-assignment keeps the key.
        MCrypt::Blowfish &same = assigned;
        assigned = same;
        QVERIFY(assigned.decrypt(left, right));
        QCOMPARE(joinBlock(left, right).toHex(), QByteArray("0123456789abcdef"));
    }

    void refusesMissingKey()
    {
        MCrypt::Blowfish blowfish;
        quint32 left = 1, right = 2;
        QVERIFY(!blowfish.isKeyed());
        QVERIFY(!blowfish.encrypt(left, right));
        QVERIFY(!blowfish.decrypt(left, right));
        QCOMPARE(left, 1u);
        QCOMPARE(right, 2u);

        const unsigned char byte = 0;
        QTest::ignoreMessage(QtDebugMsg, "MCrypt::Blowfish::setKey: the key needs at least one byte");
        QVERIFY(!blowfish.setKey(&byte, 0));
        QTest::ignoreMessage(QtDebugMsg, "MCrypt::Blowfish::setKey: the key needs at least one byte");
        QVERIFY(!blowfish.setKey(nullptr, 8));
        QVERIFY(!blowfish.isKeyed());

        // A refused key leaves an earlier key in place; an unkeyed copy is unkeyed.
        QVERIFY(keyed(blowfish, QByteArray(8, '\0')));
        QTest::ignoreMessage(QtDebugMsg, "MCrypt::Blowfish::setKey: the key needs at least one byte");
        QVERIFY(!blowfish.setKey(&byte, -1));
        left = right = 0;
        QVERIFY(blowfish.encrypt(left, right));
        QCOMPARE(joinBlock(left, right).toHex(), QByteArray("4ef997456198dd78"));
        blowfish = MCrypt::Blowfish();
        QVERIFY(!blowfish.isKeyed());
        QVERIFY(!blowfish.encrypt(left, right));
    }
};

GLYPH_TEST_MAIN(TestBlowfish)
#include "tst_blowfish.moc"
