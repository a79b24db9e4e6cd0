#include "formats/vcard.h"
#include "common/textwidth.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QTimeZone>

#include "common/cp932.h"
#include "common/oledate.h"
#include "core/cardops.h"
#include "common/readbudget.h"
#include "formats/fileprocs.h"

const QString VcardOtherItemsHeader = QStringLiteral("---- vCard その他の項目 ----");

namespace {

const QString CrLf = QStringLiteral("\r\n");


bool isFoldChar(QChar c)
{
    return c == u' ' || c == u'\t';
}

// Physical lines: CR LF, a lone LF and a lone CR each end a line. The text
// after the last line end is a line of its own.
class LineReader
{
public:
    explicit LineReader(QStringView text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return m_text[m_pos]; }

    QStringView next()
    {
        const qsizetype n = m_text.size();
        const QChar *d = m_text.data();
        qsizetype i = m_pos;
        while (i < n && d[i] != u'\r' && d[i] != u'\n')
            ++i;
        const QStringView line = m_text.sliced(m_pos, i - m_pos);
        if (i < n)
            i += (d[i] == u'\r' && i + 1 < n && d[i + 1] == u'\n') ? 2 : 1;
        m_pos = i;
        return line;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

enum class Kind { Other, Begin, End, FN, N, Bday, Adr, Tel, Email, Note, Rev, Version };

Kind kindOf(QStringView name)
{
    static const struct {
        const char16_t *name;
        Kind kind;
    } table[] = {
        {u"BEGIN", Kind::Begin}, {u"END", Kind::End},     {u"FN", Kind::FN},
        {u"N", Kind::N},         {u"BDAY", Kind::Bday},   {u"ADR", Kind::Adr},
        {u"TEL", Kind::Tel},     {u"EMAIL", Kind::Email}, {u"NOTE", Kind::Note},
        {u"REV", Kind::Rev},     {u"VERSION", Kind::Version},
    };
    for (const auto &e : table)
        if (name.compare(QStringView(e.name), Qt::CaseInsensitive) == 0)
            return e.kind;
    return Kind::Other;
}

bool isEscapable(QChar c)
{
    return c == u';' || c == u',' || c == u'\\';
}

// Splits text at the separators (";", or ";" and ","); a backslash before
// ";", "," or "\" gives that character, before anything else it stays.
// Calls f with each part, a view into text or, for a part with escapes,
// into buffer. Empty parts between separators are passed; an empty last
// part is not.
template<typename F>
void forEachPart(QStringView text, bool commaToo, QString &buffer, F &&f)
{
    const qsizetype n = text.size();
    qsizetype start = 0;
    bool escaped = false;
    auto give = [&](qsizetype end) {
        if (!escaped) {
            f(text.sliced(start, end - start));
            return;
        }
        buffer.resize(0);
        for (qsizetype i = start; i < end; ++i) {
            if (text[i] == u'\\' && i + 1 < end && isEscapable(text[i + 1]))
                ++i;
            buffer += text[i];
        }
        f(QStringView(buffer));
    };
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < n && isEscapable(text[i + 1])) {
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

struct Property
{
    Kind kind = Kind::Other;
    bool quotedPrintable = false;
    bool pref = false;
    bool fax = false;
    bool cell = false;
    bool pager = false;
    QStringView value; // decoded, components not yet split
    QStringView raw;   // the property as it stood in the file, unfolded

    // Storage behind value and raw when they are not views into the text;
    // kept from property to property so that its capacity is reused.
    QString unfolded;
    QString joined;
    QString decoded;
    QString rawJoined;
    QString part;
    QByteArray bytes;

    void reset()
    {
        kind = Kind::Other;
        quotedPrintable = pref = fax = cell = pager = false;
        value = raw = QStringView();
    }
};

// Splits the text before the colon at ";" and "," into the name and the
// parameters and classifies them.
void readHead(QStringView head, Property &p)
{
    bool first = true;
    forEachPart(head, true, p.part, [&](QStringView part) {
        if (first) {
            first = false;
            p.kind = kindOf(part);
            return;
        }
        if (part.startsWith(u"ENCODING=", Qt::CaseInsensitive))
            part = part.sliced(9);
        else if (part.startsWith(u"TYPE=", Qt::CaseInsensitive))
            part = part.sliced(5);
        if (part.compare(u"QUOTED-PRINTABLE", Qt::CaseInsensitive) == 0)
            p.quotedPrintable = true;
        else if (part.compare(u"PREF", Qt::CaseInsensitive) == 0)
            p.pref = true;
        else if (part.compare(u"FAX", Qt::CaseInsensitive) == 0)
            p.fax = true;
        else if (part.compare(u"CELL", Qt::CaseInsensitive) == 0)
            p.cell = true;
        else if (part.compare(u"PAGER", Qt::CaseInsensitive) == 0)
            p.pager = true;
    });
}

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// "=" and two hexadecimal digits give that byte; every other character stands
// for its own CP932 bytes (a "=" without two digits is kept as it is). The
// bytes are then read as CP932.
QString decodeQuotedPrintable(QStringView v, QByteArray &bytes)
{
    bytes.resize(0);
    const qsizetype n = v.size();
    qsizetype run = 0;
    for (qsizetype i = 0; i < n;) {
        if (v[i] == u'=' && i + 2 < n) {
            const int hi = hexValue(v[i + 1]);
            const int lo = hexValue(v[i + 2]);
            if (hi >= 0 && lo >= 0) {
                cp932::encodeAppend(v.sliced(run, i - run), bytes);
                bytes.append(char(hi * 16 + lo));
                i += 3;
                run = i;
                continue;
            }
        }
        ++i;
    }
    cp932::encodeAppend(v.sliced(run), bytes);
    return cp932::decode(bytes);
}

// Reads the next property: takes a physical line, unfolds the lines that
// continue it and, for a quoted-printable value, joins the soft line breaks.
void readProperty(LineReader &lines, Property &p)
{
    p.reset();
    const QStringView first = lines.next();
    QStringView line = first;
    if (!lines.atEnd() && isFoldChar(lines.peek())) {
        p.unfolded.resize(0);
        p.unfolded += first;
        while (!lines.atEnd() && isFoldChar(lines.peek())) {
            QStringView cont = lines.next();
            qsizetype k = 0;
            while (k < cont.size() && isFoldChar(cont[k]))
                ++k;
            p.unfolded += cont.sliced(k);
        }
        line = p.unfolded;
    }
    p.raw = line;

    const qsizetype colon = line.size() > 1 ? line.indexOf(u':', 1) : -1;
    if (colon < 0)
        return; // an other item
    readHead(line.first(colon), p);
    p.value = line.sliced(colon + 1);
    if (!p.quotedPrintable)
        return;
    if (p.value.endsWith(u'=') && !lines.atEnd()) {
        // The soft line breaks' lines belong to the raw line as well, so that
        // an other item is kept whole.
        p.joined.resize(0);
        p.joined += p.value;
        p.rawJoined.resize(0);
        p.rawJoined += line;
        while (p.joined.endsWith(u'=') && !lines.atEnd()) {
            p.joined.chop(1);
            const QStringView next = lines.next();
            p.joined += next;
            p.rawJoined += CrLf;
            p.rawJoined += next;
        }
        p.raw = p.rawJoined;
        p.value = p.joined;
    }
    p.decoded = decodeQuotedPrintable(p.value, p.bytes);
    p.value = p.decoded;
}

// The first component of a value (see forEachPart), or an empty view.
QStringView firstComponent(QStringView v, QString &buffer)
{
    QStringView out;
    bool seen = false;
    forEachPart(v, false, buffer, [&](QStringView c) {
        if (!seen)
            out = c;
        seen = true;
    });
    return out;
}

bool isVcardValue(QStringView v, QString &buffer)
{
    return firstComponent(v, buffer).trimmed().compare(u"VCARD", Qt::CaseInsensitive) == 0;
}

// The name without half-width spaces, full-width spaces and TABs: two names
// are the same person's when these are equal.
QString nameKey(QStringView name)
{
    QString k;
    k.reserve(name.size());
    for (const QChar c : name)
        if (c != u' ' && c != u'\u3000' && c != u'\t')
            k += c;
    return k;
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
    if (!ok)
        return NoDate;
    const DateValue v = oleFromDate(QDate(y, m, d));
    return v != NoDate && isShowableDate(v) ? v : NoDate;
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

// A card being read.
struct OpenCard
{
    qsizetype index = -1; // -1: not added (counter full); its lines are skipped
    QString others;       // raw lines of the other items, each with CR LF
    // The keys (nameKey) of the card's names, in no particular order, and
    // whether each name was taken from N. Cards have few names: a list is
    // cheaper than a hash here.
    QStringList nameKeys;
    QList<bool> nameFromN;
};

// Adds a name unless the card has it already (ignoring blanks). A name from
// FN replaces the same name taken from N, so that the formatted name's own
// spacing (a full-width space between family and given name) is kept.
void addName(Card &card, OpenCard &state, const QString &name, bool fromN, qsizetype *insertAt)
{
    const QString key = nameKey(name);
    const qsizetype found = state.nameKeys.indexOf(key);
    if (found >= 0) {
        if (!fromN && state.nameFromN[found]) {
            state.nameFromN[found] = false;
            for (QString &n : card.names) {
                if (nameKey(n) == key) {
                    n = name;
                    break;
                }
            }
        }
        return;
    }
    state.nameKeys.append(key);
    state.nameFromN.append(fromN);
    if (insertAt)
        card.names.insert((*insertAt)++, name);
    else
        card.names.append(name);
}

void appendWithSeparator(QString &target, QStringView piece)
{
    if (!target.isEmpty()) {
        target = trimSpaces(target).toString();
        target += u"  ";
    }
    target += piece;
}

void applyProperty(Card &card, OpenCard &state, Property &p, const VcardReadOptions &opt)
{
    QString &buf = p.part;
    switch (p.kind) {
    case Kind::FN: {
        qsizetype at = 0;
        forEachPart(p.value, false, buf, [&](QStringView c) {
            const QStringView name = trimSpaces(c);
            if (!name.isEmpty())
                addName(card, state, name.toString(), false, p.pref ? &at : nullptr);
        });
        break;
    }
    case Kind::N: {
        QString joined;
        forEachPart(p.value, false, buf, [&](QStringView c) {
            joined += c;
            joined += u' ';
        });
        const QString name = trimSpaces(joined).toString();
        qsizetype at = 0;
        if (!name.isEmpty())
            addName(card, state, name, true, p.pref ? &at : nullptr);
        break;
    }
    case Kind::Bday:
        card.birthday = readBirthday(trimSpaces(firstComponent(p.value, buf)));
        break;
    case Kind::Adr: {
        QStringList c;
        forEachPart(p.value, false, buf, [&](QStringView v) { c.append(v.toString()); });
        if (c.isEmpty())
            break;
        QString address = card.address;
        if (!address.isEmpty()) {
            address = trimSpaces(address).toString();
            address += u"  ";
        }
        for (qsizetype i = c.size() - 1; i >= 0; --i) {
            if (i == 5) {
                card.postalCode = trimSpaces(c[i]).toString();
            } else {
                address += trimSpaces(c[i]);
                address += u' ';
            }
        }
        address.replace(CrLf, QStringLiteral(" "));
        card.address = trimSpaces(address).toString();
        break;
    }
    case Kind::Tel: {
        QString &target = p.fax ? card.fax : p.cell ? card.mobile : p.pager ? card.pager
                                                                             : card.telephone;
        forEachPart(p.value, false, buf, [&](QStringView c) {
            const QStringView number = trimSpaces(c);
            if (!number.isEmpty())
                appendWithSeparator(target, number);
        });
        break;
    }
    case Kind::Email: {
        qsizetype at = 0;
        forEachPart(p.value, false, buf, [&](QStringView c) {
            const QStringView id = trimSpaces(c);
            if (id.isEmpty())
                return;
            if (p.pref)
                card.ids.insert(at++, id.toString());
            else
                card.ids.append(id.toString());
        });
        break;
    }
    case Kind::Note:
        card.memo += firstComponent(p.value, buf);
        break;
    case Kind::Rev:
        readRevision(trimSpaces(firstComponent(p.value, buf)), opt.utcOffsetSeconds,
                     card.updated);
        if (card.updated < card.created)
            card.created = card.updated;
        break;
    case Kind::Version:
        break;
    case Kind::Begin:
    case Kind::End:
    case Kind::Other: {
        const QStringView raw = p.raw.trimmed();
        if (!raw.isEmpty()) {
            state.others += raw;
            state.others += CrLf;
        }
        break;
    }
    }
}

void finishCard(AddressBook &book, const OpenCard &state, const VcardReadOptions &opt)
{
    if (state.index < 0 || state.others.isEmpty() || !opt.lostMemoFlag)
        return;
    QString &memo = book.cards[state.index].memo;
    memo += CrLf;
    memo += VcardOtherItemsHeader;
    memo += CrLf;
    memo += state.others;
}

} // namespace

int localStandardUtcOffset()
{
    return QTimeZone::systemTimeZone().standardTimeOffset(QDateTime::currentDateTime());
}

int parseVcardText(QStringView text, AddressBook &book, const VcardReadOptions &options)
{
    book = AddressBook::newBook();
    const DateValue now = options.now == NoDate ? oleNow() : options.now;
    int dropped = 0;
    // The cards begun and not yet ended, innermost last. An explicit stack:
    // a file of many unmatched BEGIN lines must not exhaust the call stack.
    QList<OpenCard> open;
    LineReader lines(text);
    Property p;
    while (!lines.atEnd()) {
        readProperty(lines, p);
        if (p.kind == Kind::Begin && isVcardValue(p.value, p.part)) {
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
            continue;
        }
        if (open.isEmpty())
            continue; // outside a card everything else is ignored
        if (p.kind == Kind::End && isVcardValue(p.value, p.part)) {
            finishCard(book, open.last(), options);
            open.removeLast();
            continue;
        }
        OpenCard &state = open.last();
        // The value, or the raw line when it is kept among the other items.
        ReadBudget::chargeValue(std::max(p.value.size(), p.raw.size()));
        if (state.index >= 0)
            applyProperty(book.cards[state.index], state, p, options);
    }
    // Cards left open at the end of the text keep what was read, their other
    // items included.
    while (!open.isEmpty()) {
        finishCard(book, open.last(), options);
        open.removeLast();
    }
    return dropped;
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

// A value for a line without quoted-printable: line breaks would split the
// property, so they become spaces.
QString singleLine(QStringView value)
{
    QString s = value.toString();
    s.replace(CrLf, QStringLiteral(" "));
    s.replace(u'\r', u' ');
    s.replace(u'\n', u' ');
    return s;
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

// The N value: family and given name split at the first half-width space,
// else the first full-width space, else the first TAB.
QString nameSplit(const QString &escaped)
{
    const QStringView s = trimNameBlanks(escaped);
    qsizetype at = s.indexOf(u' ');
    if (at < 0)
        at = s.indexOf(u'\u3000');
    if (at < 0)
        at = s.indexOf(u'\t');
    if (at < 0)
        return s.toString();
    QString out = trimNameBlanks(s.first(at)).toString();
    out += u';';
    out += trimNameBlanks(s.sliced(at + 1));
    return out;
}

void line(QString &out, QStringView prefix, QStringView value)
{
    out += prefix;
    out += value;
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
    for (qsizetype i = 0; i < card.names.size(); ++i) {
        const QString escaped = vcardEscape(singleLine(card.names[i]));
        const bool pref = severalNames && i == 0;
        line(out, pref ? u"N;PREF:" : u"N:", nameSplit(escaped));
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
        line(out, u"TEL;WORK;HOME;VOICE:", vcardEscape(singleLine(card.telephone)));
    if (!card.mobile.isEmpty())
        line(out, u"TEL;WORK;HOME;CELL;VOICE:", vcardEscape(singleLine(card.mobile)));
    if (!card.pager.isEmpty())
        line(out, u"TEL;WORK;HOME;PAGER;VOICE:", vcardEscape(singleLine(card.pager)));
    if (!card.fax.isEmpty())
        line(out, u"TEL;WORK;HOME;FAX:", vcardEscape(singleLine(card.fax)));

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
        const QString id = singleLine(serviceMailAddress(card.ids[i], options.niftyDomain));
        line(out, severalIds && i == 0 ? u"EMAIL;PREF;INTERNET:" : u"EMAIL;INTERNET:",
             vcardEscape(id));
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
    QString text;
    if (readTextFileForImport(path, text, prompter) != 0)
        return -1;
    const int dropped = parseVcardText(text, book, options);
    reportDroppedCards(int(book.cardCount() - 1), dropped, prompter);
    registerUsedGroups(book);
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
