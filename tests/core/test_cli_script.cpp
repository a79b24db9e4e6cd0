// brindle-cli as a scripting tool: the address list and one card in text,
// TSV and JSON, standard input and output, --quiet and --verbose.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>

#include "common/oledate.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "core/addresslist.h"
#include "core/search.h"
#include "support/clirun.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

class CliScript : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const AddressBook &book)
    {
        ScriptedPrompter prompter;
        EXPECT_EQ(writeNdbFile(path(name), book, prompter), 0);
        return path(name);
    }
    QTemporaryDir dir;
};

// A report names the moment it was made; two runs may fall either side of a
// second, so compare reports without it.
QByteArray withoutReportTime(QByteArray report)
{
    static const QRegularExpression stamp(u"\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}"_qs);
    return QString::fromUtf8(report).replace(stamp, u"YYYY/MM/DD hh:mm:ss"_qs).toUtf8();
}

// Two cards whose every listed field is known.
AddressBook knownBook()
{
    AddressBook book;
    book.cardCounter = 3;
    book.groupList() = QStringList{u"友人"_qs, u"仕事"_qs};
    Card a = Card::newCard();
    a.number = 1;
    a.ids = {u"taro@example.jp"_qs, u"12345"_qs};
    a.names = {u"山田太郎"_qs};
    a.telephone = u"03-1234-5678"_qs;
    a.mobile = u"090-1111-2222"_qs;
    a.birthday = oleFromDate(QDate(1980, 10, 5));
    a.groups = {u"友人"_qs, u"仕事"_qs};
    a.memo = u"一行目\r\n二行目"_qs;
    a.created = a.updated = oleFromDateTime(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    Card b = Card::newCard(); // no name: abnormal, with a status message
    b.number = 2;
    b.ids = {u"hanako@example.jp"_qs};
    b.created = b.updated = a.created;
    book.cards << a << b;
    return book;
}

// The lines the window shows for a search and a sort order.
QStringList windowLines(const QString &file, int field, const QString &word, int order, bool reverse)
{
    ScriptedPrompter prompter;
    AddressBook book;
    EXPECT_EQ(readNdbFile(file, book, prompter), 0);
    repairCardNumbers(book);
    validateAll(book, CardLimits{});
    QList<ListLine> lines;
    EXPECT_EQ(buildListLines(book, searchCards(book, field, word), order, lines), BuildResult::Done);
    if (reverse)
        std::reverse(lines.begin(), lines.end());
    QStringList out;
    for (const ListLine &l : lines)
        out << l.text;
    return out;
}

TEST_F(CliScript, ListShowsTheWindowsRowsForEverySearchAndOrder)
{
    const QString file = write(u"Address.ndb"_qs, generateBook({.seed = 3, .cards = 60}));
    struct Case { QStringList options; int field; const char16_t *word; int order; bool reverse; };
    const Case cases[] = {
        {{}, SearchAll, u"", SortByName, false},
        {{u"--sort"_qs, u"id"_qs, u"--reverse"_qs}, SearchAll, u"", SortById, true},
        {{u"--search=bad"_qs, u"--sort=status"_qs}, SearchBadCards, u"", SortByStatus, false},
        {{u"--search"_qs, u"name=田"_qs, u"--sort"_qs, u"domain"_qs}, SearchNames, u"田", SortByDomain, false},
        {{u"--search"_qs, u"id=ne.jp"_qs, u"--sort"_qs, u"created"_qs}, SearchIds, u"ne.jp", SortByCreated, false},
        {{u"--search"_qs, u"birth-month=1"_qs, u"--sort"_qs, u"updated"_qs}, SearchBirthMonth, u"1", SortByUpdated, false},
        {{u"--search"_qs, u"tel=03"_qs}, SearchPhones, u"03", SortByName, false},
        {{u"--search"_qs, u"group="_qs}, SearchGroups, u"", SortByName, false},
        {{u"--search"_qs, u"memo=規則"_qs, u"--reverse"_qs}, SearchMemo, u"規則", SortByName, true},
    };
    for (const Case &c : cases) {
        const CliRun r = runCli(QStringList{u"list"_qs, file} + c.options);
        ASSERT_EQ(r.exitCode, 0) << c.options.join(u' ').toStdString() << r.err.toStdString();
        const QStringList want = windowLines(file, c.field, QString::fromUtf16(c.word), c.order, c.reverse);
        EXPECT_FALSE(want.isEmpty()) << c.options.join(u' ').toStdString();
        EXPECT_EQ(r.outText(), want.join(u'\n') + u'\n') << c.options.join(u' ').toStdString();
    }
}

TEST_F(CliScript, ListTsvAndJsonCarryTheCardsFields)
{
    const QString file = write(u"Address.ndb"_qs, knownBook());
    const CliRun tsv = runCli({u"list"_qs, file, u"--sort"_qs, u"id"_qs, u"--format"_qs, u"tsv"_qs});
    ASSERT_EQ(tsv.exitCode, 0) << tsv.err.toStdString();
    EXPECT_EQ(tsv.outText(),
              u"1\t山田太郎\t12345\t03-1234-5678\t090-1111-2222\t1980-10-05\t友人,仕事\t0\t\n"
              "2\t\thanako@example.jp\t\t\t\t\t%1\t%2\n"
              "1\t山田太郎\ttaro@example.jp\t03-1234-5678\t090-1111-2222\t1980-10-05\t友人,仕事\t0\t\n"_qs
                  .arg(StatusNoNames)
                  .arg(statusMessage(StatusNoNames)));

    const CliRun json = runCli({u"list"_qs, file, u"--format=json"_qs, u"--search=bad"_qs});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out).array();
    ASSERT_EQ(rows.size(), 1);
    const QJsonObject row = rows[0].toObject();
    EXPECT_EQ(row[u"number"].toInt(), 2);
    EXPECT_EQ(row[u"id"].toString(), u"hanako@example.jp"_qs);
    EXPECT_EQ(row[u"names"].toArray().size(), 0);
    EXPECT_TRUE(row[u"birthday"].isNull());
    EXPECT_EQ(row[u"status"].toInt(), StatusNoNames);
    EXPECT_EQ(row[u"message"].toString(), statusMessage(StatusNoNames));
}

TEST_F(CliScript, ShowFindsACardByNumberOrId)
{
    const QString file = write(u"Address.ndb"_qs, knownBook());
    struct Case { const char16_t *card; int exit; int number; };
    const Case cases[] = {
        {u"1", 0, 1},    {u"2", 0, 2},    {u"taro@example.jp", 0, 1}, {u"id:12345", 0, 1},
        {u"12345", 1, 0}, {u"3", 1, 0},   {u"id:nobody", 1, 0},
    };
    for (const Case &c : cases) {
        const CliRun r = runCli({u"show"_qs, file, QString::fromUtf16(c.card), u"--format"_qs, u"json"_qs});
        EXPECT_EQ(r.exitCode, c.exit) << QString::fromUtf16(c.card).toStdString();
        if (c.exit == 0)
            EXPECT_EQ(QJsonDocument::fromJson(r.out).object()[u"number"].toInt(), c.number);
        else
            EXPECT_TRUE(r.out.isEmpty() && !r.err.isEmpty());
    }
    const QJsonObject card =
        QJsonDocument::fromJson(runCli({u"show"_qs, file, u"1"_qs, u"--format=json"_qs}).out).object();
    EXPECT_EQ(card[u"ids"].toArray().size(), 2);
    EXPECT_EQ(card[u"birthday"].toString(), u"1980-10-05"_qs);
    EXPECT_EQ(card[u"created"].toString(), u"2020-01-02T03:04:05"_qs);
    EXPECT_EQ(card[u"memo"].toString(), u"一行目\n二行目"_qs);
    EXPECT_TRUE(card[u"exchangeAutoRecord"].toBool());

    const CliRun text = runCli({u"show"_qs, file, u"1"_qs});
    EXPECT_TRUE(text.outText().startsWith(u"number: 1\nids: taro@example.jp\nids: 12345\nnames: 山田太郎\n"_qs))
        << text.out.toStdString();
    EXPECT_TRUE(text.outText().contains(u"memo: 一行目\nmemo: 二行目\n"_qs));
}

TEST_F(CliScript, WrongListAndShowLinesAreUsageErrors)
{
    const QString file = write(u"Address.ndb"_qs, knownBook());
    const QList<QStringList> lines = {
        {u"list"_qs, file, u"--search"_qs, u"colour=red"_qs},
        {u"list"_qs, file, u"--search"_qs, u"bad=x"_qs},
        {u"list"_qs, file, u"--sort"_qs, u"size"_qs},
        {u"list"_qs, file, u"--format"_qs, u"xml"_qs},
        {u"list"_qs, file, file},
        {u"show"_qs, file},
        {u"show"_qs, file, u"1"_qs, u"--format"_qs, u"tsv"_qs},
        {u"info"_qs, u"-"_qs},
        {u"list"_qs, u"-"_qs, u"--from"_qs, u"pdf"_qs},
        {u"convert"_qs, file, u"-"_qs},
        {u"slim"_qs, u"-"_qs, u"--level"_qs, u"0"_qs},
        {u"compare"_qs, u"-"_qs, file},
        {u"new"_qs, u"-"_qs},
    };
    for (const QStringList &args : lines) {
        const CliRun r = runCliWithInput(args, QByteArray());
        EXPECT_EQ(r.exitCode, CliUsageError) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(CliScript, DashIsStandardInputAndOutput)
{
    const QString file = write(u"Address.ndb"_qs, knownBook());
    const QByteArray book = readAll(file);
    // Standard input to standard output gives the bytes a file conversion gives.
    const CliRun csv = runCliWithInput({u"convert"_qs, u"-"_qs, u"-"_qs, u"--from"_qs, u"ndb"_qs,
                                        u"--kind"_qs, u"csv"_qs}, book);
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    ASSERT_EQ(runCli({u"convert"_qs, file, path(u"cards.csv"_qs)}).exitCode, 0);
    EXPECT_EQ(csv.out, readAll(path(u"cards.csv"_qs)));
    // And back: CSV on standard input.
    const CliRun back = runCliWithInput({u"convert"_qs, u"-"_qs, path(u"again.ndb"_qs), u"--from=csv"_qs}, csv.out);
    EXPECT_EQ(back.exitCode, 0) << back.err.toStdString();
    // The reading commands take it too, and name it in their messages and reports.
    for (const char16_t *command : {u"info", u"check", u"list"}) {
        const CliRun r = runCliWithInput({QString::fromUtf16(command), u"-"_qs, u"--from"_qs, u"ndb"_qs}, book);
        EXPECT_EQ(r.exitCode, QStringView(command) == u"check" ? 2 : 0) << r.err.toStdString();
        EXPECT_EQ(withoutReportTime(r.out),
                  withoutReportTime(runCli({QString::fromUtf16(command), file}).out.replace(file.toUtf8(), "標準入力")));
    }
    const CliRun show = runCliWithInput({u"show"_qs, u"-"_qs, u"1"_qs, u"--from"_qs, u"ndb"_qs}, book);
    EXPECT_EQ(show.out, runCli({u"show"_qs, file, u"1"_qs}).out);
    // A file called "-" is ./-.
    ASSERT_TRUE(writeAll(path(u"-"_qs), book));
    QProcess p;
    p.setProcessEnvironment(cliEnvironment());
    p.setWorkingDirectory(dir.path());
    p.start(QStringLiteral(BRINDLE_CLI), {u"list"_qs, u"./-"_qs, u"--from=ndb"_qs, u"--format=tsv"_qs});
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(p.readAllStandardOutput(), runCli({u"list"_qs, file, u"--format=tsv"_qs}).out);
}

TEST_F(CliScript, QuietKeepsOnlyWhatExplainsAFailureAndVerboseTellsTheSteps)
{
    // The generated book repeats a card number: reading it repairs that
    // with a notice.
    const QString file = write(u"Address.ndb"_qs, generateBook({.seed = 2, .cards = 40}));
    const CliRun normal = runCli({u"list"_qs, file});
    ASSERT_EQ(normal.exitCode, 0);
    EXPECT_FALSE(normal.err.isEmpty());
    const CliRun quiet = runCli({u"--quiet"_qs, u"list"_qs, file});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_TRUE(quiet.err.isEmpty()) << quiet.err.toStdString();
    EXPECT_EQ(quiet.out, normal.out);
    const CliRun quietTool = runCli({u"slim"_qs, file, u"--level"_qs, u"0"_qs, u"--quiet"_qs});
    EXPECT_EQ(quietTool.exitCode, 0);
    EXPECT_TRUE(quietTool.err.isEmpty()) << quietTool.err.toStdString();

    ASSERT_TRUE(writeAll(path(u"broken.ndb"_qs), "not a book"));
    const CliRun failed = runCli({u"info"_qs, path(u"broken.ndb"_qs), u"--quiet"_qs});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.err, runCli({u"info"_qs, path(u"broken.ndb"_qs)}).err);
    EXPECT_FALSE(failed.err.isEmpty());

    const CliRun verbose = runCli({u"--verbose"_qs, u"convert"_qs, file, path(u"out.csv"_qs)});
    EXPECT_EQ(verbose.exitCode, 0);
    EXPECT_TRUE(verbose.errText().contains(path(u"Address.ndb"_qs) + u": "_qs)) << verbose.err.toStdString();
    EXPECT_TRUE(verbose.errText().contains(path(u"out.csv"_qs) + u": "_qs)) << verbose.err.toStdString();
    EXPECT_EQ(runCli({u"--quiet"_qs, u"--verbose"_qs, u"info"_qs, file}).exitCode, CliUsageError);
}

} // namespace
