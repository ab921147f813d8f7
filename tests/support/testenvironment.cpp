#include "testenvironment.h"
#include "urlrecorder.h"

#include <QDir>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>

namespace {
QTemporaryDir *s_home = nullptr;

void removeHome()
{
    delete s_home;
    s_home = nullptr;
}
}

void TestEnvironment::prepare()
{
    if (s_home)
        return;
    // Tests raise these and close pipes on purpose and expect the default
    // action, in themselves and in the programs they start, however they
    // were started: nohup ignores SIGHUP, a script's background job SIGINT.
    for (const int signalNumber : {SIGHUP, SIGINT, SIGTERM, SIGPIPE})
        std::signal(signalNumber, SIG_DFL);
    s_home = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/glyphtest-XXXXXX"));
    std::atexit(removeHome);
    const QByteArray home = QFile::encodeName(s_home->path());
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/.config");
    qputenv("XDG_DATA_HOME", home + "/.local/share");
    qputenv("XDG_CACHE_HOME", home + "/.cache");
    qputenv("XDG_STATE_HOME", home + "/.local/state");
    qputenv("XDG_RUNTIME_DIR", home + "/.runtime");
    QDir().mkpath(s_home->path() + QStringLiteral("/.runtime"));
    QFile::setPermissions(s_home->path() + QStringLiteral("/.runtime"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never start a real browser or mail program from a test.
    qputenv("BROWSER", "/bin/false");
}

QString TestEnvironment::homePath()
{
    return s_home ? s_home->path() : QString();
}

void TestEnvironment::installUrlRecorder()
{
    UrlRecorder::instance()->install();
}
