#include "app.h"
#include "testmain.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>
#include <sys/resource.h>

using QMWidgets::App;

// Child modes run without the test harness, in the parent's home:
// "--fatal" writes a fatal message through the file handler (the process aborts);
// "--no-app" sends messages to the file handler while no application object exists.
static int logChild(const char *mode, char *argv[])
{
    if (qstrcmp(mode, "--no-app") == 0) {
        App::setLogToFile();
        qWarning("without application");
        qDebug("still without application");
        // Where a handler without the guard would have written: the support
        // folder as it reads without organisation and application name.
        fputs(qPrintable(App::supportDirectory(false) + "/protocol.log"), stdout);
        return 0;
    }
    // The abort is expected: leave no core file behind.
    const struct rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    int childArgc = 1;
    App app(childArgc, argv, QStringLiteral("Quillar"), QStringLiteral("Glyphcraft"));
    App::setLogToFile();
    qFatal("boom");
    return 0;
}

class TestLogHandlers : public QObject
{
    Q_OBJECT

private:
    static QString logPath() { return App::supportDirectory(false) + "/protocol.log"; }
    static QStringList logLines()
    {
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    void cleanup()
    {
        App::setLogToConsole();
        QFile::remove(logPath());
    }

    void lineFormat_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("debug") << int(QtDebugMsg) << "07.03.19-14:05 Debug: no data, view";
        QTest::newRow("warning") << int(QtWarningMsg) << "07.03.19-14:05 Warning: no data, view";
        QTest::newRow("critical") << int(QtCriticalMsg) << "07.03.19-14:05 Critical: no data, view";
        QTest::newRow("fatal") << int(QtFatalMsg) << "07.03.19-14:05 Fatal: no data, view";
        QTest::newRow("info") << int(QtInfoMsg) << QString();
    }

    void lineFormat()
    {
        QFETCH(int, type);
        QFETCH(QString, expected);
        const QMessageLogContext context("view", 12, "f()", "default");
        const QDateTime time(QDate(2019, 3, 7), QTime(14, 5, 59));
        QCOMPARE(App::logLine(QtMsgType(type), context, "no data", time), expected);
    }

    void lineWithoutFileNameEndsInCommaBlank()
    {
        const QMessageLogContext context;
        QCOMPARE(App::logLine(QtWarningMsg, context, "x", QDateTime(QDate(2020, 12, 31), QTime(9, 7))),
                 QString("31.12.20-09:07 Warning: x, "));
    }

    void fileHandlerAppendsOneLinePerMessage()
    {
        // act
        App::setLogToFile();
        qDebug("first message");
        qWarning("second message");
        qInfo("an information");
        App::setLogToConsole();
        // assert
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 2);
        const QRegularExpression debug("^\\d\\d\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d Debug: first message, ");
        const QRegularExpression warning("^\\d\\d\\.\\d\\d\\.\\d\\d-\\d\\d:\\d\\d Warning: second message, ");
        QVERIFY2(debug.match(lines.at(0)).hasMatch(), qPrintable(lines.at(0)));
        QVERIFY2(warning.match(lines.at(1)).hasMatch(), qPrintable(lines.at(1)));
    }

    void silentAndConsoleHandlersWriteNoFile()
    {
        App::setLogToFile();
        qWarning("kept");
        App::setLogToNowhere();
        qWarning("dropped by the silent handler");
        App::setLogToFile();
        App::setLogToConsole();
        qWarning("goes to the console only");

        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.first().contains(" Warning: kept, "));
    }

    void fatalMessageIsWrittenThenAborts()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--fatal"});
        QVERIFY(child.waitForFinished(30000));

        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains(" Fatal: boom, "), qPrintable(lines.first()));
    }

    void messagesWithoutApplicationObjectAreDropped()
    {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--no-app"});
        QVERIFY(child.waitForFinished(30000));

        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QString unguardedPath = QString::fromLocal8Bit(child.readAllStandardOutput());
        QVERIFY(unguardedPath.endsWith("/protocol.log"));
        QVERIFY2(!QFile::exists(unguardedPath), qPrintable(unguardedPath));
        QVERIFY(!QFile::exists(logPath()));
    }
};

#define main glyphTestMain
GLYPH_APP_TEST_MAIN(TestLogHandlers, QMWidgets::App)
#undef main

int main(int argc, char *argv[])
{
    if (argc > 1 && (qstrcmp(argv[1], "--fatal") == 0 || qstrcmp(argv[1], "--no-app") == 0))
        return logChild(argv[1], argv);
    return glyphTestMain(argc, argv);
}

#include "tst_loghandlers.moc"
