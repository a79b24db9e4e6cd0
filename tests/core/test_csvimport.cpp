// Reading the CSV files of other programs: encodings, LF line ends, their
// headers, name and birthday parts, date forms, and what the read reports.

#include <QTemporaryDir>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/csv.h"
#include "formats/importreport.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

DateValue day(int y, int m, int d)
{
    return oleFromDate(QDate(y, m, d));
}

// Parses text with the automatic mapping; report receives what happened.
AddressBook parsed(const QString &text, ImportReport *report = nullptr)
{
    AddressBook book;
    EXPECT_EQ(parseCsvText(text, book, autoCsvMapper, 0, {}, report), 0);
    return book;
}

QList<QStringList> records(const QString &text, CsvLineEnds ends)
{
    QList<QStringList> out;
    QStringList cells;
    qsizetype pos = 0;
    while (pos < text.size()) {
        csvRecordRead(cells, text, pos, ends);
        out.append(cells);
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------
// Line ends.

TEST(CsvLineEnds, FilesWithoutCrLfEndRecordsAtLfAndCr)
{
    EXPECT_EQ(csvLineEndsOf(u"a\r\nb\nc"), CsvLineEnds::CrLf);
    EXPECT_EQ(csvLineEndsOf(u"a\nb\rc"), CsvLineEnds::Bare);
    EXPECT_EQ(csvLineEndsOf(u""), CsvLineEnds::Bare);

    // A line break inside quotes stays in the cell; blank lines give no cells.
    const auto r = records(u"a,b\nc,\"x\ny\"\rd\n\n\"p\rq\",\n"_qs, CsvLineEnds::Bare);
    ASSERT_EQ(r.size(), 5);
    EXPECT_EQ(r[0], (QStringList{"a", "b"}));
    EXPECT_EQ(r[1], (QStringList{"c", "x\ny"}));
    EXPECT_EQ(r[2], QStringList{"d"});
    EXPECT_TRUE(r[3].isEmpty());
    EXPECT_EQ(r[4], (QStringList{"p\rq", ""}));

    // One CR LF anywhere: the program's own rule for the whole file.
    EXPECT_EQ(parsed(u"ID\nx\r\ny\n"_qs).cardCount(), 2);
    EXPECT_EQ(parsed(u"ID\nx\ny\n"_qs).cardCount(), 3);
    EXPECT_EQ(parsed(u"ID\rx\ry"_qs).cardCount(), 3);
}

// ---------------------------------------------------------------------------
// Headers.

TEST(CsvMapping, HeadersOfOtherProgramsExports)
{
    const struct {
        const char16_t *header;
        int item;
    } cases[] = {
        // Recognised before, and unchanged.
        {u"ID", CsvItemIds}, {u"メールアドレス", CsvItemIds}, {u"E-mail", CsvItemIds},
        {u"Name", CsvItemNames}, {u"ニックネーム", CsvItemNames}, {u"ミドル ネーム", CsvItemNames},
        {u"Post", CsvItemPostalCode}, {u"自宅 郵便番号", CsvItemPostalCode},
        {u"自宅 番地 2", CsvItemAddress}, {u"自宅 都道府県", CsvItemAddress}, {u"Address", CsvItemAddress},
        {u"Phone", CsvItemTelephone}, {u"自宅 FAX", CsvItemFax}, {u"Cell", CsvItemMobile},
        {u"自動車電話", CsvItemMobile}, {u"ポケットベル", CsvItemPager}, {u"Birthday", CsvItemBirthday},
        {u"誕生日", CsvItemBirthday}, {u"Group", CsvItemGroups}, {u"Note", CsvItemMemo},
        {u"メモ", CsvItemMemo}, {u"Tel Fax", CsvItemNone}, {u"お名前", CsvItemNone},
        // Google Contacts.
        {u"First Name", CsvItemGivenName}, {u"Last Name", CsvItemFamilyName},
        {u"Given Name", CsvItemGivenName}, {u"Family Name", CsvItemFamilyName},
        {u"E-mail 1 - Value", CsvItemIds}, {u"E-mail 3 - Value", CsvItemIds},
        {u"E-mail 1 - Label", CsvItemNone}, {u"Phone 2 - Value", CsvItemTelephone},
        {u"Phone 2 - Type", CsvItemNone}, {u"Address 1 - Street", CsvItemAddress},
        {u"Address 1 - City", CsvItemAddress}, {u"Address 1 - Region", CsvItemAddress},
        {u"Address 1 - Postal Code", CsvItemPostalCode}, {u"Address 1 - Country", CsvItemAddress},
        {u"Address 1 - PO Box", CsvItemAddress}, {u"Address 1 - Extended Address", CsvItemAddress},
        {u"Address 2 - Street", CsvItemNone}, {u"Address 1 - Formatted", CsvItemNone},
        {u"Labels", CsvItemGroups}, {u"Group Membership", CsvItemGroups}, {u"Notes", CsvItemMemo},
        {u"Nickname", CsvItemNone},
        // Outlook, English.
        {u"E-mail Address", CsvItemIds}, {u"E-mail 2 Address", CsvItemIds},
        {u"E-mail 3 Address", CsvItemIds}, {u"E-mail Display Name", CsvItemNone},
        {u"Home Street", CsvItemAddress}, {u"Home Street 3", CsvItemAddress},
        {u"Home City", CsvItemAddress}, {u"Home State", CsvItemAddress},
        {u"Home Postal Code", CsvItemPostalCode}, {u"Home Country/Region", CsvItemAddress},
        {u"Home Address PO Box", CsvItemAddress}, {u"Business Street", CsvItemNone},
        {u"Home Phone", CsvItemTelephone}, {u"Home Phone 2", CsvItemTelephone},
        {u"Business Phone", CsvItemTelephone}, {u"Home Fax", CsvItemFax},
        {u"Business Fax", CsvItemFax}, {u"Mobile Phone", CsvItemMobile}, {u"Car Phone", CsvItemMobile},
        {u"Pager", CsvItemPager}, {u"Categories", CsvItemGroups}, {u"Title", CsvItemNone},
        // Outlook, Japanese.
        {u"姓", CsvItemFamilyName}, {u"名", CsvItemGivenName}, {u"自宅電話", CsvItemTelephone},
        {u"自宅電話 2", CsvItemTelephone}, {u"会社電話", CsvItemTelephone}, {u"会社 FAX", CsvItemFax},
        {u"電子メール アドレス", CsvItemIds}, {u"電子メール 2 アドレス", CsvItemIds},
        {u"電子メール 表示名", CsvItemNone}, {u"自宅 国/地域", CsvItemAddress},
        {u"自宅住所 私書箱", CsvItemAddress}, {u"会社 番地", CsvItemNone}, {u"分類", CsvItemGroups},
        // Thunderbird.
        {u"Display Name", CsvItemNames}, {u"Primary Email", CsvItemIds},
        {u"Secondary Email", CsvItemIds}, {u"Work Phone", CsvItemTelephone},
        {u"Fax Number", CsvItemFax}, {u"Pager Number", CsvItemPager},
        {u"Mobile Number", CsvItemMobile}, {u"Home Address 2", CsvItemAddress},
        {u"Home ZipCode", CsvItemPostalCode}, {u"Birth Year", CsvItemBirthYear},
        {u"Birth Month", CsvItemBirthMonth}, {u"Work City", CsvItemNone}, {u"表示名", CsvItemNames},
        // The captions of the new items.
        {u"誕生年", CsvItemBirthYear}, {u"誕生月", CsvItemBirthMonth},
        {u"誕生日(日)", CsvItemBirthDayOfMonth},
    };
    for (const auto &c : cases)
        EXPECT_EQ(autoCsvItem(c.header), c.item) << QString::fromUtf16(c.header).toStdString();
}

TEST(CsvMapping, BirthDayIsTheDayOnlyBesideAYearOrMonthColumn)
{
    EXPECT_EQ(autoCsvSelect({"Birth Day"}), CsvMapping{CsvItemBirthday});
    EXPECT_EQ(autoCsvSelect({"Birth Year", "Birth Month", "Birth Day"}),
              (CsvMapping{CsvItemBirthYear, CsvItemBirthMonth, CsvItemBirthDayOfMonth}));
    EXPECT_EQ(autoCsvSelect({"誕生月", "誕生日", "Birthday"}),
              (CsvMapping{CsvItemBirthMonth, CsvItemBirthDayOfMonth, CsvItemBirthDayOfMonth}));
}

TEST(CsvMapping, CardItemCaptionsAreTheHeaderLabelsButForTheId)
{
    EXPECT_EQ(csvItemLabel(CsvItemIds), u"ID"_qs);
    EXPECT_EQ(csvItemCaption(CsvItemIds), u"ID (メールアドレス)"_qs);
    for (int item = 1; item < CsvCardItemCount; ++item)
        EXPECT_EQ(csvItemCaption(item), csvItemLabel(item)) << item;
    for (const int outside : {-1, int(CsvItemNone), CsvItemChoiceCount})
        EXPECT_EQ(csvItemLabel(outside), QString()) << outside;
    EXPECT_EQ(csvItemCaption(-1), QString());
}

TEST(CsvMapping, ItemsForReadingComeAfterNone)
{
    const QStringList captions{"( なし )", "姓", "名", "誕生年", "誕生月", "誕生日(日)"};
    for (int i = 0; i < captions.size(); ++i)
        EXPECT_EQ(csvItemCaption(CsvItemNone + i), captions[i]);
    EXPECT_EQ(csvItemCaption(CsvItemChoiceCount), QString());
    EXPECT_EQ(normalizedMapping({24, 25}, 2), (CsvMapping{24, CsvItemNone}));
}

TEST(CsvMapping, GooglePhoneTypes)
{
    const struct {
        const char16_t *type;
        int item;
    } cases[] = {
        {u"Mobile", CsvItemMobile}, {u"* Mobile", CsvItemMobile}, {u"MOBILE", CsvItemMobile},
        {u"Home Fax", CsvItemFax},  {u"Work Fax", CsvItemFax},    {u"Pager", CsvItemPager},
        {u"Home", CsvItemTelephone}, {u"Work", CsvItemTelephone}, {u"Main", CsvItemTelephone},
        {u"", CsvItemTelephone},    {u"携帯", CsvItemMobile},
    };
    for (const auto &c : cases)
        EXPECT_EQ(csvPhoneItemOfType(c.type), c.item) << QString::fromUtf16(c.type).toStdString();
}

// ---------------------------------------------------------------------------
// Dates.

TEST(CsvDates, Forms)
{
    const struct {
        const char16_t *cell;
        bool monthFirst;
        CsvDate::Kind kind;
        QDateTime when; // Date
        int month, day; // MonthDay
    } cases[] = {
        {u"1990/5/1", false, CsvDate::Date, QDateTime(QDate(1990, 5, 1), QTime(0, 0), Qt::UTC)},
        {u"1990/05/01 12:34:56", false, CsvDate::Date, QDateTime(QDate(1990, 5, 1), QTime(12, 34, 56), Qt::UTC)},
        {u"1990-05-01", false, CsvDate::Date, QDateTime(QDate(1990, 5, 1), QTime(0, 0), Qt::UTC)},
        {u"2001-02-03T04:05:06", false, CsvDate::Date, QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC)},
        {u"2001-02-03 04:05", false, CsvDate::Date, QDateTime(QDate(2001, 2, 3), QTime(4, 5), Qt::UTC)},
        {u"19900501", false, CsvDate::Date, QDateTime(QDate(1990, 5, 1), QTime(0, 0), Qt::UTC)},
        {u"1990年5月1日", false, CsvDate::Date, QDateTime(QDate(1990, 5, 1), QTime(0, 0), Qt::UTC)},
        {u"１９９０年１２月３１日", false, CsvDate::Date, QDateTime(QDate(1990, 12, 31), QTime(0, 0), Qt::UTC)},
        {u" 5/1/1990 ", true, CsvDate::Date, QDateTime(QDate(1990, 5, 1), QTime(0, 0), Qt::UTC)},
        {u"5/1/1990", false, CsvDate::Unreadable},      // not under a Japanese header
        {u"--07-04", false, CsvDate::MonthDay, {}, 7, 4},
        {u"--0229", false, CsvDate::MonthDay, {}, 2, 29},
        {u"7月4日", false, CsvDate::MonthDay, {}, 7, 4},
        {u"", false, CsvDate::Empty},
        {u"   ", false, CsvDate::Empty},
        {u"0/0/00", true, CsvDate::Empty},              // Outlook's empty date
        {u"0000-00-00", false, CsvDate::Empty},
        {u"1990-02-30", false, CsvDate::Unreadable},
        {u"19901301", false, CsvDate::Unreadable},
        {u"--13-01", false, CsvDate::Unreadable},
        {u"someday", false, CsvDate::Unreadable},
        {u"1990-05-01x", false, CsvDate::Unreadable},
        {u"0099-01-01", false, CsvDate::Unreadable},
    };
    for (const auto &c : cases) {
        const QString cell = QString::fromUtf16(c.cell);
        const CsvDate d = parseCsvDate(cell, c.monthFirst);
        EXPECT_EQ(d.kind, c.kind) << cell.toStdString();
        if (c.kind == CsvDate::Date)
            EXPECT_EQ(d.value, oleFromDateTime(c.when)) << cell.toStdString();
        if (c.kind == CsvDate::MonthDay)
            EXPECT_EQ(std::make_pair(d.month, d.day), std::make_pair(c.month, c.day)) << cell.toStdString();
    }
}

// ---------------------------------------------------------------------------
// Records of other programs' layouts.

TEST(CsvRecords, FamilyAndGivenNamesJoinFamilyFirst)
{
    const AddressBook book = parsed(u"First Name,Last Name,Display Name\n"
                                    "太郎,山田,\n"            // joined only
                                    "John,Doe,John Doe\n"     // full name first, joined after
                                    "一郎,鈴木,鈴木 一郎\n"   // the same name once
                                    ",Solo,\n"                // one part alone
                                    ",,\n"_qs);
    ASSERT_EQ(book.cardCount(), 6);
    EXPECT_EQ(book.cards[1].names, QStringList{"山田 太郎"});
    EXPECT_EQ(book.cards[2].names, (QStringList{"John Doe", "Doe John"}));
    EXPECT_EQ(book.cards[3].names, QStringList{"鈴木 一郎"});
    EXPECT_EQ(book.cards[4].names, QStringList{"Solo"});
    EXPECT_TRUE(book.cards[5].names.isEmpty());
}

TEST(CsvRecords, BirthdayFromItsParts)
{
    ImportReport report;
    const AddressBook book = parsed(u"ID,Birth Year,Birth Month,Birth Day\n"
                                    "a,1978,11,3\n"
                                    "b,,6,15\n"
                                    "c,,,\n"
                                    "d,1978,2,30\n"
                                    "e,year,1,1\n"_qs,
                                    &report);
    ASSERT_EQ(book.cardCount(), 6);
    EXPECT_EQ(book.cards[1].birthday, day(1978, 11, 3));
    EXPECT_EQ(book.cards[2].birthday, NoDate);
    EXPECT_EQ(book.cards[2].memo, u"誕生日：6月15日\r\n"_qs);
    EXPECT_EQ(book.cards[3].birthday, NoDate);
    EXPECT_EQ(book.cards[3].memo, QString());
    EXPECT_EQ(book.cards[4].birthday, NoDate);
    EXPECT_EQ(book.cards[5].birthday, NoDate);
    EXPECT_EQ(report.recordsSkipped, 2); // the 30th of February, the year "year"
}

TEST(CsvRecords, AddressPartsInJapaneseOrder)
{
    // Other programs' parts join region first, after the ordinary 住所
    // columns; plain Japanese part headers keep their column order.
    const AddressBook book = parsed(
        u"Home Street,Home City,住所,Home State,Home Country/Region,Home Postal Code\n"
        "丸の内1-1,千代田区,ビル5F,東京都,日本,100-0005\n"_qs);
    EXPECT_EQ(book.cards[1].address, u"ビル5F 東京都 千代田区 丸の内1-1 日本"_qs);
    EXPECT_EQ(book.cards[1].postalCode, u"100-0005"_qs);

    EXPECT_EQ(parsed(u"番地,都道府県\n1-1,東京都\n"_qs).cards[1].address, u"1-1 東京都"_qs);
    EXPECT_EQ(parsed(u"自宅 番地,自宅 市区町村,自宅 都道府県\n1-1,港区,東京都\n"_qs).cards[1].address,
              u"東京都 港区 1-1"_qs);
}

TEST(CsvRecords, GooglePhonesGoWhereTheirTypeSays)
{
    const AddressBook book = parsed(
        u"Phone 1 - Type,Phone 1 - Value,Phone 2 - Label,Phone 2 - Value,Phone 3 - Value\n"
        "Mobile,090-1,Work Fax,03-9,03-5\n"
        "* Home,03-1 ::: 03-2,Pager,555\n"_qs);
    ASSERT_EQ(book.cardCount(), 3);
    EXPECT_EQ(book.cards[1].mobile, u"090-1"_qs);
    EXPECT_EQ(book.cards[1].fax, u"03-9"_qs);
    EXPECT_EQ(book.cards[1].telephone, u"03-5"_qs); // no type column: a telephone
    EXPECT_EQ(book.cards[2].telephone, u"03-1 03-2"_qs);
    EXPECT_EQ(book.cards[2].pager, u"555"_qs);

    // The type columns are read, so they are not unused.
    EXPECT_TRUE(unmappedCsvColumns({"Phone 1 - Type", "Phone 1 - Value"},
                                   autoCsvSelect({"Phone 1 - Type", "Phone 1 - Value"}))
                    .isEmpty());
    // A value the user maps elsewhere is not routed.
    CsvSample sample;
    AddressBook chosen;
    ASSERT_EQ(parseCsvText(u"Phone 1 - Type,Phone 1 - Value\nMobile,090\n"_qs, chosen,
                           [](CsvSample &, CsvMapping &m) {
                               m = {CsvItemNone, CsvItemPager};
                               return true;
                           },
                           0),
              0);
    EXPECT_EQ(chosen.cards[1].pager, u"090"_qs);
}

TEST(CsvRecords, SeveralValuesInOneCell)
{
    const AddressBook book = parsed(
        u"E-mail 1 - Value,Labels,Categories\n"
        "a@x ::: b@x,* myContacts ::: 友人 ::: * starred ::: 大学,Golf; Friends;\n"_qs);
    EXPECT_EQ(book.cards[1].ids, (QStringList{"a@x", "b@x"}));
    EXPECT_EQ(book.cards[1].groups, (QStringList{"友人", "大学", "Golf", "Friends"}));
}

TEST(CsvRecords, MonthFirstDatesUnderEnglishHeadersOnly)
{
    ImportReport report;
    const AddressBook book = parsed(u"Birthday,誕生日,作成日\n"
                                    "4/12/1985,4/12/1985,2024年1月2日\n"
                                    "0/0/00,--12-24,\n"_qs,
                                    &report);
    EXPECT_EQ(book.cards[1].birthday, day(1985, 4, 12));
    EXPECT_EQ(book.cards[1].created, day(2024, 1, 2));
    EXPECT_EQ(book.cards[2].birthday, NoDate);
    EXPECT_EQ(book.cards[2].memo, u"誕生日：12月24日\r\n"_qs);
    EXPECT_EQ(report.recordsSkipped, 1); // 4/12/1985 under 誕生日
}

// ---------------------------------------------------------------------------
// What a read reports.

TEST(CsvReport, UnmappedColumnsOnceCutAndCellsThatCouldNotBeRead)
{
    const QString longName = QString(300, u'x');
    ImportReport report;
    const AddressBook book = parsed(u"ID,Shoe,Shoe,%1,,\n"
                                    "a,41,42,z,,\n"
                                    "b,,,,held,,beyond\n"_qs.arg(longName),
                                    &report);
    EXPECT_EQ(report.cardsMade, 2);
    EXPECT_EQ(report.unmappedColumns, (QStringList{"Shoe", longName.left(41), "(5列目)"}));
    EXPECT_EQ(report.recordsSkipped, 1); // "beyond", past the header
    EXPECT_TRUE(report.message().contains(u"読み込む項目のない列: Shoe、"_qs + QString(40, u'x')
                                          + u"…、(5列目)"_qs));
}

TEST(CsvFile, EncodingsAreToldOrGiven)
{
    QTemporaryDir dir;
    const QString utf8 = dir.filePath("utf8.csv");
    ASSERT_TRUE(writeAll(utf8, u"名前,メールアドレス\n山田 太郎,taro@example.jp\n"_qs.toUtf8()));
    const QString sjis = dir.filePath("sjis.csv");
    ASSERT_TRUE(writeAll(sjis, cp932::encode(u"名前,ID\r\n山田 太郎,taro@example.jp\r\n")));

    ScriptedPrompter pr;
    AddressBook book;
    TextEncoding seen = TextEncoding::Auto;
    const CsvMapper watch = [&](CsvSample &sample, CsvMapping &mapping) {
        seen = sample.encoding;
        return autoCsvMapper(sample, mapping);
    };
    ASSERT_EQ(CsvFileRead(utf8, book, pr, watch), 0);
    EXPECT_EQ(seen, TextEncoding::Utf8);
    EXPECT_EQ(book.cards[1].names, QStringList{"山田 太郎"});
    EXPECT_EQ(book.cards[1].ids, QStringList{"taro@example.jp"});
    EXPECT_TRUE(pr.asked.isEmpty()); // a clean read says nothing

    ASSERT_EQ(CsvFileRead(sjis, book, pr, watch), 0);
    EXPECT_EQ(seen, TextEncoding::Cp932);
    EXPECT_EQ(book.cards[1].names, QStringList{"山田 太郎"});

    // Given as CP932, the UTF-8 file reads as what it is in CP932: its
    // header matches nothing, and the bytes that are no CP932 are told as
    // a loss.
    ASSERT_EQ(CsvFileRead(utf8, book, pr, watch, {}, TextEncoding::Cp932), 0);
    EXPECT_EQ(seen, TextEncoding::Cp932);
    EXPECT_TRUE(book.cards[1].names.isEmpty());
    ASSERT_EQ(pr.asked.size(), 1);
    EXPECT_EQ(pr.asked[0].message.icon, Prompter::Icon::Warning);
    EXPECT_TRUE(pr.lossReported());
    EXPECT_TRUE(pr.asked[0].message.text.contains(u"読み取れない文字"));
}

TEST(CsvFile, TheMapperMayReadTheFileAgainInAnotherEncoding)
{
    // UTF-8 with one broken byte: not valid UTF-8, so it looks like CP932.
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.csv");
    ASSERT_TRUE(writeAll(path, u"名前,ID\n山田,a@b\n"_qs.toUtf8() + "\xFF,c@d\n"));

    ScriptedPrompter pr;
    AddressBook book;
    QStringList firstHeader;
    const CsvMapper chooseUtf8 = [&](CsvSample &sample, CsvMapping &mapping) {
        firstHeader = sample.header;
        EXPECT_EQ(sample.encoding, TextEncoding::Cp932);
        EXPECT_TRUE(bool(sample.reread));
        sample = sample.reread(TextEncoding::Utf16); // look, then change one's mind
        sample = sample.reread(TextEncoding::Utf8);
        EXPECT_EQ(sample.header, (QStringList{"名前", "ID"}));
        EXPECT_EQ(sample.preview.size(), 2);
        return autoCsvMapper(sample, mapping);
    };
    ASSERT_EQ(CsvFileRead(path, book, pr, chooseUtf8), 0);
    EXPECT_NE(firstHeader.value(0), u"名前"_qs);
    ASSERT_EQ(book.cardCount(), 3);
    EXPECT_EQ(book.cards[1].names, QStringList{"山田"});
    EXPECT_EQ(book.cards[2].names, QStringList{"\uFFFD"});
    ASSERT_EQ(pr.asked.size(), 1);
    EXPECT_EQ(pr.asked[0].message.text,
              u"2 枚のカードを読み込みました。\r\n読み取れない文字 1 文字を置き換えました。"_qs);
}

// A CP932 or UTF-8 file is decoded record by record as it is read: cards,
// sample and report must be what decoding the whole file first gives, on
// bytes that are no characters beside the separators too.
TEST(CsvFile, ReadingRecordByRecordGivesWhatTheWholeTextGives)
{
    const QByteArray crlfLate = "ID,memo\na\nb\nc\nd\ne\nf\ng,\"x\r\ny\"\n";
    const struct {
        const char *what;
        QByteArray bytes;
        TextEncoding encoding;
    } cases[] = {
        {"lead byte before a comma", cp932::encode(u"名前,ID\r\n") + "\x81,a@b\r\n", TextEncoding::Auto},
        {"lead byte before a quote", cp932::encode(u"名前,メモ\r\n") + "\"x\x81\",\"y\"\r\n",
         TextEncoding::Auto},
        {"lead byte before CR", "ID\r\nab\x81\r\ncd\r\n", TextEncoding::Auto},
        {"lead byte at the end", "ID\r\nab\x81", TextEncoding::Cp932},
        {"blank lines before the header", "\r\n\r\nID,name\r\na,b\r\n", TextEncoding::Auto},
        {"unterminated quote", "ID,memo\r\na,\"open\r\nmore,\r\n", TextEncoding::Auto},
        {"bare line ends", "ID,memo\na,\"x\ny\"\rb,c\n\n", TextEncoding::Auto},
        {"CR LF only after the preview", crlfLate, TextEncoding::Auto},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + u"名前,ID\r\n山田,a@b\r\n"_qs.toUtf8(), TextEncoding::Auto},
        {"UTF-8 cut before separators", "ID,memo\n\xE5\xAE,a\n\xE5\",\"x\xF0\"\n", TextEncoding::Utf8},
        {"memo line breaks and quotes", "ID,memo\r\na,\"l1\nl2\r\nl3\"\"q\"\"\"\r\n", TextEncoding::Auto},
        {"blank text cells", "ID,address,phone\r\na, \n x \n,\r\n,,\r\n", TextEncoding::Auto},
        {"cells beyond the header", "ID\r\na,extra\r\n", TextEncoding::Auto},
        {"UTF-16", QByteArray("\xFF\xFE") + QByteArray("I\0D\0\r\0\n\0a\0\r\0\n\0", 14),
         TextEncoding::Auto},
    };
    QTemporaryDir dir;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath("case.csv");
        ASSERT_TRUE(writeAll(path, c.bytes));

        CsvSample fileSample, textSample;
        auto keeping = [](CsvSample &kept) {
            return [&kept](CsvSample &sample, CsvMapping &mapping) {
                kept = sample;
                return autoCsvMapper(sample, mapping);
            };
        };
        ScriptedPrompter pr;
        AddressBook fromFile;
        ASSERT_EQ(CsvFileRead(path, fromFile, pr, keeping(fileSample), {}, c.encoding), 0);

        ImportReport expected;
        TextEncoding used = TextEncoding::Auto;
        const QString text = decodeText(c.bytes, c.encoding, &expected.charactersReplaced, &used);
        AddressBook fromText;
        ASSERT_EQ(parseCsvText(text, fromText, keeping(textSample), 0, {}, &expected), 0);

        EXPECT_EQ(fileSample.encoding, used);
        EXPECT_EQ(fileSample.header, textSample.header);
        EXPECT_EQ(fileSample.preview, textSample.preview);
        ASSERT_EQ(fromFile.cardCount(), fromText.cardCount());
        for (qsizetype i = 1; i < fromFile.cardCount(); ++i) {
            Card a = fromFile.cards[i], b = fromText.cards[i];
            a.created = a.updated = b.created = b.updated = 0; // the import times differ
            EXPECT_EQ(a, b) << "card " << i;
            EXPECT_EQ(a.memo.isNull(), b.memo.isNull());
        }
        const QStringList told = pr.asked.isEmpty() ? QStringList() : QStringList{pr.asked[0].message.text};
        EXPECT_EQ(told, expected.worthTelling() || expected.lost() ? QStringList{expected.message()}
                                                                   : QStringList());
    }
}

// A read writes a card's texts in place; storeCsvCell builds them by
// appending. Both must give the same card on blank, broken and multi-line
// cells, and a second column of the same item appends to the first.
TEST(CsvRecords, TextsWrittenInPlaceAreTheStoredCells)
{
    const QStringList cells = {
        "", " ", "\n", " a \n b ", "l1\nl2", "l1\r\nl2\r\n", "\n\nx\n", "x\r\n", "\r\n", "a\"b",
    };
    const int items[] = {CsvItemIds, CsvItemNames, CsvItemAddress, CsvItemTelephone, CsvItemMemo};
    for (const int item : items) {
        for (const QString &cell : cells) {
            for (const int columns : {1, 2}) {
                SCOPED_TRACE(QStringLiteral("item %1, %2 columns, cell \"%3\"")
                                 .arg(item).arg(columns).arg(cell).toStdString());
                const QString quoted = csvQuote(cell);
                QString text = columns == 1 ? u"h\r\n"_qs : u"h,h\r\n"_qs;
                text += columns == 1 ? quoted : quoted + u',' + quoted;
                text += u"\r\n";
                AddressBook book;
                const CsvMapper mapper = [&](CsvSample &, CsvMapping &mapping) {
                    mapping = CsvMapping(columns, item);
                    return true;
                };
                ASSERT_EQ(parseCsvText(text, book, mapper, 0), 0);
                Card expected = Card::newCard();
                for (int k = 0; k < columns; ++k)
                    storeCsvCell(expected, item, csvUnquote(quoted));
                ASSERT_EQ(book.cardCount(), 2);
                Card read = book.cards[1];
                read.number = expected.number;
                read.created = expected.created;
                read.updated = expected.updated;
                EXPECT_EQ(read, expected);
            }
        }
    }
}
