// brindle-cli repair, dedupe, slim and idconv.
#include <QFileInfo>
#include <QTemporaryDir>

#include "core/ndbfile.h"
#include "core/validation.h"
#include "support/clirun.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

class CliTools : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        GeneratorOptions options;
        options.cards = 80;
        ScriptedPrompter prompter;
        ASSERT_EQ(writeNdbFile(in(), generateBook(options), prompter), 0);
        original = readAll(in());
    }
    QString in() const { return dir.filePath(QStringLiteral("in.ndb")); }
    QString out() const { return dir.filePath(QStringLiteral("out.ndb")); }
    AddressBook read(const QString &path)
    {
        AddressBook book;
        ScriptedPrompter prompter;
        EXPECT_EQ(readNdbFile(path, book, prompter), 0);
        return book;
    }

    QTemporaryDir dir;
    QByteArray original;
};

TEST_F(CliTools, SlimWritesOnlyWithOutput)
{
    // Without -o: the message, and nothing written.
    CliRun r = runCli({u"slim"_qs, in(), u"--level"_qs, u"2"_qs});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.outText().contains(u" 枚のｶｰﾄﾞから "_qs)) << r.outText().toStdString();
    EXPECT_TRUE(r.errText().contains(u"nothing written"_qs));
    EXPECT_EQ(readAll(in()), original);

    r = runCli({u"slim"_qs, u"--level"_qs, u"2"_qs, in(), u"-o"_qs, out()});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.outText().endsWith(u" Byte）の情報を除去しました。\n"_qs)) << r.outText().toStdString();
    EXPECT_EQ(readAll(in()), original);
    const AddressBook slim = read(out());
    ASSERT_GT(slim.cardCount(), 80);
    EXPECT_TRUE(slim.groupList().isEmpty());
    for (qsizetype i = 1; i < slim.cardCount(); ++i) {
        EXPECT_LE(slim.cards[i].ids.size(), 1);
        EXPECT_TRUE(slim.cards[i].mailLog.isEmpty() && slim.cards[i].memo.isEmpty());
    }
    EXPECT_LT(QFileInfo(out()).size(), original.size() / 2);

    for (const QStringList &bad :
         {QStringList{u"slim"_qs, in()}, QStringList{u"slim"_qs, in(), u"--level"_qs, u"3"_qs},
          QStringList{u"slim"_qs, in(), u"--level"_qs}, QStringList{u"slim"_qs, u"--level"_qs, u"1"_qs},
          QStringList{u"slim"_qs, in(), u"--level"_qs, u"1"_qs, u"--bogus"_qs}}) {
        r = runCli(bad);
        EXPECT_EQ(r.exitCode, CliUsageError) << bad.join(u' ').toStdString();
    }
}

TEST_F(CliTools, DedupeReportsAndMergesInPlace)
{
    CliRun r = runCli({u"dedupe"_qs, in(), u"--report"_qs});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.outText().startsWith(u"重複ID一覧 by Brindle 1.1"_qs)) << r.outText().toStdString();
    EXPECT_TRUE(r.outText().endsWith(u" 個のIDが重複しています。\n"_qs)) << r.outText().toStdString();
    EXPECT_EQ(readAll(in()), original);

    // The output may be the input itself.
    const qsizetype before = read(in()).cardCount();
    r = runCli({u"dedupe"_qs, in(), u"--merge"_qs, u"-o"_qs, in()});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.outText().endsWith(u" 個のIDが重複していました。\n"_qs)) << r.outText().toStdString();
    EXPECT_LT(read(in()).cardCount(), before);
    r = runCli({u"dedupe"_qs, in(), u"--report"_qs});
    EXPECT_EQ(r.outText(), u"IDの重複はありませんでした。\n"_qs);

    for (const QStringList &bad : {QStringList{u"dedupe"_qs, in()},
                                   QStringList{u"dedupe"_qs, in(), u"--report"_qs, u"--merge"_qs},
                                   QStringList{u"dedupe"_qs, in(), u"--report"_qs, u"-o"_qs, out()}}) {
        r = runCli(bad);
        EXPECT_EQ(r.exitCode, CliUsageError) << bad.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out()));
}

TEST_F(CliTools, RepairAndIdConversion)
{
    CliRun r = runCli({u"repair"_qs, in(), u"--level"_qs, u"1"_qs, u"-o"_qs, out()});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_TRUE(r.outText().contains(u" 個所）を修復しました。"_qs)) << r.outText().toStdString();
    AddressBook repaired = read(out());
    repairCardNumbers(repaired);
    validateAll(repaired, CardLimits{});
    // What repair cannot mend stays: the size limits and an ID too short;
    // the empty ID or name given to a card without one is not written.
    for (qsizetype i = 1; i < repaired.cardCount(); ++i) {
        const int status = repaired.cards[i].status;
        EXPECT_TRUE(status == StatusNormal || status == StatusNoIds || status == StatusNoNames
                    || status == StatusBadId || status >= StatusTooManyIds)
            << status;
    }
    EXPECT_EQ(runCli({u"repair"_qs, in(), u"--level"_qs, u"0"_qs}).exitCode, CliUsageError);

    r = runCli({u"idconv"_qs, in(), u"--exchange"_qs, u"off"_qs, u"-o"_qs, out()});
    EXPECT_EQ(r.exitCode, 0) << r.errText().toStdString();
    const QStringList lines = r.outText().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines.first().endsWith(u" 個のIDを変換しました。"_qs)) << r.outText().toStdString();
    EXPECT_TRUE(lines.last().endsWith(u" 枚のｶｰﾄﾞの交流記録の設定を変更しました。"_qs));
    const AddressBook converted = read(out());
    for (qsizetype i = 1; i < converted.cardCount(); ++i) {
        EXPECT_EQ(converted.cards[i].exchangeAutoRecord, FlagOff);
        for (const QString &id : converted.cards[i].ids)
            EXPECT_FALSE(id.contains(u"@nifty"_qs, Qt::CaseInsensitive)) << id.toStdString();
    }
    EXPECT_EQ(runCli({u"idconv"_qs, in(), u"--remark"_qs, u"yes"_qs}).exitCode, CliUsageError);
    EXPECT_EQ(readAll(in()), original);
}

} // namespace
