// brindle-cli new OUTPUT: writes a new, empty address book. It never
// replaces an existing file: an empty book in place of a full one would lose
// every card.
#include <QFileInfo>

#include "bookfiles.h"
#include "commands.h"
#include "output.h"

int runNew(const QStringList &args, Prompter &prompter)
{
    const QString &output = args.at(0);
    if (QFileInfo(output).exists() || QFileInfo(output).isSymLink()) {
        console::printMessage(output, QStringLiteral("既に存在します。上書きしません。"));
        return ExitFailure;
    }
    return writeBookFile(output, AddressBook::newBook(), prompter) == 0 ? ExitOk : ExitFailure;
}
