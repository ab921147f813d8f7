#include "fifowatch.h"
#include "openerprocess.h"
#include "os.h"
#include "ossessionevents.h"
#include "standinopener.h"
#include "stderrcapture.h"
#include "testmain.h"
#include "urlrecorder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

// Sends one notice through the native-event hook: 'S' suspend, 'R' automatic
// resume, 'L' session end with wParam 0, 'E' session end with wParam 1,
// 'O' another power event.
bool send(char notice)
{
    Os::NativeMessage message;
    switch (notice) {
    case 'S': message.message = Os::PowerBroadcast; message.wParam = Os::PowerSuspend; break;
    case 'R': message.message = Os::PowerBroadcast; message.wParam = Os::PowerResumeAutomatic; break;
    case 'L': message.message = Os::EndSession; message.wParam = 0; break;
    case 'E': message.message = Os::EndSession; message.wParam = 1; break;
    default: message.message = Os::PowerBroadcast; message.wParam = 0xA; break;
    }
    return Os::nativeEvent(&message);
}

// A signal set from /proc/<pid>/status ("SigIgn:", "SigCgt:"), bit n-1 for signal n.
quint64 signalMask(const QByteArray &status, const QByteArray &field)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}

// Waits until the signal is no longer pending for the process (its handler
// has it); false when it stays pending or the process is gone.
bool waitUntilDelivered(pid_t pid, int signalNumber)
{
    const quint64 bit = quint64(1) << (signalNumber - 1);
    for (int i = 0; i < 6000; ++i) {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = status.readAll();
        if (!((signalMask(text, "ShdPnd:") | signalMask(text, "SigPnd:")) & bit))
            return true;
        QThread::msleep(10);
    }
    return false;
}

void writeEntry(const QByteArray &text)
{
    const QString path = Os::autoStartFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

} // namespace

class TestOs : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        delete Os::instance();
        QFile::remove(Os::autoStartFilePath());
        QDir().rmdir(Os::autoStartFilePath());
    }

    void instanceIsOneObjectUntilDeleted()
    {
        Os *first = Os::instance();
        QCOMPARE(Os::instance(), first);
        QCOMPARE(first->metaObject()->className(), "Os");
        QVERIFY(!first->parent());
        delete first;
        QVERIFY(Os::instance());
        QVERIFY(!Os::instance()->isInStandBy());
    }

    void nativeEventStateMachine_data()
    {
        QTest::addColumn<QByteArray>("notices");
        QTest::addColumn<int>("standBy");
        QTest::addColumn<int>("wakeUp");
        QTest::addColumn<int>("logout");
        QTest::addColumn<bool>("inStandBy");

        QTest::newRow("suspend") << QByteArray("S") << 1 << 0 << 0 << true;
        QTest::newRow("suspend twice") << QByteArray("SS") << 1 << 0 << 0 << true;
        QTest::newRow("suspend, resume") << QByteArray("SR") << 1 << 1 << 0 << false;
        QTest::newRow("two suspends, two resumes") << QByteArray("SSRR") << 1 << 1 << 0 << false;
        QTest::newRow("resume without suspend") << QByteArray("R") << 0 << 0 << 0 << false;
        QTest::newRow("two cycles") << QByteArray("SRSR") << 2 << 2 << 0 << false;
        QTest::newRow("other power event") << QByteArray("SOO") << 1 << 0 << 0 << true;
        QTest::newRow("session end, session not ending") << QByteArray("L") << 0 << 0 << 1 << false;
        QTest::newRow("session end twice") << QByteArray("EL") << 0 << 0 << 2 << false;
        QTest::newRow("logout keeps stand-by") << QByteArray("SLR") << 1 << 1 << 1 << false;
    }
    void nativeEventStateMachine()
    {
        QFETCH(QByteArray, notices);
        QFETCH(int, standBy);
        QFETCH(int, wakeUp);
        QFETCH(int, logout);
        QFETCH(bool, inStandBy);
        Os *os = Os::instance();
        QSignalSpy standBySpy(os, SIGNAL(atSwitchToStandBy()));
        QSignalSpy wakeUpSpy(os, SIGNAL(atWakeUpFromStandBy()));
        QSignalSpy logoutSpy(os, SIGNAL(atUserLogout()));

        for (const char notice : notices)
            QVERIFY2(!send(notice), "a notice is never consumed");

        QCOMPARE(standBySpy.count(), standBy);
        QCOMPARE(wakeUpSpy.count(), wakeUp);
        QCOMPARE(logoutSpy.count(), logout);
        QCOMPARE(os->isInStandBy(), inStandBy);
    }

    void nativeEventWithoutInstanceDoesNothing()
    {
        delete Os::instance();
        QVERIFY(!send('S'));
        QVERIFY(!Os::nativeEvent(nullptr));
        // A suspend seen without an object leaves no state behind.
        QSignalSpy wakeUpSpy(Os::instance(), SIGNAL(atWakeUpFromStandBy()));
        send('R');
        QCOMPARE(wakeUpSpy.count(), 0);
    }

    void loginManagerSignalsDriveTheStateMachine()
    {
        // The platform layer as the system bus would call it.
        Os *os = Os::instance();
        OsSessionEvents events;
        QSignalSpy standBySpy(os, SIGNAL(atSwitchToStandBy()));
        QSignalSpy wakeUpSpy(os, SIGNAL(atWakeUpFromStandBy()));
        QSignalSpy logoutSpy(os, SIGNAL(atUserLogout()));

        events.slotPrepareForSleep(true);
        events.slotPrepareForSleep(true);
        events.slotPrepareForSleep(false);
        events.slotPrepareForShutdown(false);
        events.slotPrepareForShutdown(true);

        QCOMPARE(standBySpy.count(), 1);
        QCOMPARE(wakeUpSpy.count(), 1);
        QCOMPARE(logoutSpy.count(), 1);
    }

    void terminationSignalsArriveFromTheEventLoop_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

    void terminationSignalsArriveFromTheEventLoop()
    {
        QFETCH(int, signalNumber);
        // arrange
        QVERIFY(Os::catchTerminationSignals());
        QSignalSpy spy(Os::instance(), SIGNAL(atTerminationRequest(int)));

        // act: the process lives on; the signal waits for the event loop
        QCOMPARE(std::raise(signalNumber), 0);
        QCOMPARE(spy.count(), 0);
        QVERIFY(spy.wait(5000));

        // assert
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toInt(), signalNumber);
    }

    // A signal ignored when the program starts (nohup ignores SIGHUP, a
    // script's background job SIGINT) stays ignored: the child survives it
    // and ends at the SIGTERM that follows. Not ignored, it ends the child.
    void signalIgnoredAtStartStaysIgnored_data()
    {
        QTest::addColumn<QString>("ignored"); // the shell's name, "" for none
        QTest::addColumn<int>("sent");
        QTest::addColumn<bool>("thenTerm");
        QTest::addColumn<int>("caught");
        QTest::newRow("SIGHUP ignored") << "HUP" << int(SIGHUP) << true << int(SIGTERM);
        QTest::newRow("SIGINT ignored") << "INT" << int(SIGINT) << true << int(SIGTERM);
        QTest::newRow("none ignored") << "" << int(SIGHUP) << false << int(SIGHUP);
    }

    void signalIgnoredAtStartStaysIgnored()
    {
        QFETCH(QString, ignored);
        QFETCH(int, sent);
        QFETCH(bool, thenTerm);
        QFETCH(int, caught);
        // arrange: a child started with the signal ignored catches the three
        QProcess child;
        const QString trap = ignored.isEmpty() ? QString() : "trap '' " + ignored + "; ";
        child.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), trap + QStringLiteral("exec \"$0\" --catch-termination-signals"),
                     QCoreApplication::applicationFilePath()});
        QVERIFY(child.waitForReadyRead(60000));
        QFile status(QStringLiteral("/proc/%1/status").arg(child.processId()));
        QVERIFY(status.open(QIODevice::ReadOnly));
        const QByteArray dispositions = status.readAll();

        // act
        QCOMPARE(::kill(pid_t(child.processId()), sent), 0);
        if (thenTerm)
            QCOMPARE(::kill(pid_t(child.processId()), SIGTERM), 0);
        QVERIFY(child.waitForFinished(60000));

        // assert: the signal kept its disposition; the child caught only the one expected
        const quint64 bit = quint64(1) << (sent - 1);
        const quint64 ignoredMask = signalMask(dispositions, "SigIgn:");
        const quint64 caughtMask = signalMask(dispositions, "SigCgt:");
        QCOMPARE(bool(ignoredMask & bit), !ignored.isEmpty());
        QCOMPARE(bool(caughtMask & bit), ignored.isEmpty());
        QVERIFY(caughtMask & (quint64(1) << (SIGTERM - 1)));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.readAllStandardOutput(), "ready\ncaught " + QByteArray::number(caught) + "\n");
    }

    // While an ending writes, a SIGINT ends the program at once and names
    // what it leaves unwritten; a SIGTERM or SIGHUP before it does not cut
    // the work short.
    void interruptEndsAnEndingAndNamesWhatIsLeft_data()
    {
        QTest::addColumn<int>("first"); // 0: the SIGINT alone
        QTest::newRow("SIGINT") << 0;
        QTest::newRow("SIGTERM, then SIGINT") << int(SIGTERM);
        QTest::newRow("SIGHUP, then SIGINT") << int(SIGHUP);
    }

    void interruptEndsAnEndingAndNamesWhatIsLeft()
    {
        QFETCH(int, first);
        // arrange: a child whose ending writes two files
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--ending")});
        auto stop = qScopeGuard([&child] {
            child.kill();
            child.waitForFinished();
        });
        QVERIFY(child.waitForReadyRead(60000));
        const pid_t pid = pid_t(child.processId());

        // act: the first signal has reached the child when the SIGINT is sent
        if (first != 0) {
            QCOMPARE(::kill(pid, first), 0);
            QVERIFY(waitUntilDelivered(pid, first));
        }
        QCOMPARE(::kill(pid, SIGINT), 0);
        QVERIFY(child.waitForFinished(60000));

        // assert: ended by the SIGINT, named both files, wrote nothing more
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), int(SIGINT));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("ready\n"));
        const QByteArray name = QFileInfo(QCoreApplication::applicationFilePath()).fileName().toLocal8Bit();
        QCOMPARE(child.readAllStandardError(),
                 name + ": interrupted, left unwritten: \"/a.html\"\n"
                 + name + ": interrupted, left unwritten: \"/b.html\"\n");
    }

    // A write to a pipe whose reader is gone fails without ending the
    // program; a program it starts gets SIGPIPE at its default, or ignored
    // when it was started with SIGPIPE ignored.
    void brokenPipeEndsNoWrite_data()
    {
        QTest::addColumn<bool>("ignoredAtStart");
        QTest::newRow("SIGPIPE at its default") << false;
        QTest::newRow("SIGPIPE ignored at start") << true;
    }

    void brokenPipeEndsNoWrite()
    {
        QFETCH(bool, ignoredAtStart);
        // arrange
        QProcess child;
        const QString trap = ignoredAtStart ? QStringLiteral("trap '' PIPE; ") : QString();
        child.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), trap + QStringLiteral("exec \"$0\" --broken-pipe"),
                     QCoreApplication::applicationFilePath()});

        // act: it writes to standard error after its reader is gone
        QVERIFY(child.waitForFinished(60000));

        // assert: it lived on, kept SIGPIPE ignored or caught it; what it started did not inherit the catch
        const QByteArray out = child.readAllStandardOutput();
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(out.startsWith(ignoredAtStart ? "ignored\n" : "caught\n"), out.constData());
        QVERIFY2(out.endsWith("survived\n"), out.constData());
        const quint64 bit = quint64(1) << (SIGPIPE - 1);
        QCOMPARE(bool(signalMask(out, "SigIgn:") & bit), ignoredAtStart);
        QVERIFY(!(signalMask(out, "SigCgt:") & bit));
    }

    // However the opener fails (a status, a signal) it is said, to the
    // caller or, without one, on standard error; a success says nothing.
    void watchedOpenerSaysWhyItFailed_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("killedBy");
        QTest::addColumn<bool>("callback");
        QTest::addColumn<QString>("cause"); // "": nothing said
        const QString none = QStringLiteral("xdg-open found no file manager to use (exit status 3)");
        const QString killed = QStringLiteral("xdg-open stopped unexpectedly");
        QTest::newRow("opened") << 0 << 0 << true << "";
        QTest::newRow("no file manager") << 3 << 0 << true << none;
        QTest::newRow("another status") << 1 << 0 << true << "xdg-open ended with exit status 1";
        QTest::newRow("killed by a signal") << 0 << int(SIGKILL) << true << killed;
        QTest::newRow("opened, no callback") << 0 << 0 << false << "";
        QTest::newRow("no file manager, no callback") << 3 << 0 << false << none;
        QTest::newRow("killed by a signal, no callback") << 0 << int(SIGKILL) << false << killed;
    }

    void watchedOpenerSaysWhyItFailed()
    {
        QFETCH(int, status);
        QFETCH(int, killedBy);
        QFETCH(bool, callback);
        QFETCH(QString, cause);
        // arrange: the opener is a stand-in; standard error goes to a file
        StandInOpener opener(status, killedBy);
        Os::setLinkOpener(QStringLiteral("xdg-open"));
        auto noOpener = qScopeGuard([] { Os::setLinkOpener(QString()); });
        const QString folder = QFileInfo(TestEnvironment::homePath()).canonicalFilePath();
        QStringList causes;
        QObject context;
        UrlRecorder::instance()->clear();
        StderrCapture standardError;

        // act
        const bool started = callback
            ? Os::showInFileManager(folder + QStringLiteral("/a.png"), &context,
                                    [&causes](const QString &said) { causes << said; })
            : Os::showInFileManager(folder + QStringLiteral("/a.png"));
        QTRY_VERIFY_WITH_TIMEOUT(OpenerProcess::running() == 0, 60000);

        // assert: the opener had the folder, not the desktop services
        QVERIFY(started);
        QVERIFY(UrlRecorder::instance()->urls().isEmpty());
        const QByteArray text = standardError.text();
        if (callback) {
            QCOMPARE(causes, cause.isEmpty() ? QStringList() : QStringList{cause});
            QCOMPARE(text, QByteArray());
        } else {
            const QString line = cause.isEmpty() ? QString()
                : QCoreApplication::applicationName() + ": \"" + folder + "\" could not be opened: " + cause + "\n";
            QCOMPARE(QString::fromLocal8Bit(text), line);
        }
    }

    void libraryFileName_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("file");
        QTest::newRow("plain") << "imagetools" << "imagetools.so";
        QTest::newRow("with path") << "/opt/lib/libfx" << "/opt/lib/libfx.so";
        QTest::newRow("empty") << "" << ".so";
    }
    void libraryFileName()
    {
        QFETCH(QString, base);
        QFETCH(QString, file);
        QCOMPARE(Os::libraryFileName(base), file);
    }

    void autoStartRoundTrip()
    {
        // arrange
        const QString path = Os::autoStartFilePath();
        QVERIFY(path.startsWith(TestEnvironment::homePath() + "/.config/autostart/"));
        QVERIFY(path.endsWith(".desktop"));
        QVERIFY(!Os::isAutoStartEnabled());

        // act, assert: on
        Os::setAutoStart(true);
        QVERIFY(Os::isAutoStartEnabled());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nType=Application\n"));
        QVERIFY(text.contains("\nExec=" + QCoreApplication::applicationFilePath() + "\n"));

        // on twice keeps one entry
        Os::setAutoStart(true);
        QVERIFY(Os::isAutoStartEnabled());

        // off
        Os::setAutoStart(false);
        QVERIFY(!Os::isAutoStartEnabled());
        QVERIFY(!QFile::exists(path));
        Os::setAutoStart(false);
        QVERIFY(!Os::isAutoStartEnabled());
    }

    void autoStartEntryRead_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("command") << QByteArray("[Desktop Entry]\nExec=/usr/bin/x\n") << true;
        QTest::newRow("empty command") << QByteArray("[Desktop Entry]\nExec=\n") << false;
        QTest::newRow("no command") << QByteArray("[Desktop Entry]\nType=Application\n") << false;
        QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nExec=/usr/bin/x\nHidden=true\n") << false;
        QTest::newRow("switched off")
            << QByteArray("[Desktop Entry]\nExec=x\nX-GNOME-Autostart-enabled=false\n") << false;
        QTest::newRow("command in another group")
            << QByteArray("[Desktop Action new]\nExec=/usr/bin/x\n") << false;
        QTest::newRow("quoted empty command") << QByteArray("[Desktop Entry]\nExec=\"\" -x\n") << false;
        QTest::newRow("escaped blank only") << QByteArray("[Desktop Entry]\nExec=\\s\n") << false;
        QTest::newRow("escaped line feed in the command")
            << QByteArray("[Desktop Entry]\nExec=\"/a\\nHidden=true\"\n") << true;
    }
    void autoStartEntryRead()
    {
        QFETCH(QByteArray, entry);
        QFETCH(bool, enabled);
        writeEntry(entry);
        QCOMPARE(Os::isAutoStartEnabled(), enabled);
    }

    // The program's path goes into the entry escaped as the desktop-entry
    // format requires, whatever its folder is called, and reads back: a copy
    // of this program, run from such a folder, enables the entry for itself.
    void autoStartEntryHoldsAnyPath_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("written"); // the folder as the Exec value holds it
        QTest::newRow("line feed") << "a\nHidden=true\nb" << "a\\nHidden=true\\nb";
        QTest::newRow("tab") << "a\tb" << "a\\tb";
        QTest::newRow("carriage return") << "a\rb" << "a\\rb";
        QTest::newRow("backslash") << "a\\b" << "a\\\\\\\\b";
        QTest::newRow("double quote") << "a\"b" << "a\\\\\"b";
        QTest::newRow("dollar") << "a$b" << "a\\\\$b";
        QTest::newRow("backtick") << "a`b" << "a\\\\`b";
        QTest::newRow("blank and percent") << "50% off" << "50%% off";
    }
    void autoStartEntryHoldsAnyPath()
    {
        QFETCH(QString, folder);
        QFETCH(QString, written);
        // arrange
        const QString home = QFileInfo(TestEnvironment::homePath()).canonicalFilePath();
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        const QString program = home + QLatin1Char('/') + folder + QLatin1Char('/') + name;
        QVERIFY(QDir().mkpath(QFileInfo(program).path()));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        // act
        QProcess child;
        child.start(program, {QStringLiteral("--enable-autostart"), QCoreApplication::applicationName()});
        QVERIFY(child.waitForFinished(60000));
        QDir(QFileInfo(program).path()).removeRecursively();
        // assert
        QCOMPARE(child.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()),
                 QStringLiteral("enabled ") + QString::fromUtf8(QUrl::toPercentEncoding(program)) + "\n");
        QFile entry(Os::autoStartFilePath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n')),
                 QStringList({"[Desktop Entry]", "Type=Application",
                              "Name=" + QFileInfo(Os::autoStartFilePath()).completeBaseName(),
                              "Exec=\"" + home + "/" + written + "/" + name + "\"",
                              "X-GNOME-Autostart-enabled=true", ""}));
    }

    // A FIFO or folder standing at the entry's name is neither replaced nor
    // read: the entry counts as off.
    void autoStartLeavesWhatIsNoRegularFileAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("fifo") << "fifo";
        QTest::newRow("folder") << "folder";
    }
    void autoStartLeavesWhatIsNoRegularFileAlone()
    {
        QFETCH(QString, kind);
        // arrange
        const QString path = Os::autoStartFilePath();
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        std::unique_ptr<FifoWatch> watch;
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(name.constData(), 0600), 0);
            watch = std::make_unique<FifoWatch>(path); // a reader would otherwise block for good
        } else {
            QVERIFY(QDir().mkdir(path));
        }
        // act
        Os::setAutoStart(true);
        const bool enabled = Os::isAutoStartEnabled();
        if (watch)
            watch->stop();
        // assert
        QVERIFY(!enabled);
        QVERIFY(!watch || !watch->readerSeen());
        struct stat info;
        QCOMPARE(::lstat(name.constData(), &info), 0);
        QVERIFY(kind == "fifo" ? S_ISFIFO(info.st_mode) : S_ISDIR(info.st_mode));
    }

    void autoStartFileNameIsSafe()
    {
        const QString saved = QCoreApplication::applicationName();
        QCoreApplication::setApplicationName(QStringLiteral("My App/../2"));
        const QString name = QFileInfo(Os::autoStartFilePath()).fileName();
        QCoreApplication::setApplicationName(saved);
        QCOMPARE(name, QStringLiteral("My_App_.._2.desktop"));
    }

    void scaleFactorIsOne() { QCOMPARE(Os::scaleFactor(), 1.0); }

    void showInFileManagerOpensHoldingFolder_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        const QString home = QFileInfo(TestEnvironment::homePath()).canonicalFilePath();
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

int main(int argc, char *argv[])
{
    // Child mode: enables start with the session for this copy of the
    // program under the given application name, then prints whether the
    // entry reads back as enabled and, percent-encoded, the program's path.
    if (argc == 3 && qstrcmp(argv[1], "--enable-autostart") == 0) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QString::fromLocal8Bit(argv[2]));
        Os::setAutoStart(true);
        std::printf("%s %s\n", Os::isAutoStartEnabled() ? "enabled" : "disabled",
                    QUrl::toPercentEncoding(QCoreApplication::applicationFilePath()).constData());
        return 0;
    }
    // Child mode: catches the termination signals, says "ready", then names
    // each one caught and ends.
    if (argc == 2 && qstrcmp(argv[1], "--catch-termination-signals") == 0) {
        QCoreApplication app(argc, argv);
        if (!Os::catchTerminationSignals())
            return 2;
        QObject::connect(Os::instance(), &Os::atTerminationRequest, [](int signalNumber) {
            std::printf("caught %d\n", signalNumber);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        std::printf("ready\n");
        std::fflush(stdout);
        return app.exec();
    }
    // Child mode: says whether SIGPIPE is caught or ignored once the program
    // set it up, writes to standard error after making it a pipe nobody
    // reads, lets a program it starts print its SIGPIPE dispositions, then
    // says "survived".
    if (argc == 2 && qstrcmp(argv[1], "--broken-pipe") == 0) {
        if (!Os::catchBrokenPipe())
            return 2;
        struct sigaction current = {};
        ::sigaction(SIGPIPE, nullptr, &current);
        std::printf("%s\n", current.sa_handler == SIG_IGN ? "ignored"
                           : current.sa_handler == SIG_DFL ? "default" : "caught");
        std::fflush(stdout);
        int ends[2];
        if (::pipe(ends) != 0)
            return 3;
        ::close(ends[0]);
        ::dup2(ends[1], STDERR_FILENO);
        std::fprintf(stderr, "nobody reads this\n");
        std::fflush(stderr);
        if (std::system("grep -E '^Sig(Ign|Cgt):' /proc/self/status") != 0)
            return 4;
        std::printf("survived\n");
        return 0;
    }
    // Child mode: an ending that writes "/a.html" and "/b.html", stuck in
    // its work (reading standard input) until a signal ends it.
    if (argc == 2 && qstrcmp(argv[1], "--ending") == 0) {
        QCoreApplication app(argc, argv);
        if (!Os::catchTerminationSignals())
            return 2;
        Os::setUnwrittenAtInterrupt({QStringLiteral("\"/a.html\""), QStringLiteral("\"/b.html\"")});
        std::printf("ready\n");
        std::fflush(stdout);
        char byte;
        while (::read(STDIN_FILENO, &byte, 1) != 0) {
        }
        Os::setUnwrittenAtInterrupt({});
        return 0;
    }
    TestEnvironment::prepare();
    QApplication app(argc, argv);
    TestEnvironment::installUrlRecorder();
    TestOs tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_os.moc"
