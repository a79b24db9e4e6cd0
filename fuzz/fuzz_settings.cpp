// Parses arbitrary bytes as a settings file. After one save the text is a
// fixed point (saving normalises undecodable bytes, cut lines and lists that
// stop at an empty entry once), and every error limit is usable.
#include <QByteArray>

#include <cstdint>

#include "fuzzsupport.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    Settings first;
    parseSettings(bytes, first);
    const QByteArray once = serializeSettings(first);
    Settings second;
    FUZZ_CHECK(parseSettings(once, second));
    FUZZ_CHECK(serializeSettings(second) == once);
    for (int v : second.errorLimits)
        FUZZ_CHECK(v >= 1);
    return 0;
}
