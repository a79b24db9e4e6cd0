// brindle-cli idconv FILE [--exchange on|off] [--remark on|off] [--flags-only]
// [-o OUTPUT]: turns IDs written as mail addresses of the online service
// into the bare service ID, and optionally sets the auto-record flags of
// every card; --flags-only sets the flags alone.
#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "common/oledate.h"
#include "tooloptions.h"
#include "tools/idconv.h"

namespace {

// "on" / "off" -> the flag byte; -1 for anything else.
int flagValue(const QString &text)
{
    if (text == QLatin1String("on"))
        return FlagOn;
    if (text == QLatin1String("off"))
        return FlagOff;
    return -1;
}

} // namespace

int runIdConv(const QStringList &argList, Prompter &prompter)
{
    ToolArguments args;
    const QString problem = parseToolArguments(
        argList, {QStringLiteral("--exchange"), QStringLiteral("--remark")},
        {QStringLiteral("--flags-only")}, args);
    if (!problem.isEmpty())
        return usageError(QStringLiteral("idconv"), problem);
    int exchange = -2;
    int remark = -2;
    if (args.values.contains(QStringLiteral("--exchange")))
        exchange = flagValue(args.values.value(QStringLiteral("--exchange")));
    if (args.values.contains(QStringLiteral("--remark")))
        remark = flagValue(args.values.value(QStringLiteral("--remark")));
    if (exchange == -1 || remark == -1)
        return usageError(QStringLiteral("idconv"),
                              QStringLiteral("--exchange and --remark take on or off"));
    // --flags-only: the flags are set and the IDs left as they are.
    const bool flagsOnly = args.switches.contains(QStringLiteral("--flags-only"));
    if (flagsOnly && exchange < 0 && remark < 0)
        return usageError(QStringLiteral("idconv"),
                          QStringLiteral("--flags-only needs --exchange or --remark"));

    // Reading, the work, and writing when there is an output.
    console::planProgress((args.output.isEmpty() ? 2 : 3) - (flagsOnly ? 1 : 0));
    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(args.input, book, prompter, writtenTo(args)) != 0)
        return ExitFailure;
    const CardLimits limits;
    const DateValue now = oleNow();
    QString out;
    if (!flagsOnly) {
        const IdConversionResult result =
            convertServiceIds(book, limits, now, serviceMailDomains(),
                              console::progress(QStringLiteral("converting IDs")));
        if (console::interruptSignal() != 0)
            return ExitFailure; // stopped half way: neither shown nor written
        out = idConversionMessage(result) + u'\n';
        const QString duplicates = idConversionDuplicateReport(result);
        if (!duplicates.isEmpty())
            out += duplicates + u'\n';
    }
    if (exchange >= 0)
        out += exchangeFlagsMessage(setExchangeAutoRecord(book, quint8(exchange), limits, now))
            + u'\n';
    if (remark >= 0)
        out += remarkFlagsMessage(setRemarkAutoRecord(book, quint8(remark), limits, now)) + u'\n';
    printText(out);
    return finishToolCommand(QStringLiteral("idconv"), args, book, prompter);
}
