#include "calendar.h"
#include "testmain.h"

class TestCalendar : public QObject
{
    Q_OBJECT

private slots:
    void namesWeekdays_data()
    {
        QTest::addColumn<int>("day");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "Monday";
        QTest::newRow("3") << 3 << "Thursday";
        QTest::newRow("6") << 6 << "Sunday";
        QTest::newRow("7") << 7 << "Unknown";
        QTest::newRow("-1") << -1 << "Unknown";
        QTest::newRow("min int") << std::numeric_limits<int>::min() << "Unknown";
    }
    void namesWeekdays()
    {
        QFETCH(int, day);
        QFETCH(QString, name);
        QCOMPARE(MTools::weekdayName(day), name);
    }

    void namesMonths_data()
    {
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("name");
        QTest::newRow("0") << 0 << "Unknown";
        QTest::newRow("1") << 1 << "January";
        QTest::newRow("5") << 5 << "May";
        QTest::newRow("12") << 12 << "December";
        QTest::newRow("13") << 13 << "Unknown";
        QTest::newRow("-1") << -1 << "Unknown";
    }
    void namesMonths()
    {
        QFETCH(int, month);
        QFETCH(QString, name);
        QCOMPARE(MTools::monthName(month), name);
    }

    // The month names follow the calendar, so a date picker can list 1 to 12.
    void monthNamesMatchTheCalendarOrder()
    {
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        for (int month = 1; month <= 12; ++month)
            QCOMPARE(MTools::monthName(month), english.standaloneMonthName(month));
        for (int day = 0; day < 7; ++day)
            QCOMPARE(MTools::weekdayName(day), english.standaloneDayName(day + 1));
    }

    void countsCompletedYears_data()
    {
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<int>("age");
        QTest::newRow("day before birthday") << QDate(1990, 6, 15) << QDate(2020, 6, 14) << 29;
        QTest::newRow("birthday") << QDate(1990, 6, 15) << QDate(2020, 6, 15) << 30;
        QTest::newRow("month before") << QDate(1990, 6, 15) << QDate(2020, 5, 30) << 29;
        QTest::newRow("month after") << QDate(1990, 6, 15) << QDate(2020, 7, 1) << 30;
        QTest::newRow("leap birthday, 28 Feb") << QDate(2000, 2, 29) << QDate(2021, 2, 28) << 20;
        QTest::newRow("leap birthday, 1 Mar") << QDate(2000, 2, 29) << QDate(2021, 3, 1) << 21;
        QTest::newRow("born today") << QDate(2020, 1, 1) << QDate(2020, 1, 1) << 0;
        QTest::newRow("invalid birth") << QDate() << QDate(2020, 1, 1) << 0;
    }
    void countsCompletedYears()
    {
        QFETCH(QDate, birth);
        QFETCH(QDate, today);
        QFETCH(int, age);
        QCOMPARE(MTools::ageInYears(birth, today), age);
    }

    void countsAgeUntilToday()
    {
        const QDate today = QDate::currentDate();
        const QDate birth(today.year() - 40, today.month(), today.month() == 2 ? qMin(today.day(), 28) : today.day());
        QCOMPARE(MTools::ageInYears(birth), 40);
        QCOMPARE(MTools::ageInYears(birth.addDays(1)), 39);
    }

    void findsZodiacSigns_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("sign");
        QTest::newRow("23 Jan") << QDate(1985, 1, 23) << "Capricom";
        QTest::newRow("24 Jan") << QDate(1985, 1, 24) << "Aquarius";
        QTest::newRow("20 Mar") << QDate(1985, 3, 20) << "Pisces";
        QTest::newRow("21 Mar") << QDate(1985, 3, 21) << "Aries";
        QTest::newRow("21 May") << QDate(1985, 5, 21) << "Taurus";
        QTest::newRow("22 May") << QDate(1985, 5, 22) << "Gemini";
        QTest::newRow("23 Aug") << QDate(1985, 8, 23) << "Leo";
        QTest::newRow("24 Aug") << QDate(1985, 8, 24) << "Virgo";
        QTest::newRow("22 Nov") << QDate(1985, 11, 22) << "Scorpio";
        QTest::newRow("21 Dec") << QDate(1985, 12, 21) << "Sagittarius";
        QTest::newRow("22 Dec") << QDate(1985, 12, 22) << "Capricom";
        QTest::newRow("31 Dec") << QDate(1985, 12, 31) << "Capricom";
        QTest::newRow("1 Jan") << QDate(1986, 1, 1) << "Capricom";
        QTest::newRow("19 Feb") << QDate(1985, 2, 19) << "Aquarius";
        QTest::newRow("29 Feb") << QDate(1988, 2, 29) << "Pisces";
        QTest::newRow("invalid") << QDate() << "";
    }
    void findsZodiacSigns()
    {
        QFETCH(QDate, date);
        QFETCH(QString, sign);
        QCOMPARE(zodiacSign(date), sign);
    }

    void describesZodiacSigns_data()
    {
        QTest::addColumn<QString>("sign");
        QTest::addColumn<QString>("description");
        QTest::newRow("Aries") << "Aries" << "The Ram";
        QTest::newRow("Capricom") << "Capricom" << "The Sea-Goat";
        QTest::newRow("Aquarius") << "Aquarius" << "The Water-Bearer";
        QTest::newRow("Pisces") << "Pisces" << "The Fishes";
        QTest::newRow("lower case") << "aries" << "";
        QTest::newRow("empty") << "" << "";
    }
    void describesZodiacSigns()
    {
        QFETCH(QString, sign);
        QFETCH(QString, description);
        QCOMPARE(zodiacDescription(sign), description);
        if (description.isEmpty())
            QVERIFY(zodiacDescription(sign).isNull());
    }

    void everyDayHasADescribedSign()
    {
        for (QDate day(2000, 1, 1); day.year() == 2000; day = day.addDays(1))
            QVERIFY2(!zodiacDescription(zodiacSign(day)).isEmpty(), qPrintable(day.toString()));
    }

    // New moons of 11 January, 9 February and 8 April 2024; full moon of 25 January 2024.
    void followsTheMoon_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<int>("age");
        QTest::addColumn<int>("phase");
        QTest::newRow("new moon") << QDate(2024, 1, 11) << 0 << 0;
        QTest::newRow("day after new") << QDate(2024, 1, 12) << 1 << 1;
        QTest::newRow("age 6") << QDate(2024, 1, 17) << 6 << 1;
        QTest::newRow("first quarter") << QDate(2024, 1, 18) << 7 << 2;
        QTest::newRow("age 13") << QDate(2024, 1, 24) << 13 << 3;
        QTest::newRow("full moon") << QDate(2024, 1, 25) << 14 << 4;
        QTest::newRow("age 20") << QDate(2024, 1, 31) << 20 << 5;
        QTest::newRow("age 21") << QDate(2024, 2, 1) << 21 << 7;
        QTest::newRow("age 22") << QDate(2024, 2, 2) << 22 << 6;
        QTest::newRow("age 28") << QDate(2024, 2, 8) << 28 << 0;
        QTest::newRow("next new moon") << QDate(2024, 2, 9) << 0 << 0;
        QTest::newRow("age 29") << QDate(2024, 1, 10) << 29 << 0;
        QTest::newRow("eclipse new moon") << QDate(2024, 4, 8) << 0 << 0;
        QTest::newRow("2000 new moon") << QDate(2000, 1, 6) << 0 << 0;
    }
    void followsTheMoon()
    {
        QFETCH(QDate, date);
        QFETCH(int, age);
        QFETCH(int, phase);
        QCOMPARE(moonAge(date), age);
        QCOMPARE(moonPhase(date), phase);
    }

    void convertsYearSeconds()
    {
        const QDateTime start(QDate(2021, 1, 1), QTime(0, 0));
        QCOMPARE(MTools::dateTimeFromYearSeconds(0, 2021), start);
        QCOMPARE(MTools::dateTimeFromYearSeconds(3661, 2021), start.addSecs(3661));

        const int year = QDate::currentDate().year();
        const qint64 before = QDateTime(QDate(year, 1, 1), QTime(0, 0)).secsTo(QDateTime::currentDateTime());
        const qint64 seconds = MTools::secondsSinceYearStart(year);
        QVERIFY(seconds >= before && seconds <= before + 2);
        QVERIFY(MTools::secondsSinceYearStart(year + 1) < 0);
    }

    void timeOfDayFromCounts_data()
    {
        QTest::addColumn<bool>("micro");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QTime>("time"); // invalid QTime for an invalid result
        QTest::newRow("ms 01:02:03") << false << qint64(3723004) << QTime(1, 2, 3);
        QTest::newRow("ms zero") << false << qint64(0) << QTime(0, 0, 0);
        QTest::newRow("ms last second") << false << qint64(86399999) << QTime(23, 59, 59);
        QTest::newRow("ms one day") << false << qint64(86400000) << QTime();
        QTest::newRow("ms negative") << false << qint64(-1) << QTime();
        QTest::newRow("ms huge") << false << std::numeric_limits<qint64>::max() << QTime();
        QTest::newRow("us 01:02:03") << true << qint64(3723000500LL) << QTime(1, 2, 3);
        QTest::newRow("us one day") << true << qint64(86400000000LL) << QTime();
        QTest::newRow("us negative") << true << qint64(-1000000) << QTime();
    }
    void timeOfDayFromCounts()
    {
        QFETCH(bool, micro);
        QFETCH(qint64, count);
        QFETCH(QTime, time);
        const QTime result = micro ? MTools::timeFromMicroseconds(count) : MTools::timeFromMilliseconds(count);
        QCOMPARE(result.isValid(), time.isValid());
        if (time.isValid())
            QCOMPARE(result, time);
    }
};

GLYPH_TEST_MAIN(TestCalendar)
#include "tst_calendar.moc"
