#include "os.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QDir>

class TestOs : public QObject
{
    Q_OBJECT

private slots:
    void scaleFactorIsOne() { QCOMPARE(Os::scaleFactor(), 1.0); }

    void showInFileManagerOpensHoldingFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        const QString home = TestEnvironment::homePath();
        QTest::newRow("plain") << home + "/shots/a.png" << home + "/shots";
        QTest::newRow("doubled slashes") << home + "//shots//a.png" << home + "/shots";
        QTest::newRow("url characters") << home + "/a #1?x/b.png" << home + "/a #1?x";
        QTest::newRow("relative") << "a.png" << QDir::currentPath();
    }
    void showInFileManagerOpensHoldingFolder()
    {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        UrlRecorder::instance()->clear();

        QVERIFY(Os::showInFileManager(path));

        QCOMPARE(UrlRecorder::instance()->urls().size(), 1);
        const QUrl url = UrlRecorder::instance()->last();
        QCOMPARE(url.scheme(), QStringLiteral("file"));
        QCOMPARE(url.toLocalFile(), folder);
    }

    void showInFileManagerOpensNothingForEmptyPath()
    {
        UrlRecorder::instance()->clear();
        QVERIFY(!Os::showInFileManager(QString()));
        QVERIFY(!Os::showInFileManager(QStringLiteral("  ")));
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
    }
};

GLYPH_TEST_MAIN(TestOs)
#include "tst_os.moc"
