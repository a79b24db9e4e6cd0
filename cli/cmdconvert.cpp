// brindle-cli convert INPUT OUTPUT: reads a book and writes it anew. OUTPUT
// is touched only when INPUT was read completely.
#include "bookfiles.h"
#include "commands.h"

int runConvert(const QStringList &args, Prompter &prompter)
{
    AddressBook book;
    if (readBookFile(args.at(0), book, prompter) != 0)
        return 1;
    return writeBookFile(args.at(1), book, prompter) == 0 ? 0 : 1;
}
