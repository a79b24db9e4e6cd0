// Writing vCard 3.0 in UTF-8, and reading it back into the same fields.
#include <QTemporaryDir>

#include "common/oledate.h"
#include "common/utf8.h"
#include "formats/fileprocs.h"
#include "formats/vcard.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

constexpr int Tokyo = 9 * 3600;
const QString Domain = QStringLiteral("@nifty.example");

DateValue dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

VcardWriteOptions writeOptions()
{
    VcardWriteOptions o;
    o.niftyDomain = Domain;
    o.utcOffsetSeconds = Tokyo;
    return o;
}

VcardReadOptions readOptions()
{
    VcardReadOptions o;
    o.utcOffsetSeconds = Tokyo;
    o.now = dt(2024, 5, 1, 12);
    return o;
}

QByteArray cardBytes(const Card &card)
{
    QByteArray out;
    appendVcard3Card(out, card, writeOptions());
    return out;
}

QList<QByteArray> lines(const QByteArray &bytes)
{
    QList<QByteArray> l = bytes.split('\n');
    EXPECT_TRUE(l.last().isEmpty());
    l.removeLast();
    for (QByteArray &line : l) {
        EXPECT_TRUE(line.endsWith('\r')) << line.toStdString();
        line.chop(1);
    }
    return l;
}

QByteArray u8(const QString &s)
{
    return s.toUtf8();
}

AddressBook readBack(const QByteArray &bytes)
{
    AddressBook book;
    ImportReport report;
    EXPECT_EQ(parseVcardBytes(bytes, book, readOptions(), &report), 0);
    EXPECT_EQ(report.charactersReplaced, 0);
    return book;
}

// What vCard carries of a card; IDs without "@" come back with the domain.
void expectCarried(const Card &in, const Card &out, const QString &where)
{
    SCOPED_TRACE(where.toStdString());
    QStringList ids;
    for (const QString &id : in.ids)
        ids << serviceMailAddress(id, Domain);
    EXPECT_EQ(out.names, in.names);
    EXPECT_EQ(out.ids, ids);
    EXPECT_EQ(out.telephone, in.telephone);
    EXPECT_EQ(out.mobile, in.mobile);
    EXPECT_EQ(out.pager, in.pager);
    EXPECT_EQ(out.fax, in.fax);
    EXPECT_EQ(out.address, in.address);
    EXPECT_EQ(out.postalCode, in.postalCode);
    EXPECT_EQ(out.memo, in.memo);
    EXPECT_EQ(out.birthday, in.birthday);
    EXPECT_EQ(DateTimeText(out.updated), DateTimeText(in.updated));
}

Card fullCard()
{
    Card c = Card::newCard();
    c.names = {QStringLiteral("山田 太郎"), QStringLiteral("やまだ, たろう"),
               QStringLiteral("Taro;Y")};
    c.ids = {QStringLiteral("ABC01234"), QStringLiteral("taro@example.jp")};
    c.telephone = QStringLiteral("03-1234-5678");
    c.mobile = QStringLiteral("090-1111-2222");
    c.pager = QStringLiteral("020-333");
    c.fax = QStringLiteral("03-1234-5679");
    c.postalCode = QStringLiteral("100-0001");
    c.address = QStringLiteral("東京都千代田区千代田1-1");
    c.memo = QStringLiteral("一行目\\a\r\n二行目");
    c.birthday = dt(1970, 2, 3);
    c.updated = dt(2001, 4, 1, 9, 30, 0);
    return c;
}

} // namespace

TEST(Vcard3Write, CardLayout)
{
    const QList<QByteArray> expected = {
        "BEGIN:VCARD",
        "VERSION:3.0",
        u8(u"N:山田;太郎;;;"_qs),
        u8(u"FN:山田 太郎"_qs),
        u8(u"NICKNAME:やまだ\\, たろう,Taro\\;Y"_qs),
        u8(u"NOTE:一行目\\\\a\\n二行目"_qs),
        "TEL;TYPE=VOICE:03-1234-5678",
        "TEL;TYPE=CELL:090-1111-2222",
        "TEL;TYPE=PAGER:020-333",
        "TEL;TYPE=FAX:03-1234-5679",
        u8(u"ADR:;;東京都千代田区千代田1-1;;;100-0001;"_qs),
        "EMAIL;TYPE=INTERNET,PREF:ABC01234@nifty.example",
        "EMAIL;TYPE=INTERNET:taro@example.jp",
        "BDAY:1970-02-03",
        "REV:2001-04-01T00:30:00Z",
        "END:VCARD",
    };
    EXPECT_EQ(lines(cardBytes(fullCard())), expected);
}

TEST(Vcard3Write, NamesAndEmptyFields)
{
    // first name -> N, FN (NICKNAME line or none)
    const struct {
        QStringList names;
        QStringList ids;
        QList<QByteArray> expected;
    } cases[] = {
        {{u"Doe, John"_qs}, {}, {"N:Doe\\,;John;;;", "FN:Doe\\, John"}},
        {{u"山田　太郎"_qs}, {}, {u8(u"N:山田;太郎;;;"_qs), u8(u"FN:山田　太郎"_qs)}},
        {{u"  Whole  "_qs}, {}, {"N:Whole;;;;", "FN:  Whole  "}},
        {{u"a\tb c"_qs}, {}, {"N:a\tb;c;;;", "FN:a\tb c"}},
        {{u"x"_qs, u"y"_qs}, {u"x@y"_qs}, {"N:x;;;;", "FN:x", "NICKNAME:y",
                                           "EMAIL;TYPE=INTERNET:x@y"}},
        // No names: an empty N and the first ID (as EMAIL writes it) as FN.
        {{}, {u"ABC"_qs, u"b@x"_qs}, {"N:;;;;", "FN:ABC@nifty.example",
                                     "EMAIL;TYPE=INTERNET,PREF:ABC@nifty.example",
                                     "EMAIL;TYPE=INTERNET:b@x"}},
        {{}, {}, {"N:;;;;", "FN:"}},
    };
    for (const auto &c : cases) {
        Card card = Card::newCard();
        card.names = c.names;
        card.ids = c.ids;
        QList<QByteArray> expected = {"BEGIN:VCARD", "VERSION:3.0"};
        expected << c.expected << "END:VCARD";
        EXPECT_EQ(lines(cardBytes(card)), expected) << c.names.join(u'|').toStdString();
    }
}

TEST(Vcard3Write, FoldsAt75OctetsBetweenCharacters)
{
    Card c = Card::newCard();
    c.names = {u"N"_qs};
    // Three-octet characters after an odd start, a four-octet one, line breaks.
    c.memo = u"x"_qs + QString(60, u'長') + u"\r\n"_qs + QString(40, u'a') + u"𠮷"_qs
        + QString(100, u'あ') + QString(80, u' ') + u","_qs; // blanks at a fold survive
    const QByteArray bytes = cardBytes(c);
    EXPECT_TRUE(utf8::isValid(bytes));
    int folds = 0;
    for (const QByteArray &l : lines(bytes)) {
        EXPECT_LE(l.size(), 75) << l.toStdString();
        EXPECT_TRUE(utf8::isValid(l)) << l.toStdString(); // no character split
        if (l.startsWith(' ')) {
            ++folds;
            EXPECT_GT(l.size(), 1);
        }
    }
    EXPECT_GT(folds, 5);
    // The lines before a fold are filled: 75 octets, or up to 3 less where a
    // character would not fit.
    const QList<QByteArray> l = lines(bytes);
    for (qsizetype i = 0; i + 1 < l.size(); ++i)
        if (l[i + 1].startsWith(' '))
            EXPECT_GE(l[i].size(), 72) << i;

    const AddressBook back = readBack(bytes);
    ASSERT_EQ(back.cardCount(), 2);
    EXPECT_EQ(back.cards[1].memo, c.memo);
}

TEST(Vcard3Read, NicknamesAreFurtherNames)
{
    const QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John;;;\r\nFN:Doe John\r\n"
                            "NICKNAME:Johnny\\, Jr,JD, ,DoeJohn\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\nNICKNAME:B\r\nEND:VCARD\r\n";
    const AddressBook book = readBack(text);
    ASSERT_EQ(book.cardCount(), 3);
    // Blank nicknames and names already there (ignoring blanks) are skipped.
    EXPECT_EQ(book.cards[1].names, (QStringList{u"Doe John"_qs, u"Johnny, Jr"_qs, u"JD"_qs}));
    // A 2.1 card keeps its rules: NICKNAME is an other item there.
    EXPECT_EQ(book.cards[2].names, QStringList{u"A"_qs});
    EXPECT_TRUE(book.cards[2].memo.endsWith(u"NICKNAME:B\r\n"_qs));
}

TEST(Vcard3Read, FormattedNameOfANamelessCard)
{
    // An empty N with an FN that is one of the card's addresses: no name.
    // Any other FN, or an N with a name, stays a name.
    const struct {
        QByteArray lines;
        QStringList names;
    } cases[] = {
        {"N:;;;;\r\nFN:a@x\r\nEMAIL:b@x\r\nEMAIL:A@X", {}},
        {"FN:a@x\r\nN:;;;;\r\nEMAIL:a@x", {}},
        {"N:;;;;\r\nFN:Shop\r\nEMAIL:a@x", {u"Shop"_qs}},
        {"FN:a@x\r\nEMAIL:a@x", {u"a@x"_qs}},
        {"N:a@x;;;;\r\nFN:a@x\r\nEMAIL:a@x", {u"a@x"_qs}},
    };
    for (const auto &c : cases) {
        const AddressBook book =
            readBack("BEGIN:VCARD\r\nVERSION:3.0\r\n" + c.lines + "\r\nEND:VCARD\r\n");
        ASSERT_EQ(book.cardCount(), 2);
        EXPECT_EQ(book.cards[1].names, c.names) << c.lines.toStdString();
    }
}

TEST(Vcard3RoundTrip, GeneratedBookThroughAFile)
{
    GeneratorOptions g;
    g.seed = 11;
    g.cards = 400;
    g.badCards = false;
    AddressBook book = generateBook(g);
    // Beside the generated cards: every field, a card without names, one
    // with characters no Shift-JIS file can hold, and an empty one.
    book.cards.append(fullCard());
    Card nameless = fullCard();
    nameless.names.clear();
    book.cards.append(nameless);
    Card world = Card::newCard();
    world.names = {u"Zoë Ångström"_qs, u"😀 🎉"_qs, u"𠮷野家"_qs};
    world.memo = u"♥ ＃ ①\r\n\r\n"_qs;
    world.address = u"Straße 1, 北京市"_qs;
    world.updated = dt(2020, 2, 29, 23, 59, 59);
    book.cards.append(world);
    Card empty = Card::newCard();
    empty.updated = dt(1999, 12, 31);
    book.cards.append(empty);
    for (qsizetype i = book.cardCount() - 4; i < book.cardCount(); ++i)
        book.cards[i].number = book.cardCounter++;

    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.vcf"_qs);
    ScriptedPrompter pr;
    ASSERT_EQ(Vcd3FileWrite(path, book, pr, writeOptions()), 0);
    EXPECT_TRUE(pr.asked.isEmpty()); // nothing replaced, nothing to report
    const QByteArray bytes = readAll(path);
    EXPECT_TRUE(bytes.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_TRUE(utf8::isValid(bytes));
    EXPECT_EQ(bytes, vcard3FileBytes(book, writeOptions()));

    AddressBook back;
    ASSERT_EQ(VcdFileRead(path, back, pr, readOptions()), 0);
    EXPECT_TRUE(pr.asked.isEmpty());
    ASSERT_EQ(back.cardCount(), book.cardCount());
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        expectCarried(book.cards[i], back.cards[i], QStringLiteral("card %1").arg(i));
}

TEST(Vcard3Write, CancelWritesNothing)
{
    GeneratorOptions g;
    g.cards = 300;
    g.badCards = false;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.vcf"_qs);
    ScriptedPrompter pr;
    int calls = 0;
    EXPECT_EQ(Vcd3FileWrite(path, generateBook(g), pr, writeOptions(),
                            [&](qint64, qint64) { return ++calls < 2; }),
              -1);
    EXPECT_EQ(calls, 2); // while the text was built
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(pr.asked.isEmpty());
    EXPECT_TRUE(vcard3FileBytes(AddressBook::newBook(), writeOptions()).isEmpty());
}
