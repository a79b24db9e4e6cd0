// Fuzzes the address book reader and what every read is followed by. Whatever
// the reader accepts must survive a write and a second read, and the second
// image must equal the first: the reader normalises once, after that the
// format is a fixed point. Then, as after every load: the card numbers are
// repaired (afterwards distinct, the counter within its 16 bits, a second
// repair finds nothing), every card is validated, and the file information
// report is made from the figures.
#include <QSet>
#include <cstdint>

#include "core/cardops.h"
#include "core/fileinfo.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SilentPrompter prompter;
    AddressBook book;
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (parseNdbImage(input, book, prompter) != 0)
        return 0;

    const std::optional<QByteArray> first = buildNdbImage(book);
    FUZZ_CHECK(first && first->size() == ndbFileSize(book));
    AddressBook again;
    FUZZ_CHECK(parseNdbImage(*first, again, prompter) == 0);
    const std::optional<QByteArray> second = buildNdbImage(again);
    FUZZ_CHECK(second && *second == *first);

    const int repaired = repairCardNumbers(book);
    FUZZ_CHECK(repaired >= 0 && book.cardCount() == again.cardCount());
    FUZZ_CHECK(book.cardCounter >= 1 && book.cardCounter <= MaxCardCounter);
    QSet<qint32> numbers;
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        numbers.insert(book.cards[i].number);
    FUZZ_CHECK(numbers.size() == book.cardCount() - 1);
    FUZZ_CHECK(repairCardNumbers(book) == 0);
    if (repaired > 0)
        FUZZ_CHECK(!cardNumberRepairMessage(repaired).isEmpty());

    const DateValue now = 45413.5; // 2024-05-01 12:00
    const int bad = validateAll(book, CardLimits{}, now);
    const FileInfoFigures f = fileInfoFigures(book);
    FUZZ_CHECK(f.cardCount == book.cardCount() - 1 && f.size == ndbFileSize(book));
    FUZZ_CHECK(f.broken + f.abnormal + f.suspicious <= bad && bad <= f.cardCount);
    const QString report = fileInfoReport(book, QStringLiteral("/x/Address.ndb"),
                                          QDateTime(QDate(2024, 5, 1), QTime(12, 0)));
    FUZZ_CHECK(report.endsWith(QStringLiteral("\r\n")));
    return 0;
}
