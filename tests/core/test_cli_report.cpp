// brindle-cli info and check.
#include <QDateTime>
#include <QTemporaryDir>

#include "core/ndbfile.h"
#include "support/clirun.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

Card goodCard(qint32 number)
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = {QStringLiteral("user%1@example.jp").arg(number)};
    c.names = {QStringLiteral("名前%1").arg(number)};
    c.created = 40000.0;
    c.updated = 41000.5; // 2012-04-01 12:00, a Sunday
    return c;
}

class CliReport : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString write(const AddressBook &book)
    {
        const QString path = dir.filePath(QStringLiteral("Address.ndb"));
        ScriptedPrompter prompter;
        EXPECT_EQ(writeNdbFile(path, book, prompter), 0);
        return path;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(CliReport, CheckListsBadCardsAfterRepairingNumbers)
{
    AddressBook book = AddressBook::newBook();
    book.cardCounter = 3;
    book.groupList() = {u"仕事"_qs};
    book.cards.append(goodCard(1));
    Card noIds = goodCard(2);
    noIds.ids.clear();
    book.cards.append(noIds);
    Card stranger = goodCard(2); // a duplicate number, and a group not in the list
    stranger.groups = {u"未登録"_qs};
    book.cards.append(stranger);
    Card odd = goodCard(5);
    odd.names.append(u" "_qs);
    book.cards.append(odd);
    const QString path = write(book);

    const CliRun r = runCli({u"check"_qs, path});
    EXPECT_EQ(r.exitCode, 2) << r.errText().toStdString();
    EXPECT_EQ(r.errText().trimmed(), u"brindle-cli: "_qs + path + u": 2 個所のカード番号の破損を修復しました。"_qs);
    // The counter was 3 and card 5 exists: it becomes 6 (one fix), and the
    // first of the two cards numbered 2 gets 6 (another).
    EXPECT_EQ(r.outText(), u"6 × 1 IDが１件も無い\n"
                     "2 ！ 50 未登録グループを使用している\n"
                     "5 ？ 100 名前に空白データが混入している\n"
                     "全カード 4 枚、不良カード 3 枚（破損 1 枚、異常 1 枚、不信 1 枚）\n"_qs);

    AddressBook clean = AddressBook::newBook();
    clean.cards.append(goodCard(1));
    clean.cardCounter = 2;
    const CliRun ok = runCli({u"check"_qs, write(clean)});
    EXPECT_EQ(ok.exitCode, 0);
    EXPECT_EQ(ok.outText(), u"全カード 1 枚、不良カード 0 枚（破損 0 枚、異常 0 枚、不信 0 枚）\n"_qs);
    EXPECT_TRUE(ok.errText().isEmpty());

    const CliRun missing = runCli({u"check"_qs, dir.filePath(u"none.ndb"_qs)});
    EXPECT_EQ(missing.exitCode, 1);
    const QString none = dir.filePath(u"none.ndb"_qs);
    EXPECT_EQ(missing.errText().trimmed(), u"brindle-cli: "_qs + none + u": ["_qs + none + u"]は存在しません"_qs);
}

TEST_F(CliReport, InfoPrintsTheReport)
{
    AddressBook book = AddressBook::newBook();
    book.cards.append(goodCard(1));
    Card bad = goodCard(2);
    bad.itemCount = 19;
    bad.exchangeAutoRecord = 1;
    book.cards.append(bad);
    book.cardCounter = 3;
    const QString path = write(book);

    const CliRun r = runCli({u"info"_qs, path});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    const QStringList lines = r.outText().split(u'\n');
    ASSERT_EQ(lines.size(), 12) << r.outText().toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"ファイル情報 by Brindle 1.1 "_qs));
    const QDateTime stamp = QDateTime::fromString(lines[0].right(19), u"yyyy/MM/dd hh:mm:ss"_qs);
    EXPECT_TRUE(stamp.isValid());
    EXPECT_LT(qAbs(stamp.secsTo(QDateTime::currentDateTime())), 60);
    EXPECT_EQ(lines.mid(2, 9), (QStringList{
                                u"処理中のファイル名            ："_qs + path,
                                u"アドレス帳全体のサイズ        ：474 Byte"_qs,
                                u"全カードの枚数                ：2 枚"_qs,
                                u"異常カードの枚数              ：1 枚"_qs,
                                u"使用しているＩＤの数          ：2 件"_qs,
                                u"使用している名前の数          ：2 件"_qs,
                                u"最も古いカードの作成時刻      ：2009年07月06日(月) 00時00分00秒"_qs,
                                u"最後に編集したカードの更新時刻：2012年04月01日(日) 12時00分00秒"_qs,
                                QString(70, u'-'),
                            }));
    EXPECT_EQ(lines[11], QString());
}
