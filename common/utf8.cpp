#include "common/utf8.h"

#include <cstring>

#include "common/largepages.h"

namespace utf8 {
namespace {

// The length of the well-formed sequence at p[i] (1 to 4) and its code
// point, or 0 with the length of its maximal ill-formed part in *bad.
int sequence(const quint8 *p, qsizetype i, qsizetype n, char32_t &cp, int &bad)
{
    const quint8 b = p[i];
    int need;
    quint8 lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        cp = b & 0x0F;
        if (b == 0xE0)
            lo = 0xA0; // no overlong forms
        else if (b == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        cp = b & 0x07;
        if (b == 0xF0)
            lo = 0x90;
        else if (b == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        bad = 1;
        return 0;
    }
    for (int k = 1; k <= need; ++k) {
        if (i + k >= n || p[i + k] < lo || p[i + k] > hi) {
            bad = k;
            return 0;
        }
        cp = cp << 6 | (p[i + k] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return need + 1;
}

} // namespace

bool startsWithBom(QByteArrayView bytes)
{
    return bytes.startsWith(QByteArrayView(Bom, 3));
}

bool isValid(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype n = bytes.size();
    char32_t cp;
    int bad;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const int len = sequence(p, i, n, cp, bad);
        if (len == 0)
            return false;
        i += len;
    }
    return true;
}

bool looksLikeUtf8(QByteArrayView bytes)
{
    if (startsWithBom(bytes))
        return true;
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n && p[i] < 0x80)
        ++i;
    return i < n && isValid(bytes.sliced(i));
}

namespace {

// Decodes bytes into o, which has room for bytes.size() units (no sequence
// gives more units than it has bytes); returns the units written.
qsizetype decodeInto(QByteArrayView bytes, char16_t *o, qsizetype &lost)
{
    const auto *p = reinterpret_cast<const quint8 *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype len = 0;
    char32_t cp;
    int bad;
    for (qsizetype i = 0; i < n;) {
        if (p[i] < 0x80) {
            o[len++] = p[i++];
            continue;
        }
        const int seq = sequence(p, i, n, cp, bad);
        if (seq == 0) {
            o[len++] = u'\uFFFD';
            ++lost;
            i += bad;
        } else if (cp > 0xFFFF) {
            o[len++] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
            o[len++] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
            i += seq;
        } else {
            o[len++] = char16_t(cp);
            i += seq;
        }
    }
    return len;
}

} // namespace

QString decode(QByteArrayView bytes, qsizetype *replaced)
{
    QString out(bytes.size(), Qt::Uninitialized);
    qsizetype lost = 0;
    out.truncate(decodeInto(bytes, reinterpret_cast<char16_t *>(out.data()), lost));
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

QByteArray encode(QStringView text)
{
    // No unit takes more than three bytes (a pair takes four for two).
    QByteArray out(3 * text.size(), Qt::Uninitialized);
    adviseLargePages(out.data(), out.size());
    const char16_t *s = text.utf16();
    const qsizetype n = text.size();
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    for (qsizetype i = 0; i < n;) {
        const char16_t u = s[i];
        if (u < 0x80) {
            // Runs of ASCII four units at a time.
            quint64 word;
            if (i + 4 <= n && (std::memcpy(&word, s + i, 8), (word & 0xFF80FF80FF80FF80ull) == 0)) {
                for (int k = 0; k < 4; ++k)
                    o[k] = static_cast<unsigned char>(s[i + k]);
                o += 4;
                i += 4;
                continue;
            }
            *o++ = static_cast<unsigned char>(u);
            ++i;
        } else if (u < 0x800) {
            *o++ = static_cast<unsigned char>(0xC0 | (u >> 6));
            *o++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
            ++i;
        } else if (!QChar::isSurrogate(u)) {
            *o++ = static_cast<unsigned char>(0xE0 | (u >> 12));
            *o++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
            ++i;
        } else if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            const char32_t c = QChar::surrogateToUcs4(u, s[i + 1]);
            *o++ = static_cast<unsigned char>(0xF0 | (c >> 18));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
            i += 2;
        } else {
            *o++ = '?'; // half a character, as QString::toUtf8 writes it
            ++i;
        }
    }
    out.truncate(reinterpret_cast<char *>(o) - out.data());
    return out;
}

} // namespace utf8
