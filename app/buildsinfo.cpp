#include "buildsinfo.h"

#include <QDebug>

QString BuildsInfo::textFromReply(const QByteArray &reply)
{
    const int nul = reply.indexOf('\0');
    return QString::fromUtf8(nul < 0 ? reply : reply.left(nul));
}

BuildsInfo BuildsInfo::parse(const QString &text)
{
    BuildsInfo info;
    // Tested before the blanks go, so "build :" does not count.
    info.m_valid = text.contains(QLatin1String("build:"));
    if (!info.m_valid)
        return info;

    QString compact = text;
    compact.remove(QLatin1Char('\n'));
    compact.remove(QLatin1Char('\t'));
    compact.remove(QLatin1Char('\r'));
    compact.remove(QLatin1Char(' '));

    const QStringList entries = compact.split(QLatin1Char(';'));
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(QLatin1Char(':'));
        if (parts.size() < 2)
            continue;
        qDebug() << "build info entry" << parts;
        const QString &key = parts.first();
        const QString &value = parts.last();
        if (key == QLatin1String("build")) {
            info.m_build = value;
            info.m_hasBuild = true;
        } else if (key == QLatin1String("date")) {
            info.m_dateText = value;
            info.m_date = QDate::fromString(value, QStringLiteral("yyyy-MM-dd"));
        } else if (key == QLatin1String("windows")) {
            info.m_windows.append(value);
        }
    }
    return info;
}

bool BuildsInfo::admits(const QString &windowsVersionTag) const
{
    for (const QString &minimum : m_windows) {
        if (minimum.contains(QLatin1Char('_')) && !(windowsVersionTag < minimum))
            return true;
        if (minimum == QLatin1String("all"))
            return true;
    }
    return false;
}

bool BuildsInfo::offersUpdate(const QDate &runningBuildDate, const QString &windowsVersionTag) const
{
    if (!m_valid || !m_date.isValid() || !runningBuildDate.isValid())
        return false;
    return runningBuildDate < m_date && admits(windowsVersionTag);
}

bool BuildsInfo::isNewerBuild(const QString &text, const QDate &runningBuildDate,
                              const QString &windowsVersionTag)
{
    return parse(text).offersUpdate(runningBuildDate, windowsVersionTag);
}
