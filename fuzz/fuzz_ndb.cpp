// Fuzzes the address book reader. Whatever it accepts must survive a write
// and a second read, and the second image must equal the first: the reader
// normalises once, after that the format is a fixed point.
#include <cstdlib>

#include "core/ndbfile.h"

namespace {

class SilentPrompter : public Prompter
{
public:
    Button ask(const Message &) override { return Ok; }
    bool input(const QString &, const QString &, QString &) override { return false; }
    FileAnswer openFile(const FileRequest &) override { return {}; }
    FileAnswer saveFile(const FileRequest &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SilentPrompter prompter;
    AddressBook book;
    const QByteArrayView input(reinterpret_cast<const char *>(data), qsizetype(size));
    if (parseNdbImage(input, book, prompter) != 0)
        return 0;

    const std::optional<QByteArray> first = buildNdbImage(book);
    if (!first || first->size() != ndbFileSize(book))
        std::abort();
    AddressBook again;
    if (parseNdbImage(*first, again, prompter) != 0)
        std::abort();
    const std::optional<QByteArray> second = buildNdbImage(again);
    if (!second || *second != *first)
        std::abort();
    return 0;
}
