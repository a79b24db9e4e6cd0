#include "common/widthconv.h"

namespace {

// Half-width katakana U+FF61..U+FF9F and their full-width forms.
constexpr char16_t HalfToFull[] = {
    u'\u3002', u'\u300C', u'\u300D', u'\u3001', u'\u30FB', u'\u30F2', u'\u30A1', u'\u30A3',
    u'\u30A5', u'\u30A7', u'\u30A9', u'\u30E3', u'\u30E5', u'\u30E7', u'\u30C3', u'\u30FC',
    u'\u30A2', u'\u30A4', u'\u30A6', u'\u30A8', u'\u30AA', u'\u30AB', u'\u30AD', u'\u30AF',
    u'\u30B1', u'\u30B3', u'\u30B5', u'\u30B7', u'\u30B9', u'\u30BB', u'\u30BD', u'\u30BF',
    u'\u30C1', u'\u30C4', u'\u30C6', u'\u30C8', u'\u30CA', u'\u30CB', u'\u30CC', u'\u30CD',
    u'\u30CE', u'\u30CF', u'\u30D2', u'\u30D5', u'\u30D8', u'\u30DB', u'\u30DE', u'\u30DF',
    u'\u30E0', u'\u30E1', u'\u30E2', u'\u30E4', u'\u30E6', u'\u30E8', u'\u30E9', u'\u30EA',
    u'\u30EB', u'\u30EC', u'\u30ED', u'\u30EF', u'\u30F3', u'\u309B', u'\u309C',
};
constexpr char16_t HalfFirst = 0xFF61;
constexpr char16_t HalfLast = 0xFF9F;
constexpr char16_t HalfVoiced = 0xFF9E;
constexpr char16_t HalfSemiVoiced = 0xFF9F;

bool takesVoicedMark(char16_t k)
{
    return (k >= 0x30AB && k <= 0x30C1 && (k % 2) == 1) // カ..チ
        || k == 0x30C4 || k == 0x30C6 || k == 0x30C8   // ツ テ ト
        || (k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0) // ハ ヒ フ ヘ ホ
        || k == 0x30A6;                                 // ウ
}

bool takesSemiVoicedMark(char16_t k)
{
    return k >= 0x30CF && k <= 0x30DB && (k - 0x30CF) % 3 == 0;
}

char16_t voiced(char16_t k)
{
    return k == 0x30A6 ? char16_t(0x30F4) : char16_t(k + 1);
}

// For a full-width katakana (U+30A1..U+30FC, U+309B, U+309C): its half-width
// form, and a following mark (0 when none); 0 when it has no half-width form.
char16_t halfOf(char16_t k, char16_t &mark)
{
    mark = 0;
    for (int i = 0; i <= HalfLast - HalfFirst; ++i)
        if (HalfToFull[i] == k && k != 0x3002 && k != 0x300C && k != 0x300D && k != 0x3001)
            return char16_t(HalfFirst + i);
    if (k == 0x30F4) {
        mark = HalfVoiced;
        return 0xFF73;
    }
    // Voiced: base + 1; semi-voiced: base + 2 (ハ row only).
    for (char16_t base : {char16_t(k - 1), char16_t(k - 2)}) {
        const bool semi = base == k - 2;
        if (semi ? takesSemiVoicedMark(base) : (takesVoicedMark(base) && base != 0x30A6)) {
            char16_t dummy;
            const char16_t h = halfOf(base, dummy);
            if (h) {
                mark = semi ? HalfSemiVoiced : HalfVoiced;
                return h;
            }
        }
    }
    return 0;
}

} // namespace

QString toFullWidth(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c == u' ') {
            out += QChar(0x3000);
        } else if (c >= 0x21 && c <= 0x7E) {
            out += QChar(char16_t(c - 0x21 + 0xFF01));
        } else if (c >= HalfFirst && c <= HalfLast) {
            char16_t k = HalfToFull[c - HalfFirst];
            const char16_t next = i + 1 < s.size() ? s[i + 1].unicode() : 0;
            if (next == HalfVoiced && takesVoicedMark(k)) {
                k = voiced(k);
                ++i;
            } else if (next == HalfSemiVoiced && takesSemiVoicedMark(k)) {
                k = char16_t(k + 2);
                ++i;
            }
            out += QChar(k);
        } else {
            out += QChar(c);
        }
    }
    return out;
}

QString toHalfWidth(QStringView s)
{
    if (s.isEmpty())
        return QString();
    // Written straight into a buffer long enough for every character to
    // take its voiced mark, then cut to what was written.
    QString out(s.size() * 2, Qt::Uninitialized);
    char16_t *const begin = reinterpret_cast<char16_t *>(out.data());
    char16_t *o = begin;
    for (const QChar ch : s) {
        const char16_t c = ch.unicode();
        if (c < 0x3000) {
            *o++ = c; // nothing below the ideographic space has another width
        } else if (c == 0x3000) {
            *o++ = u' ';
        } else if (c >= 0xFF01 && c <= 0xFF5E) {
            *o++ = char16_t(c - 0xFF01 + 0x21);
        } else if ((c >= 0x30A1 && c <= 0x30FC) || c == 0x309B || c == 0x309C) {
            char16_t mark;
            const char16_t h = halfOf(c, mark);
            *o++ = h ? h : c;
            if (h && mark)
                *o++ = mark;
        } else {
            *o++ = c;
        }
    }
    out.truncate(o - begin);
    return out;
}
