// Reading never waits on the file system and never takes memory without
// bound: FIFOs and devices in the place of any file Brindle reads, files
// beyond their cap, and running out of memory while reading.

#include <QDir>
#include <QtEndian>
#include <QTemporaryDir>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "common/boundedread.h"
#include "common/paths.h"
#include "common/readbudget.h"
#include "core/ndbfile.h"
#include "formats/fileprocs.h"
#include "document/addressdocument.h"
#include "shell/dispatch.h"
#include "shell/filekind.h"
#include "shell/host.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/winehost.h"
#include "support/generator.h"
#include "support/isolated.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

struct NobodyRuns : HostProbe
{
    bool clientRunning() const override { return false; }
};

// The special files that can stand where a file is expected: each maker
// returns "" or why it cannot be made here.
struct Special {
    const char *name;
    std::function<QString(const QByteArray &path)> make;
};
const QList<Special> &specials()
{
    static const auto link = [](const char *target) {
        return [target](const QByteArray &p) {
            return ::symlink(target, p.constData()) == 0 ? QString() : u"symlink failed"_qs;
        };
    };
    static const QList<Special> list = {
        {"FIFO", [](const QByteArray &p) {
             return ::mkfifo(p.constData(), 0600) == 0 ? QString() : u"mkfifo failed"_qs;
         }},
        {"link to /dev/zero", link("/dev/zero")},
        {"link to /dev/null", link("/dev/null")},
        {"character device made with mknod", [](const QByteArray &p) {
             // The device of /dev/zero under another name.
             return ::mknod(p.constData(), S_IFCHR | 0600, makedev(1, 5)) == 0
                 ? QString() : u"mknod needs the superuser"_qs;
         }},
    };
    return list;
}

// Runs body in a child limited to timeoutSeconds whose resident memory may
// grow by at most memory; a body that hangs, aborts or takes more fails the
// test with the reason. (Its address space is capped at four times that, so
// that a runaway read cannot take the machine's memory.)
void expectIsolated(const std::function<bool()> &body, const std::string &what,
                    qint64 memory = 256 * MiB, int timeoutSeconds = 10)
{
    const IsolatedRun r =
        runIsolated([&] { return body() ? 0 : 1; }, timeoutSeconds, 4 * memory, memory);
    if (r.timedOut())
        ADD_FAILURE() << what << ": still waiting after " << timeoutSeconds << " s";
    else if (!r.exited)
        ADD_FAILURE() << what << ": ended by signal " << r.signal << " (" << strsignal(r.signal)
                      << ")";
    else if (r.exitCode == IsolatedException)
        ADD_FAILURE() << what << ": threw an exception";
    else if (r.exitCode == IsolatedTooMuchMemory)
        ADD_FAILURE() << what << ": took more than " << memory / MiB << " MiB";
    else
        EXPECT_EQ(r.exitCode, 0) << what << ": wrong result";
}

// A sparse file of the given length: no space used on the disk.
bool makeSparse(const QString &path, qint64 length)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.resize(length);
}

} // namespace

TEST(BoundedRead, RegularFilesUpToTheCap)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("f.bin"));
    const QByteArray content(1000, 'x');
    ASSERT_TRUE(writeAll(file, content));

    struct Case { qint64 cap; ReadFault fault; };
    for (const Case c : {Case{1000, ReadFault::None}, Case{5000, ReadFault::None},
                         Case{999, ReadFault::TooLarge}, Case{0, ReadFault::TooLarge}}) {
        QByteArray out("old");
        EXPECT_EQ(readRegularFile(file, c.cap, out), c.fault) << c.cap;
        EXPECT_EQ(out, c.fault == ReadFault::None ? content : QByteArray()) << c.cap;
    }
    QByteArray out;
    EXPECT_EQ(readRegularFileHead(file, 6, out), ReadFault::None);
    EXPECT_EQ(out, "xxxxxx");
    EXPECT_EQ(readRegularFileHead(file, 5000, out), ReadFault::None);
    EXPECT_EQ(out, content);

    EXPECT_EQ(readRegularFile(dir.filePath(QStringLiteral("none")), 10, out), ReadFault::NotFound);
    EXPECT_EQ(readRegularFile(file + QStringLiteral("/below"), 10, out), ReadFault::NotFound);
    EXPECT_EQ(readRegularFile(QString(), 10, out), ReadFault::NotFound);
    EXPECT_EQ(readRegularFile(dir.path(), 10, out), ReadFault::NotRegular);
}

TEST(BoundedRead, FileWithoutReadPermissionIsUnreadable)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("f.bin"));
    ASSERT_TRUE(writeAll(file, "x"));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::WriteOwner));
    if (::access(QFile::encodeName(file).constData(), R_OK) == 0)
        GTEST_SKIP() << "permissions are not enforced for the superuser";
    QByteArray out;
    EXPECT_EQ(readRegularFile(file, 5000, out), ReadFault::Unreadable);
}

TEST(BoundedRead, DescriptorsAreReadToTheirEndWithinTheCap)
{
    for (const qint64 cap : {10, 9}) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        ASSERT_EQ(::write(fds[1], "0123456789", 10), 10);
        ::close(fds[1]);
        QByteArray out;
        EXPECT_EQ(readWholeDescriptor(fds[0], cap, out), cap == 10 ? ReadFault::None : ReadFault::TooLarge);
        EXPECT_EQ(out, cap == 10 ? QByteArray("0123456789") : QByteArray());
        ::close(fds[0]);
    }
}

// Every reader of the program, each with the file name it reads, refuses a
// FIFO or device in its place at once and as it refuses an unreadable file.
TEST(ReadSafety, EveryReaderRefusesSpecialFilesAtOnce)
{
    struct Reader {
        const char *what;
        const char *name; // the entry the reader looks at
        std::function<bool(const QString &dir, const QString &file)> refuses;
    };
    const QList<Reader> readers = {
        {"kind of a .txt file", "x.txt",
         [](const QString &, const QString &f) { return fileKindOf(f) == FileKindUnknown; }},
        {"settings file", "Brindle.ini",
         [](const QString &, const QString &f) {
             Settings s;
             return !readSettingsFile(f, s);
         }},
        {"global.dat", "global.dat",
         [](const QString &d, const QString &) {
             HostGlobalInfo info;
             return readGlobalDat(d, info, WineHost(d)) == -1;
         }},
        {"system.reg", "system.reg",
         [](const QString &d, const QString &) {
             return WineHost(d).classesRootValue(QStringLiteral("Corvid.Application\\Clsid")).isEmpty();
         }},
        {"text file", "report.txt",
         [](const QString &, const QString &f) { return readTextFile(f, u"-"_qs) == u"-"_qs; }},
        {"address book", "Address.ndb",
         [](const QString &, const QString &f) {
             ScriptedPrompter p;
             AddressBook book;
             return readNdbFile(f, book, p) == -1 && p.texts() == QStringList{u"ファイルが読めません"_qs};
         }},
        {"text import", "cards.csv",
         [](const QString &, const QString &f) {
             ScriptedPrompter p;
             QString text;
             return readTextFileForImport(f, text, p) == -1
                 && p.texts() == QStringList{u"ファイルが読めません"_qs};
         }},
    };
    for (const Special &s : specials()) {
        for (const Reader &r : readers) {
            QTemporaryDir dir;
            const QString file = dir.filePath(QString::fromLatin1(r.name));
            if (const QString why = s.make(QFile::encodeName(file)); !why.isEmpty()) {
                std::printf("[  SKIPPED ] %s: %s\n", s.name, qPrintable(why));
                break;
            }
            expectIsolated([&] { return r.refuses(dir.path(), file); },
                           std::string(r.what) + " as " + s.name);
        }
    }
}

// The settings file keeps to its own cap.
TEST(ReadSafety, SettingsFileBeyondItsCapIsNotRead)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("Brindle.ini"));
    QByteArray text = "[Settings]\r\nTrashFlg=1\r\n";
    ASSERT_TRUE(writeAll(ini, text));
    Settings s;
    EXPECT_TRUE(readSettingsFile(ini, s));
    text.append(QByteArray(MaxSettingsFileSize, ' '));
    ASSERT_TRUE(writeAll(ini, text));
    EXPECT_FALSE(readSettingsFile(ini, s));
}

// A header declaring count cards, then count empty card records.
QByteArray emptyCardsImage(qint32 count)
{
    QByteArray image(8 + qsizetype(count) * 6, '\0');
    image[0] = 0x35;
    image[1] = 0x12;
    qToLittleEndian<qint32>(count, image.data() + 4);
    return image;
}

// 10 million empty cards in 60 MB: refused as damaged at the card count,
// at once, before memory is taken for the cards. 65,536 cards, the system
// card included, is the most there can be.
TEST(ReadSafety, CardCountBeyondTheCardNumbersIsDamaged)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Address.ndb"));
    ASSERT_TRUE(writeAll(file, emptyCardsImage(10'000'000)));
    expectIsolated([&] {
        ScriptedPrompter p;
        AddressBook book;
        return readNdbFile(file, book, p) == -1
            && p.texts() == QStringList{u"ファイルが壊れています(位置: 4)"_qs};
    }, "10 million cards", 4 * QFileInfo(file).size() + 64 * MiB, 5);

    for (const qint32 count : {65536, 65537}) {
        ScriptedPrompter p;
        AddressBook book;
        EXPECT_EQ(parseNdbImage(emptyCardsImage(count), book, p), count <= 65536 ? 0 : -1);
        EXPECT_EQ(book.cardCount(), count <= 65536 ? count : AddressBook().cardCount());
    }
}

// Text files above 1 GiB are refused before they are read, whatever their
// kind, with a message that says why.
TEST(ReadSafety, FilesAboveOneGiBAreRefusedBeforeReading)
{
    QTemporaryDir dir;
    struct Case { const char *name; int kind; };
    for (const Case c : {Case{"big.csv", FileKindCsv}, Case{"big.vcf", FileKindVCard},
                         Case{"list.txt", FileKindListText}, Case{"nick.txt", FileKindEudora},
                         Case{"big.ndb", FileKindAddressBook}}) {
        const QString file = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_TRUE(makeSparse(file, 2 * GiB));
        expectIsolated([&] {
            ScriptedPrompter p;
            Settings settings;
            NobodyRuns probe;
            FileIo io{p, settings, probe};
            AddressBook book = AddressBook::newBook();
            return readFileByKind(file, c.kind, book, io) == -1
                && p.texts() == QStringList{fileTooLargeMessage(GiB)}
                && book == AddressBook::newBook();
        }, c.name, 64 * MiB);
        QFile::remove(file);
    }
    EXPECT_EQ(fileTooLargeMessage(GiB), u"ファイルが大きすぎるため読み込めません(上限 1 GB)"_qs);
}

// An address book of n cards, each with one list of entries texts of
// textBytes digits: its cards take several times the file's size in memory.
QByteArray manyEntriesImage(int cards, int entries, int textBytes = 10)
{
    QByteArray image("\x35\x12\x01\x00", 4);
    image.reserve(8 + qsizetype(cards + 1) * (15 + qsizetype(entries) * (5 + textBytes)));
    const auto i32 = [&](qint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        image.append(b, 4);
    };
    i32(cards + 1);
    image.append(QByteArray::fromHex("0000" "02000000" "020000000000000000" "020100000000000000"));
    for (int c = 1; c <= cards; ++c) {
        image.append(char(c & 0xff)).append(char(c >> 8 & 0xff));
        i32(1);
        image.append('\x02');
        i32(0);
        i32(entries);
        for (int e = 0; e < entries; ++e) {
            i32(textBytes + 1);
            image.append(QByteArray::number(e).rightJustified(textBytes, '0', true)).append('\0');
        }
    }
    return image;
}

// Reading a file takes at most four times its size and 64 MiB: ordinary
// books in every format, and files of one endless line.
TEST(ReadMemory, FilesFitInFourTimesTheirSizeAnd64MiB)
{
    if (UnderAddressSanitizer)
        GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine: resident memory is "
                        "not the program's";
    QTemporaryDir dir;
    struct File { QString name; int kind; };
    QList<File> files = {{u"book.ndb"_qs, FileKindAddressBook}, {u"book.csv"_qs, FileKindCsv},
                         {u"book.vcf"_qs, FileKindVCard}, {u"list.txt"_qs, FileKindListText},
                         {u"nick.txt"_qs, FileKindEudora}};
    // Written by a child, so that the test's own heap stays as it was.
    const IsolatedRun written = runIsolated([&] {
        GeneratorOptions options;
        options.cards = 4000;
        const AddressBook book = generateBook(options);
        ScriptedPrompter p;
        Settings settings;
        NobodyRuns probe;
        const FileIo io{p, settings, probe};
        for (const File &f : files)
            if (writeFileByKind(dir.filePath(f.name), f.kind, book, io) != 0)
                return 1;
        return 0;
    }, 60);
    ASSERT_TRUE(written.exited && written.exitCode == 0);

    const QByteArray line(32 * MiB, 'a');
    const QList<QPair<QString, QByteArray>> endless = {
        {u"line.csv"_qs, line},
        {u"line2.csv"_qs, "ID\r\n" + line + "\r\n"},
        {u"line.vcf"_qs, "BEGIN:VCARD\r\nNOTE:" + line + "\r\nEND:VCARD\r\n"},
        {u"line.txt"_qs, "=====\r\nMemo:" + line + "\r\n"},
        {u"line2.txt"_qs, "alias x " + line + "\r\n"},
    };
    for (const auto &[name, bytes] : endless) {
        ASSERT_TRUE(writeAll(dir.filePath(name), bytes));
        files.append({name, fileKindOf(dir.filePath(name))});
    }
    for (const File &f : files) {
        const QString path = dir.filePath(f.name);
        const qint64 size = QFileInfo(path).size();
        expectIsolated([&] {
            ScriptedPrompter p;
            Settings settings;
            NobodyRuns probe;
            AddressBook book;
            return readFileByKind(path, f.kind, book, FileIo{p, settings, probe}) >= 0;
        }, f.name.toStdString(), 4 * size + 64 * MiB, 60);
    }
}

// An address book of millions of tiny texts would take far more memory
// than its size: refused as soon as that shows, within the same bound.
TEST(ReadMemory, BookOfMillionsOfTinyTextsIsRefused)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Address.ndb"));
    const QByteArray image = manyEntriesImage(3000, 1000, 2);
    ASSERT_TRUE(writeAll(file, image));
    if (UnderAddressSanitizer)
        GTEST_SKIP() << "address-space caps cannot be tested under AddressSanitizer";
    expectIsolated([&] {
        ScriptedPrompter p;
        AddressBook book;
        return readNdbFile(file, book, p) == -1 && p.texts() == QStringList{outOfMemoryMessage()};
    }, "3 million two-byte texts", 4 * image.size() + 64 * MiB, 30);

    // The same texts a little fewer are read.
    const QByteArray fewer = manyEntriesImage(300, 1000, 2);
    ScriptedPrompter p;
    AddressBook book;
    EXPECT_EQ(parseNdbImage(fewer, book, p), 0);
    EXPECT_EQ(book.cards.last().ids.size(), 1000);
}

// Text files of millions of tiny values (one record of millions of columns,
// one nickname of millions of addresses, millions of lines of one card)
// would need many times their size once every value is stored. Each read
// stays within four times the file's size plus 64 MiB: the read ends with
// its own message before the memory is taken, and the book stays as it was.
TEST(ReadMemory, TextFilesOfMillionsOfTinyValuesAreRefused)
{
    QTemporaryDir dir;
    const qsizetype n = 24 * MiB; // bytes of values per file
    const auto repeated = [](const QByteArray &unit, qsizetype bytes) {
        return unit.repeated(bytes / unit.size());
    };
    const QByteArray colon = QByteArray("\x81\x46"); // "："
    const struct
    {
        const char *name;
        QByteArray bytes;
    } files[] = {
        {"columns.csv", repeated("ID,", n) + "ID\r\n" + repeated("a,", n / 3 * 2) + "a\r\n"},
        {"addresses.txt", "alias x " + repeated("a,", n) + "\r\n"},
        {"aliases.txt", repeated("alias a b\r\n", n)},
        {"emails.vcf", "BEGIN:VCARD\r\n" + repeated("EMAIL:a\r\n", n) + "END:VCARD\r\n"},
        {"ids.txt", "=====\r\n[000001]-----\r\n" + repeated("ID" + colon + "a\r\n", n)},
    };
    if (UnderAddressSanitizer)
        GTEST_SKIP() << "memory bounds cannot be tested under AddressSanitizer";
    for (const auto &f : files) {
        const QString path = dir.filePath(QString::fromLatin1(f.name));
        ASSERT_TRUE(writeAll(path, f.bytes));
        const qint64 size = f.bytes.size();
        expectIsolated([&] {
            ScriptedPrompter p;
            Settings settings;
            NobodyRuns probe;
            AddressBook book = AddressBook::newBook();
            book.groupList() << u"kept"_qs;
            const AddressBook before = book;
            return readFileByKind(path, fileKindOf(path), book, FileIo{p, settings, probe}) == -1
                && p.texts() == QStringList{tooManyValuesMessage()} && book == before;
        }, f.name, 4 * size + 64 * MiB, 60);
    }
}

// Running out of memory while reading is a message; the book stays.
TEST(ReadSafety, RunningOutOfMemoryIsAMessageAndTheBookStays)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.csv"));
    ASSERT_TRUE(writeAll(file, "x"));
    ScriptedPrompter p;
    Settings settings;
    NobodyRuns probe;
    FileFormats formats;
    formats.byKind[FileKindCsv].read = [](const QString &, AddressBook &book, const FileIo &) {
        book.cards.append(Card::newCard());
        throw std::bad_alloc();
        return 0;
    };
    FileIo io{p, settings, probe, {}, &formats};
    AddressBook book = AddressBook::newBook();
    book.groupList() << u"kept"_qs;
    const AddressBook before = book;
    EXPECT_EQ(readFileByKind(file, FileKindCsv, book, io), -1);
    EXPECT_EQ(p.texts(), QStringList{outOfMemoryMessage()});
    EXPECT_EQ(book, before);

    // A real read that does not fit in memory.
    if (UnderAddressSanitizer)
        GTEST_SKIP() << "address-space caps cannot be tested under AddressSanitizer";
    const QString ndb = dir.filePath(QStringLiteral("Address.ndb"));
    ASSERT_TRUE(writeAll(ndb, manyEntriesImage(1000, 1000)));
    const IsolatedRun r = runIsolated([&] {
        ScriptedPrompter q;
        AddressBook read = before;
        return readNdbFile(ndb, read, q) == -1 && q.texts() == QStringList{outOfMemoryMessage()}
                && read == before ? 0 : 1;
    }, 10, QFileInfo(ndb).size() * 2);
    EXPECT_TRUE(r.exited && r.exitCode == 0) << r.exitCode << " " << r.signal;
}

// Appending in the window: a failure half way through leaves the open book.
TEST(ReadSafety, AppendThatRunsOutOfMemoryLeavesTheOpenBook)
{
    QTemporaryDir dir;
    ScriptedPrompter p;
    GeneratorOptions options;
    options.cards = 20;
    options.badCards = false;
    const QString file = dir.filePath(QStringLiteral("more.ndb"));
    ASSERT_EQ(writeNdbFile(file, generateBook(options), p), 0);

    ShellSession shell(dir.path(), WineHost(dir.filePath(QStringLiteral("no-prefix"))));
    AddressDocument session(shell, p);
    AddressBook open = AddressBook::newBook();
    open.cards.append(Card::newCard());
    open.cards.last().number = 1;
    open.cards.last().ids << u"someone@example.jp"_qs;
    open.cardCounter = 2;
    const QString openFile = dir.filePath(QStringLiteral("open.ndb"));
    ASSERT_EQ(writeNdbFile(openFile, open, p), 0);
    ASSERT_EQ(session.open(openFile, FileKindAddressBook, false), 0);
    const AddressBook before = session.book();
    bool appending = false;
    int cardsAdded = 0;
    session.showStatus = [&](const QString &text) {
        appending = text == u"ｶｰﾄﾞを追加しています。"_qs;
    };
    session.progress = [&](qint64, qint64) {
        if (appending && ++cardsAdded > 5)
            throw std::bad_alloc();
        return true;
    };
    EXPECT_EQ(session.open(file, FileKindAddressBook, true), -1);
    EXPECT_EQ(p.lastText(), outOfMemoryMessage());
    EXPECT_EQ(session.book(), before);
    EXPECT_FALSE(session.isModified());
    EXPECT_EQ(session.history().count(), 0);
}

// The budget in force is the innermost; without one nothing is limited,
// and a value that passes the limit ends the read.
TEST(ReadBudget, ChargesTheInnermostBudgetAndThrowsPastItsLimit)
{
    EXPECT_NO_THROW(ReadBudget::chargeBytes(qint64(1) << 40)); // no budget in force
    ReadBudget outer(0);
    EXPECT_EQ(outer.limit(), ReadBudget::BaseBytes);
    {
        ReadBudget inner(MiB);
        ReadBudget::chargeValue(100);
        EXPECT_EQ(inner.used(), ReadBudget::ValueOverhead + 200);
        EXPECT_EQ(outer.used(), 0);
        EXPECT_THROW(ReadBudget::chargeValues(1, inner.limit() / 2), ReadBudgetExceeded);
    }
    ReadBudget::chargeBytes(ReadBudget::BaseBytes);
    EXPECT_EQ(outer.used(), ReadBudget::BaseBytes);
    try {
        ReadBudget::chargeBytes(1);
        ADD_FAILURE() << "no exception past the limit";
    } catch (const std::bad_alloc &) {
        // What survives a failed allocation survives this too.
    }
}
