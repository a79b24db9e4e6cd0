// Writing vCard 3.0 in UTF-8 (the layout is described in vcard.h).
#include "formats/vcard.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include "common/oledate.h"
#include "formats/fileprocs.h"

namespace {

// The longest line, in octets, CR LF not counted.
constexpr qsizetype MaxLineOctets = 75;

// Appends the UTF-8 form of text; a lone surrogate (no character) is
// written as U+FFFD.
void appendUtf8(QByteArray &out, QStringView text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), text[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
        }
        out += char(0x80 | (c & 0x3F));
    }
}

// Appends a text value: "\", "," and ";" get a backslash, every line break
// (CR LF, CR or LF) becomes "\n".
void appendText(QByteArray &out, QStringView value)
{
    qsizetype run = 0;
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = value[i].unicode();
        if (c != u'\\' && c != u',' && c != u';' && c != u'\r' && c != u'\n')
            continue;
        appendUtf8(out, value.sliced(run, i - run));
        if (c == u'\r' || c == u'\n') {
            out += "\\n";
            if (c == u'\r' && i + 1 < n && value[i + 1] == u'\n')
                ++i;
        } else {
            out += '\\';
            out += char(c);
        }
        run = i + 1;
    }
    appendUtf8(out, value.sliced(run));
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

// The N value of a name: family;given;;; split at the first half-width
// space, else the first full-width space, else the first TAB, as the 2.1
// writer splits it; a name without any is the family name alone.
void appendNameSplit(QByteArray &out, QStringView name)
{
    const QStringView s = trimNameBlanks(name);
    qsizetype at = s.indexOf(u' ');
    if (at < 0)
        at = s.indexOf(u'\u3000');
    if (at < 0)
        at = s.indexOf(u'\t');
    if (at < 0) {
        appendText(out, s);
        out += ";;;;";
        return;
    }
    appendText(out, trimNameBlanks(s.first(at)));
    out += ';';
    appendText(out, trimNameBlanks(s.sliced(at + 1)));
    out += ";;;";
}

void appendDigits(QByteArray &out, int value, int width)
{
    char buf[8];
    for (int i = width - 1; i >= 0; --i) {
        buf[i] = char('0' + value % 10);
        value /= 10;
    }
    out.append(buf, width);
}

// "yyyy-mm-dd".
void appendDate(QByteArray &out, const QDate &d)
{
    appendDigits(out, d.year(), 4);
    out += '-';
    appendDigits(out, d.month(), 2);
    out += '-';
    appendDigits(out, d.day(), 2);
}

// Builds one card's lines: each line is put together in line(), then
// appended to out folded.
class CardWriter
{
public:
    explicit CardWriter(QByteArray &out) : m_out(out) {}

    // The line being built; begin() starts it with its name and parameters.
    QByteArray &begin(const char *head)
    {
        m_line.resize(0);
        m_line += head;
        return m_line;
    }

    // A line with one text value.
    void text(const char *head, QStringView value)
    {
        appendText(begin(head), value);
        end();
    }

    // Appends the line, folded, with CR LF.
    void end()
    {
        QByteArrayView rest(m_line);
        qsizetype limit = MaxLineOctets;
        while (rest.size() > limit) {
            qsizetype cut = limit;
            // Never inside a character: back up to the octet that starts it.
            while (cut > 1 && (quint8(rest[cut]) & 0xC0) == 0x80)
                --cut;
            m_out.append(rest.first(cut));
            m_out += "\r\n ";
            rest = rest.sliced(cut);
            limit = MaxLineOctets - 1; // the space that marks the fold counts
        }
        m_out.append(rest);
        m_out += "\r\n";
    }

private:
    QByteArray &m_out;
    QByteArray m_line;
};

} // namespace

void appendVcard3Card(QByteArray &out, const Card &card, const VcardWriteOptions &options)
{
    CardWriter w(out);
    out += "BEGIN:VCARD\r\nVERSION:3.0\r\n";

    // One N and one FN: the first name gives them, the others are nicknames.
    // A card without names keeps the two lines the format requires.
    if (card.names.isEmpty()) {
        out += "N:;;;;\r\n";
        w.text("FN:", card.ids.isEmpty()
                          ? QString()
                          : serviceMailAddress(card.ids.first(), options.niftyDomain));
    } else {
        appendNameSplit(w.begin("N:"), card.names.first());
        w.end();
        w.text("FN:", card.names.first());
    }
    if (card.names.size() > 1) {
        QByteArray &l = w.begin("NICKNAME:");
        for (qsizetype i = 1; i < card.names.size(); ++i) {
            if (i > 1)
                l += ',';
            appendText(l, card.names[i]);
        }
        w.end();
    }

    if (!card.memo.isEmpty())
        w.text("NOTE:", card.memo);
    if (!card.telephone.isEmpty())
        w.text("TEL;TYPE=VOICE:", card.telephone);
    if (!card.mobile.isEmpty())
        w.text("TEL;TYPE=CELL:", card.mobile);
    if (!card.pager.isEmpty())
        w.text("TEL;TYPE=PAGER:", card.pager);
    if (!card.fax.isEmpty())
        w.text("TEL;TYPE=FAX:", card.fax);

    // Post office box; extended address; street; locality; region; postal
    // code; country: the whole address is the street.
    if (!card.address.isEmpty() || !card.postalCode.isEmpty()) {
        QByteArray &l = w.begin("ADR:;;");
        appendText(l, card.address);
        l += ";;;";
        appendText(l, card.postalCode);
        l += ';';
        w.end();
    }

    const bool severalIds = card.ids.size() >= 2;
    for (qsizetype i = 0; i < card.ids.size(); ++i)
        w.text(severalIds && i == 0 ? "EMAIL;TYPE=INTERNET,PREF:" : "EMAIL;TYPE=INTERNET:",
               serviceMailAddress(card.ids[i], options.niftyDomain));

    if (card.birthday != NoDate) {
        const QDate d = oleToDate(card.birthday);
        if (d.isValid() && d.year() >= 1 && d.year() <= 9999) {
            out += "BDAY:";
            appendDate(out, d);
            out += "\r\n";
        }
    }
    if (card.updated != NoDate) {
        const QDateTime local = oleToDateTime(card.updated);
        if (local.isValid()) {
            const QDateTime utc = local.addSecs(-options.utcOffsetSeconds);
            const QDate d = utc.date();
            const QTime t = utc.time();
            if (d.year() >= 1 && d.year() <= 9999) {
                out += "REV:";
                appendDate(out, d);
                out += 'T';
                appendDigits(out, t.hour(), 2);
                out += ':';
                appendDigits(out, t.minute(), 2);
                out += ':';
                appendDigits(out, t.second(), 2);
                out += "Z\r\n";
            }
        }
    }
    out += "END:VCARD\r\n";
}

QByteArray vcard3FileBytes(const AddressBook &book, const VcardWriteOptions &options,
                           const Progress &progress, bool *cancelled)
{
    constexpr qsizetype Step = 16 * 1024;
    if (cancelled)
        *cancelled = false;
    const qsizetype cards = book.cardCount() - 1;
    QByteArray out;
    qsizetype nextCall = Step;
    for (qsizetype i = 1; i <= cards; ++i) {
        appendVcard3Card(out, book.cards[i], options);
        if (out.size() >= nextCall) {
            nextCall = out.size() + Step;
            if (!keepGoing(progress, i, cards)) {
                if (cancelled)
                    *cancelled = true;
                return QByteArray();
            }
        }
    }
    return out;
}

int Vcd3FileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                  const VcardWriteOptions &options, const Progress &progress, bool trashOld)
{
    bool cancelled = false;
    const QByteArray bytes = vcard3FileBytes(
        book, options, progressPart(progress, 0, TextBuildPercent), &cancelled);
    if (cancelled)
        return -1;
    return writeBytesFileSafely(path, bytes, prompter,
                                progressPart(progress, TextBuildPercent, 100), trashOld);
}
