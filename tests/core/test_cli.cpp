#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "core/ndbfile.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CliRun runCli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(BRINDLE_CLI), args);
    CliRun r;
    if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

AddressBook bookWithCards()
{
    AddressBook book;
    book.cardCounter = 3;
    book.groupList() = QStringList{QStringLiteral("友人")};
    for (int n : {1, 2}) {
        Card c = Card::newCard();
        c.number = n;
        c.ids = {QStringLiteral("user%1@example.jp").arg(n)};
        c.names = {QStringLiteral("名前%1").arg(n)};
        c.groups = {QStringLiteral("友人")};
        c.memo = QStringLiteral("ﾒﾓ\r\n二行目");
        book.cards.append(c);
    }
    return book;
}

class Cli : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(Cli, NewWritesTheEmptyBook)
{
    const CliRun r = runCli({QStringLiteral("new"), path("Address.ndb")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // Header (counter 1, one card), then the system card: number 0, two
    // items, an empty ID list and an empty group list.
    const QByteArray empty = hexBytes("35 12 01 00 01 00 00 00 00 00 02 00 00 00"
                                      "02 00 00 00 00 00 00 00 00"
                                      "02 01 00 00 00 00 00 00 00");
    ASSERT_EQ(empty.size(), 32);
    EXPECT_EQ(readAll(path("Address.ndb")), empty);
    EXPECT_EQ(*buildNdbImage(AddressBook::newBook()), empty);
}

TEST_F(Cli, ConvertCopiesAnAddressBookExactly)
{
    ScriptedPrompter prompter;
    ASSERT_EQ(writeNdbFile(path("in.ndb"), bookWithCards(), prompter), 0);
    const CliRun r = runCli({QStringLiteral("convert"), path("in.ndb"), path("out.ndb")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(path("out.ndb")), readAll(path("in.ndb")));
}

// Generated books with every kind of bad card (short records, duplicate
// numbers, IDs differing in case, overlong lists, odd flags) come back byte
// for byte. The one change is planted on purpose: a birthday beyond
// 9999-12-31, which the reader turns into the empty date.
TEST_F(Cli, ConvertKeepsGeneratedBooksByteForByte)
{
    for (const auto &[seed, cards] : {std::pair{1u, 300}, {7u, 450}, {2024u, 200}}) {
        SCOPED_TRACE(seed);
        AddressBook book = generateBook(GeneratorOptions{.seed = seed, .cards = cards});
        ScriptedPrompter prompter;
        ASSERT_EQ(writeNdbFile(path("in.ndb"), book, prompter), 0);
        int planted = 0;
        for (Card &c : book.cards) {
            if (plantedRule(c) != 0)
                ++planted;
            if (plantedRule(c) == 5)
                c.birthday = NoDate;
        }
        EXPECT_EQ(planted, plantedRuleCodes().size() + 2);
        const QByteArray expected = *buildNdbImage(book);
        const QByteArray input = readAll(path("in.ndb"));
        ASSERT_EQ(input.size(), expected.size());
        int differing = 0;
        for (qsizetype i = 0; i < input.size(); ++i)
            differing += input[i] != expected[i] ? 1 : 0;
        EXPECT_GT(differing, 0);
        EXPECT_LE(differing, 8); // the one date value

        CliRun r = runCli({QStringLiteral("convert"), path("in.ndb"), path("out.ndb")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(readAll(path("out.ndb")), expected);
        // From then on nothing changes at all.
        r = runCli({QStringLiteral("convert"), path("out.ndb"), path("again.ndb")});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(readAll(path("again.ndb")), expected);
    }
}

TEST_F(Cli, FailedConvertLeavesOutputAlone)
{
    ScriptedPrompter prompter;
    ASSERT_EQ(writeNdbFile(path("in.ndb"), bookWithCards(), prompter), 0);
    const QByteArray whole = readAll(path("in.ndb"));
    ASSERT_TRUE(writeAll(path("in.ndb"), whole.left(whole.size() - 3)));
    ASSERT_TRUE(writeAll(path("out.ndb"), "keep me"));

    CliRun r = runCli({QStringLiteral("convert"), path("in.ndb"), path("out.ndb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(QStringLiteral("ファイルが壊れています")))
        << r.err.toStdString();
    EXPECT_EQ(readAll(path("out.ndb")), QByteArray("keep me"));

    r = runCli({QStringLiteral("convert"), path("missing.ndb"), path("out.ndb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).trimmed(), QStringLiteral("ファイルが読めません"));
    EXPECT_EQ(readAll(path("out.ndb")), QByteArray("keep me"));

    // A write that cannot start: a folder in the output's place.
    ASSERT_TRUE(writeAll(path("in.ndb"), whole));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ndb")));
    r = runCli({QStringLiteral("convert"), path("in.ndb"), path("folder.ndb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).trimmed(),
              QStringLiteral("書き込みに失敗しました。[") + path("folder.ndb")
                  + QStringLiteral("]は使用中です。"));
}

TEST_F(Cli, HelpAndWrongUsage)
{
    CliRun r = runCli({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("new OUTPUT"));
    EXPECT_TRUE(r.out.contains("convert INPUT OUTPUT"));

    for (const QStringList &args : {QStringList{}, QStringList{QStringLiteral("frobnicate")},
                                    QStringList{QStringLiteral("new")},
                                    QStringList{QStringLiteral("convert"), path("x.ndb")}}) {
        r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage:"));
    }
    EXPECT_TRUE(dir.isValid());
    EXPECT_FALSE(QFileInfo::exists(path("x.ndb")));
}

} // namespace
