#include <QFile>
#include <QRegularExpression>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/vcard.h"
#include "support/testutil.h"

namespace {

constexpr int Tokyo = 9 * 3600;
const QString Cr = QStringLiteral("\r\n");

DateValue dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

// A function: the date layer's own statics may not be set up before ours.
DateValue importTime()
{
    return dt(2024, 5, 1, 12, 0, 0);
}

VcardReadOptions readOptions(bool lostMemo = true)
{
    VcardReadOptions o;
    o.lostMemoFlag = lostMemo;
    o.utcOffsetSeconds = Tokyo;
    o.now = importTime();
    return o;
}

VcardWriteOptions writeOptions()
{
    VcardWriteOptions o;
    o.niftyDomain = QStringLiteral("@nifty.example");
    o.utcOffsetSeconds = Tokyo;
    return o;
}

AddressBook parse(const QString &text, bool lostMemo = true)
{
    AddressBook book;
    EXPECT_EQ(parseVcardText(text, book, readOptions(lostMemo)), 0);
    return book;
}

// One card from the lines between BEGIN and END (joined with CR LF).
Card parseCard(const QStringList &lines, bool lostMemo = true)
{
    const AddressBook book = parse(QStringLiteral("BEGIN:VCARD\r\n") + lines.join(Cr)
                                       + QStringLiteral("\r\nEND:VCARD\r\n"),
                                   lostMemo);
    EXPECT_EQ(book.cardCount(), 2);
    return book.cardCount() > 1 ? book.cards[1] : Card();
}

AddressBook parseFixture(const char *name, bool lostMemo = true)
{
    const QByteArray bytes = readAll(QStringLiteral(BRINDLE_TEST_DATA "/vcard/") + name);
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return parse(cp932::decode(bytes), lostMemo);
}

QStringList lines(const QString &text)
{
    QStringList l = text.split(Cr);
    if (!l.isEmpty() && l.last().isEmpty())
        l.removeLast();
    return l;
}

Card fullCard()
{
    Card c = Card::newCard();
    c.names = {QStringLiteral("山田　太郎"), QStringLiteral("Taro Yamada"),
               QStringLiteral("やまちゃん")};
    c.ids = {QStringLiteral("ABC01234"), QStringLiteral("taro@example.jp")};
    c.telephone = QStringLiteral("03-1234-5678");
    c.mobile = QStringLiteral("090-1111-2222");
    c.pager = QStringLiteral("020-333");
    c.fax = QStringLiteral("03-1234-5679");
    c.postalCode = QStringLiteral("100-0001");
    c.address = QStringLiteral("東京都千代田区千代田1-1; 2F, 奥\\");
    c.memo = QStringLiteral("一行目 a=b_c;d,e\\f\r\n\r\n三行目\tタブ ｶﾀｶﾅ ") + QString(60, u'長');
    c.birthday = dt(1970, 2, 3);
    c.updated = dt(2001, 4, 1, 9, 30, 0);
    c.created = dt(1999, 1, 1);
    return c;
}

} // namespace

// ---------------------------------------------------------------------------
// Reading

TEST(VcardRead, OwnOutputReadsBackIntoTheSameFields)
{
    AddressBook book = AddressBook::newBook();
    book.cards.append(fullCard());
    Card plain = Card::newCard();
    plain.names = {QStringLiteral("Solo")};
    book.cards.append(plain);

    const QString text = vcardFileText(book, writeOptions());
    const AddressBook back = parse(text);
    ASSERT_EQ(back.cardCount(), 3);
    const Card &c = back.cards[1];
    const Card orig = fullCard();
    EXPECT_EQ(c.names, orig.names); // the full-width space of the first name survives
    EXPECT_EQ(c.ids, (QStringList{QStringLiteral("ABC01234@nifty.example"),
                                  QStringLiteral("taro@example.jp")}));
    EXPECT_EQ(c.telephone, orig.telephone);
    EXPECT_EQ(c.mobile, orig.mobile);
    EXPECT_EQ(c.pager, orig.pager);
    EXPECT_EQ(c.fax, orig.fax);
    EXPECT_EQ(c.postalCode, orig.postalCode);
    EXPECT_EQ(c.address, orig.address);
    EXPECT_EQ(c.memo, orig.memo);
    EXPECT_EQ(c.birthday, orig.birthday);
    EXPECT_EQ(c.updated, orig.updated);
    EXPECT_EQ(c.created, orig.updated); // the REV time, earlier than the import
    EXPECT_EQ(c.number, 1);

    const Card &s = back.cards[2];
    EXPECT_EQ(s.names, QStringList{QStringLiteral("Solo")});
    EXPECT_TRUE(s.memo.isEmpty());
    EXPECT_EQ(s.updated, importTime()); // no REV line
    EXPECT_EQ(s.created, importTime());
    EXPECT_EQ(s.number, 2);
    EXPECT_EQ(back.cardCounter, 3);
}

TEST(VcardRead, NamesFromFnAndN)
{
    // N family;given and FN "family given" are one person.
    Card c = parseCard({"N:Yamada;Taro;;;", "FN:Yamada Taro"});
    EXPECT_EQ(c.names, QStringList{QStringLiteral("Yamada Taro")});

    // Blanks of every kind are ignored by the test; FN's own form is kept.
    c = parseCard({QStringLiteral("N:山田;太郎"), QStringLiteral("FN:山田　太郎")});
    EXPECT_EQ(c.names, QStringList{QStringLiteral("山田　太郎")});
    c = parseCard({QStringLiteral("FN:山田\t太郎"), QStringLiteral("N:山田;太郎")});
    EXPECT_EQ(c.names, QStringList{QStringLiteral("山田\t太郎")});

    // PREF puts a name first; every FN component is a name of its own.
    c = parseCard({"FN:Second", "FN:Third;  ;Fourth", "N;PREF:First;;", "FN;PREF:Zero;One"});
    EXPECT_EQ(c.names, (QStringList{"Zero", "One", "First", "Second", "Third", "Fourth"}));

    // All N components, in order, separated by one space.
    c = parseCard({"N:Gump;Forrest;Hoge;Pos;Tao"});
    EXPECT_EQ(c.names, QStringList{"Gump Forrest Hoge Pos Tao"});
    c = parseCard({"N:;Taro;;;", "N:;;;;"});
    EXPECT_EQ(c.names, QStringList{"Taro"});
}

TEST(VcardRead, FoldingAndLineEnds)
{
    // A line folded over three physical lines.
    Card c = parseCard({"NOTE:first", "  second", " third", "FN:A"});
    EXPECT_EQ(c.memo, "firstsecondthird");
    EXPECT_EQ(c.names, QStringList{"A"});

    // LF-only and CR-only files read like CR LF files.
    for (const char *sep : {"\n", "\r"}) {
        const QString text = QStringList{"BEGIN:VCARD", "FN:A", " B", "TEL:1", "END:VCARD",
                                         "BEGIN:VCARD", "FN:C", "END:VCARD"}
                                 .join(QString::fromLatin1(sep));
        const AddressBook book = parse(text);
        ASSERT_EQ(book.cardCount(), 3) << int(sep[0]);
        EXPECT_EQ(book.cards[1].names, QStringList{"AB"});
        EXPECT_EQ(book.cards[1].telephone, "1");
        EXPECT_EQ(book.cards[2].names, QStringList{"C"});
    }
}

TEST(VcardRead, QuotedPrintable)
{
    // =0D=0A is a line break; "=" at a line end joins the next line.
    Card c = parseCard({"NOTE;ENCODING=QUOTED-PRINTABLE:line1=0D=0Aline2 =", "continued=",
                        "=83=81=83=82"});
    EXPECT_EQ(c.memo, QStringLiteral("line1\r\nline2 continuedメモ"));

    // Without ENCODING=, lower-case hex, a "=" without two hex digits stays.
    c = parseCard({"NOTE;QUOTED-PRINTABLE:a=3db=3Dc =ZZ =4", "FN:X"});
    EXPECT_EQ(c.memo, "a=b=c =ZZ =4");

    // Decoded bytes are CP932: a two-byte character split over soft breaks.
    c = parseCard({"FN;CHARSET=SHIFT_JIS;ENCODING=QUOTED-PRINTABLE:=88=", "=C0=93=A1"});
    EXPECT_EQ(c.names, QStringList{QStringLiteral("安藤")});

    // A "=" at the very end of the text has nothing to join and is kept.
    AddressBook book = parse("BEGIN:VCARD\r\nNOTE;QUOTED-PRINTABLE:end=");
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].memo, "end=");

    // Quoted-printable without it: the value is taken as it stands.
    c = parseCard({"NOTE:a=0D=0Ab"});
    EXPECT_EQ(c.memo, "a=0D=0Ab");
}

TEST(VcardRead, TelephoneRouting)
{
    Card c = parseCard({"TEL;CELL:090", "TEL;CELL: 080 ", "TEL;FAX;CELL:fax1",
                        "TEL;TYPE=WORK,FAX:fax2", "TEL;PAGER;VOICE:p", "TEL;WORK;VOICE:t1",
                        "TEL:t2;t3", "TEL;TYPE=cell:070"});
    EXPECT_EQ(c.mobile, "090  080  070");
    EXPECT_EQ(c.fax, "fax1  fax2");
    EXPECT_EQ(c.pager, "p");
    EXPECT_EQ(c.telephone, "t1  t2  t3");
}

TEST(VcardRead, AddressComponentOrder)
{
    Card c = parseCard({"ADR:;;1-2-3 Street;City;Pref;100-0001;Japan"});
    EXPECT_EQ(c.postalCode, "100-0001");
    EXPECT_EQ(c.address, "Japan Pref City 1-2-3 Street");

    // A second ADR is added after two spaces; its postal code replaces.
    c = parseCard({"ADR:Box;Ext;Street;;;111", "ADR;HOME:;;Other;Town;;222;"});
    EXPECT_EQ(c.postalCode, "222");
    EXPECT_EQ(c.address, "Street Ext Box   Town Other"); // empty components give spaces

    // Line breaks in a quoted-printable address become spaces.
    c = parseCard({"ADR;ENCODING=QUOTED-PRINTABLE:;;a=0D=0Ab;c"});
    EXPECT_EQ(c.address, "c a b");
    EXPECT_TRUE(c.postalCode.isEmpty());

    // An empty ADR leaves the fields alone.
    c = parseCard({"ADR:", "ADR:;"});
    EXPECT_TRUE(c.address.isEmpty());
}

TEST(VcardRead, BirthdayForms)
{
    const DateValue want = dt(2001, 4, 1);
    EXPECT_EQ(parseCard({"BDAY:2001-04-01"}).birthday, want);
    EXPECT_EQ(parseCard({"BDAY;VALUE=DATE: 20010401 "}).birthday, want);
    EXPECT_EQ(parseCard({"BDAY:20010401", "BDAY:2001/04/01"}).birthday, NoDate);
    EXPECT_EQ(parseCard({"BDAY:20010230"}).birthday, NoDate);
    EXPECT_EQ(parseCard({"BDAY:2001-4-1"}).birthday, NoDate);
    EXPECT_EQ(parseCard({"BDAY:20010401T000000"}).birthday, NoDate);
}

TEST(VcardRead, RevisionTime)
{
    // UTC is converted with the local standard offset (+09:00 here).
    Card c = parseCard({"REV:20010401T003000Z"});
    EXPECT_EQ(c.updated, dt(2001, 4, 1, 9, 30));
    EXPECT_EQ(c.created, dt(2001, 4, 1, 9, 30));

    c = parseCard({"REV:2001-04-01T23:30:00Z"});
    EXPECT_EQ(c.updated, dt(2001, 4, 2, 8, 30));
    // Without Z the time is local; anything after the time is ignored.
    c = parseCard({"REV:20010401T003000+0900"});
    EXPECT_EQ(c.updated, dt(2001, 4, 1, 0, 30));

    // Later than the import: created stays at the import time.
    c = parseCard({"REV:20300101T000000"});
    EXPECT_EQ(c.updated, dt(2030, 1, 1));
    EXPECT_EQ(c.created, importTime());

    // Other forms and impossible times leave the import time.
    for (const char *v : {"REV:2001-04-01", "REV:20010401T2500Z", "REV:20010401T256000Z",
                          "REV:20011301T000000Z", "REV:"}) {
        c = parseCard({QString::fromLatin1(v)});
        EXPECT_EQ(c.updated, importTime()) << v;
        EXPECT_EQ(c.created, importTime()) << v;
    }

    // Another offset, without daylight saving: -05:00.
    AddressBook book;
    VcardReadOptions o = readOptions();
    o.utcOffsetSeconds = -5 * 3600;
    parseVcardText(u"BEGIN:VCARD\r\nREV:20010401T003000Z\r\nEND:VCARD", book, o);
    EXPECT_EQ(book.cards[1].updated, dt(2001, 3, 31, 19, 30));
}

TEST(VcardRead, OtherItemsGoToTheMemoWhenAsked)
{
    const QStringList in = {"NOTE:memo", "ORG:Example", " Inc", "TITLE:Boss", "VERSION:2.1",
                            "no colon here", "  ", ":leading colon", "X-A;B:c"};
    Card on = parseCard(in, true);
    EXPECT_EQ(on.memo, QStringLiteral("memo\r\n") + VcardOtherItemsHeader
                           + QStringLiteral("\r\nORG:ExampleInc\r\nTITLE:Boss\r\nno colon here"
                                            "\r\n:leading colon\r\nX-A;B:c\r\n"));
    Card off = parseCard(in, false);
    EXPECT_EQ(off.memo, "memo");

    // Nothing collected: the memo is left as it is.
    EXPECT_EQ(parseCard({"NOTE:only", "VERSION:2.1"}, true).memo, "only");

    // A quoted-printable item is kept with its soft-break lines.
    Card qp = parseCard({"LABEL;QUOTED-PRINTABLE:a=0D=0A=", "b"}, true);
    EXPECT_EQ(qp.memo, Cr + VcardOtherItemsHeader
                           + QStringLiteral("\r\nLABEL;QUOTED-PRINTABLE:a=0D=0A=\r\nb\r\n"));
}

TEST(VcardRead, CardBoundaries)
{
    // No BEGIN:VCARD: no cards; text outside cards is ignored.
    AddressBook book = parse("FN:Nobody\r\nEND:VCARD\r\nBEGIN:VCALENDAR\r\nEND:VCALENDAR\r\n");
    EXPECT_EQ(book.cardCount(), 1);
    EXPECT_EQ(book.cardCounter, 1);
    EXPECT_EQ(parse(QString()).cardCount(), 1);

    // BEGIN and END in any case, spaces around VCARD; text after END ignored.
    book = parse("junk\r\nbegin: vCard \r\nFN:A\r\nEnd:VCARD;x\r\nFN:B\r\n");
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].names, QStringList{"A"});

    // An unfinished card at the end keeps what it read, its other items too.
    book = parse("BEGIN:VCARD\r\nFN:A\r\nORG:O");
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].names, QStringList{"A"});
    EXPECT_TRUE(book.cards[1].memo.endsWith(QStringLiteral("ORG:O\r\n")));
}

TEST(VcardRead, NestedCardsAndDeepNesting)
{
    // Nested cards follow their outer card; reading continues in the outer one.
    AddressBook book =
        parse("BEGIN:VCARD\r\nFN:outer\r\nBEGIN:VCARD\r\nFN:inner\r\nORG:in\r\nEND:VCARD\r\n"
              "TEL:1\r\nORG:out\r\nEND:VCARD\r\n");
    ASSERT_EQ(book.cardCount(), 3);
    EXPECT_EQ(book.cards[1].names, QStringList{"outer"});
    EXPECT_EQ(book.cards[1].telephone, "1");
    EXPECT_TRUE(book.cards[1].memo.endsWith(QStringLiteral("ORG:out\r\n")));
    EXPECT_EQ(book.cards[2].names, QStringList{"inner"});
    EXPECT_TRUE(book.cards[2].memo.endsWith(QStringLiteral("ORG:in\r\n")));
    EXPECT_EQ(book.cards[2].number, 2);

    // Many unmatched BEGIN lines: no recursion, and the card counter (16
    // bits in the file) stops at its limit instead of wrapping.
    QString deep;
    for (int i = 0; i < 40000; ++i)
        deep += QStringLiteral("BEGIN:VCARD\r\nFN:n\r\n");
    AddressBook big;
    EXPECT_EQ(parseVcardText(deep, big, readOptions()), 40000 - 32766);
    EXPECT_EQ(big.cardCount(), 32767);
    EXPECT_EQ(big.cardCounter, 32767);
    EXPECT_EQ(big.cards.last().number, 32766);
}

TEST(VcardRead, EmailAndEscapes)
{
    Card c = parseCard({"EMAIL;INTERNET:b@x", "EMAIL;PREF;INTERNET:a@x", "EMAIL:c@x;d@x",
                        "EMAIL:", "EMAIL;PREF:0@x;1@x", "EMAIL: b@x "});
    // No duplicate test for IDs; PREF puts its values first, in order.
    EXPECT_EQ(c.ids, (QStringList{"0@x", "1@x", "a@x", "b@x", "c@x", "d@x", "b@x"}));

    // Escaped ";" "," "\" in values; other backslashes stay as they are.
    c = parseCard({"NOTE:a\\;b\\,c\\\\d\\ne;second", "FN:C:\\temp"});
    EXPECT_EQ(c.memo, "a;b,c\\d\\ne");
    EXPECT_EQ(c.names, QStringList{"C:\\temp"});

    // An escaped ";" in a head does not split it.
    c = parseCard({"TEL;X\\;FAX:1"});
    EXPECT_EQ(c.telephone, "1");
}

// The real-world samples in tests/data/vcard.
TEST(VcardRead, SampleFiles)
{
    {
        const AddressBook b = parseFixture("v21_japanese_1.vcf");
        ASSERT_EQ(b.cardCount(), 2);
        const Card &c = b.cards[1];
        EXPECT_EQ(c.names, QStringList{QStringLiteral("安藤ロイド")});
        EXPECT_EQ(c.telephone, "0300000000");
        // The reading in half-width katakana is an other item.
        EXPECT_EQ(c.memo, Cr + VcardOtherItemsHeader
                              + QStringLiteral("\r\nSOUND;X-IRMC-N;CHARSET=SHIFT_JIS:ｱﾝﾄﾞｳﾛｲﾄﾞ;;;;\r\n"));
    }
    {
        const AddressBook b = parseFixture("v21_japanese_2.vcf", false);
        ASSERT_EQ(b.cardCount(), 2);
        const Card &c = b.cards[1];
        EXPECT_EQ(c.names, QStringList{QStringLiteral("安藤 ロイド 1")});
        EXPECT_EQ(c.postalCode, "150-8512");
        EXPECT_EQ(c.address, QStringLiteral("東京都渋谷区桜丘町26-1セルリアンタワー6階"));
        EXPECT_EQ(c.memo, QStringLiteral("メモ"));
    }
    {
        const AddressBook b = parseFixture("v21_nest.vcf");
        ASSERT_EQ(b.cardCount(), 4);
        EXPECT_EQ(b.cards[1].names, QStringList{"parent"});
        EXPECT_EQ(b.cards[1].telephone, "1");
        EXPECT_EQ(b.cards[2].names, QStringList{"nest1"});
        EXPECT_EQ(b.cards[3].names, QStringList{"nest2"});
        EXPECT_TRUE(b.cards[2].telephone.isEmpty());
    }
    {
        const AddressBook b = parseFixture("v21_backslash.vcf");
        ASSERT_EQ(b.cardCount(), 2);
        EXPECT_EQ(b.cards[1].names,
                  (QStringList{"A;B\\ C\\; D \\:E \\\\", "A", "B\\C;D:E\\"}));
    }
    {
        const AddressBook b = parseFixture("v21_adr_multiple_line.vcf");
        ASSERT_EQ(b.cardCount(), 2);
        const Card &c = b.cards[1];
        EXPECT_EQ(c.names, QStringList{"bogus"});
        EXPECT_EQ(c.postalCode, "99999");
        // The lines after a trailing backslash have no colon: other items.
        EXPECT_EQ(c.address, "Deutschland  Hamburg Grindelberg 999  Hermann v. Brevern\\");
        EXPECT_EQ(c.birthday, dt(2008, 12, 3));
        EXPECT_EQ(c.memo, Cr + VcardOtherItemsHeader
                              + QStringLiteral("\r\nURL:http://bogus.com/\r\n9999999\\\r\n"
                                               "Packstation 999;Hamburg;;99999;Deutschland\r\n"));
    }
    {
        const AddressBook b = parseFixture("v21_complicated.vcf");
        ASSERT_EQ(b.cardCount(), 2);
        const Card &c = b.cards[1];
        EXPECT_EQ(c.names, (QStringList{"Gump Forrest Hoge Pos Tao", "Joe Due"}));
        EXPECT_EQ(c.telephone, "(111) 555-1212  (404) 555-1212  0322222222  0333333333");
        EXPECT_EQ(c.mobile, "0311111111");
        EXPECT_EQ(c.ids, (QStringList{"forrestgump@walladalla.com", "cell@example.com"}));
        EXPECT_EQ(c.postalCode, "30314");
        EXPECT_EQ(c.address, "United States of America LA Baytown 100 Waters Edge  "
                             "United States of America LA Baytown 42 Plantation St.");
        EXPECT_EQ(c.birthday, dt(1980, 1, 1));
        EXPECT_EQ(c.updated, dt(2008, 4, 25, 4, 52, 43));
        EXPECT_EQ(c.created, c.updated);
        const QStringList memo = c.memo.split(Cr);
        ASSERT_GE(memo.size(), 3);
        EXPECT_EQ(memo[0], "The following note is the example from RFC 2045."
                           "Now's the time for all folk to come to the aid of their country.");
        EXPECT_EQ(memo[1], VcardOtherItemsHeader);
        EXPECT_EQ(memo[2], "ORG:Gump Shrimp Co.;Sales Dept.\\;Manager;Fish keeper");
        // The folded BASE64 photo is named in one line, never copied.
        const QStringList photo = memo.filter(QRegularExpression("^PHOTO"));
        EXPECT_EQ(photo, QStringList{QStringLiteral("PHOTO (画像 3,888 Byte) は読み込んでいません")});
        EXPECT_TRUE(memo.contains("GEO:35.6563854,139.6994233"));
        EXPECT_TRUE(memo.contains("URL:http://www.example.com/"));
        EXPECT_EQ(memo.last(), ""); // every item ends in CR LF
        EXPECT_EQ(parseFixture("v21_complicated.vcf", false).cards[1].memo, memo[0]);
    }
}

// ---------------------------------------------------------------------------
// Writing

TEST(VcardWrite, CardLayout)
{
    const QString text = vcardCardText(fullCard(), writeOptions());
    const QStringList l = lines(text);
    ASSERT_GE(l.size(), 20);
    EXPECT_EQ(l[0], "BEGIN:VCARD");
    EXPECT_EQ(l[1], "VERSION:2.1");
    EXPECT_EQ(l[2], QStringLiteral("N;PREF:山田;太郎"));
    EXPECT_EQ(l[3], QStringLiteral("FN;PREF:山田　太郎"));
    EXPECT_EQ(l[4], "N:Taro;Yamada");
    EXPECT_EQ(l[5], "FN:Taro Yamada");
    EXPECT_EQ(l[6], QStringLiteral("N:やまちゃん"));
    EXPECT_EQ(l[7], QStringLiteral("FN:やまちゃん"));
    EXPECT_TRUE(l[8].startsWith("NOTE;ENCODING=QUOTED-PRINTABLE:"));
    const QStringList tail = l.mid(l.indexOf("TEL;WORK;HOME;VOICE:03-1234-5678"));
    ASSERT_GE(tail.size(), 11);
    EXPECT_EQ(tail[1], "TEL;WORK;HOME;CELL;VOICE:090-1111-2222");
    EXPECT_EQ(tail[2], "TEL;WORK;HOME;PAGER;VOICE:020-333");
    EXPECT_EQ(tail[3], "TEL;WORK;HOME;FAX:03-1234-5679");
    EXPECT_TRUE(tail[4].startsWith("ADR;INTL;POSTAL;PARCEL;WORK;HOME;ENCODING=QUOTED-PRINTABLE:;"));
    const qsizetype email = tail.indexOf("EMAIL;PREF;INTERNET:ABC01234@nifty.example");
    ASSERT_GT(email, 4);
    EXPECT_EQ(tail[email + 1], "EMAIL;INTERNET:taro@example.jp");
    EXPECT_EQ(tail[email + 2], "BDAY:19700203");
    EXPECT_EQ(tail[email + 3], "REV:20010401T003000Z");
    EXPECT_EQ(tail[email + 4], "END:VCARD");
    EXPECT_EQ(tail.size(), email + 5);
}

TEST(VcardWrite, NamesIdsAndEscaping)
{
    Card c = Card::newCard();
    c.names = {QStringLiteral("Doe, John")};
    c.ids = {QStringLiteral("a;b@x")};
    QStringList l = lines(vcardCardText(c, writeOptions()));
    EXPECT_EQ(l[2], "N:Doe\\,;John");
    EXPECT_EQ(l[3], "FN:Doe\\, John");
    EXPECT_EQ(l[4], "EMAIL;INTERNET:a\\;b@x"); // one ID: no PREF, has "@": no domain

    // The domain setting may come without its "@".
    VcardWriteOptions bare = writeOptions();
    bare.niftyDomain = QStringLiteral("nifty.com");
    c.ids = {QStringLiteral("ABC01234"), QStringLiteral("x@y")};
    l = lines(vcardCardText(c, bare));
    EXPECT_EQ(l[4], "EMAIL;PREF;INTERNET:ABC01234@nifty.com");
    EXPECT_EQ(l[5], "EMAIL;INTERNET:x@y");

    c.names = {QStringLiteral("  Whole  ")};
    c.ids.clear();
    l = lines(vcardCardText(c, writeOptions()));
    EXPECT_EQ(l[2], "N:Whole");
    EXPECT_EQ(l[3], "FN:  Whole  ");
    EXPECT_FALSE(l.join(u'\n').contains("EMAIL"));

    // Full-width space, then TAB, split the name when there is no space.
    c.names = {QStringLiteral("山田　太郎\t様")};
    EXPECT_EQ(lines(vcardCardText(c, writeOptions()))[2], QStringLiteral("N:山田;太郎\t様"));
    c.names = {QStringLiteral("a\tb c")};
    EXPECT_EQ(lines(vcardCardText(c, writeOptions()))[2], "N:a\tb;c");

    // No names: no N or FN; a line break in a plain value cannot split it.
    c.names.clear();
    c.telephone = QStringLiteral("03\r\n1234");
    l = lines(vcardCardText(c, writeOptions()));
    EXPECT_EQ(l, (QStringList{"BEGIN:VCARD", "VERSION:2.1", "TEL;WORK;HOME;VOICE:03 1234",
                              "END:VCARD"}));
}

TEST(VcardWrite, QuotedPrintable)
{
    Card c = Card::newCard();
    c.memo = QStringLiteral("a=b_c\td~\r\nメ");
    QStringList l = lines(vcardCardText(c, writeOptions()));
    EXPECT_EQ(l[2], "NOTE;ENCODING=QUOTED-PRINTABLE:a=3Db=5Fc\td~=0D=0A=83=81");

    // A long memo: soft breaks, no physical line longer than 75 characters,
    // and the text reads back unchanged.
    c.memo = QString(200, u'x') + QStringLiteral("\r\n") + QString(100, u'あ')
        + QStringLiteral(";,\\");
    c.address = QString(30, u'住') + QString(10, u'1');
    c.postalCode = QString(90, u'9');
    const QString text = vcardCardText(c, writeOptions());
    l = lines(text);
    int soft = 0;
    for (const QString &ln : l) {
        EXPECT_LE(ln.size(), 75) << ln.toStdString();
        if (ln.endsWith(u'='))
            ++soft;
    }
    EXPECT_GT(soft, 10);
    // The first NOTE line is filled up to 74 characters plus "=".
    EXPECT_EQ(l[2].size(), 75);
    AddressBook book;
    parseVcardText(text, book, readOptions());
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].memo, c.memo);
    EXPECT_EQ(book.cards[1].address, c.address);
    EXPECT_EQ(book.cards[1].postalCode, c.postalCode);

    // No continuation line may begin with a blank (it would read as folded).
    for (int shift = 0; shift < 3; ++shift) {
        c = Card::newCard();
        c.memo = QString(shift, u'x') + QStringLiteral("a \t").repeated(60);
        const QString t = vcardCardText(c, writeOptions());
        for (const QString &ln : lines(t))
            EXPECT_FALSE(ln.startsWith(u' ') || ln.startsWith(u'\t')) << shift;
        parseVcardText(t, book, readOptions());
        EXPECT_EQ(book.cards[1].memo, c.memo) << shift;
    }

    // Only a postal code: the address component stays empty.
    Card p = Card::newCard();
    p.postalCode = QStringLiteral("100-0001");
    l = lines(vcardCardText(p, writeOptions()));
    EXPECT_EQ(l[2], "ADR;INTL;POSTAL;PARCEL;WORK;HOME;ENCODING=QUOTED-PRINTABLE:;;;;;100-0001;");
}

TEST(VcardWrite, Dates)
{
    Card c = Card::newCard();
    c.updated = dt(2001, 4, 1, 9, 30, 0);
    c.birthday = dt(2000, 2, 29);
    QStringList l = lines(vcardCardText(c, writeOptions()));
    EXPECT_TRUE(l.contains("REV:20010401T003000Z"));
    EXPECT_TRUE(l.contains("BDAY:20000229"));

    // Across midnight and the year; another offset.
    c.updated = dt(2001, 1, 1, 5, 0, 0);
    EXPECT_TRUE(lines(vcardCardText(c, writeOptions())).contains("REV:20001231T200000Z"));
    VcardWriteOptions west = writeOptions();
    west.utcOffsetSeconds = -5 * 3600;
    EXPECT_TRUE(lines(vcardCardText(c, west)).contains("REV:20010101T100000Z"));

    c.updated = NoDate;
    c.birthday = NoDate;
    const QString text = vcardCardText(c, writeOptions());
    EXPECT_FALSE(text.contains("REV"));
    EXPECT_FALSE(text.contains("BDAY"));
}

TEST(VcardWrite, WholeBookAndCancel)
{
    AddressBook book = AddressBook::newBook();
    for (int i = 0; i < 300; ++i) {
        Card c = fullCard();
        c.names = {QStringLiteral("N%1").arg(i)};
        book.cards.append(c);
    }
    const QString text = vcardFileText(book, writeOptions());
    EXPECT_EQ(text.count("BEGIN:VCARD\r\n"), 300);
    EXPECT_TRUE(text.startsWith("BEGIN:VCARD\r\nVERSION:2.1\r\nN:N0\r\n"));
    EXPECT_TRUE(text.endsWith("END:VCARD\r\n"));
    EXPECT_TRUE(vcardFileText(AddressBook::newBook(), writeOptions()).isEmpty());

    int calls = 0;
    bool cancelled = false;
    const QString none = vcardFileText(
        book, writeOptions(), [&](qint64, qint64) { return ++calls < 2; }, &cancelled);
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(none.isEmpty());
    EXPECT_EQ(calls, 2);
}

// In a text that was decoded already, the characters beside the escapes of a
// quoted-printable value stand for their bytes in the value's charset.
TEST(VcardRead, QuotedPrintableCharactersOfDecodedText)
{
    const struct {
        const char *what;
        QString line;
        QString memo;
    } cases[] = {
        {"CP932", QStringLiteral("NOTE;CHARSET=SHIFT_JIS;QUOTED-PRINTABLE:安=88=C0x"),
         QStringLiteral("安安x")},
        {"CP932 without a form", QStringLiteral("NOTE;CHARSET=SHIFT_JIS;QUOTED-PRINTABLE:\U0001F600=41"),
         QStringLiteral("?A")},
        {"Latin-1", QStringLiteral("NOTE;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:\u00E9=E9"),
         QStringLiteral("\u00E9\u00E9")},
        {"UTF-8", QStringLiteral("NOTE;CHARSET=UTF-8;QUOTED-PRINTABLE:\u00E9=C3=A9"),
         QStringLiteral("\u00E9\u00E9")},
        {"escapes only", QStringLiteral("NOTE;QUOTED-PRINTABLE:=83=81=83=82"), QStringLiteral("メモ")},
        {"empty", QStringLiteral("NOTE;QUOTED-PRINTABLE:"), QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(parseCard({c.line, QStringLiteral("FN:X")}).memo, c.memo);
    }
}
