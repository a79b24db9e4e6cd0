#include "tooloptions.h"

#include <cstdio>
#include <optional>

#include "bookfiles.h"
#include "commands.h"
#include "console.h"
#include "core/model.h"

QString parseToolArguments(const QStringList &args, const QStringList &withValue,
                           const QStringList &withoutValue, ToolArguments &out)
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
            if (!out.input.isEmpty())
                return QStringLiteral("more than one input file");
            out.input = a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("-o") || withValue.contains(a)) {
            if (!inlineValue && i + 1 >= args.size())
                return a + QStringLiteral(" needs a value");
            const QString value = inlineValue ? *inlineValue : args[++i];
            if (value.isEmpty())
                return a + QStringLiteral(" needs a value");
            if (a == QLatin1String("-o")) {
                if (!out.output.isEmpty())
                    return QStringLiteral("-o given twice");
                out.output = value;
            } else {
                if (out.values.contains(a))
                    return a + QStringLiteral(" given twice");
                out.values.insert(a, value);
            }
        } else if (a == QLatin1String("--no-trash") && !inlineValue) {
            out.noTrash = true;
        } else if (withoutValue.contains(a) && !inlineValue) {
            out.switches.insert(a);
        } else {
            return QStringLiteral("unknown option ") + a;
        }
    }
    if (out.input.isEmpty())
        return QStringLiteral("no input file given");
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
        std::fprintf(stderr, "brindle-cli %s: nothing written; give -o OUTPUT to write the result\n",
                     command.toLocal8Bit().constData());
        return ExitOk;
    }
    const int written = writeBookFile(args.output, book, prompter, nullptr, args.noTrash);
    return written == 0 ? ExitOk : ExitFailure;
}
