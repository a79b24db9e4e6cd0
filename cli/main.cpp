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
};

const Command Commands[] = {
    {"new", "OUTPUT", "write a new, empty address book to OUTPUT", 1, runNew},
    {"convert", "INPUT OUTPUT",
     "read INPUT and write it to OUTPUT, each as the kind its name gives", 2, runConvert},
    {"info", "FILE", "show the file information report of the address book FILE", 1, runInfo},
    {"check", "FILE", "list the cards of FILE that break the host's rules", 1, runCheck},
    {"compare", "OLD NEW", "report the cards changed from the address book OLD to NEW", 2,
     runCompare},
};

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
                 "\nFile kinds: .ndb and .nd0-.nd9 address book, .txt list text.\n"
                 "Corvid's live address book is refused while Corvid runs; the\n"
                 "settings (Brindle.ini) are those of the window, read only.\n"
                 "\nExit status: 0 success, 1 failure (the message is on stderr),\n"
                 "2 unknown command or wrong arguments. OUTPUT is left as it was\n"
                 "when a command fails. check exits with 2 when some card is bad,\n"
                 "compare with 3 when the books differ.\n",
                 "-h, --help", "show this help", "--version", "show the version");
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
        if (rest.size() != c.argumentCount)
            return usageError(QStringLiteral("%1 takes %2 argument(s): %3")
                                  .arg(name)
                                  .arg(c.argumentCount)
                                  .arg(QLatin1String(c.arguments)));
        ConsolePrompter prompter;
        return c.run(rest, prompter);
    }
    return usageError(QStringLiteral("unknown command: ") + name);
}
