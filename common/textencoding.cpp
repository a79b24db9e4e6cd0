#include "common/textencoding.h"

#include <algorithm>

#include "common/cp932.h"
#include "common/utf8.h"

namespace {

constexpr char16_t Replacement = u'\uFFFD';

bool startsWithUtf8Bom(QByteArrayView bytes)
{
    return utf8::startsWithBom(bytes);
}

// 1 for FF FE (little endian), 2 for FE FF (big endian), 0 for neither.
int utf16Bom(QByteArrayView bytes)
{
    if (bytes.size() < 2)
        return 0;
    const auto b0 = quint8(bytes[0]), b1 = quint8(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE)
        return 1;
    if (b0 == 0xFE && b1 == 0xFF)
        return 2;
    return 0;
}

QString decodeUtf8(QByteArrayView bytes, qsizetype *replaced)
{
    if (startsWithUtf8Bom(bytes))
        bytes = bytes.sliced(3);
    return utf8::decode(bytes, replaced);
}

QString decodeUtf16(QByteArrayView bytes, qsizetype *replaced)
{
    bool bigEndian = false;
    if (const int bom = utf16Bom(bytes)) {
        bigEndian = bom == 2;
        bytes = bytes.sliced(2);
    } else {
        // Without a mark: text in the Latin range has its zero bytes second
        // (little endian) or first (big endian).
        qsizetype evenZeros = 0, oddZeros = 0;
        const qsizetype look = qMin<qsizetype>(bytes.size(), 4096);
        for (qsizetype i = 0; i < look; ++i)
            if (bytes[i] == 0)
                ++(i % 2 ? oddZeros : evenZeros);
        bigEndian = evenZeros > oddZeros;
    }
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype units = bytes.size() / 2;
    QString out(units + (bytes.size() % 2), Qt::Uninitialized);
    auto *o = reinterpret_cast<char16_t *>(out.data());
    qsizetype lost = 0;
    auto unit = [&](qsizetype k) -> char16_t {
        const quint8 a = p[2 * k], b = p[2 * k + 1];
        return bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
    };
    for (qsizetype k = 0; k < units; ++k) {
        const char16_t u = unit(k);
        if (QChar::isHighSurrogate(u) && k + 1 < units && QChar::isLowSurrogate(unit(k + 1))) {
            o[k] = u;
            o[k + 1] = unit(k + 1);
            ++k;
        } else if (QChar::isSurrogate(u)) {
            o[k] = Replacement; // half a character
            ++lost;
        } else {
            o[k] = u;
        }
    }
    if (bytes.size() % 2) {
        o[units] = Replacement; // an odd last byte
        ++lost;
    }
    if (replaced)
        *replaced += lost;
    return out;
}

} // namespace

bool isValidUtf8(QByteArrayView bytes, bool *nonAscii)
{
    if (nonAscii)
        *nonAscii = std::any_of(bytes.begin(), bytes.end(), [](char c) { return quint8(c) >= 0x80; });
    return utf8::isValid(bytes);
}

TextEncoding detectTextEncoding(QByteArrayView bytes)
{
    if (startsWithUtf8Bom(bytes))
        return TextEncoding::Utf8;
    if (utf16Bom(bytes))
        return TextEncoding::Utf16;
    return utf8::looksLikeUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding, qsizetype *replaced,
                   TextEncoding *used)
{
    if (encoding == TextEncoding::Auto)
        encoding = detectTextEncoding(bytes);
    if (used)
        *used = encoding;
    switch (encoding) {
    case TextEncoding::Utf8:
        return decodeUtf8(bytes, replaced);
    case TextEncoding::Utf16:
        return decodeUtf16(bytes, replaced);
    case TextEncoding::Auto:
    case TextEncoding::Cp932:
        break;
    }
    return cp932::decode(bytes, replaced);
}

QString textEncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Cp932:
        return QStringLiteral("Shift_JIS (CP932)");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16:
        return QStringLiteral("UTF-16");
    case TextEncoding::Auto:
        break;
    }
    return QString();
}

bool textEncodingFromName(QStringView name, TextEncoding &encoding)
{
    static const struct {
        const char16_t *name;
        TextEncoding encoding;
    } names[] = {
        {u"cp932", TextEncoding::Cp932}, {u"shift_jis", TextEncoding::Cp932},
        {u"shift-jis", TextEncoding::Cp932}, {u"sjis", TextEncoding::Cp932},
        {u"utf-8", TextEncoding::Utf8},  {u"utf8", TextEncoding::Utf8},
        {u"utf-16", TextEncoding::Utf16}, {u"utf16", TextEncoding::Utf16},
    };
    for (const auto &n : names) {
        if (name.compare(QStringView(n.name), Qt::CaseInsensitive) == 0) {
            encoding = n.encoding;
            return true;
        }
    }
    return false;
}
