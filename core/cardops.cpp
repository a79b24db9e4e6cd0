#include "core/cardops.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <array>
#include <type_traits>
#include <utility>

#include "common/oledate.h"
#include "common/prompter.h"
#include "common/textcompare.h"
#include "common/textwidth.h"
#include "common/widthconv.h"

const QString MemoMergeSeparator = QStringLiteral("---- カード統合による区切り ----");

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Blank: nothing but U+0020 spaces.
bool isBlank(QStringView s)
{
    for (const QChar c : s)
        if (c != u' ')
            return false;
    return true;
}

// The blanks a memo comparison ignores at both ends: U+0020 and U+3000.
constexpr char16_t BlankCharacters[] = u" \u3000";

// s sorted in ascending text-comparison order; entries exactly equal stand
// next to each other. Keys are folded once, not per comparison.
QStringList sortedByText(const QStringList &s)
{
    QList<std::pair<QString, QString>> keyed;
    keyed.reserve(s.size());
    for (const QString &e : s)
        keyed.append({textKey(e), e});
    std::sort(keyed.begin(), keyed.end());
    QStringList out;
    out.reserve(keyed.size());
    for (auto &k : keyed)
        out.append(std::move(k.second));
    return out;
}

// Appends each entry of source that list does not hold yet (under cmp).
// Looks entries up by their key (the folded text under text comparison), so
// combining many cards stays linear in the number of entries.
void appendMissing(QStringList &list, const QStringList &source, Comparison cmp)
{
    if (source.isEmpty())
        return;
    auto keyOf = [cmp](const QString &e) { return cmp == Comparison::Text ? textKey(e) : e; };
    QSet<QString> present;
    present.reserve(list.size() + source.size());
    for (const QString &t : std::as_const(list))
        present.insert(keyOf(t));
    for (const QString &s : source) {
        const QString key = keyOf(s);
        if (!present.contains(key)) {
            present.insert(key);
            list.append(s);
        }
    }
}

void mergeString(QString &target, const QString &source)
{
    if (isBlank(target) && !isBlank(source))
        target = source;
}

// The earlier (or later) of two dates; NoDate on one side yields the other.
DateValue earlierDate(DateValue a, DateValue b)
{
    if (a == NoDate)
        return b;
    if (b == NoDate)
        return a;
    return std::min(a, b);
}

DateValue laterDate(DateValue a, DateValue b)
{
    if (a == NoDate)
        return b;
    if (b == NoDate)
        return a;
    return std::max(a, b);
}

bool isValidDate(DateValue v)
{
    return v != NoDate && isShowableDate(v);
}

// The number a card gets when it is appended; a counter below 1 (only a
// damaged file has one) is first raised above every card number in use.
void normaliseCounter(AddressBook &book)
{
    if (book.cardCounter >= 1)
        return;
    qint32 largest = 0;
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        const qint32 n = book.cards[i].number;
        if (n <= MaxCardCounter)
            largest = std::max(largest, n);
    }
    book.cardCounter = std::min(largest + 1, MaxCardCounter);
}

// The cards holding each ID, by folded ID: textEqual(a, b) holds exactly
// when textKey(a) == textKey(b). Maps to the smallest index, as the linear
// search findCardById would find.
class IdIndex
{
public:
    explicit IdIndex(const AddressBook &book)
    {
        for (qsizetype i = 1; i < book.cards.size(); ++i)
            addIds(book.cards[i], int(i));
    }
    int find(QStringView id) const { return m_first.value(textKey(id), -1); }
    // Records that the card at index holds its IDs; a key keeps the
    // smallest index holding it.
    void addIds(const Card &card, int index)
    {
        for (const QString &id : card.ids) {
            auto it = m_first.find(textKey(id));
            if (it == m_first.end())
                m_first.insert(textKey(id), index);
            else if (index < *it)
                *it = index;
        }
    }

private:
    QHash<QString, int> m_first;
};

// Whether addCardImpl refuses a card the counter has no number left for.
enum class CounterLimit { Refuse, Ignore };

int addCardImpl(Card &card, AddressBook &book, Prompter &prompter, DateValue now,
                IdIndex *index, CounterLimit limit = CounterLimit::Refuse)
{
    for (const QString &id : card.ids) {
        const int hit = index ? index->find(id) : findCardById(book, id);
        if (hit >= 1) {
            mergeCards(book.cards[hit], card);
            if (index)
                index->addIds(book.cards[hit], hit);
            return 1;
        }
    }

    normaliseCounter(book);
    if (limit == CounterLimit::Refuse && book.cardCounter >= MaxCardCounter) {
        prompter.notice(cardCounterFullMessage(), Prompter::Icon::Warning);
        return -1;
    }

    if (card.exchangeAutoRecord == FlagUnset)
        card.exchangeAutoRecord = FlagOn;
    if (card.remarkAutoRecord == FlagUnset)
        card.remarkAutoRecord = FlagOff;
    if (!isValidDate(card.updated))
        card.updated = now;
    if (!isValidDate(card.created))
        card.created = card.updated;
    card.number = book.cardCounter;
    card.itemCount = CardItemKindCount;

    book.cards.append(card);
    ++book.cardCounter;
    if (index)
        index->addIds(card, int(book.cards.size() - 1));
    return 0;
}

} // namespace

// ---- Lookups -------------------------------------------------------------

int findCardByNumber(const AddressBook &book, qint32 number)
{
    for (qsizetype i = 1; i < book.cards.size(); ++i)
        if (book.cards[i].number == number)
            return int(i);
    return -1;
}

int findCardById(const AddressBook &book, QStringView id)
{
    for (qsizetype i = 1; i < book.cards.size(); ++i)
        for (const QString &own : book.cards[i].ids)
            if (textEqual(own, id))
                return int(i);
    return -1;
}

int findCardByGroup(const AddressBook &book, QStringView name)
{
    for (qsizetype i = 1; i < book.cards.size(); ++i)
        for (const QString &g : book.cards[i].groups)
            if (g == name)
                return int(i);
    return -1;
}

int mapNumbersToIndices(const AddressBook &book, const QList<qint32> &numbers,
                        QList<int> &indices)
{
    QHash<qint32, int> byNumber;
    byNumber.reserve(book.cards.size());
    for (qsizetype i = book.cards.size() - 1; i >= 1; --i)
        byNumber.insert(book.cards[i].number, int(i)); // the first card wins
    indices.clear();
    indices.reserve(numbers.size());
    int missing = 0;
    for (const qint32 n : numbers) {
        const int i = byNumber.value(n, -1);
        indices.append(i);
        if (i < 0)
            ++missing;
    }
    return missing;
}

// ---- Changes -------------------------------------------------------------

QString cardCounterFullMessage()
{
    return QStringLiteral("カード番号が上限（32767）に達しているため、これ以上カードを追加できません。");
}

QString appendRefusedMessage(int newCards, int room)
{
    return QStringLiteral("追加するカード（%1 枚）が上限を超えるため、追加できません。"
                          "（追加できるのは %2 枚までです）")
        .arg(newCards)
        .arg(room);
}

int addCard(Card &card, AddressBook &book, Prompter &prompter)
{
    return addCardImpl(card, book, prompter, oleNow(), nullptr);
}

int addCard(Card &card, AddressBook &book, Prompter &prompter, DateValue now)
{
    return addCardImpl(card, book, prompter, now, nullptr);
}

QString mergeMemos(const QString &target, const QString &source)
{
    if (source == target)
        return target;
    if (source.size() == target.size()
        && textEqual(trimCharacters(toFullWidth(source), BlankCharacters),
                     trimCharacters(toFullWidth(target), BlankCharacters)))
        return target;
    if (isBlank(source))
        return target;
    if (isBlank(target))
        return source;
    return target + CrLf + MemoMergeSeparator + CrLf + source;
}

QStringList mergeLists(const QStringList &target, const QStringList &source)
{
    if (source.isEmpty())
        return target;
    if (target.isEmpty())
        return source;
    QStringList all = sortedByText(target + source);
    all.erase(std::unique(all.begin(), all.end()), all.end());
    return all;
}

namespace {

// The four record lists of a card, in the order of PendingRecordLists.
std::array<QStringList *, 4> recordLists(Card &c)
{
    return {&c.profile, &c.mailLog, &c.exchangeRecords, &c.remarkRecords};
}
std::array<const QStringList *, 4> recordLists(const Card &c)
{
    return {&c.profile, &c.mailLog, &c.exchangeRecords, &c.remarkRecords};
}

// Every field but the record lists.
void mergeCardFields(Card &target, const Card &source)
{
    appendMissing(target.ids, source.ids, Comparison::Text);
    appendMissing(target.names, source.names, Comparison::Exact);
    appendMissing(target.groups, source.groups, Comparison::Exact);
    mergeString(target.postalCode, source.postalCode);
    mergeString(target.address, source.address);
    mergeString(target.telephone, source.telephone);
    mergeString(target.fax, source.fax);
    mergeString(target.mobile, source.mobile);
    mergeString(target.pager, source.pager);
    target.memo = mergeMemos(target.memo, source.memo);
    if (target.birthday == NoDate)
        target.birthday = source.birthday;
    target.created = earlierDate(target.created, source.created);
    target.updated = laterDate(target.updated, source.updated);
    if (target.exchangeAutoRecord != source.exchangeAutoRecord)
        target.exchangeAutoRecord = FlagOn;
    if (target.remarkAutoRecord != source.remarkAutoRecord)
        target.remarkAutoRecord = FlagOff;
}

} // namespace

// mergeLists(t, s) is the single list when the other is empty, and the
// sorted union of both (repeats removed) otherwise. The sorted union of a
// sorted union with a third list is the sorted union of all three, so a run
// of merges needs only one sort of everything gathered, at the end; a list
// that only ever met empty lists stays exactly as it was.
namespace {

template <typename SourceCard>
void mergeCardsPendingImpl(Card &target, SourceCard &source, PendingRecordLists &targetPending,
                           const PendingRecordLists *sourcePending)
{
    constexpr bool mayTake = !std::is_const_v<SourceCard>;
    mergeCardFields(target, source);
    const auto to = recordLists(target);
    const auto from = recordLists(source);
    for (size_t f = 0; f < to.size(); ++f) {
        if (from[f]->isEmpty())
            continue;
        if (to[f]->isEmpty()) {
            if constexpr (mayTake)
                to[f]->swap(*from[f]);
            else
                *to[f] = *from[f];
            targetPending.mixed[f] = sourcePending && sourcePending->mixed[f];
            continue;
        }
        // Both hold entries: the order no longer matters, since the lists
        // are sorted at the end.
        if constexpr (mayTake) {
            if (from[f]->size() > to[f]->size())
                to[f]->swap(*from[f]);
        }
        *to[f] += *from[f];
        targetPending.mixed[f] = true;
    }
}

} // namespace

void mergeCardsPending(Card &target, const Card &source, PendingRecordLists &targetPending,
                       const PendingRecordLists *sourcePending)
{
    mergeCardsPendingImpl(target, source, targetPending, sourcePending);
}

void mergeCardsPending(Card &target, Card &&source, PendingRecordLists &targetPending,
                       const PendingRecordLists *sourcePending)
{
    mergeCardsPendingImpl(target, source, targetPending, sourcePending);
}

void finishRecordLists(Card &card, PendingRecordLists &pending)
{
    const auto lists = recordLists(card);
    for (size_t f = 0; f < lists.size(); ++f) {
        if (!pending.mixed[f])
            continue;
        QStringList all = sortedByText(*lists[f]);
        all.erase(std::unique(all.begin(), all.end()), all.end());
        *lists[f] = std::move(all);
        pending.mixed[f] = false;
    }
}

void mergeCards(Card &target, const Card &source)
{
    PendingRecordLists pending;
    mergeCardsPending(target, source, pending);
    finishRecordLists(target, pending);
}

int mergeCardsByNumber(qint32 targetNumber, qint32 sourceNumber, AddressBook &book)
{
    const int t = findCardByNumber(book, targetNumber);
    const int s = findCardByNumber(book, sourceNumber);
    if (t < 0 || s < 0 || t == s)
        return -1;
    mergeCards(book.cards[t], book.cards[s]);
    return 0;
}

int mergeCardsIntoOne(qint32 targetNumber, const QList<qint32> &sourceNumbers, AddressBook &book)
{
    const int t = findCardByNumber(book, targetNumber);
    if (t < 0)
        return -1;
    QList<int> indices;
    mapNumbersToIndices(book, sourceNumbers, indices);
    PendingRecordLists pending;
    int merged = 0;
    for (const int s : std::as_const(indices)) {
        if (s < 0 || s == t)
            continue;
        mergeCardsPending(book.cards[t], book.cards[s], pending);
        ++merged;
    }
    finishRecordLists(book.cards[t], pending);
    return merged;
}

void deleteCardByNumber(qint32 number, AddressBook &book)
{
    const int i = findCardByNumber(book, number);
    if (i >= 1)
        book.cards.removeAt(i);
}

int deleteCards(const QList<qint32> &numbers, AddressBook &book)
{
    if (numbers.isEmpty())
        return 0;
    const QSet<qint32> doomed(numbers.cbegin(), numbers.cend());
    QList<Card> kept;
    kept.reserve(book.cards.size());
    kept.append(std::move(book.cards[0]));
    for (qsizetype i = 1; i < book.cards.size(); ++i)
        if (!doomed.contains(book.cards[i].number))
            kept.append(std::move(book.cards[i]));
    const int removed = int(book.cards.size() - kept.size());
    book.cards = std::move(kept);
    return removed;
}

int registerGroup(const QString &name, AddressBook &book)
{
    if (book.groupList().contains(name))
        return 1;
    book.groupList().append(name);
    return 0;
}

int registerUsedGroups(AddressBook &book)
{
    // The same test as registerGroup (exact comparison), with the names seen
    // so far kept in a set so that a large book is not quadratic.
    QStringList &list = book.groupList();
    QSet<QString> known(list.cbegin(), list.cend());
    int added = 0;
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        for (const QString &g : std::as_const(book.cards[i].groups)) {
            if (!known.contains(g)) {
                known.insert(g);
                list.append(g);
                ++added;
            }
        }
    }
    return added;
}

int renameGroupInCards(const QString &newName, const QString &oldName, AddressBook &book)
{
    if (newName == oldName)
        return 0;
    int changes = 0;
    for (qsizetype i = 1; i < book.cards.size(); ++i) {
        QStringList &groups = book.cards[i].groups;
        if (groups.contains(newName)) {
            changes += int(groups.removeAll(oldName));
        } else {
            for (QString &g : groups) {
                if (g == oldName) {
                    g = newName;
                    ++changes;
                }
            }
        }
    }
    return changes;
}

int removeGroupFromCards(const QString &name, AddressBook &book)
{
    int removed = 0;
    for (qsizetype i = 1; i < book.cards.size(); ++i)
        removed += int(book.cards[i].groups.removeAll(name));
    return removed;
}

int appendBook(AddressBook &target, const AddressBook &source, Prompter &prompter,
               const Progress &progress, int *taken)
{
    if (&target == &source) {
        const AddressBook copy = source;
        return appendBook(target, copy, prompter, progress, taken);
    }
    if (taken)
        *taken = 0;
    // The append runs on a copy, past the counter's limit if need be; the
    // book takes the result only when every new card got a number.
    AddressBook result = target;
    for (const QString &g : source.groupList())
        registerGroup(g, result);
    normaliseCounter(result);
    const int room = std::max(0, MaxCardCounter - result.cardCounter);

    IdIndex index(result);
    const DateValue now = oleNow();
    const qsizetype total = source.cards.size() - 1;
    int added = 0;
    for (qsizetype i = 1; i < source.cards.size(); ++i) {
        if (!keepGoing(progress, i - 1, total))
            return -1;
        Card card = source.cards[i];
        if (addCardImpl(card, result, prompter, now, &index, CounterLimit::Ignore) == 0)
            ++added;
    }
    if (added > room) {
        prompter.notice(appendRefusedMessage(added, room), Prompter::Icon::Warning);
        return -1;
    }
    target = std::move(result);
    if (taken)
        *taken = int(total);
    return 0;
}

int countCardsSharingIds(const AddressBook &reference, const AddressBook &other)
{
    QSet<QString> known;
    for (qsizetype i = 1; i < reference.cards.size(); ++i)
        for (const QString &id : reference.cards[i].ids)
            known.insert(textKey(id));
    int count = 0;
    for (qsizetype i = 1; i < other.cards.size(); ++i) {
        const QStringList &ids = other.cards[i].ids;
        if (std::any_of(ids.cbegin(), ids.cend(),
                        [&](const QString &id) { return known.contains(textKey(id)); }))
            ++count;
    }
    return count;
}

// ---- Comparisons ---------------------------------------------------------

namespace {

bool sameEntries(const QStringList &a, const QStringList &b)
{
    return a.size() == b.size() && sortedByText(a) == sortedByText(b);
}

// Drops trailing spaces (U+0020, U+3000), CR, LF and TAB.
QStringView withoutTrailingWhitespace(QStringView s)
{
    qsizetype e = s.size();
    while (e > 0) {
        const QChar c = s[e - 1];
        if (c != u' ' && c != u'\u3000' && c != u'\r' && c != u'\n' && c != u'\t')
            break;
        --e;
    }
    return s.left(e);
}

// Up to three entries, or two and "..." when there are four or more.
void appendShortList(QString &out, const QStringList &list)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (i == 2 && list.size() >= 4) {
            out += QStringLiteral("...");
            return;
        }
        out += list[i];
        if (i + 1 < list.size())
            out += QStringLiteral(", ");
    }
}

} // namespace

int cardsEquivalent(const Card &a, const Card &b)
{
    const bool listsEqual = sameEntries(a.ids, b.ids) && sameEntries(a.names, b.names)
        && sameEntries(a.profile, b.profile) && sameEntries(a.remarkRecords, b.remarkRecords)
        && sameEntries(a.mailLog, b.mailLog) && sameEntries(a.exchangeRecords, b.exchangeRecords)
        && sameEntries(a.groups, b.groups);
    if (!listsEqual)
        return -1;
    if (a.postalCode != b.postalCode || a.address != b.address || a.telephone != b.telephone
        || a.fax != b.fax || a.mobile != b.mobile || a.pager != b.pager
        || a.birthday != b.birthday)
        return -1;
    if (withoutTrailingWhitespace(a.memo) != withoutTrailingWhitespace(b.memo))
        return -1;
    if (a.exchangeAutoRecord != b.exchangeAutoRecord || a.remarkAutoRecord != b.remarkAutoRecord)
        return -1;
    return 0;
}

QString cardSummaryText(const Card &card)
{
    QString out;
    appendShortList(out, card.names);
    if (!card.ids.isEmpty()) {
        out += u'（';
        appendShortList(out, card.ids);
        out += u'）';
    }
    return out;
}
