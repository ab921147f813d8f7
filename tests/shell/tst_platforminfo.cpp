#include "platforminfo.h"
#include "testmain.h"

using QMWidgets::PlatformInfo;

class TestPlatformInfo : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { PlatformInfo::clearOverride(); }

    void windowsTagIsUpperCaseHex_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("tag");
        QTest::newRow("2000") << 0x20 << "00_20";
        QTest::newRow("Vista") << 0x80 << "00_80";
        QTest::newRow("8") << 0xA0 << "00_A0";
        QTest::newRow("8.1") << 0xB0 << "00_B0";
        QTest::newRow("10") << 0xC0 << "00_C0";
        QTest::newRow("one digit is padded") << 0x4 << "00_04";
    }

    void windowsTagIsUpperCaseHex()
    {
        QFETCH(int, version);
        QFETCH(QString, tag);
        QCOMPARE(PlatformInfo::windowsVersionTagFor(version), tag);
    }

    void linuxClaimsNoWindowsVersion()
    {
#ifdef Q_OS_LINUX
        QCOMPARE(PlatformInfo::windowsVersionTag(), QString());
        QVERIFY(PlatformInfo::osName().startsWith("Linux"));
#else
        QSKIP("Linux only");
#endif
    }

    void osNameIsPlainText()
    {
        const QString name = PlatformInfo::osName();
        QVERIFY(!name.isEmpty());
        QVERIFY(!name.contains('#'));
        QVERIFY(!name.contains('&'));
        QVERIFY(!name.contains('\n'));
    }

    void nameFromOsRelease_data()
    {
        QTest::addColumn<QByteArray>("osRelease");
        QTest::addColumn<QString>("name");
        QTest::newRow("pretty name quoted")
            << QByteArray("NAME=\"Debian GNU/Linux\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n")
            << "Linux Debian GNU/Linux 12 (bookworm)";
        QTest::newRow("name only, unquoted") << QByteArray("NAME=Arch\nID=arch\n") << "Linux Arch";
        QTest::newRow("single quotes, escapes") << QByteArray("PRETTY_NAME='My \\\"OS\\\"'\n")
                                                << "Linux My \"OS\"";
        QTest::newRow("link characters removed")
            << QByteArray("PRETTY_NAME=\"A&B #1\"\n") << "Linux AB 1";
        QTest::newRow("nothing usable") << QByteArray("ID=x\n# comment\n") << "Linux";
        QTest::newRow("empty") << QByteArray() << "Linux";
    }

    void nameFromOsRelease()
    {
        QFETCH(QByteArray, osRelease);
        QFETCH(QString, name);
        QCOMPARE(PlatformInfo::linuxNameFromOsRelease(osRelease), name);
    }

    void overrideReplacesEachAnswerOnItsOwn()
    {
        const QString realName = PlatformInfo::osName();

        PlatformInfo::setOverride(QString(), "00_C0");
        QCOMPARE(PlatformInfo::windowsVersionTag(), QString("00_C0"));
        QCOMPARE(PlatformInfo::osName(), realName);

        PlatformInfo::setOverride("Win 10", QString());
        QCOMPARE(PlatformInfo::osName(), QString("Win 10"));

        PlatformInfo::clearOverride();
        QCOMPARE(PlatformInfo::osName(), realName);
    }
};

GLYPH_TEST_MAIN(TestPlatformInfo)
#include "tst_platforminfo.moc"
