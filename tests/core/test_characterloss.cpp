#include "core/characterloss.h"

#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

Card card(qint32 number, const QString &name = QString())
{
    Card c = Card::newCard();
    c.number = number;
    if (!name.isEmpty())
        c.names = {name};
    return c;
}

} // namespace

TEST(CharacterLoss, MessageNamesCardsAndCapsTheList)
{
    const QString head = QStringLiteral("保存できない文字を「?」に置き換えました: ");
    CharacterLoss loss;
    EXPECT_TRUE(loss.isEmpty());
    loss.add(card(3, u"\U00020BB7田"_qs), 2);
    loss.add(card(9), 0); // nothing lost: not named
    loss.add(card(17), 1);
    loss.add(card(25, QString(40, u'名')), 1);
    EXPECT_EQ(loss.total(), 4);
    EXPECT_EQ(loss.cardCount(), 3);
    // A long first name is cut to 20 columns.
    EXPECT_EQ(loss.message(), head + u"4 文字 (カード番号 3 \U00020BB7田, 17, 25 "_qs
                                  + QString(10, u'名') + u')');

    loss.addGroupList(1);
    loss.addElsewhere(2);
    EXPECT_TRUE(loss.message().startsWith(head + u"7 文字 (グループ一覧, カード番号 3 "_qs));

    // A book of many bad cards: ten named, the rest counted.
    CharacterLoss many;
    for (int i = 1; i <= 30000; ++i)
        many.add(card(i, u"山田"_qs), 1);
    EXPECT_EQ(many.message(), head + u"30000 文字 (カード番号 1 山田, 2 山田, 3 山田, 4 山田, 5 山田, "
                                     "6 山田, 7 山田, 8 山田, 9 山田, 10 山田 ほか 29990 枚)"_qs);

    CharacterLoss elsewhere;
    elsewhere.addElsewhere(1);
    EXPECT_EQ(elsewhere.message(), head + u"1 文字"_qs);
}

TEST(CharacterLoss, ReportIsALossNoticeOnlyWhenSomethingWasReplaced)
{
    ScriptedPrompter prompter;
    CharacterLoss().report(prompter);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_FALSE(prompter.lossReported());

    AddressBook book;
    book.groupList() = {u"\u00E9"_qs};
    book.cards << card(4, u"a"_qs) << card(6, u"b"_qs);
    const qsizetype counts[] = {1, 0, 2};
    const CharacterLoss loss =
        CharacterLoss::byCard(book, 4, [&](qsizetype i) { return counts[i]; });
    EXPECT_EQ(loss.total(), 4); // one more than the cards hold: elsewhere
    EXPECT_EQ(loss.cardCount(), 1);
    loss.report(prompter);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(prompter.lossReported());
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.asked[0].message.text,
              u"保存できない文字を「?」に置き換えました: 4 文字 (グループ一覧, カード番号 6 b)"_qs);
}
