// brindle-cli info FILE: the file information report of an address book,
// after the card-number repair and validation that loading does.
#include <QDateTime>

#include "bookfiles.h"
#include "commands.h"
#include "core/fileinfo.h"
#include "tooloptions.h"

int runInfo(const QStringList &args, Prompter &prompter)
{
    int usage = ExitUsage;
    const QString input = readingCommandInput(QStringLiteral("info"), args, &usage);
    if (input.isEmpty())
        return usage;
    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(input, book, prompter) != 0)
        return ExitFailure;
    printText(fileInfoReport(book, isStdio(input) ? stdinName() : input,
                             QDateTime::currentDateTime()));
    return ExitOk;
}
