#include "app.h"
#include "fifowatch.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>

using QMWidgets::App;

namespace {
QString first(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::standardLocations(location).value(0);
}

QString named(QStandardPaths::StandardLocation location)
{
    return first(location) + "/Quillar/Glyphcraft/";
}

QStringList capturedMessages;
void capture(QtMsgType, const QMessageLogContext &, const QString &message)
{
    capturedMessages.append(message);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestFolders : public QObject
{
    Q_OBJECT

private:
    typedef QString (*Getter)(bool);

private slots:
    // Runs first: nothing of this program existed in the fresh home.
    void freshHomeIsANewInstallation()
    {
        QVERIFY(App::instance()->isNewInstallation());
        // The constructor made the work folder right after the probe.
        QVERIFY(QDir(App::workDirectory(false)).exists());
        QVERIFY(!App::detectNewInstallation());
    }

    void gettersGiveTheirPathAndCreateOnRequest_data()
    {
        QTest::addColumn<quintptr>("getter");
        QTest::addColumn<QString>("expected");
        const QString work = QDir::homePath() + "/Glyphcraft/";
        QTest::newRow("work") << quintptr(&App::workDirectory) << work;
        QTest::newRow("downloads") << quintptr(&App::downloadsDirectory) << work;
        QTest::newRow("support") << quintptr(&App::supportDirectory)
                                 << first(QStandardPaths::AppDataLocation);
        QTest::newRow("data") << quintptr(&App::dataDirectory)
                              << first(QStandardPaths::AppLocalDataLocation) + "/";
        QTest::newRow("caches") << quintptr(&App::cachesDirectory) << first(QStandardPaths::CacheLocation);
        QTest::newRow("documents") << quintptr(&App::documentsDirectory)
                                   << named(QStandardPaths::DocumentsLocation);
        QTest::newRow("pictures") << quintptr(&App::picturesDirectory)
                                  << named(QStandardPaths::PicturesLocation);
        QTest::newRow("music") << quintptr(&App::musicDirectory) << named(QStandardPaths::MusicLocation);
        QTest::newRow("movies") << quintptr(&App::moviesDirectory) << named(QStandardPaths::MoviesLocation);
    }

    void gettersGiveTheirPathAndCreateOnRequest()
    {
        QFETCH(quintptr, getter);
        QFETCH(QString, expected);
        const Getter get = reinterpret_cast<Getter>(getter);
        QVERIFY(expected.startsWith(TestEnvironment::homePath()));

        QCOMPARE(get(false), expected);
        QCOMPARE(get(true), expected);
        QVERIFY(QDir(expected).exists());
    }

    void withoutPlatformLocationsFoldersAreTheWorkFolder_data()
    {
        QTest::addColumn<QStringList>("locations");
        QTest::addColumn<QString>("below");
        QTest::addColumn<QString>("expected");
        const QString work = App::workDirectory(false);
        QTest::newRow("none, named") << QStringList() << "/Quillar/Glyphcraft/" << work;
        QTest::newRow("none, data") << QStringList() << "/" << work;
        QTest::newRow("first of two") << QStringList{"/x/docs", "/y/docs"} << "/Quillar/Glyphcraft/"
                                      << "/x/docs/Quillar/Glyphcraft/";
    }
    void withoutPlatformLocationsFoldersAreTheWorkFolder()
    {
        QFETCH(QStringList, locations);
        QFETCH(QString, below);
        QFETCH(QString, expected);
        QCOMPARE(App::locationFolder(locations, below), expected);
    }

    void trailingSlashRules()
    {
        QCOMPARE(App::workDirectory(false), App::downloadsDirectory(false));
        QVERIFY(App::workDirectory(false).endsWith('/'));
        QVERIFY(!App::supportDirectory(false).endsWith('/'));
        QVERIFY(App::dataDirectory(false).endsWith('/'));
        QVERIFY(!App::cachesDirectory(false).endsWith('/'));
        QVERIFY(App::documentsDirectory(false).endsWith("/Quillar/Glyphcraft/"));
    }

    void lastFoldersStartAtWorkAndKeepTheFolderOfAPath()
    {
        App *app = App::instance();
        QCOMPARE(app->lastSettingsDirectory(), App::workDirectory(false));
        QCOMPARE(app->lastSaveDirectory(), App::workDirectory(false));

        app->setLastSaveDirectory("/a/b/picture.png");
        app->setLastSettingsDirectory("/c/d/");
        QCOMPARE(app->lastSaveDirectory(), QString("/a/b"));
        QCOMPARE(app->lastSettingsDirectory(), QString("/c/d"));
    }

    void resourcesFolderIsBesideTheProgram()
    {
        QCOMPARE(App::instance()->resourcesDirectory(),
                 QCoreApplication::applicationDirPath() + "/Resources/");
    }

    void probeLooksAtEveryFolderOfTheseNames()
    {
        const QStringList folders = {App::supportDirectory(false),  App::documentsDirectory(false),
                                     App::cachesDirectory(false),   App::dataDirectory(false),
                                     App::workDirectory(false),     App::picturesDirectory(false),
                                     App::musicDirectory(false),    App::moviesDirectory(false)};
        for (const QString &folder : folders)
            QDir(folder).removeRecursively();
        QVERIFY(App::detectNewInstallation());
        // The flag of this run does not change.
        QVERIFY(App::instance()->isNewInstallation());

        for (const QString &folder : folders) {
            QVERIFY(QDir().mkpath(folder));
            const bool isNew = App::detectNewInstallation();
            QDir(folder).removeRecursively();
            QVERIFY2(!isNew, qPrintable(folder));
        }
        App::workDirectory(true);
    }

    void copyFileInto()
    {
        const QString home = TestEnvironment::homePath();
        QVERIFY(writeFile(home + "/source.txt", "payload"));
        const QString folder = home + "/copies/deeper";

        // Missing folder is made; an empty name takes the source's name.
        QVERIFY(App::copyFileInto(home + "/source.txt", folder, QString()));
        QCOMPARE(readFile(folder + "/source.txt"), QByteArray("payload"));

        // An existing target is kept as it is.
        QVERIFY(writeFile(home + "/other.txt", "other"));
        QVERIFY(App::copyFileInto(home + "/other.txt", folder, "source.txt"));
        QCOMPARE(readFile(folder + "/source.txt"), QByteArray("payload"));

        // A missing source writes nothing.
        QVERIFY(!App::copyFileInto(home + "/missing.txt", folder, "never.txt"));
        QVERIFY(!QFile::exists(folder + "/never.txt"));
    }

    void copyFileIntoRefusesAFifoSourceWithoutOpeningIt()
    {
        // arrange
        const QString home = TestEnvironment::homePath();
        const QString source = home + "/pipe";
        QCOMPARE(::mkfifo(QFile::encodeName(source).constData(), 0600), 0);
        FifoWatch watch(source);

        // act
        const bool copied = App::copyFileInto(source, home + "/pipecopies", "copy.txt");
        watch.stop();

        // assert
        QVERIFY2(!watch.readerSeen(), "the FIFO was opened");
        QVERIFY(!copied);
        QVERIFY(!QFile::exists(home + "/pipecopies/copy.txt"));
    }

    void copyFileIntoUnwritableTargetFailsAndLeavesNothing()
    {
        // A folder path that is a plain file cannot take a target, even for root.
        const QString home = TestEnvironment::homePath();
        QVERIFY(writeFile(home + "/source2.txt", "payload"));
        QVERIFY(writeFile(home + "/notafolder", "x"));

        QVERIFY(!App::copyFileInto(home + "/source2.txt", home + "/notafolder", "target.txt"));
        QVERIFY(!QFile::exists(home + "/notafolder/target.txt"));
        QCOMPARE(readFile(home + "/notafolder"), QByteArray("x"));
        // No partial file was left behind in the home either.
        const QStringList leftovers = QDir(home).entryList({"target.txt*", "notafolder.*"}, QDir::Files);
        QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(',')));
    }

    void copyToSupportFolder()
    {
        const QString home = TestEnvironment::homePath();
        QVERIFY(writeFile(home + "/support.txt", "s"));
        QVERIFY(App::copyFileToSupportDirectory(home + "/support.txt", "copied.txt"));
        QCOMPARE(readFile(App::supportDirectory(false) + "/copied.txt"), QByteArray("s"));
    }

    void dumpDirectoriesWritesNineLabelledLines()
    {
        capturedMessages.clear();
        QtMessageHandler previous = qInstallMessageHandler(capture);
        App::dumpDirectories();
        qInstallMessageHandler(previous);

        const QStringList labels = {"supportDirectory:", "dataDirectory:", "cachesDirectory:",
                                    "documentsDirectory:", "workDirectory:", "picturesDirectory:",
                                    "musicDirectory:", "moviesDirectory:", "downloadsDirectory:"};
        QCOMPARE(capturedMessages.size(), labels.size());
        for (int i = 0; i < labels.size(); ++i)
            QVERIFY2(capturedMessages.at(i).startsWith(labels.at(i) + ' '),
                     qPrintable(capturedMessages.at(i)));
        QCOMPARE(capturedMessages.at(4), "workDirectory: " + App::workDirectory(false));
    }
};

GLYPH_APP_TEST_MAIN(TestFolders, QMWidgets::App)

#include "tst_folders.moc"
