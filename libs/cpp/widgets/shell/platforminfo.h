#pragma once

#include <QByteArray>
#include <QString>

namespace QMWidgets {

// What the program tells about the system it runs on: a readable system
// name for mails and a Windows version tag for the update check. Tests may
// replace both answers with setOverride().
class PlatformInfo
{
public:
    // The system's name as plain text without "#" or "&" (so it can go into
    // a link unescaped): on Linux "Linux" followed by the distribution's
    // pretty name from os-release, elsewhere the system's product name.
    static QString osName();

    // "00_" followed by the Windows version number in upper-case hex (at
    // least two digits), for example "00_A0" on Windows 8. Empty on every
    // other system: an empty tag sorts below every real tag, so it never
    // passes a minimum-version test.
    static QString windowsVersionTag();
    // The tag for a QSysInfo::WinVersion value.
    static QString windowsVersionTagFor(int windowsVersion);

    // "Linux" followed by PRETTY_NAME (or NAME) of the given os-release text;
    // just "Linux" when neither is there.
    static QString linuxNameFromOsRelease(const QByteArray &osRelease);
    // The text with "#", "&" and control characters removed and blanks simplified.
    static QString plainText(const QString &text);

    // Replaces the answers of osName() and windowsVersionTag(); a null string
    // leaves that answer as the system gives it.
    static void setOverride(const QString &osName, const QString &windowsVersionTag);
    static void clearOverride();
};

} // namespace QMWidgets
