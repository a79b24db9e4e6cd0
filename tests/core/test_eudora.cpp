#include <QTemporaryDir>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/eudora.h"
#include "formats/vcard.h"
#include "shell/dispatch.h"
#include "shell/host.h"
#include "shell/settings.h"
#include "support/fakehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString Cr = QStringLiteral("\r\n");
const QChar Sep = EudoraLineSeparator;

DateValue dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

DateValue importTime()
{
    return dt(2024, 5, 1, 12, 0, 0);
}

EudoraWriteOptions writeOptions(int mode, bool lostMemo = true)
{
    EudoraWriteOptions o;
    o.mode = mode;
    o.lostMemoFlag = lostMemo;
    o.niftyDomain = QStringLiteral("@nifty.example");
    return o;
}

AddressBook parse(const QString &text)
{
    AddressBook book;
    EudoraReadOptions o;
    o.now = importTime();
    EXPECT_EQ(parseEudoraText(text, book, o), 0);
    return book;
}

QStringList lines(const QString &text)
{
    QStringList l = text.split(Cr);
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

// The card of the edge cases: a short name and the full one, an address
// and a bare service ID.
Card twoIdCard()
{
    Card c = Card::newCard();
    c.names = {QStringLiteral("Taro"), QStringLiteral("山田 太郎")};
    c.ids = {QStringLiteral("taro@example.jp"), QStringLiteral("ABC01234")};
    return c;
}

} // namespace

// ---------------------------------------------------------------------------
// Writing

TEST(EudoraWrite, ModesDecideTheAliasLine)
{
    const Card c = twoIdCard();
    QStringList l = lines(eudoraCardText(c, writeOptions(EudoraFirstIdOnly)));
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l[0], "alias \"Taro\" taro@example.jp");
    EXPECT_EQ(l[1], QStringLiteral("note \"Taro\" <name:山田 太郎>") + EudoraOtherItemsHeader + Sep
                        + QStringLiteral("ID：ABC01234@nifty.example"));

    l = lines(eudoraCardText(c, writeOptions(EudoraAllIds)));
    EXPECT_EQ(l[0], "alias \"Taro\" taro@example.jp,ABC01234@nifty.example");
    EXPECT_EQ(l[1], QStringLiteral("note \"Taro\" <name:山田 太郎>"));

    // The domain setting may come without its "@".
    EudoraWriteOptions bare = writeOptions(EudoraAllIds);
    bare.niftyDomain = QStringLiteral("nifty.com");
    EXPECT_TRUE(eudoraCardText(c, bare).startsWith("alias \"Taro\" taro@example.jp,ABC01234@nifty.com\r\n"));

    // With the option off the other IDs are not written anywhere.
    l = lines(eudoraCardText(c, writeOptions(EudoraFirstIdOnly, false)));
    EXPECT_EQ(l[1], QStringLiteral("note \"Taro\" <name:山田 太郎>"));

    // No IDs: the alias line ends after the nickname and its space.
    Card none = Card::newCard();
    none.names = {QStringLiteral("Solo")};
    EXPECT_EQ(eudoraCardText(none, writeOptions(EudoraAllIds)),
              "alias \"Solo\" \r\nnote \"Solo\" <name:Solo>\r\n");
}

TEST(EudoraWrite, Nicknames)
{
    EXPECT_EQ(eudoraNickname(u"Plain Name"), "\"Plain Name\"");
    EXPECT_EQ(eudoraNickname(u"say \"hi\""), "\"say 'hi'\"");
    EXPECT_EQ(eudoraNickname(u"\"\"quoted\"\""), "\"quoted\"");
    EXPECT_EQ(eudoraNickname(u"\"a\"b\""), "\"a'b\"");
    // A name that is one double quote has no enclosing pair.
    EXPECT_EQ(eudoraNickname(u"\""), "\"'\"");
    EXPECT_EQ(eudoraNickname(u"\"\""), "\"\"");
    EXPECT_EQ(eudoraNickname(u"\"\"\""), "\"'\"");
    EXPECT_EQ(eudoraNickname(u"two\r\nlines"), "\"two lines\"");
}

TEST(EudoraWrite, NoteText)
{
    Card c = Card::newCard();
    c.names = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C\"1"),
               QStringLiteral("D")};
    c.postalCode = QStringLiteral("100-0001");
    c.address = QStringLiteral("Tokyo\r\nChiyoda");
    c.telephone = QStringLiteral("03-1");
    c.fax = QStringLiteral("03-2");
    c.memo = QStringLiteral("line1\r\nline2\nline3\r\n");
    c.mobile = QStringLiteral("090");
    c.pager = QStringLiteral("020");
    c.birthday = dt(1970, 2, 3);
    c.groups = {QStringLiteral("G1"), QStringLiteral("G2")};
    const QString text = eudoraCardText(c, writeOptions(EudoraAllIds));
    const QStringList l = lines(text);
    ASSERT_EQ(l.size(), 2); // no line break inside the note line
    const QStringList items = {EudoraOtherItemsHeader,
                               QStringLiteral("名前：\"C\"1\",\"D\""),
                               QStringLiteral("携帯：090"),
                               QStringLiteral("ポケベル：020"),
                               QStringLiteral("誕生日：1970/02/03"),
                               QStringLiteral("グループ：\"G1\",\"G2\"")};
    EXPECT_EQ(l[1], QStringLiteral("note \"A\" <name:B><address:100-0001 Tokyo Chiyoda>"
                                   "<phone:03-1><fax:03-2>line1")
                        + Sep + "line2" + Sep + "line3" + Sep + Sep + items.join(Sep));

    // Without a memo no separator comes before the header; option off: none.
    c.memo.clear();
    EXPECT_TRUE(lines(eudoraCardText(c, writeOptions(EudoraAllIds)))[1].endsWith(
        QStringLiteral("<fax:03-2>") + items.join(Sep)));
    EXPECT_TRUE(lines(eudoraCardText(c, writeOptions(EudoraAllIds, false)))[1].endsWith(
        QStringLiteral("<fax:03-2>")));

    // Only an address or only a postal code: no space.
    Card a = Card::newCard();
    a.names = {QStringLiteral("X")};
    a.address = QStringLiteral("Osaka");
    EXPECT_TRUE(eudoraCardText(a, writeOptions(1)).contains("<address:Osaka>"));
    a.address.clear();
    a.postalCode = QStringLiteral("530");
    EXPECT_TRUE(eudoraCardText(a, writeOptions(1)).contains("<address:530>"));
}

TEST(EudoraWrite, WholeBook)
{
    AddressBook book = AddressBook::newBook();
    Card nameless = Card::newCard();
    nameless.ids = {QStringLiteral("nobody@x")};
    book.cards.append(nameless);
    book.cards.append(twoIdCard());
    Card second = Card::newCard();
    second.names = {QStringLiteral("Bob")};
    book.cards.append(second);

    const QString text = eudoraFileText(book, writeOptions(EudoraAllIds));
    EXPECT_FALSE(text.contains("nobody"));
    const QStringList l = lines(text);
    ASSERT_EQ(l.size(), 4);
    EXPECT_TRUE(l[0].startsWith("alias \"Taro\""));
    EXPECT_TRUE(l[2].startsWith("alias \"Bob\""));
    EXPECT_TRUE(text.endsWith(Cr));

    // Cancelled while building: nothing.
    for (int i = 0; i < 200; ++i)
        book.cards.append(twoIdCard());
    bool cancelled = false;
    EXPECT_TRUE(eudoraFileText(book, writeOptions(1), [](qint64, qint64) { return false; },
                               &cancelled)
                    .isEmpty());
    EXPECT_TRUE(cancelled);
}

TEST(EudoraWrite, DialogTexts)
{
    const EudoraPutTexts &t = eudoraPutTexts();
    EXPECT_EQ(t.options.size(), 2);
    EXPECT_EQ(t.defaultMode, EudoraAllIds);
    EXPECT_EQ(t.ok, "OK");
    EXPECT_EQ(eudoraModeFromSelection(0), EudoraFirstIdOnly);
    EXPECT_EQ(eudoraModeFromSelection(1), EudoraAllIds);
    EXPECT_EQ(eudoraModeFromSelection(-1), EudoraAllIds); // nothing selected
}

// ---------------------------------------------------------------------------
// Reading

TEST(EudoraRead, OwnOutputReadsBack)
{
    AddressBook book = AddressBook::newBook();
    Card z = twoIdCard();
    z.names = {QStringLiteral("zed"), QStringLiteral("Zed Full"), QStringLiteral("Third")};
    z.address = QStringLiteral("Tokyo");
    z.postalCode = QStringLiteral("100");
    z.telephone = QStringLiteral("03");
    z.fax = QStringLiteral("04");
    z.memo = QStringLiteral("m1\r\nm2");
    z.mobile = QStringLiteral("090");
    book.cards.append(z);
    Card a = Card::newCard();
    a.names = {QStringLiteral("Alice")};
    a.ids = {QStringLiteral("alice@x")};
    book.cards.append(a);
    Card m = Card::newCard();
    m.names = {QStringLiteral("Mike")};
    book.cards.append(m);

    const AddressBook back = parse(eudoraFileText(book, writeOptions(EudoraAllIds)));
    ASSERT_EQ(back.cardCount(), 4);
    // Ordered by nickname, ignoring case.
    EXPECT_EQ(back.cards[1].names, QStringList{"Alice"});
    EXPECT_EQ(back.cards[1].ids, QStringList{"alice@x"});
    EXPECT_TRUE(back.cards[1].memo.isEmpty());
    EXPECT_EQ(back.cards[2].names, QStringList{"Mike"});
    EXPECT_TRUE(back.cards[2].ids.isEmpty());
    const Card &c = back.cards[3];
    EXPECT_EQ(c.names, (QStringList{"zed", "Zed Full"}));
    EXPECT_EQ(c.ids, (QStringList{"taro@example.jp", "ABC01234@nifty.example"}));
    EXPECT_EQ(c.address, "100 Tokyo"); // the postal code stays in the address
    EXPECT_TRUE(c.postalCode.isEmpty());
    EXPECT_EQ(c.telephone, "03");
    EXPECT_EQ(c.fax, "04");
    EXPECT_EQ(c.memo, QStringLiteral("m1\r\nm2\r\n") + EudoraOtherItemsHeader
                          + QStringLiteral("\r\n名前：\"Third\"\r\n携帯：090"));
    EXPECT_EQ(c.number, 3);
    EXPECT_EQ(c.created, importTime());
    EXPECT_EQ(c.updated, importTime());
    EXPECT_EQ(back.cardCounter, 4);
}

TEST(EudoraRead, RecordsAndNicknames)
{
    const AddressBook b = parse(
        "note bob <name:Robert>memo\r\n"      // before its alias
        "ALIAS bob bob@x\r\n"
        "Alias \"Ann Lee\" ann@x\r\n"          // quoted nickname with a space
        "NOTE \"Ann Lee\" <phone:1>\r\n"
        "aliasx nope@x\r\n"                    // not a keyword
        "alias \"unterminated x@y\r\n"         // no closing quote: skipped
        "   \r\n"
        "alias    carl   carl@x  \r\n"          // spaces before the nickname
        "# comment\r\n");
    ASSERT_EQ(b.cardCount(), 4);
    EXPECT_EQ(b.cards[1].names, QStringList{"Ann Lee"});
    EXPECT_EQ(b.cards[1].ids, QStringList{"ann@x"});
    EXPECT_EQ(b.cards[1].telephone, "1");
    EXPECT_EQ(b.cards[2].names, (QStringList{"bob", "Robert"}));
    EXPECT_EQ(b.cards[2].ids, QStringList{"bob@x"});
    EXPECT_EQ(b.cards[2].memo, "memo");
    EXPECT_EQ(b.cards[3].names, QStringList{"carl"});
    EXPECT_EQ(b.cards[3].ids, QStringList{"carl@x"});

    // Nicknames differing only in letter case are different cards; each note
    // joins the alias of exactly its nickname.
    const AddressBook c = parse("note Bob <name:Upper>\r\nalias bob lower@x\r\n"
                                "note bob <name:Lower>\r\nalias Bob upper@x\r\n");
    ASSERT_EQ(c.cardCount(), 3);
    for (int i = 1; i <= 2; ++i) {
        const Card &k = c.cards[i];
        ASSERT_EQ(k.names.size(), 2);
        EXPECT_EQ(k.ids.first(), k.names[0] == "Bob" ? "upper@x" : "lower@x");
        EXPECT_EQ(k.names[1], k.names[0] == "Bob" ? "Upper" : "Lower");
    }
}

TEST(EudoraRead, SharedNicknamesKeepTheirOwnNotes)
{
    // Three cards with the same first name: each alias keeps its own note,
    // whatever the values would sort to.
    AddressBook book = AddressBook::newBook();
    const char *addresses[] = {"zz@x", "aa@x", "<mm@x>"};
    for (int i = 0; i < 3; ++i) {
        Card c = Card::newCard();
        c.names = {QStringLiteral("Taro"), QStringLiteral("Full %1").arg(i)};
        c.ids = {QString::fromLatin1(addresses[i])};
        c.telephone = QString::number(i);
        book.cards.append(c);
    }
    const AddressBook back = parse(eudoraFileText(book, writeOptions(EudoraAllIds)));
    ASSERT_EQ(back.cardCount(), 4);
    for (int i = 1; i <= 3; ++i) {
        const Card &c = back.cards[i];
        ASSERT_EQ(c.names.size(), 2);
        EXPECT_EQ(c.names[1], QStringLiteral("Full %1").arg(c.telephone));
        EXPECT_EQ(c.ids.value(0), QString::fromLatin1(addresses[c.telephone.toInt()])
                                      .remove(u'<').remove(u'>'));
    }

    // All aliases first, then all notes: still paired in order.
    const AddressBook d = parse("alias t a@x\r\nalias t b@x\r\nnote t <phone:A>\r\n"
                                "note t <phone:B>\r\nnote t <phone:C>\r\n");
    ASSERT_EQ(d.cardCount(), 4);
    EXPECT_EQ(d.cards[1].ids, QStringList{"a@x"});
    EXPECT_EQ(d.cards[1].telephone, "A");
    EXPECT_EQ(d.cards[2].ids, QStringList{"b@x"});
    EXPECT_EQ(d.cards[2].telephone, "B");
    EXPECT_TRUE(d.cards[3].ids.isEmpty()); // a note left over
    EXPECT_EQ(d.cards[3].telephone, "C");
}

TEST(EudoraRead, AddressLists)
{
    const AddressBook b = parse(
        "alias list Taro Yamada <taro@x>, hanako@y (Hanako),(only@z), ,plain@w,\r\n"
        "alias swap <Name> , Some Name (name@host)\r\n");
    ASSERT_EQ(b.cardCount(), 3);
    EXPECT_EQ(b.cards[1].names, QStringList{"list"});
    // The piece starting with "(" is taken whole; empty pieces give no ID.
    EXPECT_EQ(b.cards[1].ids, (QStringList{"taro@x", "hanako@y", "(only@z)", "plain@w"}));
    // The other text is taken when only it has an "@".
    EXPECT_EQ(b.cards[2].ids, (QStringList{"Name", "name@host"}));
}

TEST(EudoraRead, NoteTags)
{
    const QString note = QStringLiteral("note n <name:n><name:Full><name:Full><address:a")
        + Sep + QStringLiteral("b><phone:p1><phone:p2><fax:f>first") + Sep
        + QStringLiteral("second<name:not a tag>") + Sep;
    const AddressBook b = parse(QStringLiteral("alias n n@x\r\n") + note + Cr);
    ASSERT_EQ(b.cardCount(), 2);
    const Card &c = b.cards[1];
    EXPECT_EQ(c.names, (QStringList{"n", "Full"}));
    EXPECT_EQ(c.address, "a b");
    EXPECT_EQ(c.telephone, "p2");
    EXPECT_EQ(c.fax, "f");
    EXPECT_EQ(c.memo, "first\r\nsecond<name:not a tag>\r\n");

    // A note without tags is the memo; an unclosed tag is memo text.
    const AddressBook d = parse(QStringLiteral("alias m m@x\r\nnote m plain") + Sep
                                + QStringLiteral("text <phone:open\r\n"));
    EXPECT_EQ(d.cards[1].memo, "plain\r\ntext <phone:open");
    EXPECT_TRUE(d.cards[1].telephone.isEmpty());
}

TEST(EudoraRead, LineEndsAndLooseLines)
{
    // LF-only files, a last line without a line end, a note without alias
    // and nicknames without addresses.
    const AddressBook b = parse("alias a a@x\nnote a <phone:1>\nnote orphan <name:Full>"
                                "<phone:2>memo\nalias \"lonely\"\nalias bare");
    ASSERT_EQ(b.cardCount(), 5);
    EXPECT_EQ(b.cards[1].names, QStringList{"a"});
    EXPECT_EQ(b.cards[1].telephone, "1");
    EXPECT_EQ(b.cards[2].names, QStringList{"bare"});
    EXPECT_TRUE(b.cards[2].ids.isEmpty());
    EXPECT_EQ(b.cards[3].names, QStringList{"lonely"});
    // A note without an alias is read as a note, not as addresses.
    EXPECT_EQ(b.cards[4].names, (QStringList{"orphan", "Full"}));
    EXPECT_TRUE(b.cards[4].ids.isEmpty());
    EXPECT_EQ(b.cards[4].telephone, "2");
    EXPECT_EQ(b.cards[4].memo, "memo");

    EXPECT_EQ(parse(QString()).cardCount(), 1);
    EXPECT_EQ(parse("nothing here\r\n").cardCount(), 1);
}

TEST(EudoraRead, StopsWhenAskedAndAtTheCounterLimit)
{
    QString text;
    for (int i = 0; i < 10; ++i)
        text += QStringLiteral("alias n%1 n%1@x\r\n").arg(i);
    AddressBook book;
    int calls = 0;
    EXPECT_EQ(parseEudoraText(text, book, {}, [&](qint64, qint64) { return ++calls <= 3; }), 0);
    EXPECT_EQ(book.cardCount(), 4); // the cards made before the stop stay

    text.clear();
    for (int i = 0; i < 33000; ++i)
        text += QStringLiteral("alias n%1 n%1@x\r\nnote n%1 m\r\n").arg(i);
    EXPECT_EQ(parseEudoraText(text, book), 33000 - 32766);
    EXPECT_EQ(book.cardCount(), 32767);
    EXPECT_EQ(book.cardCounter, 32767);
}

TEST(EudoraFiles, EmptyAndMissingFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("nick.txt");
    ScriptedPrompter pr;
    AddressBook back;
    ASSERT_TRUE(writeAll(path, QByteArray()));
    EXPECT_EQ(EudoraFileRead(path, back, pr), 0);
    EXPECT_EQ(back.cardCount(), 1);
    EXPECT_EQ(EudoraFileRead(dir.filePath("missing.txt"), back, pr), -1);
    EXPECT_EQ(pr.asked.size(), 1);
}

// Both kinds through the program's read and write dispatch, with the options
// taken from the settings and the export mode from the dialog's callback.
TEST(EudoraFiles, DispatchByKind)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ScriptedPrompter pr;
    FakeHostProbe probe;
    Settings settings; // the default domain has no "@"
    FileFormats formats = builtInFileFormats();
    int asked = 0;
    formats.byKind[FileKindEudora] =
        eudoraFileFormat([&] { return ++asked == 1 ? -1 : EudoraFirstIdOnly; });
    FileIo io{pr, settings, probe, {}, &formats};
    AddressBook book = AddressBook::newBook();
    Card c = twoIdCard();
    c.mobile = QStringLiteral("090");
    book.cards.append(c);

    const QString nick = dir.filePath("nick.txt");
    EXPECT_EQ(writeFileByKind(nick, FileKindEudora, book, io), -1); // cancelled
    EXPECT_FALSE(QFile::exists(nick));
    ASSERT_EQ(writeFileByKind(nick, FileKindEudora, book, io), 0);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(fileKindOf(nick), FileKindEudora);
    AddressBook back;
    ASSERT_EQ(readFileByKind(nick, fileKindOf(nick), back, io), 1);
    EXPECT_EQ(back.cards[1].ids, QStringList{"taro@example.jp"});
    EXPECT_TRUE(back.cards[1].memo.contains(QStringLiteral("ABC01234@") + settings.niftyDomain));

    const QString vcf = dir.filePath("card.vcf");
    settings.lostMemoFlag = false;
    ASSERT_EQ(writeFileByKind(vcf, FileKindVCard, book, io), 0);
    ASSERT_EQ(readFileByKind(vcf, fileKindOf(vcf), back, io), 1);
    EXPECT_EQ(back.cards[1].ids.value(1), QStringLiteral("ABC01234@") + settings.niftyDomain);
    EXPECT_EQ(back.cards[1].mobile, "090");
    EXPECT_TRUE(pr.asked.isEmpty());
}
