#include "bookfiles.h"

#include "core/ndbfile.h"

int readBookFile(const QString &path, AddressBook &book, Prompter &prompter)
{
    return readNdbFile(path, book, prompter);
}

int writeBookFile(const QString &path, const AddressBook &book, Prompter &prompter)
{
    return writeNdbFile(path, book, prompter);
}
