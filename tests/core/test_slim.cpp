#include <algorithm>

#include "core/fileinfo.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "support/testutil.h"
#include "tools/slim.h"

namespace {

const DateValue Now = 45000.5; // 2023-03-15 12:00

// A mail log line dated 19yy or 20yy.
QString mailLine(int year, int month, int day, int n)
{
    return QStringLiteral("%1/%2/%3 受信 abc12345 def67890 12345678 件名%4")
        .arg(year % 100, 2, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'))
        .arg(n);
}

Card personCard(qint32 number)
{
    Card c = Card::newCard();
    c.number = number;
    c.ids = {QStringLiteral("id%1a@example.jp").arg(number), QStringLiteral("id%1b@example.jp").arg(number)};
    c.names = {QStringLiteral("山田%1").arg(number), QStringLiteral("ﾔﾏﾀﾞ")};
    c.created = 40000.0;
    c.updated = 41000.0;
    return c;
}

AddressBook bookOf(const QList<Card> &cards)
{
    AddressBook book;
    for (const Card &c : cards)
        book.cards.append(c);
    book.cardCounter = qint32(book.cards.size());
    return book;
}

} // namespace

TEST(Slim, KeepNewestLinesByCenturyPrefixedDate)
{
    // 150 lines with distinct dates from 1975 to 2049, in a scrambled order.
    QStringList lines;
    QList<int> years;
    for (int i = 0; i < 150; ++i) {
        const int k = (i * 61) % 150; // a permutation of 0..149
        const int year = 1975 + k / 2;
        const int month = 1 + (k % 2) * 6;
        lines << mailLine(year, month, 1, i);
        years << year * 100 + month;
    }
    QList<int> sorted = years;
    std::sort(sorted.begin(), sorted.end());
    const int cutoff = sorted[50]; // the 50 oldest go
    QStringList expected;
    for (int i = 0; i < 150; ++i)
        if (years[i] >= cutoff)
            expected << lines[i];
    ASSERT_EQ(expected.size(), 100);

    QStringList log = lines;
    EXPECT_EQ(keepNewestLines(log, 100), 50);
    EXPECT_EQ(log, expected);

    // 99/12/31 is older than 00/01/01; 69 is 2069, 70 is 1970.
    log = {mailLine(2000, 1, 1, 1), mailLine(1999, 12, 31, 2), mailLine(2069, 1, 1, 3),
           mailLine(1970, 1, 1, 4)};
    EXPECT_EQ(keepNewestLines(log, 2), 2);
    EXPECT_EQ(log, (QStringList{mailLine(2000, 1, 1, 1), mailLine(2069, 1, 1, 3)}));

    // Equal lines: the earlier ones count as older. Limits 0, negative and
    // not below the count.
    log = {u"03/01/01 a"_qs, u"03/01/01 a"_qs, u"02/01/01 b"_qs, u"03/01/01 a"_qs};
    QStringList same = log;
    EXPECT_EQ(keepNewestLines(log, 2), 2);
    EXPECT_EQ(log, (QStringList{u"03/01/01 a"_qs, u"03/01/01 a"_qs}));
    EXPECT_EQ(keepNewestLines(same, 4), 0);
    EXPECT_EQ(keepNewestLines(same, -1), 0);
    EXPECT_EQ(same.size(), 4);
    EXPECT_EQ(keepNewestLines(same, 0), 4);
    EXPECT_TRUE(same.isEmpty());
}

TEST(Slim, ExerciseLevelTrimsHistoryOnly)
{
    Card c = personCard(1);
    for (int i = 0; i < 15; ++i)
        c.profile << QStringLiteral("項目%1\t値").arg(i);
    c.profile.insert(3, u"取得\tnone"_qs); // removed unconditionally
    for (int i = 0; i < 150; ++i)
        c.mailLog << mailLine(2000 + i % 20, 1 + i % 12, 1 + i % 28, i);
    c.remarkRecords = {u"01/02/03 発言"_qs};
    c.address = u"東京都"_qs;
    AddressBook book = bookOf({c});

    const SlimOptions level0 = slimPreset(0);
    EXPECT_TRUE(slimOptionsProblem(level0).isEmpty());
    const qint64 before = ndbFileSize(book);
    const SlimResult r = slimBook(book, level0, CardLimits{}, Now);
    const Card &out = book.cards[1];
    QStringList lastTen;
    for (int i = 5; i < 15; ++i)
        lastTen << QStringLiteral("項目%1\t値").arg(i);
    EXPECT_EQ(out.profile, lastTen);
    EXPECT_EQ(out.mailLog.size(), 100);
    EXPECT_EQ(out.ids.size(), 2);
    EXPECT_EQ(out.names.size(), 2);
    EXPECT_EQ(out.address, u"東京都"_qs);
    EXPECT_EQ(out.remarkRecords.size(), 1);
    EXPECT_EQ(r.changedCards, 1);
    EXPECT_EQ(r.removed, 1 + 5 + 50);
    const qint64 saved = before - ndbFileSize(book);
    ASSERT_GT(saved, 1000);
    EXPECT_EQ(slimResultMessage(r), u"1 枚のｶｰﾄﾞから 56 個所（"_qs + withThousands(saved)
                                        + u" Byte）の情報を除去しました。"_qs);
}

TEST(Slim, MummyLevelLeavesOneIdAndNameAndEmptiesGroups)
{
    AddressBook book = bookOf({personCard(1), personCard(2)});
    book.groupList() = {u"仕事"_qs, u"友人"_qs};
    Card &a = book.cards[1];
    a.postalCode = u"100-0001"_qs; // cleared by the address option as well
    a.address = u"東京都千代田区"_qs;
    a.telephone = u"03"_qs;
    a.fax = u"03"_qs;
    a.mobile = u"090"_qs;
    a.pager = u"010"_qs;
    a.memo = u"ﾒﾓ"_qs;
    a.groups = {u"仕事"_qs, u"友人"_qs};
    a.exchangeRecords = {u"01/02/03 12:34pm 会った"_qs};
    for (int i = 0; i < 1200; ++i)
        a.mailLog << mailLine(2001, 1, 1, i);

    const SlimResult r = slimBook(book, slimPreset(2), CardLimits{}, Now);
    for (int i : {1, 2}) {
        const Card &c = book.cards[i];
        EXPECT_EQ(c.ids, QStringList{QStringLiteral("id%1a@example.jp").arg(i)});
        EXPECT_EQ(c.names, QStringList{QStringLiteral("山田%1").arg(i)});
        EXPECT_TRUE(c.postalCode.isEmpty() && c.address.isEmpty() && c.telephone.isEmpty());
        EXPECT_TRUE(c.fax.isEmpty() && c.mobile.isEmpty() && c.pager.isEmpty() && c.memo.isEmpty());
        EXPECT_TRUE(c.groups.isEmpty() && c.mailLog.isEmpty() && c.exchangeRecords.isEmpty());
        EXPECT_EQ(c.status, StatusNormal);
    }
    EXPECT_TRUE(book.groupList().isEmpty());
    EXPECT_TRUE(r.groupListCleared);
    EXPECT_EQ(r.changedCards, 2);
    // Card 1: an ID, a name, six fields, two groups, 1200 lines, a record;
    // card 2: an ID and a name; the group list: two.
    EXPECT_EQ(r.removed, (1 + 1 + 7 + 2 + 1200 + 1) + 2 + 2);
    EXPECT_TRUE(slimResultMessage(r).startsWith(u"2 枚のｶｰﾄﾞから 1,216 個所（"_qs));
}

TEST(Slim, NothingToRemoveAndGroupListAloneChangeNoCard)
{
    AddressBook book = bookOf({personCard(1)});
    book.groupList() = {u"仕事"_qs};
    SlimOptions o;
    o.groups = true;
    o.mailLog = {true, 100};
    const SlimResult r = slimBook(book, o, CardLimits{}, Now);
    EXPECT_EQ(r.changedCards, 0);
    EXPECT_TRUE(book.groupList().isEmpty()); // emptied, but no card changed
    EXPECT_EQ(slimResultMessage(r), u"整理個所はありませんでした。"_qs);
}

TEST(Slim, OptionChecksAndCounts)
{
    SlimOptions o;
    EXPECT_EQ(slimOptionsProblem(o), u"作業が指示されていません。"_qs);
    o.profileNone = true; // does not count as work on its own
    EXPECT_EQ(slimOptionsProblem(o), u"作業が指示されていません。"_qs);
    o.ids = {true, 0};
    o.names = {true, 0};
    EXPECT_EQ(slimOptionsProblem(o), u"IDは最低でも1つ必要です。1以上に設定してください。"_qs);
    o.ids.count = 1;
    EXPECT_EQ(slimOptionsProblem(o), u"名前は最低でも1つ必要です。1以上に設定してください。"_qs);
    o.names.count = 1;
    EXPECT_TRUE(slimOptionsProblem(o).isEmpty());

    int v = -7;
    EXPECT_FALSE(parseSlimCount(QString(), v));
    EXPECT_FALSE(parseSlimCount(u"1a"_qs, v));
    EXPECT_FALSE(parseSlimCount(u"1.5"_qs, v));
    EXPECT_EQ(v, -7);
    EXPECT_TRUE(parseSlimCount(u" 12 "_qs, v));
    EXPECT_EQ(v, 12);
}
