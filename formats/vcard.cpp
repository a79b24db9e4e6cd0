#include "formats/vcard.h"
#include "common/textwidth.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QTimeZone>
#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

#include "common/cp932.h"
#include "common/textstore.h"
#include "common/utf8.h"
#include "common/oledate.h"
#include "core/cardops.h"
#include "common/readbudget.h"
#include "formats/fileprocs.h"

const QString VcardOtherItemsHeader = QStringLiteral("---- vCard その他の項目 ----");

namespace {

const QString CrLf = QStringLiteral("\r\n");

// ---- Physical lines and properties (bytes) ----------------------------------

bool isFoldByte(char c)
{
    return c == ' ' || c == '\t';
}

char upperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// a equals upper (an upper-case ASCII word) ignoring the case of a.
bool isWord(QByteArrayView a, QByteArrayView upper)
{
    if (a.size() != upper.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upper[i])
            return false;
    return true;
}

bool startsWithWord(QByteArrayView a, QByteArrayView upper)
{
    return a.size() >= upper.size() && isWord(a.first(upper.size()), upper);
}

// Physical lines: CR LF, a lone LF and a lone CR each end a line, and so
// does a run of CRs before a LF (CR CR LF, written by some phones). The text
// after the last line end is a line of its own.
class LineReader
{
public:
    explicit LineReader(QByteArrayView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return m_text[m_pos]; }

    QByteArrayView next()
    {
        const qsizetype n = m_text.size();
        if (m_pos >= n)
            return {};
        const char *d = m_text.data();
        // The line ends at the first CR or LF. Both are found with memchr;
        // the next LF is remembered, so that a text of many lone CRs is not
        // searched to its end for every line.
        if (m_nextLf < m_pos) {
            const void *lf = std::memchr(d + m_pos, '\n', size_t(n - m_pos));
            m_nextLf = lf ? static_cast<const char *>(lf) - d : n;
        }
        qsizetype i = m_nextLf;
        if (const void *cr = std::memchr(d + m_pos, '\r', size_t(m_nextLf - m_pos)))
            i = static_cast<const char *>(cr) - d;
        const QByteArrayView line = m_text.sliced(m_pos, i - m_pos);
        if (i < n)
            i = d[i] == '\n' ? i + 1 : pastCr(i);
        m_pos = i;
        return line;
    }

    // The line next() would return, without taking it.
    QByteArrayView peekLine()
    {
        const qsizetype pos = m_pos;
        const QByteArrayView line = next();
        m_pos = pos;
        return line;
    }

private:
    // Past the line end that begins with the CR at i.
    qsizetype pastCr(qsizetype i)
    {
        if (i < m_loneCrsUntil)
            return i + 1;
        const qsizetype n = m_text.size();
        qsizetype j = i + 1;
        while (j < n && m_text[j] == '\r')
            ++j;
        if (j < n && m_text[j] == '\n')
            return j + 1;
        // Every CR up to j ends a line of its own: remembered, so that a long
        // run of them is scanned once.
        m_loneCrsUntil = j;
        return i + 1;
    }

    QByteArrayView m_text;
    qsizetype m_pos = 0;
    qsizetype m_loneCrsUntil = 0;
    qsizetype m_nextLf = -1; // the first LF at or after m_pos when m_pos <= it
};

enum class Kind {
    Other, Begin, End, FN, N, Bday, Adr, Tel, Email, Note, Rev, Version,
    Photo, Logo, Sound, Key, Nickname
};

Kind kindOf(QByteArrayView name)
{
    // The lengths are compared first: a name is spelled out only against
    // the entries of its length.
    static constexpr struct {
        QByteArrayView name;
        Kind kind;
    } table[] = {
        {"BEGIN", Kind::Begin}, {"END", Kind::End},     {"FN", Kind::FN},
        {"N", Kind::N},         {"BDAY", Kind::Bday},   {"ADR", Kind::Adr},
        {"TEL", Kind::Tel},     {"EMAIL", Kind::Email}, {"NOTE", Kind::Note},
        {"REV", Kind::Rev},     {"VERSION", Kind::Version}, {"PHOTO", Kind::Photo},
        {"LOGO", Kind::Logo},   {"SOUND", Kind::Sound}, {"KEY", Kind::Key},
        {"NICKNAME", Kind::Nickname},
    };
    for (const auto &e : table)
        if (e.name.size() == name.size() && isWord(name, e.name))
            return e.kind;
    return Kind::Other;
}

// The text encodings a CHARSET parameter can name. Unset: the card's
// version or the file decides.
enum class Charset : quint8 { Unset, Cp932, Utf8, Latin1 };

Charset charsetNamed(QByteArrayView name)
{
    for (const char *n : {"UTF-8", "UTF8"})
        if (isWord(name, n))
            return Charset::Utf8;
    for (const char *n : {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "CP932", "MS932", "WINDOWS-31J",
                          "X-SJIS", "CSSHIFTJIS", "MS_KANJI"})
        if (isWord(name, n))
            return Charset::Cp932;
    for (const char *n : {"ISO-8859-1", "ISO_8859-1", "LATIN1", "ISO8859-1"})
        if (isWord(name, n))
            return Charset::Latin1;
    // US-ASCII is a part of every encoding above; like an unknown name it
    // leaves the choice to the version and the file, so that the bytes of a
    // file that calls itself ASCII and is not are still read.
    return Charset::Unset;
}

bool isEscapable(QChar c)
{
    return c == u';' || c == u',' || c == u'\\';
}

// Splits text at the separators (";", or ";" and ","); a backslash before
// ";", "," or "\" gives that character, before anything else it stays. In
// vCard 3.0 and 4.0 (newlines) a backslash before "n" or "N" is a line break
// (CR LF). Calls f with each part, a view into text or, for a part with
// escapes, into buffer. Empty parts between separators are passed; an empty
// last part is not.
template<typename F>
void forEachPart(QStringView text, bool commaToo, QString &buffer, F &&f, bool newlines = false)
{
    const qsizetype n = text.size();
    auto escapes = [&](qsizetype i) {
        return text[i] == u'\\' && i + 1 < n
            && (isEscapable(text[i + 1])
                || (newlines && (text[i + 1] == u'n' || text[i + 1] == u'N')));
    };
    qsizetype start = 0;
    bool escaped = false;
    auto give = [&](qsizetype end) {
        if (!escaped) {
            f(text.sliced(start, end - start));
            return;
        }
        buffer.resize(0);
        for (qsizetype i = start; i < end; ++i) {
            if (i + 1 < end && escapes(i)) {
                ++i;
                if (text[i] == u'n' || text[i] == u'N') {
                    buffer += CrLf;
                    continue;
                }
            }
            buffer += text[i];
        }
        f(QStringView(buffer));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (escapes(i)) {
            escaped = true;
            ++i;
        } else if (c == u';' || (commaToo && c == u',')) {
            give(i);
            start = i + 1;
            escaped = false;
        }
    }
    if (start < n)
        give(n);
}

// The first component of a value (see forEachPart), or an empty view.
QStringView firstComponentOf(QStringView v, QString &buffer, bool newlines)
{
    qsizetype end = 0;
    while (end < v.size() && v[end] != u';') {
        if (v[end] == u'\\')
            ++end; // whatever follows a backslash does not end the component
        ++end;
    }
    QStringView out;
    forEachPart(v.first(qMin(end, v.size())), false, buffer, [&](QStringView c) { out = c; },
                newlines);
    return out;
}

// The index of the colon that ends the property's name and parameters: the
// first ":" at the second byte or later that is not inside a quoted
// parameter value ("..."; a quote without its closing quote is an ordinary
// byte). -1 when there is none.
qsizetype headColon(QByteArrayView line)
{
    qsizetype from = 0;
    for (;;) {
        const qsizetype colon = line.indexOf(':', qMax<qsizetype>(from, 1));
        if (colon < 0)
            return -1;
        const qsizetype quote = line.first(colon).indexOf('"', from);
        if (quote < 0)
            return colon;
        const qsizetype close = line.indexOf('"', quote + 1);
        if (close < 0)
            return colon;
        from = close + 1;
    }
}

// Splits the parameters at ";" and "," outside quoted values; a backslash
// before ";", "," or "\" takes that byte literally. Calls f with each
// part as it stands (quotes included) or, with escapes, unescaped in
// buffer. An empty last part is dropped.
template<typename F>
void forEachHeadPart(QByteArrayView text, QByteArray &buffer, F &&f)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    bool escaped = false;
    auto isEsc = [](char c) { return c == ';' || c == ',' || c == '\\'; };
    auto give = [&](qsizetype end) {
        if (!escaped) {
            f(text.sliced(start, end - start));
            return;
        }
        buffer.resize(0);
        for (qsizetype i = start; i < end; ++i) {
            if (text[i] == '\\' && i + 1 < end && isEsc(text[i + 1]))
                ++i;
            buffer += text[i];
        }
        f(QByteArrayView(buffer));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < n && isEsc(text[i + 1])) {
            escaped = true;
            ++i;
        } else if (c == '"') {
            const qsizetype close = text.indexOf('"', i + 1);
            if (close > i)
                i = close;
        } else if (c == ';' || c == ',') {
            give(i);
            start = i + 1;
            escaped = false;
        }
    }
    if (start < n)
        give(n);
}

QByteArrayView unquoted(QByteArrayView v, bool *quoted = nullptr)
{
    const bool q = v.size() >= 2 && v.front() == '"' && v.back() == '"';
    if (quoted)
        *quoted = q;
    return q ? v.sliced(1, v.size() - 2) : v;
}

struct Property
{
    Kind kind = Kind::Other;
    bool hasColon = false;
    bool quotedPrintable = false;
    bool base64 = false;
    bool pref = false;
    bool fax = false;
    bool cell = false;
    bool pager = false;
    Charset charset = Charset::Unset;
    int omitYear = -1;          // X-APPLE-OMIT-YEAR: the year that stands for none
    QByteArrayView valueBytes;  // after the colon, folds and soft breaks joined
    QByteArrayView raw;         // the property as it stood in the file, unfolded
    QStringView value;          // valueBytes decoded, components not yet split

    // Storage behind the views when they are not views into the file; kept
    // from property to property so that its capacity is reused.
    QByteArray name; // without its group, as written
    QByteArray joined;
    QByteArray rawJoined;
    QByteArray headPart;
    QByteArray qpBytes;
    QString decoded;
    QString rawText;
    QString part;

    void reset()
    {
        kind = Kind::Other;
        hasColon = quotedPrintable = base64 = pref = fax = cell = pager = false;
        charset = Charset::Unset;
        omitYear = -1;
        valueBytes = raw = QByteArrayView();
        value = QStringView();
        name.resize(0);
    }
};

// One parameter token (a TYPE value, or a 2.1 parameter without a name).
void readToken(QByteArrayView t, Property &p, bool afterEncoding)
{
    if (isWord(t, "QUOTED-PRINTABLE"))
        p.quotedPrintable = true;
    else if (isWord(t, "PREF"))
        p.pref = true;
    else if (isWord(t, "FAX"))
        p.fax = true;
    else if (isWord(t, "CELL"))
        p.cell = true;
    else if (isWord(t, "PAGER"))
        p.pager = true;
    else if (isWord(t, "BASE64") || (afterEncoding && isWord(t, "B")))
        p.base64 = true;
}

// Splits the text before the colon into the name (a group prefix such as
// "item1." removed) and the parameters, and classifies them.
void readHead(QByteArrayView head, Property &p, bool modern)
{
    qsizetype nameEnd = 0;
    while (nameEnd < head.size() && head[nameEnd] != ';' && head[nameEnd] != ',')
        ++nameEnd;
    QByteArrayView name = head.first(nameEnd);
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0)
        name = name.sliced(dot + 1);
    p.name.append(name);
    p.kind = kindOf(name);
    if (nameEnd >= head.size())
        return;
    forEachHeadPart(head.sliced(nameEnd + 1), p.headPart, [&](QByteArrayView part) {
        bool afterEncoding = false, afterType = false;
        if (startsWithWord(part, "ENCODING=")) {
            part = part.sliced(9);
            afterEncoding = true;
        } else if (startsWithWord(part, "TYPE=")) {
            part = part.sliced(5);
            afterType = true;
        } else if (startsWithWord(part, "CHARSET=")) {
            p.charset = charsetNamed(unquoted(part.sliced(8)));
            return;
        } else if (startsWithWord(part, "X-APPLE-OMIT-YEAR=")) {
            bool ok = false;
            const int year = unquoted(part.sliced(18)).toInt(&ok);
            p.omitYear = ok ? year : -1;
            return;
        } else if (modern && startsWithWord(part, "PREF=")) {
            p.pref = p.pref || unquoted(part.sliced(5)) == "1";
            return;
        }
        bool quoted = false;
        part = unquoted(part, &quoted);
        if (quoted && afterType) {
            // TYPE="work,cell": a quoted list of types.
            for (qsizetype from = 0; from <= part.size();) {
                qsizetype comma = part.indexOf(',', from);
                if (comma < 0)
                    comma = part.size();
                readToken(part.sliced(from, comma - from), p, false);
                from = comma + 1;
            }
            return;
        }
        readToken(part, p, afterEncoding);
    });
}

bool isBase64Byte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+'
        || c == '/' || c == '=';
}

// A line that can only continue a base64 value: vCard 2.1 writers need not
// indent the lines of one.
bool isBase64Line(QByteArrayView line)
{
    if (line.isEmpty())
        return false;
    for (const char c : line)
        if (!isBase64Byte(c))
            return false;
    return true;
}

// Reads the next property: takes a physical line, unfolds the lines that
// continue it and, for a quoted-printable value, joins the soft line breaks.
// modern: the vCard 3.0/4.0 rules (unfolding removes exactly one blank);
// otherwise 2.1 (every leading blank of a continuation line goes, and a
// base64 value may continue on lines without indent).
void readProperty(LineReader &lines, Property &p, bool modern)
{
    p.reset();
    QByteArrayView line = lines.next();
    QByteArrayView raw = line;
    bool own = false; // line and raw live in joined and rawJoined
    auto makeOwn = [&] {
        if (own)
            return;
        own = true;
        p.joined.resize(0);
        p.joined.append(line);
        p.rawJoined.resize(0);
        p.rawJoined.append(raw);
    };
    qsizetype colon = headColon(line);
    if (colon > 0)
        readHead(line.first(colon), p, modern);
    while (!lines.atEnd()) {
        if (colon > 0 && p.quotedPrintable && line.endsWith('=')) {
            // A soft line break: the next physical line continues the value
            // as it stands, leading blanks included. The raw line keeps the
            // break, so that an other item is kept whole.
            makeOwn();
            const QByteArrayView next = lines.next();
            p.joined.chop(1);
            p.joined.append(next);
            p.rawJoined.append("\r\n");
            p.rawJoined.append(next);
        } else if (isFoldByte(lines.peek())) {
            const QByteArrayView cont = lines.next();
            qsizetype k = 0;
            if (modern)
                k = 1;
            else
                while (k < cont.size() && isFoldByte(cont[k]))
                    ++k;
            makeOwn();
            p.joined.append(cont.sliced(k));
            p.rawJoined.append(cont.sliced(k));
        } else if (colon > 0 && p.base64 && !modern && isBase64Line(lines.peekLine())) {
            makeOwn();
            const QByteArrayView next = lines.next();
            p.joined.append(next);
            p.rawJoined.append(next);
        } else {
            break;
        }
        line = p.joined;
        raw = p.rawJoined;
        if (colon <= 0) {
            // A head folded before its colon.
            colon = headColon(line);
            if (colon > 0)
                readHead(line.first(colon), p, modern);
        }
    }
    p.raw = raw;
    if (colon > 0) {
        p.hasColon = true;
        p.valueBytes = line.sliced(colon + 1);
    }
}

bool isAscii(QByteArrayView b)
{
    for (const char c : b)
        if (quint8(c) >= 0x80)
            return false;
    return true;
}

// ---- Decoding ---------------------------------------------------------------

// What the reader knows of its input.
struct Source
{
    // The bytes are the UTF-8 form of text that was decoded already: values
    // are taken as they stand, and only the bytes that quoted-printable
    // gives are read in a charset.
    bool decodedText = false;
    // The encoding of vCard 2.1 properties without CHARSET.
    Charset fileDefault = Charset::Cp932;
};

void decodeAppend(QByteArrayView bytes, Charset cs, QString &out, qsizetype *replaced)
{
    switch (cs) {
    case Charset::Utf8:
        utf8::decodeAppend(bytes, out, replaced);
        break;
    case Charset::Latin1:
        out.append(QLatin1StringView(bytes));
        break;
    case Charset::Unset:
    case Charset::Cp932:
        cp932::decodeAppend(bytes, out, replaced);
        break;
    }
}

// "=" and two hexadecimal digits give that byte; every other byte stands
// for itself (a "=" without two digits is kept as it is). In decoded text
// the other characters stand for their own bytes in the value's charset.
void decodeQuotedPrintable(QByteArrayView v, Charset cs, bool decodedText, QByteArray &out)
{
    // Written in place. Nothing grows: an escape is three bytes for one, and
    // text written again in its charset takes no more bytes than in UTF-8;
    // the room of twice the value is what cp932::encodeTo asks for.
    out.resize(2 * v.size());
    char *const start = out.data();
    char *o = start;
    auto literal = [&](QByteArrayView run) {
        if (!decodedText || cs == Charset::Utf8 || isAscii(run)) {
            o = std::copy_n(run.data(), run.size(), o);
            return;
        }
        const QString text = QString::fromUtf8(run);
        if (cs == Charset::Latin1) {
            const QByteArray latin = text.toLatin1();
            o = std::copy_n(latin.data(), latin.size(), o);
        } else {
            o = cp932::encodeTo(text, o);
        }
    };
    const qsizetype n = v.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < n;) {
        if (v[i] == '=' && i + 2 < n) {
            const int hi = hexValue(quint8(v[i + 1]));
            const int lo = hexValue(quint8(v[i + 2]));
            if (hi >= 0 && lo >= 0) {
                if (i > run)
                    literal(v.sliced(run, i - run));
                *o++ = char(hi * 16 + lo);
                i += 3;
                run = i;
                continue;
            }
        }
        ++i;
    }
    literal(v.sliced(run));
    out.truncate(o - start);
}

// The first component of a value (up to the first ";" without a backslash)
// is "VCARD", ignoring case and surrounding blanks.
bool isVcardValue(QByteArrayView v)
{
    qsizetype end = 0;
    while (end < v.size() && v[end] != ';') {
        if (v[end] == '\\')
            return false; // an escape leaves a character that VCARD has not
        ++end;
    }
    return isWord(v.first(end).trimmed(), "VCARD");
}

// ---- Card fields --------------------------------------------------------------

// The name without half-width spaces, full-width spaces and TABs: two names
// are the same person's when these are equal.
bool isKeyBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

// a and b are the same name once their blanks are taken out.
bool sameName(QStringView a, QStringView b)
{
    qsizetype i = 0, j = 0;
    for (;;) {
        while (i < a.size() && isKeyBlank(a[i]))
            ++i;
        while (j < b.size() && isKeyBlank(b[j]))
            ++j;
        if (i == a.size() || j == b.size())
            return i == a.size() && j == b.size();
        if (a[i] != b[j])
            return false;
        ++i;
        ++j;
    }
}

bool digits(QStringView s, qsizetype pos, qsizetype count, int &value)
{
    if (pos + count > s.size())
        return false;
    int v = 0;
    for (qsizetype i = pos; i < pos + count; ++i) {
        const char16_t c = s[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    value = v;
    return true;
}

DateValue birthdayOf(int y, int m, int d)
{
    const DateValue v = oleFromDate(QDate(y, m, d));
    return v != NoDate && isShowableDate(v) ? v : NoDate;
}

// "yyyymmdd" or "yyyy-mm-dd"; NoDate for any other form or no valid date.
DateValue readBirthday(QStringView s)
{
    int y, m, d;
    bool ok = false;
    if (s.size() == 8)
        ok = digits(s, 0, 4, y) && digits(s, 4, 2, m) && digits(s, 6, 2, d);
    else if (s.size() == 10)
        ok = s[4] == u'-' && s[7] == u'-' && digits(s, 0, 4, y) && digits(s, 5, 2, m)
            && digits(s, 8, 2, d);
    return ok ? birthdayOf(y, m, d) : NoDate;
}

// A vCard 3.0/4.0 birthday.
struct ModernBirthday
{
    DateValue date = NoDate;
    int month = 0; // a month and day without a year (month 0: none)
    int day = 0;
};

// "yyyy-mm-dd" or "yyyymmdd", either alone or followed by a time ("T..."),
// or a month and day without a year: "--mmdd", "--mm-dd", or a year the
// writer marked as none (omitYear).
ModernBirthday readModernBirthday(QStringView s, int omitYear)
{
    ModernBirthday b;
    int y, m, d;
    if (s.startsWith(u"--")) {
        if ((s.size() == 6 && digits(s, 2, 2, m) && digits(s, 4, 2, d))
            || (s.size() == 7 && s[4] == u'-' && digits(s, 2, 2, m) && digits(s, 5, 2, d))) {
            if (QDate(2000, m, d).isValid()) {
                b.month = m;
                b.day = d;
            }
        }
        return b;
    }
    qsizetype end = -1;
    if (digits(s, 0, 4, y) && digits(s, 4, 2, m) && digits(s, 6, 2, d))
        end = 8;
    else if (s.size() >= 10 && s[4] == u'-' && s[7] == u'-' && digits(s, 0, 4, y)
             && digits(s, 5, 2, m) && digits(s, 8, 2, d))
        end = 10;
    if (end < 0 || (s.size() > end && s[end] != u'T'))
        return b;
    if (y == omitYear) {
        if (QDate(2000, m, d).isValid()) {
            b.month = m;
            b.day = d;
        }
        return b;
    }
    b.date = birthdayOf(y, m, d);
    return b;
}

// "yyyymmddThhnnss*" or "yyyy-mm-ddThh:nn:ss*"; a "Z" right after the time
// marks UTC. Returns false for any other form or an impossible date-time.
bool readRevision(QStringView s, int utcOffsetSeconds, DateValue &value)
{
    int y, mo, d, h, mi, se;
    qsizetype end = 0;
    if (digits(s, 0, 4, y) && digits(s, 4, 2, mo) && digits(s, 6, 2, d) && s.size() > 8
        && s[8] == u'T' && digits(s, 9, 2, h) && digits(s, 11, 2, mi) && digits(s, 13, 2, se)) {
        end = 15;
    } else if (s.size() >= 19 && s[4] == u'-' && s[7] == u'-' && s[10] == u'T' && s[13] == u':'
               && s[16] == u':' && digits(s, 0, 4, y) && digits(s, 5, 2, mo) && digits(s, 8, 2, d)
               && digits(s, 11, 2, h) && digits(s, 14, 2, mi) && digits(s, 17, 2, se)) {
        end = 19;
    } else {
        return false;
    }
    const QDate date(y, mo, d);
    const QTime time(h, mi, se);
    if (!date.isValid() || !time.isValid())
        return false;
    QDateTime dt(date, time, Qt::UTC);
    if (s.size() > end && (s[end] == u'Z' || s[end] == u'z'))
        dt = dt.addSecs(utcOffsetSeconds);
    const DateValue v = oleFromDateTime(dt);
    if (v == NoDate || !isShowableDate(v))
        return false;
    value = v;
    return true;
}

// The number of bytes a base64 text stands for.
qint64 base64Size(QByteArrayView v)
{
    qint64 chars = 0;
    for (const char c : v)
        if (isBase64Byte(c) && c != '=')
            ++chars;
    return chars * 3 / 4;
}

// A binary value left out: its name, what it holds and its size, as
// "PHOTO (画像 12,345 Byte)".
QString binaryValueText(const Property &p)
{
    QByteArrayView v = p.valueBytes.trimmed();
    qint64 size = 0;
    QByteArrayView media;
    if (!p.base64 && startsWithWord(v, "DATA:")) {
        // data:[<media type>][;base64],<data>
        const qsizetype comma = v.indexOf(',');
        const QByteArrayView head = comma < 0 ? v.sliced(5) : v.sliced(5, comma - 5);
        const QByteArrayView data = comma < 0 ? QByteArrayView() : v.sliced(comma + 1);
        media = head;
        if (head.size() >= 7 && isWord(head.last(7), ";BASE64")) {
            size = base64Size(data);
        } else {
            for (qsizetype i = 0; i < data.size(); ++i, ++size)
                if (data[i] == '%' && i + 2 < data.size())
                    i += 2;
        }
    } else {
        size = base64Size(v);
    }
    const QString name = QString::fromLatin1(p.name).toUpper();
    QString what;
    if (p.kind == Kind::Sound || startsWithWord(media, "AUDIO/"))
        what = QStringLiteral("音声");
    else if (p.kind == Kind::Key)
        what = QStringLiteral("暗号鍵");
    else if (p.kind == Kind::Photo || p.kind == Kind::Logo || startsWithWord(media, "IMAGE/")
             || name.contains(u"PHOTO") || name.contains(u"PICTURE") || name.contains(u"LOGO"))
        what = QStringLiteral("画像");
    else
        what = QStringLiteral("データ");
    QLocale c = QLocale::c();
    c.setNumberOptions({}); // 12,345
    return QStringLiteral("%1 (%2 %3 Byte)").arg(name, what, c.toString(size));
}

// A card being read.
struct OpenCard
{
    qsizetype index = -1; // -1: not added (counter full); its lines are skipped
    bool modern = false;  // VERSION 3.0 or 4.0 was read
    QString others;       // raw lines of the other items, each with CR LF
    // The names added to the card (compared with sameName), and whether
    // each was taken from N. Cards have few names: a list is cheaper than a
    // hash here.
    QStringList names;
    QList<bool> nameFromN;
    bool emptyN = false; // an N without any name was read
};

} // namespace

// Moved as bytes when the stack of open cards grows.
Q_DECLARE_TYPEINFO(OpenCard, Q_RELOCATABLE_TYPE);

namespace {

// Adds a name unless the card has it already (ignoring blanks). A name from
// FN replaces the same name taken from N, so that the formatted name's own
// spacing (a full-width space between family and given name) is kept.
void addName(Card &card, OpenCard &state, const QString &name, bool fromN, qsizetype *insertAt)
{
    qsizetype found = 0;
    while (found < state.names.size() && !sameName(state.names[found], name))
        ++found;
    if (found == state.names.size())
        found = -1;
    if (found >= 0) {
        if (!fromN && state.nameFromN[found]) {
            state.nameFromN[found] = false;
            for (QString &n : card.names) {
                if (sameName(n, name)) {
                    n = name;
                    break;
                }
            }
        }
        return;
    }
    state.names.append(name);
    state.nameFromN.append(fromN);
    if (insertAt)
        card.names.insert((*insertAt)++, name);
    else
        card.names.append(name);
}

void appendWithSeparator(QString &target, QStringView piece, TextStore &texts)
{
    if (target.isEmpty()) {
        target = texts.copy(piece);
        return;
    }
    {
        target = trimSpaces(target).toString();
        target += u"  ";
    }
    target += piece;
}

// The whole parse's state beside the book.
struct Reader
{
    const VcardReadOptions &opt;
    Source source;
    qsizetype replaced = 0;
    QStringList binaries;
    QString joined; // an N's components joined; kept for its capacity
    TextStore texts; // the cards' texts, cut from shared blocks
    QString adrParts; // an ADR's components that had escapes; kept for its capacity
    QString adrText;  // an address being joined; kept for its capacity

    Charset charsetOf(const Property &p, bool modern) const
    {
        if (p.charset != Charset::Unset)
            return p.charset;
        return modern ? Charset::Utf8 : source.fileDefault;
    }

    // The property's value as text (p.value).
    void decodeValue(Property &p, bool modern)
    {
        p.decoded.resize(0);
        const Charset cs = charsetOf(p, modern);
        if (p.quotedPrintable) {
            decodeQuotedPrintable(p.valueBytes, cs, source.decodedText, p.qpBytes);
            decodeAppend(p.qpBytes, cs, p.decoded, &replaced);
        } else {
            decodeAppend(p.valueBytes, source.decodedText ? Charset::Utf8 : cs, p.decoded,
                         &replaced);
        }
        p.value = p.decoded;
    }

    // The raw line, trimmed, among the card's other items (when they are
    // kept).
    void keepRaw(OpenCard &state, Property &p, bool modern)
    {
        if (!opt.lostMemoFlag)
            return;
        p.rawText.resize(0);
        decodeAppend(p.raw, source.decodedText ? Charset::Utf8 : charsetOf(p, modern), p.rawText,
                     &replaced);
        keepLine(state, QStringView(p.rawText).trimmed());
    }

    static void keepLine(OpenCard &state, QStringView line)
    {
        if (!line.isEmpty()) {
            state.others += line;
            state.others += CrLf;
        }
    }

    void apply(Card &card, OpenCard &state, Property &p);

    // A field's text cut from texts (an empty one stays an empty string).
    QString fieldText(QStringView text)
    {
        return text.isEmpty() ? text.toString() : texts.copy(text);
    }
};

bool isMediaKind(Kind k)
{
    return k == Kind::Photo || k == Kind::Logo || k == Kind::Sound || k == Kind::Key;
}

void Reader::apply(Card &card, OpenCard &state, Property &p)
{
    const bool modern = state.modern;
    QString &buf = p.part;
    if (p.kind == Kind::Other || p.kind == Kind::Begin || p.kind == Kind::End
        || isMediaKind(p.kind) || (p.kind == Kind::Nickname && !modern)) {
        const bool dataUri =
            isMediaKind(p.kind) && startsWithWord(p.valueBytes.trimmed(), "DATA:");
        const bool binary = p.hasColon && (p.base64 || dataUri);
        if (!binary) {
            keepRaw(state, p, modern);
            return;
        }
        // A photo, sound or key: never copied, only named.
        const QString text = binaryValueText(p);
        binaries.append(text);
        if (opt.lostMemoFlag)
            keepLine(state, QString(text + QStringLiteral(" は読み込んでいません")));
        return;
    }

    decodeValue(p, modern);
    auto parts = [&](bool commaToo, auto &&f) { forEachPart(p.value, commaToo, buf, f, modern); };
    auto firstComponent = [&] { return firstComponentOf(p.value, buf, modern); };
    // tel: and mailto: values of vCard 4.0 (and some 3.0 writers) are one
    // address without their scheme.
    auto isUri = [&](QStringView scheme) {
        return modern && p.value.startsWith(scheme, Qt::CaseInsensitive);
    };

    switch (p.kind) {
    case Kind::FN: {
        qsizetype at = 0;
        parts(false, [&](QStringView c) {
            const QStringView name = trimSpaces(c);
            if (!name.isEmpty())
                addName(card, state, texts.copy(name), false, p.pref ? &at : nullptr);
        });
        break;
    }
    case Kind::N: {
        joined.resize(0);
        parts(false, [&](QStringView c) {
            joined += c;
            joined += u' ';
        });
        const QString name = texts.copy(trimSpaces(joined));
        qsizetype at = 0;
        if (!name.isEmpty())
            addName(card, state, name, true, p.pref ? &at : nullptr);
        else
            state.emptyN = true;
        break;
    }
    case Kind::Nickname:
        // vCard 3.0/4.0: further names, separated by ",".
        parts(true, [&](QStringView c) {
            const QStringView name = trimSpaces(c);
            if (!name.isEmpty())
                addName(card, state, texts.copy(name), false, nullptr);
        });
        break;
    case Kind::Bday: {
        const QStringView value = trimSpaces(firstComponent());
        if (!modern) {
            card.birthday = readBirthday(value);
            break;
        }
        const ModernBirthday b = readModernBirthday(value, p.omitYear);
        card.birthday = b.date;
        if (b.month > 0) // no year: the month and day stay in the memo
            keepLine(state, QStringLiteral("BDAY:--%1%2")
                                .arg(b.month, 2, 10, QLatin1Char('0'))
                                .arg(b.day, 2, 10, QLatin1Char('0')));
        else if (b.date == NoDate && !value.isEmpty())
            keepRaw(state, p, modern);
        break;
    }
    case Kind::Adr: {
        // The components as views: into the value, or, for those with
        // escapes, into adrParts (placed once all are read, as the buffer
        // may move while it grows).
        struct Component { bool own; qsizetype from, size; };
        QVarLengthArray<Component, 8> found;
        adrParts.resize(0);
        parts(false, [&](QStringView v) {
            // Addresses compared as integers: v may lie in another buffer.
            const auto value = reinterpret_cast<quintptr>(p.value.data());
            const auto at = reinterpret_cast<quintptr>(v.data());
            const quintptr units = quintptr(p.value.size());
            if (v.isEmpty() || (at >= value && (at - value) / 2 + quintptr(v.size()) <= units)) {
                found.append({false, v.isEmpty() ? 0 : qsizetype((at - value) / 2), v.size()});
            } else {
                found.append({true, adrParts.size(), v.size()});
                adrParts += v;
            }
        });
        if (found.isEmpty())
            break;
        QVarLengthArray<QStringView, 8> c;
        for (const Component &k : found)
            c.append((k.own ? QStringView(adrParts) : p.value).sliced(k.from, k.size));
        QString &address = adrText;
        address.resize(0);
        if (!card.address.isEmpty()) {
            address += trimSpaces(card.address);
            address += u"  ";
        }
        if (modern) {
            // Written as a Japanese address is: region, locality, street,
            // extended address, post office box, country; the pieces joined
            // with one space.
            bool first = true;
            for (const int i : {4, 3, 2, 1, 0, 6}) {
                if (i >= c.size())
                    continue;
                QString piece = c[i].toString();
                piece.replace(CrLf, QStringLiteral(" "));
                piece.replace(u'\r', u' ');
                piece.replace(u'\n', u' ');
                const QStringView t = trimSpaces(piece);
                if (t.isEmpty())
                    continue;
                if (!first)
                    address += u' ';
                address += t;
                first = false;
            }
            if (c.size() > 5 && !trimSpaces(c[5]).isEmpty())
                card.postalCode = fieldText(trimSpaces(c[5]));
        } else {
            for (qsizetype i = c.size() - 1; i >= 0; --i) {
                if (i == 5) {
                    card.postalCode = fieldText(trimSpaces(c[i]));
                } else {
                    address += trimSpaces(c[i]);
                    address += u' ';
                }
            }
            address.replace(CrLf, QStringLiteral(" "));
        }
        card.address = fieldText(trimSpaces(address));
        break;
    }
    case Kind::Tel: {
        QString &target = p.fax ? card.fax : p.cell ? card.mobile : p.pager ? card.pager
                                                                             : card.telephone;
        if (isUri(u"tel:")) {
            // A scheme written twice ("tel: tel:...") is one scheme.
            QStringView number = p.value;
            while (number.startsWith(u"tel:", Qt::CaseInsensitive))
                number = trimSpaces(number.sliced(4));
            if (!number.isEmpty())
                appendWithSeparator(target, number, texts);
            break;
        }
        parts(false, [&](QStringView c) {
            const QStringView number = trimSpaces(c);
            if (!number.isEmpty())
                appendWithSeparator(target, number, texts);
        });
        break;
    }
    case Kind::Email: {
        qsizetype at = 0;
        auto add = [&](QStringView id) {
            if (id.isEmpty())
                return;
            if (p.pref)
                card.ids.insert(at++, texts.copy(id));
            else
                card.ids.append(texts.copy(id));
        };
        if (isUri(u"mailto:")) {
            QStringView id = p.value;
            while (id.startsWith(u"mailto:", Qt::CaseInsensitive))
                id = trimSpaces(id.sliced(7));
            add(id);
            break;
        }
        parts(false, [&](QStringView c) { add(trimSpaces(c)); });
        break;
    }
    case Kind::Note:
        if (const QStringView note = firstComponent(); card.memo.isEmpty() && !note.isEmpty())
            card.memo = texts.copy(note);
        else
            card.memo += note;
        break;
    case Kind::Rev:
        readRevision(trimSpaces(firstComponent()), opt.utcOffsetSeconds, card.updated);
        if (card.updated < card.created)
            card.created = card.updated;
        break;
    default:
        break;
    }
}

void finishCard(AddressBook &book, const OpenCard &state, const VcardReadOptions &opt,
                TextStore &texts)
{
    if (state.index >= 0 && state.modern && state.emptyN) {
        // A card without names in vCard 3.0/4.0 still has the N and FN that
        // the format requires: an FN that is one of its mail addresses is
        // no name.
        Card &card = book.cards[state.index];
        if (card.names.size() == 1 && !state.nameFromN.value(0)
            && card.ids.contains(card.names.first(), Qt::CaseInsensitive))
            card.names.clear();
    }
    if (state.index < 0 || state.others.isEmpty() || !opt.lostMemoFlag)
        return;
    // The memo, a line break, the header line and the other items, written
    // in one piece.
    QString &memo = book.cards[state.index].memo;
    const QStringView parts[] = {memo, CrLf, VcardOtherItemsHeader, CrLf, state.others};
    qsizetype units = 0;
    for (const QStringView part : parts)
        units += part.size();
    char16_t *to = texts.room(units);
    for (const QStringView part : parts)
        to = std::copy_n(part.utf16(), part.size(), to);
    memo = texts.take(units);
}

bool isModernVersion(QByteArrayView v)
{
    v = v.trimmed();
    return v.startsWith('3') || v.startsWith('4');
}

int parse(QByteArrayView bytes, const Source &source, AddressBook &book,
          const VcardReadOptions &options, ImportReport *report)
{
    book = AddressBook::newBook();
    const DateValue now = options.now == NoDate ? oleNow() : options.now;
    int dropped = 0;
    Reader reader{options, source, 0, {}, {}};
    // The cards begun and not yet ended, innermost last. An explicit stack:
    // a file of many unmatched BEGIN lines must not exhaust the call stack.
    QList<OpenCard> open;
    LineReader lines(bytes);
    Property p;
    while (!lines.atEnd()) {
        const bool modern = !open.isEmpty() && open.last().modern;
        readProperty(lines, p, modern);
        if (p.kind == Kind::Begin || p.kind == Kind::End) {
            QByteArrayView v = p.valueBytes;
            if (p.quotedPrintable) {
                decodeQuotedPrintable(v, Charset::Cp932, false, p.qpBytes);
                v = p.qpBytes;
            }
            if (isVcardValue(v)) {
                if (p.kind == Kind::Begin) {
                    ReadBudget::chargeBytes(qint64(sizeof(Card) + sizeof(OpenCard)));
                    OpenCard state;
                    if (book.cardCounter >= MaxCardCounter) {
                        ++dropped;
                    } else {
                        Card c = Card::newCard();
                        c.number = book.cardCounter;
                        c.created = now;
                        c.updated = now;
                        book.cards.append(std::move(c));
                        ++book.cardCounter;
                        state.index = book.cards.size() - 1;
                    }
                    open.append(std::move(state));
                } else if (!open.isEmpty()) {
                    finishCard(book, open.last(), options, reader.texts);
                    open.removeLast();
                }
                continue;
            }
        }
        if (open.isEmpty())
            continue; // outside a card everything else is ignored
        OpenCard &state = open.last();
        if (p.kind == Kind::Version) {
            state.modern = isModernVersion(p.valueBytes);
            continue;
        }
        // The value, or the raw line when it is kept among the other items.
        ReadBudget::chargeValue(std::max(p.value.size(), p.raw.size()));
        if (state.index >= 0)
            reader.apply(book.cards[state.index], state, p);
    }
    // Cards left open at the end of the text keep what was read, their other
    // items included.
    while (!open.isEmpty()) {
        finishCard(book, open.last(), options, reader.texts);
        open.removeLast();
    }
    if (report) {
        report->cardsMade += book.cardCount() - 1;
        report->cardsLeftOut += dropped;
        report->charactersReplaced += reader.replaced;
        report->binaryValuesLeftOut += reader.binaries;
    }
    return dropped;
}

} // namespace

int localStandardUtcOffset()
{
    return QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTime());
}

int parseVcardBytes(QByteArrayView bytes, AddressBook &book, const VcardReadOptions &options,
                    ImportReport *report)
{
    Source source;
    if (utf8::startsWithBom(bytes)) {
        bytes = bytes.sliced(3);
        source.fileDefault = Charset::Utf8;
    }
    switch (options.encoding) {
    case VcardEncoding::Cp932:
        source.fileDefault = Charset::Cp932;
        break;
    case VcardEncoding::Utf8:
        source.fileDefault = Charset::Utf8;
        break;
    case VcardEncoding::Auto:
        if (source.fileDefault != Charset::Utf8 && utf8::looksLikeUtf8(bytes))
            source.fileDefault = Charset::Utf8;
        break;
    }
    return parse(bytes, source, book, options, report);
}

int parseVcardText(QStringView text, AddressBook &book, const VcardReadOptions &options,
                   ImportReport *report)
{
    Source source;
    source.decodedText = true;
    source.fileDefault =
        options.encoding == VcardEncoding::Utf8 ? Charset::Utf8 : Charset::Cp932;
    return parse(utf8::encode(text), source, book, options, report);
}

// ---- Writing ----------------------------------------------------------------

namespace {

// Appends the quoted-printable form of text, breaking lines with a soft
// line break before a piece would make the line reach 75 characters.
class QuotedPrintableWriter
{
public:
    // replaced (when given) counts the characters written as "?".
    QuotedPrintableWriter(QString &out, qsizetype column, qsizetype *replaced)
        : m_out(out), m_column(column), m_replaced(replaced)
    {
    }

    void append(QStringView text)
    {
        static const char hex[] = "0123456789ABCDEF";
        const QByteArray bytes = cp932::encode(text, m_replaced);
        for (const char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            // A blank may not begin a line: the reader would take that line
            // as the folded continuation of the one before.
            const bool blank = b == 9 || b == 32;
            if ((blank && m_column > 0 && m_column + 1 < 75) || (b >= 33 && b <= 60)
                || (b >= 62 && b <= 94) || (b >= 96 && b <= 126)) {
                piece(1);
                m_out += QChar(b);
            } else {
                piece(3);
                m_out += u'=';
                m_out += QChar(hex[b >> 4]);
                m_out += QChar(hex[b & 15]);
            }
        }
    }

    // A character of the line's structure (a component separator).
    void appendPlain(QChar c)
    {
        piece(1);
        m_out += c;
    }

private:
    void piece(int width)
    {
        if (m_column + width >= 75) {
            m_out += u"=\r\n";
            m_column = 0;
        }
        m_column += width;
    }

    QString &m_out;
    qsizetype m_column;
    qsizetype *m_replaced;
};

// Appends a value for a line without quoted-printable, escaped
// (vcardEscape): line breaks would split the property, so each (CR LF, a
// lone CR, a lone LF) becomes a space.
void appendSingleLine(QString &out, QStringView value)
{
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && value[i + 1] == u'\n')
                ++i;
            out += u' ';
            continue;
        }
        if (c == u';' || c == u'\\' || c == u',')
            out += u'\\';
        out += c;
    }
}

bool isNameBlank(QChar c)
{
    return c == u' ' || c == u'\u3000' || c == u'\t';
}

QStringView trimNameBlanks(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isNameBlank(s[b]))
        ++b;
    while (e > b && isNameBlank(s[e - 1]))
        --e;
    return s.sliced(b, e - b);
}

// Appends the N value: family and given name split at the first half-width
// space, else the first full-width space, else the first TAB.
void appendNameSplit(QString &out, QStringView escaped)
{
    const QStringView s = trimNameBlanks(escaped);
    qsizetype at = s.indexOf(u' ');
    if (at < 0)
        at = s.indexOf(u'\u3000');
    if (at < 0)
        at = s.indexOf(u'\t');
    if (at < 0) {
        out += s;
        return;
    }
    out += trimNameBlanks(s.first(at));
    out += u';';
    out += trimNameBlanks(s.sliced(at + 1));
}

void line(QString &out, QStringView prefix, QStringView value)
{
    out += prefix;
    out += value;
    out += CrLf;
}

// A line of a value without quoted-printable (appendSingleLine).
void singleLineProperty(QString &out, QStringView prefix, QStringView value)
{
    out += prefix;
    appendSingleLine(out, value);
    out += CrLf;
}

void appendDigits(QString &out, int value, int width)
{
    char16_t buf[8];
    for (int i = width - 1; i >= 0; --i) {
        buf[i] = char16_t(u'0' + value % 10);
        value /= 10;
    }
    out.append(QStringView(buf, width));
}

// "yyyymmdd".
void appendDate(QString &out, const QDate &d)
{
    appendDigits(out, d.year(), 4);
    appendDigits(out, d.month(), 2);
    appendDigits(out, d.day(), 2);
}

} // namespace

QString vcardEscape(QStringView value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (const QChar c : value) {
        if (c == u';' || c == u'\\' || c == u',')
            out += u'\\';
        out += c;
    }
    return out;
}

QString vcardCardText(const Card &card, const VcardWriteOptions &options, qsizetype *replaced)
{
    QString out;
    out.reserve(256);
    out += u"BEGIN:VCARD\r\nVERSION:2.1\r\n";

    const bool severalNames = card.names.size() >= 2;
    QString escaped;
    for (qsizetype i = 0; i < card.names.size(); ++i) {
        escaped.resize(0);
        appendSingleLine(escaped, card.names[i]);
        const bool pref = severalNames && i == 0;
        out += pref ? u"N;PREF:" : u"N:";
        appendNameSplit(out, escaped);
        out += CrLf;
        line(out, pref ? u"FN;PREF:" : u"FN:", escaped);
    }

    if (!card.memo.isEmpty()) {
        const QStringView prefix = u"NOTE;ENCODING=QUOTED-PRINTABLE:";
        out += prefix;
        QuotedPrintableWriter qp(out, cp932::encodedLength(prefix), replaced);
        qp.append(vcardEscape(card.memo));
        out += CrLf;
    }

    if (!card.telephone.isEmpty())
        singleLineProperty(out, u"TEL;WORK;HOME;VOICE:", card.telephone);
    if (!card.mobile.isEmpty())
        singleLineProperty(out, u"TEL;WORK;HOME;CELL;VOICE:", card.mobile);
    if (!card.pager.isEmpty())
        singleLineProperty(out, u"TEL;WORK;HOME;PAGER;VOICE:", card.pager);
    if (!card.fax.isEmpty())
        singleLineProperty(out, u"TEL;WORK;HOME;FAX:", card.fax);

    if (!card.address.isEmpty() || !card.postalCode.isEmpty()) {
        const QStringView prefix = u"ADR;INTL;POSTAL;PARCEL;WORK;HOME;ENCODING=QUOTED-PRINTABLE:;";
        out += prefix;
        QuotedPrintableWriter qp(out, cp932::encodedLength(prefix), replaced);
        qp.append(vcardEscape(card.address));
        for (int i = 0; i < 4; ++i)
            qp.appendPlain(u';');
        qp.append(vcardEscape(card.postalCode));
        qp.appendPlain(u';');
        out += CrLf;
    }

    const bool severalIds = card.ids.size() >= 2;
    for (qsizetype i = 0; i < card.ids.size(); ++i) {
        singleLineProperty(out, severalIds && i == 0 ? u"EMAIL;PREF;INTERNET:" : u"EMAIL;INTERNET:",
                           serviceMailAddress(card.ids[i], options.niftyDomain));
    }

    if (card.birthday != NoDate) {
        const QDate d = oleToDate(card.birthday);
        if (d.isValid()) {
            out += u"BDAY:";
            appendDate(out, d);
            out += CrLf;
        }
    }
    if (card.updated != NoDate) {
        const QDateTime local = oleToDateTime(card.updated);
        if (local.isValid()) {
            const QDateTime utc = local.addSecs(-options.utcOffsetSeconds);
            const QTime t = utc.time();
            if (utc.date().year() >= 1 && utc.date().year() <= 9999) {
                out += u"REV:";
                appendDate(out, utc.date());
                out += u'T';
                appendDigits(out, t.hour(), 2);
                appendDigits(out, t.minute(), 2);
                appendDigits(out, t.second(), 2);
                out += u"Z\r\n";
            }
        }
    }
    out += u"END:VCARD\r\n";
    return out;
}

QString vcardFileText(const AddressBook &book, const VcardWriteOptions &options,
                      const Progress &progress, bool *cancelled, qsizetype *replaced)
{
    if (cancelled)
        *cancelled = false;
    const qsizetype cards = book.cardCount() - 1;
    TextAccumulator acc;
    for (qsizetype i = 1; i <= cards; ++i) {
        if (acc.append(vcardCardText(book.cards[i], options, replaced))
            && !keepGoing(progress, i, cards)) {
            if (cancelled)
                *cancelled = true;
            return QString();
        }
    }
    return acc.take();
}

int VcdFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                const VcardReadOptions &options)
{
    book = AddressBook::newBook();
    QByteArray bytes;
    if (readFileForImport(path, bytes, prompter) != 0)
        return -1;
    ImportReport report;
    parseVcardBytes(bytes, book, options, &report);
    registerUsedGroups(book);
    report.tell(prompter);
    return 0;
}

int VcdFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                 const VcardWriteOptions &options, const Progress &progress, bool trashOld)
{
    bool cancelled = false;
    qsizetype replaced = 0; // in quoted-printable values, then in the rest
    const QString text = vcardFileText(book, options, progressPart(progress, 0, TextBuildPercent),
                                       &cancelled, &replaced);
    if (cancelled)
        return -1;
    if (writeTextFileSafely(path, text, prompter,
                            progressPart(progress, TextBuildPercent, 100), trashOld, &replaced) != 0)
        return -1;
    reportReplacedCharacters(book, replaced, [&](qsizetype index) -> qsizetype {
        if (index == 0)
            return 0;
        qsizetype inValues = 0;
        const QString part = vcardCardText(book.cards[index], options, &inValues);
        return inValues + cp932::unencodableCount(part);
    }, prompter);
    return 0;
}
