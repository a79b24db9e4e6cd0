#include <QTemporaryDir>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/fileprocs.h"
#include "formats/listtext.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString Dashes(60, u'-');
const QDateTime Now(QDate(2024, 5, 1), QTime(10, 2, 3));

DateValue dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

Card card(qint32 number)
{
    Card c = Card::newCard();
    c.number = number;
    return c;
}

// A card with every field set.
Card fullCard(qint32 number, const QString &tag)
{
    Card c = card(number);
    c.ids = {tag + "@example.com", tag + "2@example.com"};
    c.names = {"山田" + tag, "Yamada " + tag};
    c.postalCode = "100-0001";
    c.address = "東京都千代田区 " + tag;
    c.telephone = "03-1234-5678";
    c.fax = "03-1234-5679";
    c.mobile = "090-1111-2222";
    c.pager = "020-333";
    c.birthday = dt(1970, 2, 3);
    c.groups = {"友人", "仕事"};
    c.memo = "一行目\r\n\r\n三行目 ";
    c.profile = {"趣味\t読書", "職業\t技術者"};
    c.mailLog = {"2024/01/01 送信 件名"};
    c.exchangeAutoRecord = FlagOff;
    c.exchangeRecords = {"交流1", "交流2"};
    c.remarkAutoRecord = FlagOn;
    c.remarkRecords = {"発言1"};
    c.created = dt(2001, 2, 3, 4, 5, 6);
    c.updated = dt(2023, 12, 31, 23, 59, 59);
    return c;
}

QStringList lines(const QString &text)
{
    QStringList l = text.split(QStringLiteral("\r\n"));
    EXPECT_EQ(l.last(), "") << "text must end with CR LF";
    l.removeLast();
    return l;
}

// The lines of one card, header included, in a written text.
QStringList cardLines(const QString &text, qint32 number)
{
    const QStringList all = lines(text);
    const QString header = QStringLiteral("[%1]").arg(number, 6, 10, QLatin1Char('0')) + Dashes;
    const qsizetype from = all.indexOf(header);
    EXPECT_GE(from, 0) << header.toStdString();
    if (from < 0)
        return {};
    qsizetype to = from + 1;
    while (to < all.size() && !all[to].startsWith(u'['))
        ++to;
    return all.mid(from, to - from);
}

AddressBook parse(const QString &text)
{
    AddressBook b;
    b.cardCounter = 77; // parsing must start from a fresh book
    b.cards.append(card(5));
    EXPECT_TRUE(parseListText(text, b));
    return b;
}

QString header(int n = 1)
{
    return QStringLiteral("[%1]").arg(n, 6, 10, QLatin1Char('0')) + Dashes + "\r\n";
}

} // namespace

// ---------------------------------------------------------------------------
// Writing.

TEST(ListTextWrite, EmptyBookWritesTitleCountsAndGroupsOnly)
{
    AddressBook b = AddressBook::newBook();
    EXPECT_EQ(listFileText(b, Now),
              QString(60, u'=') + "2024/05/01 10:02:03\r\nカウンタ：1\r\n登録数：0\r\n");

    b.groupList() = {"友人", "仕事"};
    b.cardCounter = 300;
    EXPECT_EQ(lines(listFileText(b, Now)),
              (QStringList{QString(60, u'=') + "2024/05/01 10:02:03", "カウンタ：300", "登録数：0",
                           "グループ1：友人", "グループ2：仕事"}));
}

TEST(ListTextWrite, CardSevenExample)
{
    AddressBook b = AddressBook::newBook();
    b.cardCounter = 8;
    b.groupList() = {"G"};
    Card c = card(7);
    c.ids = {"a@x", "b@x"};
    c.names = {"Taro"};
    c.groups = {"G"};
    c.memo = "line one\r\nline two";
    c.exchangeAutoRecord = FlagOn;
    c.remarkAutoRecord = FlagOff;
    c.created = dt(2020, 1, 2, 3, 4, 5);
    b.cards.append(c);

    const QString text = listFileText(b, Now);
    EXPECT_EQ(lines(text),
              (QStringList{QString(60, u'=') + "2024/05/01 10:02:03", "カウンタ：8", "登録数：1",
                           "グループ1：G", "[000007]" + Dashes, "ID1：a@x", "ID2：b@x",
                           "名前1：Taro", "グループ1：G", "メモ1：line one", "メモ2：line two",
                           "交流記録の自動記録：する", "発言記録の自動記録：しない",
                           "作成日時：2020/01/02 03:04:05"}));
}

TEST(ListTextWrite, EveryItemInTableOrder)
{
    AddressBook b = AddressBook::newBook();
    b.cards.append(fullCard(12, "t"));
    EXPECT_EQ(cardLines(listFileText(b, Now), 12),
              (QStringList{"[000012]" + Dashes,
                           "ID1：t@example.com",
                           "ID2：t2@example.com",
                           "名前1：山田t",
                           "名前2：Yamada t",
                           "郵便番号：100-0001",
                           "住所：東京都千代田区 t",
                           "電話番号：03-1234-5678",
                           "FAX番号：03-1234-5679",
                           "携帯電話：090-1111-2222",
                           "ポケベル：020-333",
                           "誕生日：1970/02/03",
                           "グループ1：友人",
                           "グループ2：仕事",
                           "メモ1：一行目",
                           "メモ2：",
                           "メモ3：三行目 ",
                           "プロフィール1：趣味\t読書",
                           "プロフィール2：職業\t技術者",
                           "送受信簿1：2024/01/01 送信 件名",
                           "交流記録の自動記録：しない",
                           "交流記録1：交流1",
                           "交流記録2：交流2",
                           "発言記録の自動記録：する",
                           "発言記録1：発言1",
                           "作成日時：2001/02/03 04:05:06",
                           "更新日時：2023/12/31 23:59:59"}));
}

TEST(ListTextWrite, MemoFlagsAndCardNumbers)
{
    AddressBook b = AddressBook::newBook();
    Card c1 = card(1);
    c1.memo = "a\r\n\r\nb";
    Card c2 = card(2);
    c2.memo = "only\r\n"; // the final empty piece is not written
    Card c3 = card(3);
    c3.memo = "\r\n";
    c3.exchangeAutoRecord = FlagUnset; // any non-zero value is on
    c3.remarkAutoRecord = 1;
    Card big = card(1234567);
    big.memo = "x\ny\rz"; // lone LF and CR are not line breaks of the memo
    b.cards << c1 << c2 << c3 << big;
    const QString text = listFileText(b, Now);

    EXPECT_EQ(cardLines(text, 1).mid(1, 3), (QStringList{"メモ1：a", "メモ2：", "メモ3：b"}));
    EXPECT_EQ(cardLines(text, 2).mid(1, 2), (QStringList{"メモ1：only", "交流記録の自動記録：する"}));
    EXPECT_EQ(cardLines(text, 3).mid(1),
              (QStringList{"メモ1：", "交流記録の自動記録：する", "発言記録の自動記録：する"}));
    EXPECT_TRUE(text.contains("[1234567]" + Dashes + "\r\nメモ1：x\ny\rz\r\n交流"));

    // An empty card: the two flag lines only; no date lines for NoDate.
    AddressBook e = AddressBook::newBook();
    e.cards << card(4);
    EXPECT_EQ(cardLines(listFileText(e, Now), 4).mid(1),
              (QStringList{"交流記録の自動記録：する", "発言記録の自動記録：しない"}));
}

TEST(ListTextWrite, CancelAtAFlushAbandonsTheText)
{
    AddressBook b = AddressBook::newBook();
    for (int i = 1; i <= 200; ++i)
        b.cards.append(fullCard(i, QString::number(i)));

    QList<qint64> done;
    const Progress record = [&](qint64 d, qint64 total) {
        EXPECT_EQ(total, 200);
        done << d;
        return true;
    };
    bool cancelled = true;
    const QString full = listFileText(b, Now, record, &cancelled);
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(done.size(), full.size() / 10001); // at least one call per 10000 characters
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(full, listFileText(b, Now)); // progress does not change the text

    int calls = 0;
    const Progress stopSecond = [&](qint64, qint64) { return ++calls < 2; };
    EXPECT_EQ(listFileText(b, Now, stopSecond, &cancelled), "");
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(calls, 2);
}

// ---------------------------------------------------------------------------
// Parsing.

TEST(ListTextParse, EmptyTextAndTextWithoutCards)
{
    EXPECT_EQ(parse(""), AddressBook::newBook());

    AddressBook b = parse(QString(60, u'=') + "2024/05/01 10:02:03\r\nカウンタ：99\r\n登録数：5\r\n"
                          "グループ1：友人\r\n\r\nグループ7：仕事\r\nID1：lost\r\n");
    EXPECT_EQ(b.cardCounter, 1); // the counter always restarts
    EXPECT_EQ(b.cardCount(), 1);
    EXPECT_EQ(b.groupList(), (QStringList{"友人", "仕事"}));
}

TEST(ListTextParse, CardsAreRenumberedInFileOrder)
{
    AddressBook b = parse(header(50) + "ID1：a\r\n" + header(3) + header(3) + "ID1：c\r\n");
    ASSERT_EQ(b.cardCount(), 4);
    EXPECT_EQ(b.cardCounter, 4);
    EXPECT_EQ(b.cards[1].number, 1);
    EXPECT_EQ(b.cards[2].number, 2);
    EXPECT_EQ(b.cards[3].number, 3);
    EXPECT_EQ(b.cards[1].ids, QStringList{"a"});
    EXPECT_TRUE(b.cards[2].ids.isEmpty());
    EXPECT_EQ(b.cards[3].ids, QStringList{"c"});
    // A header-only card is a new card with its defaults.
    Card fresh = Card::newCard();
    fresh.number = 2;
    EXPECT_EQ(b.cards[2], fresh);
}

TEST(ListTextParse, CardHeaderRecognition)
{
    // Needs "[" first and "]----" from the third character on, and no "：".
    AddressBook b = parse("[]----\r\n[x]----\r\nID：1\r\n x[1]----\r\n[1]----：z\r\n[1]---\r\n"
                          "[1] ----\r\nID：2\r\n");
    ASSERT_EQ(b.cardCount(), 2);
    EXPECT_EQ(b.cards[1].ids, (QStringList{"1", "2"}));
}

TEST(ListTextParse, KeysAndValues)
{
    AddressBook b = parse(header() + "ID：x\r\nID7：y\r\n 名前1 ：Bob\r\n名前1：\r\n名前2： padded \r\n"
                          "id1：lower\r\nＩＤ1：wide\r\nID1x：junk\r\n未知：z\r\n：nokey\r\n"
                          "ID1：a：b\r\nID1：lf\ninside\r\nID12：\r\n");
    ASSERT_EQ(b.cardCount(), 2);
    EXPECT_EQ(b.cards[1].ids, (QStringList{"x", "y", "a：b", "lf\ninside", ""}));
    EXPECT_EQ(b.cards[1].names, (QStringList{"Bob", "", " padded "}));
}

TEST(ListTextParse, LastLineWithoutCrLfIsLost)
{
    AddressBook b = parse(header() + "ID1：a\r\nID2：b");
    EXPECT_EQ(b.cards[1].ids, QStringList{"a"});
    b = parse(header() + "ID1：a\r\nID2：b\r");
    EXPECT_EQ(b.cards[1].ids, QStringList{"a"});
    // A header without CR LF is no card either.
    EXPECT_EQ(parse(header().chopped(2)).cardCount(), 1);
}

TEST(ListTextParse, GroupsBeforeAndAfterTheFirstHeader)
{
    AddressBook b = parse("グループ1：A\r\n" + header() + "グループ1：B\r\nグループ2：A\r\n");
    EXPECT_EQ(b.groupList(), QStringList{"A"}); // card groups are registered by the reader
    EXPECT_EQ(b.cards[1].groups, (QStringList{"B", "A"}));
}

TEST(ListTextParse, SingleFieldsFlagsAndMemo)
{
    AddressBook b = parse(header() + "住所：first\r\n住所：second\r\n郵便番号：1\r\n電話番号：2\r\n"
                          "FAX番号：3\r\n携帯電話：4\r\nポケベル：5\r\n"
                          "交流記録の自動記録：ON\r\n発言記録の自動記録：する\r\n"
                          "メモ1：a\r\nメモ2：\r\nメモ3：b\r\n"
                          "プロフィール1：t\tv\r\n送受信簿1：m\r\n交流記録1：e\r\n発言記録1：r\r\n" +
                          header() + "交流記録の自動記録：する \r\n");
    ASSERT_EQ(b.cardCount(), 3);
    const Card &c = b.cards[1];
    EXPECT_EQ(c.address, "second");
    EXPECT_EQ(c.postalCode, "1");
    EXPECT_EQ(c.telephone, "2");
    EXPECT_EQ(c.fax, "3");
    EXPECT_EQ(c.mobile, "4");
    EXPECT_EQ(c.pager, "5");
    EXPECT_EQ(c.exchangeAutoRecord, FlagOff);
    EXPECT_EQ(c.remarkAutoRecord, FlagOn);
    EXPECT_EQ(c.memo, "a\r\n\r\nb\r\n");
    EXPECT_EQ(c.profile, QStringList{"t\tv"});
    EXPECT_EQ(c.mailLog, QStringList{"m"});
    EXPECT_EQ(c.exchangeRecords, QStringList{"e"});
    EXPECT_EQ(c.remarkRecords, QStringList{"r"});
    EXPECT_EQ(b.cards[2].exchangeAutoRecord, FlagOff); // exactly "する" only
}

TEST(ListTextParse, Dates)
{
    AddressBook b = parse(header() + "誕生日：いつか\r\n作成日時：2024/1/5 9:05:00\r\n"
                          "更新日時：2024/02/30 00:00:00\r\n" +
                          header() + "誕生日：1980/07/08\r\n誕生日：not a date\r\n"
                          "更新日時：2024/01/05\r\n" +
                          header() + "誕生日：1980/07/08 12:34:56\r\n");
    ASSERT_EQ(b.cardCount(), 4);
    EXPECT_EQ(b.cards[1].birthday, NoDate);
    EXPECT_EQ(b.cards[1].created, dt(2024, 1, 5, 9, 5, 0));
    EXPECT_EQ(b.cards[1].updated, NoDate);
    EXPECT_EQ(b.cards[2].birthday, dt(1980, 7, 8)); // a bad later line changes nothing
    EXPECT_EQ(b.cards[2].updated, dt(2024, 1, 5));
    EXPECT_EQ(b.cards[3].birthday, dt(1980, 7, 8)); // a birthday keeps the date only
}

TEST(ListTextParse, StopAtACardHeaderDropsTheCardInProgress)
{
    const QString text = header() + "ID1：a\r\n" + header() + "ID1：b\r\n" + header() + "ID1：c\r\n";
    QList<qint64> done;
    const Progress stopThird = [&](qint64 d, qint64 total) {
        EXPECT_EQ(total, text.size());
        done << d;
        return done.size() < 3;
    };
    AddressBook b;
    EXPECT_FALSE(parseListText(text, b, stopThird));
    const qint64 step = header().size() + QStringLiteral("ID1：a\r\n").size(); // one card's text
    EXPECT_EQ(done, (QList<qint64>{0, step, 2 * step})); // the offsets of the headers
    ASSERT_EQ(b.cardCount(), 2);
    EXPECT_EQ(b.cards[1].ids, QStringList{"a"});
    EXPECT_EQ(b.cardCounter, 2);

    done.clear();
    EXPECT_TRUE(parseListText(text, b, [&](qint64 d, qint64) { done << d; return true; }));
    EXPECT_EQ(done.size(), 3);
    EXPECT_EQ(b.cardCount(), 4);
}

// ---------------------------------------------------------------------------
// Round trips and files.

TEST(ListTextRoundTrip, GivesBackCardsRenumberedWithMemoEndingInCrLf)
{
    AddressBook b = AddressBook::newBook();
    b.cardCounter = 40;
    b.groupList() = {"友人", "仕事", "空"};
    b.cards << fullCard(5, "a") << fullCard(9, "b") << card(2);
    b.cards[2].memo = "ends\r\n";
    b.cards[2].birthday = NoDate;
    b.cards[3].exchangeAutoRecord = FlagUnset;

    const AddressBook r = parse(listFileText(b, Now));
    EXPECT_EQ(r.cardCounter, 4);
    EXPECT_EQ(r.groupList(), b.groupList());
    ASSERT_EQ(r.cardCount(), b.cardCount());
    for (int i = 1; i < b.cardCount(); ++i) {
        Card expected = b.cards[i];
        expected.number = i;
        if (!expected.memo.isEmpty() && !expected.memo.endsWith("\r\n"))
            expected.memo += "\r\n";
        if (expected.exchangeAutoRecord != 0)
            expected.exchangeAutoRecord = FlagOn;
        EXPECT_EQ(r.cards[i], expected) << i;
    }
}

class ListFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    ScriptedPrompter pr;
};

TEST_F(ListFileTest, WriteThenReadRegistersCardGroups)
{
    AddressBook b = AddressBook::newBook();
    b.groupList() = {"仕事"};
    b.cards << fullCard(3, "a");
    b.cards[1].groups = {"友人", "仕事", "家族", "友人"};
    const QString p = path("list.txt");
    ASSERT_EQ(ListFileWrite(p, b, pr), 0);

    const QByteArray bytes = readAll(p);
    EXPECT_TRUE(bytes.contains(cp932::encode(u"\r\nカウンタ：1\r\n登録数：1\r\nグループ1：仕事\r\n")));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_FALSE(bytes.contains("\n\n"));

    AddressBook r;
    ASSERT_EQ(ListFileRead(p, r, pr), 0);
    EXPECT_EQ(r.groupList(), (QStringList{"仕事", "友人", "家族"}));
    EXPECT_EQ(r.cards[1].groups, b.cards[1].groups);
    EXPECT_TRUE(pr.asked.isEmpty());
}

TEST_F(ListFileTest, ReadEmptyMissingAndCancelled)
{
    ASSERT_TRUE(writeAll(path("empty.txt"), QByteArray()));
    AddressBook r;
    r.cards << card(1);
    EXPECT_EQ(ListFileRead(path("empty.txt"), r, pr), 0);
    EXPECT_EQ(r, AddressBook::newBook());

    EXPECT_EQ(ListFileRead(path("missing.txt"), r, pr), -1);
    EXPECT_EQ(pr.texts(), QStringList{QStringLiteral("ファイルが読めません")});

    ASSERT_TRUE(writeAll(path("two.txt"), cp932::encode(header() + "ID1：a\r\n" + header())));
    pr.clear();
    EXPECT_EQ(ListFileRead(path("two.txt"), r, pr, [](qint64, qint64) { return false; }), -1);
    EXPECT_TRUE(pr.asked.isEmpty()); // a cancel is not an error to report
}

TEST_F(ListFileTest, FailedOrCancelledWriteKeepsTheOldFile)
{
    AddressBook b = AddressBook::newBook();
    for (int i = 1; i <= 100; ++i)
        b.cards << fullCard(i, "x");
    const QString p = path("list.txt");
    ASSERT_TRUE(writeAll(p, "old"));

    EXPECT_EQ(ListFileWrite(p, b, pr, [](qint64, qint64) { return false; }), -1);
    EXPECT_EQ(readAll(p), "old");
    EXPECT_TRUE(pr.asked.isEmpty());

    QFile::setPermissions(p, QFile::ReadOwner);
    EXPECT_EQ(ListFileWrite(p, b, pr), -1);
    EXPECT_EQ(pr.texts(),
              QStringList{QStringLiteral("書き込みに失敗しました。[") + p + QStringLiteral("]は使用中です。")});
    QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(readAll(p), "old");
}
