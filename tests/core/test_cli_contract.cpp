#include <QDeadlineTimer>
#include <QFile>
// What every brindle-cli command promises: bad input fails with a message
// and writes nothing, the input is never changed unless -o names it, the
// progress line appears only on a terminal, and an interrupted command
// leaves no half-written file.
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <sys/stat.h>

#include "common/consoleprogress.h"
#include "common/cp932.h"
#include "core/ndbfile.h"
#include "support/clirun.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

class CliContract : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString writeBook(const QString &name, int cards, unsigned seed = 5)
    {
        ScriptedPrompter prompter;
        EXPECT_EQ(writeNdbFile(path(name), generateBook({.seed = seed, .cards = cards}), prompter), 0);
        return path(name);
    }
    QStringList files() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                          QDir::Name);
    }
    QTemporaryDir dir;
};

struct FileState
{
    QByteArray bytes;
    qint64 inode = 0;
    qint64 modified = 0; // nanoseconds

    bool operator==(const FileState &) const = default;
};

FileState stateOf(const QString &path)
{
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {readAll(path), qint64(st.st_ino), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// Every command that reads a book, with the input in place of "IN" and an
// output, where the command takes one, in place of "OUT".
const QList<QStringList> &readingCommands()
{
    static const QList<QStringList> commands = {
        {u"convert"_qs, u"IN"_qs, u"OUT"_qs},
        {u"info"_qs, u"IN"_qs},
        {u"check"_qs, u"IN"_qs},
        {u"repair"_qs, u"IN"_qs, u"--level"_qs, u"1"_qs, u"-o"_qs, u"OUT"_qs},
        {u"dedupe"_qs, u"IN"_qs, u"--merge"_qs, u"-o"_qs, u"OUT"_qs},
        {u"dedupe"_qs, u"IN"_qs, u"--report"_qs},
        {u"slim"_qs, u"IN"_qs, u"--level"_qs, u"2"_qs, u"-o"_qs, u"OUT"_qs},
        {u"idconv"_qs, u"IN"_qs, u"--remark"_qs, u"off"_qs, u"-o"_qs, u"OUT"_qs},
        {u"compare"_qs, u"IN"_qs, u"GOOD"_qs},
        {u"compare"_qs, u"GOOD"_qs, u"IN"_qs},
    };
    return commands;
}

QStringList filledIn(QStringList args, const QString &in, const QString &out, const QString &good)
{
    for (QString &a : args)
        a = a == u"IN" ? in : a == u"OUT" ? out : a == u"GOOD" ? good : a;
    return args;
}

TEST_F(CliContract, BadInputFailsWithAMessageAndWritesNothing)
{
    const QString good = writeBook(u"good.ndb"_qs, 20);
    const QByteArray image = readAll(good);
    ASSERT_TRUE(writeAll(path(u"truncated.ndb"_qs), image.left(image.size() - 7)));
    ASSERT_TRUE(writeAll(path(u"garbage.ndb"_qs), QByteArray(300, '\x5a')));
    ASSERT_TRUE(writeAll(path(u"empty.ndb"_qs), QByteArray()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.ndb"_qs));
    ASSERT_TRUE(writeAll(path(u"unknown.bin"_qs), "neither a book nor a list\r\n"));
    const QStringList inputs = {u"missing.ndb"_qs, u"truncated.ndb"_qs, u"garbage.ndb"_qs,
                                u"empty.ndb"_qs,   u"folder.ndb"_qs,    u"unknown.bin"_qs};
    const QStringList before = files();

    for (const QString &input : inputs) {
        for (const QStringList &command : readingCommands()) {
            const QStringList args = filledIn(command, path(input), path(u"out.ndb"_qs), good);
            SCOPED_TRACE(args.join(u' ').toStdString());
            const CliRun r = runCli(args);
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
            EXPECT_FALSE(r.errText().trimmed().isEmpty());
            EXPECT_EQ(files(), before); // no output, no temporary file
        }
    }
    EXPECT_EQ(readAll(good), image);
}

// A name that does not survive the write (an unassigned code in the input
// reads as U+FFFD and is written as "?"): the output is written, stderr says
// how many characters were replaced and where, and the status is 4.
TEST_F(CliContract, ReplacedCharactersEndInStatusFour)
{
    AddressBook book = AddressBook::newBook();
    for (qint32 number : {3, 4}) {
        Card c = Card::newCard();
        c.number = number;
        c.ids = {QStringLiteral("user%1@example.jp").arg(number)};
        c.names = {number == 3 ? u"鈴木"_qs : u"山田"_qs};
        book.cards.append(c);
    }
    book.cardCounter = 5;
    QByteArray image = *buildNdbImage(book);
    const QByteArray suzuki = cp932::encode(u"鈴");
    ASSERT_EQ(image.count(suzuki), 1);
    image.replace(suzuki, "\x85\x40"); // no character has this code
    const QString in = path(u"in.ndb"_qs);
    ASSERT_TRUE(writeAll(in, image));

    struct Case
    {
        QStringList args;
        int replaced;
    };
    const Case cases[] = {
        {{u"convert"_qs, in, path(u"out.txt"_qs)}, 1},
        {{u"convert"_qs, in, path(u"out.vcf"_qs)}, 2}, // in N and FN
        {{u"repair"_qs, in, u"--level"_qs, u"1"_qs, u"-o"_qs, path(u"repaired.ndb"_qs)}, 1},
    };
    for (const auto &[args, replaced] : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 4) << r.err.toStdString();
        EXPECT_TRUE(r.errText().contains(
            u"保存できない文字を「?」に置き換えました: %1 文字 (カード番号 3 \uFFFD木)\n"_qs.arg(
                replaced)))
            << r.err.toStdString();
        EXPECT_TRUE(QFileInfo::exists(args.last()));
    }
}

// Without -o no command touches its input or leaves any file behind; with
// -o naming the input, the tool commands replace it through a new file
// renamed into place (a new inode), never by rewriting it where it lies.
TEST_F(CliContract, TheInputChangesOnlyWhenOutputNamesIt)
{
    const QString in = writeBook(u"in.ndb"_qs, 120);
    const QString other = writeBook(u"other.ndb"_qs, 60, 9);
    const FileState original = stateOf(in);
    const FileState otherOriginal = stateOf(other);
    const QStringList before = files();

    const QList<QStringList> readOnly = {
        {u"info"_qs, in},
        {u"check"_qs, in},
        {u"dedupe"_qs, in, u"--report"_qs},
        {u"repair"_qs, in, u"--level"_qs, u"1"_qs},
        {u"dedupe"_qs, in, u"--merge"_qs},
        {u"slim"_qs, in, u"--level"_qs, u"2"_qs},
        {u"idconv"_qs, in, u"--exchange"_qs, u"on"_qs, u"--remark"_qs, u"off"_qs},
        {u"compare"_qs, in, other},
    };
    for (const QStringList &args : readOnly) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = runCli(args);
        EXPECT_NE(r.exitCode, 1) << r.err.toStdString();
        EXPECT_EQ(stateOf(in), original);
        EXPECT_EQ(stateOf(other), otherOriginal);
        EXPECT_EQ(files(), before);
    }
    // The commands that would change the book say that they wrote nothing.
    EXPECT_TRUE(runCli({u"slim"_qs, in, u"--level"_qs, u"2"_qs})
                    .err.contains("brindle-cli slim: nothing written; give -o OUTPUT"));

    const QList<QStringList> inPlace = {
        {u"repair"_qs, in, u"--level"_qs, u"1"_qs, u"-o"_qs, in},
        {u"dedupe"_qs, in, u"--merge"_qs, u"-o"_qs, in},
        {u"idconv"_qs, in, u"--exchange"_qs, u"off"_qs, u"-o"_qs, in},
        {u"slim"_qs, in, u"--level"_qs, u"0"_qs, u"-o"_qs, in},
        {u"convert"_qs, in, in},
    };
    for (const QStringList &args : inPlace) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const FileState previous = stateOf(in);
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        const FileState now = stateOf(in);
        EXPECT_NE(now.inode, previous.inode);
        AddressBook book;
        ScriptedPrompter prompter;
        EXPECT_EQ(readNdbFile(in, book, prompter), 0);
        EXPECT_EQ(files(), before);
    }
    EXPECT_EQ(stateOf(other), otherOriginal);
}

// Runs brindle-cli with its standard output going to stdoutFile, with the
// same isolation as runCli.
CliRun runCliInto(const QStringList &args, const QString &stdoutFile)
{
    static QTemporaryDir empty;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_CONFIG_HOME"_qs, empty.filePath(u"config"_qs));
    env.insert(u"XDG_DATA_HOME"_qs, empty.filePath(u"data"_qs));
    env.insert(u"WINEPREFIX"_qs, empty.filePath(u"prefix"_qs));
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(stdoutFile);
    p.start(QStringLiteral(BRINDLE_CLI), args);
    CliRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.err = p.readAllStandardError();
    return r;
}

// Results that cannot be written to stdout (a full disk, a closed pipe) are
// a failure, never a success or a finding: the caller did not get them.
TEST_F(CliContract, LostStandardOutputIsAFailure)
{
    if (!QFileInfo(u"/dev/full"_qs).exists())
        GTEST_SKIP() << "no /dev/full on this machine";
    const QString one = writeBook(u"one.ndb"_qs, 30, 1);
    const QString two = writeBook(u"two.ndb"_qs, 30, 2);
    const QList<QStringList> commands = {
        {u"compare"_qs, one, two},  {u"compare"_qs, one, one + u".copy"_qs},
        {u"info"_qs, one},          {u"check"_qs, one},
        {u"dedupe"_qs, one, u"--report"_qs},
        {u"repair"_qs, one, u"--level"_qs, u"1"_qs},
        {u"--help"_qs},             {u"help"_qs},
        {u"help"_qs, u"info"_qs},   {u"info"_qs, u"--help"_qs},
        {u"--version"_qs},
    };
    ASSERT_TRUE(QFile::copy(one, one + u".copy"_qs));
    for (const QStringList &args : commands) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = runCliInto(args, u"/dev/full"_qs);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.errText().endsWith(u"brindle-cli: 標準出力に書き込めません\n"_qs))
            << r.err.toStdString();
        // The same command with somewhere to write to succeeds.
        EXPECT_NE(runCliInto(args, path(u"out.txt"_qs)).exitCode, 1);
    }
}

// A message about a file names the program and the file first, then gives
// the file message unchanged.
TEST_F(CliContract, FileMessagesNameTheProgramAndTheFile)
{
    const QString good = path(u"good.ndb"_qs);
    ScriptedPrompter quiet;
    ASSERT_EQ(writeNdbFile(good, AddressBook::newBook(), quiet), 0);
    const QString missing = path(u"missing.ndb"_qs);
    const QString garbage = path(u"garbage.ndb"_qs);
    ASSERT_TRUE(writeAll(garbage, QByteArray(300, 'Z')));
    const QString nowhere = path(u"no/such/out.csv"_qs);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"locked"_qs));
    const QString locked = path(u"locked/out.ndb"_qs);
    ASSERT_TRUE(writeAll(locked, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(path(u"locked"_qs)).constData(), 0555), 0);

    const struct
    {
        QStringList args;
        QString file;    // the file every line names
        QString message; // one of the lines, after the file
    } cases[] = {
        {{u"info"_qs, missing}, missing, u'[' + missing + u"]は存在しません"_qs},
        {{u"compare"_qs, garbage, good}, garbage, u"バージョンが違うか、Addressファイルではありません"_qs},
        {{u"convert"_qs, good, nowhere}, nowhere,
         u"書き込みに失敗しました。パスが見つかりません。["_qs + nowhere + u']'},
        {{u"repair"_qs, good, u"--level"_qs, u"1"_qs, u"-o"_qs, locked}, locked,
         u"書き込みに失敗しました。["_qs + locked + u"]のディレクトリは読取専用です。"_qs},
        {{u"new"_qs, good}, good, u"既に存在します。上書きしません。"_qs},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = runCli(c.args);
        EXPECT_EQ(r.exitCode, 1);
        const QString prefix = u"brindle-cli: "_qs + c.file + u": "_qs;
        const QStringList lines = r.errText().split(u'\n', Qt::SkipEmptyParts);
        EXPECT_TRUE(lines.contains(prefix + c.message)) << r.err.toStdString();
        for (const QString &line : lines)
            EXPECT_TRUE(line.startsWith(prefix)) << line.toStdString();
    }
    ::chmod(QFile::encodeName(path(u"locked"_qs)).constData(), 0755);
    EXPECT_EQ(readAll(locked), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(path(u"no"_qs)));
}

TEST(ConsoleProgress, ShowsAfterAnIntervalAtMostOnceAnInterval)
{
    qint64 now = 0;
    QByteArray screen;
    ConsoleProgress line([&screen](const QByteArray &b) { screen += b; }, [&now] { return now; });
    bool stop = false;
    Progress reading = line.phase(u"reading a.ndb"_qs, [&stop] { return stop; });

    EXPECT_TRUE(reading(10, 100));
    now = 99;
    EXPECT_TRUE(reading(20, 100));
    EXPECT_TRUE(screen.isEmpty()); // quick work shows nothing
    now = 100;
    reading(30, 100);
    EXPECT_EQ(screen, QByteArray("\rreading a.ndb  30%\033[K"));
    now = 150;
    reading(90, 100);
    now = 199;
    reading(95, 100);
    EXPECT_EQ(screen, QByteArray("\rreading a.ndb  30%\033[K"));
    now = 200;
    reading(200, 100); // clamped
    EXPECT_TRUE(screen.endsWith("\rreading a.ndb 100%\033[K"));
    now = 400;
    screen.clear();
    reading(100, 100); // the same text is not drawn again
    EXPECT_TRUE(screen.isEmpty());

    Progress writing = line.phase(u"writing b.csv"_qs);
    now = 600;
    writing(1, 3);
    EXPECT_EQ(screen, QByteArray("\rwriting b.csv  33%\033[K"));
    EXPECT_TRUE(line.lineShown());
    line.clear();
    EXPECT_TRUE(screen.endsWith("\r\033[K"));
    EXPECT_FALSE(line.lineShown());
    screen.clear();
    line.clear();
    EXPECT_TRUE(screen.isEmpty());

    stop = true;
    EXPECT_FALSE(reading(1, 2));

    // Without a sink nothing is shown, but stopping still works.
    ConsoleProgress silent;
    EXPECT_FALSE(silent.phase(u"x"_qs, [] { return true; })(1, 2));
    EXPECT_TRUE(silent.phase(u"x"_qs)(1, 2));
}

// Waits (at most 30 s) until the running process has a handler for sig, as
// Linux shows in /proc/PID/status (SigCgt, a hexadecimal mask).
bool waitUntilCatching(QProcess &p, int sig)
{
    QDeadlineTimer deadline(30000);
    while (p.state() == QProcess::Running && !deadline.hasExpired()) {
        QFile status(QStringLiteral("/proc/%1/status").arg(p.processId()));
        if (status.open(QIODevice::ReadOnly))
            for (const QByteArray &line : status.readAll().split('\n'))
                if (line.startsWith("SigCgt:")
                    && (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (sig - 1)) & 1)
                    return true;
        QThread::msleep(5);
    }
    return false;
}

// A command planned as phases shows one percentage for the whole command.
TEST(ConsoleProgress, PlannedPhasesShareOneScale)
{
    qint64 now = 0;
    QByteArray screen;
    ConsoleProgress line([&screen](const QByteArray &b) { screen = b; }, [&now] { return now; });
    line.planPhases(2);
    Progress reading = line.phase(u"reading a.ndb"_qs);
    now = 100;
    reading(50, 100);
    EXPECT_EQ(screen, QByteArray("\rreading a.ndb  25%\033[K"));
    Progress writing = line.phase(u"writing b.csv"_qs);
    now = 200;
    writing(0, 10);
    EXPECT_EQ(screen, QByteArray("\rwriting b.csv  50%\033[K"));
    now = 300;
    writing(10, 10);
    EXPECT_EQ(screen, QByteArray("\rwriting b.csv 100%\033[K"));
    // A phase beyond the plan shares the last part of the scale.
    Progress more = line.phase(u"more"_qs);
    now = 400;
    more(1, 2);
    EXPECT_EQ(screen, QByteArray("\rmore  75%\033[K"));
}

// A book big enough that reading and writing it take well over the
// progress interval.
class CliLongWork : public CliContract
{
protected:
    void SetUp() override
    {
        CliContract::SetUp();
        big = writeBook(u"big.ndb"_qs, 20000);
    }
    QString big;
};

TEST_F(CliLongWork, ProgressOnlyOnATerminal)
{
    const QString script = QStandardPaths::findExecutable(u"script"_qs);
    if (script.isEmpty())
        GTEST_SKIP() << "no script command to give brindle-cli a terminal";

    // Not a terminal: stderr stays empty.
    CliRun r = runCli({u"convert"_qs, big, path(u"plain.csv"_qs)});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();

    // On a terminal (script gives the command one): percentages, then the
    // line erased. script's own output is the terminal's.
    const auto onTerminal = [&](const QString &term) {
        QProcess p;
        QProcessEnvironment env = cliEnvironment();
        env.insert(u"TERM"_qs, term);
        p.setProcessEnvironment(env);
        p.start(script, {u"-qec"_qs,
                         QStringLiteral("'%1' convert '%2' '%3'").arg(QStringLiteral(BRINDLE_CLI), big,
                                                                     path(u"tty.csv"_qs)),
                         u"/dev/null"_qs});
        EXPECT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0);
        return p.readAllStandardOutput();
    };
    const QString screen = QString::fromUtf8(onTerminal(u"xterm"_qs));
    static const QRegularExpression line(
        QStringLiteral("\r(reading big\\.ndb|writing tty\\.csv) +[0-9]{1,3}%\x1b\\[K"));
    EXPECT_TRUE(screen.contains(line)) << screen.toStdString();
    EXPECT_TRUE(screen.endsWith(u"\r\x1b[K"_qs)) << screen.toStdString();
    // One scale for the whole command: reading the book, building the CSV
    // text and saving it never start the percentage over.
    static const QRegularExpression percent(QStringLiteral(" +([0-9]{1,3})%\x1b"));
    int previous = -1;
    for (auto it = percent.globalMatch(screen); it.hasNext();) {
        const int now = it.next().captured(1).toInt();
        EXPECT_GE(now, previous) << screen.toStdString();
        previous = now;
    }
    EXPECT_EQ(readAll(path(u"tty.csv"_qs)), readAll(path(u"plain.csv"_qs)));

    // A terminal that cannot erase a line gets no progress.
    EXPECT_FALSE(onTerminal(u"dumb"_qs).contains('%'));
}

// Ctrl+C (or SIGTERM) while a book is read or written: the command stops,
// exits with 128 + the signal, and the output is either complete (the work
// was done before the signal) or untouched; no temporary file stays. The
// signal is sent a while after brindle-cli has installed its handlers, so
// that a busy machine cannot make it arrive before them.
TEST_F(CliLongWork, InterruptedWorkLeavesNothingHalfWritten)
{
    if (!QFileInfo::exists(u"/proc/self/status"_qs))
        GTEST_SKIP() << "no /proc to tell when brindle-cli has installed its signal handlers";
    const QByteArray old("the old output");
    ASSERT_TRUE(writeAll(path(u"out.csv"_qs), old));
    ASSERT_TRUE(writeAll(path(u"slim.ndb"_qs), old));
    const QStringList before = files();

    struct Case
    {
        QStringList args;
        QString output;
        int signal;
    };
    const QList<Case> cases = {
        {{u"convert"_qs, big, path(u"out.csv"_qs)}, path(u"out.csv"_qs), SIGINT},
        {{u"slim"_qs, big, u"--level"_qs, u"1"_qs, u"-o"_qs, path(u"slim.ndb"_qs)}, path(u"slim.ndb"_qs), SIGTERM},
    };
    for (const Case &c : cases) {
        for (int delayMs : {150, 400}) {
            SCOPED_TRACE(c.args.join(u' ').toStdString() + " after " + std::to_string(delayMs) + " ms");
            ASSERT_TRUE(writeAll(c.output, old));
            QProcess p;
            p.setProcessEnvironment(cliEnvironment());
            p.start(QStringLiteral(BRINDLE_CLI), c.args);
            ASSERT_TRUE(p.waitForStarted());
            // The delay counts from the moment the command has its handler
            // in place: a slow start (a sanitizer build, a busy machine)
            // must not let the signal hit it before.
            ASSERT_TRUE(waitUntilCatching(p, c.signal));
            QThread::msleep(delayMs);
            ::kill(pid_t(p.processId()), c.signal);
            ASSERT_TRUE(p.waitForFinished(60000));
            const QByteArray err = p.readAllStandardError();
            if (p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
                EXPECT_NE(readAll(c.output), old); // finished first
            } else {
                EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
                EXPECT_EQ(p.exitCode(), 128 + c.signal);
                EXPECT_TRUE(err.contains("interrupted; nothing was written")) << err.toStdString();
                EXPECT_EQ(readAll(c.output), old);
            }
            EXPECT_EQ(files(), before);
        }
    }
}

} // namespace
