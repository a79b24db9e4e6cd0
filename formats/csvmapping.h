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
// program's own headers (numbered ones of the split layout included) and the
// usual Japanese and English headers of other address software.

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
};
// The card items (0 .. 18), and with "( なし )" the choices of the dialog.
inline constexpr int CsvCardItemCount = 19;
inline constexpr int CsvItemChoiceCount = 20;

using CsvMapping = QList<int>;

// The caption of an item in the mapping dialog ("ID (メールアドレス)" ...
// "( なし )"); "" for a number outside 0 .. 19.
QString csvItemCaption(int item);

// A header text reduced to the form the recognition table is written in:
// half-width and full-width spaces removed, narrowed to half-width forms,
// upper case, a leading "自宅の" then a leading "自宅" removed, trailing
// digits removed.
QString normalizeCsvHeader(QStringView header);

// The item a header text is recognised as, or CsvItemNone.
int autoCsvItem(QStringView header);

// The proposed mapping: one item per header cell.
CsvMapping autoCsvSelect(const QStringList &header);

// A line of the dialog's column list: the header fitted to exactly 22 bytes
// of CP932 (padded with spaces; a character the cut would split becomes a
// space), " → ", and the caption of the item.
QString csvHeaderLine(QStringView header, int item);

// The mapping made safe to apply to header: one entry per header cell,
// every entry outside 0 .. 19 (and every missing one) set to CsvItemNone.
CsvMapping normalizedMapping(const CsvMapping &mapping, qsizetype columns);
