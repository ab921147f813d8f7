#include "platforminfo.h"

#include <QFile>
#include <QList>
#include <QSysInfo>

namespace QMWidgets {

namespace {
QString s_osNameOverride;
QString s_tagOverride;

// One value of an os-release line: quotes removed, backslash escapes resolved.
QString osReleaseValue(const QByteArray &raw)
{
    QString value = QString::fromUtf8(raw.trimmed());
    if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\'')))
        && value.endsWith(value.at(0))) {
        value = value.mid(1, value.size() - 2);
    }
    QString result;
    result.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size())
            ++i;
        result += value.at(i);
    }
    return result;
}
} // namespace

QString PlatformInfo::plainText(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('#') || c == QLatin1Char('&'))
            continue;
        result += (c.category() == QChar::Other_Control) ? QLatin1Char(' ') : c;
    }
    return result.simplified();
}

QString PlatformInfo::linuxNameFromOsRelease(const QByteArray &osRelease)
{
    QString prettyName;
    QString name;
    const QList<QByteArray> lines = osRelease.split('\n');
    for (const QByteArray &line : lines) {
        const int equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = line.left(equals).trimmed();
        if (key == "PRETTY_NAME")
            prettyName = osReleaseValue(line.mid(equals + 1));
        else if (key == "NAME")
            name = osReleaseValue(line.mid(equals + 1));
    }
    const QString distribution = plainText(prettyName.isEmpty() ? name : prettyName);
    return distribution.isEmpty() ? QStringLiteral("Linux")
                                  : QStringLiteral("Linux ") + distribution;
}

QString PlatformInfo::osName()
{
    if (!s_osNameOverride.isNull())
        return s_osNameOverride;
#if defined(Q_OS_LINUX)
    for (const char *path : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(QString::fromLatin1(path));
        if (file.open(QIODevice::ReadOnly))
            return linuxNameFromOsRelease(file.read(64 * 1024));
    }
    return QStringLiteral("Linux");
#else
    return plainText(QSysInfo::prettyProductName());
#endif
}

QString PlatformInfo::windowsVersionTagFor(int windowsVersion)
{
    return QStringLiteral("00_")
        + QStringLiteral("%1").arg(windowsVersion, 2, 16, QLatin1Char('0')).toUpper();
}

QString PlatformInfo::windowsVersionTag()
{
    if (!s_tagOverride.isNull())
        return s_tagOverride;
#ifdef Q_OS_WIN
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return windowsVersionTagFor(int(QSysInfo::windowsVersion()));
    QT_WARNING_POP
#else
    return QString();
#endif
}

void PlatformInfo::setOverride(const QString &osName, const QString &windowsVersionTag)
{
    s_osNameOverride = osName;
    s_tagOverride = windowsVersionTag;
}

void PlatformInfo::clearOverride()
{
    s_osNameOverride = QString();
    s_tagOverride = QString();
}

} // namespace QMWidgets
