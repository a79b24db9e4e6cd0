// Parses arbitrary bytes as list text, writes the result and parses it again.
// The format is lossy (values are not escaped), but what the writer produces
// from a parsed book must read back to the same number of cards, and writing
// that second book must give the same text again.

#include <QByteArrayView>
#include <QDateTime>

#include <cstdint>

#include "common/cp932.h"
#include "formats/listtext.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QDateTime now(QDate(2024, 5, 1), QTime(10, 0, 0));
    const QString text = cp932::decode(QByteArrayView(data, qsizetype(size)));

    AddressBook first;
    parseListText(text, first);
    const QString written = listFileText(first, now);

    AddressBook second;
    parseListText(written, second);
    FUZZ_CHECK(second.cardCount() == first.cardCount() && second.groupList() == first.groupList());
    FUZZ_CHECK(listFileText(second, now) == written);

    // The same through the file's bytes (when they change the text).
    const QString stored = cp932::decode(cp932::encode(written));
    if (stored == written)
        return 0;
    AddressBook third;
    parseListText(stored, third);
    FUZZ_CHECK(third.cardCount() == first.cardCount());
    return 0;
}
