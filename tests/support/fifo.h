#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A named pipe for tests of save paths: made in a test's own folder, with a
// reader held open without blocking, so that a save that wrongly writes into
// the pipe returns instead of waiting for a reader for ever.
class Fifo
{
public:
    explicit Fifo(const QString &path)
        : m_path(QFile::encodeName(path))
    {
        if (::mkfifo(m_path.constData(), 0600) == 0)
            m_reader = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
    }
    ~Fifo()
    {
        if (m_reader >= 0)
            ::close(m_reader);
    }
    Fifo(const Fifo &) = delete;
    Fifo &operator=(const Fifo &) = delete;

    bool isValid() const { return m_reader >= 0; }
    // True while the name still denotes a pipe (a save did not replace it).
    bool stillThere() const
    {
        struct stat info;
        return ::lstat(m_path.constData(), &info) == 0 && S_ISFIFO(info.st_mode);
    }

private:
    QByteArray m_path;
    int m_reader = -1;
};
