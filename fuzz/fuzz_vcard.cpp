// Parses arbitrary bytes as vCard (any version, any encoding), writes the
// result and parses it again.
// What the writer produces from a parsed book must read back to the same
// number of cards, and from the second write on the text must not change.

#include <QByteArrayView>

#include <cstdint>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/vcard.h"
#include "fuzzsupport.h"

namespace {

// Fixed options, made once: the defaults would look up the machine's time
// zone for every input.
VcardReadOptions readOptions()
{
    VcardReadOptions in;
    in.utcOffsetSeconds = 0;
    in.now = oleFromDateTime(QDateTime(QDate(2024, 5, 1), QTime(10, 0, 0), Qt::UTC));
    return in;
}

VcardWriteOptions writeOptions()
{
    VcardWriteOptions out;
    out.utcOffsetSeconds = 0;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const VcardReadOptions base = readOptions();
    static const VcardWriteOptions out = writeOptions();
    VcardReadOptions in = base;
    in.lostMemoFlag = size % 2 == 0;
    // The program's own files are CP932 vCard 2.1 without CHARSET.
    VcardReadOptions own = in;
    own.encoding = VcardEncoding::Cp932;

    const QByteArrayView bytes(data, qsizetype(size));
    AddressBook first;
    ImportReport report;
    parseVcardBytes(bytes, first, in, &report);
    FUZZ_CHECK(report.cardsMade == first.cardCount() - 1);
    const QString written = vcardFileText(first, out);

    // The same input as text already decoded: a second way in, which must
    // not fail either. Taken for every third input only: it shares most of
    // its code with the first, and the run's time is better spent on more
    // inputs.
    if (size % 3 == 0) {
        AddressBook viaText;
        parseVcardText(cp932::decode(bytes), viaText, in);
    }

    // Through the file's bytes: text without a CP932 form becomes "?", so
    // names that differed only there may now be one. From then on the
    // text must stay the same.
    const QByteArray stored = cp932::encode(written);
    AddressBook second;
    parseVcardBytes(stored, second, own);
    FUZZ_CHECK(second.cardCount() == first.cardCount());
    const QString again = vcardFileText(second, out);
    // Parsing and writing are functions of the bytes: when the second write
    // gave back the text of the bytes it was read from, a third round would
    // read those same bytes and can only repeat the second.
    if (again == cp932::decode(stored))
        return 0;
    AddressBook third;
    parseVcardBytes(cp932::encode(again), third, own);
    FUZZ_CHECK(third.cardCount() == first.cardCount() && vcardFileText(third, out) == again);
    return 0;
}
