#pragma once
// Calendar calculations shown next to a birthday. They look at the calendar
// date of a date value only; the time of day is ignored.

#include <QDate>

#include "common/datevalue.h"

// The number of days in the month (28 to 31), by the Gregorian leap-year rule
// for every year; 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// The completed years from birthday to asOf (by default the local date now).
// -1 when either date is not a showable date value (NoDate included) or the
// birthday lies after asOf.
int age(DateValue birthday, DateValue asOf);
int age(DateValue birthday);

// Days from today to the next anniversary of birthday: 0 on the birthday
// itself; a 29 February birthday falls on 28 February in other years. -1 when
// the birthday is not a showable date value or today is invalid.
int daysToNextBirthday(DateValue birthday, QDate today);
int daysToNextBirthday(DateValue birthday);
