#pragma once
// What the window opens from its command line. The command line as a whole
// names one file (a path with spaces needs no quotes); when the joined
// arguments name no file, the first argument that is an existing file of a
// known kind is opened, and the rest are named back to the user.

#include <QString>
#include <QStringList>

struct CommandLineFile
{
    QString path;        // what to open ("" when nothing was given)
    QStringList ignored; // arguments not used, as given
};

// arguments: the positional arguments, in order; unknownOptions: options the
// program does not know, with their dashes. These are always ignored.
CommandLineFile commandLineFile(const QStringList &arguments, const QStringList &unknownOptions);

// The kind of a file named on the command line: as fileKindOf, and a file
// whose name gives no known kind is an address book when it begins with
// the address book's signature bytes 35 12 (a book saved without its
// extension). FileKindUnknown otherwise.
int openableFileKindOf(const QString &path);
