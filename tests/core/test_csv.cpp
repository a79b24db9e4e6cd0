#include <QTemporaryDir>

#include <algorithm>

#include "common/cp932.h"
#include "common/oledate.h"
#include "common/textcompare.h"
#include "core/cardops.h"
#include "formats/csv.h"
#include "formats/fileprocs.h"
#include "formats/importreport.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

DateValue dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

// All records of a text, each as its cells.
QList<QStringList> records(const QString &text)
{
    QList<QStringList> out;
    QStringList cells;
    qsizetype pos = 0;
    while (pos < text.size()) {
        csvRecordRead(cells, text, pos);
        out.append(cells);
    }
    return out;
}

// Parses text with the automatic mapping.
AddressBook parsed(const QString &text, DateValue now = dt(2024, 5, 1, 10, 0, 0))
{
    AddressBook book;
    EXPECT_EQ(parseCsvText(text, book, autoCsvMapper, now), 0);
    return book;
}

// A mapper that always returns the given mapping.
CsvMapper fixed(CsvMapping mapping)
{
    return [mapping](CsvSample &, CsvMapping &out) {
        out = mapping;
        return true;
    };
}

Card cardWith(const QStringList &ids, const QStringList &names = {})
{
    Card c = Card::newCard();
    c.ids = ids;
    c.names = names;
    return c;
}

AddressBook bookOf(const QList<Card> &cards)
{
    AddressBook book;
    for (Card c : cards) {
        c.number = book.cardCounter++;
        book.cards.append(c);
    }
    return book;
}

CsvExportOptions only(std::initializer_list<int> items, bool split = false)
{
    CsvExportOptions o;
    o.items.fill(false);
    for (int i : items)
        o.items[i] = true;
    o.splitColumns = split;
    return o;
}

const QString CrLf = QStringLiteral("\r\n");

} // namespace

// ---------------------------------------------------------------------------
// Record reader and cell unquoting.

TEST(CsvRecordRead, QuotesLineEndsAndStrayCharacters)
{
    // a""b inside quotes is a"b; CR LF inside quotes is LF; a quote inside an
    // unquoted cell stays; a lone LF outside quotes is cell text.
    const auto r = records(QStringLiteral("\"a\"\"b\",\"x\r\ny\",ab\"c\"d,p\nq\r\n"));
    ASSERT_EQ(r.size(), 1);
    EXPECT_EQ(r[0], (QStringList{"a\"b", "x\ny", "ab\"c\"d", "p\nq"}));

    // Quoted sections that touch are collected one after the other; text
    // after a closing quote belongs to the same cell, which is then not
    // enclosed and keeps its quotes.
    EXPECT_EQ(records(QStringLiteral("\"\"\"\"\r\n"))[0], QStringList{"\""});
    EXPECT_EQ(records(QStringLiteral("\"a\"b,c\r\n"))[0], (QStringList{"\"a\"b", "c"}));
    // A comma inside quotes does not split the cell; a lone CR inside quotes stays.
    EXPECT_EQ(records(QStringLiteral("\"a,b\",\"c\rd\"\r\n"))[0], (QStringList{"a,b", "c\rd"}));
    // A single quote as the whole cell is not an enclosed cell.
    EXPECT_EQ(records(QStringLiteral("x,\""))[0], (QStringList{"x", "\""}));
}

TEST(CsvRecordRead, RecordBoundaries)
{
    // CR alone and CR LF both end a record; blank lines give zero cells; a
    // trailing comma gives an empty last cell; the last record needs no line end.
    const auto r = records(QStringLiteral("a,b\rc,\r\n\r\n\r\n,\r\nlast"));
    ASSERT_EQ(r.size(), 6);
    EXPECT_EQ(r[0], (QStringList{"a", "b"}));
    EXPECT_EQ(r[1], (QStringList{"c", ""}));
    EXPECT_TRUE(r[2].isEmpty());
    EXPECT_TRUE(r[3].isEmpty());
    EXPECT_EQ(r[4], (QStringList{"", ""}));
    EXPECT_EQ(r[5], QStringList{"last"});

    // LF-only line ends: the whole file is one record.
    const auto lf = records(QStringLiteral("ID,Name\nx,y\nz,w\n"));
    ASSERT_EQ(lf.size(), 1);
    EXPECT_EQ(lf[0], (QStringList{"ID", "Name\nx", "y\nz", "w\n"}));

    // An unterminated quote swallows the rest of the text, line ends included.
    const auto open = records(QStringLiteral("a,\"b,c\r\nd,e\r\n"));
    ASSERT_EQ(open.size(), 1);
    EXPECT_EQ(open[0], (QStringList{"a", "\"b,c\r\nd,e\r\n"}));

    // Reading reuses the cell list: a shorter record leaves no stale cells.
    QStringList cells{"stale", "stale", "stale"};
    qsizetype pos = 0;
    EXPECT_EQ(csvRecordRead(cells, u"x\r\n", pos), 1);
    EXPECT_EQ(cells, QStringList{"x"});
    EXPECT_EQ(pos, 3);
}

// ---------------------------------------------------------------------------
// Automatic mapping.

TEST(CsvMapping, OwnExportHeadersMapBack)
{
    AddressBook book = bookOf({cardWith({"a", "b"}, {"n1", "n2"})});
    Card &c = book.cards[1];
    c.groups = QStringList{"g1", "g2"};
    c.memo = "m1\r\nm2\r\n";
    c.profile = QStringList{"p"};
    c.mailLog = QStringList{"l"};
    c.exchangeRecords = QStringList{"e"};
    c.remarkRecords = QStringList{"r", "s", "t"};
    for (bool split : {false, true}) {
        CsvExportOptions o;
        o.splitColumns = split;
        const QString text = csvFileText(book, o, u"@x");
        QStringList header;
        qsizetype pos = 0;
        csvRecordRead(header, text, pos);
        const CsvMapping m = autoCsvSelect(header);
        QList<int> expected;
        for (int item = 0; item < CsvCardItemCount; ++item) {
            const int columns = !split || !csvItemIsMulti(item) ? 1
                                : item == CsvItemRemarkRecords   ? 3
                                : item == CsvItemProfile || item == CsvItemMailLog
                                        || item == CsvItemExchangeRecords
                                    ? 1
                                    : 2;
            for (int k = 0; k < columns; ++k)
                expected.append(item);
        }
        EXPECT_EQ(m, expected) << "split " << split << ": " << header.join('|').toStdString();
    }
}

TEST(CsvMapping, RecognisesOtherSoftwaresHeaders)
{
    // Prefixes, trailing digits, spaces, case and width are all folded away.
    EXPECT_EQ(autoCsvItem(u"自宅の電話番号"), CsvItemTelephone);
    EXPECT_EQ(autoCsvItem(u"自宅住所"), CsvItemAddress);
    EXPECT_EQ(autoCsvItem(u"携帯電話2"), CsvItemMobile);
    EXPECT_EQ(autoCsvItem(u"e-mail"), CsvItemIds);
    EXPECT_EQ(autoCsvItem(u"\uFF2D\uFF41\uFF49\uFF4C"), CsvItemIds); // full-width Mail
    EXPECT_EQ(autoCsvItem(u"お名前"), CsvItemNone);
    EXPECT_EQ(autoCsvItem(u""), CsvItemNone);
    EXPECT_EQ(autoCsvItem(u"グループ3"), CsvItemGroups);       // full-width katakana
    EXPECT_EQ(autoCsvItem(u"ﾒﾓ"), CsvItemMemo);          // half-width katakana
    EXPECT_EQ(autoCsvItem(u" E - Mail\u3000"), CsvItemIds);  // spaces anywhere
    EXPECT_EQ(autoCsvItem(u"交流記録の自動記録12"), CsvItemExchangeAutoRecord);
    EXPECT_EQ(autoCsvItem(u"交流記録12"), CsvItemExchangeRecords);
    EXPECT_EQ(autoCsvItem(u"Tel Fax"), CsvItemNone);

    EXPECT_EQ(autoCsvSelect({"ID", "x", "名前"}), (CsvMapping{0, 19, 1}));
    EXPECT_EQ(normalizedMapping({3, 42, -1}, 4), (CsvMapping{3, 19, 19, 19}));
    EXPECT_EQ(normalizedMapping({3, 4, 5}, 2), (CsvMapping{3, 4}));
}

TEST(CsvMapping, HeaderKeysAreWorkedOutOnce)
{
    struct Case {
        const char16_t *header;
        const char16_t *key;
        int known;
        bool alias;
        int number;
    };
    const Case cases[] = {
        {u" 自宅の電話番号2 ", u"電話番号", CsvItemTelephone, false, -1},
        {u"\uFF2D\uFF41\uFF49\uFF4C", u"MAIL", CsvItemIds, false, -1},
        {u"ｸﾞﾙｰﾌﾟ\u3000", u"ｸﾞﾙｰﾌﾟ", CsvItemGroups, false, -1},
        {u"E-mail 2 Address", u"E-MAIL2ADDRESS", -1, true, 2},
        {u"Address 2 - City", u"ADDRESS2-CITY", -1, false, 2}, // only the first address
        {u"お名前", u"お名前", -1, false, -1},
        {u"", u"", -1, false, -1},
    };
    QStringList header;
    for (const Case &c : cases)
        header.append(QString::fromUtf16(c.header));
    const CsvHeaderKeys keys = csvHeaderKeys(header);
    ASSERT_EQ(keys.size(), header.size());
    for (qsizetype j = 0; j < keys.size(); ++j) {
        SCOPED_TRACE(header[j].toStdString());
        EXPECT_EQ(keys[j].key, QString::fromUtf16(cases[j].key));
        EXPECT_EQ(keys[j].known, cases[j].known);
        EXPECT_EQ(keys[j].alias >= 0, cases[j].alias);
        EXPECT_EQ(keys[j].number, cases[j].number);
    }
    // The mapping from the keys is the mapping from the header.
    EXPECT_EQ(autoCsvSelectFromKeys(keys), autoCsvSelect(header));
    const QStringList birthday = {"Birth Year", "Birth Day"};
    EXPECT_EQ(autoCsvSelectFromKeys(csvHeaderKeys(birthday)),
              (CsvMapping{CsvItemBirthYear, CsvItemBirthDayOfMonth}));
}

TEST(CsvMapping, HeaderLinesAreFittedTo22Bytes)
{
    const QString arrow = QStringLiteral(" → ");
    EXPECT_EQ(csvHeaderLine(u"ID", 0), QStringLiteral("ID") + QString(20, u' ') + arrow
                                           + QStringLiteral("ID (メールアドレス)"));
    // Eleven full-width characters fill exactly 22 bytes; twelve are cut.
    const QString eleven(11, QChar(0x3042));
    EXPECT_EQ(csvHeaderLine(eleven + QChar(0x3042), 19), eleven + arrow + QStringLiteral("( なし )"));
    // A character the cut would split becomes a space.
    const QString x21 = QString(21, u'x');
    EXPECT_EQ(csvHeaderLine(x21 + QChar(0x3042), 1), x21 + u' ' + arrow + QStringLiteral("名前"));
}

// ---------------------------------------------------------------------------
// Storing cells into cards.

TEST(CsvStore, ListsTextDatesMemoFlags)
{
    Card c = Card::newCard();
    storeCsvCell(c, CsvItemIds, u"x\ny");
    storeCsvCell(c, CsvItemIds, u"");        // nothing
    storeCsvCell(c, CsvItemIds, u"a\n\nb\n"); // empty middle piece kept, empty tail not
    EXPECT_EQ(c.ids, (QStringList{"x", "y", "a", "", "b"}));

    storeCsvCell(c, CsvItemTelephone, u"");
    storeCsvCell(c, CsvItemTelephone, u"5678");
    EXPECT_EQ(c.telephone, QStringLiteral("5678"));
    storeCsvCell(c, CsvItemAddress, u" 03-1234 ");
    storeCsvCell(c, CsvItemAddress, u"x\ny");
    storeCsvCell(c, CsvItemAddress, u"  ");   // adds no trailing space
    EXPECT_EQ(c.address, QStringLiteral("03-1234 x y"));

    storeCsvCell(c, CsvItemBirthday, u"1990/02/03 12:00:00");
    EXPECT_EQ(c.birthday, dt(1990, 2, 3));
    storeCsvCell(c, CsvItemBirthday, u"someday");
    EXPECT_EQ(c.birthday, dt(1990, 2, 3));
    storeCsvCell(c, CsvItemCreated, u"2001/02/03 04:05:06");
    EXPECT_EQ(c.created, dt(2001, 2, 3, 4, 5, 6));
    storeCsvCell(c, CsvItemUpdated, u"2001/02/03");
    EXPECT_EQ(c.updated, dt(2001, 2, 3));

    storeCsvCell(c, CsvItemMemo, u"");
    EXPECT_EQ(c.memo, QString());
    storeCsvCell(c, CsvItemMemo, u"l1\nl2");
    storeCsvCell(c, CsvItemMemo, u"l3\n"); // already ends a line: no extra empty line
    EXPECT_EQ(c.memo, QStringLiteral("l1\r\nl2\r\nl3\r\n"));

    for (const char16_t *on : {u"TRUE", u"True", u"true"}) {
        c.exchangeAutoRecord = 0;
        storeCsvCell(c, CsvItemExchangeAutoRecord, on);
        EXPECT_EQ(c.exchangeAutoRecord, FlagOn);
    }
    for (const char16_t *off : {u"1", u"yes", u"", u" true"}) {
        c.remarkAutoRecord = 7;
        storeCsvCell(c, CsvItemRemarkAutoRecord, off);
        EXPECT_EQ(c.remarkAutoRecord, FlagOff);
    }
    const Card before = c;
    storeCsvCell(c, CsvItemNone, u"anything");
    storeCsvCell(c, 42, u"anything");
    EXPECT_EQ(c, before);
}

TEST(CsvStore, LineBreaksInTextAndMemoCells)
{
    struct Case {
        const char16_t *cell;
        const char16_t *address; // as a text item
        const char16_t *memo;
    };
    const Case cases[] = {
        {u"a\nb", u"a b", u"a\r\nb\r\n"},
        {u"\n a \n", u"a", u"\r\n a \r\n"},
        {u"a\r\nb", u"a\r b", u"a\r\nb\r\n"},
        {u"a\r\r\nb\n\n", u"a\r\r b", u"a\r\r\nb\r\n\r\n"},
        {u"a\r", u"a\r", u"a\r\r\n"},
        {u"\n", u"", u"\r\n"},
        {u"\n\n", u"", u"\r\n\r\n"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(QString::fromUtf16(k.cell).toStdString());
        Card c = Card::newCard();
        storeCsvCell(c, CsvItemAddress, k.cell);
        EXPECT_EQ(c.address, QString::fromUtf16(k.address));
        storeCsvCell(c, CsvItemMemo, k.cell);
        EXPECT_EQ(c.memo, QString::fromUtf16(k.memo));
    }
    Card c = Card::newCard();
    c.address = QStringLiteral("x");
    storeCsvCell(c, CsvItemAddress, u"\n\n"); // nothing to add: no space either
    storeCsvCell(c, CsvItemAddress, u" y\nz\n");
    EXPECT_EQ(c.address, QStringLiteral("x y z"));
}

// ---------------------------------------------------------------------------
// Parsing whole texts.

TEST(CsvParse, RecordsBecomeCards)
{
    const DateValue now = dt(2024, 5, 1, 10, 0, 0);
    const AddressBook book = parsed(QStringLiteral("\r\nID,Name,Tel,Tel,x\r\n"
                                                   "\"a\r\nb\",N,03-1234,5678,ignored,beyond\r\n"
                                                   "\r\n\r\n"
                                                   "c\r\n"),
                                    now);
    ASSERT_EQ(book.cardCount(), 3);
    EXPECT_EQ(book.cardCounter, 3);
    const Card &a = book.cards[1];
    EXPECT_EQ(a.number, 1);
    EXPECT_EQ(a.ids, (QStringList{"a", "b"}));
    EXPECT_EQ(a.names, QStringList{"N"});
    EXPECT_EQ(a.telephone, QStringLiteral("03-1234 5678"));
    EXPECT_EQ(a.created, now);
    EXPECT_EQ(a.updated, now);
    const Card &c = book.cards[2];
    EXPECT_EQ(c.number, 2);
    EXPECT_EQ(c.ids, QStringList{"c"});
    EXPECT_TRUE(c.names.isEmpty());
    EXPECT_EQ(c.exchangeAutoRecord, FlagOn);
    EXPECT_EQ(c.remarkAutoRecord, FlagOff);
    EXPECT_EQ(c.created, now);

    EXPECT_EQ(parsed(QStringLiteral("ID,Name\r\n")).cardCount(), 1);     // header only
    EXPECT_EQ(parsed(QStringLiteral("ID\nx\ny\n")).cardCount(), 3);        // LF-only: LF ends records
    EXPECT_EQ(parsed(QStringLiteral("\r\n\r\n")).cardCount(), 1);          // blank lines only
}

TEST(CsvParse, MapperSeesHeaderAndPreviewAndCanCancel)
{
    QStringList seenHeader;
    QList<QStringList> seenPreview;
    CsvMapper cancel = [&](CsvSample &sample, CsvMapping &) {
        seenHeader = sample.header;
        seenPreview = sample.preview;
        return false;
    };
    QString text = QStringLiteral("A,B\r\n\r\n");
    for (int i = 0; i < 8; ++i)
        text += QString::number(i) + QStringLiteral(",x\r\n");
    AddressBook book = bookOf({cardWith({"old"})});
    EXPECT_EQ(parseCsvText(text, book, cancel, 0), -1);
    EXPECT_EQ(seenHeader, (QStringList{"A", "B"}));
    ASSERT_EQ(seenPreview.size(), CsvPreviewRecords);
    EXPECT_EQ(seenPreview[0], (QStringList{"0", "x"}));
    EXPECT_EQ(seenPreview[4], (QStringList{"4", "x"}));

    // A chosen mapping that is too short or holds bad numbers is made safe.
    ASSERT_EQ(parseCsvText(text, book, fixed({CsvItemNames, 99}), 0), 0);
    ASSERT_EQ(book.cardCount(), 9);
    EXPECT_EQ(book.cards[8].names, QStringList{"7"});
    EXPECT_TRUE(book.cards[8].ids.isEmpty());
}

TEST(CsvParse, ReadKeepsTheFilesHeaderWhateverTheMapperDoesToTheSample)
{
    const CsvMapper meddle = [](CsvSample &sample, CsvMapping &mapping) {
        sample.header = QStringList{"ID"};
        sample.keys.clear();
        mapping = {CsvItemIds};
        return true;
    };
    AddressBook book;
    ImportReport report;
    ASSERT_EQ(parseCsvText(QStringLiteral("mail,Note,,x\r\na@x,n,,y\r\n"), book, meddle, 0, {}, &report), 0);
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].ids, QStringList{"a@x"});
    EXPECT_TRUE(book.cards[1].memo.isEmpty());
    EXPECT_EQ(report.unmappedColumns, (QStringList{"Note", "x"}));
}

TEST(CsvParse, ProgressStops)
{
    QString text = QStringLiteral("ID\r\n");
    for (int i = 0; i < 10; ++i)
        text += QStringLiteral("id%1\r\n").arg(i);
    AddressBook book;
    int calls = 0;
    const Progress stopAtThird = [&](qint64, qint64) { return ++calls < 3; };
    EXPECT_EQ(parseCsvText(text, book, autoCsvMapper, 0, stopAtThird), -1);
    EXPECT_EQ(book.cardCount(), 3);
}

TEST(CsvFile, ReadRefusesEmptyAndRegistersGroups)
{
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty.csv");
    ASSERT_TRUE(writeAll(empty, QByteArray()));
    AddressBook book = bookOf({cardWith({"keep"})});
    ScriptedPrompter pr;
    EXPECT_EQ(CsvFileRead(empty, book, pr, autoCsvMapper), -1);
    EXPECT_EQ(pr.texts(), QStringList{"ファイルが読めません"});

    const QString path = dir.filePath("g.csv");
    ASSERT_TRUE(writeAll(path, cp932::encode(u"ID,グループ\r\na,\"g1\ng2\"\r\nb,g2\r\n")));
    pr.clear();
    ASSERT_EQ(CsvFileRead(path, book, pr, autoCsvMapper), 0);
    EXPECT_TRUE(pr.asked.isEmpty());
    ASSERT_EQ(book.cardCount(), 3);
    EXPECT_EQ(book.groupList(), (QStringList{"g1", "g2"}));
    EXPECT_EQ(book.cards[1].groups, (QStringList{"g1", "g2"}));
}

// ---------------------------------------------------------------------------
// Writing.

TEST(CsvWrite, DefaultOptionsOneCard)
{
    const AddressBook book = bookOf({cardWith({"X1"}, {"N"})});
    const QString text = csvFileText(book, CsvExportOptions(), u"@x");
    const QString header = QStringLiteral(
        "\"ID\",\"名前\",\"郵便番号\",\"住所\",\"電話番号\",\"FAX番号\",\"携帯電話\",\"ポケベル\","
        "\"誕生日\",\"グループ\",\"メモ\",\"プロフィール\",\"送受信簿\",\"交流記録の自動記録\",\"交流記録\","
        "\"発言記録の自動記録\",\"発言記録\",\"作成日時\",\"更新日時\"\r\n");
    const QString record = QStringLiteral(
        "\"X1\",\"N\",\"\",\"\",\"\",\"\",\"\",\"\",,\"\",\"\",\"\",\"\",True,\"\",False,\"\",,\r\n");
    EXPECT_EQ(text, header + record);
}

TEST(CsvWrite, CellsOfEachKind)
{
    Card c = cardWith({"A", "B"}, {"say \"hi\""});
    c.memo = "m1\r\nm2\r\n";
    c.birthday = dt(1990, 2, 3);
    c.created = dt(2001, 2, 3, 4, 5, 6);
    c.exchangeAutoRecord = 0;
    c.remarkAutoRecord = 255;
    const AddressBook book = bookOf({c});
    const QString text = csvFileText(
        book, only({CsvItemIds, CsvItemNames, CsvItemBirthday, CsvItemMemo,
                    CsvItemExchangeAutoRecord, CsvItemRemarkAutoRecord, CsvItemCreated}),
        u"@x");
    EXPECT_EQ(records(text)[1].size(), 7);
    EXPECT_TRUE(text.endsWith(QStringLiteral(
        "\r\n\"A\nB\",\"say \"\"hi\"\"\",1990/02/03,\"m1\nm2\n\",False,True,2001/02/03 04:05:06\r\n")));

    // No item chosen: every record is an empty line.
    EXPECT_EQ(csvFileText(book, only({}), u"@x"), QStringLiteral("\r\n\r\n"));
}

TEST(CsvWrite, SplitLayout)
{
    Card a = cardWith({"a1", "a2", "a3"}, {"n"});
    a.memo = "l1\r\nl2\r\n"; // two lines, not three
    Card b = cardWith({"b1"});
    b.memo = "only";
    Card empty = cardWith({"c"});
    const AddressBook book = bookOf({a, b, empty});
    const QString text = csvFileText(
        book, only({CsvItemIds, CsvItemNames, CsvItemProfile, CsvItemMemo, CsvItemPager}, true),
        u"@x");
    EXPECT_EQ(text, QStringLiteral("\"ID1\",\"ID2\",\"ID3\",\"名前1\",\"ポケベル\",\"メモ1\",\"メモ2\"\r\n"
                                   "\"a1\",\"a2\",\"a3\",\"n\",\"\",\"l1\",\"l2\"\r\n"
                                   "\"b1\",,,,\"\",\"only\",\r\n"
                                   "\"c\",,,,\"\",,\r\n"));

    // Only multi-valued items, none with values: records without cells.
    EXPECT_EQ(csvFileText(bookOf({Card::newCard()}), only({CsvItemProfile}, true), u"@x"),
              QStringLiteral("\r\n\r\n"));
}

TEST(CsvWrite, AddDomainAndOrder)
{
    const AddressBook book = bookOf({cardWith({"b@host", "ABC01234"}), cardWith({"ABC01234"}),
                                     cardWith({}, {"noid"}), cardWith({"a"}, {"first a"}),
                                     cardWith({"A"}, {"second A"}), cardWith({"a"}, {"third a"})});
    for (bool split : {false, true}) {
        CsvExportOptions o = only({CsvItemIds, CsvItemNames}, split);
        o.addDomain = true;
        const auto r = records(csvFileText(book, o, u"@nifty.example"));
        ASSERT_EQ(r.size(), 7);
        // A card without IDs first; equal IDs under text comparison stay
        // next to each other, exact ties in book order.
        QStringList firsts;
        for (int i = 1; i < r.size(); ++i)
            firsts << (split ? r[i][0] : r[i][0].section('\n', 0, 0)) + "|"
                       + r[i][split ? 2 : 1];
        EXPECT_EQ(firsts, (QStringList{"|noid", "A@nifty.example|second A",
                                       "a@nifty.example|first a", "a@nifty.example|third a",
                                       "ABC01234@nifty.example|",
                                       "b@host|"}))
            << "split " << split;
    }
    // Without the option the IDs are written as they are.
    EXPECT_TRUE(csvFileText(book, only({CsvItemIds}), u"@nifty.example")
                    .contains(QStringLiteral("\"b@host\nABC01234\"")));
    // The setting may be given with or without its "@".
    CsvExportOptions o = only({CsvItemIds});
    o.addDomain = true;
    EXPECT_TRUE(csvFileText(book, o, u"nifty.example")
                    .contains(QStringLiteral("\"b@host\nABC01234@nifty.example\"")));
    EXPECT_EQ(csvDomainSample(u"@nifty.example"),
              QStringLiteral("(ABC01234 → ABC01234@nifty.example)"));
    EXPECT_EQ(csvDomainSample(u"nifty.example"), csvDomainSample(u"@nifty.example"));
}

TEST(CsvFile, WriteAsksAndWritesCp932)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    ASSERT_TRUE(writeAll(path, "old"));
    const AddressBook book = bookOf({cardWith({"x"}, {"名前"})});
    ScriptedPrompter pr;
    EXPECT_EQ(CsvFileWrite(path, book, pr, [](CsvExportOptions &) { return false; }, "@x"), -1);
    EXPECT_EQ(readAll(path), QByteArray("old"));
    EXPECT_TRUE(pr.asked.isEmpty());

    CsvExportOptions seen;
    seen.splitColumns = true; // the asker receives the dialog's defaults
    const CsvExportAsker ask = [&](CsvExportOptions &o) {
        seen = o;
        o = only({CsvItemNames});
        return true;
    };
    EXPECT_EQ(CsvFileWrite(path, book, pr, ask, "@x"), 0);
    EXPECT_EQ(seen, CsvExportOptions());
    EXPECT_EQ(readAll(path), cp932::encode(u"\"名前\"\r\n\"名前\"\r\n"));
}

// ---------------------------------------------------------------------------
// Round trip: a generated book written as CSV and read back through the
// automatic mapping keeps every field that CSV carries.

namespace {

// What a card looks like after a write and read: numbers are new, flags
// are 10 or 0, a memo ends its last line, dates keep what their text shows.
void expectCarried(const Card &in, const Card &out, const QString &where)
{
    SCOPED_TRACE(where.toStdString());
    EXPECT_EQ(out.ids, in.ids);
    EXPECT_EQ(out.names, in.names);
    EXPECT_EQ(out.postalCode, in.postalCode);
    EXPECT_EQ(out.address, in.address);
    EXPECT_EQ(out.telephone, in.telephone);
    EXPECT_EQ(out.fax, in.fax);
    EXPECT_EQ(out.mobile, in.mobile);
    EXPECT_EQ(out.pager, in.pager);
    EXPECT_EQ(DateText(out.birthday), DateText(in.birthday));
    EXPECT_EQ(out.groups, in.groups);
    const QString memo = in.memo.isEmpty() || in.memo.endsWith(CrLf) ? in.memo : in.memo + CrLf;
    EXPECT_EQ(out.memo, memo);
    EXPECT_EQ(out.profile, in.profile);
    EXPECT_EQ(out.mailLog, in.mailLog);
    EXPECT_EQ(out.exchangeAutoRecord, in.exchangeAutoRecord ? FlagOn : FlagOff);
    EXPECT_EQ(out.exchangeRecords, in.exchangeRecords);
    EXPECT_EQ(out.remarkAutoRecord, in.remarkAutoRecord ? FlagOn : FlagOff);
    EXPECT_EQ(out.remarkRecords, in.remarkRecords);
    EXPECT_EQ(DateTimeText(out.created), DateTimeText(in.created));
    EXPECT_EQ(DateTimeText(out.updated), DateTimeText(in.updated));
}

} // namespace

TEST(CsvRoundTrip, GeneratedBookThroughFiles)
{
    GeneratorOptions g;
    g.seed = 7;
    g.cards = 300;
    g.badCards = false;
    const AddressBook book = generateBook(g);

    // The order the writer uses: by first ID, ties in book order.
    QList<qsizetype> order;
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        order.append(i);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const auto first = [&](qsizetype i) {
            return book.cards[i].ids.isEmpty() ? QString() : book.cards[i].ids.first();
        };
        return textLess(first(a), first(b));
    });

    QTemporaryDir dir;
    for (bool split : {false, true}) {
        const QString path = dir.filePath(split ? "split.csv" : "single.csv");
        ScriptedPrompter pr;
        const CsvExportAsker ask = [split](CsvExportOptions &o) {
            o.splitColumns = split;
            return true;
        };
        ASSERT_EQ(CsvFileWrite(path, book, pr, ask, "@x"), 0);
        AddressBook back;
        ASSERT_EQ(CsvFileRead(path, back, pr, autoCsvMapper), 0);
        EXPECT_TRUE(pr.asked.isEmpty());
        ASSERT_EQ(back.cardCount(), book.cardCount());
        EXPECT_EQ(back.cardCounter, book.cardCount());
        for (qsizetype k = 0; k < order.size(); ++k) {
            expectCarried(book.cards[order[k]], back.cards[k + 1],
                          QStringLiteral("%1 card %2").arg(split ? "split" : "single").arg(order[k]));
            EXPECT_EQ(back.cards[k + 1].number, k + 1);
        }
        for (qsizetype i = 1; i < back.cardCount(); ++i)
            for (const QString &group : back.cards[i].groups)
                EXPECT_TRUE(back.groupList().contains(group));

        // From then on the text is a fixed point: another round changes nothing
        // (a memo does not gain a line each time).
        CsvExportOptions o;
        o.splitColumns = split;
        const QString again = csvFileText(back, o, u"@x");
        AddressBook third;
        ASSERT_EQ(parseCsvText(again, third, autoCsvMapper, 0), 0);
        EXPECT_EQ(csvFileText(third, o, u"@x"), again);
        if (split) { // the lines of a memo are cells of their own: nothing changes at all
            EXPECT_EQ(again, csvFileText(book, o, u"@x"));
        }
    }
}
