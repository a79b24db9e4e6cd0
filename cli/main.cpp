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
    int argumentCount; // -1: the command reads its own options
    int (*run)(const QStringList &args, Prompter &prompter);
    bool takesOptions = false; // options ("--...") follow the arguments
};

const Command Commands[] = {
    {"new", "OUTPUT", "write a new, empty address book to OUTPUT", 1, runNew},
    {"convert", "INPUT OUTPUT",
     "read INPUT and write it to OUTPUT, each as the kind its name gives", 2, runConvert, true},
    {"info", "FILE", "show the file information report of the address book FILE", 1, runInfo},
    {"check", "FILE", "list the cards of FILE that break the host's rules", 1, runCheck},
    {"repair", "FILE --level 1|2|3 [-o OUTPUT]",
     "fix the bad cards: 3 broken only, 2 broken and abnormal, 1 all", -1, runRepair},
    {"dedupe", "FILE --report|--merge [-o OUTPUT]",
     "list IDs held more than once, or merge the cards sharing them", -1, runDedupe},
    {"slim", "FILE --level 0|1|2 [-o OUTPUT]",
     "remove old history (0), all history (1), all but one ID and name (2)", -1, runSlim},
    {"idconv", "FILE [--exchange on|off] [--remark on|off] [-o OUTPUT]",
     "strip the online service's mail domain from IDs; set auto-record flags", -1, runIdConv},
    {"compare", "OLD NEW", "report the cards changed from the address book OLD to NEW", 2,
     runCompare},
};

void printHelp(FILE *out)
{
    std::fprintf(out, "usage: brindle-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const Command &c : Commands) {
        const QByteArray call = QByteArray(c.name) + ' ' + c.arguments;
        if (call.size() > 24)
            std::fprintf(out, "  %s\n  %-24s %s\n", call.constData(), "", c.summary);
        else
            std::fprintf(out, "  %-24s %s\n", call.constData(), c.summary);
    }
    std::fprintf(out,
                 "\noptions:\n"
                 "  %-24s %s\n  %-24s %s\n"
                 "\nCSV options of convert, for a CSV OUTPUT (defaults as the export dialog's):\n"
                 "  --csv-items=LIST         the items to write, comma-separated names or\n"
                 "                           numbers 0-18 (default: all):\n"
                 "                           %s\n"
                 "                           %s\n"
                 "  --csv-split              one column per value of a multi-valued item\n"
                 "  --csv-add-domain         append the mail domain of the settings to IDs\n"
                 "                           without \"@\"\n"
                 "A CSV INPUT is mapped from its header automatically; columns that\n"
                 "match no item are named on stderr and ignored.\n"
                 "\nOutput kind and nickname files, options of convert:\n"
                 "  --kind KIND              write OUTPUT as KIND: ndb, list, csv, vcard or\n"
                 "                           eudora (default: by OUTPUT's name)\n"
                 "  --eudora-mode 0|1        a nickname file lists the first ID only (0)\n"
                 "                           or every ID (1, the default)\n"
                 "\nFile kinds: .ndb and .nd0-.nd9 address book, .csv CSV, .vcf vCard;\n"
                 ".txt is read as list text or a Eudora nickname file by its first\n"
                 "bytes and written as list text unless --kind eudora is given.\n"
                 "Corvid's live address book is refused while Corvid runs; the\n"
                 "settings (Brindle.ini) are those of the window, read only.\n"
                 "\nExit status: 0 success, 1 failure (the message is on stderr),\n"
                 "2 unknown command or wrong arguments. OUTPUT is left as it was\n"
                 "when a command fails. check exits with 2 when some card is bad.\n"
                 "\nrepair, dedupe --merge, slim and idconv print their result and write\n"
                 "the changed book to OUTPUT only when -o OUTPUT is given; without it\n"
                 "they only show what they would do and write nothing. OUTPUT may be\n"
                 "FILE itself: it is replaced only once the new file is complete.\n"
                 "compare exits with 3 when the books differ.\n",
                 "-h, --help", "show this help", "--version", "show the version",
                 csvItemKeys().mid(0, 9).join(u',').toLatin1().constData(),
                 csvItemKeys().mid(9).join(u',').toLatin1().constData());
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
        if (c.argumentCount < 0) {
            // The command reads its own arguments and options.
            ConsolePrompter prompter;
            return c.run(rest, prompter);
        }
        QStringList positional;
        QStringList options;
        for (qsizetype i = 0; i < rest.size(); ++i) {
            const QString &a = rest[i];
            bool takesValue = false;
            for (const char *o : ConvertValueOptions)
                takesValue = takesValue || a == QLatin1String(o);
            if (takesValue && i + 1 < rest.size())
                options.append(a + u'=' + rest[++i]); // "--kind eudora" as "--kind=eudora"
            else
                (a.startsWith(QLatin1String("--")) ? options : positional).append(a);
        }
        if (positional.size() != c.argumentCount)
            return usageError(QStringLiteral("%1 takes %2 argument(s): %3")
                                  .arg(name)
                                  .arg(c.argumentCount)
                                  .arg(QLatin1String(c.arguments)));
        if (!options.isEmpty()) {
            if (!c.takesOptions)
                return usageError(name + QStringLiteral(" takes no options: ") + options.first());
            ConvertOptions parsed;
            const QString problem = parseConvertOptions(options, parsed);
            if (!problem.isEmpty())
                return usageError(problem);
        }
        ConsolePrompter prompter;
        return c.run(positional + options, prompter);
    }
    return usageError(QStringLiteral("unknown command: ") + name);
}
