// Combining selected cards into one: which card survives, what it takes in,
// and what the others become.
#include <gtest/gtest.h>

#include "core/cardcommands.h"
#include "core/cardops.h"
#include "core/validation.h"
#include "support/testutil.h"

namespace {

// Cards numbered 1..updated.size(), card i updated at updated[i-1], with
// the name "n<i>" and the ID "u<i>@x.jp".
AddressBook bookUpdatedAt(const QList<DateValue> &updated)
{
    AddressBook book = AddressBook::newBook();
    for (int i = 1; i <= updated.size(); ++i) {
        Card c = Card::newCard();
        c.number = i;
        c.names = {QStringLiteral("n%1").arg(i)};
        c.ids = {QStringLiteral("u%1@x.jp").arg(i)};
        c.created = 40000.0;
        c.updated = updated[i - 1];
        book.cards.append(c);
    }
    book.cardCounter = qint32(updated.size()) + 1;
    return book;
}

} // namespace

TEST(CombineCards, TheLatestUpdateSurvivesAndTheLowestNumberWinsATie)
{
    const struct {
        QList<DateValue> updated;
        QList<qint32> selected;
        qint32 target;
    } cases[] = {
        {{41000, 41000, 41000}, {1, 2, 3}, 1},
        {{41000, 42000, 41000}, {1, 2, 3}, 2},
        {{41000, 42000, 43000}, {1, 3}, 3},
        {{41000, 43000, 43000, 40000}, {2, 3, 4}, 2},
        {{NoDate, 41000}, {1, 2}, 2},
        {{NoDate, NoDate}, {1, 2}, 1},
        {{41000, 42000}, {1, 2, 9}, 2}, // a number no card has is passed over
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.selected));
        AddressBook book = bookUpdatedAt(c.updated);
        EXPECT_EQ(combineTarget(book, c.selected), c.target);
        const qint32 counter = book.cardCounter;
        EXPECT_EQ(combineCards(book, c.selected, CardLimits{}), c.target);
        // The others are gone; the counter stays.
        for (qint32 n : c.selected)
            EXPECT_EQ(findCardByNumber(book, n) >= 1, n == c.target) << n;
        EXPECT_EQ(book.cardCounter, counter);
    }
}

TEST(CombineCards, TheTargetTakesInTheOthersInAscendingOrderAndIsValidatedAgain)
{
    AddressBook book = bookUpdatedAt({41000, 42000, 41000, 41000});
    book.cards[2].status = -1; // stale: the combined card is checked again
    ASSERT_EQ(combineCards(book, {1, 2, 4}, CardLimits{}), 2);
    ASSERT_EQ(book.cardCount(), 3);
    const Card &merged = book.cards[findCardByNumber(book, 2)];
    EXPECT_EQ(merged.names, (QStringList{u"n2"_qs, u"n1"_qs, u"n4"_qs}));
    EXPECT_EQ(merged.ids, (QStringList{u"u2@x.jp"_qs, u"u1@x.jp"_qs, u"u4@x.jp"_qs}));
    EXPECT_EQ(merged.status, validateCard(merged, book.groupList(), CardLimits{}));
    EXPECT_EQ(book.cards[2].number, 3); // the unselected card keeps its place
}

TEST(CombineCards, FewerThanTwoCardsOfTheBookChangeNothing)
{
    for (const QList<qint32> &selected : {QList<qint32>{}, QList<qint32>{1}, QList<qint32>{1, 1},
                                          QList<qint32>{2, 8, 9}}) {
        AddressBook book = bookUpdatedAt({41000, 42000});
        const AddressBook before = book;
        EXPECT_EQ(combineCards(book, selected, CardLimits{}), -1);
        EXPECT_EQ(book, before);
    }
}

TEST(CombineCards, TheQuestionsNameTheLinesAndTheCards)
{
    EXPECT_EQ(deleteQuestion(3, 2), u"選択された 3 項目（2 枚のカード）を削除して宜しいですか？"_qs);
    EXPECT_EQ(combineQuestion(4, 3), u"選択された 4 項目（3 枚のカード）を統合しますか？"_qs);
}
