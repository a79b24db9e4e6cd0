#include "formats/csv.h"
#include "common/textwidth.h"

#include <QSet>
#include <algorithm>
#include <cstring>
#include <vector>

#include "common/cp932.h"
#include "common/oledate.h"
#include "common/textcompare.h"
#include "common/textstore.h"
#include "common/utf8.h"
#include "core/cardops.h"
#include "common/readbudget.h"
#include "formats/fileprocs.h"
#include "formats/importreport.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Lf = QStringLiteral("\n");

constexpr char16_t Arrow[] = u" → ";
// A member ID of the online service: three letters and five digits.
constexpr char16_t SampleMemberId[] = u"ABC01234";

QStringList *listOf(Card &c, int item)
{
    switch (item) {
    case CsvItemIds: return &c.ids;
    case CsvItemNames: return &c.names;
    case CsvItemGroups: return &c.groups;
    case CsvItemProfile: return &c.profile;
    case CsvItemMailLog: return &c.mailLog;
    case CsvItemExchangeRecords: return &c.exchangeRecords;
    case CsvItemRemarkRecords: return &c.remarkRecords;
    default: return nullptr;
    }
}

const QStringList *listOf(const Card &c, int item)
{
    return listOf(const_cast<Card &>(c), item);
}

QString *textOf(Card &c, int item)
{
    switch (item) {
    case CsvItemPostalCode: return &c.postalCode;
    case CsvItemAddress: return &c.address;
    case CsvItemTelephone: return &c.telephone;
    case CsvItemFax: return &c.fax;
    case CsvItemMobile: return &c.mobile;
    case CsvItemPager: return &c.pager;
    default: return nullptr;
    }
}

const QString *textOf(const Card &c, int item)
{
    return textOf(const_cast<Card &>(c), item);
}


// The lines of a memo: the pieces between CR LFs; a final line break adds
// no empty line, and an empty memo has none.
QList<QStringView> memoLines(QStringView memo)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    while (start < memo.size()) {
        const qsizetype end = memo.indexOf(CrLf, start);
        if (end < 0) {
            lines.append(memo.sliced(start));
            break;
        }
        lines.append(memo.sliced(start, end - start));
        start = end + CrLf.size();
    }
    return lines;
}

// text with its double quotes doubled, optionally with every CR LF as LF.
void appendEscaped(QString &out, QStringView text, bool crLfToLf)
{
    if (!text.contains(u'"') && !(crLfToLf && text.contains(u'\r'))) {
        out += text;
        return;
    }
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'"')
            out += u'"';
        else if (crLfToLf && c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            continue; // the LF follows
        out += c;
    }
}

QString withDomain(const QString &id, bool addDomain, QStringView domain)
{
    if (!addDomain || id.contains(u'@'))
        return id;
    QString out = id;
    out += domain;
    return out;
}

// The number of columns each multi-valued item takes in the split layout.
std::array<qsizetype, CsvCardItemCount> columnCounts(const AddressBook &book,
                                                     const CsvExportOptions &options)
{
    std::array<qsizetype, CsvCardItemCount> counts{};
    for (qsizetype i = 1; i < book.cardCount(); ++i) {
        const Card &c = book.cards[i];
        for (int item = 0; item < CsvCardItemCount; ++item) {
            if (!options.items[item] || !csvItemIsMulti(item))
                continue;
            const qsizetype n = item == CsvItemMemo ? memoLines(c.memo).size()
                                                    : listOf(c, item)->size();
            counts[item] = std::max(counts[item], n);
        }
    }
    return counts;
}

void appendHeader(QString &out, const CsvExportOptions &options,
                  const std::array<qsizetype, CsvCardItemCount> &counts)
{
    for (int item = 0; item < CsvCardItemCount; ++item) {
        if (!options.items[item])
            continue;
        if (options.splitColumns && csvItemIsMulti(item)) {
            for (qsizetype k = 1; k <= counts[item]; ++k) {
                appendCsvQuoted(out, csvItemLabel(item) + QString::number(k));
                out += u',';
            }
        } else {
            appendCsvQuoted(out, csvItemLabel(item));
            out += u',';
        }
    }
}

void appendCardCells(QString &out, const Card &c, const CsvExportOptions &options,
                     const std::array<qsizetype, CsvCardItemCount> &counts, QStringView domain)
{
    for (int item = 0; item < CsvCardItemCount; ++item) {
        if (!options.items[item])
            continue;
        switch (item) {
        case CsvItemBirthday:
            out += DateText(c.birthday);
            out += u',';
            break;
        case CsvItemCreated:
            out += DateTimeText(c.created);
            out += u',';
            break;
        case CsvItemUpdated:
            out += DateTimeText(c.updated);
            out += u',';
            break;
        case CsvItemExchangeAutoRecord:
            out += c.exchangeAutoRecord != 0 ? u"True," : u"False,";
            break;
        case CsvItemRemarkAutoRecord:
            out += c.remarkAutoRecord != 0 ? u"True," : u"False,";
            break;
        case CsvItemMemo:
            if (options.splitColumns) {
                const QList<QStringView> lines = memoLines(c.memo);
                for (qsizetype k = 0; k < counts[item]; ++k) {
                    if (k < lines.size())
                        appendCsvQuoted(out, lines[k]);
                    out += u',';
                }
            } else {
                out += u'"';
                appendEscaped(out, c.memo, /*crLfToLf=*/true);
                out += u"\",";
            }
            break;
        default:
            if (const QString *text = textOf(c, item)) {
                appendCsvQuoted(out, *text);
                out += u',';
                break;
            }
            const QStringList &list = *listOf(c, item);
            const bool ids = item == CsvItemIds;
            if (options.splitColumns) {
                for (qsizetype k = 0; k < counts[item]; ++k) {
                    if (k < list.size())
                        appendCsvQuoted(out, ids ? withDomain(list[k], options.addDomain, domain)
                                                 : list[k]);
                    out += u',';
                }
            } else {
                // One cell: the entries joined with LF.
                out += u'"';
                for (qsizetype k = 0; k < list.size(); ++k) {
                    if (k > 0)
                        out += u'\n';
                    appendEscaped(out, list[k], false);
                    if (ids && options.addDomain && !list[k].contains(u'@'))
                        appendEscaped(out, domain, false);
                }
                out += u'"';
                out += u',';
            }
            break;
        }
    }
}

// Closes a record: its final "," removed, CR LF appended.
void endRecord(QString &out)
{
    if (out.endsWith(u','))
        out.chop(1);
    out += CrLf;
}

} // namespace

// ---- Syntax ----------------------------------------------------------------

QString csvUnquote(QStringView cell)
{
    if (cell.size() < 2 || cell.front() != u'"' || cell.back() != u'"')
        return cell.toString();
    const QStringView inner = cell.sliced(1, cell.size() - 2);
    if (!inner.contains(u'"') && !inner.contains(u'\r'))
        return inner.toString();
    QString out;
    out.reserve(inner.size());
    const qsizetype n = inner.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = inner[i];
        if (i + 1 < n && ((c == u'"' && inner[i + 1] == u'"') || (c == u'\r' && inner[i + 1] == u'\n'))) {
            out += c == u'"' ? u'"' : u'\n';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

void appendCsvQuoted(QString &out, QStringView text)
{
    out += u'"';
    appendEscaped(out, text, false);
    out += u'"';
}

QString csvQuote(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    appendCsvQuoted(out, text);
    return out;
}

namespace {

// Splits the record starting at pos into its raw (still quoted) cells,
// calling cell(slice) for each, and moves pos past the record's line end.
// Bare: LF ends a record too.
template <bool Bare, typename CellFn>
void scanRecord(QStringView text, qsizetype &pos, CellFn cell)
{
    const qsizetype n = text.size();
    const QChar *d = text.data();
    qsizetype cellStart = pos;
    qsizetype end = n; // where the last cell ends
    qsizetype p = pos;
    bool stored = false;
    while (p < n) {
        const char16_t c = d[p].unicode();
        if (c > u',') {
            ++p; // the characters that end, quote or separate cells all sort before ","
            continue;
        }
        if (c == u',') {
            cell(text.sliced(cellStart, p - cellStart));
            stored = true;
            cellStart = ++p;
        } else if (c == u'"') {
            const qsizetype close = text.indexOf(u'"', p + 1);
            p = close < 0 ? n : close + 1;
        } else if (c == u'\r') {
            end = p++;
            if (p < n && d[p] == u'\n')
                ++p;
            break;
        } else if (Bare && c == u'\n') {
            end = p++;
            break;
        } else {
            ++p;
        }
    }
    if (end > cellStart || stored)
        cell(text.sliced(cellStart, end - cellStart));
    pos = p;
}

template <typename CellFn>
void scanRecord(QStringView text, qsizetype &pos, CsvLineEnds ends, CellFn cell)
{
    if (ends == CsvLineEnds::Bare)
        scanRecord<true>(text, pos, cell);
    else
        scanRecord<false>(text, pos, cell);
}

// The unquoted cell as a view: into the text when unquoting only strips the
// enclosing quotes, otherwise into a string kept in scratch.
QStringView unquotedView(QStringView cell, QStringList &scratch)
{
    if (cell.size() < 2 || cell.front() != u'"' || cell.back() != u'"')
        return cell;
    const QStringView inner = cell.sliced(1, cell.size() - 2);
    if (!inner.contains(u'"') && !inner.contains(u'\r'))
        return inner;
    scratch.append(csvUnquote(cell));
    return scratch.last();
}

// csvRecordRead without copying cells: the views stay valid as long as
// text and scratch are neither changed nor destroyed.
template <bool Bare>
qsizetype readRecordViews(QList<QStringView> &cells, QStringList &scratch, QStringView text,
                          qsizetype &pos)
{
    cells.resize(0);
    scratch.resize(0);
    scanRecord<Bare>(text, pos, [&](QStringView raw) { cells.append(unquotedView(raw, scratch)); });
    return cells.size();
}

// The bytes that end, quote or separate cells are ASCII, and in CP932 and
// UTF-8 an ASCII byte is always a character of its own: records can be found
// in the undecoded bytes, and the bytes of each decode to exactly the text
// the whole file's text holds there.

// Where records end in bytes, as csvLineEndsOf tells it of their text.
CsvLineEnds lineEndsOfBytes(QByteArrayView bytes)
{
    return bytes.indexOf(QByteArrayView("\r\n")) >= 0 ? CsvLineEnds::CrLf : CsvLineEnds::Bare;
}

// The end (past its line end) of the record of bytes starting at pos, as
// scanRecord finds it in the text; cells tells whether it has any.
template <bool Bare>
qsizetype recordEndInBytes(QByteArrayView bytes, qsizetype pos, bool &cells)
{
    const qsizetype n = bytes.size();
    const char *d = bytes.data();
    qsizetype end = n; // where the last cell ends
    qsizetype p = pos;
    bool comma = false;
    while (p < n) {
        const auto c = static_cast<unsigned char>(d[p]);
        if (c > ',') {
            ++p;
            continue;
        }
        if (c == ',') {
            comma = true;
            ++p;
        } else if (c == '"') {
            const void *close = std::memchr(d + p + 1, '"', size_t(n - p - 1));
            p = close ? static_cast<const char *>(close) - d + 1 : n;
        } else if (c == '\r') {
            end = p++;
            if (p < n && d[p] == '\n')
                ++p;
            break;
        } else if (Bare && c == '\n') {
            end = p++;
            break;
        } else {
            ++p;
        }
    }
    cells = comma || end > pos;
    return p;
}

qsizetype recordEndInBytes(QByteArrayView bytes, qsizetype pos, CsvLineEnds ends, bool &cells)
{
    return ends == CsvLineEnds::Bare ? recordEndInBytes<true>(bytes, pos, cells)
                                     : recordEndInBytes<false>(bytes, pos, cells);
}

// Appends the text of bytes (CP932 or UTF-8) to out.
void decodePieceAppend(QByteArrayView bytes, TextEncoding encoding, QString &out,
                       qsizetype *replaced)
{
    if (encoding == TextEncoding::Utf8)
        utf8::decodeAppend(bytes, out, replaced);
    else
        cp932::decodeAppend(bytes, out, replaced);
}

// Header and preview cells are only shown and matched against the item
// names. A cell that runs on (a file of one endless line) is kept to its
// first characters, so that it is neither copied nor normalised whole.
constexpr qsizetype MaxLabelCellSize = 4096;

QString labelCell(QStringView raw)
{
    if (raw.size() <= MaxLabelCellSize + 2)
        return csvUnquote(raw);
    if (raw.front() != u'"' || raw.back() != u'"')
        return raw.first(MaxLabelCellSize).toString();
    QString cut;
    cut.reserve(MaxLabelCellSize + 2);
    cut += u'"';
    cut += raw.sliced(1, MaxLabelCellSize);
    cut += u'"';
    return csvUnquote(cut);
}

qsizetype readLabelRecord(QStringList &cells, QStringView text, qsizetype &pos, CsvLineEnds ends)
{
    cells.resize(0);
    scanRecord(text, pos, ends, [&](QStringView raw) {
        ReadBudget::chargeValue(std::min(raw.size(), MaxLabelCellSize));
        cells.append(labelCell(raw));
    });
    return cells.size();
}

} // namespace

CsvLineEnds csvLineEndsOf(QStringView text)
{
    // Searching for the CRs alone is the fast way through a file that has none.
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', cr + 1))
        if (cr + 1 < text.size() && text[cr + 1] == u'\n')
            return CsvLineEnds::CrLf;
    return CsvLineEnds::Bare;
}

qsizetype csvRecordRead(QStringList &cells, QStringView text, qsizetype &pos, CsvLineEnds ends)
{
    cells.resize(0);
    scanRecord(text, pos, ends, [&](QStringView raw) { cells.append(csvUnquote(raw)); });
    return cells.size();
}

// ---- Reading ---------------------------------------------------------------

bool autoCsvMapper(CsvSample &sample, CsvMapping &mapping)
{
    mapping = sample.keys.size() == sample.header.size() ? autoCsvSelectFromKeys(sample.keys)
                                                         : autoCsvSelect(sample.header);
    return true;
}

QStringList unmappedCsvColumns(const QStringList &header, const CsvMapping &mapping)
{
    return unmappedCsvColumns(header, mapping, csvColumnRoles(header, mapping));
}

QStringList unmappedCsvColumns(const QStringList &header, const CsvMapping &mapping,
                               const QList<CsvColumnRole> &roles)
{
    constexpr qsizetype Longest = 41;
    QStringList out;
    QSet<QString> named;
    for (qsizetype j = 0; j < header.size(); ++j) {
        const int item = j < mapping.size() ? mapping[j] : CsvItemNone;
        if ((item >= 0 && item < CsvItemChoiceCount && item != CsvItemNone) || roles[j].isTypeColumn
            || header[j].isEmpty())
            continue;
        const QString name = header[j].left(Longest);
        if (!named.contains(name)) {
            named.insert(name);
            out.append(name);
        }
    }
    return out;
}

namespace {

// ---- Dates ----

// A date cell with full-width digits and signs made ASCII.
QString asciiDigits(QStringView s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            out += QChar(u - 0xFF10 + u'0');
        else if (u == 0xFF0F)
            out += u'/';
        else if (u == 0xFF0D || u == 0x2212)
            out += u'-';
        else if (u == 0xFF1A)
            out += u':';
        else if (u == 0x3000)
            out += u' ';
        else
            out += c;
    }
    return out;
}

struct Cursor
{
    QStringView s;
    qsizetype pos = 0;

    bool atEnd() const { return pos >= s.size(); }
    bool take(char16_t c)
    {
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
    bool take(QStringView text)
    {
        if (!s.sliced(pos).startsWith(text))
            return false;
        pos += text.size();
        return true;
    }
    // minDigits .. maxDigits digits.
    bool number(int minDigits, int maxDigits, int &out)
    {
        return readDigits(s, pos, minDigits, maxDigits, out);
    }
    void spaces()
    {
        while (take(u' ')) {
        }
    }
};

// An optional time after a date: spaces (or "T" when allowed), then
// h:mm[:ss]; the cursor must then be at the end.
bool readTimeTail(Cursor &c, bool allowT, int &h, int &mi, int &sec)
{
    h = mi = sec = 0;
    if (c.atEnd())
        return true;
    const qsizetype before = c.pos;
    c.spaces();
    if (c.pos == before && !(allowT && c.take(u'T')))
        return false;
    if (c.atEnd())
        return true; // trailing spaces
    if (!c.number(1, 2, h) || !c.take(u':') || !c.number(1, 2, mi))
        return false;
    if (c.take(u':') && !c.number(1, 2, sec))
        return false;
    c.spaces();
    return c.atEnd();
}

bool makeDate(int y, int mo, int d, int h, int mi, int sec, DateValue &out)
{
    const QDate date(y, mo, d);
    const QTime time(h, mi, sec);
    if (!date.isValid() || !time.isValid() || y < 100)
        return false;
    const DateValue v = oleFromDateTime(QDateTime(date, time, Qt::UTC));
    if (v == NoDate || !isShowableDate(v))
        return false;
    out = v;
    return true;
}

bool validMonthDay(int mo, int d)
{
    return QDate(2000, mo, d).isValid(); // a leap year: 2/29 is a birthday
}

// Only zeros among the digits, and nothing but digits and separators.
bool isZeroDate(QStringView s)
{
    bool digit = false;
    for (QChar c : s) {
        if (c == u'0')
            digit = true;
        else if (c != u'/' && c != u'-' && c != u'.' && c != u' ')
            return false;
    }
    return digit;
}

} // namespace

CsvDate parseCsvDate(QStringView cell, bool monthFirst)
{
    CsvDate out;
    const QStringView trimmed = trimSpaces(cell);
    if (trimmed.isEmpty())
        return out;
    if (parseDateText(trimmed, out.value)) { // the program's own "yyyy/mm/dd ..." first
        out.kind = CsvDate::Date;
        return out;
    }
    const QString text = asciiDigits(trimmed);
    const QStringView s = trimSpaces(text);
    if (isZeroDate(s))
        return out;

    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
    auto date = [&](Cursor &c, bool allowT) {
        if (readTimeTail(c, allowT, h, mi, sec) && makeDate(y, mo, d, h, mi, sec, out.value)) {
            out.kind = CsvDate::Date;
            return true;
        }
        return false;
    };
    auto monthDay = [&](Cursor &c) {
        c.spaces();
        if (!c.atEnd() || !validMonthDay(mo, d))
            return false;
        out.kind = CsvDate::MonthDay;
        out.month = mo;
        out.day = d;
        return true;
    };

    out.kind = CsvDate::Unreadable;
    {   // --mm-dd, --mmdd
        Cursor c{s};
        if (c.take(u"--") && c.number(2, 2, mo) && (c.take(u'-'), c.number(2, 2, d)) && monthDay(c))
            return out;
    }
    {   // yyyy-mm-dd, yyyymmdd
        Cursor c{s};
        if (c.number(4, 4, y)) {
            const qsizetype afterYear = c.pos;
            if (c.take(u'-') && c.number(1, 2, mo) && c.take(u'-') && c.number(1, 2, d) && date(c, true))
                return out;
            c.pos = afterYear;
            if (c.number(2, 2, mo) && c.number(2, 2, d) && c.atEnd() && date(c, false))
                return out;
            c.pos = afterYear;
            if (c.take(u'年') && c.number(1, 2, mo) && c.take(u'月') && c.number(1, 2, d)
                && c.take(u'日') && date(c, false))
                return out;
        }
    }
    {   // m月d日, and with monthFirst m/d/yyyy
        Cursor c{s};
        if (c.number(1, 2, mo)) {
            const qsizetype afterMonth = c.pos;
            if (c.take(u'月') && c.number(1, 2, d) && c.take(u'日') && monthDay(c))
                return out;
            c.pos = afterMonth;
            if (monthFirst && c.take(u'/') && c.number(1, 2, d) && c.take(u'/') && c.number(4, 4, y)
                && date(c, false))
                return out;
        }
    }
    out = CsvDate();
    out.kind = CsvDate::Unreadable;
    return out;
}

namespace {

// ---- Cells ----

void appendBirthdayMemo(Card &card, int month, int day)
{
    card.memo += QStringLiteral("誕生日：%1月%2日").arg(month).arg(day);
    card.memo += CrLf;
}

// A text cell as stored: LFs as spaces, spaces around trimmed. An empty
// field is written in place into texts when given.
void appendJoinedText(QString &field, QStringView cell, TextStore *texts = nullptr)
{
    // Trimmed in place, LFs counting as the spaces they become.
    qsizetype b = 0, e = cell.size();
    while (b < e && (cell[b] == u' ' || cell[b] == u'\n'))
        ++b;
    while (e > b && (cell[e - 1] == u' ' || cell[e - 1] == u'\n'))
        --e;
    if (b == e)
        return; // an empty cell leaves the field as it is
    if (texts && field.isEmpty()) {
        char16_t *to = texts->room(e - b);
        char16_t *const end = std::copy_n(cell.utf16() + b, e - b, to);
        std::replace(to, end, u'\n', u' ');
        field = texts->take(e - b);
        return;
    }
    if (!field.isEmpty())
        field += u' ';
    const qsizetype from = field.size();
    field += cell.sliced(b, e - b);
    if (cell.sliced(b, e - b).contains(u'\n'))
        std::replace(field.begin() + from, field.end(), u'\n', u' ');
}

// A piece of a cell as a string of its own, cut from texts when given (an
// empty piece stays an empty, non-null string as before).
QString pieceText(QStringView piece, TextStore *texts)
{
    return texts && !piece.isEmpty() ? texts->copy(piece) : piece.toString();
}

// Appends the memo cell with every line break as CR LF (a lone LF becomes
// one, CR LF stays). Memo lines end with CR LF; a cell whose last line
// already ended keeps that single line end, so a memo survives any number
// of export and import rounds unchanged. An empty memo is written in place
// into texts when given.
void appendMemoCell(QString &memo, QStringView cell, TextStore *texts)
{
    const qsizetype kept = memo.size();
    const qsizetype room = kept + cell.size() + cell.count(u'\n') + 2;
    const bool inStore = texts && kept == 0;
    if (!inStore)
        memo.resize(room);
    char16_t *const start = inStore ? texts->room(room) : reinterpret_cast<char16_t *>(memo.data());
    char16_t *to = start + kept;
    const char16_t *s = cell.utf16();
    for (qsizetype i = 0; i < cell.size(); ++i) {
        if (s[i] == u'\n' && (i == 0 || s[i - 1] != u'\r'))
            *to++ = u'\r';
        *to++ = s[i];
    }
    if (!(to - start >= 2 && to[-2] == u'\r' && to[-1] == u'\n')) {
        *to++ = u'\r';
        *to++ = u'\n';
    }
    if (inStore)
        memo = texts->take(to - start);
    else
        memo.truncate(to - start);
}

// Stores one whole cell; unreadable counts dates that are none. The card's
// texts are cut from texts when given.
void storeWholeCell(Card &card, int item, QStringView cell, bool monthFirst, qsizetype &unreadable,
                    TextStore *texts = nullptr)
{
    if (QStringList *list = listOf(card, item)) {
        qsizetype start = 0;
        for (;;) {
            const qsizetype lf = cell.indexOf(u'\n', start);
            if (lf < 0)
                break;
            list->append(pieceText(cell.sliced(start, lf - start), texts));
            start = lf + 1;
        }
        if (start < cell.size())
            list->append(pieceText(cell.sliced(start), texts));
        return;
    }
    if (QString *field = textOf(card, item)) {
        appendJoinedText(*field, cell, texts);
        return;
    }
    switch (item) {
    case CsvItemBirthday:
    case CsvItemCreated:
    case CsvItemUpdated: {
        const CsvDate d = parseCsvDate(cell, monthFirst);
        if (d.kind == CsvDate::Date) {
            if (item == CsvItemBirthday)
                card.birthday = oleFromDate(oleToDate(d.value)); // a birthday has no time of day
            else
                (item == CsvItemCreated ? card.created : card.updated) = d.value;
        } else if (d.kind == CsvDate::MonthDay && item == CsvItemBirthday) {
            appendBirthdayMemo(card, d.month, d.day);
        } else if (d.kind != CsvDate::Empty) {
            ++unreadable;
        }
        break;
    }
    case CsvItemMemo: {
        if (cell.isEmpty())
            break;
        appendMemoCell(card.memo, cell, texts);
        break;
    }
    case CsvItemExchangeAutoRecord:
        card.exchangeAutoRecord =
            cell.compare(u"true", Qt::CaseInsensitive) == 0 ? FlagOn : FlagOff;
        break;
    case CsvItemRemarkAutoRecord:
        card.remarkAutoRecord =
            cell.compare(u"true", Qt::CaseInsensitive) == 0 ? FlagOn : FlagOff;
        break;
    default:
        break;
    }
}

// Charges the values of one record's cells, and extra bytes, to the read
// budget in force.
template<typename Cells>
void chargeCells(const Cells &cells, qint64 extra = 0)
{
    qsizetype chars = 0;
    for (const auto &c : cells)
        chars += c.size();
    ReadBudget::chargeBytes(extra + ReadBudget::ValueOverhead * qint64(cells.size()) + 2 * qint64(chars));
}

// Stores a cell that may hold several values (CsvColumnRole::split).
void storeCell(Card &card, int item, QStringView cell, const CsvColumnRole &role,
               qsizetype &unreadable, TextStore *texts)
{
    if (role.split == CsvColumnRole::Split::None) {
        storeWholeCell(card, item, cell, role.monthFirstDates, unreadable, texts);
        return;
    }
    const QStringView separator =
        role.split == CsvColumnRole::Split::Google ? QStringView(u" ::: ") : QStringView(u";");
    for (QStringView piece : cell.tokenize(separator)) {
        piece = trimSpaces(piece);
        if (piece.isEmpty() || (role.dropSystemLabels && piece.startsWith(u'*')))
            continue;
        storeWholeCell(card, item, piece, role.monthFirstDates, unreadable, texts);
    }
}

// A number cell of a birthday part: -1 when empty, -2 when it is no number
// in 1 .. max.
int birthPart(QStringView cell, int max)
{
    const QString text = asciiDigits(trimSpaces(cell));
    const QStringView s = trimSpaces(text);
    if (s.isEmpty())
        return -1;
    Cursor c{s};
    int value = 0;
    if (!c.number(1, 4, value) || !c.atEnd() || value < 1 || value > max)
        return -2;
    return value;
}

// Stores the cells of a record into a new card, as the header and mapping
// say; prepared once per read.
class RecordStore
{
public:
    RecordStore(const QStringList &header, const CsvHeaderKeys &keys, const CsvMapping &mapping)
        : m_mapping(mapping), m_roles(csvColumnRoles(header, keys, mapping))
    {
        for (qsizetype j = 0; j < m_mapping.size(); ++j) {
            const int item = m_mapping[j];
            m_names = m_names || item == CsvItemFamilyName || item == CsvItemGivenName;
            m_birth = m_birth || item == CsvItemBirthYear || item == CsvItemBirthMonth
                   || item == CsvItemBirthDayOfMonth;
            m_parts = m_parts || m_roles[j].addressPart >= 0;
            if (header[j].isEmpty() && (item == CsvItemNone || item < 0 || item >= CsvItemChoiceCount)
                && !m_roles[j].isTypeColumn)
                m_nameless.append({j, false});
        }
    }

    // The unused columns without a header that held text, as "(N列目)".
    const QList<CsvColumnRole> &roles() const { return m_roles; }

    QStringList namelessWithText() const
    {
        QStringList out;
        for (const auto &[column, text] : m_nameless)
            if (text)
                out.append(QStringLiteral("(%1列目)").arg(column + 1));
        return out;
    }

    // unreadable counts the cells that could not be read.
    void store(Card &card, const QList<QStringView> &cells, qsizetype &unreadable)
    {
        const qsizetype columns = std::min(cells.size(), m_mapping.size());
        QString family, given;
        int birth[3] = {-1, -1, -1}; // year, month, day
        m_addressParts.resize(0);
        for (qsizetype j = 0; j < columns; ++j) {
            int item = m_mapping[j];
            const QStringView cell = cells[j];
            const CsvColumnRole &role = m_roles[j];
            if (item < CsvCardItemCount) {
                if (role.addressPart >= 0) {
                    m_addressParts.append({role.addressPart, cell});
                    continue;
                }
                if (role.typeColumn >= 0)
                    item = csvPhoneItemOfType(role.typeColumn < cells.size() ? cells[role.typeColumn]
                                                                             : QStringView());
                storeCell(card, item, cell, role, unreadable, &m_texts);
                continue;
            }
            switch (item) {
            case CsvItemFamilyName:
                appendJoinedText(family, cell);
                break;
            case CsvItemGivenName:
                appendJoinedText(given, cell);
                break;
            case CsvItemBirthYear:
                takeBirthPart(birth[0], birthPart(cell, 9999));
                break;
            case CsvItemBirthMonth:
                takeBirthPart(birth[1], birthPart(cell, 12));
                break;
            case CsvItemBirthDayOfMonth:
                takeBirthPart(birth[2], birthPart(cell, 31));
                break;
            default:
                break;
            }
        }
        // Cells beyond the header belong to no column.
        for (qsizetype j = columns; j < cells.size(); ++j)
            if (!trimSpaces(cells[j]).isEmpty())
                ++unreadable;
        for (auto &[column, text] : m_nameless)
            text = text || (column < columns && !trimSpaces(cells[column]).isEmpty());
        if (m_parts)
            storeAddressParts(card);
        if (m_names)
            storeName(card, family, given);
        if (m_birth)
            storeBirthday(card, birth, unreadable);
    }

private:
    // Several columns of one part: a number wins over an empty cell, and a
    // cell that is no number spoils the part.
    static void takeBirthPart(int &slot, int value)
    {
        if (slot == -2 || value == -2)
            slot = -2;
        else
            slot = std::max(slot, value);
    }

    void storeAddressParts(Card &card)
    {
        std::stable_sort(m_addressParts.begin(), m_addressParts.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        QString address;
        for (const auto &[part, cell] : m_addressParts)
            appendJoinedText(address, cell);
        appendJoinedText(card.address, address);
    }

    static void storeName(Card &card, const QString &family, const QString &given)
    {
        QString name = family;
        if (!name.isEmpty() && !given.isEmpty())
            name += u' ';
        name += given;
        if (!name.isEmpty() && !card.names.contains(name))
            card.names.append(name);
    }

    static void storeBirthday(Card &card, const int (&birth)[3], qsizetype &unreadable)
    {
        const int year = birth[0], month = birth[1], day = birth[2];
        if (year == -1 && month == -1 && day == -1)
            return; // all empty
        DateValue v;
        if (year > 0 && month > 0 && day > 0 && makeDate(year, month, day, 0, 0, 0, v))
            card.birthday = v;
        else if (year == -1 && month > 0 && day > 0 && validMonthDay(month, day))
            appendBirthdayMemo(card, month, day);
        else
            ++unreadable;
    }

    CsvMapping m_mapping;
    QList<CsvColumnRole> m_roles;
    TextStore m_texts; // the cards' texts, cut from shared blocks
    QList<std::pair<int, QStringView>> m_addressParts;
    QList<std::pair<qsizetype, bool>> m_nameless; // column, held text
    bool m_names = false;
    bool m_birth = false;
    bool m_parts = false;
};

// The text being parsed; for a file, also its bytes, kept while another
// encoding may still be chosen.
struct CsvSource
{
    QStringView text;
    TextEncoding encoding = TextEncoding::Cp932;
    QByteArray bytes;  // null: text without a file
    QString decoded;   // the text, when decoded here
    qsizetype replaced = 0; // bytes of the file not valid in the encoding
    int decodings = 0;      // how often the text was decoded again
    // The file is CP932 or UTF-8 and not decoded whole: text is empty, and
    // each record is decoded from bytes as it is read (replaced counted then).
    bool byRecords = false;

    bool canDecode() const { return !bytes.isNull(); }
    // Where the text starts in bytes (after UTF-8's byte order mark).
    qsizetype textStart() const
    {
        return encoding == TextEncoding::Utf8 && utf8::startsWithBom(bytes) ? 3 : 0;
    }
    void decodeAs(TextEncoding chosen)
    {
        if (!canDecode() || chosen == encoding)
            return;
        ++decodings;
        byRecords = false;
        decoded = QString(); // one decoded text at a time
        replaced = 0;
        decoded = decodeText(bytes, chosen, &replaced, &encoding);
        text = decoded;
    }
};

// The first record with cells (blank lines are skipped like blank lines
// anywhere else) as the header, and the first data records after it; pos
// ends after the header.
void readSample(QStringView text, CsvLineEnds ends, qsizetype &pos, QStringList &header,
                QList<QStringList> *preview)
{
    const qsizetype n = text.size();
    pos = 0;
    header.clear();
    while (pos < n && readLabelRecord(header, text, pos, ends) == 0) {
    }
    if (!preview)
        return;
    preview->clear();
    qsizetype p = pos;
    QStringList cells;
    while (p < n && preview->size() < CsvPreviewRecords)
        if (readLabelRecord(cells, text, p, ends) > 0)
            preview->append(cells);
}

// The sample of the source's text; headerEnd (when given) receives where the
// header record ends.
// For a source read by records, headerEnd is a position in its bytes: only
// the bytes up to the last preview record are decoded here.
CsvSample sampleOf(CsvSource &source, qsizetype *headerEnd = nullptr)
{
    CsvSample sample;
    sample.encoding = source.encoding;
    qsizetype pos = 0;
    if (source.byRecords) {
        const QByteArrayView bytes = source.bytes;
        const CsvLineEnds ends = lineEndsOfBytes(bytes);
        qsizetype end = source.textStart();
        bool cells = false;
        while (end < bytes.size() && !cells)
            end = recordEndInBytes(bytes, end, ends, cells);
        pos = end;
        for (int records = 0; end < bytes.size() && records < CsvPreviewRecords;) {
            end = recordEndInBytes(bytes, end, ends, cells);
            records += cells;
        }
        const QString start = decodeText(bytes.first(end), source.encoding);
        qsizetype unused = 0;
        readSample(start, ends, unused, sample.header, &sample.preview);
    } else {
        readSample(source.text, csvLineEndsOf(source.text), pos, sample.header, &sample.preview);
    }
    sample.keys = csvHeaderKeys(sample.header);
    if (headerEnd)
        *headerEnd = pos;
    if (source.canDecode()) {
        sample.reread = [&source](TextEncoding encoding) {
            source.decodeAs(encoding);
            return sampleOf(source);
        };
    }
    return sample;
}

// Makes a card of one record's cells (none: an empty line, no card).
void addRecord(const QList<QStringView> &cells, AddressBook &book, RecordStore &store,
               DateValue importTime, ImportReport &report)
{
    if (cells.isEmpty())
        return;
    if (book.cardCounter >= MaxCardCounter) {
        ++report.cardsLeftOut; // counted, so that the user learns how many
        return;
    }
    chargeCells(cells, sizeof(Card));
    Card card = Card::newCard();
    card.number = book.cardCounter;
    card.created = importTime;
    card.updated = importTime;
    store.store(card, cells, report.recordsSkipped);
    book.cards.append(std::move(card));
    ++book.cardCounter;
}

template <bool Bare>
int readRecords(QStringView text, qsizetype pos, AddressBook &book, RecordStore &store,
                DateValue importTime, const Progress &progress, ImportReport &report)
{
    const qsizetype n = text.size();
    QList<QStringView> cells;
    QStringList scratch;
    while (pos < n) {
        if (!keepGoing(progress, pos, n))
            return -1;
        readRecordViews<Bare>(cells, scratch, text, pos);
        addRecord(cells, book, store, importTime, report);
    }
    return 0;
}

// The same for a source read by records, from pos in its bytes: each
// record's bytes are decoded into one reused buffer, and its cells read from
// there.
template <bool Bare>
int readRecordsOfBytes(CsvSource &source, qsizetype pos, AddressBook &book, RecordStore &store,
                       DateValue importTime, const Progress &progress, ImportReport &report)
{
    const QByteArrayView bytes = source.bytes;
    const qsizetype n = bytes.size();
    QString record;
    QList<QStringView> cells;
    QStringList scratch;
    while (pos < n) {
        if (!keepGoing(progress, pos, n))
            return -1;
        bool any = false;
        const qsizetype end = recordEndInBytes<Bare>(bytes, pos, any);
        record.resize(0);
        decodePieceAppend(bytes.sliced(pos, end - pos), source.encoding, record, &source.replaced);
        pos = end;
        if (!any)
            continue;
        qsizetype at = 0;
        readRecordViews<Bare>(cells, scratch, record, at);
        addRecord(cells, book, store, importTime, report);
    }
    return 0;
}

int parseSource(CsvSource &source, AddressBook &book, const CsvMapper &mapper,
                DateValue importTime, const Progress &progress, ImportReport &report)
{
    book = AddressBook::newBook();
    qsizetype pos = 0;
    CsvSample sample = sampleOf(source, &pos);
    if (sample.header.isEmpty())
        return 0; // nothing but blank lines: no columns, no cards
    // Kept aside: the mapper may change or replace the sample.
    QStringList header = sample.header;
    CsvHeaderKeys keys = sample.keys;
    const int decodings = source.decodings;
    CsvMapping chosen;
    if (!mapper || !mapper(sample, chosen))
        return -1;
    source.decodeAs(sample.encoding);
    if (!source.byRecords)
        source.bytes = QByteArray(); // the encoding is chosen

    // The header of the text as finally decoded: the first sample's, unless
    // the mapper decoded the file again in between.
    const QStringView text = source.text;
    const CsvLineEnds ends = source.byRecords ? lineEndsOfBytes(source.bytes) : csvLineEndsOf(text);
    if (source.decodings != decodings) {
        readSample(text, ends, pos, header, nullptr);
        keys = csvHeaderKeys(header);
    }
    const CsvMapping mapping = normalizedMapping(chosen, header.size());
    RecordStore store(header, keys, mapping);
    report.unmappedColumns = unmappedCsvColumns(header, mapping, store.roles());
    int result = 0;
    if (source.byRecords) {
        // What the header and the lines before it hold; the records count
        // their own as they are decoded.
        QString start;
        source.replaced = 0;
        decodePieceAppend(QByteArrayView(source.bytes).sliced(source.textStart(), pos - source.textStart()),
                          source.encoding, start, &source.replaced);
        result = ends == CsvLineEnds::Bare
                   ? readRecordsOfBytes<true>(source, pos, book, store, importTime, progress, report)
                   : readRecordsOfBytes<false>(source, pos, book, store, importTime, progress, report);
    } else {
        result = ends == CsvLineEnds::Bare
                   ? readRecords<true>(text, pos, book, store, importTime, progress, report)
                   : readRecords<false>(text, pos, book, store, importTime, progress, report);
    }
    report.cardsMade = book.cardCount() - 1;
    report.unmappedColumns += store.namelessWithText();
    return result;
}

} // namespace

void storeCsvCell(Card &card, int item, QStringView cell)
{
    qsizetype unreadable = 0;
    storeWholeCell(card, item, cell, false, unreadable);
}

int parseCsvText(QStringView text, AddressBook &book, const CsvMapper &mapper,
                 DateValue importTime, const Progress &progress, ImportReport *report)
{
    CsvSource source;
    source.text = text;
    ImportReport own;
    return parseSource(source, book, mapper, importTime, progress, report ? *report : own);
}

int CsvFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                const CsvMapper &mapper, const Progress &progress, TextEncoding encoding)
{
    book = AddressBook::newBook();
    QString text;
    ImportDecoding decoding;
    decoding.encoding = encoding;
    decoding.keepBytes = true;
    decoding.decodeLater = true;
    if (readTextFileForImport(path, text, prompter, /*refuseEmpty=*/true, &decoding) != 0)
        return -1;

    CsvSource source;
    source.decoded = std::move(text);
    source.text = source.decoded;
    source.byRecords = decoding.decodeLater;
    source.encoding = decoding.encoding;
    source.bytes = std::move(decoding.bytes);
    source.replaced = decoding.replaced;
    ImportReport report;
    if (parseSource(source, book, mapper, oleNow(), progress, report) != 0)
        return -1;
    report.charactersReplaced = source.replaced;
    registerUsedGroups(book);
    report.tell(prompter);
    return 0;
}

// ---- Writing ---------------------------------------------------------------

bool csvItemIsMulti(int item)
{
    switch (item) {
    case CsvItemIds:
    case CsvItemNames:
    case CsvItemGroups:
    case CsvItemMemo:
    case CsvItemProfile:
    case CsvItemMailLog:
    case CsvItemExchangeRecords:
    case CsvItemRemarkRecords:
        return true;
    default:
        return false;
    }
}

QString csvDomainSample(QStringView niftyDomain)
{
    const QString id = QString::fromUtf16(SampleMemberId);
    QString out;
    out += u'(';
    out += id;
    out += QStringView(Arrow);
    out += id;
    out += mailDomainSuffix(niftyDomain);
    out += u')';
    return out;
}

QString csvFileText(const AddressBook &book, const CsvExportOptions &options,
                    QStringView niftyDomain, const Progress &progress, bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    const qsizetype cards = book.cardCount() - 1;

    std::array<qsizetype, CsvCardItemCount> counts{};
    if (options.splitColumns)
        counts = columnCounts(book, options);

    // Card order: by first ID under text comparison (folded key, then the
    // exact text), cards with equal first IDs in book order.
    struct Entry {
        QString key;
        QString id;
        qsizetype index;
    };
    std::vector<Entry> order;
    order.reserve(cards);
    for (qsizetype i = 1; i <= cards; ++i) {
        const Card &c = book.cards[i];
        const QString id = c.ids.isEmpty() ? QString() : c.ids.first();
        order.push_back({textKey(id), id, i});
    }
    std::stable_sort(order.begin(), order.end(), [](const Entry &a, const Entry &b) {
        if (a.key != b.key)
            return a.key < b.key;
        return a.id < b.id;
    });

    const QString suffix = mailDomainSuffix(niftyDomain);
    TextAccumulator acc;
    QString record;
    appendHeader(record, options, counts);
    endRecord(record);
    bool flushed = acc.append(record);
    for (qsizetype k = 0; k < cards; ++k) {
        if (flushed && !keepGoing(progress, k, cards)) {
            if (cancelled)
                *cancelled = true;
            return QString();
        }
        record.resize(0);
        appendCardCells(record, book.cards[order[k].index], options, counts, suffix);
        endRecord(record);
        flushed = acc.append(record);
    }
    if (flushed && !keepGoing(progress, cards, cards)) {
        if (cancelled)
            *cancelled = true;
        return QString();
    }
    return acc.take();
}

int CsvFileWrite(const QString &path, const AddressBook &book, Prompter &prompter,
                 const CsvExportAsker &ask, const QString &niftyDomain,
                 const Progress &progress, bool trashOld)
{
    CsvExportOptions options;
    if (!ask || !ask(options))
        return -1;
    bool cancelled = false;
    const QString text = csvFileText(book, options, niftyDomain,
                                     progressPart(progress, 0, TextBuildPercent), &cancelled);
    if (cancelled)
        return -1;
    qsizetype replaced = 0;
    if (writeTextFileSafely(path, text, prompter,
                            progressPart(progress, TextBuildPercent, 100), trashOld, &replaced) != 0)
        return -1;
    if (replaced > 0) {
        std::array<qsizetype, CsvCardItemCount> counts{};
        if (options.splitColumns)
            counts = columnCounts(book, options);
        const QString suffix = mailDomainSuffix(niftyDomain);
        QString record;
        reportReplacedCharacters(book, replaced, [&](qsizetype index) -> qsizetype {
            if (index == 0)
                return 0; // the header holds only the item labels
            record.resize(0);
            appendCardCells(record, book.cards[index], options, counts, suffix);
            return cp932::unencodableCount(record);
        }, prompter);
    }
    return 0;
}
