#include "core/reportbanner.h"

#include "common/textwidth.h"

QString reportBanner(const QString &title, const QDateTime &now)
{
    const QString stamp = now.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    const QString heading = title + QStringLiteral(" by ") + QString::fromUtf16(ReportProduct)
        + u' ' + QString::fromUtf16(ReportVersion);
    return fitWidth(heading, ReportTitleWidth) + stamp + QStringLiteral("\r\n")
        + reportRule() + QStringLiteral("\r\n");
}

QString reportRule()
{
    return QString(ReportWidth, u'-');
}
