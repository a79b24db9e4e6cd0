#pragma once
// The commands of brindle-cli. Each takes its arguments (without the command
// name) and returns the exit status below. Failures have been reported on
// stderr through the prompter.

#include <QString>
#include <QStringList>

#include "formats/csv.h"
#include "formats/vcard.h"
#include "shell/filekind.h"

class Prompter;

// Exit statuses.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;     // a file could not be read or written
inline constexpr int ExitBadCards = 2;    // check found bad cards or trailing bytes
inline constexpr int ExitDifferences = 3; // compare found differences
inline constexpr int ExitDataLoss = 4;    // written, but not everything was kept
inline constexpr int ExitUsage = 64;      // a wrong command line (EX_USAGE)

// Reports a wrong command line on stderr ("brindle-cli COMMAND: problem" and
// where to find the command's help); returns ExitUsage.
int usageError(const QString &command, const QString &problem);

int runNew(const QStringList &args, Prompter &prompter);
// args: INPUT, OUTPUT, then the options (checked with parseConvertOptions).
int runConvert(const QStringList &args, Prompter &prompter);

// The options of convert:
//   --kind=KIND        write OUTPUT as KIND (ndb, list, csv, vcard, eudora)
//                      instead of the kind its name gives; a .txt OUTPUT is
//                      list text unless --kind=eudora
//   --eudora-mode=0|1  a nickname file lists the first ID only (0) or every
//                      ID (1, the export dialog's default)
//   --csv-items=LIST   the items an exported CSV file carries: a comma-
//                      separated list of item names (csvItemKeys) or numbers
//                      0-18; every item when not given
//   --csv-split        one column per value of a multi-valued item
//   --csv-add-domain   append the settings' mail domain to IDs without "@"
//   --vcard-version=2.1|3.0
//                      a vCard OUTPUT is vCard 2.1 in Shift-JIS (the
//                      default) or vCard 3.0 in UTF-8
//   --no-trash         an OUTPUT that is replaced does not go to the trash,
//                      whatever the window's option says
//   --encoding=NAME    a CSV INPUT is read as cp932, utf-8 or utf-16
//                      (textEncodingFromName) instead of the encoding its
//                      bytes suggest
//   --csv-map=LIST     HEADER=ITEM pairs, comma-separated, that override the
//                      automatic mapping of a CSV INPUT: every column whose
//                      header is HEADER (or the column number N, written
//                      #N) is read as ITEM (csvMapItemKeys, or a number
//                      0-24; none leaves the column unused)
//   --from=KIND        read INPUT as KIND (needed when INPUT is "-", standard
//                      input)
//   --verbose          print the mapping used for a CSV INPUT on stderr
// Without options a CSV file is written as the export dialog proposes.
// "--kind KIND", "--eudora-mode N", "--encoding NAME", "--csv-map LIST" and
// "--vcard-version V" and "--from KIND" are accepted as well (main.cpp joins
// them).
struct CsvMapOverride
{
    QString header; // the header text, or "#N" for column N (1-based)
    int item = CsvItemNone;
};
struct ConvertOptions
{
    int kind = FileKindUnknown; // by OUTPUT's name; needed for "-", standard output
    QString from;               // INPUT's kind by name; "" by INPUT's name
    int eudoraMode = 1;
    VcardVersion vcardVersion = VcardVersion::V21;
    CsvExportOptions csv;
    bool noTrash = false;
    TextEncoding encoding = TextEncoding::Auto;
    QList<CsvMapOverride> csvMap;
    bool verbose = false;
};
// The convert options that take their value as the next argument.
inline const char *const ConvertValueOptions[] = {"--kind", "--eudora-mode", "--encoding",
                                                  "--csv-map", "--vcard-version", "--from"};
// "" when every option is understood, otherwise what is wrong.
QString parseConvertOptions(const QStringList &options, ConvertOptions &out);
// The item names --csv-items accepts, index = item number.
QStringList csvItemKeys();
// The item names --csv-map accepts, index = item number (0-24): those of
// --csv-items, "none" (19), then familyname, givenname, birthyear,
// birthmonth and birthdayofmonth.
QStringList csvMapItemKeys();
// The commands that read a book and print what it holds take FILE ("-":
// standard input, with --from KIND) and their options in any order.
int runInfo(const QStringList &args, Prompter &prompter);
// ExitOk when every card is normal, ExitBadCards when some card is not or
// bytes follow the last card of the file,
// ExitFailure when the file cannot be read.
int runCheck(const QStringList &args, Prompter &prompter);

// Commands that change a book: FILE, their options and -o OUTPUT in any
// order. They print the result message (and report) and write OUTPUT only
// when it is given.
int runRepair(const QStringList &args, Prompter &prompter);
int runDedupe(const QStringList &args, Prompter &prompter);
int runSlim(const QStringList &args, Prompter &prompter);
// The options slim takes besides -o and --no-trash.
QStringList slimOptionNames();
int runIdConv(const QStringList &args, Prompter &prompter);

// list FILE [--search FIELD[=TEXT]] [--sort ORDER] [--reverse]
//      [--format text|tsv|json]: the address list of the window for that
// search and sort order, one row per line of the window.
int runList(const QStringList &args, Prompter &prompter);
// show FILE CARD [--format text|json]: every field of one card; CARD is a
// card number unless it holds a non-digit; "id:" makes the rest an ID.
// ExitFailure when no card matches.
int runShow(const QStringList &args, Prompter &prompter);
// The names list --search and --sort take, index = the window's search
// field and sort order.
QStringList searchFieldNames();
QStringList sortOrderNames();

// ExitDifferences when the books differ.
int runCompare(const QStringList &args, Prompter &prompter);
