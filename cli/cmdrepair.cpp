// brindle-cli repair FILE --level 1|2|3 [-o OUTPUT]: fixes the cards that
// break the host's rules, up to the level (3 broken cards only, 2 broken and
// abnormal cards, 1 everything that can be fixed).
#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "core/validation.h"
#include "tooloptions.h"
#include "tools/restore.h"

int runRepair(const QStringList &argList, Prompter &prompter)
{
    ToolArguments args;
    const QString problem =
        parseToolArguments(argList, {QStringLiteral("--level")}, {}, args);
    if (!problem.isEmpty())
        return usageError(QStringLiteral("repair"), problem);
    const QString levelText = args.values.value(QStringLiteral("--level"));
    bool ok = false;
    const int level = levelText.toInt(&ok);
    if (!ok || level < RepairAll || level > RepairBroken)
        return usageError(QStringLiteral("repair"), QStringLiteral("--level must be 1, 2 or 3"));

    // Reading, the work, and writing when there is an output.
    console::planProgress(args.output.isEmpty() ? 2 : 3);
    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(args.input, book, prompter, writtenTo(args)) != 0)
        return ExitFailure;
    const CardRepairResult result = repairFlaggedCards(book, level, CardLimits{}, oleNow(),
                                                        console::progress(QStringLiteral("repairing")));
    if (console::interruptSignal() != 0)
        return ExitFailure; // stopped half way: neither shown nor written
    printText(cardRepairMessage(result) + QStringLiteral("\n"));
    return finishToolCommand(QStringLiteral("repair"), args, book, prompter);
}
