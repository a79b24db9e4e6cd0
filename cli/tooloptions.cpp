#include "tooloptions.h"

#include <cstdio>
#include <optional>

#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "core/model.h"

QString parseCommandArguments(const QStringList &args, const QStringList &withValue,
                              const QStringList &withoutValue, CommandArguments &out)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString a = args[i];
        std::optional<QString> inlineValue; // "--level=2"
        if (!optionsEnded && a.startsWith(QLatin1String("--")) && a.contains(u'=')) {
            inlineValue = a.section(u'=', 1);
            a = a.section(u'=', 0, 0);
        }
        if (optionsEnded || !a.startsWith(u'-') || a.size() == 1) {
            out.positional.append(a);
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (withValue.contains(a)) {
            if (!inlineValue && i + 1 >= args.size())
                return a + QStringLiteral(" needs a value");
            const QString value = inlineValue ? *inlineValue : args[++i];
            if (value.isEmpty())
                return a + QStringLiteral(" needs a value");
            if (out.values.contains(a))
                return a + QStringLiteral(" given twice");
            out.values.insert(a, value);
        } else if (withoutValue.contains(a) && !inlineValue) {
            out.switches.insert(a);
        } else {
            return QStringLiteral("unknown option ") + a;
        }
    }
    return QString();
}

QString takeInputKind(const CommandArguments &args, const QString &input)
{
    const QString from = args.values.value(QStringLiteral("--from"));
    return inputKindProblem(from, input);
}

QString inputKindProblem(const QString &from, const QString &input)
{
    int kind = FileKindUnknown;
    if (!from.isEmpty()) {
        kind = kindNamed(from);
        if (kind == FileKindUnknown)
            return QStringLiteral("unknown kind: %1 (kinds: %2)").arg(from, QLatin1String(KindNameList));
    }
    if (isStdio(input) && kind == FileKindUnknown)
        return QStringLiteral("reading standard input needs --from KIND (%1)").arg(QLatin1String(KindNameList));
    setInputKind(kind);
    return QString();
}

QString readingCommandInput(const QString &command, const QStringList &argList, int *usage)
{
    CommandArguments args;
    QString problem = parseCommandArguments(argList, {QStringLiteral("--from")}, {}, args);
    if (problem.isEmpty() && args.positional.size() != 1)
        problem = QStringLiteral("expected FILE (1 file name)");
    if (problem.isEmpty())
        problem = takeInputKind(args, args.positional.first());
    if (!problem.isEmpty()) {
        *usage = usageError(command, problem);
        return QString();
    }
    return args.positional.first();
}

QString parseToolArguments(const QStringList &args, const QStringList &withValue,
                           const QStringList &withoutValue, ToolArguments &out)
{
    CommandArguments parsed;
    const QString problem =
        parseCommandArguments(args, withValue + QStringList{QStringLiteral("-o")},
                              withoutValue + QStringList{QStringLiteral("--no-trash")}, parsed);
    if (!problem.isEmpty())
        return problem;
    if (parsed.positional.size() > 1)
        return QStringLiteral("more than one input file");
    if (parsed.positional.isEmpty())
        return QStringLiteral("no input file given");
    // Standard input and output are for the commands that only read or
    // convert a book; a file named "-" is "./-".
    if (parsed.positional.first() == QLatin1String("-")
        || parsed.values.value(QStringLiteral("-o")) == QLatin1String("-"))
        return QStringLiteral("this command reads and writes files only; name a file called - as ./-");
    out.input = parsed.positional.first();
    out.output = parsed.values.take(QStringLiteral("-o"));
    out.noTrash = parsed.switches.remove(QStringLiteral("--no-trash"));
    out.values = parsed.values;
    out.switches = parsed.switches;
    return QString();
}

BookUse writtenTo(const ToolArguments &args)
{
    return args.output.isEmpty() ? BookUse::ReadOnly : BookUse::Written;
}

int finishToolCommand(const QString &command, const ToolArguments &args,
                      const AddressBook &book, Prompter &prompter)
{
    // Work stopped half way is never written.
    if (console::interruptSignal() != 0)
        return ExitFailure;
    if (args.output.isEmpty()) {
        if (console::verbosity() != console::Verbosity::Quiet)
            std::fprintf(stderr, "brindle-cli %s: nothing written; give -o OUTPUT to write the result\n",
                         command.toLocal8Bit().constData());
        return ExitOk;
    }
    const int written = writeBookFile(args.output, book, prompter, nullptr, args.noTrash);
    return written == 0 ? ExitOk : ExitFailure;
}
