#pragma once
// The texts of the date and time pickers.

#include <QString>

namespace PickerText {

inline const QString CalendarTitle = QStringLiteral("日付入力");
inline const QString YearSuffix = QStringLiteral("年");
inline const QString MonthSuffix = QStringLiteral("月");
inline const QString CalendarPrev = QStringLiteral("＜");
inline const QString CalendarNext = QStringLiteral("＞");
inline const QString Today = QStringLiteral("今日");
inline const QString Select = QStringLiteral("選択");
inline const QString Cancel = QStringLiteral("ｷｬﾝｾﾙ");
inline const QString Weekday0 = QStringLiteral("日");
inline const QString Weekday1 = QStringLiteral("月");
inline const QString Weekday2 = QStringLiteral("火");
inline const QString Weekday3 = QStringLiteral("水");
inline const QString Weekday4 = QStringLiteral("木");
inline const QString Weekday5 = QStringLiteral("金");
inline const QString Weekday6 = QStringLiteral("土");
inline const QString ClockTitle = QStringLiteral("時刻入力");
inline const QString HourSuffix = QStringLiteral(" 時");
inline const QString MinuteSuffix = QStringLiteral(" 分");
inline const QString SecondSuffix = QStringLiteral(" 秒");
inline const QString StepBack = QStringLiteral("<");
inline const QString StepForward = QStringLiteral(">");
inline const QString Am = QStringLiteral("AM");
inline const QString Pm = QStringLiteral("PM");
inline const QString CurrentTime = QStringLiteral("現在");

} // namespace PickerText
