#include "tools/compare.h"

#include <QFileInfo>
#include <algorithm>

#include "common/paths.h"
#include "common/prompter.h"
#include "common/sorting.h"
#include "common/textcompare.h"
#include "core/cardops.h"
#include "core/ndbfile.h"
#include "core/reportbanner.h"

namespace {

const QString CrLf = QStringLiteral("\r\n");

// One entry per ID of every card (index 1 on), sorted by ID: primary is the
// ID, a the card's index.
QList<SortEntry> idKeys(const AddressBook &book)
{
    QList<SortEntry> keys;
    qsizetype n = 0;
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        n += book.cards[i].ids.size();
    keys.reserve(n);
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        for (const QString &id : book.cards[i].ids)
            keys.append(SortEntry{id, QString(), qint32(i), -1});
    sortEntries(keys, keys.size());
    return keys;
}

// The card of book (through its keys) holding id (text comparison). Among
// several holders the card numbered `number` wins, so that a book compared
// with its own copy pairs every card with itself; otherwise the first in
// book order. -1 when no card holds id.
int cardHolding(const QList<SortEntry> &keys, const AddressBook &book, const QString &id,
                qint32 number)
{
    const SortEntry probe{id, QString(), 0, 0};
    qsizetype at = findEntry(probe, keys, keys.size());
    if (at < 0)
        return -1;
    // Equal IDs stand together.
    while (at > 0 && textCompare(keys[at - 1].primary, id) == 0)
        --at;
    int card = keys[at].a;
    for (qsizetype k = at; k < keys.size() && textCompare(keys[k].primary, id) == 0; ++k) {
        if (book.cards[keys[k].a].number == number)
            return keys[k].a;
        card = std::min(card, int(keys[k].a));
    }
    return card;
}

// True when every field that cardsEquivalent looks at is exactly equal,
// lists in the same order: such cards are equivalent. Settles the common
// case of an unchanged card without sorting its (possibly long) lists.
bool sameContents(const Card &a, const Card &b)
{
    return a.ids == b.ids && a.names == b.names && a.postalCode == b.postalCode
        && a.address == b.address && a.telephone == b.telephone && a.fax == b.fax
        && a.mobile == b.mobile && a.pager == b.pager && a.birthday == b.birthday
        && a.memo == b.memo && a.exchangeAutoRecord == b.exchangeAutoRecord
        && a.remarkAutoRecord == b.remarkAutoRecord && a.groups == b.groups
        && a.profile == b.profile && a.mailLog == b.mailLog
        && a.exchangeRecords == b.exchangeRecords && a.remarkRecords == b.remarkRecords;
}

void sortUnique(QList<int> &list)
{
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
}

QStringList missingFrom(const QStringList &list, const QStringList &other)
{
    QStringList out;
    for (const QString &name : list)
        if (!other.contains(name, Qt::CaseSensitive))
            out << name;
    return out;
}

QString dateTimeText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

void appendCards(QString &out, const QString &heading, const QList<int> &indices,
                 const AddressBook &book)
{
    if (indices.isEmpty())
        return;
    out += heading + QString::number(indices.size()) + QStringLiteral(" 枚)") + CrLf;
    for (int i : indices)
        out += QStringLiteral("  ") + cardSummaryText(book.cards[i]) + CrLf;
}

void appendGroups(QString &out, const QString &heading, const QStringList &names)
{
    if (names.isEmpty())
        return;
    out += heading + CrLf;
    for (const QString &name : names)
        out += QStringLiteral("  ") + name + CrLf;
}

} // namespace

BookDifferences compareBooks(const AddressBook &oldBook, const AddressBook &newBook)
{
    BookDifferences d;
    d.removedGroups = missingFrom(oldBook.groupList(), newBook.groupList());
    d.addedGroups = missingFrom(newBook.groupList(), oldBook.groupList());

    const QList<SortEntry> oldKeys = idKeys(oldBook);
    const QList<SortEntry> newKeys = idKeys(newBook);

    // Pairs of matched cards, each compared once however many IDs they share.
    QList<std::pair<int, int>> pairs;
    for (const SortEntry &k : oldKeys) {
        const int other = cardHolding(newKeys, newBook, k.primary, oldBook.cards[k.a].number);
        if (other < 0)
            d.deletedCards.append(k.a);
        else
            pairs.append({k.a, other});
    }
    for (const SortEntry &k : newKeys)
        if (findEntry(SortEntry{k.primary, QString(), 0, 0}, oldKeys, oldKeys.size()) < 0)
            d.addedCards.append(k.a);

    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    for (const auto &[o, n] : pairs) {
        const Card &a = oldBook.cards[o];
        const Card &b = newBook.cards[n];
        if (!sameContents(a, b) && cardsEquivalent(a, b) != 0)
            d.modifiedCards.append(n);
    }

    sortUnique(d.deletedCards);
    sortUnique(d.modifiedCards);
    sortUnique(d.addedCards);
    return d;
}

QString compareBooksReport(const AddressBook &oldBook, const QString &oldPath,
                           const QDateTime &oldModified, const AddressBook &newBook,
                           const QString &newPath, const QDateTime &newModified,
                           const QDateTime &now, int *differences)
{
    const BookDifferences d = compareBooks(oldBook, newBook);
    if (differences)
        *differences = d.count();
    if (d.count() == 0)
        return QStringLiteral("情報の変更はありません。") + CrLf;

    QString out;
    out.reserve(4096 + 64 * d.count());
    out += reportBanner(QStringLiteral("アドレス帳比較レポート"), now); // with its rule
    out += QStringLiteral("前のアドレス帳：") + oldPath + CrLf;
    out += QStringLiteral("　　　更新日時：") + dateTimeText(oldModified) + CrLf;
    out += QStringLiteral("後のアドレス帳：") + newPath + CrLf;
    out += QStringLiteral("　　　更新日時：") + dateTimeText(newModified) + CrLf;
    out += CrLf;

    appendGroups(out, QStringLiteral("除去されたグループ"), d.removedGroups);
    appendGroups(out, QStringLiteral("追加されたグループ"), d.addedGroups);

    appendCards(out, QStringLiteral("削除されたカード("), d.deletedCards, oldBook);
    appendCards(out, QStringLiteral("修正されたカード("), d.modifiedCards, newBook);
    appendCards(out, QStringLiteral("追加されたカード("), d.addedCards, newBook);
    out += reportRule() + CrLf;
    return out;
}

QString compareBookFiles(const QString &oldPath, const QString &newPath, Prompter &prompter,
                         const QDateTime &now, const LiveBookGuard &guard, int *differences,
                         const Progress &progress)
{
    if (differences)
        *differences = -1;
    if (oldPath.isEmpty() || newPath.isEmpty()) {
        prompter.notice(QStringLiteral("アドレス帳が設定されていません"));
        return {};
    }
    if (oldPath == newPath) {
        prompter.notice(QStringLiteral("同じアドレス帳の指定です"));
        return {};
    }
    for (const QString &path : {oldPath, newPath}) {
        if (!isFile(path)) {
            const Prompter::FileScope about(prompter, path);
            prompter.notice(path + QStringLiteral(" が存在しません"));
            return {};
        }
    }
    if (guard) {
        for (const QString &path : {oldPath, newPath}) {
            const Prompter::FileScope about(prompter, path);
            if (guard(path))
                return {};
        }
    }
    AddressBook books[2];
    const QString paths[2] = {oldPath, newPath};
    for (int i = 0; i < 2; ++i) {
        const Prompter::FileScope about(prompter, paths[i]);
        // Both books on one scale: the earlier one fills the first half.
        if (readNdbFile(paths[i], books[i], prompter, progressPart(progress, 50 * i, 50 * (i + 1)))
            != 0) {
            prompter.notice(paths[i] + QStringLiteral(" の読み込みに失敗しました"));
            return {};
        }
    }
    return compareBooksReport(books[0], oldPath, QFileInfo(oldPath).lastModified(), books[1],
                              newPath, QFileInfo(newPath).lastModified(), now, differences);
}
