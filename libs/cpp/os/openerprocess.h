#pragma once

#include <QProcess>

// Runs the desktop's opener for one link and watches how it ends, without
// blocking: the opener runs in a session of its own, as a detached start
// would (a Ctrl+C in the program's terminal does not reach what it opens),
// with no standard input and the program's output channels. The object
// deletes itself once the opener has ended and failed() (if due) has been
// emitted; an opener still running when the program ends is left running.
class OpenerProcess : public QProcess
{
    Q_OBJECT

public:
    OpenerProcess();

    // Starts the program with the link as its one argument. False when it
    // could not be started; the object then deletes itself later.
    bool open(const QString &program, const QString &link);

    // Openers started and not yet ended (and told), in this process.
    static int running();

signals:
    // The opener ended with a failure status (crashed: it died of a signal,
    // exitCode is meaningless then).
    void failed(int exitCode, bool crashed);

protected:
    void setupChildProcess() override;

private:
    void slotFinished(int exitCode, QProcess::ExitStatus status);
};
