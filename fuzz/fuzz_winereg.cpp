// Wine's registry files. Arbitrary bytes are indexed and looked up under keys
// and value names taken from the input; then a key and a string value the
// fuzzer chooses are written as Wine writes them (escaped), after arbitrary
// lines, and must read back exactly.
#include <QByteArray>

#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzzsupport.h"
#include "shell/winehost.h"

namespace {

// A string as Wine's registry files quote it: backslash and double quote
// escaped, everything outside printable ASCII as \xHHHH.
QByteArray escaped(const QString &s)
{
    QByteArray out;
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'"') {
            out += '\\';
            out += char(u);
        } else if (u >= 0x20 && u < 0x7f) {
            out += char(u);
        } else {
            out += "\\x" + QByteArray::number(u, 16).rightJustified(4, '0');
        }
    }
    return out;
}

// A key path below the classes root from the input's bytes: ASCII letters,
// digits and a few signs, components separated by single backslashes.
QString keyFrom(const std::string &raw)
{
    static const char Alphabet[] = "abcXYZ0129.{}-_ ";
    QString key;
    for (const char ch : raw) {
        const auto b = static_cast<unsigned char>(ch);
        if (b % 8 == 0 && !key.isEmpty() && !key.endsWith(u'\\'))
            key += u'\\';
        else
            key += QChar::fromLatin1(Alphabet[b % (sizeof Alphabet - 1)]);
    }
    while (key.endsWith(u'\\'))
        key.chop(1);
    return key.isEmpty() ? QStringLiteral("k") : key;
}

QString utf16From(FuzzedDataProvider &in, size_t maxUnits)
{
    QString s;
    const size_t n = in.ConsumeIntegralInRange<size_t>(0, maxUnits);
    for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i)
        s += QChar(in.ConsumeIntegral<char16_t>());
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QString key = keyFrom(in.ConsumeRandomLengthString(40));
    const QString name = in.ConsumeBool() ? QString() : utf16From(in, 16);
    const QString value = utf16From(in, 64);
    const std::string noise = in.ConsumeRemainingBytesAsString();
    const QByteArray lines(noise.data(), qsizetype(noise.size()));

    // Arbitrary text: lookups never fail, escapes never grow a string.
    const WineRegistryFile raw(lines);
    QString found;
    raw.value(key, name, found);
    raw.value(QStringLiteral("Corvid.Application\\Clsid"), QString(), found);
    FUZZ_CHECK(unescapeWineString(lines).size() <= QString::fromUtf8(lines).size());

    // The chosen value under the chosen key, after the arbitrary lines.
    QByteArray text =
        lines + "\n[Software\\\\Classes\\\\" + escaped(key) + "] 1700000000\n#time=1d9\n";
    text += name.isEmpty() ? QByteArray("@") : '"' + escaped(name) + '"';
    text += "=\"" + escaped(value) + "\"\n";
    const WineRegistryFile reg(text);
    QString back;
    FUZZ_CHECK(reg.value(key, name, back) && back == value);
    FUZZ_CHECK(reg.value(key.toUpper(), name, back) && back == value);
    return 0;
}
