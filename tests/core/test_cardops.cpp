#include <QRandomGenerator>

#include "common/oledate.h"
#include "core/cardops.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const DateValue Now = 45000.5; // 2023-03-15 12:00

Card personCard(qint32 number, const QStringList &ids, const QStringList &names = {})
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = ids;
    c.names = names.isEmpty() ? QStringList{QStringLiteral("名前%1").arg(number)} : names;
    c.created = 40000.0;
    c.updated = 41000.0;
    return c;
}

// A book with cards numbered 1..n, card i holding the ID "user<i>@example.jp".
AddressBook bookOf(int n)
{
    AddressBook book = AddressBook::newBook();
    for (int i = 1; i <= n; ++i)
        book.cards.append(personCard(i, {QStringLiteral("user%1@example.jp").arg(i)}));
    book.cardCounter = n + 1;
    return book;
}

QList<qint32> numbersOf(const AddressBook &book)
{
    QList<qint32> out;
    for (const Card &c : book.cards)
        out.append(c.number);
    return out;
}

} // namespace

// ---- Lookups --------------------------------------------------------------

TEST(CardLookup, FindsFirstMatchFromIndexOneAndNeverTheSystemCard)
{
    AddressBook book = bookOf(4);
    book.cards[2].ids.append(QStringLiteral("Shared@Example.JP"));
    book.cards[4].ids.append(QStringLiteral("shared@example.jp"));
    book.cards[3].groups = {QStringLiteral("仕事")};
    book.cards[4].groups = {QStringLiteral("仕事"), QStringLiteral("友人")};
    book.groupList() = {QStringLiteral("仕事")};

    EXPECT_EQ(findCardByNumber(book, 3), 3);
    EXPECT_EQ(findCardByNumber(book, 0), -1); // the system card's number
    EXPECT_EQ(findCardByNumber(book, 99), -1);
    // IDs: text comparison (case and width folded), first card wins.
    EXPECT_EQ(findCardById(book, u"SHARED@example.jp"), 2);
    EXPECT_EQ(findCardById(book, u"ｕｓｅｒ３@example.jp"), 3);
    EXPECT_EQ(findCardById(book, u"user3@example"), -1);
    // Groups: exact comparison.
    EXPECT_EQ(findCardByGroup(book, u"仕事"), 3);
    EXPECT_EQ(findCardByGroup(book, u"友人"), 4);
    EXPECT_EQ(findCardByGroup(book, u"ゆうじん"), -1);
}

TEST(CardLookup, MapsNumbersToIndicesInRequestOrder)
{
    AddressBook book = bookOf(5);
    book.cards[1].number = 30;
    book.cards[4].number = 7;
    QList<int> indices;
    EXPECT_EQ(mapNumbersToIndices(book, {7, 30, 0, 2, 30, 1, 12345}, indices), 3);
    EXPECT_EQ(indices, (QList<int>{4, 1, -1, 2, 1, -1, -1}));
    EXPECT_EQ(mapNumbersToIndices(book, {}, indices), 0);
    EXPECT_TRUE(indices.isEmpty());
}

// ---- Add card ----------------------------------------------------------------

TEST(AddCard, MergesIntoTheCardHoldingAnyOfItsIdsInIdOrder)
{
    AddressBook book = bookOf(6);
    ScriptedPrompter prompter;
    // The second ID belongs to card 5, the third to card 6: card 5 takes it all.
    Card c = personCard(-1, {u"new@example.jp"_qs, u"user5@example.jp"_qs, u"user6@example.jp"_qs},
                        {u"新しい名前"_qs});
    EXPECT_EQ(addCard(c, book, prompter, Now), 1);
    EXPECT_EQ(book.cardCount(), 7);
    EXPECT_EQ(book.cardCounter, 7);
    EXPECT_EQ(book.cards[5].number, 5);
    EXPECT_EQ(book.cards[5].ids,
              (QStringList{u"user5@example.jp"_qs, u"new@example.jp"_qs, u"user6@example.jp"_qs}));
    EXPECT_EQ(book.cards[5].names, (QStringList{u"名前5"_qs, u"新しい名前"_qs}));
    EXPECT_EQ(book.cards[6].ids, QStringList{u"user6@example.jp"_qs});

    // An ID differing only in letter case (or width) is the same ID.
    Card d = personCard(-1, {u"USER2@Example.JP"_qs, u"ｕｓｅｒ２@example.jp"_qs});
    EXPECT_EQ(addCard(d, book, prompter, Now), 1);
    EXPECT_EQ(book.cards[2].ids, QStringList{u"user2@example.jp"_qs});
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST(AddCard, CompletesNumbersAndAppendsANewCard)
{
    AddressBook book = bookOf(2);
    book.cardCounter = 10;
    ScriptedPrompter prompter;

    Card c = Card::newCard();
    c.ids = {u"fresh@example.jp"_qs};
    c.exchangeAutoRecord = FlagUnset;
    c.remarkAutoRecord = FlagUnset;
    c.itemCount = 5;
    EXPECT_EQ(addCard(c, book, prompter, Now), 0);
    ASSERT_EQ(book.cardCount(), 4);
    const Card &added = book.cards[3];
    EXPECT_EQ(added.number, 10);
    EXPECT_EQ(c.number, 10); // the card passed in is completed too
    EXPECT_EQ(added.itemCount, 19);
    EXPECT_EQ(added.exchangeAutoRecord, FlagOn);
    EXPECT_EQ(added.remarkAutoRecord, FlagOff);
    EXPECT_EQ(added.updated, Now);
    EXPECT_EQ(added.created, Now);
    EXPECT_EQ(book.cardCounter, 11);

    // Explicit flags stay; a broken creation date takes the update date; a
    // valid update date stays.
    Card d = Card::newCard();
    d.exchangeAutoRecord = FlagOff;
    d.remarkAutoRecord = FlagOn;
    d.updated = 44000.25;
    d.created = 1e12;
    EXPECT_EQ(addCard(d, book, prompter, Now), 0);
    EXPECT_EQ(book.cards[4].exchangeAutoRecord, FlagOff);
    EXPECT_EQ(book.cards[4].remarkAutoRecord, FlagOn);
    EXPECT_EQ(book.cards[4].updated, 44000.25);
    EXPECT_EQ(book.cards[4].created, 44000.25);
    EXPECT_EQ(book.cards[4].number, 11);
}

TEST(AddCard, RefusesWhenTheCounterIsExhaustedAndChangesNothing)
{
    AddressBook book = bookOf(3);
    book.cardCounter = MaxCardCounter;
    const AddressBook before = book;
    ScriptedPrompter prompter;

    Card c = personCard(-1, {u"other@example.jp"_qs});
    c.exchangeAutoRecord = FlagUnset;
    const Card cardBefore = c;
    EXPECT_EQ(addCard(c, book, prompter, Now), -1);
    EXPECT_EQ(book, before);
    EXPECT_EQ(c, cardBefore);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastText(), cardCounterFullMessage());
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::Warning);

    // A card that merges needs no number and is still taken.
    Card m = personCard(-1, {u"USER1@example.jp"_qs});
    EXPECT_EQ(addCard(m, book, prompter, Now), 1);
    EXPECT_EQ(prompter.asked.size(), 1);

    // The last number the counter hands out is 32766.
    book.cardCounter = MaxCardCounter - 1;
    Card last = personCard(-1, {u"last@example.jp"_qs});
    EXPECT_EQ(addCard(last, book, prompter, Now), 0);
    EXPECT_EQ(book.cards.last().number, 32766);
    EXPECT_EQ(book.cardCounter, MaxCardCounter);
}

TEST(AddCard, CounterBelowOneStartsAfterTheLargestNumber)
{
    AddressBook book = bookOf(3);
    book.cards[2].number = 40;
    book.cardCounter = -32768; // 0x8000 in the file
    ScriptedPrompter prompter;
    Card c = personCard(-1, {u"x@example.jp"_qs});
    EXPECT_EQ(addCard(c, book, prompter, Now), 0);
    EXPECT_EQ(book.cards.last().number, 41);
    EXPECT_EQ(book.cardCounter, 42);

    AddressBook empty = AddressBook::newBook();
    empty.cardCounter = 0;
    Card d = personCard(-1, {u"y@example.jp"_qs});
    EXPECT_EQ(addCard(d, empty, prompter, Now), 0);
    EXPECT_EQ(empty.cards.last().number, 1);
}

// ---- Merge -------------------------------------------------------------------

TEST(MergeCards, FieldByField)
{
    Card t = personCard(4, {u"a@x.jp"_qs, u"B@x.jp"_qs}, {u"山田"_qs, u"Yamada"_qs});
    t.groups = {u"仕事"_qs};
    t.postalCode = u"  "_qs;
    t.address = u"東京"_qs;
    t.telephone = u""_qs;
    t.fax = u"03"_qs;
    t.created = 40000.0;
    t.updated = NoDate;
    t.birthday = NoDate;
    t.status = 11;
    t.itemCount = 19;
    t.exchangeAutoRecord = FlagOn;
    t.remarkAutoRecord = FlagOn;

    Card s = personCard(9, {u"b@X.JP"_qs, u"c@x.jp"_qs, u"C@x.jp"_qs}, {u"yamada"_qs, u"山田"_qs});
    s.groups = {u"友人"_qs, u"仕事"_qs, u"友人"_qs};
    s.postalCode = u"100-0001"_qs;
    s.address = u"大阪"_qs;
    s.telephone = u" "_qs;
    s.fax = u"06"_qs;
    s.mobile = u"090"_qs;
    s.created = 39000.0;
    s.updated = 42000.0;
    s.birthday = 30000.0;
    s.exchangeAutoRecord = FlagOn;
    s.remarkAutoRecord = FlagOff;
    s.itemCount = 17;
    const Card sourceBefore = s;

    mergeCards(t, s);
    EXPECT_EQ(s, sourceBefore);
    EXPECT_EQ(t.number, 4);
    EXPECT_EQ(t.itemCount, 19);
    EXPECT_EQ(t.status, 11);
    EXPECT_EQ(t.ids, (QStringList{u"a@x.jp"_qs, u"B@x.jp"_qs, u"c@x.jp"_qs}));
    EXPECT_EQ(t.names, (QStringList{u"山田"_qs, u"Yamada"_qs, u"yamada"_qs}));
    EXPECT_EQ(t.groups, (QStringList{u"仕事"_qs, u"友人"_qs}));
    EXPECT_EQ(t.postalCode, u"100-0001"_qs); // blank target takes the source
    EXPECT_EQ(t.address, u"東京"_qs);
    EXPECT_EQ(t.telephone, u""_qs);          // blank source never replaces
    EXPECT_EQ(t.fax, u"03"_qs);
    EXPECT_EQ(t.mobile, u"090"_qs);
    EXPECT_EQ(t.birthday, 30000.0);
    EXPECT_EQ(t.created, 39000.0);
    EXPECT_EQ(t.updated, 42000.0); // NoDate on one side yields the other
    EXPECT_EQ(t.exchangeAutoRecord, FlagOn);
    EXPECT_EQ(t.remarkAutoRecord, FlagOff); // disagreement -> off

    // Birthday kept when set; flags agreeing stay; later update wins.
    Card u = personCard(1, {u"z@x.jp"_qs});
    u.birthday = 100.0;
    u.exchangeAutoRecord = FlagOff;
    u.created = NoDate;
    Card v = personCard(2, {});
    v.birthday = 200.0;
    v.exchangeAutoRecord = FlagOff;
    v.created = NoDate;
    v.updated = 40500.0;
    mergeCards(u, v);
    EXPECT_EQ(u.birthday, 100.0);
    EXPECT_EQ(u.exchangeAutoRecord, FlagOff);
    EXPECT_EQ(u.created, NoDate);
    EXPECT_EQ(u.updated, 41000.0);
}

TEST(MergeCards, Memo)
{
    const QString sep = u"\r\n---- カード統合による区切り ----\r\n"_qs;
    EXPECT_EQ(mergeMemos(u"同じ"_qs, u"同じ"_qs), u"同じ"_qs);
    // Same length, equal apart from case or width: the target stays.
    EXPECT_EQ(mergeMemos(u"Hello World"_qs, u"hello world"_qs), u"Hello World"_qs);
    EXPECT_EQ(mergeMemos(u"ＡＢＣ"_qs, u"abc"_qs), u"ＡＢＣ"_qs);
    EXPECT_EQ(mergeMemos(u" abc"_qs, u"abc "_qs), u" abc"_qs);
    // Equal under text comparison but of different lengths: both are kept.
    EXPECT_EQ(mergeMemos(u"ガ"_qs, u"ｶﾞ"_qs), u"ガ"_qs + sep + u"ｶﾞ"_qs);
    // Blank sides.
    EXPECT_EQ(mergeMemos(u"メモ"_qs, u"   "_qs), u"メモ"_qs);
    EXPECT_EQ(mergeMemos(u"  "_qs, u"メモ"_qs), u"メモ"_qs);
    EXPECT_EQ(mergeMemos(u""_qs, u""_qs), u""_qs);
    // Different memos: target, separator line, source.
    EXPECT_EQ(mergeMemos(u"一行目\r\n二行目"_qs, u"別のメモ"_qs),
              u"一行目\r\n二行目"_qs + sep + u"別のメモ"_qs);
}

TEST(MergeCards, ListsSortedWithExactDuplicatesOnce)
{
    const QStringList t{u"03/01/02 b"_qs, u"01/01/01 a"_qs, u"02/02/02 X"_qs};
    const QStringList s{u"02/02/02 x"_qs, u"01/01/01 a"_qs, u"00/12/31 z"_qs, u"00/12/31 z"_qs};
    EXPECT_EQ(mergeLists(t, s),
              (QStringList{u"00/12/31 z"_qs, u"01/01/01 a"_qs, u"02/02/02 X"_qs, u"02/02/02 x"_qs,
                           u"03/01/02 b"_qs}));
    // An empty side: the other list as it is, unsorted, duplicates and all.
    const QStringList unsorted{u"b"_qs, u"a"_qs, u"a"_qs};
    EXPECT_EQ(mergeLists({}, unsorted), unsorted);
    EXPECT_EQ(mergeLists(unsorted, {}), unsorted);
    // Through mergeCards: the mail log of an empty target is copied as is.
    Card target = personCard(1, {u"a@x.jp"_qs});
    Card source = personCard(2, {u"a@x.jp"_qs});
    source.mailLog = unsorted;
    source.profile = {u"趣味\t釣り"_qs};
    target.profile = {u"趣味\t釣り"_qs, u"職業\t会社員"_qs};
    mergeCards(target, source);
    EXPECT_EQ(target.mailLog, unsorted);
    EXPECT_EQ(target.profile, (QStringList{u"職業\t会社員"_qs, u"趣味\t釣り"_qs}));
}

TEST(MergeCards, ByNumber)
{
    AddressBook book = bookOf(3);
    book.cards[3].ids = {u"x@y.jp"_qs};
    EXPECT_EQ(mergeCardsByNumber(1, 3, book), 0);
    EXPECT_EQ(book.cards[1].ids, (QStringList{u"user1@example.jp"_qs, u"x@y.jp"_qs}));
    EXPECT_EQ(book.cardCount(), 4); // the source is not removed
    EXPECT_EQ(mergeCardsByNumber(1, 99, book), -1);
    EXPECT_EQ(mergeCardsByNumber(0, 2, book), -1); // the system card is never found
    const AddressBook before = book;
    EXPECT_EQ(mergeCardsByNumber(2, 2, book), -1); // never into itself
    EXPECT_EQ(book, before);
}

// Merging a run of cards with the record lists sorted once at the end gives
// exactly what one mergeCards call after the other gives, whichever lists
// are empty, unsorted or repeated, and when merged cards merge on.
TEST(MergeCards, RunOfMergesEqualsOneAtATime)
{
    QRandomGenerator rng(20261208);
    const auto randomList = [&rng] {
        QStringList l;
        const int n = int(rng.bounded(4)); // often empty
        for (int i = 0; i < n; ++i)
            l << QString(u"%1 %2"_qs).arg(rng.bounded(5)).arg(QChar(u"aAｱア"[rng.bounded(4)]));
        return l;
    };
    for (int round = 0; round < 200; ++round) {
        QList<Card> cards;
        for (int i = 0; i < 6; ++i) {
            Card c = personCard(i + 1, {u"x@y.jp"_qs});
            c.profile = randomList();
            c.mailLog = randomList();
            c.exchangeRecords = randomList();
            c.remarkRecords = randomList();
            cards << c;
        }
        // Cards 1 and 2 each absorb two cards, then 1 absorbs 2.
        QList<Card> eager = cards, lazy = cards, taken = cards;
        const std::pair<int, int> merges[] = {{1, 3}, {1, 4}, {2, 5}, {2, 0}, {1, 2}};
        for (const auto &[t, s] : merges)
            mergeCards(eager[t], eager[s]);
        PendingRecordLists pending[6], pendingTaken[6];
        for (const auto &[t, s] : merges) {
            mergeCardsPending(lazy[t], lazy[s], pending[t], &pending[s]);
            mergeCardsPending(taken[t], std::move(taken[s]), pendingTaken[t], &pendingTaken[s]);
        }
        finishRecordLists(lazy[1], pending[1]);
        finishRecordLists(taken[1], pendingTaken[1]);
        ASSERT_EQ(lazy[1], eager[1]) << "round " << round;
        ASSERT_EQ(taken[1], eager[1]) << "round " << round;
    }

    // Many cards into one by number: as the one-by-one merges, sources not
    // found and the target itself passed over.
    AddressBook book = bookOf(5);
    for (int i = 1; i <= 5; ++i)
        book.cards[i].mailLog = {QString::number(6 - i), u"0"_qs};
    AddressBook oneByOne = book;
    for (const qint32 n : {3, 5, 2})
        mergeCardsByNumber(1, n, oneByOne);
    EXPECT_EQ(mergeCardsIntoOne(1, {3, 99, 1, 5, 2}, book), 3);
    EXPECT_EQ(book, oneByOne);
    EXPECT_EQ(book.cards[1].mailLog, (QStringList{u"0"_qs, u"1"_qs, u"3"_qs, u"4"_qs, u"5"_qs}));
    EXPECT_EQ(mergeCardsIntoOne(77, {1}, book), -1);
}

// ---- Delete ---------------------------------------------------------------

TEST(DeleteCards, OnePassKeepsOrderAndTheSystemCard)
{
    AddressBook book = bookOf(6);
    std::swap(book.cards[2], book.cards[5]); // numbers 1 5 3 4 2 6
    book.cardCounter = 50;
    EXPECT_EQ(deleteCards({4, 0, 4, 99, 1, 5}, book), 3);
    EXPECT_EQ(numbersOf(book), (QList<qint32>{0, 3, 2, 6}));
    EXPECT_EQ(book.cards[0], Card::newSystemCard());
    EXPECT_EQ(book.cardCounter, 50);

    EXPECT_EQ(deleteCards({}, book), 0);
    deleteCardByNumber(2, book);
    EXPECT_EQ(numbersOf(book), (QList<qint32>{0, 3, 6}));
    deleteCardByNumber(0, book);
    deleteCardByNumber(77, book);
    EXPECT_EQ(numbersOf(book), (QList<qint32>{0, 3, 6}));
    EXPECT_EQ(deleteCards({3, 6}, book), 2);
    EXPECT_EQ(numbersOf(book), QList<qint32>{0});
}

// ---- Groups ---------------------------------------------------------------

TEST(Groups, RegisterRenameAndRemoveCountChanges)
{
    AddressBook book = bookOf(4);
    EXPECT_EQ(registerGroup(u"仕事"_qs, book), 0);
    EXPECT_EQ(registerGroup(u"仕事"_qs, book), 1);
    book.cards[1].groups = {u"旧"_qs, u"家族"_qs};
    book.cards[2].groups = {u"旧"_qs, u"新"_qs, u"旧"_qs};
    book.cards[3].groups = {u"家族"_qs, u"友人"_qs, u"家族"_qs};
    EXPECT_EQ(registerUsedGroups(book), 4);
    EXPECT_EQ(book.groupList(),
              (QStringList{u"仕事"_qs, u"旧"_qs, u"家族"_qs, u"新"_qs, u"友人"_qs}));
    EXPECT_EQ(registerUsedGroups(book), 0);

    EXPECT_EQ(renameGroupInCards(u"旧"_qs, u"旧"_qs, book), 0);
    // Card 1 gets the new name; card 2 already has it and loses both old entries.
    EXPECT_EQ(renameGroupInCards(u"新"_qs, u"旧"_qs, book), 3);
    EXPECT_EQ(book.cards[1].groups, (QStringList{u"新"_qs, u"家族"_qs}));
    EXPECT_EQ(book.cards[2].groups, QStringList{u"新"_qs});
    // The group list is the caller's business.
    EXPECT_TRUE(book.groupList().contains(u"旧"_qs));

    EXPECT_EQ(removeGroupFromCards(u"家族"_qs, book), 3);
    EXPECT_EQ(book.cards[3].groups, QStringList{u"友人"_qs});
    EXPECT_EQ(removeGroupFromCards(u"無い"_qs, book), 0);
}

// ---- Append book ------------------------------------------------------------

TEST(AppendBook, RegistersGroupsMergesAndAppends)
{
    AddressBook target = bookOf(3);
    target.groupList() = {u"A"_qs};
    AddressBook source = AddressBook::newBook();
    source.groupList() = {u"B"_qs, u"A"_qs};
    source.cards.append(personCard(1, {u"USER2@example.jp"_qs, u"more@example.jp"_qs}));
    source.cards.append(personCard(2, {u"new@example.jp"_qs}));
    source.cards.append(personCard(3, {u"MORE@example.jp"_qs})); // merges via the added ID
    ScriptedPrompter prompter;
    QList<qint64> calls;
    int taken = -1;
    EXPECT_EQ(appendBook(target, source, prompter,
                         [&](qint64 done, qint64 total) {
                             calls.append(done * 100 + total);
                             return true;
                         },
                         &taken),
              0);
    EXPECT_EQ(taken, 3);
    EXPECT_EQ(calls, (QList<qint64>{3, 103, 203}));
    EXPECT_EQ(target.groupList(), (QStringList{u"A"_qs, u"B"_qs}));
    EXPECT_EQ(numbersOf(target), (QList<qint32>{0, 1, 2, 3, 4}));
    EXPECT_EQ(target.cards[2].ids, (QStringList{u"user2@example.jp"_qs, u"more@example.jp"_qs}));
    EXPECT_EQ(target.cards[2].names, (QStringList{u"名前2"_qs, u"名前1"_qs, u"名前3"_qs}));
    EXPECT_TRUE(prompter.asked.isEmpty());

}

TEST(AppendBook, AgreesWithAddingCardByCard)
{
    // appendBook looks IDs up through an index; it must find the same card as
    // the linear search, including IDs that merges move to an earlier card.
    QRandomGenerator rng(11);
    auto randomBook = [&](int cards, int firstNumber) {
        AddressBook b = AddressBook::newBook();
        for (int i = 0; i < cards; ++i) {
            QStringList ids;
            const int k = rng.bounded(4);
            for (int j = 0; j < k; ++j) {
                const int v = rng.bounded(30);
                ids << (rng.bounded(2) ? QStringLiteral("ID%1@X") : QStringLiteral("id%1@x")).arg(v);
            }
            b.cards.append(personCard(firstNumber + i, ids));
        }
        b.cardCounter = firstNumber + cards;
        return b;
    };
    for (int round = 0; round < 30; ++round) {
        const AddressBook target = randomBook(15, 1);
        const AddressBook source = randomBook(15, 100);
        AddressBook viaAppend = target;
        AddressBook viaAdd = target;
        ScriptedPrompter prompter;
        ASSERT_EQ(appendBook(viaAppend, source, prompter), 0);
        for (qsizetype i = 1; i < source.cards.size(); ++i) {
            Card c = source.cards[i];
            addCard(c, viaAdd, prompter, Now);
        }
        ASSERT_EQ(viaAppend, viaAdd) << "round " << round;
    }
}

TEST(AppendBook, CountsCardsSharingIds)
{
    const AddressBook reference = bookOf(3);
    AddressBook other = AddressBook::newBook();
    other.cards.append(personCard(1, {u"x@y"_qs, u"USER1@EXAMPLE.JP"_qs, u"user2@example.jp"_qs}));
    other.cards.append(personCard(2, {u"nobody@example.jp"_qs}));
    other.cards.append(personCard(3, {}));
    other.cards.append(personCard(4, {u"ｕｓｅｒ３@example.jp"_qs}));
    EXPECT_EQ(countCardsSharingIds(reference, other), 2);
    EXPECT_EQ(countCardsSharingIds(other, reference), 3);
    EXPECT_EQ(countCardsSharingIds(AddressBook::newBook(), other), 0);
}

// ---- Comparisons ----------------------------------------------------------

TEST(CardsEquivalent, IgnoresListOrderTrailingMemoSpaceAndDates)
{
    Card a = personCard(1, {u"a@x"_qs, u"b@x"_qs}, {u"甲"_qs, u"乙"_qs});
    a.memo = u"メモ"_qs;
    a.groups = {u"G1"_qs, u"G2"_qs};
    Card b = a;
    b.number = 2;
    b.ids = {u"b@x"_qs, u"a@x"_qs};
    b.groups = {u"G2"_qs, u"G1"_qs};
    b.memo = u"メモ\r\n \u3000\t"_qs;
    b.created = 1.0;
    b.updated = 2.0;
    EXPECT_EQ(cardsEquivalent(a, b), 0);

    Card c = a;
    c.ids = {u"A@x"_qs, u"b@x"_qs}; // same under text comparison, not exactly
    EXPECT_EQ(cardsEquivalent(a, c), -1);
    c = a;
    c.names.append(u"甲"_qs);
    EXPECT_EQ(cardsEquivalent(a, c), -1);
    c = a;
    c.memo = u" メモ"_qs;
    EXPECT_EQ(cardsEquivalent(a, c), -1);
    c = a;
    c.birthday = 3.0;
    EXPECT_EQ(cardsEquivalent(a, c), -1);
    c = a;
    c.remarkAutoRecord = FlagOn;
    EXPECT_EQ(cardsEquivalent(a, c), -1);
    c = a;
    c.pager = u"1"_qs;
    EXPECT_EQ(cardsEquivalent(a, c), -1);
}

TEST(CardSummaryText, ShowsAtMostThreeOfEach)
{
    Card c = Card::newCard();
    EXPECT_EQ(cardSummaryText(c), u""_qs);
    c.names = {u"山田"_qs};
    EXPECT_EQ(cardSummaryText(c), u"山田"_qs);
    c.ids = {u"a@x"_qs, u"b@x"_qs, u"c@x"_qs};
    EXPECT_EQ(cardSummaryText(c), u"山田（a@x, b@x, c@x）"_qs);
    c.names = {u"一"_qs, u"二"_qs, u"三"_qs, u"四"_qs};
    c.ids.append(u"d@x"_qs);
    EXPECT_EQ(cardSummaryText(c), u"一, 二, ...（a@x, b@x, ...）"_qs);
    c.names.clear();
    c.ids = {u"a@x"_qs, u"b@x"_qs};
    EXPECT_EQ(cardSummaryText(c), u"（a@x, b@x）"_qs);
}
