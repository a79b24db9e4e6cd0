// brindle-cli new OUTPUT: writes a new, empty address book. It never
// replaces an existing file: an empty book in place of a full one would lose
// every card.
#include <QFileInfo>
#include <cstdio>

#include "bookfiles.h"
#include "commands.h"

int runNew(const QStringList &args, Prompter &prompter)
{
    const QString &output = args.at(0);
    if (QFileInfo(output).exists() || QFileInfo(output).isSymLink()) {
        std::fprintf(stderr, "brindle-cli new: %s already exists; it is left alone\n",
                     output.toLocal8Bit().constData());
        return ExitFailure;
    }
    return writeBookFile(output, AddressBook::newBook(), prompter) == 0 ? ExitOk : ExitFailure;
}
