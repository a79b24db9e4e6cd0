#include "common/oledate.h"
#include "core/search.h"
#include "support/testutil.h"

namespace {

AddressBook sampleBook()
{
    AddressBook b;
    auto add = [&](int number, QStringList ids, QStringList names, QDate birthday = {}) {
        Card c = Card::newCard();
        c.number = number;
        c.ids = ids;
        c.names = names;
        c.birthday = birthday.isValid() ? oleFromDate(birthday) : NoDate;
        b.cards.append(c);
        return &b.cards.last();
    };
    add(1, {u"Taro@example.jp"_qs}, {u"山田太郎"_qs}, QDate(1975, 10, 3));
    add(2, {u"hanako@example.jp"_qs}, {u"佐藤花子"_qs}, QDate(2019, 1, 21))->status = 200;
    Card *c3 = add(3, {u"ＡＢＣ"_qs}, {}, {});
    c3->telephone = u"03-1234-5678"_qs;
    c3->memo = u"会議\r\nメモ"_qs;
    c3->groups = {u"友人たち"_qs};
    b.cardCounter = 4;
    return b;
}

} // namespace

TEST(Search, AnyValueAndEmptyWordListEveryCardForEveryField)
{
    const AddressBook b = sampleBook();
    for (int field = SearchAll; field <= SearchMemo; ++field) {
        if (field == SearchBadCards)
            continue;
        EXPECT_EQ(searchCards(b, field, anyValueWord()), (QList<qint32>{1, 2, 3})) << field;
        EXPECT_EQ(searchCards(b, field, QString()), (QList<qint32>{1, 2, 3})) << field;
    }
    EXPECT_EQ(searchCards(b, SearchBadCards, QString()), QList<qint32>{2});
}

TEST(Search, TextFieldsAreExactSubstrings)
{
    const AddressBook b = sampleBook();
    // Empty results are checked with isEmpty(): Qt 6.4's QList<int>::operator==
    // hands memcmp a null pointer when one empty list has storage and the
    // other has none, which UBSan rightly reports.
    EXPECT_TRUE(searchCards(b, SearchIds, u"taro"_qs).isEmpty());
    EXPECT_EQ(searchCards(b, SearchIds, u"Taro"_qs), QList<qint32>{1});
    EXPECT_TRUE(searchCards(b, SearchIds, u"ABC"_qs).isEmpty()); // width matters
    EXPECT_EQ(searchCards(b, SearchIds, u"example"_qs), (QList<qint32>{1, 2}));
    EXPECT_EQ(searchCards(b, SearchGroups, u"友人"_qs), QList<qint32>{3});
    EXPECT_EQ(searchCards(b, SearchPhones, u"1234"_qs), QList<qint32>{3});
    EXPECT_EQ(searchCards(b, SearchMemo, u"メモ"_qs), QList<qint32>{3});
    EXPECT_EQ(searchCards(b, SearchNames, u"花子"_qs), QList<qint32>{2});
}

TEST(Search, BirthdayFieldsMatchPlainNumbersAndSkipCardsWithoutBirthday)
{
    const AddressBook b = sampleBook();
    EXPECT_EQ(searchCards(b, SearchBirthYear, u"19"_qs), (QList<qint32>{1, 2})); // 1975 and 2019
    EXPECT_EQ(searchCards(b, SearchBirthMonth, u"1"_qs), (QList<qint32>{1, 2})); // October, January
    EXPECT_EQ(searchCards(b, SearchBirthDay, u"3"_qs), QList<qint32>{1});
    EXPECT_TRUE(searchCards(b, SearchBirthDay, u"0"_qs).isEmpty()); // no leading zeros
}

TEST(Search, DisplayListUpkeep)
{
    AddressBook b = sampleBook();
    QList<qint32> list{3, 1};
    displayListAdd(list, 1);
    displayListAdd(list, 2);
    EXPECT_EQ(list, (QList<qint32>{3, 1, 2}));
    displayListRemove(list, 3);
    EXPECT_EQ(list, (QList<qint32>{1, 2}));
    b.cards.removeAt(1); // card 1 vanishes
    list = {3, 1, 2};
    displayListDropVanished(list, b);
    EXPECT_EQ(list, (QList<qint32>{3, 2}));
}
