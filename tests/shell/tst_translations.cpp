#include "app.h"
#include "testmain.h"
#include "translationsmanager.h"

#include <QDataStream>
#include <QDir>
#include <QLibraryInfo>
#include <QProcess>
#include <QResource>
#include <QTranslator>

using QMWidgets::App;
using QMWidgets::TranslationsManager;

namespace {

QStringList capturedMessages;
void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedMessages.append(message);
}

// A compiled translation file with one message, in the format QTranslator reads.
QByteArray qmFile(const QByteArray &context, const QByteArray &source, const QString &translation)
{
    auto elfHash = [](const QByteArray &text) {
        uint h = 0;
        for (const char c : text) {
            h = (h << 4) + uchar(c);
            const uint g = h & 0xf0000000;
            if (g)
                h ^= g >> 24;
            h &= ~g;
        }
        return h ? h : 1u;
    };

    QByteArray message;
    QDataStream m(&message, QIODevice::WriteOnly);
    m << quint8(3) << quint32(translation.size() * 2);
    for (const QChar ch : translation)
        m << quint16(ch.unicode());
    m << quint8(6) << quint32(source.size());
    m.writeRawData(source.constData(), source.size());
    m << quint8(7) << quint32(context.size());
    m.writeRawData(context.constData(), context.size());
    m << quint8(1);

    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    static const uchar magic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                    0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
    out.writeRawData(reinterpret_cast<const char *>(magic), 16);
    out << quint8(0x42) << quint32(8) << quint32(elfHash(source)) << quint32(0);
    out << quint8(0x69) << quint32(message.size());
    out.writeRawData(message.constData(), message.size());
    return file;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private:
    TranslationsManager *manager() const { return TranslationsManager::instance(); }

private slots:
    // Must run first: the first language question creates the manager.
    void firstQuestionLoadsTheStoredLanguage()
    {
        // arrange
        App::instance()->setValue("Language", "fr_CA");
        capturedMessages.clear();
        QtMessageHandler previous = qInstallMessageHandler(capture);
        // act
        const QString language = App::instance()->language();
        qInstallMessageHandler(previous);
        // assert
        QCOMPARE(language, QString("fr"));
        QCOMPARE(manager()->language(), QString("fr"));
        QCOMPARE(App::instance()->value("Language", "").toString(), QString("fr"));
        QVERIFY(QCoreApplication::removeTranslator(manager()->appTranslator()));
        // No translation files: nothing is said about it and the source texts show.
        QVERIFY2(capturedMessages.isEmpty(), qPrintable(capturedMessages.join('\n')));
        QCOMPARE(QCoreApplication::translate("QMWidgets::App", "About"), QString("About"));
    }

    void storedTextSelectsALanguage_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("language");
        QTest::newRow("de_AT") << "de_AT" << "de";
        QTest::newRow("pt_BR") << "pt_BR" << "pt";
        QTest::newRow("zh_TW") << "zh_TW" << "zh_TW";
        QTest::newRow("zh_HK") << "zh_HK" << "en";
        QTest::newRow("ar") << "ar" << "ar";
        QTest::newRow("en_US") << "en_US" << "en";
        QTest::newRow("case") << "DE" << "en";
        QTest::newRow("empty") << "" << "en";
    }

    void storedTextSelectsALanguage()
    {
        QFETCH(QString, stored);
        QFETCH(QString, language);
        QCOMPARE(TranslationsManager::languageFor(stored), language);
    }

    void resourceNamesFollowThePrefixes()
    {
        QCOMPARE(manager()->fileNames("de"),
                 QStringList({":/Translations/qt_de", "://Translations/libs_de",
                              ":/Translations/Glyphcraft_de"}));
        manager()->setQtPrefix("q/");
        manager()->setLibsPrefix("l");
        manager()->setAppPrefix("a/");
        const QStringList names = manager()->fileNames("ru");
        manager()->setQtPrefix("");
        manager()->setLibsPrefix("");
        manager()->setAppPrefix("");
        QCOMPARE(names, QStringList({":/q/Translations/qt_ru", ":/l/Translations/libs_ru",
                                     ":/a/Translations/Glyphcraft_ru"}));
    }

    void loadInstallsAllThreeAndFollowsLanguage()
    {
        manager()->load("ar");
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::RightToLeft);

        manager()->load("de");
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QCOMPARE(App::instance()->language(), QString("de"));
        QCOMPARE(App::instance()->value("Language", "").toString(), QString("de"));
        QVERIFY(QCoreApplication::removeTranslator(manager()->qtTranslator()));
        QVERIFY(QCoreApplication::removeTranslator(manager()->libsTranslator()));
        QVERIFY(QCoreApplication::removeTranslator(manager()->appTranslator()));
    }

    void switchBackFromRightToLeft_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("translated");
        QTest::newRow("to English") << "en" << false;
        QTest::newRow("to German") << "de" << true;
    }
    void switchBackFromRightToLeft()
    {
        QFETCH(QString, language);
        QFETCH(bool, translated);
        // arrange: a window made while the program runs right to left
        manager()->load("ar");
        QWidget window;
        QCOMPARE(window.layoutDirection(), Qt::RightToLeft);
        // act
        manager()->load(language);
        // assert
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QCOMPARE(window.layoutDirection(), Qt::LeftToRight);
        QCOMPARE(App::instance()->language(), language);
        QCOMPARE(QCoreApplication::removeTranslator(manager()->appTranslator()), translated);
        QCoreApplication::removeTranslator(manager()->qtTranslator());
        QCoreApplication::removeTranslator(manager()->libsTranslator());
    }

    void englishInstallsNothing()
    {
        manager()->load("de");
        manager()->load("en");
        QCOMPARE(manager()->language(), QString("en"));
        QCOMPARE(App::instance()->languagePathPart(), QString());
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::LeftToRight);
        QVERIFY(!QCoreApplication::removeTranslator(manager()->qtTranslator()));
        QVERIFY(!QCoreApplication::removeTranslator(manager()->appTranslator()));
    }

    void translationsAreReadFromResourcePaths()
    {
        // arrange: a resource set with a library and an application file for "de"
        const QString rcc = QLibraryInfo::location(QLibraryInfo::BinariesPath) + "/rcc";
        if (!QFile::exists(rcc))
            QSKIP("rcc is not installed");
        const QString dir = TestEnvironment::homePath() + "/qrc";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(writeFile(dir + "/app.qm", qmFile("Probe", "Hello", "Hallo")));
        QVERIFY(writeFile(dir + "/libs.qm", qmFile("Lib", "Close", "Schliessen")));
        QVERIFY(writeFile(dir + "/probe.qrc",
                          "<RCC><qresource prefix=\"/\">"
                          "<file alias=\"Translations/Glyphcraft_de.qm\">app.qm</file>"
                          "<file alias=\"Translations/libs_de.qm\">libs.qm</file>"
                          "</qresource></RCC>"));
        QProcess compiler;
        compiler.setWorkingDirectory(dir);
        compiler.start(rcc, {"-binary", "probe.qrc", "-o", "probe.rcc"});
        QVERIFY(compiler.waitForFinished(30000));
        QCOMPARE(compiler.exitCode(), 0);
        QVERIFY(QResource::registerResource(dir + "/probe.rcc"));

        // act
        manager()->load("de");
        // assert
        QCOMPARE(QCoreApplication::translate("Probe", "Hello"), QString("Hallo"));
        QCOMPARE(QCoreApplication::translate("Lib", "Close"), QString("Schliessen"));
        QVERIFY(manager()->qtTranslator()->isEmpty());

        manager()->load("en");
        QCOMPARE(QCoreApplication::translate("Probe", "Hello"), QString("Hello"));
    }
};

GLYPH_APP_TEST_MAIN(TestTranslations, QMWidgets::App)

#include "tst_translations.moc"
