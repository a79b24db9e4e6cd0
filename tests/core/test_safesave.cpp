// Replacing files on disk: every writer goes through the one safe save, so
// each case runs over all of them. Real file-system objects: symbolic links,
// FIFOs, character devices (as root), owners, modes, ACLs and extended
// attributes.
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "common/safesave.h"
#include "common/trash.h"
#include "core/ndbfile.h"
#include "formats/csv.h"
#include "formats/eudora.h"
#include "formats/fileprocs.h"
#include "formats/listtext.h"
#include "formats/vcard.h"
#include "shell/settings.h"
#include "tools/compare.h"
#include "support/clirun.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QByteArray OldContent = "old content\r\n";

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

struct stat statOf(const QString &path)
{
    struct stat st{};
    ::lstat(native(path).constData(), &st);
    return st;
}

// Sets an environment variable for the scope of a test.
class ScopedEnv
{
public:
    ScopedEnv(const char *name, const QString &value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv()
    {
        if (m_old.isNull())
            qunsetenv(m_name);
        else
            qputenv(m_name, m_old);
    }

private:
    const char *m_name;
    QByteArray m_old;
};

// nobody:nogroup (or nobody's own group).
bool nobody(uid_t &uid, gid_t &gid)
{
    const passwd *pw = ::getpwnam("nobody");
    if (!pw)
        return false;
    uid = pw->pw_uid;
    gid = pw->pw_gid;
    if (const group *gr = ::getgrnam("nogroup"))
        gid = gr->gr_gid;
    return true;
}

// An access ACL in the kernel's xattr form: owner rw, user `uid` r, group r,
// mask r, others nothing.
QByteArray aclGivingRead(uid_t uid)
{
    QByteArray acl;
    const auto u16 = [&](quint16 v) { acl.append(char(v & 0xFF)).append(char(v >> 8)); };
    const auto u32 = [&](quint32 v) { u16(quint16(v & 0xFFFF)); u16(quint16(v >> 16)); };
    const auto entry = [&](quint16 tag, quint16 perm, quint32 id) { u16(tag); u16(perm); u32(id); };
    u32(2);                          // version
    entry(0x01, 6, quint32(-1));     // user::rw-
    entry(0x02, 4, quint32(uid));    // user:uid:r--
    entry(0x04, 4, quint32(-1));     // group::r--
    entry(0x10, 4, quint32(-1));     // mask::r--
    entry(0x20, 0, quint32(-1));     // other::---
    return acl;
}

QByteArray attribute(const QString &path, const char *name)
{
    char value[256];
    const ssize_t n = ::getxattr(native(path).constData(), name, value, sizeof value);
    return n < 0 ? QByteArray() : QByteArray(value, n);
}

// ---------------------------------------------------------------------------
// The writers.

struct Writer
{
    const char *name;
    const char *fileName;
    bool trashes; // takes the trash option
    std::function<int(const QString &path, Prompter &prompter, bool trashOld)> write;
};

void PrintTo(const Writer &w, std::ostream *os)
{
    *os << w.name;
}

AddressBook sampleBook()
{
    return generateBook({.seed = 3, .cards = 4});
}

const Writer Writers[] = {
    {"ndb", "Address.ndb", true,
     [](const QString &p, Prompter &pr, bool trash) {
         return writeNdbFile(p, sampleBook(), pr, {}, trash);
     }},
    {"list", "list.txt", true,
     [](const QString &p, Prompter &pr, bool trash) {
         return ListFileWrite(p, sampleBook(), pr, {}, trash);
     }},
    {"csv", "cards.csv", true,
     [](const QString &p, Prompter &pr, bool trash) {
         return CsvFileWrite(p, sampleBook(), pr, [](CsvExportOptions &) { return true; },
                             QStringLiteral("nifty.com"), {}, trash);
     }},
    {"vcard", "cards.vcf", true,
     [](const QString &p, Prompter &pr, bool trash) {
         return VcdFileWrite(p, sampleBook(), pr, VcardWriteOptions{}, {}, trash);
     }},
    {"eudora", "NNdbase.txt", true,
     [](const QString &p, Prompter &pr, bool trash) {
         return EudoraFileWrite(p, sampleBook(), pr, EudoraWriteOptions{}, {}, trash);
     }},
    {"settings", "Brindle.ini", false,
     [](const QString &p, Prompter &, bool) { return saveSettings(p, Settings()) ? 0 : -1; }},
};

class SafeSave : public ::testing::TestWithParam<Writer>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("work")));
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("real")));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString work() const { return path(QStringLiteral("work/")) + QLatin1String(GetParam().fileName); }
    QString real() const { return path(QStringLiteral("real/")) + QLatin1String(GetParam().fileName); }
    // An old file at work() with the mode.
    QString oldFile(mode_t mode)
    {
        EXPECT_TRUE(writeAll(work(), OldContent));
        EXPECT_EQ(::chmod(native(work()).constData(), mode), 0);
        return work();
    }
    int write(const QString &p, bool trashOld = false)
    {
        return GetParam().write(p, prompter, trashOld);
    }
    QStringList entries(const QString &folder) const
    {
        return QDir(path(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                            | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
};

// A save through a symbolic link writes the file it points at; the link
// stays, and with the trash option it is the old content that is trashed.
TEST_P(SafeSave, WritesThroughALinkAndTrashesTheOldContent)
{
    const ScopedEnv data("XDG_DATA_HOME", path(QStringLiteral("data")));
    ASSERT_TRUE(writeAll(real(), OldContent));
    ASSERT_EQ(::symlink(("../real/" + QByteArray(GetParam().fileName)).constData(),
                        native(work()).constData()),
              0);

    ASSERT_EQ(write(work(), true), 0) << prompter.lastText().toStdString();
    EXPECT_TRUE(QFileInfo(work()).isSymLink());
    EXPECT_EQ(QFileInfo(work()).symLinkTarget(), real());
    const QByteArray now = readAll(real());
    EXPECT_FALSE(now.isEmpty());
    EXPECT_NE(now, OldContent);
    const QString trashed = path(QStringLiteral("data/Trash/files/")) + GetParam().fileName;
    if (GetParam().trashes) {
        EXPECT_FALSE(QFileInfo(trashed).isSymLink());
        EXPECT_EQ(readAll(trashed), OldContent);
    }
    EXPECT_EQ(entries(QStringLiteral("work")), QStringList{GetParam().fileName});
    EXPECT_EQ(entries(QStringLiteral("real")), QStringList{GetParam().fileName});

    // A link to nothing yet: the file is made where it points.
    ASSERT_TRUE(QFile::remove(real()));
    ASSERT_EQ(write(work()), 0);
    EXPECT_TRUE(QFileInfo(work()).isSymLink());
    EXPECT_FALSE(readAll(real()).isEmpty());
}

TEST_P(SafeSave, KeepsTheModeOfTheReplacedFile)
{
    for (const mode_t mode : {0640, 0604, 0600, 0660, 0664}) {
        SCOPED_TRACE(mode);
        oldFile(mode);
        ASSERT_EQ(write(work()), 0);
        EXPECT_NE(readAll(work()), OldContent);
        EXPECT_EQ(statOf(work()).st_mode & 07777, mode);
    }
    EXPECT_EQ(entries(QStringLiteral("work")), QStringList{GetParam().fileName});
}

TEST_P(SafeSave, NewFilesGetTheUsualMode)
{
    const mode_t mask = ::umask(022);
    const QString fresh = path(QStringLiteral("real/")) + GetParam().fileName;
    const int written = write(fresh);
    ::umask(mask);
    ASSERT_EQ(written, 0);
    EXPECT_EQ(statOf(fresh).st_mode & 07777, 0644u);
}

// A file without any write permission bit is refused, by the superuser too.
TEST_P(SafeSave, RefusesAReadOnlyFile)
{
    oldFile(0444);
    EXPECT_EQ(write(work()), -1);
    EXPECT_EQ(readAll(work()), OldContent);
    EXPECT_EQ(statOf(work()).st_mode & 07777, 0444u);
    EXPECT_EQ(entries(QStringLiteral("work")), QStringList{GetParam().fileName});
}

TEST_P(SafeSave, KeepsOwnerAndGroup)
{
    uid_t uid;
    gid_t gid;
    if (::geteuid() != 0)
        GTEST_SKIP() << "only the superuser can give a file to another user";
    if (!nobody(uid, gid))
        GTEST_SKIP() << "no user nobody on this machine";
    oldFile(0600);
    ASSERT_EQ(::chown(native(work()).constData(), uid, gid), 0);

    ASSERT_EQ(write(work()), 0);
    const struct stat st = statOf(work());
    EXPECT_EQ(st.st_uid, uid);
    EXPECT_EQ(st.st_gid, gid);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_NE(readAll(work()), OldContent);
}

TEST_P(SafeSave, KeepsTheAccessAclAndUserAttributes)
{
    oldFile(0640);
    const QByteArray file = native(work());
    if (::setxattr(file.constData(), "user.brindle.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "the temporary folder's file system refuses user attributes: "
                     << std::strerror(errno);
    const QByteArray acl = aclGivingRead(4242);
    if (::setxattr(file.constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()), 0)
        != 0)
        GTEST_SKIP() << "the temporary folder's file system refuses ACLs: " << std::strerror(errno);

    ASSERT_EQ(write(work()), 0);
    EXPECT_NE(readAll(work()), OldContent);
    EXPECT_EQ(attribute(work(), "user.brindle.note"), QByteArray("kept"));
    EXPECT_EQ(attribute(work(), "system.posix_acl_access"), acl);
    EXPECT_EQ(statOf(work()).st_mode & 07777, 0640u);
}

// Only regular files are replaced: a FIFO, a link to one and a character
// device stay what they are.
TEST_P(SafeSave, RefusesTargetsThatAreNotRegularFiles)
{
    const QString fifo = path(QStringLiteral("real/fifo"));
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0666), 0);
    ASSERT_EQ(::symlink(native(fifo).constData(), native(work()).constData()), 0);
    EXPECT_EQ(write(fifo), -1);
    EXPECT_EQ(write(work()), -1);
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_TRUE(QFileInfo(work()).isSymLink());

    const QString device = path(QStringLiteral("real/null"));
    if (::mknod(native(device).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "cannot make a character device here (needs the superuser): "
                     << std::strerror(errno);
    EXPECT_EQ(write(device), -1);
    EXPECT_TRUE(S_ISCHR(statOf(device).st_mode));
    EXPECT_EQ(entries(QStringLiteral("real")), (QStringList{"fifo", "null"}));
}

// A write that cannot be made says why: the folder is missing, the folder
// may not be written, or the file itself is in the way.
TEST_P(SafeSave, SaysWhyTheFileCannotBeWritten)
{
    if (QLatin1String(GetParam().name) == QLatin1String("settings"))
        GTEST_SKIP() << "the settings are saved without a message";
    const QString missing = path(QStringLiteral("no/such/")) + GetParam().fileName;
    const QString readOnly = oldFile(0444);
    const QString inLockedFolder = real();
    ASSERT_TRUE(writeAll(inLockedFolder, OldContent));
    ASSERT_EQ(::chmod(native(path(QStringLiteral("real"))).constData(), 0555), 0);

    const struct
    {
        QString path;
        QString message;
    } cases[] = {
        {missing, "書き込みに失敗しました。パスが見つかりません。[" + missing + "]"},
        {readOnly, "書き込みに失敗しました。[" + readOnly + "]は使用中です。"},
        {inLockedFolder, "書き込みに失敗しました。[" + inLockedFolder + "]のディレクトリは読取専用です。"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        prompter.clear();
        EXPECT_EQ(write(c.path), -1);
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
    }
    ::chmod(native(path(QStringLiteral("real"))).constData(), 0755);
    EXPECT_EQ(readAll(inLockedFolder), OldContent);
    EXPECT_EQ(entries(QStringLiteral("real")), QStringList{GetParam().fileName});
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("no"))));
}

// The reasons a save gives, for each way it can be refused.
TEST(SaveFailures, TellTheCauseApart)
{
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    ASSERT_TRUE(writeAll(locked + QStringLiteral("/old.txt"), OldContent));
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("ro.txt")), OldContent));
    ASSERT_EQ(::chmod(native(dir.filePath(QStringLiteral("ro.txt"))).constData(), 0444), 0);
    ASSERT_TRUE(writeAll(dir.filePath(QStringLiteral("plain")), OldContent));
    ASSERT_EQ(::chmod(native(locked).constData(), 0555), 0);
    // The superuser may make a file in any folder; only replacing checks
    // the folder's permission bits for them.
    const bool asRoot = ::geteuid() == 0;

    const struct
    {
        const char *name;
        SaveFailure expected;
    } cases[] = {
        {"no/such/file.txt", SaveFailure::FolderMissing},
        {"plain/file.txt", SaveFailure::FolderMissing}, // a file where a folder should be
        {"locked/old.txt", SaveFailure::FolderReadOnly},
        {"locked/new.txt", asRoot ? SaveFailure::None : SaveFailure::FolderReadOnly},
        {"ro.txt", SaveFailure::NotReplaceable},
        {"locked", SaveFailure::NotReplaceable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SaveFailure failure = SaveFailure::WriteFailed;
        const int result = saveFileSafely(dir.filePath(QLatin1String(c.name)), "new", {}, &failure);
        EXPECT_EQ(failure, c.expected);
        EXPECT_EQ(result, c.expected == SaveFailure::None ? 0 : -1);
    }
    ::chmod(native(locked).constData(), 0755);
    EXPECT_EQ(readAll(locked + QStringLiteral("/old.txt")), OldContent);
}

INSTANTIATE_TEST_SUITE_P(Writers, SafeSave, ::testing::ValuesIn(Writers),
                         [](const auto &info) { return std::string(info.param.name); });

// A writer first builds the file's content, then saves it; the progress it
// reports runs once over one scale from the start to the end, and so does
// the comparison's reading of its two books.
TEST(WriterProgress, RunsOnceOverOneScale)
{
    QTemporaryDir dir;
    const AddressBook book = generateBook({.seed = 3, .cards = 300});
    const QString earlier = dir.filePath(QStringLiteral("earlier.ndb"));
    const QString later = dir.filePath(QStringLiteral("later.ndb"));
    {
        ScriptedPrompter quiet;
        ASSERT_EQ(writeNdbFile(earlier, book, quiet), 0);
        ASSERT_EQ(writeNdbFile(later, generateBook({.seed = 4, .cards = 200}), quiet), 0);
    }
    using Run = std::function<int(const QString &path, Prompter &, const Progress &)>;
    const struct
    {
        const char *name;
        Run run;
    } cases[] = {
        {"ndb", [&](const QString &p, Prompter &pr, const Progress &pg) { return writeNdbFile(p, book, pr, pg); }},
        {"list", [&](const QString &p, Prompter &pr, const Progress &pg) { return ListFileWrite(p, book, pr, pg); }},
        {"csv",
         [&](const QString &p, Prompter &pr, const Progress &pg) {
             return CsvFileWrite(p, book, pr, [](CsvExportOptions &) { return true; }, QString(), pg);
         }},
        {"vcard",
         [&](const QString &p, Prompter &pr, const Progress &pg) {
             return VcdFileWrite(p, book, pr, VcardWriteOptions{}, pg);
         }},
        {"eudora",
         [&](const QString &p, Prompter &pr, const Progress &pg) {
             return EudoraFileWrite(p, book, pr, EudoraWriteOptions{}, pg);
         }},
        {"compare",
         [&](const QString &, Prompter &pr, const Progress &pg) {
             return compareBookFiles(earlier, later, pr, QDateTime(), {}, nullptr, pg).isEmpty() ? -1 : 0;
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QList<double> seen;
        const Progress record = [&seen](qint64 done, qint64 total) {
            EXPECT_GT(total, 0);
            seen.append(total > 0 ? double(done) / double(total) : 0.0);
            return true;
        };
        ScriptedPrompter pr;
        ASSERT_EQ(c.run(dir.filePath(QStringLiteral("out.") + QLatin1String(c.name)), pr, record), 0)
            << pr.lastText().toStdString();
        ASSERT_GT(seen.size(), 2);
        for (qsizetype i = 1; i < seen.size(); ++i)
            EXPECT_GE(seen[i], seen[i - 1]) << "report " << i << " of " << seen.size();
        EXPECT_LE(seen.last(), 1.0);
        EXPECT_GE(seen.last(), 0.5);
    }
}

// The trash takes the file a link points at, never the link; what it took
// can be put back (the save does so when the new file cannot take the old
// one's place).
TEST(Trash, RefusesLinksAndPutsBackWhatItTook)
{
    QTemporaryDir dir;
    const ScopedEnv data("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")));
    const QString file = dir.filePath(QStringLiteral("a.ndb"));
    const QString link = dir.filePath(QStringLiteral("link.ndb"));
    ASSERT_TRUE(writeAll(file, OldContent));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_FALSE(moveFileToTrash(link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());

    QString inTrash;
    ASSERT_TRUE(moveFileToTrash(file, &inTrash));
    EXPECT_EQ(readAll(inTrash), OldContent);
    const QString info = dir.filePath(QStringLiteral("data/Trash/info/a.ndb.trashinfo"));
    EXPECT_TRUE(QFileInfo::exists(info));
    ASSERT_TRUE(restoreFromTrash(inTrash, file));
    EXPECT_EQ(readAll(file), OldContent);
    EXPECT_FALSE(QFileInfo::exists(inTrash));
    EXPECT_FALSE(QFileInfo::exists(info));
}

// ---------------------------------------------------------------------------
// The window's pre-save check refuses what the save would refuse.

TEST(WritePathCheckTargets, RefusesWhatIsNotARegularFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    const QString link = dir.filePath(QStringLiteral("link.csv"));
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(fifo, link));
    for (const QString &p : {fifo, link}) {
        ScriptedPrompter pr;
        EXPECT_FALSE(WritePathCheck(p, true, pr));
        EXPECT_EQ(pr.lastText(), "[" + p + "]は通常のファイルではありません。");
    }
    // A link to a regular file passes like the file; the question names the link.
    const QString file = dir.filePath(QStringLiteral("file.csv"));
    const QString fileLink = dir.filePath(QStringLiteral("filelink.csv"));
    ASSERT_TRUE(writeAll(file, OldContent));
    ASSERT_TRUE(QFile::link(file, fileLink));
    ScriptedPrompter pr;
    pr.answer(Prompter::Yes);
    EXPECT_TRUE(WritePathCheck(fileLink, false, pr));
    EXPECT_EQ(pr.lastText(), "[" + fileLink + "]は既に存在します。上書きしますか？");
}

// ---------------------------------------------------------------------------
// brindle-cli: outputs that are links, FIFOs, devices and read-only files.

class CliOutputs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ScriptedPrompter quiet;
        ASSERT_EQ(writeNdbFile(in(), sampleBook(), quiet), 0);
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("config/Brindle")));
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString in() const { return path(QStringLiteral("in.ndb")); }
    QString data() const { return path(QStringLiteral("data")); }
    CliRun run(const QStringList &args) const
    {
        return runCli(args, path(QStringLiteral("config")), QString(), data());
    }
    QStringList trash() const
    {
        return QDir(data() + QStringLiteral("/Trash/files")).entryList(QDir::Files | QDir::Hidden);
    }
    void setTrashOption(bool on) const
    {
        ASSERT_TRUE(writeAll(path(QStringLiteral("config/Brindle/Brindle.ini")),
                             QByteArray("[Settings]\r\nTrashFlg=") + (on ? "1" : "0") + "\r\n"));
    }

    QTemporaryDir dir;
};

TEST_F(CliOutputs, ConvertRefusesOutputsThatAreNotRegularFiles)
{
    const QString fifo = path(QStringLiteral("fifo.csv"));
    const QString link = path(QStringLiteral("link.csv"));
    ASSERT_EQ(::mkfifo(native(fifo).constData(), 0666), 0);
    ASSERT_TRUE(QFile::link(fifo, link));
    QStringList outputs = {fifo, link};
    const QString device = path(QStringLiteral("null.csv"));
    const bool haveDevice = ::mknod(native(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    if (haveDevice)
        outputs << device;
    for (const QString &out : outputs) {
        SCOPED_TRACE(out.toStdString());
        const CliRun r = run({QStringLiteral("convert"), in(), out, QStringLiteral("--kind"),
                              QStringLiteral("csv")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.errText().contains("[" + out + "]は通常のファイルではありません。"))
            << r.err.toStdString();
    }
    EXPECT_TRUE(S_ISFIFO(statOf(fifo).st_mode));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    if (!haveDevice)
        GTEST_SKIP() << "character device case left out (needs the superuser): "
                     << std::strerror(errno);
    EXPECT_TRUE(S_ISCHR(statOf(device).st_mode));
}

// Replacing through a link: the link stays, the old content goes to the
// trash when the window's option is on (its default), unless --no-trash.
TEST_F(CliOutputs, ReplacesThroughALinkAndTrashesTheOldContent)
{
    const QString real = path(QStringLiteral("real.ndb"));
    const QString link = path(QStringLiteral("link.ndb"));
    ASSERT_TRUE(writeAll(real, OldContent));
    ASSERT_EQ(::symlink("real.ndb", native(link).constData()), 0);

    CliRun r = run({QStringLiteral("repair"), in(), QStringLiteral("--level"), QStringLiteral("1"),
                    QStringLiteral("-o"), link});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_NE(readAll(real), OldContent);
    EXPECT_FALSE(readAll(real).isEmpty());
    EXPECT_EQ(trash(), QStringList{"real.ndb"});
    EXPECT_EQ(readAll(data() + QStringLiteral("/Trash/files/real.ndb")), OldContent);

    // --no-trash, and the option off: the old content is simply replaced.
    ASSERT_TRUE(writeAll(real, OldContent));
    r = run({QStringLiteral("convert"), in(), link, QStringLiteral("--no-trash")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    setTrashOption(false);
    r = run({QStringLiteral("slim"), in(), QStringLiteral("--level"), QStringLiteral("0"),
             QStringLiteral("-o"), link});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(trash(), QStringList{"real.ndb"});
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

// Every -o refuses a file without write permission, as the window does,
// also for the superuser; other files keep mode, owner and attributes.
TEST_F(CliOutputs, ReadOnlyOutputsAreRefusedAndOthersKeepTheirAttributes)
{
    const QString ro = path(QStringLiteral("ro.ndb"));
    ASSERT_TRUE(writeAll(ro, OldContent));
    ASSERT_EQ(::chmod(native(ro).constData(), 0444), 0);
    const QList<QStringList> commands = {
        {QStringLiteral("convert"), in(), ro},
        {QStringLiteral("repair"), in(), QStringLiteral("--level"), QStringLiteral("1"),
         QStringLiteral("-o"), ro},
        {QStringLiteral("dedupe"), in(), QStringLiteral("--merge"), QStringLiteral("-o"), ro},
        {QStringLiteral("slim"), in(), QStringLiteral("--level"), QStringLiteral("0"),
         QStringLiteral("-o"), ro},
        {QStringLiteral("idconv"), in(), QStringLiteral("-o"), ro},
    };
    for (const QStringList &args : commands) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliRun r = run(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.errText().contains("[" + ro + "]は読取専用ファイルです。")) << r.err.toStdString();
        EXPECT_EQ(readAll(ro), OldContent);
    }

    const QString out = path(QStringLiteral("out.ndb"));
    ASSERT_TRUE(writeAll(out, OldContent));
    ASSERT_EQ(::chmod(native(out).constData(), 0640), 0);
    const bool withAttribute = ::setxattr(native(out).constData(), "user.brindle.note", "kept", 4, 0) == 0;
    uid_t uid = ::geteuid();
    gid_t gid = ::getegid();
    if (uid == 0 && nobody(uid, gid)) {
        ASSERT_EQ(::chown(native(out).constData(), uid, gid), 0);
    }
    const CliRun r = run({QStringLiteral("convert"), in(), out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(readAll(out), readAll(in()));
    const struct stat st = statOf(out);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, uid);
    EXPECT_EQ(st.st_gid, gid);
    if (!withAttribute)
        GTEST_SKIP() << "user attribute case left out: the file system refuses them";
    EXPECT_EQ(attribute(out, "user.brindle.note"), QByteArray("kept"));
}

} // namespace
