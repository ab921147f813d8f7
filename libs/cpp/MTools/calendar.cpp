#include "calendar.h"

#include <QObject>

#include <cmath>

namespace {

const char *const weekdays[] = {
    QT_TRANSLATE_NOOP("QObject", "Monday"),   QT_TRANSLATE_NOOP("QObject", "Tuesday"),
    QT_TRANSLATE_NOOP("QObject", "Wednesday"), QT_TRANSLATE_NOOP("QObject", "Thursday"),
    QT_TRANSLATE_NOOP("QObject", "Friday"),   QT_TRANSLATE_NOOP("QObject", "Saturday"),
    QT_TRANSLATE_NOOP("QObject", "Sunday"),
};

const char *const months[] = {
    QT_TRANSLATE_NOOP("QObject", "January"), QT_TRANSLATE_NOOP("QObject", "February"),
    QT_TRANSLATE_NOOP("QObject", "March"),   QT_TRANSLATE_NOOP("QObject", "April"),
    QT_TRANSLATE_NOOP("QObject", "May"),     QT_TRANSLATE_NOOP("QObject", "June"),
    QT_TRANSLATE_NOOP("QObject", "July"),    QT_TRANSLATE_NOOP("QObject", "August"),
    QT_TRANSLATE_NOOP("QObject", "September"), QT_TRANSLATE_NOOP("QObject", "October"),
    QT_TRANSLATE_NOOP("QObject", "November"), QT_TRANSLATE_NOOP("QObject", "December"),
};

struct Sign
{
    int fromMonth, fromDay, toMonth, toDay;
    const char *name;
};

// Tested in this order, both ends included.
const Sign signs[] = {
    {3, 21, 4, 20, "Aries"},        {4, 21, 5, 21, "Taurus"},      {5, 22, 6, 21, "Gemini"},
    {6, 22, 7, 22, "Cancer"},       {7, 23, 8, 23, "Leo"},         {8, 24, 9, 23, "Virgo"},
    {9, 24, 10, 23, "Libra"},       {10, 24, 11, 22, "Scorpio"},   {11, 23, 12, 21, "Sagittarius"},
    {12, 22, 12, 31, "Capricom"},   {1, 1, 1, 23, "Capricom"},     {1, 24, 2, 19, "Aquarius"},
    {2, 20, 3, 20, "Pisces"},
};

struct Description
{
    const char *sign;
    const char *text;
};

const Description descriptions[] = {
    {"Aries", QT_TRANSLATE_NOOP("QObject", "The Ram")},
    {"Taurus", QT_TRANSLATE_NOOP("QObject", "The Bull")},
    {"Gemini", QT_TRANSLATE_NOOP("QObject", "The Twins")},
    {"Cancer", QT_TRANSLATE_NOOP("QObject", "The Crab")},
    {"Leo", QT_TRANSLATE_NOOP("QObject", "The Lion")},
    {"Virgo", QT_TRANSLATE_NOOP("QObject", "The Maiden")},
    {"Libra", QT_TRANSLATE_NOOP("QObject", "The Scales")},
    {"Scorpio", QT_TRANSLATE_NOOP("QObject", "The Scorpion")},
    {"Sagittarius", QT_TRANSLATE_NOOP("QObject", "The Archer")},
    {"Capricom", QT_TRANSLATE_NOOP("QObject", "The Sea-Goat")},
    {"Aquarius", QT_TRANSLATE_NOOP("QObject", "The Water-Bearer")},
    {"Pisces", QT_TRANSLATE_NOOP("QObject", "The Fishes")},
};

QDateTime yearStart(int year)
{
    return QDateTime(QDate(year, 1, 1), QTime(0, 0), Qt::LocalTime);
}

QTime timeOfDay(qint64 count, qint64 perSecond)
{
    const qint64 perMinute = 60 * perSecond;
    const qint64 perHour = 60 * perMinute;
    if (count < 0 || count >= 24 * perHour)
        return QTime();
    return QTime(int(count / perHour), int(count % perHour / perMinute),
                 int(count % perMinute / perSecond), 0);
}

} // namespace

namespace MTools {

QString weekdayName(int day)
{
    if (day < 0 || day > 6)
        return QStringLiteral("Unknown");
    return QObject::tr(weekdays[day]);
}

QString monthName(int month)
{
    if (month < 1 || month > 12)
        return QStringLiteral("Unknown");
    return QObject::tr(months[month - 1]);
}

int ageInYears(const QDate &birth)
{
    return ageInYears(birth, QDate::currentDate());
}

int ageInYears(const QDate &birth, const QDate &today)
{
    if (!birth.isValid() || !today.isValid())
        return 0;
    int age = today.year() - birth.year();
    if (today.month() < birth.month()
        || (today.month() == birth.month() && today.day() < birth.day()))
        --age;
    return age;
}

qint64 secondsSinceYearStart(const int &year)
{
    return yearStart(year).secsTo(QDateTime::currentDateTime());
}

QDateTime dateTimeFromYearSeconds(const qint64 &seconds, const int &year)
{
    return yearStart(year).addSecs(seconds);
}

QTime timeFromMilliseconds(qint64 milliseconds)
{
    return timeOfDay(milliseconds, 1000);
}

QTime timeFromMicroseconds(qint64 microseconds)
{
    return timeOfDay(microseconds, 1000000);
}

} // namespace MTools

QString zodiacSign(const QDate &date)
{
    if (!date.isValid())
        return QString();
    // The signs depend on day and month only; a leap year lets 29 February in.
    const int leapYear = 2000;
    const QDate day(leapYear, date.month(), date.day());
    for (const Sign &sign : signs) {
        if (day >= QDate(leapYear, sign.fromMonth, sign.fromDay)
            && day <= QDate(leapYear, sign.toMonth, sign.toDay))
            return QString::fromLatin1(sign.name);
    }
    return QString();
}

QString zodiacDescription(const QString &sign)
{
    for (const Description &entry : descriptions) {
        if (sign == QLatin1String(entry.sign))
            return QObject::tr(entry.text);
    }
    return QString();
}

int moonAge(const QDate &date)
{
    const double y = date.year();
    const double m = date.month();
    const double d = date.day();
    const double a = std::floor((14.0 - m) / 12.0 + 0.001);
    const double b = std::floor((y + 4800.0 - a) * 1461.0 * 0.25 + 0.001);
    const double c = std::floor((m - 2.0 + 12.0 * a) * 367.0 / 12.0 + 0.001);
    const double dd = std::floor((y + 4900.0 - a) * 3.0 / 400.0 + 0.001);
    const double e = d - 2447095.0 + b + c - dd - 23743.0;
    const double period = double(29.530588f);
    return int(std::floor(e - std::floor(e / period) * period));
}

int moonPhase(const QDate &date)
{
    const int age = moonAge(date);
    if (age == 0)
        return 0;
    if (age <= 6)
        return 1;
    if (age == 7)
        return 2;
    if (age <= 13)
        return 3;
    if (age == 14)
        return 4;
    if (age <= 20)
        return 5;
    if (age == 21)
        return 7;
    if (age <= 27)
        return 6;
    return 0;
}
