// Reads arbitrary bytes as CSV: record by record, then as a whole file with
// the automatic mapping. The cards read are written in one of the two
// layouts (the input's length chooses) and read again through the file's
// bytes; every card written must come back as exactly one card.

#include <QByteArrayView>

#include <cstdint>

#include "common/cp932.h"
#include "formats/csv.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = cp932::decode(QByteArrayView(data, qsizetype(size)));

    // The reader always moves forward and never past the end.
    QStringList cells;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype before = pos;
        const qsizetype count = csvRecordRead(cells, text, pos);
        FUZZ_CHECK(pos > before && pos <= text.size() && count == cells.size());
    }

    SilentPrompter prompter;
    const DateValue now = 45413.5; // 2024-05-01 12:00
    AddressBook first;
    if (parseCsvText(text, first, autoCsvMapper, prompter, now) != 0)
        return 0;

    CsvExportOptions options;
    options.splitColumns = options.addDomain = size % 2 == 1;
    const QString written = csvFileText(first, options, u"@example.jp");
    AddressBook second;
    FUZZ_CHECK(parseCsvText(cp932::decode(cp932::encode(written)), second, autoCsvMapper,
                            prompter, now)
               == 0);
    FUZZ_CHECK(second.cardCount() == first.cardCount());
    return 0;
}
