// brindle-cli convert with vCard and Eudora nickname files.

#include <QFile>
#include <QTemporaryDir>

#include "common/cp932.h"
#include "support/clirun.h"
#include "support/testutil.h"

namespace {

CliRun cli(const QStringList &args)
{
    return runCli(args);
}

const char Vcard[] = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Taro\r\nFN:Taro\r\nN:Yamada;Taro\r\n"
                     "EMAIL;PREF;INTERNET:taro@example.jp\r\nEMAIL;INTERNET:second@example.jp\r\n"
                     "TEL;CELL:090\r\nEND:VCARD\r\n";

} // namespace

TEST(CliFormats, ConvertBetweenVcardEudoraAndListText)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString vcf = dir.filePath("in.vcf");
    ASSERT_TRUE(writeAll(vcf, Vcard));

    // Every ID on the alias line unless mode 0 is asked for.
    const QString all = dir.filePath("all.txt");
    CliRun r = cli({"convert", "--kind", "eudora", vcf, all});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readAll(all).startsWith(
        "alias \"Taro\" taro@example.jp,second@example.jp\r\nnote \"Taro\" <name:Yamada Taro>"));
    const QString first = dir.filePath("first.txt");
    r = cli({"convert", vcf, "--eudora-mode=0", "--kind=eudora", first});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readAll(first).startsWith("alias \"Taro\" taro@example.jp\r\n"));

    // A .txt input is told apart by its first bytes; a .txt output without
    // --kind is list text.
    const QString list = dir.filePath("list.txt");
    r = cli({"convert", first, list});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString listText = cp932::decode(readAll(list));
    EXPECT_TRUE(listText.startsWith(QString(60, u'=')));
    EXPECT_TRUE(listText.contains(QStringLiteral("ID1：taro@example.jp\r\n")));

    const QString back = dir.filePath("back.vcf");
    r = cli({"convert", all, back});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray vcard = readAll(back);
    EXPECT_TRUE(vcard.startsWith("BEGIN:VCARD\r\nVERSION:2.1\r\nN;PREF:Taro\r\nFN;PREF:Taro\r\n"
                                 "N:Yamada;Taro\r\nFN:Yamada Taro\r\n"));
    EXPECT_TRUE(vcard.contains("EMAIL;INTERNET:second@example.jp\r\n"));
}

TEST(CliFormats, BadOptionsLeaveTheOutputAlone)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString vcf = dir.filePath("in.vcf");
    ASSERT_TRUE(writeAll(vcf, Vcard));
    const QString out = dir.filePath("out.txt");
    ASSERT_TRUE(writeAll(out, "old"));
    for (const QStringList &args :
         {QStringList{"convert", "--eudora-mode", "2", vcf, out},
          QStringList{"convert", "--kind", "pdf", vcf, out},
          QStringList{"convert", "--bogus", vcf, out},
          QStringList{"convert", vcf, out, "--kind"},
          QStringList{"info", "--kind", "eudora", vcf}}) {
        const CliRun r = cli(args);
        EXPECT_EQ(r.exitCode, 64) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
    EXPECT_EQ(readAll(out), "old");
}

// A UTF-8 vCard 3.0 file as phones write it: the names come through; a
// photo left out is told on stderr and is no loss; bytes that are not
// UTF-8 are a loss (exit status 4).
TEST(CliFormats, ConvertAPhonesVcard)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray card = QStringLiteral(
                                "BEGIN:VCARD\r\nVERSION:3.0\r\nN:安藤;ロイド;;;\r\nFN:安藤 ロイド\r\n"
                                "item1.EMAIL;type=INTERNET;type=pref:ando@example.jp\r\n"
                                "TEL;type=CELL;type=VOICE:090-0000-1111\r\n"
                                "ADR;type=HOME:;;桜丘町26-1;渋谷区;東京都;150-8512;\r\n")
                                .toUtf8();
    const QByteArray end = "END:VCARD\r\n";
    const struct {
        const char *what;
        QByteArray file;
        int exit;
        QString told; // on stderr ("" for nothing at all)
    } cases[] = {
        {"clean", card + end, 0, {}},
        {"photo", card + "PHOTO;ENCODING=b;TYPE=JPEG:/9j/\r\n 4AAQ\r\n" + end, 0,
         QStringLiteral("PHOTO (画像 6 Byte)")},
        {"not UTF-8", card + "NOTE:\xFF\r\n" + end, 4, QStringLiteral("読み取れない文字 1 文字")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString vcf = dir.filePath("x.vcf");
        const QString out = dir.filePath("out.txt");
        ASSERT_TRUE(writeAll(vcf, c.file));
        QFile::remove(out);
        const CliRun r = cli({"convert", vcf, out});
        EXPECT_EQ(r.exitCode, c.exit) << r.errText().toStdString();
        if (c.told.isEmpty()) {
            EXPECT_TRUE(r.err.isEmpty()) << r.errText().toStdString();
        } else {
            EXPECT_TRUE(r.errText().contains(c.told)) << r.errText().toStdString();
        }
        const QString list = cp932::decode(readAll(out));
        EXPECT_TRUE(list.contains(QStringLiteral("ID1：ando@example.jp\r\n名前1：安藤 ロイド\r\n")))
            << list.toStdString();
        EXPECT_TRUE(list.contains(QStringLiteral("住所：東京都 渋谷区 桜丘町26-1\r\n")));
        EXPECT_TRUE(list.contains(QStringLiteral("携帯電話：090-0000-1111\r\n")));
        EXPECT_FALSE(list.contains(QStringLiteral("/9j/")));
    }
}
