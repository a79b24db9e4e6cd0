#include <QDateTime>
#include <cmath>
#include <limits>

#include "common/dateutil.h"
#include "common/oledate.h"
#include "support/fakehost.h"
#include "support/testutil.h"

namespace {

DateValue d(int y, int m, int day)
{
    return oleFromDate(QDate(y, m, day));
}

QDateTime wall(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

} // namespace

TEST(DaysInMonth, LeapYearsAndInvalidMonths)
{
    EXPECT_EQ(daysInMonth(1900, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2004, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2024, 0), 0);
    EXPECT_EQ(daysInMonth(2024, 13), 0);
    // Agrees with the calendar for every month of several centuries.
    for (int y = 1600; y <= 2400; ++y)
        for (int m = 1; m <= 12; ++m)
            ASSERT_EQ(daysInMonth(y, m), QDate(y, m, 1).daysInMonth()) << y << "-" << m;
}

TEST(Age, CountsCompletedYearsOnCalendarDates)
{
    EXPECT_EQ(age(d(1980, 5, 10), d(2020, 5, 10)), 40); // the birthday itself
    EXPECT_EQ(age(d(1980, 5, 10), d(2020, 5, 9)), 39);  // the day before
    EXPECT_EQ(age(d(1980, 5, 10), d(2020, 4, 30)), 39); // earlier month, later day
    EXPECT_EQ(age(d(1980, 5, 10), d(2020, 6, 1)), 40);  // later month, earlier day
    // 29 February: a year is completed on 1 March of a year without it.
    EXPECT_EQ(age(d(2000, 2, 29), d(2001, 2, 28)), 0);
    EXPECT_EQ(age(d(2000, 2, 29), d(2001, 3, 1)), 1);
    EXPECT_EQ(age(d(2000, 2, 29), d(2004, 2, 29)), 4);
    // The time of day plays no part.
    EXPECT_EQ(age(d(1980, 5, 10) + 0.99, d(2020, 5, 10) + 0.01), 40);
    EXPECT_EQ(age(d(1980, 5, 10) + 0.01, d(2020, 5, 9) + 0.99), 39);
    // Dates before 1899-12-30 (negative values).
    EXPECT_EQ(age(oleFromDateTime(wall(1850, 3, 1, 12)), d(1899, 3, 1)), 49);
    EXPECT_EQ(age(d(1850, 3, 1), d(1899, 2, 28)), 48);
}

TEST(Age, NoAgeForEmptyOrFutureBirthdays)
{
    EXPECT_EQ(age(NoDate, d(2020, 1, 1)), -1);
    EXPECT_EQ(age(d(1980, 1, 1), NoDate), -1);
    EXPECT_EQ(age(d(2020, 5, 10), d(2020, 5, 9)), -1);
    EXPECT_EQ(age(MaxShowableDate, d(2020, 1, 1)), -1);
    // Today as the default.
    const FixedClock clock(testNow());
    const QDate today = testNow().date();
    EXPECT_EQ(age(oleFromDate(today.addYears(-30))), 30);
    EXPECT_EQ(age(oleFromDate(today.addYears(-30).addDays(1))), 29);
}

TEST(DaysToNextBirthday, SameYearNextYearAndThe29thOfFebruary)
{
    EXPECT_EQ(daysToNextBirthday(d(1980, 5, 10), QDate(2023, 5, 10)), 0);
    EXPECT_EQ(daysToNextBirthday(d(1980, 5, 10) + 0.75, QDate(2023, 5, 10)), 0);
    EXPECT_EQ(daysToNextBirthday(d(1980, 5, 10), QDate(2023, 5, 9)), 1);
    EXPECT_EQ(daysToNextBirthday(d(1980, 5, 10), QDate(2023, 5, 11)), 365);
    EXPECT_EQ(daysToNextBirthday(d(1980, 5, 10), QDate(2023, 6, 1)), 344);
    // 31 December from 1 January: 364 days, 365 in a leap year.
    EXPECT_EQ(daysToNextBirthday(d(1970, 12, 31), QDate(2023, 1, 1)), 364);
    EXPECT_EQ(daysToNextBirthday(d(1970, 12, 31), QDate(2024, 1, 1)), 365);
    // 1 January from 31 December: tomorrow.
    EXPECT_EQ(daysToNextBirthday(d(1970, 1, 1), QDate(2023, 12, 31)), 1);
    // 29 February: kept on 28 February in other years.
    EXPECT_EQ(daysToNextBirthday(d(2000, 2, 29), QDate(2023, 2, 28)), 0);
    EXPECT_EQ(daysToNextBirthday(d(2000, 2, 29), QDate(2023, 3, 1)), 365); // 2024-02-29
    EXPECT_EQ(daysToNextBirthday(d(2000, 2, 29), QDate(2022, 3, 1)), 364); // 2023-02-28
    EXPECT_EQ(daysToNextBirthday(d(2000, 2, 29), QDate(2024, 2, 28)), 1);
    EXPECT_EQ(daysToNextBirthday(d(2000, 2, 29), QDate(2024, 2, 29)), 0);
    EXPECT_EQ(daysToNextBirthday(d(2000, 2, 29), QDate(2100, 1, 1)), 58); // 2100-02-28
    // A birthday before 1899-12-30.
    EXPECT_EQ(daysToNextBirthday(d(1850, 12, 25), QDate(2023, 12, 24)), 1);
}

TEST(DaysToNextBirthday, InvalidInputsAndToday)
{
    EXPECT_EQ(daysToNextBirthday(NoDate, QDate(2023, 1, 1)), -1);
    EXPECT_EQ(daysToNextBirthday(d(1980, 1, 1), QDate()), -1);
    const FixedClock clock(testNow());
    const QDate today = testNow().date();
    EXPECT_EQ(daysToNextBirthday(oleFromDate(today.addYears(-20))), 0);
    EXPECT_EQ(daysToNextBirthday(oleFromDate(today.addYears(-20).addDays(1))), 1);
}

TEST(OleDate, EpochNegativeValuesAndRoundTrip)
{
    EXPECT_EQ(oleToDateTime(0.0), wall(1899, 12, 30));
    EXPECT_EQ(oleToDateTime(1.5), wall(1899, 12, 31, 12));
    EXPECT_EQ(oleToDateTime(-1.25), wall(1899, 12, 29, 6));
    EXPECT_EQ(oleToDateTime(-2.75), wall(1899, 12, 28, 18));
    // Between -1 and 0 the whole part is still day 0.
    EXPECT_EQ(oleToDateTime(-0.5), wall(1899, 12, 30, 12));
    EXPECT_EQ(oleToDateTime(36526.5), wall(2000, 1, 1, 12));

    EXPECT_EQ(oleFromDateTime(wall(1899, 12, 30)), 0.0);
    EXPECT_EQ(oleFromDateTime(wall(1899, 12, 29, 6)), -1.25);
    EXPECT_EQ(oleFromDateTime(wall(1899, 12, 28, 18)), -2.75);
    EXPECT_EQ(oleFromDateTime(wall(2000, 1, 1, 12)), 36526.5);
    EXPECT_EQ(oleFromDate(QDate(1, 1, 1)), NoDate);
    EXPECT_EQ(oleFromDate(QDate()), NoDate);
    EXPECT_EQ(oleFromDateTime(QDateTime()), NoDate);

    // Every millisecond-exact time survives both ways, on both sides of the epoch.
    const QDateTime samples[] = {wall(100, 1, 1), wall(1066, 10, 14, 9, 30, 15, 250),
                                 wall(1899, 12, 29, 23, 59, 59, 999), wall(1899, 12, 30, 0, 0, 0, 1),
                                 wall(1970, 1, 1, 0, 0, 1), wall(2024, 2, 29, 13, 14, 15, 16),
                                 wall(9999, 12, 31, 23, 59, 59, 999)};
    for (const QDateTime &t : samples) {
        const DateValue v = oleFromDateTime(t);
        EXPECT_EQ(oleToDateTime(v), t) << t.toString(Qt::ISODateWithMs).toStdString();
    }
    // A local date-time is taken by its wall-clock reading.
    EXPECT_EQ(oleFromDateTime(QDateTime(QDate(2000, 1, 1), QTime(12, 0), Qt::LocalTime)), 36526.5);
}

TEST(OleDate, ShowableRangeAndNoDate)
{
    EXPECT_FALSE(oleToDateTime(NoDate).isValid());
    EXPECT_FALSE(oleToDate(NoDate).isValid());
    EXPECT_EQ(oleToDateTime(MinShowableDate), wall(100, 1, 1));
    EXPECT_FALSE(oleToDateTime(MinShowableDate - 0.0001).isValid());
    EXPECT_FALSE(oleToDateTime(MaxShowableDate).isValid());
    EXPECT_EQ(oleToDate(MaxShowableDate - 0.5), QDate(9999, 12, 31));
    EXPECT_FALSE(oleToDateTime(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(oleToDateTime(std::numeric_limits<double>::infinity()).isValid());
}

TEST(OleDate, RoundingToTheMillisecondNearMidnight)
{
    const double halfMs = 0.5 / 86400000.0;
    // Just before midnight rounds up into the next calendar day.
    EXPECT_EQ(oleToDateTime(1.0 - halfMs / 4), wall(1899, 12, 31));
    EXPECT_EQ(oleToDateTime(45000.0 - 1e-10), wall(2023, 3, 15));
    // Before the epoch the next day is the one nearer to it: -1.9999999999
    // is 1899-12-29 23:59:59.99999..., which rounds to 1899-12-30 00:00.
    EXPECT_EQ(oleToDateTime(-1.0 - (1.0 - 1e-10)), wall(1899, 12, 30));
    EXPECT_EQ(oleToDateTime(-0.9999999999), wall(1899, 12, 31));
    EXPECT_EQ(oleToDateTime(-10.9999999999), wall(1899, 12, 21));
    // Just after midnight rounds down to it.
    EXPECT_EQ(oleToDateTime(45000.0 + 1e-10), wall(2023, 3, 15));
    EXPECT_EQ(oleToDateTime(-3.0 - 1e-10), wall(1899, 12, 27));
    // A millisecond is kept.
    EXPECT_EQ(oleToDateTime(1.0 - 1.0 / 86400000.0), wall(1899, 12, 30, 23, 59, 59, 999));
    // The last showable day does not round over into the year 10000.
    EXPECT_EQ(oleToDateTime(std::nextafter(MaxShowableDate, 0.0)),
              wall(9999, 12, 31, 23, 59, 59, 999));
}

// "Now" is the clock's in place; the system clock comes back after it.
TEST(OleDate, NowComesFromTheClockInPlace)
{
    const DateValue fixed = oleFromDateTime(QDateTime(testNow().date(), testNow().time(), Qt::UTC));
    {
        const FixedClock clock(testNow());
        EXPECT_EQ(oleNow(), fixed);
        EXPECT_EQ(localNow(), testNow());
    }
    EXPECT_NE(oleNow(), fixed);
}
