#include "common/textcompare.h"

#include "common/widthconv.h"

namespace {

bool isPlainAscii(QStringView s)
{
    for (const QChar c : s)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// Letter-case fold of an ASCII code unit.
inline char16_t lowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// Compares two pure-ASCII strings ignoring case without allocating: the
// common case for IDs (mail addresses).
int compareAsciiFolded(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = lowerAscii(a[i].unicode());
        const char16_t y = lowerAscii(b[i].unicode());
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int sign(int v)
{
    return (v > 0) - (v < 0);
}

} // namespace

QString textKey(QStringView s)
{
    if (isPlainAscii(s)) {
        QString out = s.toString();
        for (QChar &c : out)
            c = QChar(lowerAscii(c.unicode()));
        return out;
    }
    // Half-width katakana -> full-width (composing voiced marks) by going
    // through the full-width form of kana only, then full-width ASCII -> ASCII.
    QString kana;
    kana.reserve(s.size());
    qsizetype i = 0;
    while (i < s.size()) {
        const char16_t c = s[i].unicode();
        if (c >= 0xFF61 && c <= 0xFF9F) {
            qsizetype j = i + 1;
            while (j < s.size() && s[j].unicode() >= 0xFF61 && s[j].unicode() <= 0xFF9F)
                ++j;
            kana += toFullWidth(s.mid(i, j - i));
            i = j;
        } else {
            kana += QChar(c);
            ++i;
        }
    }
    QString out;
    out.reserve(kana.size());
    for (const QChar ch : kana) {
        char16_t c = ch.unicode();
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = char16_t(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = u' ';
        else if (c >= 0x30A1 && c <= 0x30F6)
            c = char16_t(c - 0x60); // katakana -> hiragana
        out += QChar(c);
    }
    return out.toCaseFolded();
}

int textCompare(QStringView a, QStringView b)
{
    if (isPlainAscii(a) && isPlainAscii(b))
        return compareAsciiFolded(a, b);
    return sign(QStringView(textKey(a)).compare(QStringView(textKey(b))));
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
