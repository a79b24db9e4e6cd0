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

QString sortDateText(DateValue v)
{
    const QDateTime dt = oleToDateTime(v);
    return v == NoDate || !dt.isValid() ? QString()
                                        : dt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
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
    for (const QString &e : entries)
        out.append({keyFor(e), perId ? lineText(firstName, e, suffix) : lineText(e, firstId, suffix),
                    card.number, card.status, perId ? firstName : e, perId ? e : firstId});
}

// A line's place in the sort: the first PrefixUnits code units of its folded
// key packed high unit first, missing units as 0, so that comparing the two
// words as integers orders keys as comparing them by code unit does,
// wherever the words differ. The key itself is kept as it is where every
// unit folds on its own (folded unit by unit when the prefixes tie), and
// folded beforehand otherwise.
constexpr qsizetype PrefixUnits = 8;

struct Keyed
{
    quint64 high = 0; // units 0-3
    quint64 low = 0;  // units 4-7
    const QChar *key = nullptr;
    qint32 size = 0;
    bool folded = false; // key is the folded key, not the text to fold
    quint32 index = 0;
};

// Folded keys of texts that do not fold unit by unit; the QStrings keep
// their data where it is when the list grows.
using FoldedStore = std::vector<QString>;

Keyed keyedFor(const QString &text, quint32 index, FoldedStore &store)
{
    const char16_t *folds = unitFolds();
    Keyed k;
    k.index = index;
    QStringView key = text;
    for (const QChar c : key) {
        if (folds[c.unicode()] == UnitFoldNone) {
            store.push_back(textKey(key));
            key = store.back();
            k.folded = true;
            break;
        }
    }
    k.key = key.data();
    k.size = qint32(key.size());
    quint64 words[2] = {0, 0};
    const qsizetype units = std::min(key.size(), PrefixUnits);
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t c = key[i].unicode();
        words[i / 4] |= quint64(k.folded ? c : folds[c]) << (48 - 16 * (i % 4));
    }
    k.high = words[0];
    k.low = words[1];
    return k;
}

// Compares the folded keys of two lines: the prefixes, then what they do
// not settle (the units after them, the lengths, and a unit 0 against a
// missing one).
int compareKeyed(const Keyed &a, const Keyed &b, const char16_t *folds)
{
    if (a.high != b.high)
        return a.high < b.high ? -1 : 1;
    if (a.low != b.low)
        return a.low < b.low ? -1 : 1;
    const qsizetype n = std::min(a.size, b.size);
    for (qsizetype i = std::min(n, PrefixUnits); i < n; ++i) {
        const char16_t x = a.folded ? a.key[i].unicode() : folds[a.key[i].unicode()];
        const char16_t y = b.folded ? b.key[i].unicode() : folds[b.key[i].unicode()];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size == b.size ? 0 : (a.size < b.size ? -1 : 1);
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
    // Keys are folded once per line instead of once per comparison. The
    // sort moves small records that carry the first units of the folded
    // key, so most comparisons settle on two integers without reading a
    // string. Lines whose folded keys tie are then put in order among
    // themselves by their folded texts and the exact key and text; only
    // their texts are folded.
    const qsizetype n = lines.size();
    const char16_t *folds = unitFolds();
    FoldedStore store;
    std::vector<Keyed> keyed;
    keyed.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        keyed.push_back(keyedFor(lines[i].key, quint32(i), store));
    std::sort(keyed.begin(), keyed.end(), [folds](const Keyed &a, const Keyed &b) {
        if (int c = compareKeyed(a, b, folds))
            return c < 0;
        return a.index < b.index;
    });
    for (auto first = keyed.begin(); first != keyed.end();) {
        auto last = first + 1;
        while (last != keyed.end() && compareKeyed(*first, *last, folds) == 0)
            ++last;
        if (last - first > 1) {
            for (auto it = first; it != last; ++it)
                *it = keyedFor(lines[it->index].text, it->index, store); // now by the text
            std::sort(first, last, [&](const Keyed &a, const Keyed &b) {
                if (int c = compareKeyed(a, b, folds))
                    return c < 0;
                const ListLine &x = lines[a.index];
                const ListLine &y = lines[b.index];
                if (int c = QStringView(x.key).compare(QStringView(y.key)))
                    return c < 0;
                if (int c = QStringView(x.text).compare(QStringView(y.text)))
                    return c < 0;
                return a.index < b.index;
            });
        }
        first = last;
    }
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
