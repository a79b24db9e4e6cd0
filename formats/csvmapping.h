#pragma once
// The column mapping of a CSV import: which card item each CSV column feeds.
//
// A mapping holds one CsvItem number per header column. 0 .. 18 are the card
// items in the order of the program's own CSV columns (ID, 名前, 郵便番号 ...
// 更新日時); CsvItemNone (19) leaves the column unused. Several columns may
// share an item: list items collect every cell, text items are joined with
// spaces (so "都道府県", "市区町村", "番地" together make the address).
//
// autoCsvSelect proposes a mapping from the header texts; it recognises the
// program's own headers (numbered ones of the split layout included), the
// usual Japanese and English headers of other address software, and the
// headers of the CSV exports of Google Contacts, Microsoft Outlook (English
// and Japanese) and Thunderbird.
//
// Five items exist for reading only (after "( なし )" in the dialog): 姓 and
// 名 join into one name, family name first ("山田 太郎"); 誕生年, 誕生月 and
// 誕生日(日) together make the birthday.

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

enum CsvItem : int {
    CsvItemIds = 0,
    CsvItemNames = 1,
    CsvItemPostalCode = 2,
    CsvItemAddress = 3,
    CsvItemTelephone = 4,
    CsvItemFax = 5,
    CsvItemMobile = 6,
    CsvItemPager = 7,
    CsvItemBirthday = 8,
    CsvItemGroups = 9,
    CsvItemMemo = 10,
    CsvItemProfile = 11,
    CsvItemMailLog = 12,
    CsvItemExchangeAutoRecord = 13,
    CsvItemExchangeRecords = 14,
    CsvItemRemarkAutoRecord = 15,
    CsvItemRemarkRecords = 16,
    CsvItemCreated = 17,
    CsvItemUpdated = 18,
    CsvItemNone = 19,
    // Read only: parts that make up a card field.
    CsvItemFamilyName = 20,
    CsvItemGivenName = 21,
    CsvItemBirthYear = 22,
    CsvItemBirthMonth = 23,
    CsvItemBirthDayOfMonth = 24,
};
// The card items (0 .. 18), written and read.
inline constexpr int CsvCardItemCount = 19;
// Every choice of the dialog: the card items, "( なし )" and the parts.
inline constexpr int CsvItemChoiceCount = 25;

using CsvMapping = QList<int>;

// The header label of item i (0 .. 18): "ID", "名前" ... "更新日時"; ""
// for another number.
QString csvItemLabel(int item);
// The caption of an item in the mapping dialog ("ID (メールアドレス)" ...
// "( なし )", "姓" ... "誕生日(日)"); "" for a number outside 0 .. 24.
QString csvItemCaption(int item);

// A header text reduced to the form the recognition table is written in:
// half-width and full-width spaces removed, narrowed to half-width forms,
// upper case, a leading "自宅の" then a leading "自宅" removed, trailing
// digits removed.
QString normalizeCsvHeader(QStringView header);

// The item a header text is recognised as, or CsvItemNone. The table of
// the program's own and the usual headers is looked up first, exactly;
// only a header it does not know is looked up among the headers of other
// programs' exports, with every digit removed ("E-mail 2 Address", "Phone 3
// - Value"; of Google's numbered addresses only "Address 1 - ...").
int autoCsvItem(QStringView header);

// What the recognition makes of one header cell. Worked out once per read
// (csvHeaderKeys) and handed to autoCsvSelect and csvColumnRoles, which
// would otherwise normalise every header cell again.
struct CsvHeaderKey
{
    QString key;     // normalizeCsvHeader
    int known = -1;  // its item in the table of the usual headers, or -1
    int alias = -1;  // not known there: its entry among the headers of
                     // other programs' exports, or -1
    int number = -1; // not known there: the first number it held, or -1
};
using CsvHeaderKeys = QList<CsvHeaderKey>;
// One key per header cell.
CsvHeaderKeys csvHeaderKeys(const QStringList &header);
// The proposed mapping: one item per header cell. A header that alone means
// the birthday ("Birth Day", "誕生日") is its day of the month when another
// column holds the year or the month.
CsvMapping autoCsvSelect(const QStringList &header);
// The same from the header's keys (csvHeaderKeys).
CsvMapping autoCsvSelectFromKeys(const CsvHeaderKeys &keys);

// What a column's header says about reading its cells, beyond its item.
struct CsvColumnRole
{
    enum class Split { None, Google, Semicolon };

    // A part of an address in another program's layout, mapped to 住所: its
    // place in the order of a Japanese address (0 region, 1 locality,
    // 2 street, 3 extended, 4 post office box, 5 country); the parts of a
    // record are joined in that order. Outlook's Japanese home address
    // parts ("自宅 番地", "自宅 市区町村", "自宅 都道府県", "自宅 国") count as
    // such parts. -1: an ordinary 住所 column ("住所", "都道府県" ...),
    // joined in column order.
    int addressPart = -1;
    // A Google phone value mapped to 電話番号: the column holding its type
    // ("Phone N - Type" or "Phone N - Label"), whose cell routes the value
    // (csvPhoneItemOfType). -1: none.
    int typeColumn = -1;
    // This column holds the type of another column's phone value: it is
    // read, though mapped to nothing.
    bool isTypeColumn = false;
    // A date column with an English header: "m/d/yyyy" is read too.
    bool monthFirstDates = false;
    // Several values in one cell: Google separates them by " ::: ",
    // Outlook's categories by ";".
    Split split = Split::None;
    // Google's own labels ("* myContacts", "* starred") are not groups.
    bool dropSystemLabels = false;
};
// The roles of the columns of header under mapping (one per header cell).
QList<CsvColumnRole> csvColumnRoles(const QStringList &header, const CsvMapping &mapping);
// The same with the header's keys (csvHeaderKeys(header)) at hand.
QList<CsvColumnRole> csvColumnRoles(const QStringList &header, const CsvHeaderKeys &keys,
                                    const CsvMapping &mapping);

// Where a Google phone value goes by its type: Mobile -> 携帯電話, any fax
// (Home Fax, Work Fax) -> FAX番号, Pager -> ポケベル, anything else
// (Home, Work, Main, Other, none) -> 電話番号. Case and a leading "* "
// (Google's mark of the main number) are ignored.
int csvPhoneItemOfType(QStringView type);

// True for a header written in English (ASCII only, with a Latin letter).
bool isEnglishCsvHeader(QStringView header);

// A line of the dialog's column list: the header fitted to exactly 22 bytes
// of CP932 (padded with spaces; a character the cut would split becomes a
// space), " → ", and the caption of the item.
QString csvHeaderLine(QStringView header, int item);

// The mapping made safe to apply to header: one entry per header cell,
// every entry outside 0 .. 24 (and every missing one) set to CsvItemNone.
CsvMapping normalizedMapping(const CsvMapping &mapping, qsizetype columns);
