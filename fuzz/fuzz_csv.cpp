// Reads arbitrary bytes as CSV, decoded as their bytes suggest (CP932,
// UTF-8, UTF-16): record by record, then as a whole file with the automatic
// mapping. The cards read are written in one of the two
// layouts (the input's length chooses) and read again through the file's
// bytes; every card written must come back as exactly one card.

#include <QByteArrayView>

#include <cstdint>

#include "common/cp932.h"
#include "common/textencoding.h"
#include "formats/csv.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qsizetype replaced = 0;
    const QString text = decodeText(QByteArrayView(data, qsizetype(size)), TextEncoding::Auto,
                                    &replaced);
    FUZZ_CHECK(replaced >= 0 && replaced <= text.size());

    // The reader always moves forward and never past the end.
    QStringList cells;
    qsizetype pos = 0;
    const CsvLineEnds ends = csvLineEndsOf(text);
    while (pos < text.size()) {
        const qsizetype before = pos;
        const qsizetype count = csvRecordRead(cells, text, pos, ends);
        FUZZ_CHECK(pos > before && pos <= text.size() && count == cells.size());
    }

    const DateValue now = 45413.5; // 2024-05-01 12:00
    AddressBook first;
    if (parseCsvText(text, first, autoCsvMapper, now) != 0)
        return 0;

    CsvExportOptions options;
    options.splitColumns = options.addDomain = size % 2 == 1;
    const QString written = csvFileText(first, options, u"@example.jp");
    AddressBook second;
    FUZZ_CHECK(parseCsvText(cp932::decode(cp932::encode(written)), second, autoCsvMapper, now)
               == 0);
    FUZZ_CHECK(second.cardCount() == first.cardCount());
    return 0;
}
