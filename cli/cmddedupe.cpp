// brindle-cli dedupe FILE --report | --merge [-o OUTPUT]: lists the IDs that
// occur more than once, or removes repeats and merges the cards sharing an
// ID.
#include <QDateTime>

#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "common/oledate.h"
#include "tooloptions.h"
#include "tools/restore.h"

int runDedupe(const QStringList &argList, Prompter &prompter)
{
    ToolArguments args;
    const QString problem = parseToolArguments(
        argList, {}, {QStringLiteral("--report"), QStringLiteral("--merge")}, args);
    if (!problem.isEmpty())
        return usageError(QStringLiteral("dedupe"), problem);
    const bool report = args.switches.contains(QStringLiteral("--report"));
    const bool merge = args.switches.contains(QStringLiteral("--merge"));
    if (report == merge)
        return usageError(QStringLiteral("dedupe"),
                              QStringLiteral("give exactly one of --report and --merge"));
    if (report && !args.output.isEmpty())
        return usageError(QStringLiteral("dedupe"),
                              QStringLiteral("--report changes nothing; -o is not used"));

    // Reading, the work, and writing when there is an output.
    console::planProgress(args.output.isEmpty() ? 2 : 3);
    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(args.input, book, prompter, writtenTo(args)) != 0)
        return ExitFailure;
    const DuplicateIdMode mode = merge ? DuplicateIdMode::Merge : DuplicateIdMode::Report;
    const DuplicateIdResult result = handleDuplicateIds(
        book, mode, CardLimits{}, oleNow(), console::progress(QStringLiteral("looking for duplicate IDs")));
    if (console::interruptSignal() != 0)
        return ExitFailure; // stopped half way: neither shown nor written
    if (result.duplicates == 0)
        printText(noDuplicateIdMessage() + QStringLiteral("\n"));
    else
        printText(duplicateIdReport(result, mode, QDateTime::currentDateTime())
                  + QStringLiteral("\n"));
    if (report)
        return ExitOk;
    return finishToolCommand(QStringLiteral("dedupe"), args, book, prompter);
}
