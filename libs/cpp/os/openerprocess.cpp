#include "openerprocess.h"

#include <QTimer>

#include <unistd.h>

namespace {
int s_running = 0;
// How long the start may take: the fork and exec of a small program.
const int kStartBound = 30000;
}

OpenerProcess::OpenerProcess()
{
    setProcessChannelMode(QProcess::ForwardedChannels);
    setStandardInputFile(QProcess::nullDevice());
    connect(this, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &OpenerProcess::slotFinished);
}

bool OpenerProcess::open(const QString &program, const QString &link)
{
    start(program, {link});
    if (!waitForStarted(kStartBound)) {
        deleteLater();
        return false;
    }
    ++s_running;
    return true;
}

int OpenerProcess::running()
{
    return s_running;
}

void OpenerProcess::setupChildProcess()
{
    // In the child between fork and exec: async-signal-safe calls only.
    ::setsid();
}

void OpenerProcess::slotFinished(int exitCode, QProcess::ExitStatus status)
{
    // Told from the event loop, outside QProcess's own signal.
    QTimer::singleShot(0, this, [this, exitCode, status] {
        const bool crashed = status == QProcess::CrashExit;
        if (crashed || exitCode != 0)
            emit failed(exitCode, crashed);
        --s_running;
        deleteLater();
    });
}
