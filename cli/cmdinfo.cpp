// brindle-cli info FILE: the file information report of an address book,
// after the card-number repair and validation that loading does.
#include <QDateTime>

#include "bookfiles.h"
#include "commands.h"
#include "core/fileinfo.h"

int runInfo(const QStringList &args, Prompter &prompter)
{
    AddressBook book;
    if (readCheckedBook(args.at(0), book, prompter) != 0)
        return ExitFailure;
    printText(fileInfoReport(book, args.at(0), QDateTime::currentDateTime()));
    return ExitOk;
}
