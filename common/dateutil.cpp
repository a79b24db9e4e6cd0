#include "common/dateutil.h"

#include <algorithm>

#include "common/oledate.h"

namespace {

// Month lengths, two digits per month, January first.
constexpr char MonthDays[] = "312831303130313130313031";

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

int daysInMonth(int year, int month)
{
    if (month < 1 || month > 12)
        return 0;
    const int i = (month - 1) * 2;
    int days = (MonthDays[i] - '0') * 10 + (MonthDays[i + 1] - '0');
    if (month == 2 && isLeapYear(year))
        ++days;
    return days;
}

int age(DateValue birthday, DateValue asOf)
{
    const QDate b = oleToDate(birthday);
    const QDate a = oleToDate(asOf);
    if (!b.isValid() || !a.isValid() || b > a)
        return -1;
    const bool beforeAnniversary =
        a.month() < b.month() || (a.month() == b.month() && a.day() < b.day());
    return a.year() - b.year() - (beforeAnniversary ? 1 : 0);
}

int age(DateValue birthday)
{
    return age(birthday, oleNow());
}

int daysToNextBirthday(DateValue birthday, QDate today)
{
    const QDate b = oleToDate(birthday);
    if (!b.isValid() || !today.isValid())
        return -1;
    const bool thisYear =
        b.month() > today.month() || (b.month() == today.month() && b.day() >= today.day());
    const int year = today.year() + (thisYear ? 0 : 1);
    const int day = std::min(b.day(), daysInMonth(year, b.month()));
    return int(today.daysTo(QDate(year, b.month(), day)));
}

int daysToNextBirthday(DateValue birthday)
{
    return daysToNextBirthday(birthday, oleToDate(oleNow()));
}
