// brindle-cli repair, dedupe, slim and idconv.
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "common/oledate.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "support/clirun.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"
#include "tools/slim.h"

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

// Each option of the slimming dialog, alone, slims as the dialog does with
// that box alone.
TEST_F(CliTools, SlimTakesEveryOptionOfTheDialog)
{
    SlimOptions none;
    struct Case { QStringList args; SlimOptions options; };
    const auto with = [&none](auto change) {
        SlimOptions o = none;
        change(o);
        return o;
    };
    const Case cases[] = {
        {{u"--ids"_qs, u"1"_qs}, with([](SlimOptions &o) { o.ids = {true, 1}; })},
        {{u"--names=2"_qs}, with([](SlimOptions &o) { o.names = {true, 2}; })},
        {{u"--profiles"_qs, u"3"_qs, u"--drop-none"_qs},
         with([](SlimOptions &o) { o.profile = {true, 3}; o.profileNone = true; })},
        {{u"--mail-log"_qs, u"0"_qs}, with([](SlimOptions &o) { o.mailLog = {true, 0}; })},
        {{u"--exchange"_qs, u"5"_qs}, with([](SlimOptions &o) { o.exchangeRecords = {true, 5}; })},
        {{u"--remarks"_qs, u"999"_qs}, with([](SlimOptions &o) { o.remarkRecords = {true, 999}; })},
        {{u"--address"_qs, u"--telephone"_qs, u"--fax"_qs},
         with([](SlimOptions &o) { o.address = o.telephone = o.fax = true; })},
        {{u"--mobile"_qs, u"--pager"_qs, u"--memo"_qs, u"--groups"_qs},
         with([](SlimOptions &o) { o.mobile = o.pager = o.memo = o.groups = true; })},
        {{u"--level"_qs, u"0"_qs, u"--memo"_qs},
         with([](SlimOptions &o) { applySlimPreset(o, 0); o.memo = true; })},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QFile::remove(out());
        const CliRun r = runCli(QStringList{u"slim"_qs, in(), u"-o"_qs, out()} + c.args);
        ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
        AddressBook expected = read(in());
        repairCardNumbers(expected);
        validateAll(expected, CardLimits{});
        slimBook(expected, c.options, CardLimits{}, oleNow());
        const AddressBook slimmed = read(out());
        ASSERT_EQ(slimmed.cardCount(), expected.cardCount());
        EXPECT_EQ(slimmed.groupList(), expected.groupList());
        for (qsizetype i = 1; i < slimmed.cardCount(); ++i) {
            const Card &a = slimmed.cards[i];
            const Card &b = expected.cards[i];
            EXPECT_TRUE(a.ids == b.ids && a.names == b.names && a.profile == b.profile
                        && a.mailLog == b.mailLog && a.exchangeRecords == b.exchangeRecords
                        && a.remarkRecords == b.remarkRecords && a.address == b.address
                        && a.telephone == b.telephone && a.fax == b.fax && a.mobile == b.mobile
                        && a.pager == b.pager && a.memo == b.memo && a.groups == b.groups)
                << "card " << a.number;
        }
    }
    for (const QStringList &wrong : {QStringList{u"--ids"_qs, u"0"_qs}, QStringList{u"--names"_qs, u"x"_qs},
                                     QStringList{u"--memo=1"_qs}, QStringList{u"--mail-log"_qs, u"1000"_qs},
                                     QStringList{u"--exchange"_qs, u"-1"_qs}, QStringList{u"--drop-none"_qs}})
        EXPECT_EQ(runCli(QStringList{u"slim"_qs, in()} + wrong).exitCode, CliUsageError)
            << wrong.join(u' ').toStdString();
    EXPECT_EQ(readAll(in()), original);
}

TEST_F(CliTools, IdconvFlagsOnlyLeavesTheIds)
{
    const CliRun r = runCli({u"idconv"_qs, in(), u"--remark"_qs, u"on"_qs, u"--flags-only"_qs, u"-o"_qs, out()});
    ASSERT_EQ(r.exitCode, 0) << r.errText().toStdString();
    EXPECT_FALSE(r.outText().contains(u"IDを変換"_qs)) << r.outText().toStdString();
    EXPECT_TRUE(r.outText().contains(u"発言記録"_qs)) << r.outText().toStdString();
    const AddressBook before = read(in());
    const AddressBook after = read(out());
    ASSERT_EQ(after.cardCount(), before.cardCount());
    bool anyServiceAddress = false;
    for (qsizetype i = 1; i < after.cardCount(); ++i) {
        EXPECT_EQ(after.cards[i].ids, before.cards[i].ids);
        EXPECT_EQ(after.cards[i].remarkAutoRecord, FlagOn);
        EXPECT_EQ(after.cards[i].exchangeAutoRecord, before.cards[i].exchangeAutoRecord);
        for (const QString &id : after.cards[i].ids)
            anyServiceAddress = anyServiceAddress || id.contains(u"@nifty"_qs, Qt::CaseInsensitive);
    }
    EXPECT_TRUE(anyServiceAddress); // there was something the conversion would have changed
    EXPECT_EQ(runCli({u"idconv"_qs, in(), u"--flags-only"_qs}).exitCode, CliUsageError);
}

} // namespace
