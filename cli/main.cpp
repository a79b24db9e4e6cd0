// brindle-cli: Brindle's address-book operations without a display.
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "common/largepages.h"
#include "commands.h"
#include "console.h"
#include "output.h"

namespace {

struct Command
{
    const char *name;
    const char *arguments; // the usage line after the name
    const char *summary;   // one line for the command list
    const char *details;   // the rest of the command's help
    int argumentCount;     // file arguments; -1: the command reads its own
    int (*run)(const QStringList &args, Prompter &prompter);
    bool takesOptions = false; // with argumentCount >= 0: options ("--...") follow
};

const Command Commands[] = {
    {"new", "OUTPUT", "write a new, empty address book",
     R"(Writes an address book without cards or groups to OUTPUT, in the kind its
name gives. An existing OUTPUT is left alone and the command fails.

example:
  brindle-cli new Address.ndb
)",
     1, runNew},

    {"convert",
     "INPUT OUTPUT [--from KIND] [--kind KIND] [--eudora-mode 0|1] [--csv-items=LIST]\n"
     "        [--csv-split]"
     " [--csv-add-domain] [--encoding NAME] [--csv-map LIST] [--verbose]\n"
     "        [--vcard-version 2.1|3.0] [--no-trash]",
     "copy a book from one file kind to another",
     R"(Reads INPUT whole and writes it to OUTPUT, each as the kind its name gives.
OUTPUT is touched only once INPUT has been read completely, and is replaced
only once its new content is complete. An existing OUTPUT is replaced as
described under "replacing a file" in 'brindle-cli --help'.

Reading a CSV, list text or nickname file ends with a report on stderr: the
cards read, and what was left out or could not be read. Cards left out at
the card limit, data that could not be read and characters that are not
valid in the file's encoding make the exit status 4; columns that map to no
item are only named.

options for a CSV INPUT:
  A CSV INPUT may be Shift_JIS (CP932), UTF-8 (with or without a byte order
  mark) or UTF-16 with a byte order mark; its records may end in CR LF, LF
  or CR. Its header row is mapped automatically; the headers of the
  program's own files and of the exports of Google Contacts, Outlook
  (English and Japanese) and Thunderbird are known.
  --encoding NAME     read it as NAME: cp932, utf-8 or utf-16 (default: as
                      its bytes suggest)
  --csv-map LIST      map columns yourself: HEADER=ITEM pairs, comma-
                      separated; HEADER is a header text or #N for column
                      N; ITEM is an item name or number 0-24:
                      %MAPITEMS%
                      (none leaves a column unused; familyname and
                      givenname join into one name, family name first;
                      birthyear, birthmonth and birthdayofmonth make the
                      birthday)
  --verbose           print the encoding and the mapping used on stderr

options for a CSV OUTPUT (the defaults are those of the export dialog):
  --csv-items=LIST    the items to write, comma-separated names or numbers
                      0-18 (default: all):
                      %ITEMS%
  --csv-split         one column per value of a multi-valued item
  --csv-add-domain    append the mail domain of the settings to IDs
                      without "@"

option for a vCard OUTPUT:
  --vcard-version 2.1|3.0
                      vCard 2.1 in Shift-JIS (the default) or vCard 3.0 in
                      UTF-8, which keeps every character

options for the file kinds:
  --from KIND         read INPUT as KIND: ndb, list, csv, vcard or eudora
                      (default: by INPUT's name and first bytes); needed
                      when INPUT is - (standard input)
  --kind KIND         write OUTPUT as KIND: ndb, list, csv, vcard or eudora
                      (default: by OUTPUT's name; a .txt OUTPUT is list
                      text); needed when OUTPUT is - (standard output)
  --eudora-mode 0|1   a nickname file lists the first ID only (0) or every
                      ID (1, the default)

option for an existing OUTPUT:
  --no-trash          replace it without moving its old content to the trash

examples:
  brindle-cli convert Address.ndb cards.csv --csv-items=id,name,tel
  brindle-cli convert cards.csv Address.nd1
  brindle-cli convert contacts.csv Address.nd1 --encoding utf-8 --verbose
  brindle-cli convert contacts.csv list.txt --csv-map 'Shoe size=memo,#3=none'
  brindle-cli convert Address.ndb list.txt
  brindle-cli convert Address.ndb NNdbase.txt --kind eudora --eudora-mode 0
  brindle-cli convert Address.ndb contacts.vcf --vcard-version 3.0
  brindle-cli convert Address.ndb - --kind csv | head
)",
     2, runConvert, true},

    {"info", "FILE [--from KIND]", "print the file information report",
     R"(Prints the file information report of FILE on stdout, as the window's
report shows it: the file's name and size, the number of cards and of bad
cards by severity (broken, abnormal, suspicious), the number of IDs and
names in use, and the times of the oldest card's creation and of the latest
update.

option:
  --from KIND  read FILE as KIND: ndb, list, csv, vcard or eudora (default:
               by its name); needed when FILE is - (standard input)

examples:
  brindle-cli info Address.ndb
  ssh host cat Address.ndb | brindle-cli info - --from ndb
)",
     -1, runInfo},

    {"check", "FILE [--from KIND]", "list the cards that break Corvid's rules",
     R"(Checks every card of FILE against Corvid's rules and prints one line per
bad card: its number, the severity mark (broken, abnormal, suspicious), the
status code and the message; then a summary line with the counts. A line
also names the bytes after the last card of an address book file whose
header declares fewer cards than it holds (or that has bytes appended): they
belong to no card and are not kept when the book is written. Exits with 2
when some card is bad or the file has such bytes, with 0 when every card is
normal.

option:
  --from KIND  read FILE as KIND: ndb, list, csv, vcard or eudora (default:
               by its name); needed when FILE is - (standard input)

example:
  brindle-cli check Address.ndb || echo "some cards need repair"
)",
     -1, runCheck},

    {"list",
     "FILE [--search FIELD[=TEXT]] [--sort ORDER] [--reverse]\n"
     "        [--format text|tsv|json] [--from KIND]",
     "print the address list as the window shows it",
     R"(Prints the address list of FILE as the window shows it after the same
search and with the same sort order: one row per line of the window (a card
shows one line per name, or per ID in the id and domain orders).

options:
  --search FIELD=TEXT  list the cards whose FIELD holds TEXT (letter case
                      and width count); FIELD is one of the window's search
                      fields:
                        all          every card (the default; no TEXT)
                        bad          the cards with a mark (no TEXT)
                        id           the IDs
                        name         the names
                        group        the groups
                        tel          telephone, FAX, mobile and pager
                        address      postal code and address
                        birth-year   the year of the birthday
                        birth-month  the month of the birthday (1-12)
                        birth-day    the day of the birthday (1-31)
                        memo         the memo
                      An empty TEXT lists every card.
  --sort ORDER        the window's sort order: name (the default), id,
                      domain, created, updated or status
  --reverse           the rows from last to first
  --format text       the lines of the window (the default)
  --format tsv        one row per line, TAB-separated: card number, name,
                      ID, telephone, mobile, birthday (yyyy-mm-dd), groups
                      (comma-separated), status code, status message; a TAB,
                      line break or backslash in a value is written 	, 
,
                      
 or \
  --format json       a JSON array with an object per row: number, name,
                      id, names, ids, telephone, mobile, birthday
                      (yyyy-mm-dd or null), groups, status, message
  --from KIND         read FILE as KIND: ndb, list, csv, vcard or eudora
                      (default: by its name); needed when FILE is -

examples:
  brindle-cli list Address.ndb --search name=山田 --sort id
  brindle-cli list Address.ndb --search bad --sort status --format tsv
  brindle-cli list Address.ndb --format json | jq '.[].id'
)",
     -1, runList},

    {"show", "FILE CARD [--format text|json] [--from KIND]", "print every field of one card",
     R"(Prints every field of one card of FILE. CARD is a card number unless it
holds a character other than a digit; then it is an ID of the card, and
"id:" before it makes the rest an ID whatever it holds (id:12345). When
several cards hold the ID, the first is shown and the others are named on
stderr. Exits with 1 when no card matches.

options:
  --format text   one "field: value" line per value (the default); a line
                  break inside a value is written 

  --format json   a JSON object: number, ids, names, postalCode, address,
                  telephone, fax, mobile, pager, birthday (yyyy-mm-dd or
                  null), groups, memo, profile (title and value),
                  exchangeAutoRecord, remarkAutoRecord, created, updated
                  (yyyy-mm-ddThh:mm:ss or null), mailLog, exchangeRecords,
                  remarkRecords, status, message
  --from KIND     read FILE as KIND: ndb, list, csv, vcard or eudora
                  (default: by its name); needed when FILE is -

examples:
  brindle-cli show Address.ndb 12
  brindle-cli show Address.ndb taro@example.jp --format json
  brindle-cli show Address.ndb id:12345
)",
     -1, runShow},

    {"repair", "FILE --level 1|2|3 [-o OUTPUT] [--no-trash]", "fix the cards that break the rules",
     R"(Fixes the bad cards of FILE as far as they can be fixed and prints the
result. Without -o nothing is written.

options:
  --level 3    broken cards only
  --level 2    broken and abnormal cards
  --level 1    every bad card
  -o OUTPUT    write the repaired book to OUTPUT (it may be FILE itself)
  --no-trash   replace an existing OUTPUT without moving its old content to
               the trash

example:
  brindle-cli repair Address.ndb --level 2 -o Address.ndb
)",
     -1, runRepair},

    {"dedupe", "FILE --report|--merge [-o OUTPUT] [--no-trash]", "list or merge cards that share an ID",
     R"(Finds the IDs held by more than one card. --report lists them; --merge
removes repeated IDs and merges the cards that share an ID, prints the report
and, with -o, writes the result.

options:
  --report     list the duplicate IDs; writes nothing
  --merge      merge the cards sharing an ID
  -o OUTPUT    with --merge: write the merged book to OUTPUT (it may be FILE)
  --no-trash   replace an existing OUTPUT without moving its old content to
               the trash

examples:
  brindle-cli dedupe Address.ndb --report
  brindle-cli dedupe Address.ndb --merge -o Merged.ndb
)",
     -1, runDedupe},

    {"slim",
     "FILE [--level 0|1|2] [--ids N] [--names N] [--profiles N] [--drop-none]\n"
     "        [--mail-log N] [--exchange N] [--remarks N] [--address] [--telephone]\n"
     "        [--fax] [--mobile] [--pager] [--memo] [--groups] [-o OUTPUT] [--no-trash]",
     "remove history or surplus data from every card",
     R"(Removes information from every card, by a preset level or by the options of
the slimming dialog's custom level (or both: the options then add to the
level), and prints how many cards and bytes it saved. Without -o nothing is
written.

preset levels:
  --level 0       old history: keep the newest 100 mail log lines, exchange
                  and remark records and 10 profile entries of each card
  --level 1       all history: every log line, record and profile entry
  --level 2       everything but the first ID and the first name, the group
                  list included

the dialog's options (N is a count from 0 to 999):
  --ids N         keep at most N IDs of each card (N at least 1)
  --names N       keep at most N names of each card (N at least 1)
  --profiles N    keep the newest N profile entries
  --drop-none     remove the profile entries whose value is NONE (history
                  that could not be fetched)
  --mail-log N    keep the newest N mail log lines
  --exchange N    keep the newest N exchange records
  --remarks N     keep the newest N remark records
  --address       remove the postal code and the address
  --telephone     remove the telephone number
  --fax           remove the FAX number
  --mobile        remove the mobile number
  --pager         remove the pager number
  --memo          remove the memo
  --groups        remove every card's groups and the group list

output:
  -o OUTPUT       write the slimmed book to OUTPUT (it may be FILE itself)
  --no-trash      replace an existing OUTPUT without moving its old content
                  to the trash

examples:
  brindle-cli slim Address.ndb --level 0 -o Slim.ndb
  brindle-cli slim Address.ndb --mail-log 50 --memo --drop-none -o Slim.ndb
)",
     -1, runSlim},

    {"idconv", "FILE [--exchange on|off] [--remark on|off] [--flags-only] [-o OUTPUT]\n"
               "        [--no-trash]",
     "turn service mail addresses into bare IDs; set auto-record flags",
     R"(Turns IDs written as mail addresses of the online service into the bare
service ID (duplicates that arise are listed), and optionally sets the
auto-record flags of every card. Prints the result; without -o nothing is
written.

options:
  --exchange on|off   set every card's auto-record flag of exchange records
  --remark on|off     set every card's auto-record flag of remark records
  --flags-only        set the flags only; the IDs stay as they are
  -o OUTPUT           write the changed book to OUTPUT (it may be FILE itself)
  --no-trash          replace an existing OUTPUT without moving its old
                      content to the trash

examples:
  brindle-cli idconv Address.ndb --exchange on -o Address.ndb
  brindle-cli idconv Address.ndb --remark off --flags-only -o Address.ndb
)",
     -1, runIdConv},

    {"compare", "OLD NEW", "report the cards changed between two books",
     R"(Compares the address book OLD with the later book NEW and prints the
comparison report: groups removed and added, cards deleted, modified and
added. Cards are matched by their IDs. Exits with 3 when cards differ, with 0
when none does.

example:
  brindle-cli compare Address.nd0 Address.ndb > changes.txt
)",
     2, runCompare},
};

const Command *findCommand(const QString &name)
{
    for (const Command &c : Commands)
        if (name == QLatin1String(c.name))
            return &c;
    return nullptr;
}

const char Usage[] = "usage: brindle-cli [--quiet|--verbose] COMMAND [ARGUMENTS]\n"
                     "       brindle-cli COMMAND --help\n"
                     "       brindle-cli --help | --version\n";

void printHelp()
{
    QByteArray text = Usage;
    text += "\nBrindle's address-book operations without a window, for the address\n"
            "book of the mail client Corvid (Address.ndb) and its interchange formats.\n"
            "\ncommands:\n";
    for (const Command &c : Commands)
        text += QByteArray("  ") + QByteArray(c.name).leftJustified(10) + ' ' + c.summary + '\n';
    text += QByteArray(
        R"(
File kinds follow the file name: .ndb and .nd0-.nd9 address book, .txt list
text (when read, also a Eudora nickname file, told by its first bytes),
.csv CSV, .vcf vCard.

A file name - means standard input for the input of convert, info, check,
list and show (--from KIND names its kind) and standard output for the
output of convert (--kind KIND names its kind); name a file called - as
./-.

options for every command (before or after the command name):
  --quiet      print no notices (repairs, warnings, what was not written);
               the messages that explain a failure are still printed
  --verbose    also print what was done: each file read and written

No command changes its input. The commands that change a book (repair,
dedupe --merge, slim, idconv) write only to the file named with -o, which
may be the input itself; a file is replaced only once its new content is
complete. Corvid's live address book is refused while Corvid runs. The
settings (Brindle.ini) are those of the window, read and never written.

Replacing a file (convert's OUTPUT, -o OUTPUT): only a regular file is
replaced, and only when it may be written; a folder, a device, a FIFO and a
file without write permission (for root too) are refused and left alone.
A symbolic link is written through: the file it points at gets the new
content, the link stays. The replaced file keeps its owner and group (where
allowed), mode, ACL and user attributes. When the window's option to keep
the old file in the trash is on (the default), the old content goes to the
trash once the new content is complete; --no-trash skips that.

While long work runs and stderr is a terminal, a progress line with the
percentage of the whole command is shown there; Ctrl+C stops the work
without leaving a file half written.

Results, reports and messages about files are Brindle's own, in Japanese,
UTF-8 on stdout and stderr; a message about a file reads
"brindle-cli: FILE: message".

exit status:
  0    success
  1    failure: a file could not be read or written, the results could
       not be written to stdout, or show found no such card (the reason is
       on stderr)
  2    check: some card is bad, or bytes follow the last card
  3    compare: the books differ
  4    written, but not everything was kept: cards left out at the card
       limit, characters written as "?", bytes after the last card dropped,
       input data that could not be read, or input characters not valid in
       the file's encoding (the details are on stderr)
  64   wrong command line
  130  interrupted by Ctrl+C (143: by SIGTERM); nothing was written

Run 'brindle-cli COMMAND --help' for a command's options and examples.
)");
    console::writeStdout(text);
}

void printCommandHelp(const Command &c)
{
    QString details = QString::fromUtf8(c.details);
    // The item names of --csv-items and --csv-map, wrapped.
    const auto wrapped = [](const QStringList &keys) {
        QString items;
        qsizetype column = 22;
        for (const QString &key : keys) {
            if (!items.isEmpty()) {
                items += u',';
                ++column;
            }
            if (column + key.size() > 78) {
                items += u'\n' + QString(22, u' ');
                column = 22;
            }
            items += key;
            column += key.size();
        }
        return items;
    };
    details.replace(QStringLiteral("%ITEMS%"), wrapped(csvItemKeys()));
    details.replace(QStringLiteral("%MAPITEMS%"), wrapped(csvMapItemKeys()));
    console::writeStdout("usage: brindle-cli " + QByteArray(c.name) + ' ' + c.arguments + "\n\n"
                         + details.toUtf8());
}

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("-h") || arg == QLatin1String("--help");
}

// Whether args ask for help before a "--" that ends the options.
bool asksForHelp(const QStringList &args)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--"))
            return false;
        if (isHelp(a))
            return true;
    }
    return false;
}

int runFixed(const Command &c, const QStringList &rest, Prompter &prompter)
{
    QStringList positional;
    QStringList options;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QString &a = rest[i];
        bool takesValue = false;
        for (const char *o : ConvertValueOptions)
            takesValue = takesValue || a == QLatin1String(o);
        if (!optionsEnded && a == QLatin1String("--"))
            optionsEnded = true;
        else if (!optionsEnded && takesValue && i + 1 < rest.size())
            options.append(a + u'=' + rest[++i]); // "--kind eudora" as "--kind=eudora"
        else if (!optionsEnded && a.startsWith(u'-') && a.size() > 1)
            options.append(a);
        else
            positional.append(a);
    }
    const QString name = QLatin1String(c.name);
    if (!options.isEmpty()) {
        if (!c.takesOptions)
            return usageError(name, QStringLiteral("unknown option ") + options.first());
        ConvertOptions parsed;
        const QString problem = parseConvertOptions(options, parsed);
        if (!problem.isEmpty())
            return usageError(name, problem);
    }
    // Standard input and output are for convert (and the commands that
    // read their own arguments); a file called "-" is "./-".
    if (c.run != runConvert && positional.contains(QStringLiteral("-")))
        return usageError(name, QStringLiteral("this command reads and writes files only; "
                                               "name a file called - as ./-"));
    if (positional.size() != c.argumentCount)
        return usageError(name, QStringLiteral("expected %1 (%2 file name%3)")
                                    .arg(QString::fromLatin1(c.arguments).section(u' ', 0, c.argumentCount - 1))
                                    .arg(c.argumentCount)
                                    .arg(c.argumentCount == 1 ? "" : "s"));
    return c.run(positional + options, prompter);
}

} // namespace

int usageError(const QString &command, const QString &problem)
{
    console::clearProgress();
    const QByteArray who = command.isEmpty() ? QByteArray("brindle-cli")
                                             : "brindle-cli " + command.toLocal8Bit();
    std::fprintf(stderr, "%s: %s\n", who.constData(), problem.toLocal8Bit().constData());
    std::fprintf(stderr, "Try '%s --help' for more information.\n", who.constData());
    return ExitUsage;
}

namespace {

// Runs the command line; returns the exit status.
int run(QStringList args)
{
    // --quiet and --verbose, anywhere before a "--" that ends the options.
    bool quiet = false;
    bool verbose = false;
    for (qsizetype i = 0; i < args.size();) {
        if (args[i] == QLatin1String("--"))
            break;
        if (args[i] == QLatin1String("--quiet") || args[i] == QLatin1String("--verbose")) {
            (args[i] == QLatin1String("--quiet") ? quiet : verbose) = true;
            args.removeAt(i);
        } else {
            ++i;
        }
    }
    if (quiet && verbose)
        return usageError(QString(), QStringLiteral("--quiet and --verbose exclude each other"));
    console::setVerbosity(quiet     ? console::Verbosity::Quiet
                          : verbose ? console::Verbosity::Verbose
                                    : console::Verbosity::Normal);
    if (args.isEmpty()) {
        std::fputs(Usage, stderr);
        std::fprintf(stderr, "Try 'brindle-cli --help' for more information.\n");
        return ExitUsage;
    }
    const QString &name = args.first();
    if (isHelp(name)) {
        printHelp();
        return ExitOk;
    }
    if (name == QLatin1String("--version")) {
        console::writeStdout("brindle-cli " BRINDLE_VERSION "\n");
        return ExitOk;
    }
    if (name == QLatin1String("help")) {
        if (args.size() == 1) {
            printHelp();
            return ExitOk;
        }
        if (args.size() > 2)
            return usageError(QString(), QStringLiteral("help takes one command name"));
        const Command *c = findCommand(args.at(1));
        if (!c)
            return usageError(QString(), QStringLiteral("unknown command ") + args.at(1));
        printCommandHelp(*c);
        return ExitOk;
    }

    const Command *c = findCommand(name);
    if (!c) {
        return usageError(QString(), (name.startsWith(u'-') ? QStringLiteral("unknown option ")
                                                            : QStringLiteral("unknown command "))
                                         + name);
    }
    const QStringList rest = args.mid(1);
    if (asksForHelp(rest)) {
        printCommandHelp(*c);
        return ExitOk;
    }

    console::installInterruptHandlers();
    CliPrompter prompter;
    int status = ExitFailure;
    try {
        status = c->argumentCount < 0 ? c->run(rest, prompter) : runFixed(*c, rest, prompter);
    } catch (const std::bad_alloc &) {
        // Reads report this themselves; this is for the rest of the work.
        prompter.notice(QStringLiteral("メモリが足りないため、処理を続けられませんでした"));
    } catch (const std::length_error &) {
        prompter.notice(QStringLiteral("メモリが足りないため、処理を続けられませんでした"));
    }
    console::workEnded();
    console::clearProgress();
    if (status == ExitFailure)
        prompter.showHeldMessages(); // --quiet: what explains the failure
    if (const int signal = console::interruptSignal(); signal != 0 && status == ExitFailure) {
        std::fprintf(stderr, "brindle-cli %s: interrupted; nothing was written\n", c->name);
        return 128 + signal;
    }
    // A command that did its work but had to leave something out says so in
    // its status, so that a script can tell a clean conversion from a lossy
    // one.
    if (status == ExitOk && prompter.lossReported())
        return ExitDataLoss;
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    // Reading a large book is mostly allocating its strings.
    constexpr qint64 LargeFile = 8 * 1024 * 1024;
    if (namesLargeFile(argc, argv, LargeFile))
        restartWithLargePages(argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brindle-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(BRINDLE_VERSION));
    const int status = run(QCoreApplication::arguments().mid(1));
    // Results that did not reach stdout make any result status a failure;
    // a wrong command line and an interrupt keep theirs.
    if (!console::finishStdout() && status < ExitUsage)
        return ExitFailure;
    return status;
}
