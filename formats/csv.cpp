#include "formats/csv.h"
#include "common/textwidth.h"

#include <algorithm>
#include <span>
#include <vector>

#include "common/cp932.h"
#include "common/oledate.h"
#include "common/textcompare.h"
#include "core/cardops.h"
#include "common/readbudget.h"
#include "formats/fileprocs.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString Lf = QStringLiteral("\n");

const std::array<QString, CsvCardItemCount> &labels()
{
    static const std::array<QString, CsvCardItemCount> list = {
        QStringLiteral("ID"),
        QStringLiteral("名前"),
        QStringLiteral("郵便番号"),
        QStringLiteral("住所"),
        QStringLiteral("電話番号"),
        QStringLiteral("FAX番号"),
        QStringLiteral("携帯電話"),
        QStringLiteral("ポケベル"),
        QStringLiteral("誕生日"),
        QStringLiteral("グループ"),
        QStringLiteral("メモ"),
        QStringLiteral("プロフィール"),
        QStringLiteral("送受信簿"),
        QStringLiteral("交流記録の自動記録"),
        QStringLiteral("交流記録"),
        QStringLiteral("発言記録の自動記録"),
        QStringLiteral("発言記録"),
        QStringLiteral("作成日時"),
        QStringLiteral("更新日時"),
    };
    return list;
}

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
                appendCsvQuoted(out, labels()[item] + QString::number(k));
                out += u',';
            }
        } else {
            appendCsvQuoted(out, labels()[item]);
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
template <typename CellFn>
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
        } else {
            ++p;
        }
    }
    if (end > cellStart || stored)
        cell(text.sliced(cellStart, end - cellStart));
    pos = p;
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
qsizetype readRecordViews(QList<QStringView> &cells, QStringList &scratch, QStringView text,
                          qsizetype &pos)
{
    cells.resize(0);
    scratch.resize(0);
    scanRecord(text, pos, [&](QStringView raw) { cells.append(unquotedView(raw, scratch)); });
    return cells.size();
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

qsizetype readLabelRecord(QStringList &cells, QStringView text, qsizetype &pos)
{
    cells.resize(0);
    scanRecord(text, pos, [&](QStringView raw) {
        ReadBudget::chargeValue(std::min(raw.size(), MaxLabelCellSize));
        cells.append(labelCell(raw));
    });
    return cells.size();
}

} // namespace

qsizetype csvRecordRead(QStringList &cells, QStringView text, qsizetype &pos)
{
    cells.resize(0);
    scanRecord(text, pos, [&](QStringView raw) { cells.append(csvUnquote(raw)); });
    return cells.size();
}

// ---- Reading ---------------------------------------------------------------

bool autoCsvMapper(const QStringList &header, const QList<QStringList> &, CsvMapping &mapping)
{
    mapping = autoCsvSelect(header);
    return true;
}

QStringList unmappedCsvColumns(const QStringList &header, const CsvMapping &mapping)
{
    QStringList out;
    for (qsizetype j = 0; j < header.size(); ++j)
        if (j >= mapping.size() || mapping[j] < 0 || mapping[j] >= CsvCardItemCount)
            out.append(header[j]);
    return out;
}

void storeCsvCell(Card &card, int item, QStringView cell)
{
    if (QStringList *list = listOf(card, item)) {
        qsizetype start = 0;
        for (;;) {
            const qsizetype lf = cell.indexOf(u'\n', start);
            if (lf < 0)
                break;
            list->append(cell.sliced(start, lf - start).toString());
            start = lf + 1;
        }
        if (start < cell.size())
            list->append(cell.sliced(start).toString());
        return;
    }
    if (QString *field = textOf(card, item)) {
        if (cell.isEmpty())
            return;
        QString value = cell.toString();
        value.replace(u'\n', u' ');
        const QStringView trimmed = trimSpaces(value);
        if (trimmed.isEmpty())
            return; // an empty cell leaves the field as it is
        if (!field->isEmpty())
            *field += u' ';
        *field += trimmed;
        return;
    }
    switch (item) {
    case CsvItemBirthday: {
        DateValue v;
        if (parseDateText(cell, v))
            card.birthday = oleFromDate(oleToDate(v)); // a birthday has no time of day
        break;
    }
    case CsvItemCreated:
        parseDateText(cell, card.created);
        break;
    case CsvItemUpdated:
        parseDateText(cell, card.updated);
        break;
    case CsvItemMemo: {
        if (cell.isEmpty())
            break;
        QString text = cell.toString();
        text.replace(CrLf, Lf);
        text.replace(Lf, CrLf);
        card.memo += text;
        // Memo lines end with CR LF; a cell whose last line already ended
        // keeps that single line end, so a memo survives any number of
        // export and import rounds unchanged.
        if (!card.memo.endsWith(CrLf))
            card.memo += CrLf;
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

namespace {

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

} // namespace

int parseCsvText(QStringView text, AddressBook &book, const CsvMapper &mapper,
                 Prompter &prompter, DateValue importTime, const Progress &progress)
{
    book = AddressBook::newBook();
    const qsizetype n = text.size();
    qsizetype pos = 0;

    // The header: the first record with cells (blank lines before it are
    // skipped like blank lines anywhere else).
    QStringList header;
    while (pos < n && readLabelRecord(header, text, pos) == 0) {
    }
    if (header.isEmpty())
        return 0; // nothing but blank lines: no columns, no cards

    QList<QStringList> preview;
    {
        qsizetype p = pos;
        QStringList cells;
        while (p < n && preview.size() < CsvPreviewRecords)
            if (readLabelRecord(cells, text, p) > 0)
                preview.append(cells);
    }
    CsvMapping chosen;
    if (!mapper || !mapper(header, preview, chosen))
        return -1;
    const CsvMapping mapping = normalizedMapping(chosen, header.size());

    QList<QStringView> cells;
    QStringList scratch;
    int leftOut = 0;
    while (pos < n) {
        if (!keepGoing(progress, pos, n))
            return -1;
        const qsizetype count = readRecordViews(cells, scratch, text, pos);
        if (count == 0)
            continue;
        if (book.cardCounter >= MaxCardCounter) {
            ++leftOut; // counted, so that the user learns how many
            continue;
        }
        const qsizetype columns = std::min(count, mapping.size());
        chargeCells(std::span<const QStringView>(cells.cbegin(), size_t(columns)), sizeof(Card));
        Card card = Card::newCard();
        card.number = book.cardCounter;
        card.created = importTime;
        card.updated = importTime;
        for (qsizetype j = 0; j < columns; ++j)
            storeCsvCell(card, mapping[j], cells[j]);
        book.cards.append(std::move(card));
        ++book.cardCounter;
    }
    reportDroppedCards(int(book.cardCount() - 1), leftOut, prompter);
    return 0;
}

int CsvFileRead(const QString &path, AddressBook &book, Prompter &prompter,
                const CsvMapper &mapper, const Progress &progress)
{
    book = AddressBook::newBook();
    QString text;
    if (readTextFileForImport(path, text, prompter, /*refuseEmpty=*/true) != 0)
        return -1;
    if (parseCsvText(text, book, mapper, prompter, oleNow(), progress) != 0)
        return -1;
    registerUsedGroups(book);
    return 0;
}

// ---- Writing ---------------------------------------------------------------

QString csvItemLabel(int item)
{
    if (item < 0 || item >= CsvCardItemCount)
        return QString();
    return labels()[item];
}

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
