// Parses arbitrary bytes as a settings file and as a Wine registry file.
// Settings: after one save the text is a fixed point (saving normalises
// undecodable bytes, cut lines and lists that stop at an empty entry once).
// Registry: lookups on whatever was indexed must not fail.
#include <QByteArrayView>

#include <cstdint>
#include <cstdlib>

#include "shell/settings.h"
#include "shell/winehost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    Settings first;
    parseSettings(bytes, first);
    const QByteArray once = serializeSettings(first);
    Settings second;
    if (!parseSettings(once, second))
        std::abort();
    if (serializeSettings(second) != once)
        std::abort();
    for (int v : second.errorLimits)
        if (v < 1)
            std::abort();

    const WineRegistryFile reg(bytes);
    QString value;
    reg.value(QStringLiteral("Corvid.Application\\Clsid"), QString(), value);
    reg.value(QStringLiteral("a"), QStringLiteral("b"), value);
    unescapeWineString(bytes);
    return 0;
}
