#include "common/textcompare.h"

#include "common/widthconv.h"

#include <algorithm>
#include <vector>

namespace {

// Letter-case fold of an ASCII code unit.
inline char16_t lowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// Characters whose letter-case fold is themselves, without asking the
// Unicode tables: the CJK symbols, kana and ideographs (U+3000-U+9FFF) that
// make up most Japanese names. Everything else non-ASCII takes the full fold.
inline bool caseFoldsToItself(char16_t c)
{
    return c >= 0x3000 && c <= 0x9FFF;
}

int sign(int v)
{
    return (v > 0) - (v < 0);
}

} // namespace

const char16_t *unitFolds()
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(0x10000);
        for (char32_t u = 0; u < 0x10000; ++u) {
            char16_t c = char16_t(u);
            if (QChar::isSurrogate(c) || (c >= 0xFF61 && c <= 0xFF9F) || c == UnitFoldNone) {
                t[u] = UnitFoldNone;
                continue;
            }
            if (c >= 0xFF01 && c <= 0xFF5E)
                c = char16_t(c - 0xFF01 + 0x21);
            else if (c == 0x3000)
                c = u' ';
            if (c >= 0x30A1 && c <= 0x30F6)
                c = char16_t(c - 0x60);
            const QString folded = QString(QChar(c)).toCaseFolded();
            t[u] = folded.size() == 1 ? lowerAscii(folded.front().unicode()) : UnitFoldNone;
        }
        return t;
    }();
    return table.data();
}

int compareTextKeys(QStringView a, QStringView b)
{
    const char16_t *folds = unitFolds();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = folds[a[i].unicode()];
        const char16_t y = folds[b[i].unicode()];
        if (x == UnitFoldNone || y == UnitFoldNone)
            return QStringView(textKey(a.sliced(i))).compare(QStringView(textKey(b.sliced(i))));
        if (x != y)
            return x < y ? -1 : 1;
    }
    // One is a prefix of the other so far; a non-empty rest never folds to
    // nothing, so the shorter key is the smaller.
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString textKey(QStringView s)
{
    if (s.isEmpty())
        return {};
    // Where every unit folds on its own, the key is the units' folds.
    QString out(s.size(), Qt::Uninitialized);
    {
        const char16_t *folds = unitFolds();
        char16_t *o = reinterpret_cast<char16_t *>(out.data());
        qsizetype i = 0;
        for (; i < s.size(); ++i) {
            const char16_t f = folds[s[i].unicode()];
            if (f == UnitFoldNone)
                break;
            o[i] = f;
        }
        if (i == s.size())
            return out;
    }
    // Otherwise one pass into a buffer of the input's size: half-width kana become
    // full-width (composing voiced marks, so never longer), full-width ASCII
    // and the ideographic space become ASCII, katakana become hiragana and
    // ASCII letters lower case; what is left is case-folded.
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    bool plain = true; // nothing left that the letter-case fold could change
    auto put = [&](char16_t c) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = char16_t(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = u' ';
        if (c < 0x80) {
            *o++ = lowerAscii(c);
            return;
        }
        if (c >= 0x30A1 && c <= 0x30F6)
            c = char16_t(c - 0x60);
        if (!caseFoldsToItself(c))
            plain = false;
        *o++ = c;
    };
    for (qsizetype i = 0; i < s.size();) {
        const char16_t c = s[i].unicode();
        if (c < 0xFF61 || c > 0xFF9F) {
            put(c);
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < s.size() && s[j].unicode() >= 0xFF61 && s[j].unicode() <= 0xFF9F)
            ++j;
        const QString full = toFullWidth(s.sliced(i, j - i));
        Q_ASSERT(full.size() <= j - i);
        for (const QChar f : QStringView(full).first(std::min(full.size(), j - i)))
            put(f.unicode());
        i = j;
    }
    out.truncate(o - reinterpret_cast<const char16_t *>(out.constData()));
    return plain ? out : std::move(out).toCaseFolded();
}

QString textKey(const QString &s)
{
    // Most names and IDs are already in folded form: hand back the same
    // (shared) text rather than building a copy.
    const char16_t *folds = unitFolds();
    for (const QChar ch : s) {
        const char16_t c = ch.unicode();
        if (folds[c] != c || c == UnitFoldNone)
            return textKey(QStringView(s));
    }
    return s;
}

int textCompare(QStringView a, QStringView b)
{
    return sign(compareTextKeys(a, b));
}

bool textEqual(QStringView a, QStringView b)
{
    return textCompare(a, b) == 0;
}

int textOrder(QStringView a, QStringView b)
{
    const int c = textCompare(a, b);
    return c != 0 ? c : sign(a.compare(b));
}

bool equalUnder(Comparison c, QStringView a, QStringView b)
{
    return c == Comparison::Exact ? a == b : textEqual(a, b);
}
