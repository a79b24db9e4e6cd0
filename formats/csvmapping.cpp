#include "formats/csvmapping.h"

#include <array>

#include "common/textwidth.h"
#include "common/widthconv.h"

namespace {

const std::array<QString, CsvItemChoiceCount> &captions()
{
    static const std::array<QString, CsvItemChoiceCount> list = {
        QStringLiteral("ID (メールアドレス)"),
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
        QStringLiteral("( なし )"),
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

constexpr char16_t HomePrefixOf[] = u"自宅の";
constexpr char16_t HomePrefix[] = u"自宅";
constexpr char16_t Arrow[] = u" → ";

} // namespace

QString csvItemCaption(int item)
{
    if (item < 0 || item >= CsvItemChoiceCount)
        return QString();
    return captions()[item];
}

QString normalizeCsvHeader(QStringView header)
{
    QString s;
    s.reserve(header.size());
    for (QChar c : header)
        if (c != u' ' && c != u'\u3000')
            s.append(c);
    s = toHalfWidth(s).toUpper();
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

int autoCsvItem(QStringView header)
{
    const QString key = normalizeCsvHeader(header);
    for (const Recognised &r : RecognitionTable)
        if (key == r.text)
            return r.item;
    return CsvItemNone;
}

CsvMapping autoCsvSelect(const QStringList &header)
{
    CsvMapping mapping;
    mapping.reserve(header.size());
    for (const QString &h : header)
        mapping.append(autoCsvItem(h));
    return mapping;
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
