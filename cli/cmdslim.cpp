// brindle-cli slim FILE --level 0|1|2 [-o OUTPUT]: removes information from
// every card by one of the preset levels (0 old history, 1 all history,
// 2 everything but the first ID and name).
#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "common/oledate.h"
#include "tooloptions.h"
#include "tools/slim.h"

int runSlim(const QStringList &argList, Prompter &prompter)
{
    ToolArguments args;
    const QString problem =
        parseToolArguments(argList, {QStringLiteral("--level")}, {}, args);
    if (!problem.isEmpty())
        return usageError(QStringLiteral("slim"), problem);
    bool ok = false;
    const int level = args.values.value(QStringLiteral("--level")).toInt(&ok);
    if (!ok || level < 0 || level >= SlimCustomLevel)
        return usageError(QStringLiteral("slim"), QStringLiteral("--level must be 0, 1 or 2"));

    // Reading, the work, and writing when there is an output.
    console::planProgress(args.output.isEmpty() ? 2 : 3);
    AddressBook book;
    if (readCheckedBook(args.input, book, prompter, writtenTo(args)) != 0)
        return ExitFailure;
    const SlimResult result = slimBook(book, slimPreset(level), CardLimits{}, oleNow(),
                                      console::progress(QStringLiteral("slimming")));
    if (console::interruptSignal() != 0)
        return ExitFailure; // stopped half way: neither shown nor written
    printText(slimResultMessage(result) + QStringLiteral("\n"));
    return finishToolCommand(QStringLiteral("slim"), args, book, prompter);
}
