#pragma once
// The two lines every report starts with: the title, " by Brindle 1.1" fitted
// to 51 display columns followed by the date and time "yyyy/mm/dd hh:mm:ss"
// (70 columns in all), then a rule of 70 "-".

#include <QDateTime>
#include <QString>

// The product name and version the reports show.
inline constexpr char16_t ReportProduct[] = u"Brindle";
inline constexpr char16_t ReportVersion[] = u"1.1";
inline constexpr int ReportWidth = 70;
inline constexpr int ReportTitleWidth = 51; // the stamp takes the other 19

// Both lines, each ending in CR LF. now is a wall-clock time.
QString reportBanner(const QString &title, const QDateTime &now);

// 70 "-" (no line end).
QString reportRule();
