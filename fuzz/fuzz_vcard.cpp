// Parses arbitrary bytes as vCard, writes the result and parses it again.
// What the writer produces from a parsed book must read back to the same
// number of cards, and from the second write on the text must not change.

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/vcard.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = cp932::decode(QByteArrayView(data, qsizetype(size)));
    VcardReadOptions in;
    in.utcOffsetSeconds = 0;
    in.now = oleFromDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0), Qt::UTC));
    in.lostMemoFlag = size % 2 == 0;
    VcardWriteOptions out;
    out.utcOffsetSeconds = 0;

    AddressBook first;
    parseVcardText(text, first, in);
    const QString written = vcardFileText(first, out);

    // Through the file's bytes: text without a CP932 form becomes "?", so
    // names that differed only there may now be one. From then on the
    // text must stay the same.
    const QString stored = cp932::decode(cp932::encode(written));
    AddressBook second;
    parseVcardText(stored, second, in);
    if (second.cardCount() != first.cardCount())
        std::abort();
    const QString again = vcardFileText(second, out);
    AddressBook third;
    parseVcardText(again, third, in);
    if (third.cardCount() != first.cardCount() || vcardFileText(third, out) != again)
        std::abort();
    return 0;
}
