#include "buildsinfo.h"

#include <QDebug>
#include <QRegularExpression>
#include <QTime>

namespace {

// A build date: "yyyy-MM-dd", alone or followed by a time of day as ISO 8601
// writes one ("T" between, or a blank that the parser has removed; seconds,
// a fraction and a "Z" or "+hh:mm" offset optional). The day is taken as
// written; the time only has to be well formed. Null for anything else.
// "yyyy-MM-ddThh:mm:ss.fffffffff+hh:mm"
const int kLongestDate = 35;

QDate readBuildDate(const QString &text)
{
    const QDate day = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid() || text.size() == 10)
        return day;
    static const QRegularExpression timeOfDay(
        QStringLiteral("^T?([0-9][0-9]):([0-9][0-9])(?::([0-9][0-9])(?:[.,][0-9]{1,9})?)?"
                       "(?:Z|[+-]([0-9][0-9])(?::?([0-9][0-9]))?)?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch time = timeOfDay.match(text.midRef(10));
    if (!time.hasMatch()
        || !QTime::isValid(time.capturedRef(1).toInt(), time.capturedRef(2).toInt(),
                           time.capturedRef(3).toInt())
        || time.capturedRef(4).toInt() > 23 || time.capturedRef(5).toInt() > 59)
        return QDate();
    return day;
}

} // namespace

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

    // The removal keeps every ";", so the entries of both texts pair up.
    const QStringList entries = compact.split(QLatin1Char(';'));
    const QStringList sent = text.split(QLatin1Char(';'));
    for (int e = 0; e < entries.size(); ++e) {
        const QString &entry = entries.at(e);
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
            // The value is the last part, or more of them when a time of
            // day with its own ":" follows the day.
            const QString &raw = sent.at(e);
            info.m_dateText = raw.mid(raw.indexOf(QLatin1Char(':')) + 1).trimmed();
            // Only tails no longer than the longest date with time are tried,
            // so a value of many ":" costs no more than one pass.
            const QString whole = entry.mid(key.size() + 1);
            info.m_date = QDate();
            int tail = -1;
            for (int i = parts.size() - 1; i >= 1 && !info.m_date.isValid(); --i) {
                tail += parts.at(i).size() + 1;
                if (tail > kLongestDate)
                    break;
                info.m_date = readBuildDate(whole.right(tail));
            }
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
