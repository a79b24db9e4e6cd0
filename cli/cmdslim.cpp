// brindle-cli slim FILE [--level 0|1|2] [OPTIONS] [-o OUTPUT]: removes
// information from every card by one of the preset levels (0 old history,
// 1 all history, 2 everything but the first ID and name) and/or the options
// of the slimming dialog's custom level.
#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "common/oledate.h"
#include "tooloptions.h"
#include "tools/slim.h"

namespace {

// The slimming dialog's boxes, one option each: those with a count box take
// the count (keep at most N), the others are switches.
struct LimitOption
{
    const char *name;
    SlimLimit SlimOptions::*limit;
};
const LimitOption LimitOptions[] = {
    {"--ids", &SlimOptions::ids},
    {"--names", &SlimOptions::names},
    {"--profiles", &SlimOptions::profile},
    {"--mail-log", &SlimOptions::mailLog},
    {"--exchange", &SlimOptions::exchangeRecords},
    {"--remarks", &SlimOptions::remarkRecords},
};
struct SwitchOption
{
    const char *name;
    bool SlimOptions::*field;
};
const SwitchOption SwitchOptions[] = {
    {"--drop-none", &SlimOptions::profileNone},
    {"--address", &SlimOptions::address},
    {"--telephone", &SlimOptions::telephone},
    {"--fax", &SlimOptions::fax},
    {"--mobile", &SlimOptions::mobile},
    {"--pager", &SlimOptions::pager},
    {"--memo", &SlimOptions::memo},
    {"--groups", &SlimOptions::groups},
};
// The count box holds up to three digits.
constexpr int MaxSlimCount = 999;

} // namespace

QStringList slimOptionNames()
{
    QStringList names{QStringLiteral("--level")};
    for (const LimitOption &o : LimitOptions)
        names << QLatin1String(o.name);
    for (const SwitchOption &o : SwitchOptions)
        names << QLatin1String(o.name);
    return names;
}

int runSlim(const QStringList &argList, Prompter &prompter)
{
    const QString command = QStringLiteral("slim");
    QStringList withValue{QStringLiteral("--level")};
    for (const LimitOption &o : LimitOptions)
        withValue << QLatin1String(o.name);
    QStringList switches;
    for (const SwitchOption &o : SwitchOptions)
        switches << QLatin1String(o.name);
    ToolArguments args;
    const QString problem = parseToolArguments(argList, withValue, switches, args);
    if (!problem.isEmpty())
        return usageError(command, problem);

    // A preset level, the dialog's boxes, or both: the boxes then add to
    // what the level does.
    SlimOptions options;
    if (args.values.contains(QStringLiteral("--level"))) {
        bool ok = false;
        const int level = args.values.value(QStringLiteral("--level")).toInt(&ok);
        if (!ok || level < 0 || level >= SlimCustomLevel)
            return usageError(command, QStringLiteral("--level must be 0, 1 or 2"));
        options = slimPreset(level);
    }
    for (const LimitOption &o : LimitOptions) {
        const QString name = QLatin1String(o.name);
        if (!args.values.contains(name))
            continue;
        int count = 0;
        if (!parseSlimCount(args.values.value(name), count) || count < 0 || count > MaxSlimCount)
            return usageError(command, QStringLiteral("%1 takes a count from 0 to %2, not %3")
                                           .arg(name)
                                           .arg(MaxSlimCount)
                                           .arg(args.values.value(name)));
        options.*o.limit = SlimLimit{true, count};
    }
    for (const SwitchOption &o : SwitchOptions)
        if (args.switches.contains(QLatin1String(o.name)))
            options.*o.field = true;
    if (options == SlimOptions{})
        return usageError(command, QStringLiteral("give --level or at least one of the options"));
    if (const QString optionsProblem = slimOptionsProblem(options); !optionsProblem.isEmpty())
        return usageError(command, optionsProblem);

    // Reading, the work, and writing when there is an output.
    console::planProgress(args.output.isEmpty() ? 2 : 3);
    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(args.input, book, prompter, writtenTo(args)) != 0)
        return ExitFailure;
    const SlimResult result = slimBook(book, options, CardLimits{}, oleNow(),
                                      console::progress(QStringLiteral("slimming")));
    if (console::interruptSignal() != 0)
        return ExitFailure; // stopped half way: neither shown nor written
    printText(slimResultMessage(result) + QStringLiteral("\n"));
    return finishToolCommand(command, args, book, prompter);
}
