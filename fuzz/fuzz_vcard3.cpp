// Parses arbitrary bytes as vCard, writes the cards as vCard 3.0 in UTF-8
// and parses that again.
// The written file must be valid UTF-8 with lines of at most 75 octets and
// read back to the same number of cards; from the second write on the bytes
// must not change.

#include <QByteArrayView>

#include <cstdint>

#include "common/oledate.h"
#include "common/utf8.h"
#include "formats/vcard.h"
#include "fuzzsupport.h"

namespace {

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
    out.niftyDomain = QStringLiteral("@nifty.example");
    return out;
}

bool linesFit(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", start);
        if (end < 0 || end - start > 75)
            return false;
        start = end + 2;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const VcardReadOptions in = readOptions();
    static const VcardWriteOptions out = writeOptions();

    AddressBook first;
    parseVcardBytes(QByteArrayView(data, qsizetype(size)), first, in);
    const QByteArray written = vcard3FileBytes(first, out);
    FUZZ_CHECK(utf8::isValid(written));
    FUZZ_CHECK(linesFit(written));

    AddressBook second;
    ImportReport report;
    parseVcardBytes(written, second, in, &report);
    FUZZ_CHECK(second.cardCount() == first.cardCount());
    FUZZ_CHECK(report.charactersReplaced == 0 && report.binaryValuesLeftOut.isEmpty());
    // Reading may tidy what no file of this kind can hold (blanks around
    // names, line breaks in an address); once tidied the text stays.
    const QByteArray again = vcard3FileBytes(second, out);
    if (again == written)
        return 0;
    AddressBook third;
    parseVcardBytes(again, third, in);
    FUZZ_CHECK(vcard3FileBytes(third, out) == again);
    return 0;
}
