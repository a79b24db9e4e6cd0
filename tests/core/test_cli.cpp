#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QElapsedTimer>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

#include "common/cp932.h"
#include "core/ndbfile.h"
#include "support/clirun.h"
#include "support/fakehost.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

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

    // An existing file is never replaced by an empty book.
    ScriptedPrompter prompter;
    ASSERT_EQ(writeNdbFile(path("Address.ndb"), bookWithCards(), prompter), 0);
    const QByteArray full = readAll(path("Address.ndb"));
    const CliRun again = runCli({QStringLiteral("new"), path("Address.ndb")});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.errText(), QStringLiteral("brindle-cli: ") + path("Address.ndb")
                                   + QStringLiteral(": 既に存在します。上書きしません。\n"));
    EXPECT_EQ(readAll(path("Address.ndb")), full);
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
    EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(QStringLiteral("brindle-cli: ") + path("in.ndb")
                                                    + QStringLiteral(": ファイルが壊れています")))
        << r.err.toStdString();
    EXPECT_EQ(readAll(path("out.ndb")), QByteArray("keep me"));

    r = runCli({QStringLiteral("convert"), path("missing.ndb"), path("out.ndb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).trimmed(), QStringLiteral("brindle-cli: ") + path("missing.ndb")
                                                      + QStringLiteral(": [") + path("missing.ndb")
                                                      + QStringLiteral("]は存在しません"));
    EXPECT_EQ(readAll(path("out.ndb")), QByteArray("keep me"));

    // A write that cannot start: a folder in the output's place.
    ASSERT_TRUE(writeAll(path("in.ndb"), whole));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.ndb")));
    r = runCli({QStringLiteral("convert"), path("in.ndb"), path("folder.ndb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).trimmed(),
              QStringLiteral("brindle-cli: ") + path("folder.ndb") + QStringLiteral(": 書き込みに失敗しました。[")
                  + path("folder.ndb") + QStringLiteral("]は使用中です。"));
}

TEST_F(Cli, ConvertGoesThroughTheFileKinds)
{
    ScriptedPrompter prompter;
    ASSERT_EQ(writeNdbFile(path("in.ndb"), bookWithCards(), prompter), 0);
    CliRun r = runCli({QStringLiteral("convert"), path("in.ndb"), path("list.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(readAll(path("list.txt")).startsWith("====="));
    r = runCli({QStringLiteral("convert"), path("list.txt"), path("back.nd3")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    AddressBook back;
    ASSERT_EQ(readNdbFile(path("back.nd3"), back, prompter), 0);
    EXPECT_EQ(back.cardCount(), 3);

    // Kinds without a reader or writer fail with a message.
    r = runCli({QStringLiteral("convert"), path("in.ndb"), path("out.bin")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("out.bin")));
}

TEST_F(Cli, ConvertWritesAndReadsCsv)
{
    ScriptedPrompter prompter;
    AddressBook book = bookWithCards();
    book.cards[1].ids << QStringLiteral("BARE0001");
    ASSERT_EQ(writeNdbFile(path("in.ndb"), book, prompter), 0);

    // Defaults: every item, one column per item.
    CliRun r = runCli({QStringLiteral("convert"), path("in.ndb"), path("all.csv")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString all = cp932::decode(readAll(path("all.csv")));
    EXPECT_TRUE(all.startsWith(QStringLiteral("\"ID\",")));
    EXPECT_EQ(all.count(QStringLiteral("\r\n")), 3);
    EXPECT_TRUE(all.contains(QStringLiteral("\"user1@example.jp\nBARE0001\"")));

    // Chosen items, split columns, the settings' domain (the default one).
    r = runCli({QStringLiteral("convert"), path("in.ndb"), path("some.csv"),
                QStringLiteral("--csv-items=id,1,group"), QStringLiteral("--csv-split"),
                QStringLiteral("--csv-add-domain")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = cp932::decode(readAll(path("some.csv"))).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("\"ID1\",\"ID2\",\"名前1\",\"グループ1\""));
    EXPECT_EQ(lines[1], QStringLiteral("\"user1@example.jp\",\"BARE0001@nifty.com\",\"名前1\",\"友人\""));
    EXPECT_EQ(lines[2], QStringLiteral("\"user2@example.jp\",,\"名前2\",\"友人\""));

    // Reading maps the header automatically; the import report names the
    // columns it skips, as a plain notice.
    ASSERT_TRUE(writeAll(path("other.csv"),
                         cp932::encode(u"E-mail,Name,Shoe size,Tel\r\na@b,A,42,03\r\n")));
    r = runCli({QStringLiteral("convert"), path("other.csv"), path("back.ndb")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString about = QStringLiteral("brindle-cli: ") + path("other.csv") + QStringLiteral(": ");
    EXPECT_EQ(QString::fromLocal8Bit(r.err).trimmed(),
              about + QStringLiteral("1 枚のカードを読み込みました。\n") + about
                  + QStringLiteral("読み込む項目のない列: Shoe size"));
    AddressBook back;
    ASSERT_EQ(readNdbFile(path("back.ndb"), back, prompter), 0);
    ASSERT_EQ(back.cardCount(), 2);
    EXPECT_EQ(back.cards[1].ids, QStringList{QStringLiteral("a@b")});
    EXPECT_EQ(back.cards[1].telephone, QStringLiteral("03"));

    // An empty CSV file is refused.
    ASSERT_TRUE(writeAll(path("empty.csv"), QByteArray()));
    r = runCli({QStringLiteral("convert"), path("empty.csv"), path("never.ndb")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFileInfo::exists(path("never.ndb")));

    // Wrong options are usage errors; only convert takes options.
    for (const QStringList &args :
         {QStringList{QStringLiteral("convert"), path("in.ndb"), path("x.csv"), QStringLiteral("--csv-items=id,shoe")},
          QStringList{QStringLiteral("convert"), path("in.ndb"), path("x.csv"), QStringLiteral("--csv-items=")},
          QStringList{QStringLiteral("convert"), path("in.ndb"), path("x.csv"), QStringLiteral("--fast")},
          QStringList{QStringLiteral("info"), path("in.ndb"), QStringLiteral("--csv-split")}}) {
        r = runCli(args);
        EXPECT_EQ(r.exitCode, CliUsageError) << args.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path("x.csv")));
}

// Corvid runs: a process carrying the program name that the (fake) registry
// gives; the settings name the home folder. The live book is refused, other
// files are not, and the settings file is never written.
TEST_F(Cli, RefusesTheLiveBookWhileCorvidRuns)
{
    if (QFileInfo::exists(QFileInfo(QStringLiteral(BRINDLE_CLI)).dir().filePath(QStringLiteral("Brindle.ini"))))
        GTEST_SKIP() << "a Brindle.ini beside brindle-cli takes precedence";
    const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
    if (sleep.isEmpty())
        GTEST_SKIP() << "no sleep command";

    const QString program =
        QStringLiteral("CorvidTest%1.exe").arg(QCoreApplication::applicationPid());
    const QString prefix = writeCorvidPrefix(path("prefix"), program);

    const QString home = path("home");
    QDir().mkpath(home);
    const QString config = path("config");
    const QString ini = config + QStringLiteral("/Brindle/Brindle.ini");
    QDir().mkpath(config + QStringLiteral("/Brindle"));
    const QByteArray settings = "[Settings]\r\nHomeFolder=" + home.toLocal8Bit() + "/\r\n";
    writeAll(ini, settings);

    ScriptedPrompter prompter;
    const QString live = home + QStringLiteral("/Address.ndb");
    ASSERT_EQ(writeNdbFile(live, bookWithCards(), prompter), 0);
    const QByteArray liveBytes = readAll(live);
    ASSERT_EQ(writeNdbFile(path("in.ndb"), AddressBook::newBook(), prompter), 0);

    QFile::link(sleep, dir.filePath(program));
    QProcess corvid;
    corvid.start(dir.filePath(program), {QStringLiteral("60")});
    ASSERT_TRUE(corvid.waitForStarted());

    const QString refused = QStringLiteral("現在 Corvid が起動しているため、アドレス帳の読み書きはできません。");
    CliRun r = runCli({QStringLiteral("convert"), live, path("out.ndb")}, config, prefix);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(QStringLiteral("brindle-cli: ") + live + QStringLiteral(": ") + refused))
        << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("out.ndb")));
    const QString copy = home + QStringLiteral("/ADDRESS.ND1");
    r = runCli({QStringLiteral("new"), copy}, config, prefix);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(QStringLiteral("brindle-cli: ") + copy + QStringLiteral(": ") + refused));
    r = runCli({QStringLiteral("convert"), path("in.ndb"), live}, config, prefix);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(readAll(live), liveBytes);
    // Outside the home folder the same name is free.
    r = runCli({QStringLiteral("convert"), path("in.ndb"), path("Address.ndb")}, config, prefix);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    // A symbolic link elsewhere leads to the live book all the same.
    QDir().mkpath(path("other"));
    ASSERT_TRUE(QFile::link(live, path("other/Address.ndb")));
    r = runCli({QStringLiteral("repair"), path("other/Address.ndb"), QStringLiteral("--level"),
                QStringLiteral("1"), QStringLiteral("-o"), path("other/Address.ndb")},
               config, prefix);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.err).startsWith(QStringLiteral("brindle-cli: ")
                                                     + path("other/Address.ndb")
                                                     + QStringLiteral(": ") + refused))
        << r.err.toStdString();
    EXPECT_EQ(readAll(live), liveBytes);
    EXPECT_TRUE(QFileInfo(path("other/Address.ndb")).isSymLink());

    corvid.kill();
    corvid.waitForFinished();
    r = runCli({QStringLiteral("convert"), live, path("out.ndb")}, config, prefix);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(path("out.ndb")), liveBytes);
    EXPECT_EQ(readAll(ini), settings); // read, never written
}

// The commands that `brindle-cli --help` lists.
QStringList listedCommands(const QString &help)
{
    QStringList names;
    const QString list = help.section(QStringLiteral("commands:\n"), 1).section(QStringLiteral("\n\n"), 0, 0);
    for (const QString &line : list.split(u'\n', Qt::SkipEmptyParts))
        names << line.trimmed().section(u' ', 0, 0);
    return names;
}

TEST_F(Cli, HelpForTheProgramAndEachCommand)
{
    CliRun r = runCli({QStringLiteral("--help")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty());
    EXPECT_TRUE(r.out.contains("\nexit status:\n"));
    const QStringList commands = listedCommands(r.outText());
    EXPECT_EQ(commands, (QStringList{u"new"_qs, u"convert"_qs, u"info"_qs, u"check"_qs, u"list"_qs,
                                     u"show"_qs, u"repair"_qs, u"dedupe"_qs, u"slim"_qs, u"idconv"_qs,
                                     u"compare"_qs}));
    EXPECT_EQ(runCli({QStringLiteral("help")}).out, r.out);

    // Every command has its own help, however it is asked for, and the README
    // and the manual page document it with an example.
    const QString readme = QString::fromUtf8(readAll(QStringLiteral(BRINDLE_SOURCE_DIR "/README.md")));
    const QString manual = QString::fromUtf8(readAll(QStringLiteral(BRINDLE_SOURCE_DIR "/man/brindle-cli.1")));
    for (const QString &c : commands) {
        SCOPED_TRACE(c.toStdString());
        r = runCli({c, QStringLiteral("--help")});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.outText().startsWith(QStringLiteral("usage: brindle-cli ") + c + u' '));
        EXPECT_TRUE(r.out.contains("\nexample"));
        EXPECT_EQ(runCli({QStringLiteral("help"), c}).out, r.out);
        EXPECT_EQ(runCli({c, path("whatever.ndb"), QStringLiteral("-h")}).out, r.out);
        EXPECT_TRUE(readme.contains(QStringLiteral("### ") + c + u'\n'));
        EXPECT_TRUE(readme.contains(QStringLiteral("brindle-cli ") + c + u' '));
        EXPECT_TRUE(manual.contains(QStringLiteral(".SS ") + c + u'\n'));
    }

    // The report of info holds no groups, log lines or records; its help
    // does not promise them.
    const QString infoHelp = runCli({QStringLiteral("info"), QStringLiteral("--help")}).outText();
    for (const char *missing : {"group", "log line", "record"})
        EXPECT_FALSE(infoHelp.contains(QLatin1String(missing))) << infoHelp.toStdString();

    r = runCli({QStringLiteral("--version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QByteArray("brindle-cli " BRINDLE_VERSION "\n"));
}

TEST_F(Cli, WrongCommandLinesAreUsageErrors)
{
    ScriptedPrompter prompter;
    ASSERT_EQ(writeNdbFile(path("in.ndb"), bookWithCards(), prompter), 0);
    for (const QStringList &args :
         {QStringList{}, {u"frobnicate"_qs}, {u"--frobnicate"_qs}, {u"help"_qs, u"frobnicate"_qs},
          {u"new"_qs}, {u"new"_qs, path("x.ndb"), path("y.ndb")}, {u"convert"_qs, path("in.ndb")},
          {u"info"_qs, path("in.ndb"), u"--csv-split"_qs}, {u"check"_qs, path("in.ndb"), u"-o"_qs, path("x.ndb")},
          {u"compare"_qs, path("in.ndb")}, {u"repair"_qs, path("in.ndb"), u"--level=4"_qs, u"-o"_qs, path("x.ndb")},
          {u"slim"_qs, path("in.ndb"), u"--level"_qs, u"1"_qs, u"-o"_qs}, {u"slim"_qs, path("in.ndb"), u"--level"_qs, u"1"_qs, u"-o"_qs, u""_qs},
          {u"idconv"_qs, path("in.ndb"), path("x.ndb")}}) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, CliUsageError);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains("Try 'brindle-cli")) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(path("x.ndb")));
    EXPECT_FALSE(QFileInfo::exists(path("y.ndb")));

    // help names what it does not know.
    const CliRun unknown = runCli({u"help"_qs, u"frobnicate"_qs});
    EXPECT_TRUE(unknown.err.startsWith("brindle-cli: unknown command frobnicate\n")) << unknown.err.toStdString();
    EXPECT_TRUE(runCli({u"help"_qs, u"info"_qs, u"check"_qs}).err.startsWith("brindle-cli: help takes one command name\n"));

    // Options may also be written --name=value.
    const CliRun r = runCli({u"slim"_qs, path("in.ndb"), u"--level=1"_qs, u"-o"_qs, path("x.ndb")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path("x.ndb")));
}

} // namespace

// A FIFO or device named like a book: the command fails at once instead of
// waiting for a writer or reading without end.
TEST_F(Cli, FifoOrDeviceAsInputFailsAtOnce)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("f.txt")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("f.ndb")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.csv")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero.ndb")));
    for (const char *name : {"f.txt", "f.ndb", "zero.csv", "zero.ndb"}) {
        QElapsedTimer timer;
        timer.start();
        const CliRun r = runCli({QStringLiteral("check"), path(name)});
        EXPECT_EQ(r.exitCode, 1) << name << ": " << r.err.toStdString();
        EXPECT_LT(timer.elapsed(), 20000) << name;
    }
}

// Ctrl+C or SIGTERM ends the command even where it cannot look at the stop
// request: here it is stuck writing its report into a pipe nobody reads.
TEST_F(Cli, InterruptEndsACommandThatIsStuckWriting)
{
    ScriptedPrompter prompter;
    GeneratorOptions options;
    options.cards = 3000;
    ASSERT_EQ(writeNdbFile(path("old.ndb"), AddressBook::newBook(), prompter), 0);
    ASSERT_EQ(writeNdbFile(path("new.ndb"), generateBook(options), prompter), 0);

    int out[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    QList<QByteArray> env;
    for (char **e = environ; *e; ++e)
        env << QByteArray(*e);
    env << "XDG_CONFIG_HOME=" + QFile::encodeName(path("config"))
        << "WINEPREFIX=" + QFile::encodeName(path("prefix"));
    QList<char *> envp;
    for (QByteArray &e : env)
        envp << e.data();
    envp << nullptr;
    QByteArray program(BRINDLE_CLI), command("compare"), oldBook = QFile::encodeName(path("old.ndb")),
        newBook = QFile::encodeName(path("new.ndb"));
    char *argv[] = {program.data(), command.data(), oldBook.data(), newBook.data(), nullptr};
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, program.constData(), &actions, nullptr, argv, envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    // Wait until the pipe is full: the command is then blocked writing.
    QElapsedTimer timer;
    timer.start();
    int queued = 0;
    while (timer.elapsed() < 30000 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
        ::ioctl(out[0], FIONREAD, &queued);
        if (queued >= ::fcntl(out[0], F_GETPIPE_SZ))
            break;
        ::usleep(10000);
    }
    ASSERT_GE(queued, ::fcntl(out[0], F_GETPIPE_SZ)) << "the report did not fill the pipe";
    ::usleep(200000);

    ::kill(pid, SIGTERM);
    timer.restart();
    int status = 0;
    pid_t done = 0;
    while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 && timer.elapsed() < 10000)
        ::usleep(10000);
    if (done == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ::close(out[0]);
        FAIL() << "still running 10 s after SIGTERM";
    }
    ::close(out[0]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_LT(timer.elapsed(), 5000);
}
