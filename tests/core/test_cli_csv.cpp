// brindle-cli convert with CSV files of other programs: --encoding,
// --csv-map, --verbose, and the exit status of what a read reports.

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "common/cp932.h"
#include "support/clirun.h"
#include "support/testutil.h"

namespace {

class CliCsv : public testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }
    QString listText(const QString &name) const
    {
        return cp932::decode(readAll(path(name))).replace(u"\r\n"_qs, u"\n"_qs);
    }
};

// A list text without what depends on the clock: the title line and the
// times of creation and update.
QString timeless(const QString &text)
{
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty())
        lines.removeFirst();
    lines.removeIf([](const QString &l) {
        return l.startsWith(u"作成日時：") || l.startsWith(u"更新日時：") || l.isEmpty();
    });
    return lines.join(u'\n');
}

const QByteArray BrokenUtf8 = u"名前,ID\n山田,a@b\n"_qs.toUtf8() + "\xFF,c@d\n";

} // namespace

TEST_F(CliCsv, FixturesReadAsTheirGoldenFilesSay)
{
    const QString data = QStringLiteral(BRINDLE_TEST_DATA "/csv/");
    for (const QString &name : QDir(data).entryList({u"*.csv"_qs}, QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        const CliRun r = runCli({u"convert"_qs, data + name, path(u"out.txt"_qs)});
        EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
        const QString expected = QString::fromUtf8(readAll(data + name.chopped(4) + u".expected.txt"_qs));
        EXPECT_EQ(timeless(listText(u"out.txt"_qs)), timeless(expected.section(u"\n[notice]"_qs, 0, 0)));
        // What the read told, as the golden file has it after the cards.
        const QString told = expected.section(u"\n[notice] "_qs, 1);
        if (!told.isEmpty()) {
            EXPECT_TRUE(r.errText().contains(told.section(u'\n', 0, 0))) << r.errText().toStdString();
        }
    }
}

TEST_F(CliCsv, EncodingGivenOnTheCommandLine)
{
    ASSERT_TRUE(writeAll(path(u"broken.csv"_qs), BrokenUtf8));

    // Told from its bytes it is CP932 (not valid UTF-8): its header means nothing.
    CliRun r = runCli({u"convert"_qs, path(u"broken.csv"_qs), path(u"told.txt"_qs), u"--verbose"_qs});
    EXPECT_TRUE(r.errText().contains(u"brindle-cli convert: CSV encoding: Shift_JIS (CP932)\n"_qs))
        << r.errText().toStdString();
    EXPECT_FALSE(listText(u"told.txt"_qs).contains(u"名前1：山田"_qs));

    // Given as UTF-8: the names are read, and the one broken byte is a loss.
    r = runCli({u"convert"_qs, path(u"broken.csv"_qs), path(u"given.txt"_qs), u"--encoding"_qs,
                u"utf-8"_qs});
    EXPECT_EQ(r.exitCode, 4) << r.errText().toStdString();
    EXPECT_TRUE(listText(u"given.txt"_qs).contains(u"名前1：山田\n"_qs));
    EXPECT_TRUE(r.errText().contains(u"読み取れない文字 1 文字を置き換えました。"_qs)) << r.errText().toStdString();

    // Wrong names, and the option on a file that is no CSV, are usage errors.
    ASSERT_TRUE(writeAll(path(u"list.txt"_qs), cp932::encode(QString(60, u'=') + u"\r\n"_qs)));
    for (const QStringList &args :
         {QStringList{u"convert"_qs, path(u"broken.csv"_qs), path(u"x.txt"_qs), u"--encoding=latin1"_qs},
          QStringList{u"convert"_qs, path(u"list.txt"_qs), path(u"x.csv"_qs), u"--encoding=utf-8"_qs},
          QStringList{u"convert"_qs, path(u"list.txt"_qs), path(u"x.csv"_qs), u"--csv-map=a=id"_qs}}) {
        r = runCli(args);
        EXPECT_EQ(r.exitCode, CliUsageError) << args.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path(u"x.txt"_qs)));
    EXPECT_FALSE(QFileInfo::exists(path(u"x.csv"_qs)));
}

TEST_F(CliCsv, MappingGivenOnTheCommandLineAndShown)
{
    ASSERT_TRUE(writeAll(path(u"in.csv"_qs),
                         cp932::encode(u"E-mail,Name,Shoe size,Phone 1 - Type,Phone 1 - Value\r\n"
                                       "a@b,A,42,Mobile,090\r\n")));
    CliRun r = runCli({u"convert"_qs, path(u"in.csv"_qs), path(u"out.txt"_qs), u"--csv-map"_qs,
                       u"Shoe size=memo,#1=none"_qs, u"--verbose"_qs});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    const QString out = listText(u"out.txt"_qs);
    EXPECT_FALSE(out.contains(u"ID1："_qs));
    EXPECT_TRUE(out.contains(u"名前1：A\n"_qs));
    EXPECT_TRUE(out.contains(u"メモ1：42\n"_qs));
    EXPECT_TRUE(out.contains(u"携帯電話：090\n"_qs));
    const QString err = r.errText();
    for (const QString &line :
         {u"brindle-cli convert: CSV encoding: Shift_JIS (CP932)"_qs,
          u"brindle-cli convert: CSV column 1 \"E-mail\" -> none"_qs,
          u"brindle-cli convert: CSV column 2 \"Name\" -> name (名前)"_qs,
          u"brindle-cli convert: CSV column 3 \"Shoe size\" -> memo (メモ)"_qs,
          u"brindle-cli convert: CSV column 4 \"Phone 1 - Type\" -> none (the type of a phone number)"_qs,
          u"brindle-cli convert: CSV column 5 \"Phone 1 - Value\" -> tel (電話番号), routed by the type in column 4"_qs})
        EXPECT_TRUE(err.contains(line + u'\n')) << line.toStdString() << "\n" << err.toStdString();
    // The column mapped to none is named once, as a notice: exit status 0.
    EXPECT_TRUE(err.contains(u"読み込む項目のない列: E-mail\n"_qs)) << err.toStdString();

    // A header the file does not have fails the read; nothing is written.
    r = runCli({u"convert"_qs, path(u"in.csv"_qs), path(u"never.txt"_qs), u"--csv-map=Hat=memo"_qs});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.errText().contains(u"CSVファイルに「Hat」の列がありません"_qs)) << r.errText().toStdString();
    EXPECT_FALSE(QFileInfo::exists(path(u"never.txt"_qs)));

    for (const QString &bad : {u"--csv-map=Hat"_qs, u"--csv-map==memo"_qs, u"--csv-map=Hat=shoe"_qs,
                               u"--csv-map=Hat=25"_qs, u"--csv-map="_qs}) {
        r = runCli({u"convert"_qs, path(u"in.csv"_qs), path(u"never.txt"_qs), bad});
        EXPECT_EQ(r.exitCode, CliUsageError) << bad.toStdString();
    }
    // Numbers and the items that are only read are accepted.
    r = runCli({u"convert"_qs, path(u"in.csv"_qs), path(u"parts.txt"_qs),
                u"--csv-map=Name=familyname,#3=21"_qs});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(listText(u"parts.txt"_qs).contains(u"名前1：A 42\n"_qs));
}

TEST_F(CliCsv, DataThatCouldNotBeReadEndsWithStatus4)
{
    ASSERT_TRUE(writeAll(path(u"dates.csv"_qs), QByteArray("ID,Birthday\na,someday\nb,1990-05-01\n")));
    const CliRun r = runCli({u"convert"_qs, path(u"dates.csv"_qs), path(u"out.txt"_qs)});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.errText().contains(u"2 枚のカードを読み込みました。\n"_qs));
    EXPECT_TRUE(r.errText().contains(u"読み込めなかったデータ 1 件を読み飛ばしました。"_qs));
    EXPECT_TRUE(listText(u"out.txt"_qs).contains(u"誕生日：1990/05/01\n"_qs));
}

TEST_F(CliCsv, NicknameFileWithBlankLinesFirst)
{
    ASSERT_TRUE(writeAll(path(u"nick.txt"_qs), "\r\n\r\nalias taro taro@example.jp\r\n"));
    const CliRun r = runCli({u"convert"_qs, path(u"nick.txt"_qs), path(u"list.txt"_qs)});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.errText().toStdString();
    EXPECT_TRUE(listText(u"list.txt"_qs).contains(u"ID1：taro@example.jp\n"_qs));
}
