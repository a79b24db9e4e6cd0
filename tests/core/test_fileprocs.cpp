#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <unistd.h>

#include "common/oledate.h"
#include "formats/fileprocs.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString NotFound = QStringLiteral("パスが見つかりません。");

void makeReadOnly(const QString &path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther
                                    | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
}

void makeWritable(const QString &path)
{
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                    | QFile::ReadGroup | QFile::ReadOther);
}

DateValue dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

} // namespace

// ---------------------------------------------------------------------------
// WritePathCheck: each step, in the order that decides which message wins.

class WritePathCheckTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override
    {
        // Let QTemporaryDir remove what the tests protected.
        for (const QString &p : std::as_const(protectedPaths))
            makeWritable(p);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QString existing(const QString &name)
    {
        const QString p = path(name);
        EXPECT_TRUE(writeAll(p, "old"));
        return p;
    }
    void expectRefused(const QString &p, const QString &text)
    {
        ScriptedPrompter pr;
        EXPECT_FALSE(WritePathCheck(p, true, pr));
        ASSERT_EQ(pr.asked.size(), 1);
        const auto &m = pr.asked[0].message;
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.buttons, Prompter::Buttons(Prompter::Ok));
        EXPECT_TRUE(m.title.isEmpty());
    }

    QTemporaryDir dir;
    QStringList protectedPaths;
};

TEST_F(WritePathCheckTest, RefusesMissingFolderFolderReadOnlyAndHidden)
{
    expectRefused(path("nofolder/out.txt"), NotFound);
    expectRefused(existing("plainfile") + "/out.txt", NotFound); // folder part is a file
    expectRefused(QString(), NotFound);

    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
    expectRefused(path("sub"), "[" + path("sub") + "]はディレクトリです。");

    const QString ro = existing("ro.txt");
    makeReadOnly(ro);
    protectedPaths << ro;
    expectRefused(ro, "[" + ro + "]は読取専用ファイルです。");

    const QString hidden = existing(".hidden.txt");
    expectRefused(hidden, "[" + hidden + "]は隠しファイルです。");

    // A read-only hidden file: the read-only step comes first.
    const QString both = existing(".both.txt");
    makeReadOnly(both);
    protectedPaths << both;
    expectRefused(both, "[" + both + "]は読取専用ファイルです。");
}

TEST_F(WritePathCheckTest, NewFilesPassWithoutQuestion)
{
    ScriptedPrompter pr;
    EXPECT_TRUE(WritePathCheck(path("new.txt"), false, pr));
    EXPECT_TRUE(WritePathCheck(path(".newhidden"), false, pr)); // not there yet: no check
    EXPECT_TRUE(pr.asked.isEmpty());
}

TEST_F(WritePathCheckTest, OverwriteSilentlyOrAsk)
{
    const QString p = existing("a.txt");
    ScriptedPrompter pr;
    EXPECT_TRUE(WritePathCheck(p, true, pr));
    EXPECT_TRUE(pr.asked.isEmpty());

    pr.answer(Prompter::No);
    EXPECT_FALSE(WritePathCheck(p, false, pr));
    pr.answer(Prompter::Yes);
    EXPECT_TRUE(WritePathCheck(p, false, pr));
    ASSERT_EQ(pr.asked.size(), 2);
    const auto &m = pr.asked[0].message;
    EXPECT_EQ(m.text, "[" + p + "]は既に存在します。上書きしますか？");
    EXPECT_EQ(m.buttons, Prompter::Buttons(Prompter::Yes) | Prompter::No);
    EXPECT_EQ(m.defaultButton, Prompter::No);
    EXPECT_EQ(m.icon, Prompter::Icon::Question);

    // Unanswered (closed) takes the default: No.
    ScriptedPrompter closed;
    EXPECT_FALSE(WritePathCheck(p, false, closed));
}

// ---------------------------------------------------------------------------
// Date texts.

TEST(DateTexts, FormatsAndEmptyValues)
{
    EXPECT_EQ(DateText(dt(2023, 3, 15)), "2023/03/15");
    EXPECT_EQ(DateText(dt(2023, 3, 15, 23, 59, 59)), "2023/03/15");
    EXPECT_EQ(DateTimeText(dt(2023, 3, 5, 7, 8, 9)), "2023/03/05 07:08:09");
    EXPECT_EQ(DateTimeText(dt(2023, 3, 5, 17, 0, 0)), "2023/03/05 17:00:00");
    EXPECT_EQ(DateTimeText(-1.25), "1899/12/29 06:00:00");
    EXPECT_EQ(DateTimeText(0.0), "1899/12/30 00:00:00");
    EXPECT_EQ(DateText(dt(100, 1, 1)), "0100/01/01");
    EXPECT_EQ(DateTimeText(dt(9999, 12, 31, 23, 59, 59)), "9999/12/31 23:59:59");

    for (DateValue v : {NoDate, MaxShowableDate, -1e12, double(NAN), double(INFINITY)}) {
        EXPECT_EQ(DateText(v), "") << v;
        EXPECT_EQ(DateTimeText(v), "") << v;
    }
}

TEST(DateTexts, ParseAcceptsWrittenAndTypedForms)
{
    DateValue v = NoDate;
    ASSERT_TRUE(parseDateText(u"2024/01/05", v));
    EXPECT_EQ(v, dt(2024, 1, 5));
    ASSERT_TRUE(parseDateText(u"2024/1/5 9:05:00", v));
    EXPECT_EQ(v, dt(2024, 1, 5, 9, 5, 0));
    ASSERT_TRUE(parseDateText(u" 2024/12/31  23:59 ", v));
    EXPECT_EQ(v, dt(2024, 12, 31, 23, 59, 0));
    ASSERT_TRUE(parseDateText(u"2024/02/29 00:00:01", v));
    EXPECT_EQ(DateTimeText(v), "2024/02/29 00:00:01");

    const DateValue keep = 123.0;
    for (const char16_t *bad :
         {u"", u"abc", u"2024/13/01", u"2023/02/29", u"24/1/5", u"2024-01-05", u"2024/01/05x",
          u"2024/01/05 25:00:00", u"2024/01/05 10", u"2024/01/05 10:00:", u"0001/01/01",
          u"0099/12/31", u"２０２４/01/05", u"2024/001/05"}) {
        v = keep;
        EXPECT_FALSE(parseDateText(bad, v)) << QString::fromUtf16(bad).toStdString();
        EXPECT_EQ(v, keep);
    }
}

// ---------------------------------------------------------------------------
// SafeFileName.

TEST(SafeFileName, ReplacesForbiddenCharactersAndTrims)
{
    EXPECT_EQ(SafeFileName(u"a\tb\"c\\d/e:f*g?h<i>j|k\x01l\x1fm"), "a.b.c.d.e.f.g.h.i.j.k.l.m");
    EXPECT_EQ(SafeFileName(u"  山田 太郎  "), "山田 太郎");
    EXPECT_EQ(SafeFileName(u"\u3000名前\u3000"), "\u3000名前\u3000"); // only ASCII spaces
    EXPECT_EQ(SafeFileName(u" \t "), "."); // the TAB becomes "." before trimming
    EXPECT_EQ(SafeFileName(u""), "");
}

TEST(SafeFileName, CutsAt251BytesWithoutSplittingACharacter)
{
    const QString a125 = QString(125, u'あ');
    EXPECT_EQ(SafeFileName(QString("a") + a125), QString("a") + a125);         // 251 bytes
    EXPECT_EQ(SafeFileName(QString("a") + a125 + u'あ'), QString("a") + a125); // 253 -> 251
    EXPECT_EQ(SafeFileName(QString("aa") + a125), QString("aa") + QString(124, u'あ')); // 250

    // Half-width katakana take one byte each.
    EXPECT_EQ(SafeFileName(QString(260, u'ｱ')), QString(251, u'ｱ'));

    // A character outside CP932 is written as one "?": a surrogate pair is
    // never cut in half.
    const QString emoji = QString::fromUtf16(u"\U0001F600");
    EXPECT_EQ(SafeFileName(QString(250, u'x') + emoji), QString(250, u'x') + emoji);
    EXPECT_EQ(SafeFileName(QString(251, u'x') + emoji), QString(251, u'x'));

    // Spaces left at the end of the cut are removed again.
    EXPECT_EQ(SafeFileName(QString(249, u'x') + "  yy"), QString(249, u'x'));
}

// ---------------------------------------------------------------------------
// TextAccumulator.

TEST(TextAccumulator, FlushesAfterTenThousandCharactersAndKeepsOrder)
{
    TextAccumulator acc;
    EXPECT_FALSE(acc.append(QString(10000, u'a'))); // not past the limit yet
    EXPECT_TRUE(acc.append(u"b"));                  // 10001: flushed
    EXPECT_FALSE(acc.append(QString(9999, u'c')));  // the small buffer restarted
    EXPECT_FALSE(acc.append(u"d"));
    EXPECT_TRUE(acc.append(u"e"));
    EXPECT_EQ(acc.flushes(), 2);

    // Many flushes through the middle level: the text is the concatenation.
    QString expected = QString(10000, u'a') + "b" + QString(9999, u'c') + "de";
    for (int i = 0; i < 500; ++i) {
        const QString piece = QString(1000, QChar(u'あ' + i % 50));
        acc.append(piece);
        expected += piece;
    }
    EXPECT_EQ(acc.flushes(), 2 + 500 / 11); // 11 pieces pass 10000 characters
    EXPECT_EQ(acc.size(), expected.size());
    EXPECT_EQ(acc.take(), expected);
    EXPECT_EQ(acc.take(), "");
}

// ---------------------------------------------------------------------------
// Shared write and read procedures.

class FileIoTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void TearDown() override
    {
        for (const QString &p : std::as_const(protectedPaths))
            makeWritable(p);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    QStringList entries(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QStringList protectedPaths;
    ScriptedPrompter pr;
};

TEST_F(FileIoTest, WritesCp932AndReplacesAnOldFile)
{
    const QString p = path("out.txt");
    ASSERT_TRUE(writeAll(p, "a much longer old content that must disappear"));
    EXPECT_EQ(writeTextFileSafely(p, QStringLiteral("あ\\~\r\n"), pr), 0);
    EXPECT_EQ(readAll(p), hexBytes("82 A0 5C 7E 0D 0A"));
    EXPECT_TRUE(pr.asked.isEmpty());
    EXPECT_EQ(entries(dir.path()), QStringList{"out.txt"}); // no temporary left

    EXPECT_EQ(writeTextFileSafely(path("empty.txt"), QString(), pr), 0);
    EXPECT_TRUE(QFile::exists(path("empty.txt")));
    EXPECT_EQ(QFileInfo(path("empty.txt")).size(), 0);
}

TEST_F(FileIoTest, FileThatCannotBeReplacedKeepsItsContent)
{
    const QString busy = QStringLiteral("書き込みに失敗しました。[%1]は使用中です。");

    const QString ro = path("ro.txt");
    ASSERT_TRUE(writeAll(ro, "old"));
    makeReadOnly(ro);
    protectedPaths << ro;
    EXPECT_EQ(writeTextFileSafely(ro, "new", pr), -1);
    EXPECT_EQ(pr.lastText(), busy.arg(ro));
    EXPECT_EQ(pr.asked.last().message.buttons, Prompter::Buttons(Prompter::Ok));
    EXPECT_EQ(readAll(ro), "old");

    // The file is writable but its folder is not: it cannot be replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("locked"));
    const QString inLocked = path("locked/a.txt");
    ASSERT_TRUE(writeAll(inLocked, "old"));
    makeReadOnly(path("locked"));
    protectedPaths << path("locked");
    EXPECT_EQ(writeTextFileSafely(inLocked, "new", pr), -1);
    EXPECT_EQ(pr.lastText(),
              QStringLiteral("書き込みに失敗しました。[%1]のディレクトリは読取専用です。").arg(inLocked));
    EXPECT_EQ(readAll(inLocked), "old");
    EXPECT_EQ(entries(path("locked")), QStringList{"a.txt"});
}

TEST_F(FileIoTest, OtherFailuresAreReported)
{
    EXPECT_EQ(writeTextFileSafely(path("missing/out.txt"), "x", pr), -1);
    ASSERT_EQ(pr.asked.size(), 1);
    EXPECT_EQ(pr.lastText(), QStringLiteral("書き込みに失敗しました。パスが見つかりません。[")
                                 + path("missing/out.txt") + u']');
    EXPECT_FALSE(QFileInfo::exists(path("missing")));
}

TEST_F(FileIoTest, CancelledWriteLeavesOldFileAndNoMessage)
{
    const QString p = path("out.txt");
    ASSERT_TRUE(writeAll(p, "old"));
    int calls = 0;
    const Progress stop = [&](qint64, qint64) { ++calls; return false; };
    EXPECT_EQ(writeTextFileSafely(p, "new", pr, stop), -1);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(pr.asked.isEmpty());
    EXPECT_EQ(readAll(p), "old");
    EXPECT_EQ(entries(dir.path()), QStringList{"out.txt"});

    // A large text is written in pieces; stopping late still leaves the old file.
    calls = 0;
    const Progress stopThird = [&](qint64 done, qint64 total) {
        EXPECT_LT(done, total);
        return ++calls < 3;
    };
    EXPECT_EQ(writeTextFileSafely(p, QString(5 << 20, u'x'), pr, stopThird), -1);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(readAll(p), "old");
    EXPECT_EQ(entries(dir.path()), QStringList{"out.txt"});
}

TEST_F(FileIoTest, TrashOldMovesTheOldFileToTheTrash)
{
    // A data folder that does not exist yet: it must be created, not
    // replaced by a "files" folder in the current directory.
    const QByteArray savedData = qgetenv("XDG_DATA_HOME");
    const QString data = path("data");
    qputenv("XDG_DATA_HOME", data.toLocal8Bit());
    const QString p = path("book.txt");
    ASSERT_TRUE(writeAll(p, "old"));
    EXPECT_EQ(writeTextFileSafely(p, "new", pr, {}, true), 0);
    EXPECT_EQ(readAll(p), "new");
    EXPECT_EQ(readAll(data + "/Trash/files/book.txt"), "old");
    EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + "/files/book.txt"));

    // Nothing to trash: the write simply happens.
    EXPECT_EQ(writeTextFileSafely(path("fresh.txt"), "x", pr, {}, true), 0);
    EXPECT_EQ(readAll(path("fresh.txt")), "x");
    EXPECT_TRUE(pr.asked.isEmpty());
    if (savedData.isNull())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedData);
}

TEST_F(FileIoTest, ReadDecodesAndReportsUnreadableFiles)
{
    const QString p = path("in.txt");
    ASSERT_TRUE(writeAll(p, hexBytes("82 A0 0D 0A 5C")));
    QString text;
    EXPECT_EQ(readTextFileForImport(p, text, pr), 0);
    EXPECT_EQ(text, QStringLiteral("あ\r\n\\"));

    // An empty file is an empty text unless the format refuses it.
    ASSERT_TRUE(writeAll(path("empty.txt"), QByteArray()));
    text = "stale";
    EXPECT_EQ(readTextFileForImport(path("empty.txt"), text, pr), 0);
    EXPECT_EQ(text, "");
    EXPECT_TRUE(pr.asked.isEmpty());
    EXPECT_EQ(readTextFileForImport(path("empty.txt"), text, pr, true), -1);
    EXPECT_EQ(pr.lastText(), QStringLiteral("ファイルが読めません"));

    pr.clear();
    EXPECT_EQ(readTextFileForImport(path("missing.txt"), text, pr), -1);
    EXPECT_EQ(readTextFileForImport(dir.path(), text, pr), -1);
    EXPECT_EQ(pr.texts(), QStringList(2, QStringLiteral("ファイルが読めません")));
}

TEST_F(FileIoTest, ReadOfAFileWeMayNotOpenSaysInUse)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser can open any file";
    const QString p = path("locked.txt");
    ASSERT_TRUE(writeAll(p, "x"));
    QFile::setPermissions(p, QFile::WriteOwner);
    protectedPaths << p;
    QString text;
    EXPECT_EQ(readTextFileForImport(p, text, pr), -1);
    EXPECT_EQ(pr.lastText(), QStringLiteral("ファイルが使用中です"));
}
