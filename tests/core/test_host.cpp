#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include "common/cp932.h"
#include "common/profilefiles.h"
#include "shell/help.h"
#include "shell/host.h"
#include "common/trash.h"
#include "shell/settings.h"
#include "shell/winehost.h"
#include "support/fakehost.h"
#include "support/isolated.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

// A Wine prefix in a temporary folder: drive_c, dosdevices/c: -> drive_c,
// and optionally the registry files.
struct FakePrefix
{
    QTemporaryDir dir;
    QString root = dir.filePath(QStringLiteral("prefix"));
    QString driveC = root + QStringLiteral("/drive_c");

    FakePrefix()
    {
        QDir().mkpath(driveC);
        QDir().mkpath(root + QStringLiteral("/dosdevices"));
        QFile::link(driveC, root + QStringLiteral("/dosdevices/c:"));
    }
    QString mkdir(const QString &relative) const
    {
        const QString p = driveC + u'/' + relative;
        QDir().mkpath(p);
        return p;
    }
    void systemReg(const QByteArray &text) const
    {
        writeAll(root + QStringLiteral("/system.reg"), text);
    }
    void userReg(const QByteArray &text) const
    {
        writeAll(root + QStringLiteral("/user.reg"), text);
    }
};

// A global.dat image: header with the shared log folder, then the users.
QByteArray globalDat(const QByteArray &logFolder, const QList<QPair<QByteArray, QByteArray>> &users,
                     int userCount = -1)
{
    QByteArray b(1034, '\0');
    b[0] = 2;
    b[2] = char(logFolder.size());
    b.replace(3, logFolder.size(), logFolder);
    b[771] = char(userCount < 0 ? users.size() : userCount);
    for (const auto &[id, home] : users) {
        QByteArray r(265, '\0');
        r[0] = char(id.size());
        r.replace(1, id.size(), id);
        r[9] = char(home.size());
        r.replace(10, home.size(), home);
        b += r;
    }
    return b;
}

// The registry of an installed Corvid and Eudora, Wine style.
const QByteArray CorvidRegistry =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "[Software\\\\Classes\\\\Corvid.Application\\\\Clsid] 1700000000\n"
    "#time=1d9a0b0c0d0e0f0\n"
    "@=\"{11112222-3333-4444-5555-666677778888}\"\n"
    "\n"
    "[Software\\\\Classes\\\\CLSID\\\\{11112222-3333-4444-5555-666677778888}\\\\LocalServer32] "
    "1700000000\n"
    "@=\"C:\\\\Program Files\\\\Corvid\\\\CORVID.EXE\"\n"
    "\n"
    "[Software\\\\Classes\\\\Eudora\\\\DefaultIcon] 1700000000\n"
    "@=\"\\\"C:\\\\Eudora\\\\Eudora.exe\\\"\"\n";

} // namespace

TEST(WineRegistry, ParsesEscapesDefaultsAndSkipsOtherTypes)
{
    const WineRegistryFile reg(
        "WINE REGISTRY Version 2\n"
        "[Software\\\\Classes\\\\Foo\\\\Bar] 1234567890\n"
        "#time=1d000000\n"
        "@=\"C:\\\\Dir\\\\File.exe \\\"quoted\\\" \\x65e5\\x672c\"\n"
        "\"Name\"=\"plain\"\n"
        "\"Na\\\"me\"=\"tricky name\"\n"
        "\"Expand\"=str(2):\"%SystemRoot%\\\\x\"\n"
        "\"Number\"=dword:0000000a\n"
        "\"Bin\"=hex:01,02,\\\n"
        "  03,04\n"
        "\n"
        "[Software\\\\Classes\\\\Key\\]With\\[Brackets] 1\n"
        "@=\"b\"\r\n"
        "[Software\\\\Other\\\\Foo\\\\Bar] 1\n"
        "@=\"not classes\"\n");
    QString v;
    ASSERT_TRUE(reg.value(QStringLiteral("Foo\\Bar"), QString(), v));
    EXPECT_EQ(v, QStringLiteral("C:\\Dir\\File.exe \"quoted\" 日本"));
    ASSERT_TRUE(reg.value(QStringLiteral("FOO\\bar\\"), QStringLiteral("NAME"), v));
    EXPECT_EQ(v, QStringLiteral("plain"));
    ASSERT_TRUE(reg.value(QStringLiteral("foo\\bar"), QStringLiteral("Na\"me"), v));
    EXPECT_EQ(v, QStringLiteral("tricky name"));
    EXPECT_FALSE(reg.value(QStringLiteral("foo\\bar"), QStringLiteral("Expand"), v));
    EXPECT_FALSE(reg.value(QStringLiteral("foo\\bar"), QStringLiteral("Number"), v));
    EXPECT_FALSE(reg.value(QStringLiteral("foo\\bar"), QStringLiteral("Missing"), v));
    ASSERT_TRUE(reg.value(QStringLiteral("Key]With[Brackets"), QString(), v));
    EXPECT_EQ(v, QStringLiteral("b"));
    EXPECT_FALSE(reg.value(QStringLiteral("Foo"), QString(), v)); // parent key: no values
    EXPECT_FALSE(reg.value(QStringLiteral("Other\\Foo\\Bar"), QString(), v));

    EXPECT_EQ(unescapeWineString("a\\\\b\\tc\\101\\x41\\q"), QStringLiteral("a\\b\tcAAq"));
}

TEST(WineRegistry, UserOverridesSystemAndMissingPrefixGivesEmpty)
{
    FakePrefix p;
    p.systemReg("[Software\\\\Classes\\\\A] 1\n@=\"system\"\n\"X\"=\"sx\"\n"
                "[Software\\\\Classes\\\\B] 1\n@=\"" + QByteArray(300, 'z') + "\\0tail\"\n");
    p.userReg("[Software\\\\Classes\\\\A] 1\n@=\"user\"\n");
    const WineHost host(p.root);
    EXPECT_EQ(host.classesRootValue(QStringLiteral("A")), QStringLiteral("user"));
    EXPECT_EQ(host.classesRootValue(QStringLiteral("a"), QStringLiteral("x")), QStringLiteral("sx"));
    EXPECT_EQ(host.classesRootValue(QStringLiteral("B")), QString(255, u'z')); // at most 255
    EXPECT_EQ(host.classesRootValue(QStringLiteral("C")), QString());
    EXPECT_EQ(WineHost(p.dir.filePath(QStringLiteral("none"))).classesRootValue(QStringLiteral("A")),
              QString());
}

TEST(WinePaths, MapsDrivesRelativeNamesAndRefusesTheRest)
{
    FakePrefix p;
    const QString corvid = p.mkdir(QStringLiteral("Program Files/Corvid"));
    p.mkdir(QStringLiteral("Program Files/Corvid/Users/Taro"));
    const WineHost host(p.root);
    const QString viaC = p.root + QStringLiteral("/dosdevices/c:");

    EXPECT_EQ(host.localPath(QStringLiteral("C:\\Program Files\\Corvid"), QString()),
              viaC + QStringLiteral("/Program Files/Corvid"));
    // Components that exist in another letter case are found as Windows does.
    EXPECT_EQ(host.localPath(QStringLiteral("c:\\PROGRAM FILES\\corvid\\users\\TARO\\"), QString()),
              viaC + QStringLiteral("/Program Files/Corvid/Users/Taro"));
    EXPECT_EQ(host.localPath(QStringLiteral("C:/Program Files/./Corvid/../Corvid/new.txt"), QString()),
              viaC + QStringLiteral("/Program Files/Corvid/new.txt"));
    EXPECT_EQ(host.localPath(QStringLiteral("users\\taro"), corvid),
              corvid + QStringLiteral("/Users/Taro"));
    EXPECT_EQ(host.localPath(QStringLiteral("users\\taro"), corvid + u'/'),
              corvid + QStringLiteral("/Users/Taro"));
    EXPECT_EQ(host.localPath(QStringLiteral("..\\..\\.."), corvid), corvid); // not above the base
    // No drive D:, UNC names, drive-relative names, no base for a relative name.
    EXPECT_EQ(host.localPath(QStringLiteral("D:\\Data"), QString()), QString());
    EXPECT_EQ(host.localPath(QStringLiteral("\\\\server\\share\\x"), corvid), QString());
    EXPECT_EQ(host.localPath(QStringLiteral("C:relative"), corvid), QString());
    EXPECT_EQ(host.localPath(QStringLiteral("users"), QString()), QString());
    EXPECT_EQ(host.localPath(QString(), corvid), QString());
}

// Paths outside Corvid's folders are stored as drive Z: paths; without a z:
// link in the prefix (or without any prefix) Z: is the root, as in Wine, so
// such a path reads back as the file it came from.
TEST(WinePaths, DriveZWithoutALinkIsTheRoot)
{
    FakePrefix p;
    const QString file = p.mkdir(QStringLiteral("outside/Sub")) + QStringLiteral("/x.txt");
    writeAll(file, "x");
    for (const QString &prefix : {p.root, QString()}) {
        const WineHost host(prefix);
        EXPECT_EQ(host.localPath(wineDriveZPath(file), QString()), file);
        EXPECT_EQ(host.localPath(QStringLiteral("z:\\"), QString()), QStringLiteral("/"));
        EXPECT_EQ(host.localPath(QStringLiteral("Z:\\tmp\\..\\..\\etc"), QString()),
                  QStringLiteral("/etc"));
        EXPECT_EQ(host.localPath(QStringLiteral("D:\\Data"), QString()), QString());
    }
}

TEST(GlobalDat, ReadsHeaderAndUsers)
{
    FakePrefix p;
    const QString corvid = p.mkdir(QStringLiteral("Corvid"));
    p.mkdir(QStringLiteral("Corvid/Users/Taro"));
    p.mkdir(QStringLiteral("Homes/Hanako"));
    p.mkdir(QStringLiteral("Log"));
    const WineHost host(p.root);
    const QString dat = corvid + QStringLiteral("/global.dat");
    HostGlobalInfo info;

    EXPECT_EQ(readGlobalDat(corvid, info, host), -1); // missing

    QByteArray b = globalDat("C:\\Log", {{"taro", "Users\\Taro"},
                                         {"hanako", "C:\\Homes\\Hanako"},
                                         {cp932::encode(u"ﾕｰｻﾞ"), "\\\\srv\\home"}});
    ASSERT_TRUE(writeAll(dat, b));
    ASSERT_EQ(readGlobalDat(corvid, info, host), 0);
    EXPECT_EQ(info.globalLogFolder, p.root + QStringLiteral("/dosdevices/c:/Log"));
    ASSERT_EQ(info.users.size(), 3);
    EXPECT_EQ(info.users[0].userId, QStringLiteral("taro"));
    EXPECT_EQ(info.users[0].homeFolder, corvid + QStringLiteral("/Users/Taro"));
    EXPECT_EQ(info.users[1].homeFolder, p.root + QStringLiteral("/dosdevices/c:/Homes/Hanako"));
    EXPECT_EQ(info.users[2].userId, QStringLiteral("ﾕｰｻﾞ"));
    EXPECT_EQ(info.users[2].homeFolder, QString()); // a network folder: no local form

    // The user count promises more records than the file holds.
    ASSERT_TRUE(writeAll(dat, b.left(1034 + 265 * 2 + 264)));
    ASSERT_EQ(readGlobalDat(corvid, info, host), 0);
    EXPECT_EQ(info.users.size(), 2);
    ASSERT_TRUE(writeAll(dat, globalDat("", {}, 3)));
    ASSERT_EQ(readGlobalDat(corvid, info, host), 0);
    EXPECT_TRUE(info.users.isEmpty());

    // Wrong version, short header.
    QByteArray v3 = b;
    v3[0] = 3;
    ASSERT_TRUE(writeAll(dat, v3));
    EXPECT_EQ(readGlobalDat(corvid, info, host), -1);
    ASSERT_TRUE(writeAll(dat, b.left(1033)));
    EXPECT_EQ(readGlobalDat(corvid, info, host), -1);

    // Length bytes beyond their fields are cut to the field.
    QByteArray over = globalDat("C:\\Log", {{"id", "Users\\Taro"}});
    over[778] = char(255);                          // text 3: 253 bytes
    over.replace(779, 253, QByteArray(253, 'x'));
    over[1034] = char(200);                         // user ID: 8 bytes
    over.replace(1035, 8, "ABCDEFGH");
    over[1034 + 9] = char(255);                     // home folder: 254 bytes
    ASSERT_TRUE(writeAll(dat, over));
    ASSERT_EQ(readGlobalDat(corvid, info, host), 0);
    EXPECT_EQ(info.text3, QString(253, u'x'));
    EXPECT_EQ(info.users[0].userId, QStringLiteral("ABCDEFGH"));
    EXPECT_TRUE(info.users[0].homeFolder.startsWith(corvid + QStringLiteral("/Users/Taro")));
}

TEST(HostDiscovery, FindsCorvidEudoraAndFirstUserThroughTheRegistry)
{
    FakePrefix p;
    const QString corvid = p.mkdir(QStringLiteral("Program Files/Corvid"));
    p.mkdir(QStringLiteral("Program Files/Corvid/Users/Taro"));
    p.mkdir(QStringLiteral("Log"));
    const QString eudora = p.mkdir(QStringLiteral("Eudora"));
    writeAll(corvid + QStringLiteral("/CORVID.EXE"), "MZ");
    writeAll(corvid + QStringLiteral("/global.dat"),
             globalDat("C:\\Log", {{"taro", "Users\\Taro"}, {"b", "Users\\B"}}));
    const WineHost host(p.root);

    // Nothing registered yet.
    Settings s;
    discoverHostFolders(s, host);
    EXPECT_EQ(s, Settings());
    EXPECT_EQ(corvidProgramName(host), QStringLiteral("Corvid.exe"));

    p.systemReg(CorvidRegistry);
    const WineHost registered(p.root);
    EXPECT_EQ(findCorvidFolder(registered), p.root + QStringLiteral("/dosdevices/c:/Program Files/Corvid"));
    EXPECT_EQ(corvidProgramName(registered), QStringLiteral("CORVID.EXE"));
    EXPECT_EQ(findEudoraFolder(registered, QStringLiteral("/fb/")), QStringLiteral("/fb/")); // no exe yet
    writeAll(eudora + QStringLiteral("/Eudora.exe"), "MZ");

    discoverHostFolders(s, registered);
    const QString home = QFileInfo(corvid).canonicalFilePath() + QStringLiteral("/Users/Taro/");
    EXPECT_EQ(s.homeFolder, home);
    EXPECT_EQ(s.globalLogFolder, QFileInfo(p.driveC).canonicalFilePath() + QStringLiteral("/Log/"));
    const std::array<QString, 5> names{home + QStringLiteral("Address.ndb"), home, home, home,
                                       p.root + QStringLiteral("/dosdevices/c:/Eudora/NNdbase.txt")};
    EXPECT_EQ(s.lastFileName, names);

    // First run through loadSettings: no settings file yet.
    QTemporaryDir cfg;
    Settings loaded;
    loadSettings(cfg.filePath(QStringLiteral("Brindle.ini")), loaded, registered);
    EXPECT_EQ(loaded.homeFolder, home);

    // A home folder that does not exist leaves the folders and names empty.
    writeAll(corvid + QStringLiteral("/global.dat"), globalDat("C:\\Nowhere", {{"x", "Missing"}}));
    Settings none;
    discoverHostFolders(none, registered);
    EXPECT_EQ(none, Settings());
}

TEST(HostProbe, FindsTheClientByExecutableNameIgnoringCase)
{
    QTemporaryDir proc;
    const auto process = [&](const char *pid, const QByteArray &cmdline) {
        QDir().mkpath(proc.filePath(QString::fromLatin1(pid)));
        writeAll(proc.filePath(QString::fromLatin1(pid) + QStringLiteral("/cmdline")), cmdline);
    };
    process("1", QByteArray("/sbin/init\0", 11));
    process("self", QByteArray("C:\\Corvid\\Corvid.exe\0", 21)); // not a process number
    process("42", QByteArray("/usr/bin/corvid.exe.bak\0", 24));
    ProcessHostProbe probe(QStringLiteral("Corvid.exe"), proc.path());
    EXPECT_FALSE(probe.clientRunning());

    process("77", QByteArray("C:\\Program Files\\Corvid\\CORVID.EXE\0-min\0", 40));
    EXPECT_TRUE(probe.clientRunning());
    QFile::remove(proc.filePath(QStringLiteral("77/cmdline")));
    EXPECT_FALSE(probe.clientRunning());
    process("78", QByteArray("/usr/bin/wine64\0/home/u/.wine/drive_c/Corvid/corvid.exe\0", 57));
    EXPECT_TRUE(probe.clientRunning());
}

TEST(LiveBookGuard, RefusesOnlyTheLiveBookWhileCorvidRuns)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home")) + u'/';
    QDir().mkpath(home + QStringLiteral("sub"));
    QDir().mkpath(dir.filePath(QStringLiteral("home2")));
    QDir().mkpath(dir.filePath(QStringLiteral("elsewhere")));
    QFile::link(dir.filePath(QStringLiteral("home")), dir.filePath(QStringLiteral("link")));
    const auto at = [&](const char *rel) { return dir.filePath(QString::fromUtf8(rel)); };

    // Home folder unknown: the file name alone decides.
    EXPECT_TRUE(isLiveAddressBookPath(at("elsewhere/ADDRESS.ND5"), QString()));
    EXPECT_TRUE(isLiveAddressBookPath(at("elsewhere/address.ndb"), QString()));
    EXPECT_FALSE(isLiveAddressBookPath(at("elsewhere/address.ndb2"), QString()));
    EXPECT_FALSE(isLiveAddressBookPath(at("elsewhere/address.nd"), QString()));
    EXPECT_FALSE(isLiveAddressBookPath(at("elsewhere/my address.ndb"), QString()));
    // A home folder that cannot be found counts as unknown.
    EXPECT_TRUE(isLiveAddressBookPath(at("elsewhere/Address.ndb"), at("gone/")));

    // Home folder set: inside it (subfolders too, through links too), only.
    EXPECT_TRUE(isLiveAddressBookPath(home + QStringLiteral("Address.ndb"), home));
    EXPECT_TRUE(isLiveAddressBookPath(home + QStringLiteral("sub/address.nd0"), home));
    EXPECT_TRUE(isLiveAddressBookPath(at("link/Address.ndb"), home));
    EXPECT_TRUE(isLiveAddressBookPath(home + QStringLiteral("Address.ndb"), at("link")));
    EXPECT_FALSE(isLiveAddressBookPath(at("elsewhere/Address.ndb"), home));
    EXPECT_FALSE(isLiveAddressBookPath(at("home2/Address.ndb"), home));
    EXPECT_FALSE(isLiveAddressBookPath(at("missing/Address.ndb"), home));

    FakeHostProbe probe;
    ScriptedPrompter prompter;
    EXPECT_FALSE(guardLiveAddressBook(home + QStringLiteral("Address.ndb"), home, probe, prompter));
    EXPECT_TRUE(prompter.asked.isEmpty());
    probe.running = true;
    probe.calls = 0;
    EXPECT_FALSE(guardLiveAddressBook(at("elsewhere/Address.ndb"), home, probe, prompter));
    EXPECT_EQ(probe.calls, 0); // no process lookup for other files
    EXPECT_TRUE(guardLiveAddressBook(home + QStringLiteral("Address.ndb"), home, probe, prompter));
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("現在 Corvid が起動しているため、アドレス帳の読み書きはできません。") + QStringLiteral("\r\n") + QStringLiteral("Corvid を終了後、再度実行して下さい。"));
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.asked[0].message.buttons, Prompter::Buttons(Prompter::Ok));

    prompter.clear();
    EXPECT_TRUE(warnIfClientRunning(probe, prompter));
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("現在 Corvid が起動しているため、使用中のアドレス帳の読み書きはできません。"));
}

// The live book reached under another path: symbolic links (also ones
// that point at a book not written yet), hard links and bind mounts.
TEST(LiveBookGuard, FollowsLinksAndKnowsTheSameFileUnderAnotherName)
{
    QTemporaryDir dir;
    const auto at = [&](const char *rel) { return dir.filePath(QString::fromUtf8(rel)); };
    for (const char *folder : {"home/sub", "other", "plain", "data"})
        QDir().mkpath(at(folder));
    const QString home = at("home") + u'/';
    ASSERT_TRUE(writeAll(at("home/Address.ndb"), "live"));
    ASSERT_TRUE(writeAll(at("home/sub/address.nd0"), "copy"));
    ASSERT_TRUE(writeAll(at("data/real.bin"), "behind a link"));
    ASSERT_TRUE(QFile::link(at("data/real.bin"), at("home/Address.nd1")));
    ASSERT_TRUE(writeAll(at("plain/Address.ndb"), "not linked"));
    ASSERT_TRUE(QFile::link(at("home/Address.ndb"), at("other/Address.ndb")));
    ASSERT_TRUE(QFile::link(QStringLiteral("../home/Address.ndb"), at("other/book.bin")));
    ASSERT_TRUE(QFile::link(at("other/book.bin"), at("other/chain")));
    ASSERT_TRUE(QFile::link(at("home/Address.nd7"), at("other/not-yet.ndb")));
    ASSERT_EQ(::link(QFile::encodeName(at("home/Address.ndb")).constData(),
                     QFile::encodeName(at("other/hard.bin")).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(at("home/sub/address.nd0")).constData(),
                     QFile::encodeName(at("other/hard0.bin")).constData()), 0);

    struct Case { const char *path; bool live; };
    for (const Case c : {Case{"other/Address.ndb", true}, Case{"other/book.bin", true},
                         Case{"other/chain", true}, Case{"other/not-yet.ndb", true},
                         Case{"other/hard.bin", true}, Case{"other/hard0.bin", true},
                         Case{"data/real.bin", true}, Case{"plain/Address.ndb", false},
                         Case{"data/other.bin", false}}) {
        EXPECT_EQ(isLiveAddressBookPath(at(c.path), home), c.live) << c.path;
    }

    FakeHostProbe probe;
    ScriptedPrompter prompter;
    EXPECT_FALSE(guardLiveAddressBook(at("other/hard.bin"), home, probe, prompter));
    probe.running = true;
    EXPECT_TRUE(guardLiveAddressBook(at("other/hard.bin"), home, probe, prompter));
    EXPECT_TRUE(guardLiveAddressBook(at("other/Address.ndb"), home, probe, prompter));
    EXPECT_FALSE(guardLiveAddressBook(at("plain/Address.ndb"), home, probe, prompter));
    EXPECT_EQ(prompter.asked.size(), 2);
}

TEST(LiveBookGuard, KnowsTheLiveBookThroughABindMount)
{
    QTemporaryDir dir;
    const auto at = [&](const char *rel) { return dir.filePath(QString::fromUtf8(rel)); };
    for (const char *folder : {"home/sub", "mnt/whole", "mnt/part"})
        QDir().mkpath(at(folder));
    ASSERT_TRUE(writeAll(at("home/Address.ndb"), "live"));
    ASSERT_TRUE(writeAll(at("home/sub/Address.nd3"), "copy"));
    // The mounts are made in a mount namespace of a child process of their
    // own, so that nothing of them is seen outside the test.
    constexpr int CannotMount = 77;
    const IsolatedRun r = runIsolated([&] {
        if (::unshare(CLONE_NEWNS) != 0
            || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount(QFile::encodeName(at("home")).constData(),
                       QFile::encodeName(at("mnt/whole")).constData(), nullptr, MS_BIND, nullptr) != 0
            || ::mount(QFile::encodeName(at("home/sub")).constData(),
                       QFile::encodeName(at("mnt/part")).constData(), nullptr, MS_BIND, nullptr) != 0)
            return CannotMount;
        const QString home = at("home");
        const bool whole = isLiveAddressBookPath(at("mnt/whole/Address.ndb"), home);
        const bool part = isLiveAddressBookPath(at("mnt/part/Address.nd3"), home);
        return whole && part ? 0 : 1;
    }, 10);
    if (r.exited && r.exitCode == CannotMount)
        GTEST_SKIP() << "bind mounts cannot be made here (needs the superuser and mount namespaces)";
    ASSERT_TRUE(r.exited) << "signal " << r.signal;
    EXPECT_EQ(r.exitCode, 0);
}

TEST(RecycleBin, MovesIntoTheUsersTrashCreatingItsFolder)
{
    QTemporaryDir dir;
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    const QString data = dir.filePath(QStringLiteral("data-not-yet"));
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    const QString work = dir.filePath(QStringLiteral("work"));
    QDir().mkpath(work);
    const QString oldCwd = QDir::currentPath();
    QDir::setCurrent(work);

    const QString file = work + QStringLiteral("/.hidden Address.ndb");
    ASSERT_TRUE(writeAll(file, "35 12"));
    moveFileToTrash(file);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("/Trash/files/.hidden Address.ndb")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("/files")));
    moveFileToTrash(file); // gone: nothing happens
    moveFileToTrash(QString());

    QDir::setCurrent(oldCwd);
    if (oldData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
}

TEST(Help, UrlsAtTopicOrContentsAndTheNoHelpMessage)
{
    QTemporaryDir dir;
    const QString doc = dir.filePath(QString::fromUtf16(HelpDocumentName));
    ASSERT_TRUE(writeAll(doc, "<html></html>"));
    EXPECT_EQ(findHelpDocument(dir.path()), QFileInfo(doc).canonicalFilePath());
    EXPECT_TRUE(findHelpDocument(dir.filePath(QStringLiteral("nowhere"))).isEmpty());
    // The build tree is laid out as an install: the shipped document is found
    // from the programs' folder.
    const QString shipped = findHelpDocument(QStringLiteral(BRINDLE_PROGRAM_DIR));
    ASSERT_FALSE(shipped.isEmpty());
    const QByteArray html = readAll(shipped);
    EXPECT_TRUE(html.contains("id=\"context1\""));
    EXPECT_TRUE(html.contains("id=\"contents\""));

    ScriptedPrompter prompter;
    const QUrl topic = helpTopicUrl(prompter, doc, 1);
    EXPECT_TRUE(topic.isLocalFile());
    EXPECT_EQ(topic.fragment(), QStringLiteral("context1"));
    EXPECT_EQ(helpContentsUrl(prompter, doc).fragment(), QStringLiteral("contents"));
    EXPECT_TRUE(prompter.asked.isEmpty());

    EXPECT_TRUE(helpTopicUrl(prompter, QString(), 1).isEmpty());
    EXPECT_TRUE(helpContentsUrl(prompter, dir.filePath(QStringLiteral("missing.html"))).isEmpty());
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("ﾍﾙﾌﾟを表示できません。 このﾌﾟﾛｸﾞﾗﾑに関連付けられたﾍﾙﾌﾟが存在しません。"));
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::Information);
}
