#pragma once

#include <QFile>
#include <QString>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Makes a folder refuse new files for one scope, whoever runs the test: its
// write permission is taken away and, where that does not bind (the
// superuser), the folder is marked immutable as well. Files already in it stay
// writable. Everything is undone on leaving the scope.
class LockedFolder
{
public:
    explicit LockedFolder(const QString &folder)
        : m_folder(folder)
    {
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        if (refusesNewFiles())
            return;
        m_fd = ::open(QFile::encodeName(m_folder).constData(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        if (m_fd >= 0 && ioctl(m_fd, FS_IOC_GETFLAGS, &flags) == 0) {
            m_oldFlags = flags;
            flags |= FS_IMMUTABLE_FL;
            m_flagged = ioctl(m_fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~LockedFolder()
    {
        if (m_flagged)
            ioctl(m_fd, FS_IOC_SETFLAGS, &m_oldFlags);
        if (m_fd >= 0)
            ::close(m_fd);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    LockedFolder(const LockedFolder &) = delete;
    LockedFolder &operator=(const LockedFolder &) = delete;

    // True when no new file can be made in the folder.
    bool active() const { return refusesNewFiles(); }

private:
    bool refusesNewFiles() const
    {
        QFile probe(m_folder + QStringLiteral("/.probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

    QString m_folder;
    int m_fd = -1;
    int m_oldFlags = 0;
    bool m_flagged = false;
};
