#include "app.h"
#include "testmain.h"

#include <QProcess>
#include <QSettings>
#include <QTextStream>

using QMWidgets::App;

// Run as "--settings-child": a second process in the same home that reads what
// the first one wrote, answers on stdout and writes a reply through App.
static int settingsChild(int argc, char *argv[])
{
    int childArgc = 1;
    App app(childArgc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
    Q_UNUSED(argc);
    QTextStream out(stdout);
    out << "handover=" << app.value(QStringLiteral("Handover"), QStringLiteral("<none>")).toString()
        << "\nnew=" << (app.isNewInstallation() ? 1 : 0)
        << "\nfirst=" << (app.isFirstStart() ? 1 : 0) << "\n";
    app.setValue(QStringLiteral("Reply"), QStringLiteral("from child"));
    return 0;
}

class TestSettings : public QObject
{
    Q_OBJECT

private:
    App *app() const { return App::instance(); }

private slots:
    void storeIsAnIniFileInTheConfigFolder()
    {
        QCOMPARE(app()->settings()->format(), QSettings::NativeFormat);
        QVERIFY(app()->settings()->fileName().startsWith(TestEnvironment::homePath() + "/.config/"));
        QVERIFY(app()->settings()->fileName().endsWith("Quillar/Glyphcraft.conf"));
    }

    void keysArePrefixedWithTheApplicationName()
    {
        // act
        app()->setValue("Language", "de");
        // assert
        QCOMPARE(app()->value("Language", "x").toString(), QString("de"));
        QCOMPARE(app()->settings()->value("Glyphcraft/Language").toString(), QString("de"));
        QVERIFY(!app()->settings()->contains("Language"));
    }

    void keysAreCaseSensitive()
    {
        app()->setValue("checkupdates", false);
        QCOMPARE(app()->value("checkupdates", true).toBool(), false);
        QCOMPARE(app()->value("CheckUpdates", true).toBool(), true);
    }

    void plainKeysSkipThePrefix()
    {
        app()->setPlainSettingsKeys(true);
        app()->setValue("PlainKey", 42);
        const int plain = app()->value("PlainKey", 0).toInt();
        app()->setPlainSettingsKeys(false);

        QCOMPARE(plain, 42);
        QCOMPARE(app()->settings()->value("PlainKey").toInt(), 42);
        QCOMPARE(app()->value("PlainKey", 7).toInt(), 7);
    }

    void groupListsTheKeysWrittenWithoutPrefix()
    {
        app()->setValue("GroupProbe", true);
        app()->beginGroup("Glyphcraft");
        const QStringList keys = app()->childKeys();
        app()->endGroup();
        QVERIFY(keys.contains("GroupProbe"));
        QVERIFY(keys.contains("Language"));
    }

    void firstStartIsTrueOnce()
    {
        QCOMPARE(app()->isFirstStart(), true);
        QCOMPARE(app()->isFirstStart(), false);
        QCOMPARE(app()->value("AppFirstStart", true).toBool(), false);
    }

    void firstRunCountOnlyForWebDistribution()
    {
        // A store distribution counts nothing.
        app()->setWebDistribution(false);
        app()->startFirstRunCount();
        QVERIFY(!app()->value("Initialized", false).toBool());

        app()->setWebDistribution(true);
        app()->startFirstRunCount();
        app()->setWebDistribution(false);
        QVERIFY(app()->value("Initialized", false).toBool());
    }

    void valuesSurviveIntoASecondProcess()
    {
        // arrange
        app()->setValue("Handover", "from parent");
        app()->settings()->sync();
        QProcess child;
        child.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
        // act
        child.start(QCoreApplication::applicationFilePath(), {"--settings-child"});
        QVERIFY(child.waitForFinished(30000));
        // assert
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        QVERIFY2(out.contains("handover=from parent\n"), qPrintable(out));
        // The work folder made by this process is there: no new installation.
        QVERIFY2(out.contains("new=0\n"), qPrintable(out));
        // isFirstStart() was used up by this process already.
        QVERIFY2(out.contains("first=0\n"), qPrintable(out));
        app()->settings()->sync();
        QCOMPARE(app()->value("Reply", "").toString(), QString("from child"));
    }
};

#define main glyphTestMain
GLYPH_APP_TEST_MAIN(TestSettings, QMWidgets::App)
#undef main

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--settings-child") == 0)
        return settingsChild(argc, argv);
    return glyphTestMain(argc, argv);
}

#include "tst_settings.moc"
