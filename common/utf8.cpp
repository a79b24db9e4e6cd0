#include "common/utf8.h"

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

} // namespace utf8
