#include "common/oledate.h"

#include <cmath>
#include <utility>

namespace {
// 1899-12-30, as a constant so that date conversions work from any static
// initialiser too.
constexpr QDate OleEpoch = QDate::fromJulianDay(2415019);
const QDate MaxShowableDay(9999, 12, 31);
constexpr qint64 MsPerDay = 86400000;

WallClock &clockInPlace()
{
    static WallClock clock;
    return clock;
}
} // namespace

bool isShowableDate(DateValue v)
{
    return v >= MinShowableDate && v < MaxShowableDate;
}

QDateTime oleToDateTime(DateValue v)
{
    if (!isShowableDate(v))
        return {};
    const double whole = std::trunc(v);
    QDate date = OleEpoch.addDays(qint64(whole));
    qint64 ms = std::llround(std::fabs(v - whole) * MsPerDay);
    if (ms >= MsPerDay) {
        // Rounded up to midnight: the start of the following calendar day,
        // which for a negative value is the day closer to the epoch. On the
        // last showable day, stay on it.
        if (date < MaxShowableDay) {
            date = date.addDays(1);
            ms = 0;
        } else {
            ms = MsPerDay - 1;
        }
    }
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)), Qt::UTC);
}

QDate oleToDate(DateValue v)
{
    return oleToDateTime(v).date();
}

DateValue oleFromDateTime(const QDateTime &dt)
{
    if (!dt.isValid())
        return NoDate;
    const qint64 days = OleEpoch.daysTo(dt.date());
    const double frac = double(dt.time().msecsSinceStartOfDay()) / MsPerDay;
    return days < 0 ? double(days) - frac : double(days) + frac;
}

DateValue oleFromDate(const QDate &date)
{
    return date.isValid() ? double(OleEpoch.daysTo(date)) : NoDate;
}

WallClock setWallClock(WallClock clock)
{
    return std::exchange(clockInPlace(), std::move(clock));
}

QDateTime localNow()
{
    const WallClock &clock = clockInPlace();
    return clock ? clock() : QDateTime::currentDateTime();
}

DateValue oleNow()
{
    const QDateTime now = localNow();
    return oleFromDateTime(QDateTime(now.date(), now.time(), Qt::UTC));
}
