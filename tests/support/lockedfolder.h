#pragma once

#include <QFile>
#include <QString>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

// Makes a folder refuse new files for one scope, whoever runs the test: its
// write permission is taken away, and where that does not bind (the
// superuser), the calling thread also lays down its power to override file
// permissions. Creating a file in the folder then fails with EACCES, as it
// does for an ordinary user, while files already in it that the user owns stay
// writable. Everything is undone on leaving the scope. Use it on the thread
// that does the file work (capabilities belong to a thread).
class LockedFolder
{
public:
    explicit LockedFolder(const QString &folder)
        : m_folder(folder)
    {
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        if (refusesNewFiles())
            return;
        __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3] = {};
        if (syscall(SYS_capget, &m_header, m_oldCaps) != 0)
            return;
        for (int i = 0; i < _LINUX_CAPABILITY_U32S_3; ++i)
            caps[i] = m_oldCaps[i];
        caps[CAP_TO_INDEX(CAP_DAC_OVERRIDE)].effective &= ~CAP_TO_MASK(CAP_DAC_OVERRIDE);
        m_capsLowered = syscall(SYS_capset, &m_header, caps) == 0;
    }
    ~LockedFolder()
    {
        if (m_capsLowered)
            syscall(SYS_capset, &m_header, m_oldCaps);
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
    __user_cap_header_struct m_header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_oldCaps[_LINUX_CAPABILITY_U32S_3] = {};
    bool m_capsLowered = false;
};
