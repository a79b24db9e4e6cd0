// What list text and nickname file imports tell once they are over: nothing
// for a clean file, one loss notice for lines that could not be read and for
// bytes that are no CP932.

#include <QTemporaryDir>

#include "common/cp932.h"
#include "formats/eudora.h"
#include "formats/listtext.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString Header = QString(60, u'=') + u"2024/05/01 10:00:00\r\nカウンタ：2\r\n登録数：1\r\n"_qs;
const QString CardLines = u"[000001]"_qs + QString(60, u'-') + u"\r\nID1：a@example.jp\r\n"_qs;

QString skippedMessage(int cards, int skipped)
{
    return u"%1 枚のカードを読み込みました。\r\n読み込めなかったデータ %2 件を読み飛ばしました。"_qs.arg(cards)
        .arg(skipped);
}

} // namespace

TEST(TextImportReport, ListTextAndNicknameFiles)
{
    const struct {
        const char *what;
        bool eudora;
        QByteArray bytes;
        QString told; // "" : nothing
    } cases[] = {
        {"list: clean", false, cp932::encode(Header + CardLines), {}},
        {"list: a key the format does not have", false, cp932::encode(Header + CardLines + u"趣味：釣り\r\n"_qs),
         skippedMessage(1, 1)},
        {"list: a birthday that is no date", false,
         cp932::encode(Header + CardLines + u"誕生日：someday\r\n誕生日：\r\n"_qs), skippedMessage(1, 1)},
        {"list: the rest of a value with a line break", false,
         cp932::encode(Header + CardLines + u"住所：東京都\r\n千代田区\r\n\r\n"_qs), skippedMessage(1, 1)},
        {"list: a last line without its line end", false,
         cp932::encode(Header + CardLines + u"名前1：Taro"_qs), skippedMessage(1, 1)},
        {"list: an unknown key before the first card", false,
         cp932::encode(u"作者：x\r\n"_qs + CardLines), skippedMessage(1, 1)},
        {"list: a byte that is no CP932", false, cp932::encode(Header + CardLines + u"ID2："_qs) + "\x81\r\n",
         u"1 枚のカードを読み込みました。\r\n読み取れない文字 1 文字を置き換えました。"_qs},
        {"nicknames: clean, blank lines and all", true,
         "\r\n\r\nalias x x@example.jp\r\n\r\nnote x <name:X>\r\n", {}},
        {"nicknames: a line that is none", true, "alias x x@example.jp\r\nhello\r\n",
         skippedMessage(1, 1)},
        {"nicknames: a byte that is no CP932", true, "alias x\x81 x@example.jp\r\n",
         u"1 枚のカードを読み込みました。\r\n読み取れない文字 1 文字を置き換えました。"_qs},
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(u"in.txt"_qs);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeAll(path, c.bytes));
        ScriptedPrompter pr;
        AddressBook book;
        ASSERT_EQ(c.eudora ? EudoraFileRead(path, book, pr) : ListFileRead(path, book, pr), 0);
        if (c.told.isEmpty()) {
            EXPECT_TRUE(pr.asked.isEmpty()) << pr.texts().join(u'|').toStdString();
            continue;
        }
        ASSERT_EQ(pr.asked.size(), 1);
        EXPECT_EQ(pr.asked[0].message.text, c.told);
        EXPECT_TRUE(pr.lossReported());
    }
}
