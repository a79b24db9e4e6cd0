// Reads arbitrary bytes as CSV: record by record, then as a whole file with
// the automatic mapping. The cards read are written in both layouts and read
// again; every card written must come back as exactly one card.

#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

#include "common/cp932.h"
#include "common/prompter.h"
#include "formats/csv.h"

namespace {

class SilentPrompter : public Prompter
{
public:
    Button ask(const Message &m) override { return m.defaultButton ? m.defaultButton : Ok; }
    bool input(const QString &, const QString &, QString &) override { return false; }
    FileAnswer openFile(const FileRequest &) override { return {}; }
    FileAnswer saveFile(const FileRequest &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = cp932::decode(QByteArrayView(data, qsizetype(size)));

    // The reader always moves forward and never past the end.
    QStringList cells;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype before = pos;
        const qsizetype count = csvRecordRead(cells, text, pos);
        if (pos <= before || pos > text.size() || count != cells.size())
            std::abort();
    }

    SilentPrompter prompter;
    const DateValue now = 45413.5; // 2024-05-01 12:00
    AddressBook first;
    if (parseCsvText(text, first, autoCsvMapper, prompter, now) != 0)
        return 0;

    for (bool split : {false, true}) {
        CsvExportOptions options;
        options.splitColumns = split;
        options.addDomain = split;
        const QString written = csvFileText(first, options, u"@example.jp");
        AddressBook second;
        if (parseCsvText(written, second, autoCsvMapper, prompter, now) != 0)
            std::abort();
        if (second.cardCount() != first.cardCount())
            std::abort();
        // The same through the file's bytes.
        AddressBook third;
        parseCsvText(cp932::decode(cp932::encode(written)), third, autoCsvMapper, prompter, now);
        if (third.cardCount() != first.cardCount())
            std::abort();
    }
    return 0;
}
