#pragma once
// Date values of the address book: days since 1899-12-30 00:00 as a double,
// the fraction being the time of day. Before 1899-12-30 the whole part counts
// days backwards and the fraction's absolute value is still the time of day
// (-1.25 is 1899-12-29 06:00).
//
// Date values carry no time zone: they are wall-clock times. QDateTime values
// produced here use Qt::UTC only as a container for that wall-clock reading;
// oleFromDateTime takes the date and time components as they are.

#include <QDateTime>
#include <functional>

#include "common/datevalue.h"

// The range that "yyyy/mm/dd hh:mm:ss" can show: 0100-01-01 to 9999-12-31.
inline constexpr DateValue MinShowableDate = -657434.0;
inline constexpr DateValue MaxShowableDate = 2958466.0; // exclusive

// True for 0.0 and any value in the showable range (NaN and infinities not).
bool isShowableDate(DateValue v);

// The wall-clock date-time of v, rounded to the millisecond; invalid for a
// value outside the showable range (NoDate included).
QDateTime oleToDateTime(DateValue v);
QDate oleToDate(DateValue v);

DateValue oleFromDateTime(const QDateTime &dt);
DateValue oleFromDate(const QDate &date);

// The local date and time now, as the clock in place tells it.
DateValue oleNow();

// Where "now" comes from: the system clock unless another clock has been put
// in place (the tests run against a fixed one). An empty function stands for
// the system clock.
using WallClock = std::function<QDateTime()>;
// Puts clock in place and returns the one it replaced.
WallClock setWallClock(WallClock clock);
// The clock's local date and time.
QDateTime localNow();
