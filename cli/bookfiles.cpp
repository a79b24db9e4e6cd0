#include "bookfiles.h"

#include <cstdio>

#include "common/prompter.h"
#include "core/ndbfile.h"
#include "core/validation.h"

int readBookFile(const QString &path, AddressBook &book, Prompter &prompter)
{
    return readNdbFile(path, book, prompter);
}

int writeBookFile(const QString &path, const AddressBook &book, Prompter &prompter)
{
    return writeNdbFile(path, book, prompter);
}

int readCheckedBook(const QString &path, AddressBook &book, Prompter &prompter)
{
    if (readBookFile(path, book, prompter) != 0)
        return -1;
    const int repaired = repairCardNumbers(book);
    if (repaired > 0)
        prompter.notice(cardNumberRepairMessage(repaired));
    validateAll(book, CardLimits{});
    return 0;
}

void printText(const QString &text)
{
    QString unix = text;
    unix.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = unix.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}
