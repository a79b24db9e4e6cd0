#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/cp932.h"
#include "shell/settings.h"
#include "shell/winehost.h"
#include "support/testutil.h"

namespace {

QByteArray crlf(const char *text)
{
    return QByteArray(text).replace("\n", "\r\n");
}

Settings parsed(const QByteArray &bytes)
{
    Settings s;
    parseSettings(bytes, s);
    return s;
}

} // namespace

TEST(SettingsFile, WritesKeysInOrderWithCrLfAndStopsListsAtFirstEmpty)
{
    Settings s;
    s.left = 120;
    s.top = -15;
    s.width = 9000;
    s.height = 6000;
    s.state = 2;
    s.homeFolder = QStringLiteral("/home/u/ホーム/");
    s.trashFlag = false;
    s.lastFileName = {QStringLiteral("/a/Address.ndb"), QStringLiteral("/a/"), QString(),
                      QStringLiteral("/never/written"), QString()};
    s.fileHistory[0] = QStringLiteral("/a/Address.ndb");
    s.errorLimits[6] = 5000;

    const QByteArray expected =
        "[Settings]\r\nLeft=120\r\nTop=-15\r\nWidth=9000\r\nHeight=6000\r\nState=2\r\n"
        "HomeFolder=/home/u/" + cp932::encode(u"ホーム") + "/\r\n"
        "GlobalLogFolder=\r\nTrashFlg=False\r\nLostMemoFlg=True\r\nNiftyDomain=nifty.com\r\n"
        "OldName=\r\nNewName=\r\n"
        "LastName=/a/Address.ndb\r\nLastName=/a/\r\n"
        "FileHistory=/a/Address.ndb\r\n"
        "ErrorValue=100\r\nErrorValue=100\r\nErrorValue=100\r\nErrorValue=1000\r\n"
        "ErrorValue=1000\r\nErrorValue=1000\r\nErrorValue=5000\r\n";
    EXPECT_EQ(serializeSettings(s), expected);
}

TEST(SettingsFile, RoundTripsEveryField)
{
    Settings s;
    s.left = 1;
    s.top = 2;
    s.width = 3;
    s.height = 4;
    s.state = 1;
    s.homeFolder = QStringLiteral("/home/u/.wine/drive_c/Corvid/Users/太郎/");
    s.globalLogFolder = QStringLiteral(" /log with spaces/ ");
    s.trashFlag = false;
    s.lostMemoFlag = false;
    s.niftyDomain = QString::fromUtf16(LegacyNiftyDomain);
    s.compareOldPath = QStringLiteral("/old/Address.nd0");
    s.compareNewPath = QStringLiteral("/new/Address.ndb");
    s.lastFileName = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                      QStringLiteral("4"), QStringLiteral("5")};
    s.fileHistory = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                     QStringLiteral("d"), QStringLiteral("e")};
    s.errorLimits = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(parsed(serializeSettings(s)), s);

    // Through the file, into a folder that does not exist yet.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cfg/Brindle/Brindle.ini"));
    ASSERT_TRUE(saveSettings(path, s));
    Settings back;
    EXPECT_TRUE(readSettingsFile(path, back));
    EXPECT_EQ(back, s);
    // A value cannot break out of its line.
    s.compareOldPath = QStringLiteral("/x\r\nWidth=77");
    ASSERT_TRUE(saveSettings(path, s));
    ASSERT_TRUE(readSettingsFile(path, back));
    EXPECT_EQ(back.compareOldPath, QStringLiteral("/x"));
    EXPECT_EQ(back.width, 3);
    // A list entry that would be written empty ends its list, as an empty one does.
    s.lastFileName[0] = QStringLiteral("\rjunk");
    EXPECT_FALSE(serializeSettings(s).contains("LastName="));
}

// A path CP932 cannot hold would come back with "?" in it: the file is then
// written in UTF-8 with a byte-order mark, and in CP932 otherwise.
TEST(SettingsFile, Utf8OnlyWhenAValueHasNoCp932Form)
{
    const QByteArray Bom("\xEF\xBB\xBF");
    struct Case
    {
        QString Settings::*field;
        QString value;
        bool utf8;
    };
    const Case cases[] = {
        {&Settings::homeFolder, QStringLiteral("/home/ren\u00E9/.wine/Corvid/"), true},
        {&Settings::globalLogFolder, QStringLiteral("/home/\U00020BB7\u7530/log/"), true},
        {&Settings::compareOldPath, QStringLiteral("/\u5C71\u7530/Address.nd0"), false},
        {&Settings::niftyDomain, QStringLiteral("nifty.com"), false},
        {&Settings::compareNewPath, QStringLiteral("/\uF8F1\u0080/Address.ndb"), false},
    };
    for (const Case &c : cases) {
        Settings s;
        s.*c.field = c.value;
        const QByteArray bytes = serializeSettings(s);
        EXPECT_EQ(bytes.startsWith(Bom), c.utf8) << c.value.toStdString();
        EXPECT_EQ(bytes.startsWith("[Settings]\r\n"), !c.utf8) << c.value.toStdString();
        EXPECT_EQ(parsed(bytes), s) << c.value.toStdString();
    }

    // Lists count too, and the whole file goes through saveSettings.
    Settings s;
    s.fileHistory[0] = QStringLiteral("/home/\U00020BB7/Address.ndb");
    s.homeFolder = QStringLiteral("/home/\u30DB\u30FC\u30E0/");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Brindle.ini"));
    ASSERT_TRUE(saveSettings(path, s));
    const QByteArray written = readAll(path);
    EXPECT_TRUE(written.startsWith(Bom + "[Settings]\r\n"));
    EXPECT_TRUE(written.contains("HomeFolder=/home/\xE3\x83\x9B\xE3\x83\xBC\xE3\x83\xA0/\r\n"));
    Settings back;
    ASSERT_TRUE(readSettingsFile(path, back));
    EXPECT_EQ(back, s);
}

TEST(SettingsFile, LineAndSectionRules)
{
    // Only lines ending in CR LF count; a bare LF does not end a line.
    Settings s = parsed("[Settings]\r\nLeft=5\r\nTop=6\nWidth=7\r\nHeight=8");
    EXPECT_EQ(s.left, 5);
    EXPECT_EQ(s.top, -1); // "6\nWidth=7" is no number
    EXPECT_EQ(s.width, -1);
    EXPECT_EQ(s.height, -1); // no CR LF after it

    // Keys in any letter case; the header only exactly.
    s = parsed(crlf("[Settings]\nleft=10\nHOMEFOLDER=/h/\ntrashflg=false\n"));
    EXPECT_EQ(s.left, 10);
    EXPECT_EQ(s.homeFolder, QStringLiteral("/h/"));
    EXPECT_FALSE(s.trashFlag);
    EXPECT_EQ(parsed(crlf("[settings]\nLeft=10\n")).left, -1);
    EXPECT_EQ(parsed(crlf("[Settings] \nLeft=10\n")).left, -1);

    // Lines before any section and in other sections are ignored.
    s = parsed(crlf("Left=1\n[Settings]\nTop=2\n[Other]\nWidth=3\n[Settings]\nHeight=4\n"));
    EXPECT_EQ(s.left, -1);
    EXPECT_EQ(s.top, 2);
    EXPECT_EQ(s.width, -1);
    EXPECT_EQ(s.height, 4);

    // A repeated key keeps its last value; values are not trimmed.
    s = parsed(crlf("[Settings]\nState=1\nState=2\nOldName= /a b/ \n"));
    EXPECT_EQ(s.state, 2);
    EXPECT_EQ(s.compareOldPath, QStringLiteral(" /a b/ "));

    // The text is CP932.
    s = parsed("[Settings]\r\nNewName=" + cp932::encode(u"ｱﾄﾞﾚｽ帳") + "\r\n");
    EXPECT_EQ(s.compareNewPath, QStringLiteral("ｱﾄﾞﾚｽ帳"));
}

TEST(SettingsFile, RepeatedListKeysFillSlotsInOrder)
{
    Settings s = parsed(crlf("[Settings]\n"
                             "FileHistory=1\nFileHistory=2\nFileHistory=3\nFileHistory=4\n"
                             "FileHistory=5\nFileHistory=6\n"
                             "LastName=a\nLastName=\nLastName=c\n"
                             "ErrorValue=7\nErrorValue=x\nErrorValue=0\nErrorValue=-5\n"
                             "ErrorValue=9\nErrorValue=10\nErrorValue=11\nErrorValue=12\n"));
    EXPECT_EQ(s.fileHistory[4], QStringLiteral("5")); // the sixth is ignored
    EXPECT_EQ(s.lastFileName[0], QStringLiteral("a"));
    EXPECT_EQ(s.lastFileName[1], QString());
    EXPECT_EQ(s.lastFileName[2], QStringLiteral("c"));
    // Bad and non-positive limits keep their defaults, but use their slot.
    const std::array<int, 7> limits{7, 100, 100, 1000, 9, 10, 11};
    EXPECT_EQ(s.errorLimits, limits);
    // Saving stops at the empty second LastName.
    EXPECT_FALSE(serializeSettings(s).contains("LastName=c"));
}

TEST(SettingsFile, BadValuesKeepDefaults)
{
    Settings s = parsed(crlf("[Settings]\nLeft=abc\nTop=12.5\nWidth=99999999999\n"
                             "Height= 42 \nState=\nTrashFlg=yes\nLostMemoFlg=0\n"
                             "NiftyDomain=\n"));
    EXPECT_EQ(s.left, -1);
    EXPECT_EQ(s.top, -1);
    EXPECT_EQ(s.width, -1); // beyond 32 bits
    EXPECT_EQ(s.height, 42);
    EXPECT_EQ(s.state, 0);
    EXPECT_TRUE(s.trashFlag);
    EXPECT_FALSE(s.lostMemoFlag);
    EXPECT_EQ(s.niftyDomain, QString::fromUtf16(DefaultNiftyDomain));

    s = parsed(crlf("[Settings]\nTrashFlg=FALSE\nLostMemoFlg=true\nTrashFlg=7\n"));
    EXPECT_TRUE(s.trashFlag); // last value: a non-zero number
    EXPECT_TRUE(s.lostMemoFlag);
    s = parsed(crlf("[Settings]\nTrashFlg=False\nLostMemoFlg=-1\n"));
    EXPECT_FALSE(s.trashFlag);
    EXPECT_TRUE(s.lostMemoFlag);
}

TEST(SettingsFile, MissingOrEmptyFileIsNotRead)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Brindle.ini"));
    Settings s;
    s.left = 5;
    EXPECT_FALSE(readSettingsFile(path, s));
    EXPECT_EQ(s, Settings());
    ASSERT_TRUE(writeAll(path, QByteArray()));
    EXPECT_FALSE(readSettingsFile(path, s));
    // A file without the section is read: no discovery, defaults only.
    ASSERT_TRUE(writeAll(path, "junk\r\n"));
    EXPECT_TRUE(readSettingsFile(path, s));

    // loadSettings does not run the discovery when a file was read.
    ASSERT_TRUE(writeAll(path, crlf("[Settings]\nHomeFolder=/kept/\n")));
    loadSettings(path, s, WineHost(dir.filePath(QStringLiteral("no-prefix"))));
    EXPECT_EQ(s.homeFolder, QStringLiteral("/kept/"));
}

TEST(SettingsFile, LocationBesideProgramOnlyWhenWritable)
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin"));
    const QString config = dir.filePath(QStringLiteral("config"));
    QDir().mkpath(program);
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());

    EXPECT_EQ(settingsFilePath(program), config + QStringLiteral("/Brindle/Brindle.ini"));
    const QString beside = program + QStringLiteral("/Brindle.ini");
    ASSERT_TRUE(writeAll(beside, "[Settings]\r\n"));
    EXPECT_EQ(settingsFilePath(program), beside);
    QFile::setPermissions(beside, QFileDevice::ReadOwner);
    if (!QFileInfo(beside).isWritable()) { // root can write anyway
        EXPECT_EQ(settingsFilePath(program), config + QStringLiteral("/Brindle/Brindle.ini"));
    }

    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
}

TEST(FileHistory, MovesToTopFoldingOnlyAsciiLetters)
{
    QTemporaryDir dir;
    const QString txt = dir.filePath(QStringLiteral("plain.txt"));
    ASSERT_TRUE(writeAll(txt, "hello world\r\n"));

    Settings s;
    for (const char *p : {"/a/1.ndb", "/a/2.ndb", "/a/3.ndb", "/a/4.ndb", "/a/5.ndb", "/a/6.ndb"})
        addToFileHistory(s, QString::fromLatin1(p));
    const std::array<QString, 5> five{QStringLiteral("/a/6.ndb"), QStringLiteral("/a/5.ndb"),
                                      QStringLiteral("/a/4.ndb"), QStringLiteral("/a/3.ndb"),
                                      QStringLiteral("/a/2.ndb")};
    EXPECT_EQ(s.fileHistory, five);

    addToFileHistory(s, QStringLiteral("/A/3.NDB"));
    const std::array<QString, 5> moved{QStringLiteral("/A/3.NDB"), QStringLiteral("/a/6.ndb"),
                                       QStringLiteral("/a/5.ndb"), QStringLiteral("/a/4.ndb"),
                                       QStringLiteral("/a/2.ndb")};
    EXPECT_EQ(s.fileHistory, moved);

    addToFileHistory(s, QString());
    addToFileHistory(s, QStringLiteral("/a/notes.doc"));
    addToFileHistory(s, txt); // a .txt of no known kind
    EXPECT_EQ(s.fileHistory, moved);

    // Only ASCII letters fold: Ä and ä, Ａ and ａ stay different.
    EXPECT_TRUE(sameHistoryPath(QStringLiteral("/Home/X.ndb"), QStringLiteral("/home/x.NDB")));
    EXPECT_FALSE(sameHistoryPath(QStringLiteral("/Ä/x.ndb"), QStringLiteral("/ä/x.ndb")));
    EXPECT_FALSE(sameHistoryPath(QStringLiteral("/Ａ.ndb"), QStringLiteral("/ａ.ndb")));
    s = Settings();
    addToFileHistory(s, QStringLiteral("/Ä/x.ndb"));
    addToFileHistory(s, QStringLiteral("/ä/x.ndb"));
    EXPECT_EQ(s.fileHistory[1], QStringLiteral("/Ä/x.ndb"));
}
