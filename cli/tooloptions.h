#pragma once
// Arguments of the commands that change a book: the input file, "-o OUTPUT"
// and named options, in any order after the command name.

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

struct ToolArguments
{
    QString input;
    QString output;           // empty: print what would be done, write nothing
    QHash<QString, QString> values; // options that take a value
    QSet<QString> switches;   // options without a value
    bool noTrash = false;     // --no-trash: a replaced output skips the trash
};

// The arguments of any command: file names and other words in their order,
// options that take a value ("--sort name", "--sort=name"), switches.
// Options end at "--"; "-" alone is a file name (standard input or output).
struct CommandArguments
{
    QStringList positional;
    QHash<QString, QString> values;
    QSet<QString> switches;
};
// Parses args against the options a command knows. Returns "" or what is
// wrong with the line (an unknown option, a value missing or given twice).
QString parseCommandArguments(const QStringList &args, const QStringList &withValue,
                              const QStringList &withoutValue, CommandArguments &out);

// Takes --from KIND for the input: sets the input kind (setInputKind).
// Returns "" or what is wrong: an unknown kind, a "-" input without --from.
QString takeInputKind(const CommandArguments &args, const QString &input);
// The same for a --from value ("" when not given).
QString inputKindProblem(const QString &from, const QString &input);

// For the commands that read one FILE and take only --from: its name, or
// "" after reporting a wrong command line (status in *usage).
QString readingCommandInput(const QString &command, const QStringList &args, int *usage);

// Parses args. withValue and withoutValue name the options the command
// knows ("--level", "--merge"); "--no-trash" is known to every command.
// Returns "" or what is wrong with the line.
QString parseToolArguments(const QStringList &args, const QStringList &withValue,
                           const QStringList &withoutValue, ToolArguments &out);

// Whether the command writes the book it reads: when -o is given.
enum class BookUse;
BookUse writtenTo(const ToolArguments &args);

// Writes the changed book to the output (see writeBookFile), or, when there
// is none, says on stderr that nothing was written. Nothing is written once the work was
// interrupted. Returns the exit status (ExitOk / ExitFailure).
class Prompter;
struct AddressBook;
int finishToolCommand(const QString &command, const ToolArguments &args,
                      const AddressBook &book, Prompter &prompter);
