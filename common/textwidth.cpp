#include "common/textwidth.h"

#include <algorithm>

#include "common/cp932.h"

#include <unicode/uchar.h>

namespace {

// Units of the character that starts at i (2 for a surrogate pair).
qsizetype unitsAt(QStringView s, qsizetype i)
{
    return (i + 1 < s.size() && s[i].isHighSurrogate() && s[i + 1].isLowSurrogate()) ? 2 : 1;
}

// Units of the character that ends just before end.
qsizetype unitsBefore(QStringView s, qsizetype end)
{
    return (end >= 2 && s[end - 1].isLowSurrogate() && s[end - 2].isHighSurrogate()) ? 2 : 1;
}

// Columns of a character without a CP932 form: what it takes on screen.
int unencodableWidth(QStringView character)
{
    const char32_t c = character.size() == 2
        ? QChar::surrogateToUcs4(character[0], character[1])
        : char32_t(character[0].unicode());
    const int eaw = u_getIntPropertyValue(UChar32(c), UCHAR_EAST_ASIAN_WIDTH);
    return eaw == U_EA_WIDE || eaw == U_EA_FULLWIDTH ? 2 : 1;
}

int widthOf(QStringView character)
{
    const char16_t u = character[0].unicode();
    if (u < 0x80)
        return 1;
    const int bytes = cp932::characterLength(u);
    return bytes ? bytes : unencodableWidth(character);
}

// Length in units of the longest start of s that takes at most n bytes;
// its width goes to width.
qsizetype startFitting(QStringView s, int n, int &width)
{
    width = 0;
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype len = unitsAt(s, i);
        const int w = widthOf(s.sliced(i, len));
        if (width + w > n)
            break;
        width += w;
        i += len;
    }
    return i;
}

} // namespace

qsizetype byteLength(QStringView s)
{
    return cp932::encodedLength(s);
}

qsizetype displayWidth(QStringView s)
{
    qsizetype width = 0;
    for (qsizetype i = 0; i < s.size();) {
        const qsizetype len = unitsAt(s, i);
        width += widthOf(s.sliced(i, len));
        i += len;
    }
    return width;
}

bool splitsAt(QByteArrayView bytes, int n)
{
    if (n < 1 || n > bytes.size())
        return false;
    bool lead = false;
    for (int i = 0; i < n; ++i)
        lead = !lead && cp932::isLeadByte(quint8(bytes[i]));
    return lead;
}

QString fitWidth(QStringView s, int n)
{
    QString out;
    appendFitWidth(out, s, n);
    return out;
}

void appendFitWidth(QString &out, QStringView s, int n)
{
    if (n <= 0)
        return;
    int width = 0;
    const qsizetype units = startFitting(s, n, width);
    const qsizetype start = out.size();
    out.resize(start + units + (n - width));
    char16_t *o = reinterpret_cast<char16_t *>(out.data()) + start;
    o = std::copy_n(s.utf16(), units, o);
    std::fill_n(o, n - width, u' ');
}

QString cutWidth(QStringView s, int n)
{
    int width = 0;
    return s.first(startFitting(s, qMax(n, 0), width)).toString();
}

QString rightWidth(QStringView s, int n)
{
    int width = 0;
    qsizetype start = s.size();
    while (start > 0) {
        const qsizetype len = unitsBefore(s, start);
        const int w = widthOf(s.sliced(start - len, len));
        if (width + w > n)
            break;
        width += w;
        start -= len;
    }
    return s.sliced(start).toString();
}

QString shortenLeft(QStringView s, int n)
{
    if (displayWidth(s) <= n)
        return s.toString();
    return QStringLiteral("...") + rightWidth(s, n - 3);
}

int startsWithKey(QStringView key, QStringView line, TextEqual equal)
{
    if (line.size() < key.size())
        return 1;
    const QStringView start = line.first(key.size());
    const bool same = equal ? equal(start, key) : start == key;
    return same ? 0 : 1;
}

QString afterKey(QStringView key, QStringView line)
{
    return line.size() > key.size() ? line.sliced(key.size()).toString() : QString();
}

QString trimCharacters(QStringView s, QStringView set)
{
    qsizetype begin = 0, end = s.size();
    while (begin < end && set.contains(s[begin]))
        ++begin;
    while (end > begin && set.contains(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin).toString();
}

QString replaceAll(QStringView s, QStringView find, QStringView replacement)
{
    if (find.isEmpty())
        return s.toString();
    QString out;
    qsizetype from = 0;
    for (qsizetype at; (at = s.indexOf(find, from)) >= 0; from = at + find.size()) {
        out.append(s.sliced(from, at - from));
        out.append(replacement);
    }
    out.append(s.sliced(from));
    return out;
}

QString replaceCharacters(QStringView s, QStringView set, QStringView replacement)
{
    QString out;
    out.reserve(s.size());
    for (const QChar c : s) {
        if (set.contains(c))
            out.append(replacement);
        else
            out.append(c);
    }
    return out;
}

QStringView trimSpaces(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

bool readDigits(QStringView s, qsizetype &pos, int minDigits, int maxDigits, int &out)
{
    int n = 0, value = 0;
    while (pos < s.size() && n < maxDigits && s[pos] >= u'0' && s[pos] <= u'9') {
        value = value * 10 + (s[pos].unicode() - u'0');
        ++pos;
        ++n;
    }
    out = value;
    return n >= minDigits;
}
