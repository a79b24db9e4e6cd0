#include "common/cp932.h"
#include "core/fileinfo.h"
#include "core/ndbfile.h"
#include "core/reportbanner.h"
#include "core/validation.h"
#include "support/testutil.h"

namespace {

const QDateTime Now(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);
const QString Rule = QString(70, u'-') + u"\r\n"_qs;
const QString Banner = u"ファイル情報 by Brindle 1.1"_qs + QString(24, u' ')
    + u"2024/01/02 03:04:05\r\n"_qs + Rule;

// The 196-byte card of the file format: number 1, one ID "A", new-card values.
Card cardA()
{
    Card c = Card::newCard();
    c.number = 1;
    c.ids = {u"A"_qs};
    return c;
}

} // namespace

TEST(ReportBanner, TitleFittedTo51ColumnsThenTheTime)
{
    EXPECT_EQ(reportBanner(fileInfoTitle(), Now), Banner);
    // A title that would be cut inside a full-width character.
    const QString title = u"ab"_qs + QString(25, u'漢');
    const QString banner = reportBanner(title, Now);
    EXPECT_EQ(banner, u"ab"_qs + QString(24, u'漢') + u" "_qs + u"2024/01/02 03:04:05\r\n"_qs + Rule);
    EXPECT_EQ(cp932::encode(banner.section(u"\r\n"_qs, 0, 0)).size(), 70);
}

TEST(FileInfoReport, EmptyBook)
{
    const QString expected = Banner
        + u"処理中のファイル名            ：（ 新規アドレス帳 ）\r\n"_qs
        + u"アドレス帳全体のサイズ        ：32 Byte\r\n"_qs
        + u"全カードの枚数                ：0 枚\r\n"_qs
        + u"使用しているＩＤの数          ：0 件\r\n"_qs
        + u"使用している名前の数          ：0 件\r\n"_qs + Rule;
    EXPECT_EQ(fileInfoReport(AddressBook::newBook(), QString(), Now), expected);
}

TEST(FileInfoReport, SmallBookWithEveryLine)
{
    // 32 + 196 bytes, then memo characters up to exactly one million bytes.
    AddressBook million = AddressBook::newBook();
    Card big = cardA();
    big.memo = QString(1000000 - 32 - 196, u'x');
    million.cards.append(big);
    EXPECT_TRUE(fileInfoReport(million, QString(), Now)
                    .contains(u"アドレス帳全体のサイズ        ：1,000,000 Byte\r\n"_qs));

    AddressBook book = million;
    Card &first = book.cards[1];
    first.status = StatusNoIds;
    first.created = 36526.5;  // 2000-01-01 12:00, a Saturday
    first.updated = 45000.75; // 2023-03-15 18:00, a Wednesday
    const QList<int> statuses{StatusBadMailLog, StatusUnregisteredGroup, StatusOddCreated,
                              StatusNormal, 1000};
    for (int i = 0; i < statuses.size(); ++i) {
        Card c = cardA();
        c.number = i + 2;
        c.ids.clear();
        c.status = statuses[i];
        c.created = 40000.0;
        c.updated = NoDate;
        book.cards.append(c);
    }
    // 1,200 IDs and 2 names in all.
    for (int i = 0; i < 1199; ++i)
        book.cards[2].ids.append(QStringLiteral("id%1").arg(i));
    book.cards[3].names = {u"乙"_qs, u"丙"_qs};

    const QString report = fileInfoReport(book, u"/home/u/Address.ndb"_qs, Now);
    const QStringList lines = report.split(u"\r\n"_qs);
    const QStringList expected = {
        u"処理中のファイル名            ：/home/u/Address.ndb"_qs,
        u"アドレス帳全体のサイズ        ："_qs + withThousands(ndbFileSize(book)) + u" Byte"_qs,
        u"全カードの枚数                ：6 枚"_qs,
        u"破損カードの枚数              ：1 枚"_qs,
        u"異常カードの枚数              ：2 枚"_qs,
        u"不信カードの枚数              ：1 枚"_qs,
        u"使用しているＩＤの数          ：1,200 件"_qs,
        u"使用している名前の数          ：2 件"_qs,
        u"最も古いカードの作成時刻      ：2000年01月01日(土) 12時00分00秒"_qs,
        u"最後に編集したカードの更新時刻：2023年03月15日(水) 18時00分00秒"_qs,
        QString(70, u'-'),
        QString(),
    };
    EXPECT_EQ(lines.mid(2), expected);
    EXPECT_TRUE(report.startsWith(Banner));
}

TEST(FileInfoReport, DateLinesOnlyForDatesThatExist)
{
    AddressBook book = AddressBook::newBook();
    Card c = cardA();
    c.updated = 36526.0;
    book.cards.append(c);
    const QString report = fileInfoReport(book, QString(), Now);
    EXPECT_FALSE(report.contains(u"作成時刻"_qs));
    EXPECT_TRUE(report.contains(
        u"最後に編集したカードの更新時刻：2000年01月01日(土) 00時00分00秒\r\n"_qs));
    // No bad-card lines when every status is normal.
    EXPECT_FALSE(report.contains(u"破損"_qs) || report.contains(u"異常"_qs)
                 || report.contains(u"不信"_qs));
}

TEST(FileInfoReport, Formats)
{
    EXPECT_EQ(withThousands(0), u"0"_qs);
    EXPECT_EQ(withThousands(999), u"999"_qs);
    EXPECT_EQ(withThousands(1000), u"1,000"_qs);
    EXPECT_EQ(withThousands(1234567), u"1,234,567"_qs);
    EXPECT_EQ(withThousands(-1234), u"-1,234"_qs);
    // One week, Sunday to Saturday (2023-03-12 .. 2023-03-18).
    QString days;
    for (int i = 0; i < 7; ++i)
        days += japaneseDateTimeText(44997.0 + i).mid(12, 1);
    EXPECT_EQ(days, u"日月火水木金土"_qs);
    EXPECT_EQ(japaneseDateTimeText(-1.25), u"1899年12月29日(金) 06時00分00秒"_qs);
    EXPECT_EQ(japaneseDateTimeText(NoDate), QString());
}
