#include "common/oledate.h"

#include <cmath>

namespace {
const QDate OleEpoch(1899, 12, 30);
constexpr qint64 MsPerDay = 86400000;
} // namespace

bool isShowableDate(DateValue v)
{
    return v >= MinShowableDate && v < MaxShowableDate;
}

QDateTime oleToDateTime(DateValue v)
{
    if (!isShowableDate(v))
        return {};
    double whole = std::trunc(v);
    qint64 ms = std::llround(std::fabs(v - whole) * MsPerDay);
    if (ms >= MsPerDay) {
        whole += v < 0 ? -1 : 1;
        ms = 0;
    }
    return QDateTime(OleEpoch.addDays(qint64(whole)), QTime::fromMSecsSinceStartOfDay(int(ms)),
                     Qt::UTC);
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

DateValue oleNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    return oleFromDateTime(QDateTime(now.date(), now.time(), Qt::UTC));
}
