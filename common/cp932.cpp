#include "common/cp932.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <memory>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

// The conversion tables are generated once from glibc's "CP932" converter,
// which matches Microsoft's table byte for byte (including which of the
// duplicate NEC/IBM codes a character encodes to). Table lookups are several
// times faster than calling iconv per string, and the reader converts
// hundreds of thousands of short strings.

namespace cp932 {
namespace {

constexpr char16_t Replacement = u'\uFFFD';

struct SingleByte
{
    quint8 byte;
    char16_t u;
};
constexpr SingleByte WindowsSingleBytes[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

struct Tables
{
    // Two-byte codes: index (lead << 8 | trail); 0 = not a character.
    std::unique_ptr<char16_t[]> decode2{new char16_t[0x10000]()};
    // Single bytes (lead bytes hold Replacement; the decoder checks them first).
    std::array<char16_t, 256> decode1{};
    // BMP code unit -> bytes (one byte: 0x00nn, two bytes: lead << 8 | trail).
    // 0xFFFF = no CP932 form. U+0000 encodes to 0x00.
    std::unique_ptr<quint16[]> encode{new quint16[0x10000]};

    Tables()
    {
        iconv_t toU = iconv_open("UTF-16LE", "CP932");
        iconv_t fromU = iconv_open("CP932", "UTF-16LE");
        if (toU == iconv_t(-1) || fromU == iconv_t(-1))
            qFatal("The C library has no CP932 converter (glibc's gconv modules are missing)");

        auto decodeBytes = [&](const char *in, size_t len) -> char16_t {
            char out[8];
            char *inp = const_cast<char *>(in);
            char *outp = out;
            size_t inLeft = len, outLeft = sizeof out;
            iconv(toU, nullptr, nullptr, nullptr, nullptr);
            if (iconv(toU, &inp, &inLeft, &outp, &outLeft) == size_t(-1) || inLeft != 0
                || outp - out != 2)
                return 0;
            return char16_t(quint8(out[0]) | (quint8(out[1]) << 8));
        };

        for (int b = 0; b < 256; ++b) {
            const char c = char(b);
            const char16_t u = isLeadByte(quint8(b)) ? 0 : decodeBytes(&c, 1);
            decode1[b] = (u || b == 0) ? u : Replacement;
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(quint8(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char in[2] = {char(lead), char(trail)};
                decode2[lead << 8 | trail] = decodeBytes(in, 2);
            }
        }

        for (int u = 0; u < 0x10000; ++u) {
            encode[u] = 0xFFFF;
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const char in[2] = {char(u & 0xFF), char(u >> 8)};
            char out[8];
            char *inp = const_cast<char *>(in);
            char *outp = out;
            size_t inLeft = 2, outLeft = sizeof out;
            iconv(fromU, nullptr, nullptr, nullptr, nullptr);
            if (iconv(fromU, &inp, &inLeft, &outp, &outLeft) == size_t(-1))
                continue;
            const auto n = outp - out;
            if (n == 1)
                encode[u] = quint8(out[0]);
            else if (n == 2)
                encode[u] = quint16(quint8(out[0]) << 8 | quint8(out[1]));
        }
        iconv_close(toU);
        iconv_close(fromU);

        // Single bytes that iconv rejects but Windows reads as characters of
        // their own and writes back: a file holding them survives being read
        // and written byte for byte.
        for (const auto &[byte, u] : WindowsSingleBytes) {
            decode1[byte] = u;
            encode[u] = byte;
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

// Units of the character that starts at i (2 for a surrogate pair).
qsizetype characterUnits(QStringView s, qsizetype i)
{
    return (i + 1 < s.size() && s[i].isHighSurrogate() && s[i + 1].isLowSurrogate()) ? 2 : 1;
}

} // namespace

namespace {

// Decodes bytes into o, which has room for bytes.size() units; returns the
// number of units written and adds the replacements to lost.
qsizetype decodeInto(QByteArrayView bytes, char16_t *o, qsizetype &lost)
{
    const Tables &t = tables();
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype len = 0;
    for (qsizetype i = 0; i < n;) {
        const quint8 b = p[i];
        if (b < 0x80) {
            // Mail addresses and most other texts are ASCII: take sixteen or
            // eight bytes at a time while none has its high bit set.
#ifdef __SSE2__
            if (i + 16 <= n) {
                const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
                if (_mm_movemask_epi8(bytes16) == 0) {
                    const __m128i zero = _mm_setzero_si128();
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(o + len),
                                     _mm_unpacklo_epi8(bytes16, zero));
                    _mm_storeu_si128(reinterpret_cast<__m128i *>(o + len + 8),
                                     _mm_unpackhi_epi8(bytes16, zero));
                    len += 16;
                    i += 16;
                    continue;
                }
            }
#endif
            quint64 word;
            if (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ull) == 0)) {
                for (int k = 0; k < 8; ++k)
                    o[len + k] = p[i + k];
                len += 8;
                i += 8;
                continue;
            }
            o[len++] = b;
            ++i;
        } else if (!isLeadByte(b)) {
            const char16_t u = t.decode1[b];
            lost += u == Replacement;
            o[len++] = u;
            ++i;
        } else if (i + 1 < n && p[i + 1] >= 0x40 && p[i + 1] <= 0xFC && p[i + 1] != 0x7F) {
            // A well-formed pair: one character, or one replacement when the
            // code is unassigned.
            const char16_t u = t.decode2[b << 8 | p[i + 1]];
            lost += !u;
            o[len++] = u ? u : Replacement;
            i += 2;
        } else {
            // A lead byte without a valid trail byte: replace the lead byte
            // alone and read the next byte afresh.
            ++lost;
            o[len++] = Replacement;
            ++i;
        }
    }
    return len;
}

} // namespace

QString decode(QByteArrayView bytes, qsizetype *replaced)
{
    // Allocated at its size: a book holds millions of short texts, and a
    // two-byte character is one unit, so a short text is decoded on the
    // stack first and then copied into a string of exactly its length.
    constexpr qsizetype ShortText = 512;
    qsizetype lost = 0;
    QString out;
    if (bytes.size() <= ShortText) {
        char16_t units[ShortText];
        const qsizetype len = decodeInto(bytes, units, lost);
        out = QString(reinterpret_cast<const QChar *>(units), len);
    } else {
        out.resize(bytes.size());
        out.truncate(decodeInto(bytes, reinterpret_cast<char16_t *>(out.data()), lost));
    }
    if (replaced)
        *replaced += lost;
    return out;
}

void decodeAppend(QByteArrayView bytes, QString &out, qsizetype *replaced)
{
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    qsizetype lost = 0;
    const qsizetype len =
        decodeInto(bytes, reinterpret_cast<char16_t *>(out.data()) + start, lost);
    out.truncate(start + len);
    if (replaced)
        *replaced += lost;
}

char16_t *decodeTo(QByteArrayView bytes, char16_t *out, qsizetype *replaced)
{
    qsizetype lost = 0;
    out += decodeInto(bytes, out, lost);
    if (replaced)
        *replaced += lost;
    return out;
}

char *encodeTo(QStringView text, char *o, qsizetype *replaced)
{
    const Tables &t = tables();
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype lost = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i];
        if (u < 0x80) {
            *o++ = char(u);
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            ++i; // a character outside the BMP: one "?"
        const quint16 code = t.encode[u];
        if (code == 0xFFFF) {
            *o++ = '?';
            ++lost;
        } else if (code > 0xFF) {
            *o++ = char(code >> 8);
            *o++ = char(code & 0xFF);
        } else {
            *o++ = char(code);
        }
    }
    if (replaced)
        *replaced += lost;
    return o;
}

void encodeAppend(QStringView text, QByteArray &out, qsizetype *replaced)
{
    const qsizetype start = out.size();
    out.resize(start + text.size() * 2);
    char *const end = encodeTo(text, out.data() + start, replaced);
    out.truncate(end - out.constData());
}

QByteArray encode(QStringView text, qsizetype *replaced)
{
    QByteArray out;
    encodeAppend(text, out, replaced);
    return out;
}

qsizetype encodedLength(QStringView text)
{
    const Tables &t = tables();
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    qsizetype len = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = s[i];
        if (u < 0x80) {
            ++len;
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1]))
            ++i;
        const quint16 code = t.encode[u];
        len += (code != 0xFFFF && code > 0xFF) ? 2 : 1;
    }
    return len;
}

int characterLength(char16_t u)
{
    if (u < 0x80)
        return 1;
    const quint16 code = tables().encode[u];
    return code == 0xFFFF ? 0 : code > 0xFF ? 2 : 1;
}

qsizetype firstUnencodable(QStringView text, qsizetype from)
{
    const Tables &t = tables();
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    for (qsizetype i = qMax<qsizetype>(from, 0); i < n; ++i) {
        const char16_t u = s[i];
        if (u >= 0x80 && t.encode[u] == 0xFFFF)
            return i; // surrogates have no entry: a pair is found at its first unit
    }
    return -1;
}

qsizetype unencodableCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = firstUnencodable(text); i >= 0;
         i = firstUnencodable(text, i + characterUnits(text, i)))
        ++count;
    return count;
}

QStringList unencodableCharacters(QStringView text)
{
    QStringList out;
    for (qsizetype i = firstUnencodable(text); i >= 0;) {
        const qsizetype units = characterUnits(text, i);
        const QString c = text.sliced(i, units).toString();
        if (!out.contains(c))
            out.append(c);
        i = firstUnencodable(text, i + units);
    }
    return out;
}

} // namespace cp932
