// brindle-cli: Brindle's address-book operations without a display.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "commands.h"
#include "common/consoleprompter.h"

namespace {

// Exit status for a command line that names no known command or gives the
// wrong number of arguments.
constexpr int UsageError = 2;

struct Command
{
    const char *name;
    const char *arguments; // shown in the help
    const char *summary;
    int argumentCount;
    int (*run)(const QStringList &args, Prompter &prompter);
    bool convertOptions = false; // takes --kind and --eudora-mode
};

const Command Commands[] = {
    {"new", "OUTPUT", "write a new, empty address book to OUTPUT", 1, runNew},
    {"convert", "INPUT OUTPUT",
     "read INPUT and write it to OUTPUT, each as the kind its name gives", 2, runConvert, true},
    {"info", "FILE", "show the file information report of the address book FILE", 1, runInfo},
    {"check", "FILE", "list the cards of FILE that break the host's rules", 1, runCheck},
};

// The options of convert that take a value, as "--name VALUE" or
// "--name=VALUE".
const char *const ValueOptions[] = {"--kind", "--eudora-mode"};

// Splits a command's arguments into the files and the options; options are
// passed on to the command as "--name=VALUE" after the files. Returns "" or
// what is wrong.
QString splitArguments(const QStringList &rest, bool optionsAllowed, QStringList &files,
                       QStringList &options)
{
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString &a = rest[i];
        if (!a.startsWith(QLatin1String("--"))) {
            files << a;
            continue;
        }
        const QString name = a.section(u'=', 0, 0);
        bool known = false;
        for (const char *o : ValueOptions)
            known = known || name == QLatin1String(o);
        if (!known || !optionsAllowed)
            return QStringLiteral("unknown option: ") + name;
        if (a.contains(u'=')) {
            options << a;
        } else if (i + 1 < rest.size()) {
            options << name + u'=' + rest[++i];
        } else {
            return QStringLiteral("option %1 needs a value").arg(name);
        }
    }
    return QString();
}

void printHelp(FILE *out)
{
    std::fprintf(out, "usage: brindle-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const Command &c : Commands) {
        const QByteArray call = QByteArray(c.name) + ' ' + c.arguments;
        std::fprintf(out, "  %-24s %s\n", call.constData(), c.summary);
    }
    std::fprintf(out,
                 "\noptions:\n"
                 "  %-24s %s\n  %-24s %s\n"
                 "\nconvert options:\n"
                 "  %-24s %s\n  %-24s %s\n"
                 "\nFile kinds: .ndb and .nd0-.nd9 address book, .vcf vCard; .txt is\n"
                 "read as list text or a Eudora nickname file by its first bytes and\n"
                 "written as list text unless --kind eudora is given.\n"
                 "Corvid's live address book is refused while Corvid runs; the\n"
                 "settings (Brindle.ini) are those of the window, read only.\n"
                 "\nExit status: 0 success, 1 failure (the message is on stderr),\n"
                 "2 unknown command or wrong arguments. OUTPUT is left as it was\n"
                 "when a command fails. check exits with 2 when some card is bad.\n",
                 "-h, --help", "show this help", "--version", "show the version",
                 "--kind KIND", "write OUTPUT as KIND: ndb, list, vcard or eudora",
                 "--eudora-mode 0|1",
                 "nickname file: 0 the first ID only, 1 every ID (default)");
}

int usageError(const QString &problem)
{
    std::fprintf(stderr, "brindle-cli: %s\n\n", problem.toLocal8Bit().constData());
    printHelp(stderr);
    return UsageError;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brindle-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRINDLE_VERSION));
    const QStringList args = QCoreApplication::arguments().mid(1);

    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString &name = args.first();
    if (name == QLatin1String("-h") || name == QLatin1String("--help")) {
        printHelp(stdout);
        return 0;
    }
    if (name == QLatin1String("--version")) {
        std::printf("brindle-cli %s\n", BRINDLE_VERSION);
        return 0;
    }

    for (const Command &c : Commands) {
        if (name != QLatin1String(c.name))
            continue;
        const QStringList rest = args.mid(1);
        if (rest.contains(QLatin1String("-h")) || rest.contains(QLatin1String("--help"))) {
            printHelp(stdout);
            return 0;
        }
        QStringList files, options;
        const QString problem = splitArguments(rest, c.convertOptions, files, options);
        if (!problem.isEmpty())
            return usageError(problem);
        if (files.size() != c.argumentCount)
            return usageError(QStringLiteral("%1 takes %2 argument(s): %3")
                                  .arg(name)
                                  .arg(c.argumentCount)
                                  .arg(QLatin1String(c.arguments)));
        ConsolePrompter prompter;
        return c.run(files + options, prompter);
    }
    return usageError(QStringLiteral("unknown command: ") + name);
}
