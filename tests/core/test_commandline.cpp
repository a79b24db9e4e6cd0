// What the window opens from its command line.
#include <QDir>
#include <QTemporaryDir>

#include "shell/commandline.h"
#include "shell/filekind.h"
#include "support/testutil.h"

namespace {

class CommandLine : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(writeAll(at(u"a b.ndb"_qs), QByteArray("\x35\x12\x01\x00\x01\x00\x00\x00", 8)));
        ASSERT_TRUE(writeAll(at(u"a"_qs), QByteArray("\x35\x12\x01\x00", 4)));
        ASSERT_TRUE(writeAll(at(u"notes"_qs), "hello"));
        ASSERT_TRUE(writeAll(at(u"one"_qs), "\x35"));
        ASSERT_TRUE(writeAll(at(u"list.csv"_qs), "ID\r\n"));
        ASSERT_TRUE(QDir(dir.path()).mkdir(u"folder.ndb"_qs));
    }
    QString at(const QString &name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(CommandLine, AFileWithoutExtensionIsABookByItsFirstBytes)
{
    const struct {
        const char16_t *name;
        int kind;
    } cases[] = {
        {u"a b.ndb", FileKindAddressBook},
        {u"a", FileKindAddressBook},     // the signature, no extension
        {u"notes", FileKindUnknown},     // other bytes
        {u"one", FileKindUnknown},       // too short to tell
        {u"list.csv", FileKindCsv},      // the name decides first
        {u"missing", FileKindUnknown},
        {u"folder.ndb", FileKindAddressBook}, // by name, as before
    };
    for (const auto &c : cases)
        EXPECT_EQ(openableFileKindOf(at(QString::fromUtf16(c.name))), c.kind)
            << QString::fromUtf16(c.name).toStdString();
}

TEST_F(CommandLine, TheWholeLineNamesTheFileElseTheFirstFileOfAKnownKind)
{
    const QString spaced = at(u"a b.ndb"_qs);
    const QString base = at(u"a"_qs);
    const QString csv = at(u"list.csv"_qs);
    const struct {
        QStringList args;
        QStringList unknown;
        QString path;
        QStringList ignored;
    } cases[] = {
        {{}, {}, QString(), {}},
        {{spaced}, {}, spaced, {}},
        // Split at its space by a caller that did not quote it: still one path.
        {{base, u"b.ndb"_qs}, {}, spaced, {}},
        {{csv, spaced}, {u"--geometry"_qs}, csv, {u"--geometry"_qs, spaced}},
        {{u"nosuch"_qs, at(u"notes"_qs), base, csv}, {}, base,
         {u"nosuch"_qs, at(u"notes"_qs), csv}},
        {{at(u"folder.ndb"_qs), csv}, {}, csv, {at(u"folder.ndb"_qs)}},
        // One argument is taken as it is, found or not, as before.
        {{u"nosuch.ndb"_qs}, {}, u"nosuch.ndb"_qs, {}},
        {{u"x"_qs, u"y"_qs}, {}, QString(), {u"x"_qs, u"y"_qs}},
    };
    for (const auto &c : cases) {
        const CommandLineFile got = commandLineFile(c.args, c.unknown);
        EXPECT_EQ(got.path, c.path) << c.args.join(u'|').toStdString();
        EXPECT_EQ(got.ignored, c.ignored) << c.args.join(u'|').toStdString();
    }
}
