#pragma once
// Reading and writing a whole address book by file name for the commands,
// through the program's read and write dispatch: the kind of a file comes
// from its name (and, for an existing text file, its first bytes), and
// Corvid's live address book is refused while Corvid runs, exactly as in the
// window. The settings are the window's (Brindle.ini), read once and never
// written.

#include <QString>

#include "core/model.h"

class Prompter;
struct FileFormats;

// What a command does with the book it reads. Bytes after the last card of
// an address book file (book.trailingBytes) are not part of the book: a
// command that writes the book loses them (told as a loss, so that it ends
// with ExitDataLoss), one that only reads it is warned.
enum class BookUse { ReadOnly, Written };

// "-" as a file name: standard input where a book is read, standard output
// where one is written. A file called "-" is named "./-".
bool isStdio(const QString &path);
// What messages call standard input and output.
QString stdinName();
QString stdoutName();
// The kind of the input named on the command line (--from): a "-" input
// cannot be read without it; a file is then read as this kind instead of
// the kind its name gives. FileKindUnknown (the default): by the name.
void setInputKind(int kind);
// The file kinds by their command-line names (ndb, list, csv, vcard,
// eudora); FileKindUnknown for any other name.
int kindNamed(const QString &name);
inline constexpr const char *KindNameList = "ndb, list, csv, vcard or eudora";

// 0 / -1; the failure has been reported through prompter. formats replaces
// the built-in readers and writers when given.
int readBookFile(const QString &path, AddressBook &book, Prompter &prompter,
                 const FileFormats *formats = nullptr, BookUse use = BookUse::ReadOnly);
// Something at path (links followed) that is not a regular file, or a
// read-only file (for the superuser too: no write permission bit), is
// refused with the window's messages and left alone; a folder with the
// writer's message. A file that is replaced has its old content moved to
// the trash once the new content is complete, when the window's trash
// option is on and noTrash is not given.
int writeBookFile(const QString &path, const AddressBook &book, Prompter &prompter,
                  const FileFormats *formats = nullptr, bool noTrash = false);
// Writes the book as the given kind, whatever the name of path; otherwise
// as writeBookFile. A "-" path writes the file's bytes to standard output.
int writeBookFileAs(const QString &path, int kind, const AddressBook &book, Prompter &prompter,
                    const FileFormats *formats = nullptr, bool noTrash = false);

// True, after telling the user, when path is Corvid's live address book and
// Corvid runs.
bool refuseLiveBook(const QString &path, Prompter &prompter);

// The kind a file is written as: by its extension alone, ".txt" and ".text"
// meaning list text. FileKindUnknown for any other extension.
int outputKindOf(const QString &path);

// Reads a book and prepares it as the main window does after loading an
// address book: repairs duplicate card numbers (reporting how many through
// prompter) and stores every card's validation status (the limits of the
// settings).
// 0 / -1.
int readCheckedBook(const QString &path, AddressBook &book, Prompter &prompter,
                    BookUse use = BookUse::ReadOnly);

// An empty book for a command to read into, kept until the process ends and
// never destroyed: freeing a full-size book string by string takes longer
// than the rest of a short command, and the end of the process gives its
// memory back at once. The reference stays valid until then. Files are
// closed and written as usual; only the memory is left to the process's end.
AddressBook &bookKeptUntilExit();

// The messages of these functions are about the file they read or write:
// the command line names it before each (Prompter::FileScope).

// Writes text to stdout in UTF-8 with LF line ends (reports use CR LF),
// through console::writeStdout.
void printText(const QString &text);
