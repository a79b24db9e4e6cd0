#include <QTemporaryDir>

#include "common/cp932.h"
#include "shell/dispatch.h"
#include "shell/filekind.h"
#include "shell/host.h"
#include "shell/settings.h"
#include "support/fakehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

TEST(FileKind, ByExtensionInAnyLetterCase)
{
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.ndb")), FileKindAddressBook);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.ND3")), FileKindAddressBook);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.nd0")), FileKindAddressBook);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.Nd9")), FileKindAddressBook);
    // Text order: "nd05" lies between "nd0" and "nd9", "nda" and "nd" do not.
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.nd05")), FileKindAddressBook);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.nda")), FileKindUnknown);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.nd")), FileKindUnknown);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.nd9x")), FileKindUnknown);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/list.CSV")), FileKindCsv);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/card.Vcf")), FileKindVCard);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address")), FileKindUnknown);
    EXPECT_EQ(fileKindOf(QStringLiteral("/a.ndb/Address")), FileKindUnknown); // dot in a folder
    EXPECT_EQ(fileKindOf(QStringLiteral("/a/Address.")), FileKindUnknown);
    EXPECT_EQ(fileKindOf(QString()), FileKindUnknown);
}

TEST(FileKind, TextFilesBySniffingTheirFirstBytes)
{
    QTemporaryDir dir;
    const auto kindOf = [&](const char *name, const QByteArray &bytes) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        writeAll(path, bytes);
        return fileKindOf(path);
    };
    EXPECT_EQ(kindOf("list.txt", "=====\r\nカウンタ"), FileKindListText);
    EXPECT_EQ(kindOf("list.TEXT", "======"), FileKindListText);
    EXPECT_EQ(kindOf("nick.txt", "alias taro taro@example.jp\r\n"), FileKindEudora);
    EXPECT_EQ(kindOf("nick2.txt", "ALIAS x y\r\n"), FileKindEudora);
    EXPECT_EQ(kindOf("note.Txt", "note taro <name:Taro>\r\n"), FileKindEudora);
    EXPECT_EQ(kindOf("notes.txt", "notes about\r\n"), FileKindUnknown);
    EXPECT_EQ(kindOf("other.txt", "hello world"), FileKindUnknown);
    EXPECT_EQ(kindOf("short.txt", "====="), FileKindUnknown); // shorter than 6 bytes
    EXPECT_EQ(kindOf("sjis.txt", cp932::encode(u"あいう")), FileKindUnknown);
    EXPECT_EQ(fileKindOf(dir.filePath(QStringLiteral("missing.txt"))), FileKindUnknown);
    // Only .txt and .text are sniffed.
    EXPECT_EQ(kindOf("list.dat", "=====\r\n"), FileKindUnknown);
    // Blank lines before the first nickname line are passed over, however
    // many a file has before its head ends.
    EXPECT_EQ(kindOf("blank.txt", QByteArray(3000, '\n') + "alias x y\r\n"), FileKindEudora);
}

TEST(FileKind, EudoraIsToldByItsFirstLineThatIsNotBlank)
{
    const struct {
        const char *head;
        int kind;
    } cases[] = {
        {"alias x y\r\n", FileKindEudora},
        {"\r\n\r\nalias x y\r\n", FileKindEudora},
        {"\n\nnote x <name:X>\n", FileKindEudora},
        {"  \t\r\n\rNOTE x\r\n", FileKindEudora},
        {"\r\n \r\n", FileKindUnknown},            // nothing but blank lines
        {"\r\n\r\nalias", FileKindUnknown},         // a nickname line needs six bytes
        {"\r\n  alias x y\r\n", FileKindUnknown},   // not at the start of its line
        {"\r\nhello\r\nalias x y\r\n", FileKindUnknown},
        {"\r\n======\r\n", FileKindUnknown},        // list text starts at the first byte
        {"======\r\n", FileKindListText},
    };
    for (const auto &c : cases)
        EXPECT_EQ(textFileKindOf(QByteArray(c.head)), c.kind) << QByteArray(c.head).toPercentEncoding().constData();
}

TEST(FileDialog, FiltersTitlesAndInitialName)
{
    const auto f0 = fileFiltersOf(FileKindAddressBook);
    ASSERT_EQ(f0.size(), 2);
    EXPECT_EQ(f0[0].caption, QStringLiteral("Address帳ﾌｧｲﾙ(*.ndb)"));
    EXPECT_EQ(f0[0].patterns, QStringList{QStringLiteral("*.nd?")});
    EXPECT_EQ(f0[1].caption, QStringLiteral("全てのﾌｧｲﾙ(*.*)"));
    EXPECT_EQ(f0[1].patterns, QStringList{QStringLiteral("*")});
    EXPECT_EQ(fileFiltersOf(FileKindEudora)[0].caption, QStringLiteral("Eudora形式ﾌｧｲﾙ(*.txt)"));
    EXPECT_EQ(fileFiltersOf(FileKindAll).size(), 1);
    EXPECT_EQ(fileFiltersOf(FileKindAll)[0].patterns, QStringList{QStringLiteral("*")});

    ScriptedPrompter prompter;
    prompter.answerFile(QStringLiteral("/data/new"), 0);
    EXPECT_EQ(chooseFile(prompter, FileDialogMode::Save, QStringLiteral("\"/data/Address.ndb\" junk"),
                         FileKindAddressBook),
              QStringLiteral("/data/new.ndb"));
    ASSERT_EQ(prompter.fileRequests.size(), 1);
    const Prompter::FileRequest &r = prompter.fileRequests[0];
    EXPECT_EQ(r.title, QStringLiteral("出力ﾌｧｲﾙの選択"));
    EXPECT_EQ(r.folder, QStringLiteral("/data/"));
    EXPECT_EQ(r.fileName, QStringLiteral("Address.ndb"));
    EXPECT_EQ(r.filterIndex, 0);
    EXPECT_EQ(r.filters.size(), 2);

    // Cancelled: "" and nothing appended. A folder as the initial name.
    EXPECT_EQ(chooseFile(prompter, FileDialogMode::Open, QStringLiteral("/home/u/"), FileKindCsv),
              QString());
    EXPECT_EQ(prompter.fileRequests[1].title, QStringLiteral("入力ﾌｧｲﾙの選択"));
    EXPECT_EQ(prompter.fileRequests[1].folder, QStringLiteral("/home/u/"));
    EXPECT_EQ(prompter.fileRequests[1].fileName, QString());
}

TEST(FileDialog, ReturnedNameRules)
{
    const int own = 0, all = 1;
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/book"), FileKindAddressBook, own),
              QStringLiteral("/d/book.ndb"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/book."), FileKindAddressBook, own),
              QStringLiteral("/d/book.ndb"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/book.ND7"), FileKindAddressBook, own),
              QStringLiteral("/d/book.ND7"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/book.ndx"), FileKindAddressBook, own),
              QStringLiteral("/d/book.ndx")); // "nd?" fits any third character
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/list.csv"), FileKindListText, own),
              QStringLiteral("/d/list.csv.txt"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/LIST.TXT"), FileKindListText, own),
              QStringLiteral("/d/LIST.TXT"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/list.text"), FileKindEudora, own),
              QStringLiteral("/d/list.text.txt"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/x"), FileKindCsv, own), QStringLiteral("/d/x.csv"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/x"), FileKindVCard, own), QStringLiteral("/d/x.vcf"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d.ndb/x"), FileKindAddressBook, own),
              QStringLiteral("/d.ndb/x.ndb"));
    // All files selected, or no kind of its own: as typed.
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/book"), FileKindAddressBook, all),
              QStringLiteral("/d/book"));
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/book"), FileKindAll, own), QStringLiteral("/d/book"));
    // Cut at the first NUL; nothing left stays nothing.
    EXPECT_EQ(finishChosenName(QStringLiteral("/d/a.csv") + QChar(0) + QStringLiteral("junk"),
                               FileKindCsv, own),
              QStringLiteral("/d/a.csv"));
    EXPECT_EQ(finishChosenName(QChar(0) + QStringLiteral("x"), FileKindCsv, own), QString());

    ScriptedPrompter prompter;
    prompter.answerFile(QStringLiteral("/r/report"), 0);
    prompter.answerFile(QStringLiteral("/r/report."), 0);
    prompter.answerFile(QStringLiteral("/r/REPORT.TXT"), 0);
    prompter.answerFile(QStringLiteral("/r/report"), 1);
    EXPECT_EQ(chooseTextFile(prompter, FileDialogMode::Save, QString()), QStringLiteral("/r/report.txt"));
    EXPECT_EQ(chooseTextFile(prompter, FileDialogMode::Save, QString()), QStringLiteral("/r/report.txt"));
    EXPECT_EQ(chooseTextFile(prompter, FileDialogMode::Save, QString()), QStringLiteral("/r/REPORT.TXT"));
    EXPECT_EQ(chooseTextFile(prompter, FileDialogMode::Open, QString()), QStringLiteral("/r/report"));
    EXPECT_EQ(chooseTextFile(prompter, FileDialogMode::Open, QString()), QString());
    EXPECT_EQ(prompter.fileRequests[0].filters[0].caption, QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt)"));

}

namespace {

QStringList captions(const QList<Prompter::FileFilter> &filters)
{
    QStringList out;
    for (const Prompter::FileFilter &f : filters)
        out << f.caption + u'|' + f.patterns.join(u';');
    return out;
}

} // namespace

TEST(FileDialog, VcardSaveDialogOffersVersion30)
{
    const auto f = saveFileFiltersOf(FileKindVCard);
    ASSERT_EQ(f.size(), 3);
    EXPECT_EQ(f[0].caption, QStringLiteral("vCard形式ﾌｧｲﾙ(*.vcf)"));
    EXPECT_EQ(f[VcardFormat30].caption, QStringLiteral("vCard 3.0 UTF-8 (*.vcf)"));
    EXPECT_EQ(f[VcardFormat30].patterns, QStringList{QStringLiteral("*.vcf")});
    EXPECT_EQ(f[2].patterns, QStringList{QStringLiteral("*")});
    // The open dialog and the other kinds keep their two filters.
    EXPECT_EQ(fileFiltersOf(FileKindVCard).size(), 2);
    EXPECT_EQ(captions(saveFileFiltersOf(FileKindCsv)), captions(fileFiltersOf(FileKindCsv)));

    // answer, filter -> path, format
    const struct {
        int kind;
        const char *answer;
        int filter;
        const char *path;
        int format;
    } cases[] = {
        {FileKindVCard, "/d/x", 0, "/d/x.vcf", 0},
        {FileKindVCard, "/d/x", VcardFormat30, "/d/x.vcf", VcardFormat30},
        {FileKindVCard, "/d/x.VCF", VcardFormat30, "/d/x.VCF", VcardFormat30},
        {FileKindVCard, "/d/x", 2, "/d/x", 0},
        {FileKindVCard, "", VcardFormat30, "", VcardFormat30},
        {FileKindCsv, "/d/x", 1, "/d/x", 0},
        {FileKindAll, "/d/x", 0, "/d/x", 0},
    };
    for (const auto &c : cases) {
        ScriptedPrompter prompter;
        prompter.answerFile(QString::fromUtf8(c.answer), c.filter);
        const SaveChoice choice = chooseSaveFile(prompter, QString(), c.kind);
        EXPECT_EQ(choice.path, QString::fromUtf8(c.path)) << c.answer << c.filter;
        EXPECT_EQ(choice.format, c.format) << c.answer << c.filter;
        ASSERT_EQ(prompter.fileRequests.size(), 1);
        EXPECT_EQ(captions(prompter.fileRequests[0].filters), captions(saveFileFiltersOf(c.kind)));
        EXPECT_EQ(prompter.fileRequests[0].title, QStringLiteral("出力ﾌｧｲﾙの選択"));
    }
}

namespace {

// A dispatch with fake formats: kind 0 reads two cards or fails, kind 2
// writes; the others have nothing yet.
struct DispatchFixture : ::testing::Test
{
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeHostProbe probe;
    Settings settings;
    FileFormats formats;
    int readerResult = 0;
    int writerResult = 0;
    QStringList calls;

    DispatchFixture()
    {
        formats.byKind[FileKindAddressBook].read = [this](const QString &path, AddressBook &book,
                                                          const FileIo &) {
            calls << QStringLiteral("read ") + path;
            book.cards.append(Card::newCard());
            book.cards.append(Card::newCard());
            return readerResult;
        };
        formats.byKind[FileKindCsv].write = [this](const QString &path, const AddressBook &,
                                                   const FileIo &) {
            calls << QStringLiteral("write ") + path;
            return writerResult;
        };
    }
    FileIo io() { return FileIo{prompter, settings, probe, {}, &formats}; }
    QString file(const char *name)
    {
        const QString p = dir.filePath(QString::fromLatin1(name));
        writeAll(p, "x");
        return p;
    }
};

} // namespace

TEST_F(DispatchFixture, ReadCountsCardsAndLeavesTheBookAloneOnFailure)
{
    AddressBook book;
    book.groupList() << QStringLiteral("kept");
    const AddressBook before = book;
    const QString path = file("Address.ndb");

    readerResult = -1;
    EXPECT_EQ(readFileByKind(path, FileKindAddressBook, book, io()), -1);
    EXPECT_EQ(book, before);

    readerResult = 0;
    EXPECT_EQ(readFileByKind(path, FileKindAddressBook, book, io()), 2);
    EXPECT_EQ(book.cardCount(), 3);
    EXPECT_TRUE(book.groupList().isEmpty()); // a fresh book, not added to the old one
    EXPECT_TRUE(prompter.asked.isEmpty());

    // Missing file, empty path.
    book = before;
    const QString missing = dir.filePath(QStringLiteral("none.ndb"));
    EXPECT_EQ(readFileByKind(missing, FileKindAddressBook, book, io()), -1);
    EXPECT_EQ(prompter.lastText(), u'[' + missing + QStringLiteral("]は存在しません"));
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::None);
    EXPECT_EQ(readFileByKind(QString(), FileKindAddressBook, book, io()), -1);
    EXPECT_EQ(prompter.asked.size(), 1);

    // A kind without a reader (not yet built, or unknown) fails, book unchanged.
    EXPECT_EQ(readFileByKind(file("a.csv"), FileKindCsv, book, io()), -1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("CSV形式の読み込みは未対応です。"));
    EXPECT_EQ(readFileByKind(file("a.xyz"), FileKindUnknown, book, io()), -1);
    EXPECT_EQ(readFileByKind(file("b.xyz"), 7, book, io()), -1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("この形式の読み込みは未対応です。"));
    EXPECT_EQ(book, before);
    EXPECT_EQ(calls.size(), 2);
}

TEST_F(DispatchFixture, GuardRefusesTheLiveBookBeforeAnyFileAccess)
{
    settings.homeFolder = dir.path() + u'/';
    probe.running = true;
    AddressBook book;
    const QString live = dir.filePath(QStringLiteral("ADDRESS.NDB"));
    EXPECT_EQ(readFileByKind(live, FileKindAddressBook, book, io()), -1); // missing, yet refused
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("Corvid")));
    EXPECT_EQ(writeFileByKind(dir.filePath(QStringLiteral("Address.nd4")), FileKindCsv, book, io()), -1);
    EXPECT_EQ(prompter.asked.size(), 2);
    EXPECT_TRUE(calls.isEmpty());

    // Another folder is free while Corvid runs.
    QTemporaryDir other;
    EXPECT_EQ(writeFileByKind(other.filePath(QStringLiteral("Address.ndb")), FileKindCsv, book, io()), 0);
    EXPECT_EQ(calls.size(), 1);
}

TEST_F(DispatchFixture, WritePassesOnTheWritersResult)
{
    const AddressBook book;
    const QString out = dir.filePath(QStringLiteral("out.csv"));
    EXPECT_EQ(writeFileByKind(out, FileKindCsv, book, io()), 0);
    writerResult = -1;
    EXPECT_EQ(writeFileByKind(out, FileKindCsv, book, io()), -1);
    writerResult = 5; // anything but 0 is a failure
    EXPECT_EQ(writeFileByKind(out, FileKindCsv, book, io()), -1);
    EXPECT_TRUE(prompter.asked.isEmpty());

    EXPECT_EQ(writeFileByKind(out, FileKindVCard, book, io()), -1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("VCard形式の書き出しは未対応です。"));
    EXPECT_EQ(writeFileByKind(out, 5, book, io()), -1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("この形式の書き出しは未対応です。"));
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(writeFileByKind(QString(), FileKindCsv, book, io()), -1);
    EXPECT_EQ(calls.size(), 3);
}

TEST(BuiltInFormats, AddressBookListTextAndCsvGoThroughTheTable)
{
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    FakeHostProbe probe;
    Settings settings;
    const FileIo io{prompter, settings, probe};
    AddressBook book;
    book.groupList() << QStringLiteral("g");
    Card c = Card::newCard();
    c.number = 1;
    c.ids << QStringLiteral("a@example.jp");
    c.groups << QStringLiteral("g");
    book.cards << c;
    book.cardCounter = 2;

    for (const int kind : {int(FileKindAddressBook), int(FileKindListText), int(FileKindCsv)}) {
        const QString path = dir.filePath(kind == 0   ? QStringLiteral("b.ndb")
                                          : kind == 1 ? QStringLiteral("b.txt")
                                                      : QStringLiteral("b.csv"));
        ASSERT_EQ(writeFileByKind(path, kind, book, io), 0) << prompter.lastText().toStdString();
        EXPECT_EQ(fileKindOf(path), kind);
        AddressBook back;
        EXPECT_EQ(readFileByKind(path, kind, back, io), 1);
        EXPECT_EQ(back.cards[1].ids, c.ids);
        EXPECT_EQ(back.groupList(), book.groupList());
    }
    EXPECT_TRUE(prompter.asked.isEmpty());
}
