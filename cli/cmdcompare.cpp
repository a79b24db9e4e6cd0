// brindle-cli compare OLD NEW: prints the comparison report of two address
// books on stdout. Exit status 0 when no card differs, 3 when cards differ,
// 1 when the comparison could not be made (the reason is on stderr).
#include <QDateTime>
#include <cstdio>

#include "commands.h"
#include "tools/compare.h"

int runCompare(const QStringList &args, Prompter &prompter)
{
    int differences = -1;
    const QString report = compareBookFiles(args.at(0), args.at(1), prompter,
                                            QDateTime::currentDateTime(), {}, &differences);
    if (report.isEmpty())
        return 1;
    QString text = report;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return differences > 0 ? CompareDifferences : 0;
}
