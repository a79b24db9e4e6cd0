#define QT_USE_QSTRINGBUILDER
#include "support/generator.h"

#include <QDate>
#include <QSet>
#include <QStringView>

#include <algorithm>
#include <random>
#include <vector>

#include "common/oledate.h"
#include "common/widthconv.h"

namespace {

// ---------------------------------------------------------------------------
// Word lists

struct FamilyName {
    const char16_t *kanji;
    const char16_t *kana; // hiragana reading
    const char *romaji;
};

// Includes IBM-extension kanji (髙, 﨑) and rarer JIS level-2 ones (齊, 邊).
constexpr FamilyName Families[] = {
    {u"佐藤", u"さとう", "sato"},          {u"鈴木", u"すずき", "suzuki"},
    {u"高橋", u"たかはし", "takahashi"},   {u"田中", u"たなか", "tanaka"},
    {u"伊藤", u"いとう", "ito"},           {u"渡辺", u"わたなべ", "watanabe"},
    {u"山本", u"やまもと", "yamamoto"},    {u"中村", u"なかむら", "nakamura"},
    {u"小林", u"こばやし", "kobayashi"},   {u"加藤", u"かとう", "kato"},
    {u"吉田", u"よしだ", "yoshida"},       {u"山田", u"やまだ", "yamada"},
    {u"佐々木", u"ささき", "sasaki"},      {u"山口", u"やまぐち", "yamaguchi"},
    {u"松本", u"まつもと", "matsumoto"},   {u"井上", u"いのうえ", "inoue"},
    {u"木村", u"きむら", "kimura"},        {u"林", u"はやし", "hayashi"},
    {u"斎藤", u"さいとう", "saito"},       {u"清水", u"しみず", "shimizu"},
    {u"山崎", u"やまざき", "yamazaki"},    {u"森", u"もり", "mori"},
    {u"池田", u"いけだ", "ikeda"},         {u"橋本", u"はしもと", "hashimoto"},
    {u"阿部", u"あべ", "abe"},             {u"石川", u"いしかわ", "ishikawa"},
    {u"山下", u"やました", "yamashita"},   {u"中島", u"なかじま", "nakajima"},
    {u"石井", u"いしい", "ishii"},         {u"小川", u"おがわ", "ogawa"},
    {u"前田", u"まえだ", "maeda"},         {u"岡田", u"おかだ", "okada"},
    {u"長谷川", u"はせがわ", "hasegawa"},  {u"藤田", u"ふじた", "fujita"},
    {u"後藤", u"ごとう", "goto"},          {u"近藤", u"こんどう", "kondo"},
    {u"村上", u"むらかみ", "murakami"},    {u"遠藤", u"えんどう", "endo"},
    {u"青木", u"あおき", "aoki"},          {u"坂本", u"さかもと", "sakamoto"},
    {u"藤原", u"ふじわら", "fujiwara"},    {u"太田", u"おおた", "ota"},
    {u"三浦", u"みうら", "miura"},         {u"岡本", u"おかもと", "okamoto"},
    {u"松田", u"まつだ", "matsuda"},       {u"中川", u"なかがわ", "nakagawa"},
    {u"原田", u"はらだ", "harada"},        {u"小野", u"おの", "ono"},
    {u"竹内", u"たけうち", "takeuchi"},    {u"金子", u"かねこ", "kaneko"},
    {u"和田", u"わだ", "wada"},            {u"中野", u"なかの", "nakano"},
    {u"五十嵐", u"いがらし", "igarashi"},  {u"東海林", u"しょうじ", "shoji"},
    {u"髙橋", u"たかはし", "takahashi"},   {u"山﨑", u"やまざき", "yamazaki"},
    {u"齊藤", u"さいとう", "saito"},       {u"渡邊", u"わたなべ", "watanabe"},
    {u"長谷部", u"はせべ", "hasebe"},      {u"野口", u"のぐち", "noguchi"},
};

struct GivenName {
    const char16_t *kanji;
    const char16_t *kana;
    const char *romaji;
};

constexpr GivenName Givens[] = {
    {u"太郎", u"たろう", "taro"},        {u"一郎", u"いちろう", "ichiro"},
    {u"健太", u"けんた", "kenta"},       {u"大輔", u"だいすけ", "daisuke"},
    {u"翔太", u"しょうた", "shota"},     {u"拓也", u"たくや", "takuya"},
    {u"直樹", u"なおき", "naoki"},       {u"浩", u"ひろし", "hiroshi"},
    {u"誠", u"まこと", "makoto"},        {u"隆", u"たかし", "takashi"},
    {u"修", u"おさむ", "osamu"},         {u"健一", u"けんいち", "kenichi"},
    {u"和也", u"かずや", "kazuya"},      {u"哲也", u"てつや", "tetsuya"},
    {u"秀樹", u"ひでき", "hideki"},      {u"聡", u"さとし", "satoshi"},
    {u"剛", u"つよし", "tsuyoshi"},      {u"茂", u"しげる", "shigeru"},
    {u"博之", u"ひろゆき", "hiroyuki"},  {u"雄一", u"ゆういち", "yuichi"},
    {u"達也", u"たつや", "tatsuya"},     {u"亮", u"りょう", "ryo"},
    {u"淳", u"じゅん", "jun"},           {u"徹", u"とおる", "toru"},
    {u"花子", u"はなこ", "hanako"},      {u"恵子", u"けいこ", "keiko"},
    {u"陽子", u"ようこ", "yoko"},        {u"裕子", u"ゆうこ", "yuko"},
    {u"美穂", u"みほ", "miho"},          {u"由美", u"ゆみ", "yumi"},
    {u"真由美", u"まゆみ", "mayumi"},    {u"直美", u"なおみ", "naomi"},
    {u"智子", u"ともこ", "tomoko"},      {u"久美子", u"くみこ", "kumiko"},
    {u"明美", u"あけみ", "akemi"},       {u"愛", u"あい", "ai"},
    {u"さくら", u"さくら", "sakura"},    {u"美咲", u"みさき", "misaki"},
    {u"彩", u"あや", "aya"},             {u"香織", u"かおり", "kaori"},
    {u"麻衣", u"まい", "mai"},           {u"恵", u"めぐみ", "megumi"},
    {u"幸子", u"さちこ", "sachiko"},     {u"京子", u"きょうこ", "kyoko"},
    {u"千尋", u"ちひろ", "chihiro"},     {u"瞳", u"ひとみ", "hitomi"},
    {u"ゆかり", u"ゆかり", "yukari"},    {u"ひろみ", u"ひろみ", "hiromi"},
};

struct ForeignName {
    const char16_t *latin;
    const char16_t *katakana;
    const char *local; // mail address local part
};

constexpr ForeignName Foreigners[] = {
    {u"John Smith", u"ジョン・スミス", "john.smith"},
    {u"Mary Johnson", u"メアリー・ジョンソン", "mary.j"},
    {u"David Lee", u"デビッド・リー", "dlee"},
    {u"Kim Minsu", u"キム・ミンス", "minsu.kim"},
    {u"Wang Fang", u"ワン・ファン", "wangfang"},
    {u"Anna Mueller", u"アンナ・ミュラー", "anna.mueller"},
    {u"Pierre Dubois", u"ピエール・デュボワ", "pdubois"},
};

struct CompanyKind {
    const char16_t *kanji;
    const char *romaji;
};

constexpr CompanyKind CompanyKinds[] = {
    {u"商事", "shoji"},   {u"工業", "kogyo"},   {u"電機", "denki"},
    {u"物産", "bussan"},  {u"設計", "sekkei"},  {u"印刷", "insatsu"},
    {u"建設", "kensetsu"}, {u"ソフト", "soft"},
};

// Company forms: ㈱ and ㈲ are NEC special characters.
constexpr const char16_t *CompanyForms[] = {u"㈱", u"株式会社", u"㈲", u"有限会社", u"(株)"};

constexpr const char16_t *Departments[] = {u"営業部", u"総務部", u"開発部", u"経理課",
                                           u"システム部", u"第二営業課"};

constexpr const char *MailDomains[] = {
    "biglobe.ne.jp", "ocn.ne.jp",      "so-net.ne.jp", "mb.infoweb.ne.jp", "plala.or.jp",
    "dion.ne.jp",    "yahoo.co.jp",    "gmail.com",    "docomo.ne.jp",     "ezweb.ne.jp",
    "ybb.ne.jp",     "hotmail.com",    "asahi-net.or.jp", "mail.goo.ne.jp", "jcom.home.ne.jp",
    "u-tokyo.ac.jp", "keio.jp",        "kyoto-u.ac.jp", "example.co.jp",   "sakura.ne.jp",
};

// The online service's own mail domains (current and legacy spelling).
constexpr const char *ServiceDomains[] = {"nifty.com", "niftyserve.or.jp", "nifty.ne.jp"};

struct Place {
    const char16_t *prefecture;
    const char16_t *city;
    const char *postal; // first three digits
    const char *area;   // telephone area code
};

constexpr Place Places[] = {
    {u"東京都", u"世田谷区", "154", "03"},          {u"東京都", u"杉並区", "166", "03"},
    {u"東京都", u"港区", "106", "03"},              {u"東京都", u"新宿区", "160", "03"},
    {u"東京都", u"八王子市", "192", "042"},         {u"神奈川県", u"横浜市港北区", "223", "045"},
    {u"神奈川県", u"川崎市中原区", "211", "044"},   {u"神奈川県", u"藤沢市", "251", "0466"},
    {u"埼玉県", u"さいたま市浦和区", "330", "048"}, {u"千葉県", u"船橋市", "273", "047"},
    {u"大阪府", u"大阪市北区", "530", "06"},        {u"大阪府", u"豊中市", "560", "06"},
    {u"京都府", u"京都市左京区", "606", "075"},     {u"兵庫県", u"神戸市中央区", "650", "078"},
    {u"愛知県", u"名古屋市千種区", "464", "052"},   {u"北海道", u"札幌市中央区", "060", "011"},
    {u"宮城県", u"仙台市青葉区", "980", "022"},     {u"福岡県", u"福岡市博多区", "812", "092"},
    {u"広島県", u"広島市中区", "730", "082"},       {u"静岡県", u"浜松市中区", "430", "053"},
    {u"新潟県", u"新潟市中央区", "951", "025"},     {u"沖縄県", u"那覇市", "900", "098"},
    {u"長野県", u"松本市", "390", "0263"},          {u"石川県", u"金沢市", "920", "076"},
};

constexpr const char16_t *Towns[] = {
    u"桜丘", u"本町", u"中央", u"緑町", u"旭町", u"栄町", u"東町", u"南町",
    u"若葉", u"富士見", u"松が丘", u"青葉台", u"日吉", u"大手町", u"元町", u"梅田",
};

constexpr const char16_t *Buildings[] = {
    u"ｺｰﾎﾟ桜", u"ハイツ青葉", u"メゾン日吉", u"第二ビル", u"グランドハイム", u"ﾊﾟｰｸｻｲﾄﾞ",
};

// Group names; ㈱, ① and ② are NEC special characters, ﾊﾟｿｺﾝ half-width.
constexpr const char16_t *GroupNames[] = {
    u"家族",       u"親戚",         u"友人",       u"会社",       u"取引先",
    u"大学時代",   u"高校同窓会",   u"ﾊﾟｿｺﾝ通信",  u"テニス部",   u"町内会",
    u"年賀状",     u"ＦＣＯＭ仲間", u"㈱ブリンドル商事", u"趣味①写真", u"趣味②料理",
    u"ＰＴＡ",     u"メーリングリスト", u"オフ会", u"旧友",       u"お得意様",
};

// Not in GroupNames: used by the card planted for code 50.
constexpr char16_t UnregisteredGroup[] = u"旧サークル";

constexpr const char16_t *MailSubjects[] = {
    u"Re: 来週の打ち合わせ",     u"お久しぶりです",          u"年賀状ありがとう",
    u"【至急】資料送付のお願い", u"Fw: オフ会のお知らせ",     u"ＲＥ：見積書の件",
    u"写真送ります",             u"ﾃﾆｽｻｰｸﾙの連絡",          u"①議事録 ②次回予定",
    u"ご無沙汰しております",     u"明けましておめでとうございます", u"新年会のご案内",
    u"Re: Re: 例の件",           u"ソフトのバージョンアップについて", u"FCOM会議室のログ",
    u"誕生日おめでとう！",       u"引越しのお知らせ",        u"添付ファイルの確認をお願いします",
    u"ＯＦＦ会参加します",       u"㈱山田商事様 お見積り",   u"Ⅱ期生の名簿",
    u"ｷｬﾝﾌﾟの日程",              u"Re: ＦＡＱ更新しました",  u"会費 ￥３，０００ 受領",
    u"〒番号変更のお知らせ",     u"ありがとう～",            u"(無題)",
};

constexpr const char16_t *ExchangeTexts[] = {
    u"チャットで雑談した",        u"オフ会で初めて会った",      u"電話で打ち合わせ",
    u"年賀状を送った",            u"暑中見舞いが届いた",        u"FPCUPRO会議室で挨拶",
    u"RTで話した（約２時間）",    u"メールで資料を受け取った",  u"ﾌｫｰﾗﾑのｵﾌで同席",
    u"誕生日カードを送った",      u"お土産をいただいた",        u"①の件で相談を受けた",
    u"会議室の書き込みにレス",    u"引越しの手伝い",
};

constexpr const char *Forums[] = {"FGALLERY", "FPERSON", "FMACU", "FWIN",   "FTRAVEL",
                                  "FCOOK",    "FBOOK",   "FMIDI", "FPCUPRO", "FSPORTS"};

constexpr const char16_t *RemarkTitles[] = {
    u"写真の撮り方について",   u"初めまして",         u"Re:おすすめの本",
    u"ﾄﾞﾗｲﾊﾞの入手先",         u"旅行記(その３)",     u"レシピ交換",
    u"オフ会報告",             u"質問です",           u"Ｑ＆Ａまとめ",
    u"№１２３への返信",       u"新製品の感想",       u"㍉単位の調整",
};

constexpr const char16_t *MemoLines[] = {
    u"年賀状 毎年交換",          u"会社：㈱ブリンドル商事 営業部", u"携帯は夜のみ",
    u"①書類送付済み",           u"②返信待ち",                    u"奥様：恵子さん",
    u"犬の名前はﾎﾟﾁ",            u"誕生日プレゼント：本",          u"大学のサークルの先輩",
    u"FAXは事前に電話してから",  u"紹介者：佐藤さん",              u"※メールは会社宛てにしないこと",
    u"会員№１２３４",           u"℡ 内線 ２３４",                u"Ⅱ期生",
    u"引越し予定あり（来春）",   u"お中元 ￥５，０００程度",       u"パソコン通信で知り合った",
    u"ｵﾌ会幹事",                 u"住所変更済み",                  u"旧姓：鈴木",
};

constexpr const char16_t *ProfileTitles[] = {u"自己紹介", u"近況", u"趣味のページ", u"旧プロフィール"};

constexpr const char16_t *Handles[] = {u"ﾀﾛｰ", u"ＫＥＮ", u"ぽん太", u"ｍｉｋｉ", u"ｸﾏｻﾝ",
                                       u"ねこまる", u"Ｄｒ．Ｋ", u"ごんべ", u"Mimi", u"ﾋﾟｰﾀｰ"};

// Card status codes and messages of the validation rules, in test order.
struct Rule {
    int code;
    const char16_t *message;
};

constexpr Rule Rules[] = {
    {1, u"IDが１件も無い"},
    {2, u"名前が１件も無い"},
    {3, u"作成日時が破損している"},
    {4, u"更新日時が破損している"},
    {5, u"誕生日が破損している"},
    {6, u"カードが破損している"},
    {10, u"プロフィール異常"},
    {11, u"電子メールが異常"},
    {20, u"交流記録フラグが異常"},
    {21, u"交流記録が異常"},
    {30, u"発言記録フラグが異常"},
    {31, u"発言記録が異常"},
    {40, u"IDが異常"},
    {50, u"未登録グループを使用している"},
    {51, u"グループが重複している"},
    {60, u"更新日時が作成日時より古い"},
    {100, u"名前に空白データが混入している"},
    {101, u"作成日時が不自然"},
    {102, u"更新日時が不自然"},
    {103, u"誕生日が不自然"},
    {200, u"IDが多すぎる"},
    {300, u"名前が多すぎる"},
    {500, u"プロフィールが多すぎる"},
    {600, u"電子メールが多すぎる"},
    {700, u"交流記録が多すぎる"},
    {800, u"発言記録が多すぎる"},
    {900, u"カードの内容が多すぎる"},
};

constexpr char16_t MarkPrefix[] = u"［検査用］";

// Limits of a card in good order (one below each host limit).
constexpr int GoodLogMax = 999;
constexpr int HostLogLimit = 1000;
constexpr int HostListLimit = 100;
constexpr int HostTextLimit = 10000;

template <typename T, size_t N>
constexpr int countOf(const T (&)[N])
{
    return int(N);
}

// ---------------------------------------------------------------------------
// Dates as whole days since 1899-12-30

constexpr qint64 JulianDayOfEpoch = 2415019; // 1899-12-30

int dayOf(int y, int m, int d)
{
    return int(QDate(y, m, d).toJulianDay() - JulianDayOfEpoch);
}

void appendDigits(QString &s, int value, int width)
{
    char16_t buf[12];
    int n = 0;
    do {
        buf[n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0 || n < width);
    while (n > 0)
        s += QChar(buf[--n]);
}

// "yy/mm/dd"
void appendShortDate(QString &s, int day)
{
    int y, m, d;
    QDate::fromJulianDay(day + JulianDayOfEpoch).getDate(&y, &m, &d);
    appendDigits(s, y % 100, 2);
    s += u'/';
    appendDigits(s, m, 2);
    s += u'/';
    appendDigits(s, d, 2);
}

// ---------------------------------------------------------------------------
// Random numbers: mt19937 with hand-made distributions, so the same seed
// gives the same book with every standard library.

class Random
{
public:
    explicit Random(quint32 seed) : m_engine(seed) {}

    quint32 next() { return quint32(m_engine()); }
    // 0 .. n-1
    int below(int n) { return n <= 1 ? 0 : int(next() % quint32(n)); }
    // lo .. hi inclusive
    int between(int lo, int hi) { return hi <= lo ? lo : lo + below(hi - lo + 1); }
    bool percent(int p) { return below(100) < p; }
    bool permille(int p) { return below(1000) < p; }
    template <typename T, size_t N>
    const T &pick(const T (&table)[N])
    {
        return table[below(int(N))];
    }

private:
    std::mt19937 m_engine;
};

QString str(const char16_t *text)
{
    return QString::fromUtf16(text);
}

QString upperFirst(const QString &s)
{
    if (s.isEmpty())
        return s;
    QString r = s;
    r[0] = r[0].toUpper();
    return r;
}

QString toKatakana(QStringView hiragana)
{
    QString r(hiragana.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < hiragana.size(); ++i) {
        const char16_t c = hiragana[i].unicode();
        r[i] = (c >= 0x3041 && c <= 0x3096) ? QChar(char16_t(c + 0x60)) : QChar(c);
    }
    return r;
}

// ---------------------------------------------------------------------------
// The book builder

class Builder
{
public:
    explicit Builder(const GeneratorOptions &options)
        : m_opt(options), m_rng(options.seed)
    {
        m_firstCreated = dayOf(1996, 4, 1);
        m_lastCreated = dayOf(2024, 12, 31);
        m_lastUpdated = dayOf(2025, 6, 30);
        m_firstBirthday = dayOf(1932, 1, 1);
        m_lastBirthday = dayOf(1992, 12, 31);
    }

    AddressBook build();

private:
    struct Person {
        QString serviceId; // three letters and five digits, used in the logs
        int createdDay = 0;
        int updatedDay = 0;
    };

    QString newServiceId();
    bool claimId(const QString &id);
    QString uniqueMail(const QString &local, const QString &domain);
    Card makeCard(int createdDay);
    void fillNamesAndIds(Card &card, Person &person);
    void fillContact(Card &card);
    void fillLogs(Card &card, const Person &person);
    QString phone(const char *area);
    QString mailLine(int day, const Person &person);
    QString exchangeLine(int day);
    QString remarkLine(int day);
    QString profileEntry(int day, const Person &person);
    std::vector<int> sortedDays(int count, int first, int last);
    int scaledCount(int base) const;
    int logCount(int zeroPermille, int smallMax, int mediumPermille, int mediumMax,
                 int largePermille, int largeMax);
    DateValue withTime(int day);
    void plant(int rule, int index, const std::vector<int> &plantedIndexes);

    const GeneratorOptions &m_opt;
    Random m_rng;
    AddressBook m_book;
    QList<Person> m_people; // parallel to m_book.cards (index 0 unused)
    QSet<QString> m_idKeys; // lower-case IDs in use
    QString m_ownerId;
    int m_firstCreated, m_lastCreated, m_lastUpdated, m_firstBirthday, m_lastBirthday;
};

QString Builder::newServiceId()
{
    for (;;) {
        QString id;
        id.reserve(8);
        for (int i = 0; i < 3; ++i)
            id += QChar(char16_t(u'A' + m_rng.below(26)));
        appendDigits(id, m_rng.below(100000), 5);
        if (claimId(id))
            return id;
    }
}

bool Builder::claimId(const QString &id)
{
    const QString key = id.toLower();
    if (m_idKeys.contains(key))
        return false;
    m_idKeys.insert(key);
    return true;
}

QString Builder::uniqueMail(const QString &local, const QString &domain)
{
    QString id = local + u'@' + domain;
    while (!claimId(id)) {
        QString numbered = local;
        appendDigits(numbered, m_rng.below(1000), 1);
        id = numbered + u'@' + domain;
    }
    return id;
}

DateValue Builder::withTime(int day)
{
    // Mostly office and evening hours, to the second.
    const int seconds = m_rng.between(7 * 3600, 24 * 3600 - 1);
    return double(day) + double(seconds) / 86400.0;
}

int Builder::scaledCount(int base) const
{
    const double scaled = double(base) * m_opt.logScale;
    if (scaled <= 0)
        return 0;
    return std::min(GoodLogMax, int(scaled + 0.5));
}

// Most cards have no or few lines, some a few dozen, a few hundreds.
int Builder::logCount(int zeroPermille, int smallMax, int mediumPermille, int mediumMax,
                      int largePermille, int largeMax)
{
    const int r = m_rng.below(1000);
    if (r < zeroPermille)
        return 0;
    if (r >= 1000 - largePermille)
        return scaledCount(m_rng.between(mediumMax, largeMax));
    if (r >= 1000 - largePermille - mediumPermille)
        return scaledCount(m_rng.between(smallMax, mediumMax));
    return scaledCount(m_rng.between(1, smallMax));
}

std::vector<int> Builder::sortedDays(int count, int first, int last)
{
    std::vector<int> days(size_t(std::max(0, count)));
    for (int &d : days)
        d = m_rng.between(first, last);
    std::sort(days.begin(), days.end());
    return days;
}

QString Builder::phone(const char *area)
{
    // Ten digits: the area code, the local exchange, four subscriber digits.
    QString s = QString::fromLatin1(area);
    const int localDigits = 6 - int(s.size());
    s += u'-';
    appendDigits(s, m_rng.below(localDigits >= 4 ? 10000 : localDigits == 3 ? 1000 : 100),
                 localDigits);
    s += u'-';
    appendDigits(s, m_rng.below(10000), 4);
    return s;
}

QString Builder::mailLine(int day, const Person &person)
{
    QString s;
    s.reserve(64);
    appendShortDate(s, day);
    const bool received = m_rng.percent(55);
    s += received ? QStringView(u" 受信 ") : QStringView(u" 送信 ");
    s += received ? person.serviceId : m_ownerId;
    s += u' ';
    s += received ? m_ownerId : person.serviceId;
    s += u' ';
    appendDigits(s, m_rng.between(7, 23), 2);
    s += u':';
    appendDigits(s, m_rng.below(60), 2);
    s += u':';
    appendDigits(s, m_rng.below(60), 2);
    s += u' ';
    s += QStringView(m_rng.pick(MailSubjects));
    return s;
}

QString Builder::exchangeLine(int day)
{
    QString s;
    s.reserve(40);
    appendShortDate(s, day);
    s += u' ';
    const int hour = m_rng.below(24);
    appendDigits(s, hour % 12 == 0 ? 12 : hour % 12, 2);
    s += u':';
    appendDigits(s, m_rng.below(60), 2);
    s += hour < 12 ? QLatin1StringView("am ") : QLatin1StringView("pm ");
    s += QStringView(m_rng.pick(ExchangeTexts));
    return s;
}

QString Builder::remarkLine(int day)
{
    QString s;
    s.reserve(48);
    appendShortDate(s, day);
    s += u' ';
    s += QLatin1StringView(m_rng.pick(Forums));
    s += u" MES(";
    appendDigits(s, m_rng.between(1, 20), 2);
    s += u"):";
    appendDigits(s, m_rng.between(1, 9999), 1);
    s += u' ';
    s += QStringView(m_rng.pick(RemarkTitles));
    return s;
}

QString Builder::profileEntry(int day, const Person &person)
{
    QString s;
    if (m_rng.percent(10))
        s += QStringView(m_rng.pick(ProfileTitles));
    else
        appendShortDate(s, day);
    s += u'\t';
    const int r = m_rng.below(100);
    if (r < 40) {
        s += m_rng.percent(5) ? QLatin1StringView("none") : QLatin1StringView("NONE");
    } else if (r < 85) {
        s += person.serviceId;
        s += u'.';
        appendDigits(s, m_rng.between(1, 20), 3);
    } else {
        s += u"C:\\Corvid\\Profile\\";
        s += person.serviceId;
        s += u".TXT";
    }
    return s;
}

void Builder::fillNamesAndIds(Card &card, Person &person)
{
    person.serviceId = newServiceId();
    const int kind = m_rng.below(100);

    if (kind < 4) { // a foreigner
        const ForeignName &f = m_rng.pick(Foreigners);
        card.names << str(f.latin);
        if (m_rng.percent(60))
            card.names << str(f.katakana);
        card.ids << uniqueMail(QString::fromLatin1(f.local),
                               QString::fromLatin1(m_rng.pick(MailDomains)));
        return;
    }

    const FamilyName &fam = m_rng.pick(Families);
    const QString famRomaji = QString::fromLatin1(fam.romaji);

    if (kind < 10) { // a company
        const CompanyKind &ck = m_rng.pick(CompanyKinds);
        const QStringView form(m_rng.pick(CompanyForms));
        const bool suffix = form == u"株式会社" && m_rng.percent(50);
        const QString name = suffix ? QString(str(fam.kanji) + QStringView(ck.kanji) + form)
                                    : QString(form + QStringView(fam.kanji) + QStringView(ck.kanji));
        card.names << name;
        const FamilyName &contact = m_rng.pick(Families);
        if (m_rng.percent(60))
            card.names << str(fam.kanji) + QStringView(ck.kanji) + u' '
                                  + QStringView(m_rng.pick(Departments)) + u' '
                                  + QStringView(contact.kanji) + u"様";
        const QString domain = famRomaji + u'-' + QLatin1StringView(ck.romaji) + u".co.jp";
        card.ids << uniqueMail(m_rng.percent(50) ? QStringLiteral("info") : QStringLiteral("sales"),
                               domain);
        if (m_rng.percent(30))
            card.ids << uniqueMail(QString::fromLatin1(contact.romaji), domain);
        return;
    }

    const GivenName &giv = m_rng.pick(Givens);
    const QString givRomaji = QString::fromLatin1(giv.romaji);

    // Names: the kanji name first, then often a reading, sometimes romaji
    // or a handle.
    const int sepKind = m_rng.below(100);
    const QStringView sep = sepKind < 55 ? QStringView(u"　") : sepKind < 80 ? QStringView(u" ")
                                                                             : QStringView();
    const int nameCount = m_rng.below(100);
    if (nameCount < 4) {
        card.names << upperFirst(givRomaji) + u' ' + upperFirst(famRomaji);
    } else {
        card.names << str(fam.kanji) + sep + QStringView(giv.kanji);
        if (nameCount >= 38) {
            const int style = m_rng.below(100);
            const QString kana = str(fam.kana) + u' ' + QStringView(giv.kana);
            if (style < 45)
                card.names << kana;
            else if (style < 80)
                card.names << toKatakana(kana);
            else
                card.names << toHalfWidth(toKatakana(kana));
        }
        if (nameCount >= 85)
            card.names << (m_rng.percent(50)
                               ? QString(upperFirst(givRomaji) + u' ' + upperFirst(famRomaji))
                               : QString(famRomaji.toUpper() + u' ' + upperFirst(givRomaji)));
        if (nameCount >= 95)
            card.names << str(m_rng.pick(Handles));
    }

    // IDs: mail addresses and the online service's member ID in its forms.
    const int idCount = m_rng.below(100) < 70 ? 1 : m_rng.below(100) < 75 ? 2 : m_rng.between(3, 5);
    const bool showsServiceId = m_rng.percent(35);
    int made = 0;
    if (showsServiceId) {
        const int form = m_rng.below(100);
        if (form < 60) {
            card.ids << person.serviceId;
        } else {
            const QString domain = QString::fromLatin1(m_rng.pick(ServiceDomains));
            QString mail = (form < 85 ? person.serviceId : person.serviceId.toLower()) + u'@'
                + domain;
            if (claimId(mail))
                card.ids << mail;
            // Now and then both forms of the same member ID.
            if (m_rng.percent(15))
                card.ids << person.serviceId;
        }
        ++made;
    }
    while (made < idCount) {
        QString local;
        switch (m_rng.below(6)) {
        case 0: local = givRomaji + u'.' + famRomaji; break;
        case 1: local = givRomaji.left(1) + u'-' + famRomaji; break;
        case 2: local = famRomaji + givRomaji.left(1); break;
        case 3: local = famRomaji + u'_' + givRomaji; break;
        case 4: local = famRomaji; appendDigits(local, m_rng.below(100), 2); break;
        default:
            local = givRomaji;
            appendDigits(local, card.birthday != NoDate ? oleToDate(card.birthday).year()
                                                        : m_rng.between(1950, 1995), 4);
            break;
        }
        QString domain = QString::fromLatin1(m_rng.pick(MailDomains));
        const int caseKind = m_rng.below(100);
        if (caseKind < 4) {
            local = local.toUpper();
            domain = domain.toUpper();
        } else if (caseKind < 8) {
            local = upperFirst(local);
        }
        card.ids << uniqueMail(local, domain);
        ++made;
    }
}

void Builder::fillContact(Card &card)
{
    const Place &place = m_rng.pick(Places);
    const bool fullWidthDigits = m_rng.percent(12);
    auto digits = [&](QString s) { return fullWidthDigits ? toFullWidth(s) : s; };

    if (m_rng.percent(75)) {
        QString a = str(place.prefecture) + QStringView(place.city)
            + QStringView(m_rng.pick(Towns));
        const int chome = m_rng.between(1, 8), ban = m_rng.between(1, 30),
                  go = m_rng.between(1, 25);
        if (m_rng.percent(40)) {
            a += digits(QString::number(chome)) + u"丁目" + digits(QString::number(ban)) + u"番"
                + digits(QString::number(go)) + u"号";
        } else {
            a += digits(QString::number(chome) + u'-' + QString::number(ban) + u'-'
                        + QString::number(go));
        }
        if (m_rng.percent(30)) {
            a += m_rng.percent(50) ? u' ' : u'　';
            a += QStringView(m_rng.pick(Buildings));
            a += digits(QString::number(m_rng.between(1, 9) * 100 + m_rng.between(1, 12)));
            if (m_rng.percent(30))
                a += u"号室";
        }
        card.address = a;
        if (m_rng.percent(85)) {
            QString p = QString::fromLatin1(place.postal) + u'-';
            appendDigits(p, m_rng.below(10000), 4);
            card.postalCode = p;
        }
    }
    if (m_rng.percent(70))
        card.telephone = digits(phone(place.area));
    if (m_rng.percent(20))
        card.fax = digits(phone(place.area));
    if (m_rng.percent(45)) {
        static constexpr const char *Mobile[] = {"090", "080", "070"};
        QString m = QString::fromLatin1(m_rng.pick(Mobile)) + u'-';
        appendDigits(m, m_rng.below(10000), 4);
        m += u'-';
        appendDigits(m, m_rng.below(10000), 4);
        card.mobile = digits(m);
    }
    if (m_rng.percent(5)) {
        QString p = QStringLiteral("020-");
        appendDigits(p, m_rng.below(1000), 3);
        p += u'-';
        appendDigits(p, m_rng.below(10000), 4);
        card.pager = p;
    }
    if (m_rng.percent(28)) {
        const int lines = m_rng.percent(50) ? 1 : m_rng.between(2, 5);
        QString memo;
        for (int i = 0; i < lines; ++i) {
            if (i > 0)
                memo += u"\r\n";
            memo += QStringView(m_rng.pick(MemoLines));
        }
        card.memo = memo;
    }

    const QStringList &groups = m_book.groupList();
    const int g = m_rng.below(100);
    const int wanted = std::min<int>(int(groups.size()), g < 40 ? 0 : g < 75 ? 1 : g < 93 ? 2 : 3);
    while (card.groups.size() < wanted) {
        const QString &name = groups[m_rng.below(int(groups.size()))];
        if (!card.groups.contains(name))
            card.groups << name;
    }

    card.exchangeAutoRecord = m_rng.percent(85) ? FlagOn : FlagOff;
    card.remarkAutoRecord = m_rng.percent(75) ? FlagOff : FlagOn;
}

void Builder::fillLogs(Card &card, const Person &person)
{
    const int first = person.createdDay, last = person.updatedDay;

    const int mails = logCount(450, 10, 150, 50, 12, 600);
    card.mailLog.reserve(mails);
    for (int day : sortedDays(mails, first, last))
        card.mailLog << mailLine(day, person);

    const int exchanges = logCount(700, 8, 40, 60, 6, 400);
    card.exchangeRecords.reserve(exchanges);
    for (int day : sortedDays(exchanges, first, last))
        card.exchangeRecords << exchangeLine(day);

    const int remarks = logCount(750, 12, 40, 100, 8, 500);
    card.remarkRecords.reserve(remarks);
    for (int day : sortedDays(remarks, first, last))
        card.remarkRecords << remarkLine(day);

    const int pr = m_rng.below(100);
    const int profiles = pr < 80 ? 0 : pr < 96 ? m_rng.between(1, 3) : m_rng.between(4, 15);
    for (int day : sortedDays(profiles, first, last))
        card.profile << profileEntry(day, person);
}

Card Builder::makeCard(int createdDay)
{
    Card card = Card::newCard();
    Person person;
    person.createdDay = createdDay;
    // A fifth of the cards were never edited after they were made.
    person.updatedDay = m_rng.percent(20) ? createdDay
                                          : m_rng.between(createdDay, m_lastUpdated);

    if (m_rng.percent(60))
        card.birthday = double(m_rng.between(m_firstBirthday, m_lastBirthday));
    fillNamesAndIds(card, person);
    fillContact(card);
    fillLogs(card, person);

    card.created = withTime(person.createdDay);
    card.updated = person.updatedDay == person.createdDay
        ? card.created + double(m_rng.below(3600)) / 86400.0
        : withTime(person.updatedDay);
    if (card.updated >= double(person.updatedDay + 1))
        card.updated = card.created;
    m_people << person;
    return card;
}

void Builder::plant(int rule, int index, const std::vector<int> &plantedIndexes)
{
    Card &card = m_book.cards[index];
    const Person &person = m_people[index];
    card.memo = plantedMark(rule);

    switch (rule) {
    case 1:
        card.ids.clear();
        break;
    case 2:
        card.names.clear();
        break;
    case 3:
        card.created = NoDate;
        break;
    case 4:
        card.updated = NoDate;
        break;
    case 5:
        card.birthday = 3000000.0; // beyond 9999-12-31
        break;
    case 6:
        // A short record of an older file: kinds 17 and 18 are missing and
        // hold zero values, as after reading.
        card.itemCount = 17;
        card.updated = 0.0;
        card.mailLog.clear();
        break;
    case 10: {
        QString entry;
        appendShortDate(entry, person.updatedDay);
        entry += u" NONE"; // a space where the TAB belongs
        card.profile << entry;
        break;
    }
    case 11: {
        // A four-digit year.
        QString line = mailLine(person.updatedDay, person);
        line.prepend(QDate::fromJulianDay(person.updatedDay + JulianDayOfEpoch).year() >= 2000
                         ? u"20" : u"19");
        card.mailLog.insert(card.mailLog.size() / 2, line);
        break;
    }
    case 20:
        card.exchangeAutoRecord = FlagUnset;
        break;
    case 21: {
        QString line = exchangeLine(person.updatedDay);
        line[14] = line[14].toUpper(); // "PM" / "AM"
        line[15] = line[15].toUpper();
        card.exchangeRecords << line;
        break;
    }
    case 30:
        card.remarkAutoRecord = FlagUnset;
        break;
    case 31: {
        QString line = remarkLine(person.updatedDay);
        line[2] = u'.';
        line[5] = u'.';
        card.remarkRecords << line;
        break;
    }
    case 40:
        card.ids << QStringLiteral(" x ");
        break;
    case 50:
        card.groups << str(UnregisteredGroup);
        break;
    case 51:
        card.groups = m_book.groupList();
        card.groups << m_book.groupList().constFirst();
        break;
    case 60:
        card.created = card.updated + 30.25;
        break;
    case 100:
        card.names << QStringLiteral("  ");
        break;
    case 101:
        card.created = 0.0; // 1899-12-30 00:00
        break;
    case 102:
        card.updated = double(dayOf(2098, 7, 1)) + 0.5;
        break;
    case 103:
        card.birthday = double(dayOf(1849, 12, 31));
        break;
    case 200:
        for (int i = 0; card.ids.size() < HostListLimit; ++i)
            card.ids << uniqueMail(QStringLiteral("alias") + QString::number(i),
                                   QString::fromLatin1(m_rng.pick(MailDomains)));
        break;
    case 300:
        while (card.names.size() < HostListLimit)
            card.names << str(m_rng.pick(Handles))
                    + QString::number(card.names.size());
        break;
    case 500: {
        card.profile.clear();
        for (int day : sortedDays(HostListLimit, person.createdDay, person.updatedDay))
            card.profile << profileEntry(day, person);
        break;
    }
    case 600:
        card.mailLog.clear();
        for (int day : sortedDays(HostLogLimit, person.createdDay, person.updatedDay))
            card.mailLog << mailLine(day, person);
        break;
    case 700:
        card.exchangeRecords.clear();
        for (int day : sortedDays(HostLogLimit, person.createdDay, person.updatedDay))
            card.exchangeRecords << exchangeLine(day);
        break;
    case 800:
        card.remarkRecords.clear();
        for (int day : sortedDays(HostLogLimit, person.createdDay, person.updatedDay))
            card.remarkRecords << remarkLine(day);
        break;
    case 900: {
        auto total = [&] {
            return card.address.size() + card.pager.size() + card.fax.size() + card.mobile.size()
                + card.memo.size() + card.postalCode.size() + card.telephone.size();
        };
        while (total() < HostTextLimit) {
            card.memo += u"\r\n";
            card.memo += QStringView(m_rng.pick(MemoLines));
        }
        break;
    }
    case PlantedDuplicateNumber:
        card.number = m_book.cards[std::max(1, index / 2)].number;
        break;
    case PlantedDuplicateId: {
        // An ID of an earlier ordinary card in other letter case.
        for (int j = index - 1; j >= 1; --j) {
            if (std::find(plantedIndexes.begin(), plantedIndexes.end(), j) != plantedIndexes.end())
                continue;
            const QString &id = m_book.cards[j].ids.value(0);
            const QString other = id.toUpper() != id ? id.toUpper() : id.toLower();
            if (other != id) {
                card.ids << other;
                break;
            }
        }
        break;
    }
    default:
        break;
    }
}

AddressBook Builder::build()
{
    m_ownerId = newServiceId();

    for (int i = 0; i < m_opt.groups; ++i)
        m_book.groupList() << (i < countOf(GroupNames)
                                   ? str(GroupNames[i])
                                   : QStringLiteral("グループ") + QString::number(i + 1));

    // Cards are appended as they are made: creation dates grow with the
    // card number.
    const int n = std::max(0, m_opt.cards);
    const std::vector<int> createdDays = sortedDays(n, m_firstCreated, m_lastCreated);
    m_book.cards.reserve(n + 1);
    m_people.reserve(n + 1);
    m_idKeys.reserve(2 * n + 8);
    m_people << Person();
    for (int i = 0; i < n; ++i) {
        Card card = makeCard(createdDays[size_t(i)]);
        card.number = i + 1;
        m_book.cards << std::move(card);
    }
    m_book.cardCounter = n + 1;

    if (m_opt.badCards && n > 0) {
        QList<int> plants = plantedRuleCodes();
        if (m_book.groupList().isEmpty())
            plants.removeAll(51);
        plants << PlantedDuplicateNumber << PlantedDuplicateId;
        const int k = int(plants.size());
        // Spread over the book; a small book gets its first cards planted.
        std::vector<int> indexes;
        for (int p = 0; p < k && p < n; ++p)
            indexes.push_back(n > k ? int(qint64(p + 1) * n / (k + 1)) : p + 1);
        for (size_t p = 0; p < indexes.size(); ++p)
            plant(plants[qsizetype(p)], indexes[p], indexes);
    }
    return std::move(m_book);
}

} // namespace

AddressBook generateBook(const GeneratorOptions &options)
{
    return Builder(options).build();
}

QList<int> plantedRuleCodes()
{
    QList<int> codes;
    for (const Rule &r : Rules)
        codes << r.code;
    return codes;
}

QString plantedMark(int rule)
{
    const QString mark = str(MarkPrefix);
    if (rule == PlantedDuplicateNumber)
        return mark + u"カード番号の重複";
    if (rule == PlantedDuplicateId)
        return mark + u"IDの重複（大文字と小文字の違い）";
    for (const Rule &r : Rules) {
        if (r.code == rule)
            return mark + u"規則 " + QString::number(rule) + u"：" + QStringView(r.message);
    }
    return mark;
}

int plantedRule(const Card &card)
{
    if (!card.memo.startsWith(QStringView{MarkPrefix}))
        return 0;
    const QStringView firstLine = QStringView(card.memo).left(card.memo.indexOf(u'\r'));
    for (int rule : {PlantedDuplicateNumber, PlantedDuplicateId})
        if (firstLine == plantedMark(rule))
            return rule;
    for (const Rule &r : Rules)
        if (firstLine == plantedMark(r.code))
            return r.code;
    return 0;
}
