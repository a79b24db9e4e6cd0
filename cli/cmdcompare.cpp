// brindle-cli compare OLD NEW: prints the comparison report of two address
// books on stdout. Exit status 0 when no card differs, 3 when cards differ,
// 1 when the comparison could not be made (the reason is on stderr).
#include <QDateTime>

#include "bookfiles.h"
#include "commands.h"
#include "tools/compare.h"

int runCompare(const QStringList &args, Prompter &prompter)
{
    int differences = -1;
    const auto guard = [&prompter](const QString &path) { return refuseLiveBook(path, prompter); };
    const QString report = compareBookFiles(args.at(0), args.at(1), prompter,
                                            QDateTime::currentDateTime(), guard, &differences);
    if (report.isEmpty())
        return 1;
    printText(report);
    return differences > 0 ? CompareDifferences : 0;
}
