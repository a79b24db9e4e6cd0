// brindle-cli compare OLD NEW: prints the comparison report of two address
// books on stdout. Exit status ExitOk when no card differs, ExitDifferences
// when cards differ, ExitFailure when the comparison could not be made (the
// reason is on stderr).
#include <QDateTime>

#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "tools/compare.h"

int runCompare(const QStringList &args, Prompter &prompter)
{
    int differences = -1;
    const auto guard = [&prompter](const QString &path) { return refuseLiveBook(path, prompter); };
    const QString report =
        compareBookFiles(args.at(0), args.at(1), prompter, QDateTime::currentDateTime(), guard,
                         &differences, console::progress(QStringLiteral("reading")));
    if (report.isEmpty())
        return ExitFailure;
    printText(report);
    return differences > 0 ? ExitDifferences : ExitOk;
}
