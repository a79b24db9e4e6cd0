#include "core/characterloss.h"

#include <QTemporaryDir>

#include "shell/dispatch.h"
#include "shell/host.h"
#include "shell/settings.h"
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

TEST(CharacterLoss, MessageNamesTenCardsAndCountsTheRest)
{
    const QString head = u"保存できない文字を「?」に置き換えました: "_qs;
    CharacterLoss loss;
    loss.add(card(3, QString(40, u'名')), 2); // a long name is cut to 20 columns
    loss.add(card(9), 0);                     // nothing lost: not named
    loss.addGroupList(1);
    loss.addElsewhere(1);
    EXPECT_EQ(loss.message(), head + u"4 文字 (グループ一覧, カード番号 3 "_qs + QString(10, u'名') + u')');

    CharacterLoss many;
    for (int i = 1; i <= 30000; ++i)
        many.add(card(i), 1);
    EXPECT_EQ(many.message(), head + u"30000 文字 (カード番号 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 ほか 29990 枚)"_qs);
}

namespace {

struct NoHost : HostProbe
{
    bool clientRunning() const override { return false; }
};

AddressBook bookWithUnwritableCharacters()
{
    AddressBook book;
    book.groupList() = {u"\U00020BB7組"_qs};
    Card a = card(3, u"\U00020BB7田"_qs);
    a.ids = {u"a@example.jp"_qs};
    a.memo = u"caf\u00E9"_qs;
    Card fine = card(5, u"山田"_qs);
    fine.ids = {u"b@example.jp"_qs};
    Card b = card(7, u"x"_qs);
    b.ids = {u"c@example.jp"_qs};
    b.profile = {u"24/01/01\t\U0001F600"_qs}; // not in vCard and nickname files
    book.cards << a << fine << b;
    book.cardCounter = 8;
    return book;
}

} // namespace

// Every writer says how many characters became "?" and in which cards: only
// what it writes counts, and the count is the number of "?" in the file.
TEST(CharacterLoss, EveryWriterTellsWhichCards)
{
    const QString head = u"保存できない文字を「?」に置き換えました: "_qs;
    struct Case
    {
        int kind;
        const char *name;
        QString message;
    };
    const Case cases[] = {
        {FileKindAddressBook, "b.ndb", u"4 文字 (グループ一覧, カード番号 3 \U00020BB7田, 7 x)"_qs},
        {FileKindListText, "b.txt", u"4 文字 (グループ一覧, カード番号 3 \U00020BB7田, 7 x)"_qs},
        {FileKindCsv, "b.csv", u"3 文字 (カード番号 3 \U00020BB7田, 7 x)"_qs},
        // N and FN hold the name, the memo is quoted-printable.
        {FileKindVCard, "b.vcf", u"3 文字 (カード番号 3 \U00020BB7田)"_qs},
        // alias, note and name hold the name.
        {FileKindEudora, "b.txt", u"4 文字 (カード番号 3 \U00020BB7田)"_qs},
    };
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    NoHost host;
    Settings settings;
    const FileIo io{prompter, settings, host};
    for (const Case &c : cases) {
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        prompter.asked.clear();
        ASSERT_EQ(writeFileByKind(path, c.kind, bookWithUnwritableCharacters(), io), 0) << c.name;
        EXPECT_TRUE(prompter.lossReported()) << c.name;
        ASSERT_EQ(prompter.asked.size(), 1) << c.name;
        EXPECT_EQ(prompter.asked[0].message.text, head + c.message) << c.name;
        if (c.kind != FileKindAddressBook) {
            EXPECT_EQ(readAll(path).count('?'), c.message.section(u' ', 0, 0).toInt()) << c.name;
        }
    }
}
