#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// Names of days and months, ages, zodiac signs, moon phases and conversions
// between calendar time and counts. No state; several read the current local
// date or time. Names go through QObject::tr; "Unknown" and the sign names do not.
namespace MTools {

QString weekdayName(int day); // 0 Monday to 6 Sunday, "Unknown" otherwise
QString monthName(int month); // 1 January to 12 December, "Unknown" otherwise

// Completed years from the birth date to today (or to the given day);
// 0 for an invalid date.
int ageInYears(const QDate &birth);
int ageInYears(const QDate &birth, const QDate &today);

// Seconds from 1 January of the year, 00:00 local time, to now (negative for a future year).
qint64 secondsSinceYearStart(const int &year);
// 1 January of the year, 00:00 local time, plus the seconds.
QDateTime dateTimeFromYearSeconds(const qint64 &seconds, const int &year);

// Time of day of a count after midnight, whole seconds; invalid for a negative
// count or one of a day or more.
QTime timeFromMilliseconds(qint64 milliseconds);
QTime timeFromMicroseconds(qint64 microseconds);

} // namespace MTools

// Untranslated sign name of the date's day and month ("Capricom" ... "Pisces"),
// empty for an invalid date.
QString zodiacSign(const QDate &date);
// Translated description of a sign name (case-sensitive), empty otherwise.
QString zodiacDescription(const QString &sign);
// Days since the last new moon, 0 to 29.
int moonAge(const QDate &date);
// Phase number 0 to 7 of the moon age.
int moonPhase(const QDate &date);
