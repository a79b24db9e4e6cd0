#include "tooloptions.h"

#include <cstdio>

#include "bookfiles.h"
#include "core/model.h"

QString parseToolArguments(const QStringList &args, const QStringList &withValue,
                           const QStringList &withoutValue, ToolArguments &out)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("-o") || withValue.contains(a)) {
            if (i + 1 >= args.size())
                return a + QStringLiteral(" needs a value");
            const QString &value = args[++i];
            if (a == QLatin1String("-o")) {
                if (!out.output.isEmpty())
                    return QStringLiteral("-o given twice");
                out.output = value;
            } else {
                if (out.values.contains(a))
                    return a + QStringLiteral(" given twice");
                out.values.insert(a, value);
            }
        } else if (withoutValue.contains(a)) {
            out.switches.insert(a);
        } else if (a.startsWith(u'-') && a.size() > 1) {
            return QStringLiteral("unknown option ") + a;
        } else if (out.input.isEmpty()) {
            out.input = a;
        } else {
            return QStringLiteral("more than one input file");
        }
    }
    if (out.input.isEmpty())
        return QStringLiteral("no input file given");
    return QString();
}

int toolUsageError(const QString &command, const QString &problem)
{
    std::fprintf(stderr, "brindle-cli %s: %s (see brindle-cli --help)\n",
                 command.toLocal8Bit().constData(), problem.toLocal8Bit().constData());
    return 2;
}

int finishToolCommand(const ToolArguments &args, const AddressBook &book, Prompter &prompter)
{
    if (args.output.isEmpty()) {
        std::fprintf(stderr, "nothing written: give -o OUTPUT to write the result\n");
        return 0;
    }
    return writeBookFile(args.output, book, prompter) == 0 ? 0 : 1;
}
