// Telling a ".txt" file's kind from its first bytes: list text by its first
// six bytes (five compared, a sixth required), Eudora by the first six bytes
// of its first line that is not blank; letter case does not count, and the
// answer is list text, Eudora or unknown.
#include <QByteArray>

#include <algorithm>
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
    // Blank lines in front keep a nickname file one and make anything else
    // unknown (list text starts at the first byte).
    FUZZ_CHECK(textFileKindOf("\r\n \t\n\r" + bytes)
               == (kind == FileKindEudora ? FileKindEudora : FileKindUnknown));
    const char first = bytes[0];
    if (first == ' ' || first == '\t' || first == '\r' || first == '\n')
        return 0; // the head may begin with blank lines: the rest below is for plain heads
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
