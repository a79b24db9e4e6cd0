// Telling a ".txt" file's kind from its first bytes: only the first six
// bytes count (five compared, a sixth required), letter case does not, and
// the answer is list text, Eudora or unknown.
#include <QByteArray>

#include <cstdint>

#include "fuzzsupport.h"
#include "shell/filekind.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const int kind = textFileKindOf(bytes);
    FUZZ_CHECK(kind == FileKindUnknown || kind == FileKindListText || kind == FileKindEudora);
    if (size < 6) {
        FUZZ_CHECK(kind == FileKindUnknown);
        return 0;
    }
    FUZZ_CHECK(textFileKindOf(bytes.first(6)) == kind);
    FUZZ_CHECK(textFileKindOf(bytes.first(6) + "more text\r\n") == kind);
    FUZZ_CHECK(textFileKindOf(bytes.first(5)) == FileKindUnknown);
    QByteArray upper = bytes.first(6);
    for (char &c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    // A lead byte of a double-byte character may pair with a letter: only
    // plain ASCII heads are compared for case.
    if (std::all_of(upper.begin(), upper.end(), [](char c) { return uchar(c) < 0x80; }))
        FUZZ_CHECK(textFileKindOf(upper) == kind);
    return 0;
}
