#include "core/addresslist.h"

#include <QHash>
#include <algorithm>
#include <vector>

#include "common/oledate.h"
#include "common/textcompare.h"
#include "common/textwidth.h"
#include "core/validation.h"

namespace {

constexpr int NameColumns = 20;
constexpr int IdColumns = 30;

// "yyyy/MM/dd HH:mm:ss", written digit by digit: QDateTime::toString reads
// its format anew for every card.
QString sortDateText(DateValue v)
{
    const QDateTime dt = oleToDateTime(v);
    if (v == NoDate || !dt.isValid())
        return {};
    const QDate d = dt.date();
    const QTime t = dt.time();
    if (d.year() < 0 || d.year() > 9999)
        return dt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    QString out(19, Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    auto digits = [&o](int value, int count) {
        for (int i = count - 1; i >= 0; --i, value /= 10)
            o[i] = char16_t(u'0' + value % 10);
        o += count;
    };
    auto put = [&o](char16_t c) { *o++ = c; };
    digits(d.year(), 4);
    put(u'/');
    digits(d.month(), 2);
    put(u'/');
    digits(d.day(), 2);
    put(u' ');
    digits(t.hour(), 2);
    put(u':');
    digits(t.minute(), 2);
    put(u':');
    digits(t.second(), 2);
    return out;
}

QString statusSuffix(qint32 status)
{
    if (status == 0)
        return {};
    return severityMark(statusSeverity(status)) + QLatin1Char(' ') + statusMessage(status);
}

// The line as shown: the name and ID columns, then the card's status.
QString lineText(QStringView name, QStringView id, const QString &suffix)
{
    QString out;
    out.reserve(NameColumns + IdColumns + 2 + suffix.size());
    appendFitWidth(out, name, NameColumns);
    out += QLatin1Char(' ');
    appendFitWidth(out, id, IdColumns);
    out += QLatin1Char(' ');
    out += suffix;
    return out;
}

QString joined(QStringView a, QLatin1Char between, QStringView b)
{
    QString out;
    out.reserve(a.size() + 1 + b.size());
    out += a;
    out += between;
    out += b;
    return out;
}

// Appends the lines of one card. What every line of the card shares (its
// status text, its date key) is made once per card.
void appendCardListLines(const Card &card, int sortOrder, QList<ListLine> &out)
{
    const bool perId = sortOrder == SortById || sortOrder == SortByDomain;
    const QString firstName = card.names.value(0);
    const QString firstId = card.ids.value(0);
    const QString suffix = statusSuffix(card.status);

    QString cardKey; // the key's part that comes from the card, not the entry
    switch (sortOrder) {
    case SortByCreated: cardKey = sortDateText(card.created); break;
    case SortByUpdated: cardKey = sortDateText(card.updated); break;
    case SortByStatus:
        cardKey = card.status == 0 ? QStringLiteral("9999")
                                   : QStringLiteral("%1").arg(card.status, 4, 10, QLatin1Char('0'));
        break;
    default: break;
    }
    auto keyFor = [&](const QString &entry) -> QString {
        switch (sortOrder) {
        case SortByDomain: {
            const qsizetype at = entry.indexOf(u'@');
            return joined(at < 0 ? QStringView() : QStringView(entry).sliced(at + 1),
                          QLatin1Char(' '), entry);
        }
        case SortByCreated:
        case SortByUpdated: return cardKey;
        case SortByStatus: return entry.isEmpty() ? cardKey : cardKey + entry;
        default: return entry;
        }
    };

    const QStringList &entries = perId ? card.ids : card.names;
    if (entries.isEmpty()) {
        // One line with a blank column; its key has no entry part.
        out.append({cardKey, perId ? lineText(firstName, QString(), suffix)
                                   : lineText(QString(), firstId, suffix),
                    card.number, card.status, perId ? firstName : QString(),
                    perId ? QString() : firstId});
        return;
    }
    for (const QString &e : entries) {
        ListLine &line = out.emplaceBack();
        line.key = keyFor(e);
        line.text = perId ? lineText(firstName, e, suffix) : lineText(e, firstId, suffix);
        line.cardNumber = card.number;
        line.status = card.status;
        line.name = perId ? firstName : e;
        line.id = perId ? e : firstId;
    }
}

// The sort looks at folded keys eight code units (a window) at a time: a
// window packed high unit first into two integers, missing units as 0,
// orders keys as comparing them by code unit does wherever the windows
// differ. Lines whose windows tie are sorted again by the next window, and
// so on until their keys end. A key is kept as it is where every unit folds
// on its own (folded unit by unit as its windows are made), and folded
// whole once a window meets a unit that does not.
constexpr qsizetype WindowUnits = 8;

struct Keyed
{
    quint64 high = 0; // window units 0-3
    quint64 low = 0;  // window units 4-7
    qint32 rest = 0;  // the units from the window's start, at most WindowUnits + 1
    qint32 size = 0;
    const QChar *key = nullptr;
    bool folded = false; // key is the folded key, not the text to fold
    quint32 index = 0;
};

// Folded keys of texts that do not fold unit by unit; the QStrings keep
// their data where it is when the list grows.
using FoldedStore = std::vector<QString>;

void setWindow(Keyed &k, qsizetype start, const char16_t *folds, FoldedStore &store)
{
    char16_t units[WindowUnits] = {};
    const qsizetype count = std::clamp<qsizetype>(k.size - start, 0, WindowUnits);
    const QChar *at = k.key + start;
    if (!k.folded) {
        bool alone = true;
        for (qsizetype i = 0; i < count; ++i) {
            units[i] = folds[at[i].unicode()];
            alone &= units[i] != UnitFoldNone;
        }
        if (!alone) {
            // A unit that does not fold on its own: fold the whole key. The
            // units before it, and so the windows already made, stay as
            // they were; folding never ends a text before that unit.
            store.push_back(textKey(QStringView(k.key, k.size)));
            k.key = store.back().constData();
            k.size = qint32(store.back().size());
            k.folded = true;
        }
    }
    if (k.folded) {
        const qsizetype folded = std::clamp<qsizetype>(k.size - start, 0, WindowUnits);
        std::fill(std::copy_n(reinterpret_cast<const char16_t *>(k.key + start), folded, units),
                  units + WindowUnits, u'\0');
    }
    k.high = quint64(units[0]) << 48 | quint64(units[1]) << 32 | quint64(units[2]) << 16 | units[3];
    k.low = quint64(units[4]) << 48 | quint64(units[5]) << 32 | quint64(units[6]) << 16 | units[7];
    k.rest = qint32(std::clamp<qsizetype>(k.size - start, 0, WindowUnits + 1));
}

Keyed keyedFor(const QString &text, quint32 index, FoldedStore &store, const char16_t *folds,
               qsizetype start = 0)
{
    Keyed k;
    k.index = index;
    k.key = text.constData();
    k.size = qint32(text.size());
    setWindow(k, start, folds, store);
    return k;
}

// Windows that tie with a key ending inside them order the shorter key
// (a prefix of the other, padded with 0) first; keys running past the
// window tie until the next window.
bool windowLess(const Keyed &a, const Keyed &b)
{
    if (a.high != b.high)
        return a.high < b.high;
    if (a.low != b.low)
        return a.low < b.low;
    return a.rest < b.rest;
}

bool windowEqual(const Keyed &a, const Keyed &b)
{
    return a.high == b.high && a.low == b.low && a.rest == b.rest;
}

// How far keys that agree on their first start folded units (and are all
// longer) go on agreeing: long runs share a long start (a mail domain, a
// name), which is then skipped at once rather than a window at a time. It
// stops before a unit that does not fold on its own.
qsizetype sharedUnits(const Keyed *first, const Keyed *last, qsizetype start,
                      const char16_t *folds)
{
    auto unitAt = [folds](const Keyed &k, qsizetype i) -> int {
        if (i >= k.size)
            return -1;
        if (k.folded)
            return k.key[i].unicode();
        const char16_t f = folds[k.key[i].unicode()];
        return f == UnitFoldNone ? -1 : f;
    };
    for (qsizetype i = start;; ++i) {
        const int unit = unitAt(*first, i);
        if (unit < 0)
            return i;
        for (const Keyed *k = first + 1; k != last; ++k)
            if (unitAt(*k, i) != unit)
                return i;
    }
}

// Sorts [first, last) by folded key, the keys agreeing on their first
// start units and their windows set at start; each run of equal folded
// keys is handed to onTie to be put in order.
template <typename OnTie>
void sortByFoldedKey(Keyed *first, Keyed *last, qsizetype start, const char16_t *folds,
                     FoldedStore &store, const OnTie &onTie)
{
    std::sort(first, last, windowLess);
    for (Keyed *run = first; run != last;) {
        Keyed *end = run + 1;
        while (end != last && windowEqual(*run, *end))
            ++end;
        if (end - run > 1) {
            if (run->rest <= WindowUnits) {
                onTie(run, end);
            } else {
                const qsizetype next = sharedUnits(run, end, start + WindowUnits, folds);
                for (Keyed *k = run; k != end; ++k)
                    setWindow(*k, next, folds, store);
                sortByFoldedKey(run, end, next, folds, store, onTie);
            }
        }
        run = end;
    }
}

} // namespace

QString DomainGet(QStringView id)
{
    const qsizetype at = id.indexOf(u'@');
    return at < 0 ? QString() : id.mid(at + 1).toString();
}

QList<ListLine> cardListLines(const Card &card, int sortOrder)
{
    QList<ListLine> out;
    appendCardListLines(card, sortOrder, out);
    return out;
}

void sortListLines(QList<ListLine> &lines)
{
    if (lines.size() < 2)
        return;
    // Lines are ordered by folded key, lines whose folded keys tie by folded
    // text, then by the exact key and text. Keys and texts are folded once,
    // into windows of integers, so nearly every comparison is of integers;
    // only the texts of lines whose keys tie are looked at.
    const qsizetype n = lines.size();
    const char16_t *folds = unitFolds();
    FoldedStore store;
    std::vector<Keyed> keyed;
    keyed.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        keyed.push_back(keyedFor(lines[i].key, quint32(i), store, folds));
    const auto exactOrder = [&lines](Keyed *first, Keyed *last) {
        std::sort(first, last, [&lines](const Keyed &a, const Keyed &b) {
            const ListLine &x = lines[a.index];
            const ListLine &y = lines[b.index];
            if (int c = QStringView(x.key).compare(QStringView(y.key)))
                return c < 0;
            if (int c = QStringView(x.text).compare(QStringView(y.text)))
                return c < 0;
            return a.index < b.index;
        });
    };
    const auto byFoldedText = [&](Keyed *first, Keyed *last) {
        // Lines whose keys tie often begin with the same text (the same
        // name): the windows start after what they share, up to the first
        // unit that does not fold on its own.
        const QStringView head = lines[first->index].text;
        qsizetype shared = 0;
        while (shared < head.size() && folds[head[shared].unicode()] != UnitFoldNone)
            ++shared;
        for (Keyed *k = first + 1; k != last && shared > 0; ++k) {
            const QStringView text = lines[k->index].text;
            shared = std::min(shared, text.size());
            shared = std::mismatch(head.begin(), head.begin() + shared, text.begin()).first
                     - head.begin();
        }
        for (Keyed *k = first; k != last; ++k)
            *k = keyedFor(lines[k->index].text, k->index, store, folds, shared);
        sortByFoldedKey(first, last, shared, folds, store, exactOrder);
    };
    sortByFoldedKey(keyed.data(), keyed.data() + n, 0, folds, store, byFoldedText);
    // Put each line in its place by walking the permutation's cycles, with
    // no second list of lines.
    std::vector<bool> placed(lines.size());
    for (qsizetype start = 0; start < lines.size(); ++start) {
        if (placed[start])
            continue;
        ListLine held = std::move(lines[start]);
        qsizetype at = start;
        for (;;) {
            placed[at] = true;
            const qsizetype from = keyed[at].index;
            if (from == start) {
                lines[at] = std::move(held);
                break;
            }
            lines[at] = std::move(lines[from]);
            at = from;
        }
    }
}

BuildResult buildListLines(const AddressBook &book, const QList<qint32> &displayList,
                           int sortOrder, QList<ListLine> &out, const Progress &progress)
{
    QHash<qint32, qsizetype> indexOf;
    indexOf.reserve(book.cardCount());
    for (qsizetype i = book.cardCount() - 1; i >= 1; --i)
        indexOf.insert(book.cards[i].number, i); // the first card of a number wins
    QList<qsizetype> indices;
    indices.reserve(displayList.size());
    for (qint32 n : displayList) {
        const auto it = indexOf.constFind(n);
        if (it == indexOf.constEnd())
            return BuildResult::MissingCard;
        indices.append(*it);
    }
    const bool perId = sortOrder == SortById || sortOrder == SortByDomain;
    qsizetype lineCount = 0;
    for (qsizetype i : std::as_const(indices)) {
        const Card &card = book.cards[i];
        lineCount += std::max<qsizetype>(1, (perId ? card.ids : card.names).size());
    }
    QList<ListLine> lines;
    lines.reserve(lineCount);
    for (qsizetype i = 0; i < indices.size(); ++i) {
        if (!keepGoing(progress, i, indices.size()))
            return BuildResult::Interrupted;
        appendCardListLines(book.cards[indices[i]], sortOrder, lines);
    }
    sortListLines(lines);
    out = std::move(lines);
    return BuildResult::Done;
}

int AddressListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant AddressListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    const ListLine &l = m_lines[index.row()];
    switch (role) {
    case Qt::DisplayRole: return l.text;
    case CardNumberRole: return l.cardNumber;
    case StatusRole: return l.status;
    default: return {};
    }
}

void AddressListModel::setLines(QList<ListLine> lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void AddressListModel::appendLines(const QList<ListLine> &lines)
{
    if (lines.isEmpty())
        return;
    beginInsertRows({}, int(m_lines.size()), int(m_lines.size() + lines.size() - 1));
    m_lines.append(lines);
    endInsertRows();
}

void AddressListModel::removeRowsOfCard(qint32 cardNumber)
{
    for (int row = int(m_lines.size()) - 1; row >= 0; --row) {
        if (m_lines[row].cardNumber != cardNumber)
            continue;
        int first = row;
        while (first > 0 && m_lines[first - 1].cardNumber == cardNumber)
            --first;
        beginRemoveRows({}, first, row);
        m_lines.remove(first, row - first + 1);
        endRemoveRows();
        row = first;
    }
}

void AddressListModel::removeRowsOfCards(const QSet<qint32> &cardNumbers)
{
    QList<ListLine> kept;
    kept.reserve(m_lines.size());
    for (const ListLine &line : std::as_const(m_lines))
        if (!cardNumbers.contains(line.cardNumber))
            kept.append(line);
    if (kept.size() != m_lines.size())
        setLines(std::move(kept));
}

int AddressListModel::firstRowOfCard(qint32 cardNumber) const
{
    for (int row = 0; row < m_lines.size(); ++row)
        if (m_lines[row].cardNumber == cardNumber)
            return row;
    return -1;
}
