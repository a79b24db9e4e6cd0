#pragma once
// The date value of the address book's date fields: days since 1899-12-30
// 00:00, the fraction being the time of day (common/oledate.h converts).

// Days since 1899-12-30 00:00; the fraction is the time of day.
using DateValue = double;

// 0001-01-01 00:00:00: marks an empty date in every date field.
inline constexpr DateValue NoDate = -693593.0;
