// brindle-cli check FILE: one line per bad card (number, severity mark, code,
// message) in book order, a line naming the bytes after the last card when
// the file has such, then a summary.
#include "bookfiles.h"
#include "commands.h"
#include "core/validation.h"
#include "tooloptions.h"

int runCheck(const QStringList &args, Prompter &prompter)
{
    int usage = ExitUsage;
    const QString input = readingCommandInput(QStringLiteral("check"), args, &usage);
    if (input.isEmpty())
        return usage;
    AddressBook &book = bookKeptUntilExit();
    if (readCheckedBook(input, book, prompter) != 0)
        return ExitFailure;
    QString out;
    int bySeverity[4] = {0, 0, 0, 0};
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        const Card &c = book.cards[i];
        if (c.status == StatusNormal)
            continue;
        const int severity = statusSeverity(c.status);
        ++bySeverity[severity];
        out += QStringLiteral("%1 %2 %3 %4\n")
                   .arg(c.number)
                   .arg(severityMark(severity))
                   .arg(c.status)
                   .arg(statusMessage(c.status));
    }
    if (book.trailingBytes > 0)
        out += QStringLiteral("%1 trailing bytes after the last card: not part of any card, "
                              "not kept when the book is written\n")
                   .arg(book.trailingBytes);
    const int bad = bySeverity[1] + bySeverity[2] + bySeverity[3];
    out += QStringLiteral("全カード %1 枚、不良カード %2 枚（破損 %3 枚、異常 %4 枚、不信 %5 枚）\n")
               .arg(book.cardCount() - 1)
               .arg(bad)
               .arg(bySeverity[3])
               .arg(bySeverity[2])
               .arg(bySeverity[1]);
    printText(out);
    return bad == 0 && book.trailingBytes == 0 ? ExitOk : ExitBadCards;
}
