#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "common/cp932.h"
#include "common/paths.h"
#include "common/winpath.h"
#include "support/testutil.h"

TEST(NativePaths, SplitsAbsoluteRootAndRelativePaths)
{
    EXPECT_EQ(driveOf(u"/home/u/a.txt"), u"/"_qs);
    EXPECT_EQ(driveOf(u"home/a.txt"), QString());

    EXPECT_EQ(folderOf(u"/home/u/a.txt"), u"/home/u"_qs);
    EXPECT_EQ(folderOf(u"/a.txt"), u"/"_qs);
    EXPECT_EQ(folderOf(u"/"), u"/"_qs);
    EXPECT_EQ(folderOf(u"/home/u/"), u"/home/u"_qs);
    EXPECT_EQ(folderOf(u"home/u/a.txt"), QString());

    EXPECT_EQ(fileNameOf(u"/home/u/アドレス.ndb"), u"アドレス.ndb"_qs);
    EXPECT_EQ(fileNameOf(u"/a.txt"), u"a.txt"_qs);
    EXPECT_EQ(fileNameOf(u"/home/u/"), QString());
    EXPECT_EQ(fileNameOf(u"u/a.txt"), u"a.txt"_qs);
}

TEST(NativePaths, ExtensionLooksAtTheFileNameOnly)
{
    EXPECT_EQ(extensionOf(u"/home/u/Address.ndb"), u"ndb"_qs);
    EXPECT_EQ(extensionOf(u"/home/u/x.tar.gz"), u"gz"_qs);
    EXPECT_EQ(extensionOf(u"/home/u.d/readme"), QString());
    EXPECT_EQ(extensionOf(u"/home/u.d/"), QString());
    EXPECT_EQ(extensionOf(u"name."), QString());
}

TEST(NativePaths, WithAndWithoutSlashTrimSpacesAndKeepRoot)
{
    EXPECT_EQ(withSlash(u"  /home/u  "), u"/home/u/"_qs);
    EXPECT_EQ(withSlash(u"/home/u/"), u"/home/u/"_qs);
    EXPECT_EQ(withSlash(u"   "), QString());
    EXPECT_EQ(withSlash(u"/"), u"/"_qs);
    EXPECT_EQ(withSlash(u"\u3000dir"), u"\u3000dir/"_qs); // only U+0020 is trimmed

    EXPECT_EQ(withoutSlash(u" /home/u/ "), u"/home/u"_qs);
    EXPECT_EQ(withoutSlash(u" / "), u"/"_qs);
    EXPECT_EQ(withoutSlash(u""), QString());
}

TEST(WindowsPaths, DriveAndSharePrefixes)
{
    EXPECT_EQ(winDriveOf(u"C:\\Corvid\\Address.ndb"), u"C:"_qs);
    EXPECT_EQ(winDriveOf(u"d:file.txt"), u"d:"_qs);
    EXPECT_EQ(winDriveOf(u"\\\\server\\share\\dir\\a.txt"), u"\\\\server\\share"_qs);
    EXPECT_EQ(winDriveOf(u"\\\\server\\share"), u"\\\\server\\share"_qs);
    EXPECT_EQ(winDriveOf(u"\\dir\\a.txt"), QString());
    EXPECT_EQ(winDriveOf(u"1:\\a"), QString());
}

TEST(WindowsPaths, FolderAndFileName)
{
    EXPECT_EQ(winFolderOf(u"C:\\Corvid\\User\\Address.ndb"), u"C:\\Corvid\\User"_qs);
    EXPECT_EQ(winFolderOf(u"C:\\Address.ndb"), u"C:\\"_qs);
    EXPECT_EQ(winFolderOf(u"C:Address.ndb"), u"C:"_qs);
    EXPECT_EQ(winFolderOf(u"C:\\Corvid\\"), u"C:\\Corvid"_qs);
    EXPECT_EQ(winFolderOf(u"\\\\srv\\share\\a\\b.txt"), u"\\\\srv\\share\\a"_qs);
    EXPECT_EQ(winFolderOf(u"\\\\srv\\share\\b.txt"), u"\\\\srv\\share\\"_qs);
    EXPECT_EQ(winFolderOf(u"\\\\srv\\share"), u"\\\\srv\\share"_qs);
    EXPECT_EQ(winFolderOf(u"Corvid\\Address.ndb"), QString());
    EXPECT_EQ(winFolderOf(u"\\Corvid\\Address.ndb"), QString());

    EXPECT_EQ(winFileNameOf(u"C:\\Corvid\\User\\Address.ndb"), u"Address.ndb"_qs);
    EXPECT_EQ(winFileNameOf(u"C:Address.ndb"), u"Address.ndb"_qs);
    EXPECT_EQ(winFileNameOf(u"C:\\Corvid\\"), QString());
    EXPECT_EQ(winFileNameOf(u"\\\\srv\\share\\b.txt"), u"b.txt"_qs);
    EXPECT_EQ(winFileNameOf(u"\\\\srv\\share"), QString());
    EXPECT_EQ(winFileNameOf(u"Corvid\\Address.ndb"), u"Address.ndb"_qs);
}

TEST(WindowsPaths, ExtensionAndSlashes)
{
    EXPECT_EQ(winExtensionOf(u"C:\\Corvid\\Address.ndb"), u"ndb"_qs);
    EXPECT_EQ(winExtensionOf(u"C:\\Corvid.d\\Readme"), QString());
    EXPECT_EQ(winExtensionOf(u"C:.d"), u"d"_qs);
    EXPECT_EQ(winExtensionOf(u"a.b:c"), QString());
    EXPECT_EQ(winExtensionOf(u"C:\\a.tar.gz"), u"gz"_qs);
    // A "/" is not a separator in these paths.
    EXPECT_EQ(winExtensionOf(u"C:\\a.b/c"), u"b/c"_qs);

    EXPECT_EQ(winWithSlash(u" C:\\Corvid "), u"C:\\Corvid\\"_qs);
    EXPECT_EQ(winWithSlash(u"C:\\"), u"C:\\"_qs);
    EXPECT_EQ(winWithSlash(u"  "), QString());

    EXPECT_EQ(winWithoutSlash(u"C:\\"), u"C:\\"_qs);
    EXPECT_EQ(winWithoutSlash(u" C:\\ "), u"C:\\"_qs);
    EXPECT_EQ(winWithoutSlash(u"C:\\Corvid\\"), u"C:\\Corvid"_qs);
    EXPECT_EQ(winWithoutSlash(u"\\\\srv\\share\\"), u"\\\\srv\\share"_qs);
    EXPECT_EQ(winWithoutSlash(u"\\"), u"\\"_qs);
}

class PathFiles : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString at(const QString &name) const { return tmp.filePath(name); }
};

TEST_F(PathFiles, CanonicalPathResolvesLinksAndChecksKind)
{
    ASSERT_TRUE(tmp.isValid());
    const QString root = QFileInfo(tmp.path()).canonicalFilePath();
    ASSERT_TRUE(QDir(tmp.path()).mkdir(u"Sub"_qs));
    ASSERT_TRUE(writeAll(at(u"Sub/a.txt"_qs), "x"));
    ASSERT_TRUE(QFile::link(at(u"Sub"_qs), at(u"link"_qs)));

    EXPECT_EQ(canonicalPath(at(u"link/../Sub/./a.txt"_qs)), root + u"/Sub/a.txt"_qs);
    EXPECT_EQ(canonicalPath(at(u"link/a.txt"_qs), PathKind::File), root + u"/Sub/a.txt"_qs);
    EXPECT_EQ(canonicalPath(at(u"link"_qs), PathKind::Folder), root + u"/Sub"_qs);
    EXPECT_EQ(canonicalPath(at(u"Sub/a.txt"_qs), PathKind::Folder), QString());
    EXPECT_EQ(canonicalPath(at(u"Sub"_qs), PathKind::File), QString());
    EXPECT_EQ(canonicalPath(at(u"missing"_qs)), QString());
    EXPECT_EQ(canonicalPath(QString()), QString());
    // Linux names are case-sensitive: another spelling is another file.
    EXPECT_EQ(canonicalPath(at(u"sub/a.txt"_qs)), QString());

    ASSERT_TRUE(QFile::link(at(u"nowhere"_qs), at(u"dangling"_qs)));
    EXPECT_EQ(canonicalPath(at(u"dangling"_qs)), QString());
    EXPECT_FALSE(isFile(at(u"dangling"_qs)));

    EXPECT_TRUE(isFolder(at(u"Sub"_qs)));
    EXPECT_TRUE(isFolder(at(u"link"_qs)));
    EXPECT_FALSE(isFolder(at(u"Sub/a.txt"_qs)));
    EXPECT_TRUE(isFile(at(u"Sub/a.txt"_qs)));
    EXPECT_FALSE(isFile(at(u"Sub"_qs)));
    EXPECT_FALSE(isFile(at(u"missing"_qs)));
    EXPECT_FALSE(isFile(QString()));
}

TEST_F(PathFiles, TextFilesRoundTripInCodePage932)
{
    ASSERT_TRUE(tmp.isValid());
    const QString path = at(u"メモ.txt"_qs);
    const QString text = u"山田太郎\r\nｶﾀｶﾅ \\~ ①\r\n"_qs;
    const QByteArray expected = cp932::encode(text);
    EXPECT_EQ(writeTextFile(path, text), expected.size());
    EXPECT_EQ(readAll(path), expected);
    EXPECT_EQ(readTextFile(path, u"default"_qs), text);

    // The old file is replaced as a whole, not rewritten in place: a reader
    // that still has it open sees the old contents, and no tail is left.
    QFile reader(path);
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));
    EXPECT_EQ(writeTextFile(path, u"短い"_qs), 4);
    EXPECT_EQ(readAll(path), hexBytes("92 5A 82 A2"));
    EXPECT_EQ(reader.readAll(), expected);

    // Characters without a code-page form are written as "?".
    EXPECT_EQ(writeTextFile(path, u"a\u00e9b"_qs), 3);
    EXPECT_EQ(readAll(path), QByteArray("a?b"));

    EXPECT_EQ(writeTextFile(path, QString()), 0);
    EXPECT_EQ(readTextFile(path, u"default"_qs), QString());
}

TEST_F(PathFiles, FailuresGiveTheDefaultOrMinusOne)
{
    ASSERT_TRUE(tmp.isValid());
    EXPECT_EQ(readTextFile(at(u"missing"_qs), u"既定"_qs), u"既定"_qs);
    EXPECT_EQ(readTextFile(tmp.path(), u"既定"_qs), u"既定"_qs);
    EXPECT_EQ(readTextFile(QString(), u"既定"_qs), u"既定"_qs);

    EXPECT_EQ(writeTextFile(at(u"no/such/folder/a.txt"_qs), u"x"_qs), -1);
    EXPECT_EQ(writeTextFile(tmp.path(), u"x"_qs), -1);
    EXPECT_EQ(writeTextFile(QString(), u"x"_qs), -1);
    EXPECT_TRUE(QFileInfo(tmp.path()).isDir());

    // A parent that is a file.
    ASSERT_TRUE(writeAll(at(u"plain"_qs), "old contents"));
    EXPECT_EQ(writeTextFile(at(u"plain/a.txt"_qs), u"x"_qs), -1);
    EXPECT_EQ(readAll(at(u"plain"_qs)), QByteArray("old contents"));
}
