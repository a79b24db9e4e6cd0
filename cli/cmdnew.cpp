// brindle-cli new OUTPUT: writes a new, empty address book.
#include "bookfiles.h"
#include "commands.h"

int runNew(const QStringList &args, Prompter &prompter)
{
    return writeBookFile(args.at(0), AddressBook::newBook(), prompter) == 0 ? 0 : 1;
}
