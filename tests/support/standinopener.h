#pragma once

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

// Puts a stand-in "xdg-open" first on PATH for one scope: a shell script
// that ends at once with the given exit status, or, given a signal, dies of
// that signal. PATH is restored on leaving.
class StandInOpener
{
public:
    explicit StandInOpener(int exitStatus, int killedBy = 0)
        : m_oldPath(qgetenv("PATH"))
    {
        QFile script(m_dir.filePath(QStringLiteral("xdg-open")));
        if (!script.open(QIODevice::WriteOnly))
            return;
        script.write("#!/bin/sh\n");
        if (killedBy != 0)
            script.write("kill -" + QByteArray::number(killedBy) + " $$\n");
        script.write("exit " + QByteArray::number(exitStatus) + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
    }
    ~StandInOpener() { qputenv("PATH", m_oldPath); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};
