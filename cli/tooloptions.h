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
