#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "core/ndbfile.h"
#include "core/reportbanner.h"
#include "shell/host.h"
#include "support/clirun.h"
#include "support/fakehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"
#include "tools/compare.h"

namespace {

const QString CrLf = u"\r\n"_qs;
const QDateTime Now(QDate(2024, 5, 6), QTime(7, 8, 9));
const QDateTime OldTime(QDate(2023, 1, 2), QTime(3, 4, 5));
const QDateTime NewTime(QDate(2023, 12, 31), QTime(23, 59, 58));

Card card(qint32 number, const QStringList &ids, const QStringList &names)
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = ids;
    c.names = names;
    c.created = 40000;
    c.updated = 40000;
    return c;
}

AddressBook book(const QList<Card> &cards, const QStringList &groups = {})
{
    AddressBook b;
    b.groupList() = groups;
    for (const Card &c : cards)
        b.cards.append(c);
    b.cardCounter = qint32(b.cards.size());
    return b;
}

AddressBook sample()
{
    return book({card(1, {u"a@x.jp"_qs}, {u"青木"_qs}), card(2, {u"b@x.jp"_qs}, {u"馬場"_qs}),
                 card(3, {u"c@x.jp"_qs, u"c2@x.jp"_qs}, {u"千葉"_qs})},
                {u"友人"_qs, u"仕事"_qs});
}

QString report(const AddressBook &oldBook, const AddressBook &newBook, int *n = nullptr)
{
    return compareBooksReport(oldBook, u"/o/address.nd1"_qs, OldTime, newBook,
                              u"/o/address.ndb"_qs, NewTime, Now, n);
}

} // namespace

TEST(CompareBooks, NoCardDifferenceGivesTheOneLineEvenWhenGroupsDiffer)
{
    int n = -1;
    EXPECT_EQ(report(sample(), sample(), &n), u"情報の変更はありません。\r\n"_qs);
    EXPECT_EQ(n, 0);

    // Group lists differ, card order and list order differ, times differ:
    // still no change.
    AddressBook later = sample();
    later.groupList() = {u"家族"_qs};
    std::swap(later.cards[1], later.cards[3]);
    later.cards[1].ids = {u"c2@x.jp"_qs, u"c@x.jp"_qs};
    later.cards[1].updated = 45000;
    later.cards[1].memo = u"\r\n  "_qs; // trailing blanks only
    const BookDifferences d = compareBooks(sample(), later);
    EXPECT_EQ(d.removedGroups, (QStringList{u"友人"_qs, u"仕事"_qs}));
    EXPECT_EQ(d.addedGroups, QStringList{u"家族"_qs});
    EXPECT_EQ(report(sample(), later, &n), u"情報の変更はありません。\r\n"_qs);
    EXPECT_EQ(n, 0);
}

TEST(CompareBooks, FullReportLayout)
{
    AddressBook later = sample();
    later.groupList() = {u"仕事"_qs, u"家族"_qs, u"趣味"_qs};
    later.cards.removeAt(1);                           // 青木 deleted
    later.cards[1].telephone = u"03-1234-5678"_qs;     // 馬場 modified
    later.cards.append(card(9, {u"d@x.jp"_qs}, {u"土井"_qs})); // added
    int n = -1;
    const QString expected = reportBanner(u"アドレス帳比較レポート"_qs, Now)
        + u"前のアドレス帳：/o/address.nd1\r\n"
          "　　　更新日時：2023/01/02 03:04:05\r\n"
          "後のアドレス帳：/o/address.ndb\r\n"
          "　　　更新日時：2023/12/31 23:59:58\r\n"
          "\r\n"
          "除去されたグループ\r\n"
          "  友人\r\n"
          "追加されたグループ\r\n"
          "  家族\r\n"
          "  趣味\r\n"
          "削除されたカード(1 枚)\r\n"
          "  青木（a@x.jp）\r\n"
          "修正されたカード(1 枚)\r\n"
          "  馬場（b@x.jp）\r\n"
          "追加されたカード(1 枚)\r\n"
          "  土井（d@x.jp）\r\n"_qs
        + QString(70, u'-') + CrLf;
    EXPECT_EQ(report(sample(), later, &n), expected);
    EXPECT_EQ(n, 3);
}

TEST(CompareBooks, MatchingByIds)
{
    // A card that gained a second ID is added (the new ID is unknown to
    // the earlier book) and modified (its ID list differs); the card is
    // listed once under each heading.
    AddressBook later = sample();
    later.cards[1].ids << u"a2@x.jp"_qs << u"a3@x.jp"_qs;
    BookDifferences d = compareBooks(sample(), later);
    EXPECT_EQ(d.addedCards, QList<int>{1});
    EXPECT_EQ(d.modifiedCards, QList<int>{1});
    EXPECT_TRUE(d.deletedCards.isEmpty());

    // The reverse: a card that lost one of its IDs is deleted and modified.
    d = compareBooks(later, sample());
    EXPECT_EQ(d.deletedCards, QList<int>{1});
    EXPECT_EQ(d.modifiedCards, QList<int>{1});
    EXPECT_TRUE(d.addedCards.isEmpty());

    // An ID differing only in letter case is the same ID: neither deleted
    // nor added. The ID lists themselves compare exactly, so the card counts
    // as modified.
    later = sample();
    later.cards[2].ids = {u"B@X.JP"_qs};
    d = compareBooks(sample(), later);
    EXPECT_TRUE(d.deletedCards.isEmpty());
    EXPECT_TRUE(d.addedCards.isEmpty());
    EXPECT_EQ(d.modifiedCards, QList<int>{2});

    // Two cards merged into one: both earlier cards match the merged card,
    // which is listed once as modified. A card without IDs is never matched
    // and so never listed.
    later = sample();
    later.cards[2].ids << u"a@x.jp"_qs;
    later.cards.removeAt(1);
    later.cards.append(card(7, {}, {u"ID なし"_qs}));
    d = compareBooks(sample(), later);
    EXPECT_EQ(d.modifiedCards, QList<int>{1});
    EXPECT_EQ(d.count(), 1);

    // An ID held by several later cards matches the first of them.
    later = sample();
    for (int i = 0; i < 5; ++i)
        later.cards.append(card(20 + i, {u"B@x.jp"_qs}, {u"重複"_qs}));
    later.cards.move(2, 1);
    d = compareBooks(sample(), later);
    EXPECT_EQ(d.count(), 0);

    // A book compared with its own copy reports nothing, also when cards
    // share an ID: each holder is paired with the card of its own number.
    AddressBook shared = sample();
    shared.cards.append(card(4, {u"b@x.jp"_qs, u"d@x.jp"_qs}, {u"土井"_qs}));
    shared.cards.append(card(5, {u"B@X.jp"_qs}, {u"江藤"_qs}));
    shared.cards.move(1, 4); // the first holder in sort order is not the first card
    EXPECT_EQ(compareBooks(shared, shared).count(), 0);
    EXPECT_EQ(compareBooks(sample(), sample()).count(), 0);
}

TEST(CompareBooks, ManyNamesShownAsTwoAndEllipsis)
{
    AddressBook later = sample();
    later.cards.append(card(9, {u"e@x.jp"_qs},
                            {u"一"_qs, u"二"_qs, u"三"_qs, u"四"_qs, u"五"_qs}));
    EXPECT_TRUE(report(sample(), later).contains(
        u"追加されたカード(1 枚)\r\n  一, 二, ...（e@x.jp）\r\n"_qs));
}

class CompareFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        oldPath = dir.filePath(u"address.nd1"_qs);
        newPath = dir.filePath(u"Address.ndb"_qs);
        ScriptedPrompter p;
        ASSERT_EQ(writeNdbFile(oldPath, sample(), p), 0);
        ASSERT_EQ(writeNdbFile(newPath, sample(), p), 0);
    }
    QTemporaryDir dir;
    QString oldPath;
    QString newPath;
    ScriptedPrompter prompter;
};

TEST_F(CompareFiles, ChecksInOrderWithTheirMessages)
{
    int n = 0;
    const auto refuse = [](const QString &) { return true; };
    struct Case {
        QString oldPath, newPath;
        QString message;
    };
    const QString missing = dir.filePath(u"none.ndb"_qs);
    const Case cases[] = {
        {QString(), newPath, u"アドレス帳が設定されていません"_qs},
        {newPath, newPath, u"同じアドレス帳の指定です"_qs},
        {missing, dir.filePath(u"gone.ndb"_qs), missing + u" が存在しません"_qs},
        {oldPath, missing, missing + u" が存在しません"_qs},
        {oldPath, dir.path(), dir.path() + u" が存在しません"_qs},
    };
    for (const Case &c : cases) {
        prompter.clear();
        EXPECT_TRUE(compareBookFiles(c.oldPath, c.newPath, prompter, Now, refuse, &n).isEmpty());
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(n, -1);
    }

    // The guard sees the earlier path first and has its own message.
    prompter.clear();
    QStringList guarded;
    const auto guard = [&guarded](const QString &p) {
        guarded << p;
        return p.endsWith(u".ndb"_qs);
    };
    EXPECT_TRUE(compareBookFiles(oldPath, newPath, prompter, Now, guard).isEmpty());
    EXPECT_EQ(guarded, (QStringList{oldPath, newPath}));
    EXPECT_TRUE(prompter.texts().isEmpty());

    // An unreadable file: the reader's reason, then which file it was.
    ASSERT_TRUE(writeAll(newPath, "garbage"));
    prompter.clear();
    EXPECT_TRUE(compareBookFiles(oldPath, newPath, prompter, Now, {}, &n).isEmpty());
    ASSERT_EQ(prompter.texts().size(), 2);
    EXPECT_EQ(prompter.texts().last(), newPath + u" の読み込みに失敗しました"_qs);
}

TEST_F(CompareFiles, LiveAddressBookRefusedWhileCorvidRuns)
{
    FakeHostProbe probe;
    probe.running = true;
    // No home folder: any address.nd? counts as the live book.
    const LiveBookGuard guard = liveBookGuard(QString(), probe, prompter);
    EXPECT_TRUE(compareBookFiles(oldPath, newPath, prompter, Now, guard).isEmpty());
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(prompter.texts().first().startsWith(u"現在 Corvid が起動しているため"_qs));

    probe.running = false;
    prompter.clear();
    EXPECT_FALSE(compareBookFiles(oldPath, newPath, prompter, Now, guard).isEmpty());
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(CompareFiles, SameFileUnderAnotherSpellingIsCompared)
{
    const QString other = dir.path() + u"/./sub/../Address.ndb"_qs;
    QDir(dir.path()).mkdir(u"sub"_qs);
    int n = -1;
    EXPECT_EQ(compareBookFiles(newPath, other, prompter, Now, {}, &n),
              u"情報の変更はありません。\r\n"_qs);
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_F(CompareFiles, CommandLinePrintsTheReportAndTellsByExitStatus)
{
    const auto run = [](const QStringList &args, QByteArray *out = nullptr) {
        QProcess p;
        p.setProcessEnvironment(cliEnvironment());
        p.start(QStringLiteral(BRINDLE_CLI), QStringList{u"compare"_qs} + args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
            return -1;
        if (out)
            *out = p.readAllStandardOutput();
        return p.exitCode();
    };
    QByteArray out;
    EXPECT_EQ(run({oldPath, newPath}, &out), 0);
    EXPECT_EQ(QString::fromUtf8(out), u"情報の変更はありません。\n"_qs);

    AddressBook later = sample();
    later.cards[3].names << u"別名"_qs;
    ASSERT_EQ(writeNdbFile(newPath, later, prompter), 0);
    EXPECT_EQ(run({oldPath, newPath}, &out), 3);
    QString expected = compareBookFiles(oldPath, newPath, prompter, Now);
    expected.replace(u"\r\n"_qs, u"\n"_qs);
    // Equal but for the time in the banner.
    const QString text = QString::fromUtf8(out);
    EXPECT_EQ(text.section(u'\n', 1), expected.section(u'\n', 1));
    EXPECT_TRUE(text.contains(u"修正されたカード(1 枚)\n  千葉, 別名（c@x.jp, c2@x.jp）\n"_qs));

    ASSERT_TRUE(writeAll(oldPath, "garbage"));
    EXPECT_EQ(run({oldPath, newPath}), 1);
}
