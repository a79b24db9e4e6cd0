#include "formats/csvmapping.h"

#include <array>

#include "common/textwidth.h"
#include "common/widthconv.h"

namespace {

// The card items' labels: the program's own CSV header (numbered in the
// split layout) and, but for the ID, the mapping dialog's captions.
const std::array<QString, CsvCardItemCount> &labels()
{
    static const std::array<QString, CsvCardItemCount> list = {
        QStringLiteral("ID"),
        QStringLiteral("名前"),
        QStringLiteral("郵便番号"),
        QStringLiteral("住所"),
        QStringLiteral("電話番号"),
        QStringLiteral("FAX番号"),
        QStringLiteral("携帯電話"),
        QStringLiteral("ポケベル"),
        QStringLiteral("誕生日"),
        QStringLiteral("グループ"),
        QStringLiteral("メモ"),
        QStringLiteral("プロフィール"),
        QStringLiteral("送受信簿"),
        QStringLiteral("交流記録の自動記録"),
        QStringLiteral("交流記録"),
        QStringLiteral("発言記録の自動記録"),
        QStringLiteral("発言記録"),
        QStringLiteral("作成日時"),
        QStringLiteral("更新日時"),
    };
    return list;
}

// The dialog's choices after the card items: "( なし )" and the parts.
const std::array<QString, CsvItemChoiceCount - CsvCardItemCount> &extraCaptions()
{
    static const std::array<QString, CsvItemChoiceCount - CsvCardItemCount> list = {
        QStringLiteral("( なし )"),
        QStringLiteral("姓"),
        QStringLiteral("名"),
        QStringLiteral("誕生年"),
        QStringLiteral("誕生月"),
        QStringLiteral("誕生日(日)"),
    };
    return list;
}

struct Recognised {
    QStringView text; // its length known at compile time: every header is looked up
    int item;
};

// Compared in order; the first match wins. Katakana stand in their
// half-width forms, Latin letters in upper case (the header is normalised
// the same way before the lookup).
constexpr Recognised RecognitionTable[] = {
    {u"ID", 0}, {u"ﾒｰﾙｱﾄﾞﾚｽ", 0}, {u"電子ﾒｰﾙｱﾄﾞﾚｽ", 0}, {u"MAIL", 0}, {u"E-MAIL", 0},
    {u"名前", 1}, {u"ﾊﾝﾄﾞﾙ", 1}, {u"ﾆｯｸﾈｰﾑ", 1}, {u"ﾐﾄﾞﾙﾈｰﾑ", 1}, {u"本名", 1},
    {u"姓名", 1}, {u"NAME", 1},
    {u"郵便番号", 2}, {u"〒", 2}, {u"郵便", 2}, {u"POST", 2},
    {u"住所", 3}, {u"国", 3}, {u"都道府県", 3}, {u"市区町村", 3}, {u"市町村", 3},
    {u"番地", 3}, {u"ADDRESS", 3},
    {u"電話番号", 4}, {u"TEL", 4}, {u"TELEPHONE", 4}, {u"PHONE", 4},
    {u"FAX番号", 5}, {u"FAX", 5}, {u"ﾌｧｯｸｽ", 5},
    {u"携帯電話", 6}, {u"自動車電話", 6}, {u"CELL", 6},
    {u"ﾎﾟｹﾍﾞﾙ", 7}, {u"ﾎﾟｹｯﾄﾍﾞﾙ", 7}, {u"POCKETBELL", 7},
    {u"誕生日", 8}, {u"生年月日", 8}, {u"BIRTHDAY", 8},
    {u"ｸﾞﾙｰﾌﾟ", 9}, {u"GROUP", 9},
    {u"ﾒﾓ", 10}, {u"ﾉｰﾄ", 10}, {u"MEMO", 10}, {u"NOTE", 10},
    {u"ﾌﾟﾛﾌｨｰﾙ", 11}, {u"PROFILE", 11},
    {u"送受信簿", 12},
    {u"交流記録の自動記録", 13},
    {u"交流記録", 14},
    {u"発言記録の自動記録", 15},
    {u"発言記録", 16},
    {u"作成日時", 17}, {u"作成日", 17},
    {u"更新日時", 18}, {u"更新日", 18},
};

// Headers of other programs' CSV exports (Google Contacts, Outlook in
// English and Japanese, Thunderbird), looked up only when the table above
// does not know a header. Keys are normalised like the table's and have
// every digit removed, so "E-mail 2 Address" and "Phone 3 - Value" find
// their entry; the number they held is checked where it matters.
enum class AliasKind {
    Plain,
    GoogleValues,   // " ::: " separates several values
    GooglePhone,    // ... and the value goes where its type column says
    GooglePhoneType, // the type of a Google phone value
    GoogleLabels,   // " ::: " separated labels, Google's own ("* ...") dropped
    Categories,     // ";" separated groups
};
struct Alias {
    QStringView key;
    int item;
    int addressPart = -1; // see CsvColumnRole::addressPart
    AliasKind kind = AliasKind::Plain;
    bool firstOnly = false; // only the first of numbered groups ("Address 1 - ...")
};

enum AddressPart { Region = 0, Locality, Street, Extended, PostOfficeBox, Country };

constexpr Alias Aliases[] = {
    // Mail addresses, in column order.
    {u"EMAIL", CsvItemIds}, {u"EMAILADDRESS", CsvItemIds}, {u"E-MAILADDRESS", CsvItemIds},
    {u"PRIMARYEMAIL", CsvItemIds}, {u"SECONDARYEMAIL", CsvItemIds},
    {u"電子ﾒｰﾙｱﾄﾞﾚｽ", CsvItemIds}, {u"ﾒｰﾙｱﾄﾞﾚｽ", CsvItemIds},
    {u"E-MAIL-VALUE", CsvItemIds, -1, AliasKind::GoogleValues},
    // Names: a full name, and the family and given names joined.
    {u"DISPLAYNAME", CsvItemNames}, {u"FULLNAME", CsvItemNames}, {u"表示名", CsvItemNames},
    {u"LASTNAME", CsvItemFamilyName}, {u"FAMILYNAME", CsvItemFamilyName},
    {u"SURNAME", CsvItemFamilyName}, {u"姓", CsvItemFamilyName},
    {u"FIRSTNAME", CsvItemGivenName}, {u"GIVENNAME", CsvItemGivenName}, {u"名", CsvItemGivenName},
    // The (home) address.
    {u"HOMEPOSTALCODE", CsvItemPostalCode}, {u"HOMEZIPCODE", CsvItemPostalCode},
    {u"POSTALCODE", CsvItemPostalCode}, {u"ZIPCODE", CsvItemPostalCode}, {u"ZIP", CsvItemPostalCode},
    {u"ADDRESS-POSTALCODE", CsvItemPostalCode, -1, AliasKind::Plain, true},
    {u"HOMESTATE", CsvItemAddress, Region}, {u"STATE", CsvItemAddress, Region},
    {u"ADDRESS-REGION", CsvItemAddress, Region, AliasKind::Plain, true},
    {u"HOMECITY", CsvItemAddress, Locality}, {u"CITY", CsvItemAddress, Locality},
    {u"ADDRESS-CITY", CsvItemAddress, Locality, AliasKind::Plain, true},
    {u"HOMESTREET", CsvItemAddress, Street}, {u"HOMEADDRESS", CsvItemAddress, Street},
    {u"STREET", CsvItemAddress, Street},
    {u"ADDRESS-STREET", CsvItemAddress, Street, AliasKind::Plain, true},
    {u"ADDRESS-EXTENDEDADDRESS", CsvItemAddress, Extended, AliasKind::Plain, true},
    {u"HOMEADDRESSPOBOX", CsvItemAddress, PostOfficeBox}, {u"住所私書箱", CsvItemAddress, PostOfficeBox},
    {u"ADDRESS-POBOX", CsvItemAddress, PostOfficeBox, AliasKind::Plain, true},
    {u"HOMECOUNTRY", CsvItemAddress, Country}, {u"HOMECOUNTRY/REGION", CsvItemAddress, Country},
    {u"COUNTRY", CsvItemAddress, Country}, {u"国/地域", CsvItemAddress, Country},
    {u"ADDRESS-COUNTRY", CsvItemAddress, Country, AliasKind::Plain, true},
    // Telephones: home and work alike.
    {u"電話", CsvItemTelephone}, {u"会社電話", CsvItemTelephone}, {u"勤務先電話", CsvItemTelephone},
    {u"勤務先電話番号", CsvItemTelephone}, {u"HOMEPHONE", CsvItemTelephone},
    {u"BUSINESSPHONE", CsvItemTelephone}, {u"WORKPHONE", CsvItemTelephone},
    {u"PHONE-VALUE", CsvItemTelephone, -1, AliasKind::GooglePhone},
    {u"PHONE-TYPE", CsvItemNone, -1, AliasKind::GooglePhoneType},
    {u"PHONE-LABEL", CsvItemNone, -1, AliasKind::GooglePhoneType},
    {u"HOMEFAX", CsvItemFax}, {u"BUSINESSFAX", CsvItemFax}, {u"WORKFAX", CsvItemFax},
    {u"FAXNUMBER", CsvItemFax}, {u"会社FAX", CsvItemFax}, {u"勤務先FAX", CsvItemFax},
    {u"MOBILEPHONE", CsvItemMobile}, {u"MOBILE", CsvItemMobile}, {u"MOBILENUMBER", CsvItemMobile},
    {u"CELLPHONE", CsvItemMobile}, {u"CARPHONE", CsvItemMobile}, {u"携帯電話番号", CsvItemMobile},
    {u"携帯", CsvItemMobile},
    {u"PAGER", CsvItemPager}, {u"PAGERNUMBER", CsvItemPager},
    // The birthday, whole or in parts.
    {u"BIRTHDATE", CsvItemBirthday}, {u"DATEOFBIRTH", CsvItemBirthday},
    {u"BIRTHYEAR", CsvItemBirthYear}, {u"誕生年", CsvItemBirthYear},
    {u"BIRTHMONTH", CsvItemBirthMonth}, {u"誕生月", CsvItemBirthMonth},
    {u"誕生日(日)", CsvItemBirthDayOfMonth},
    // Groups and notes.
    {u"CATEGORIES", CsvItemGroups, -1, AliasKind::Categories},
    {u"分類", CsvItemGroups, -1, AliasKind::Categories},
    {u"GROUPS", CsvItemGroups},
    {u"LABELS", CsvItemGroups, -1, AliasKind::GoogleLabels},
    {u"GROUPMEMBERSHIP", CsvItemGroups, -1, AliasKind::GoogleLabels},
    {u"NOTES", CsvItemMemo},
};

// A header that alone means the whole birthday; next to a year or month
// column it is the day of the month (Thunderbird's "Birth Day").
constexpr QStringView WholeBirthdayKeys[] = {u"BIRTHDAY", u"誕生日"};

// A normalised header without its digits, and the first number it held
// (-1: none).
struct BareKey {
    QString key;
    int number = -1;
};

BareKey bareKey(QStringView normalised)
{
    BareKey b;
    b.key.reserve(normalised.size());
    for (qsizetype i = 0; i < normalised.size(); ++i) {
        const QChar c = normalised[i];
        if (c < u'0' || c > u'9') {
            b.key += c;
            continue;
        }
        int n = 0;
        while (i < normalised.size() && normalised[i] >= u'0' && normalised[i] <= u'9') {
            n = qMin(n * 10 + (normalised[i].unicode() - u'0'), 100000);
            ++i;
        }
        --i;
        if (b.number < 0)
            b.number = n;
    }
    return b;
}

// The index of the alias of a bare key in Aliases, or -1.
int aliasOf(const BareKey &b)
{
    for (qsizetype i = 0; i < qsizetype(std::size(Aliases)); ++i) {
        const Alias &a = Aliases[i];
        if (b.key == a.key && (!a.firstOnly || b.number == 1))
            return int(i);
    }
    return -1;
}

const Alias *aliasAt(int index)
{
    return index >= 0 ? &Aliases[index] : nullptr;
}

int tableItem(QStringView key)
{
    for (const Recognised &r : RecognitionTable)
        if (key == r.text)
            return r.item;
    return -1;
}

// Whether a header starts with "自宅" (spaces and width aside).
bool hasHomePrefix(QStringView header)
{
    QString s;
    for (QChar c : header)
        if (c != u' ' && c != u'\u3000')
            s.append(c);
    return s.startsWith(u"自宅");
}

// The place of a Japanese address part of the table in a Japanese address.
int homeAddressPart(QStringView key)
{
    if (key == u"都道府県")
        return Region;
    if (key == u"市区町村" || key == u"市町村")
        return Locality;
    if (key == u"番地")
        return Street;
    if (key == u"国")
        return Country;
    return -1;
}

bool isDateItem(int item)
{
    return item == CsvItemBirthday || item == CsvItemCreated || item == CsvItemUpdated;
}

constexpr char16_t HomePrefixOf[] = u"自宅の";
constexpr char16_t HomePrefix[] = u"自宅";
constexpr char16_t Arrow[] = u" → ";

} // namespace

QString csvItemLabel(int item)
{
    if (item < 0 || item >= CsvCardItemCount)
        return QString();
    return labels()[item];
}

QString csvItemCaption(int item)
{
    if (item == CsvItemIds)
        return QStringLiteral("ID (メールアドレス)");
    if (item >= CsvCardItemCount && item < CsvItemChoiceCount)
        return extraCaptions()[item - CsvCardItemCount];
    return csvItemLabel(item);
}

QString normalizeCsvHeader(QStringView header)
{
    // Narrowing turns a full-width space into a half-width one and makes no
    // other space: the spaces can go after it, in place.
    QString s = toHalfWidth(header);
    s.remove(u' ');
    s = std::move(s).toUpper();
    if (s.startsWith(QStringView(HomePrefixOf)))
        s.remove(0, QStringView(HomePrefixOf).size());
    if (s.startsWith(QStringView(HomePrefix)))
        s.remove(0, QStringView(HomePrefix).size());
    qsizetype end = s.size();
    while (end > 0 && s.at(end - 1) >= u'0' && s.at(end - 1) <= u'9')
        --end;
    s.truncate(end);
    return s;
}

namespace {

CsvHeaderKey headerKey(QStringView header)
{
    CsvHeaderKey k;
    k.key = normalizeCsvHeader(header);
    k.known = tableItem(k.key);
    if (k.known < 0) {
        const BareKey bare = bareKey(k.key);
        k.alias = aliasOf(bare);
        k.number = bare.number;
    }
    return k;
}

int itemOf(const CsvHeaderKey &k)
{
    if (k.known >= 0)
        return k.known;
    const Alias *alias = aliasAt(k.alias);
    return alias ? alias->item : CsvItemNone;
}

} // namespace

CsvHeaderKeys csvHeaderKeys(const QStringList &header)
{
    CsvHeaderKeys keys;
    keys.reserve(header.size());
    for (const QString &h : header)
        keys.append(headerKey(h));
    return keys;
}

int autoCsvItem(QStringView header)
{
    return itemOf(headerKey(header));
}

CsvMapping autoCsvSelect(const QStringList &header)
{
    return autoCsvSelectFromKeys(csvHeaderKeys(header));
}

CsvMapping autoCsvSelectFromKeys(const CsvHeaderKeys &keys)
{
    CsvMapping mapping;
    mapping.reserve(keys.size());
    bool birthParts = false;
    for (const CsvHeaderKey &k : keys) {
        const int item = itemOf(k);
        birthParts = birthParts || item == CsvItemBirthYear || item == CsvItemBirthMonth;
        mapping.append(item);
    }
    if (birthParts) {
        for (qsizetype j = 0; j < keys.size(); ++j) {
            if (mapping[j] != CsvItemBirthday)
                continue;
            for (QStringView whole : WholeBirthdayKeys)
                if (keys[j].key == whole)
                    mapping[j] = CsvItemBirthDayOfMonth;
        }
    }
    return mapping;
}

bool isEnglishCsvHeader(QStringView header)
{
    bool letter = false;
    for (QChar c : header) {
        if (c.unicode() >= 0x80)
            return false;
        letter = letter || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    }
    return letter;
}

QList<CsvColumnRole> csvColumnRoles(const QStringList &header, const CsvMapping &mapping)
{
    return csvColumnRoles(header, csvHeaderKeys(header), mapping);
}

QList<CsvColumnRole> csvColumnRoles(const QStringList &header, const CsvHeaderKeys &keys,
                                    const CsvMapping &mapping)
{
    QList<CsvColumnRole> roles(header.size());
    QList<const Alias *> aliases(header.size(), nullptr);
    QList<int> numbers(header.size(), -1);
    for (qsizetype j = 0; j < header.size(); ++j) {
        const int item = j < mapping.size() ? mapping[j] : CsvItemNone;
        CsvColumnRole &role = roles[j];
        role.monthFirstDates = isDateItem(item) && isEnglishCsvHeader(header[j]);
        const CsvHeaderKey &k = keys[j];
        if (k.known >= 0) {
            // A header of the table keeps the table's reading, except that
            // Outlook's home address parts ("自宅 番地", "自宅 都道府県" ...),
            // which it writes street first, join in Japanese order.
            if (k.known == CsvItemAddress && item == CsvItemAddress && hasHomePrefix(header[j]))
                role.addressPart = homeAddressPart(k.key);
            continue;
        }
        const Alias *alias = aliasAt(k.alias);
        aliases[j] = alias;
        numbers[j] = k.number;
        if (!alias || (alias->item != item && alias->kind != AliasKind::GooglePhoneType))
            continue; // chosen otherwise: read as that item reads
        if (item == CsvItemAddress)
            role.addressPart = alias->addressPart;
        switch (alias->kind) {
        case AliasKind::GoogleValues:
        case AliasKind::GooglePhone:
            role.split = CsvColumnRole::Split::Google;
            break;
        case AliasKind::GoogleLabels:
            role.split = CsvColumnRole::Split::Google;
            role.dropSystemLabels = true;
            break;
        case AliasKind::Categories:
            role.split = CsvColumnRole::Split::Semicolon;
            break;
        case AliasKind::Plain:
        case AliasKind::GooglePhoneType:
            break;
        }
    }
    // A phone value and the type column of the same number.
    for (qsizetype j = 0; j < header.size(); ++j) {
        if (!aliases[j] || aliases[j]->kind != AliasKind::GooglePhone
            || mapping.value(j, CsvItemNone) != CsvItemTelephone)
            continue;
        for (qsizetype k = 0; k < header.size(); ++k) {
            if (aliases[k] && aliases[k]->kind == AliasKind::GooglePhoneType
                && numbers[k] == numbers[j] && mapping.value(k, CsvItemNone) == CsvItemNone) {
                roles[j].typeColumn = int(k);
                roles[k].isTypeColumn = true;
                break;
            }
        }
    }
    return roles;
}

int csvPhoneItemOfType(QStringView type)
{
    QStringView t = type.trimmed();
    if (t.startsWith(u'*'))
        t = t.sliced(1).trimmed();
    if (t.compare(u"mobile", Qt::CaseInsensitive) == 0 || t.compare(u"cell", Qt::CaseInsensitive) == 0
        || t.startsWith(u"携帯"))
        return CsvItemMobile;
    if (t.contains(u"fax", Qt::CaseInsensitive) || t.contains(u"ＦＡＸ") || t.contains(u"ファックス"))
        return CsvItemFax;
    if (t.compare(u"pager", Qt::CaseInsensitive) == 0 || t.contains(u"ポケベル")
        || t.contains(u"ポケットベル"))
        return CsvItemPager;
    return CsvItemTelephone;
}

QString csvHeaderLine(QStringView header, int item)
{
    QString line = fitWidth(header, 22);
    line += QStringView(Arrow);
    line += csvItemCaption(item);
    return line;
}

CsvMapping normalizedMapping(const CsvMapping &mapping, qsizetype columns)
{
    CsvMapping out(columns, CsvItemNone);
    for (qsizetype j = 0; j < columns && j < mapping.size(); ++j)
        if (mapping[j] >= 0 && mapping[j] < CsvItemChoiceCount)
            out[j] = mapping[j];
    return out;
}
