#include "core/ndbfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "common/cp932.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QByteArray EmptyBookImage = hexBytes("35 12 01 00 01 00 00 00"
                                           "00 00 02 00 00 00"
                                           "02 00 00 00 00 00 00 00 00"
                                           "02 01 00 00 00 00 00 00 00");

QString damagedPrefix() { return QStringLiteral("ファイルが壊れています"); }
QString versionMessage()
{
    return QStringLiteral("バージョンが違うか、Addressファイルではありません");
}

// Hand-made images, including ones the writer never produces.
class Image
{
public:
    Image &header(qint32 cardCount, quint16 counter = 1, quint16 signature = 0x1235)
    {
        return u16(signature).u16(counter).i32(cardCount);
    }
    Image &card(quint16 number, qint32 itemCount) { return u16(number).i32(itemCount); }
    Image &item(quint8 type, qint32 kind) { return u8(type).i32(kind); }
    Image &str(qint32 kind, const QByteArray &text) { return item(1, kind).payload(text); }
    Image &list(qint32 kind, const QList<QByteArray> &entries)
    {
        item(2, kind).i32(qint32(entries.size()));
        for (const QByteArray &e : entries)
            payload(e);
        return *this;
    }
    Image &date(qint32 kind, double v)
    {
        item(3, kind);
        quint64 bits;
        std::memcpy(&bits, &v, sizeof bits);
        char b[8];
        qToLittleEndian(bits, b);
        bytes.append(b, 8);
        return *this;
    }
    Image &flag(qint32 kind, quint8 v) { return item(5, kind).u8(v); }
    // A payload of type 1: L, the bytes, the terminating 0.
    Image &payload(const QByteArray &text)
    {
        i32(qint32(text.size() + 1));
        bytes.append(text).append('\0');
        return *this;
    }
    Image &u8(quint8 v)
    {
        bytes.append(char(v));
        return *this;
    }
    Image &u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        bytes.append(b, 2);
        return *this;
    }
    Image &i32(qint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        bytes.append(b, 4);
        return *this;
    }
    // A system card with the given group names.
    Image &systemCard(const QList<QByteArray> &groups = {})
    {
        return card(0, 2).list(0, {}).list(1, groups);
    }
    // The 19 items of a card holding new-card values and the given IDs.
    Image &fullItems(const QList<QByteArray> &ids = {})
    {
        list(0, ids).list(1, {});
        for (int k : {2, 3, 4, 5})
            str(k, {});
        date(6, NoDate).list(7, {}).str(8, {}).list(9, {}).list(10, {}).list(11, {});
        flag(12, FlagOn).flag(13, FlagOff).str(14, {}).str(15, {});
        return date(16, NoDate).date(17, NoDate).list(18, {});
    }

    QByteArray bytes;
};

// A book with content, to see that failed reads leave it alone.
AddressBook sentinelBook()
{
    AddressBook book;
    book.cardCounter = 77;
    book.groupList() = QStringList{QStringLiteral("家族")};
    Card c;
    c.number = 5;
    c.ids = {QStringLiteral("someone@example.jp")};
    c.names = {QStringLiteral("山田太郎")};
    c.birthday = 30000.0;
    book.cards.append(c);
    return book;
}

QByteArray build(const AddressBook &book)
{
    const auto image = buildNdbImage(book);
    EXPECT_TRUE(image.has_value());
    return image.value_or(QByteArray());
}

// Parses bytes expected to be valid; fails the test with the message if not.
AddressBook parse(const QByteArray &bytes)
{
    AddressBook book;
    ScriptedPrompter prompter;
    EXPECT_EQ(parseNdbImage(bytes, book, prompter), 0) << prompter.lastText().toStdString();
    EXPECT_TRUE(prompter.asked.isEmpty());
    return book;
}

// Parses bytes expected to be refused: the book must stay as it was and
// exactly one message must be shown; returns it.
QString refusal(const QByteArray &bytes)
{
    AddressBook book = sentinelBook();
    ScriptedPrompter prompter;
    EXPECT_EQ(parseNdbImage(bytes, book, prompter), -1);
    EXPECT_EQ(book, sentinelBook());
    EXPECT_EQ(prompter.asked.size(), 1);
    if (prompter.asked.isEmpty())
        return {};
    const auto &m = prompter.asked.first().message;
    EXPECT_EQ(m.buttons, Prompter::Buttons(Prompter::Ok));
    EXPECT_EQ(m.icon, Prompter::Icon::None);
    return m.text;
}

// ---------------------------------------------------------------------------

TEST(NdbFormat, EmptyBookIsThe32ByteImage)
{
    const AddressBook book = AddressBook::newBook();
    EXPECT_EQ(ndbFileSize(book), 32);
    EXPECT_EQ(build(book), EmptyBookImage);

    // The fields of the system card that are never stored read as zero
    // values, so compare what is stored.
    const AddressBook read = parse(EmptyBookImage);
    ASSERT_EQ(read.cardCount(), 1);
    EXPECT_EQ(read.cardCounter, 1);
    EXPECT_EQ(read.signature, 0x1235);
    EXPECT_EQ(read.cards[0].number, 0);
    EXPECT_EQ(read.cards[0].itemCount, 2);
    EXPECT_TRUE(read.cards[0].ids.isEmpty());
    EXPECT_TRUE(read.groupList().isEmpty());
    EXPECT_EQ(build(read), EmptyBookImage);
}

TEST(NdbFormat, NewCardWithOneIdIsThe196ByteRecord)
{
    QByteArray record = hexBytes("01 00 13 00 00 00"
                                 "02 00 00 00 00 01 00 00 00 02 00 00 00 41 00"
                                 "02 01 00 00 00 00 00 00 00");
    const QByteArray emptyString = hexBytes("00 00 00 01 00 00 00 00");
    const QByteArray emptyList = hexBytes("00 00 00 00 00 00 00");
    const QByteArray noDate = hexBytes("00 00 00 00 00 00 00 B2 2A 25 C1");
    for (char k : {2, 3, 4, 5})
        record += char(1) + QByteArray(1, k) + emptyString;
    record += char(3) + QByteArray(1, 6) + noDate;
    record += char(2) + QByteArray(1, 7) + emptyList;
    record += char(1) + QByteArray(1, 8) + emptyString;
    for (char k : {9, 10, 11})
        record += char(2) + QByteArray(1, k) + emptyList;
    record += hexBytes("05 0C 00 00 00 0A 05 0D 00 00 00 00");
    for (char k : {14, 15})
        record += char(1) + QByteArray(1, k) + emptyString;
    for (char k : {16, 17})
        record += char(3) + QByteArray(1, k) + noDate;
    record += hexBytes("02 12 00 00 00 00 00 00 00");
    ASSERT_EQ(record.size(), 196);

    AddressBook book;
    Card card = Card::newCard();
    card.number = 1;
    card.ids = {QStringLiteral("A")};
    book.cards.append(card);

    const QByteArray image = build(book);
    EXPECT_EQ(ndbFileSize(book), 32 + 196);
    EXPECT_EQ(image.left(8), hexBytes("35 12 01 00 02 00 00 00"));
    EXPECT_EQ(image.mid(8, 24), EmptyBookImage.mid(8));
    EXPECT_EQ(image.mid(32), record);
    const AddressBook read = parse(image);
    ASSERT_EQ(read.cardCount(), 2);
    EXPECT_EQ(read.cards[1], card);
}

TEST(NdbFormat, JapaneseTextIsShiftJis)
{
    AddressBook book;
    Card card = Card::newCard();
    card.number = 2;
    card.names = {QStringLiteral("山田ｱｲ")};
    card.memo = QStringLiteral("x\U0001F600y\r\nz");
    book.cards.append(card);
    const QByteArray image = build(book);
    // names: one entry, L = 7: 8E 52 (山) 93 63 (田) B1 B2 (ｱｲ) 00.
    EXPECT_TRUE(image.contains(hexBytes("02 01 00 00 00 01 00 00 00 07 00 00 00"
                                        "8E 52 93 63 B1 B2 00")));
    // A character without a Shift-JIS form is written as "?".
    EXPECT_TRUE(image.contains(hexBytes("01 08 00 00 00 07 00 00 00") + "x?y\r\nz" + '\0'));
    EXPECT_EQ(parse(image).cards[1].memo, QStringLiteral("x?y\r\nz"));
}

// Bytes Windows keeps as characters of their own come back unchanged.
TEST(NdbFormat, WindowsSingleBytesSurviveReadAndWrite)
{
    const QByteArray name("a\x80 \xA0 \xFD \xFE \xFF\x82\xA0");
    const QByteArray image = Image()
                                 .header(2, 3)
                                 .systemCard({"\xFD"})
                                 .card(2, 19)
                                 .fullItems({name})
                                 .bytes;
    EXPECT_EQ(build(parse(image)), image);
}

// ---------------------------------------------------------------------------

TEST(NdbReadWrite, NormalisesListsDatesAndItemOrder)
{
    // Items of card 1 out of kind order, empty list entries, dates outside
    // the showable range; card 2 a short record; card 3 a number above 32767.
    Image in;
    in.header(4, 0x8001).systemCard({"g1", "", "g2"});
    in.card(1, 19).list(1, {"name"}).list(0, {"", "a@b", "", "c@d", ""});
    for (int k : {2, 3, 4, 5})
        in.str(k, "s" + QByteArray::number(k));
    in.date(6, 0.0).list(7, {"", ""}).str(8, "memo").list(9, {}).list(10, {}).list(11, {});
    in.flag(13, 3).flag(12, 255).str(14, "").str(15, "p");
    in.date(17, std::numeric_limits<double>::quiet_NaN()).date(16, 2958466.0);
    in.list(18, {"log"});
    in.card(0xFFFF, 17).list(0, {"x@y"}).list(1, {});
    for (int k : {2, 3, 4, 5})
        in.str(k, {});
    in.date(6, -657434.0).list(7, {}).str(8, {}).list(9, {}).list(10, {}).list(11, {});
    in.flag(12, 10).flag(13, 0).str(14, {}).str(15, {}).date(16, 45000.25);
    in.card(0x8000, 19).fullItems({"z@z"});

    const AddressBook book = parse(in.bytes);
    ASSERT_EQ(book.cardCount(), 4);
    EXPECT_EQ(book.cardCounter, qint16(0x8001)); // signed 16-bit
    EXPECT_EQ(book.groupList(), (QStringList{"g1", "g2"}));

    const Card &c1 = book.cards[1];
    EXPECT_EQ(c1.ids, (QStringList{"a@b", "c@d"}));
    EXPECT_EQ(c1.names, QStringList{"name"});
    EXPECT_TRUE(c1.groups.isEmpty());
    EXPECT_EQ(c1.fax, "s5");
    EXPECT_EQ(c1.birthday, 0.0);
    EXPECT_FALSE(std::signbit(c1.birthday));
    EXPECT_EQ(c1.created, NoDate); // 9999-12-31 24:00 is past the range
    EXPECT_EQ(c1.updated, NoDate); // NaN
    EXPECT_EQ(c1.exchangeAutoRecord, 255);
    EXPECT_EQ(c1.remarkAutoRecord, 3);

    const Card &c2 = book.cards[2];
    EXPECT_EQ(c2.number, 65535);
    EXPECT_EQ(c2.itemCount, 17);
    EXPECT_EQ(c2.birthday, -657434.0);
    EXPECT_EQ(c2.created, 45000.25);
    EXPECT_EQ(c2.updated, 0.0); // zero values for the kinds the record lacks
    EXPECT_TRUE(c2.mailLog.isEmpty());
    EXPECT_EQ(book.cards[3].number, 32768);

    // Written back: the same bytes except the normalisations.
    Image out;
    out.header(4, 0x8001).systemCard({"g1", "g2"});
    out.card(1, 19).list(0, {"a@b", "c@d"}).list(1, {"name"});
    for (int k : {2, 3, 4, 5})
        out.str(k, "s" + QByteArray::number(k));
    out.date(6, 0.0).list(7, {}).str(8, "memo").list(9, {}).list(10, {}).list(11, {});
    out.flag(12, 255).flag(13, 3).str(14, "").str(15, "p");
    out.date(16, NoDate).date(17, NoDate).list(18, {"log"});
    const qsizetype card2 = in.bytes.indexOf(hexBytes("FF FF 11 00 00 00"));
    ASSERT_GT(card2, 0);
    out.bytes += in.bytes.mid(card2);
    EXPECT_EQ(build(book), out.bytes);
}

TEST(NdbReadWrite, OddDatesBecomeNoDate)
{
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double in, out;
    } cases[] = {
        {0.0, 0.0},
        {-0.0, -0.0},
        {1.5, 1.5},
        {-657434.0, -657434.0},
        {2958465.99998, 2958465.99998},
        {-657434.5, NoDate},
        {2958466.0, NoDate},
        {NoDate, NoDate},
        {1e300, NoDate},
        {inf, NoDate},
        {-inf, NoDate},
        {std::numeric_limits<double>::quiet_NaN(), NoDate},
        {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::denorm_min()},
    };
    for (const auto &c : cases) {
        Image in;
        in.header(2).systemCard().card(1, 7).list(0, {}).list(1, {});
        for (int k : {2, 3, 4, 5})
            in.str(k, {});
        in.date(6, c.in);
        const AddressBook book = parse(in.bytes);
        const double got = book.cards[1].birthday;
        EXPECT_EQ(std::memcmp(&got, &c.out, sizeof got), 0) << c.in << " read as " << got;
    }
}

TEST(NdbReadWrite, ItemCountsOutsideZeroToNineteenAreWrittenReadably)
{
    AddressBook book;
    Card big = Card::newCard();
    big.number = 1;
    big.itemCount = 40;
    big.ids = {"a@b"};
    Card negative = Card::newCard();
    negative.number = 2;
    negative.itemCount = -3;
    negative.ids = {"lost"};
    book.cards << big << negative;

    const QByteArray image = build(book);
    EXPECT_EQ(image.size(), ndbFileSize(book));
    const AddressBook read = parse(image);
    EXPECT_EQ(read.cards[1].itemCount, 19);
    EXPECT_EQ(read.cards[1].ids, QStringList{"a@b"});
    EXPECT_EQ(read.cards[2].itemCount, 0);
    EXPECT_TRUE(read.cards[2].ids.isEmpty());
    EXPECT_EQ(build(read), image);
}

TEST(NdbReadWrite, RepeatedKindKeepsTheLastValue)
{
    Image in;
    in.header(2).systemCard().card(3, 3).str(8, "first").str(8, "second").list(0, {"id"});
    const AddressBook book = parse(in.bytes);
    EXPECT_EQ(book.cards[1].memo, "second");
    EXPECT_EQ(book.cards[1].ids, QStringList{"id"});
    EXPECT_EQ(book.cards[1].itemCount, 3);
}

// ---------------------------------------------------------------------------
// Property: seeded random books survive write -> read -> write.

class BookGenerator
{
public:
    explicit BookGenerator(quint32 seed) : m_rng(seed) {}

    // Tame books hold only what the file keeps exactly: reading their image
    // gives the same book back. Wild books also hold what the first write or
    // read normalises (empty entries, unmappable characters, odd dates,
    // itemCount and numbers out of range); their images settle after one pass.
    AddressBook book(bool wild)
    {
        AddressBook b;
        if (!wild) {
            // What a read gives for the system card's unstored kinds.
            b.cards[0] = Card::zeroed();
            b.cards[0].itemCount = 2;
        }
        b.cardCounter = wild ? int(pick(-100000, 100000)) : int(pick(-32768, 32767));
        b.groupList() = list(wild);
        const int cards = int(pick(0, 12));
        for (int i = 0; i < cards; ++i)
            b.cards.append(card(wild));
        if (wild && chance(10))
            b.cards[0].itemCount = int(pick(0, 19));
        return b;
    }

private:
    qint64 pick(qint64 lo, qint64 hi) { return std::uniform_int_distribution<qint64>(lo, hi)(m_rng); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    QString text(bool wild, int maxLen = 12)
    {
        static const QString kanji = QStringLiteral(
            "山田太郎花子東京都大阪市北区一二三四五六七八九十日本語漢字表髙﨑");
        static const QString symbols = QStringLiteral("〒※①②～－・「」、。￥＼　");
        const int len = int(pick(0, maxLen));
        QString s;
        for (int i = 0; i < len; ++i) {
            switch (pick(0, wild ? 9 : 7)) {
            case 0:
            case 1: s += QChar(char16_t(pick(0x20, 0x7E))); break;
            case 2: s += QChar(char16_t(pick(0x3041, 0x3093))); break; // hiragana
            case 3: s += QChar(char16_t(pick(0x30A1, 0x30F6))); break; // katakana
            case 4: s += QChar(char16_t(pick(0xFF61, 0xFF9F))); break; // half-width kana
            case 5: s += kanji[pick(0, kanji.size() - 1)]; break;
            case 6: s += symbols[pick(0, symbols.size() - 1)]; break;
            case 7: s += (chance(50) ? QStringLiteral("\r\n") : QStringLiteral("\t")); break;
            case 8: s += QStringLiteral("\U0001F600"); break;                   // no form
            case 9: s += QChar(char16_t(pick(0x4E00, 0x9FFF))); break;         // maybe none
            }
        }
        return s;
    }

    QStringList list(bool wild)
    {
        QStringList l;
        const int n = int(pick(0, chance(5) ? 40 : 4));
        for (int i = 0; i < n; ++i) {
            QString s = text(wild);
            if (s.isEmpty() && !wild)
                s = QStringLiteral("x");
            l << s;
        }
        return l;
    }

    double date(bool wild)
    {
        switch (pick(0, wild ? 6 : 3)) {
        case 0: return NoDate;
        case 1: return 0.0;
        case 2: return double(pick(-657434, 2958465)) + double(pick(0, 86399)) / 86400.0;
        case 3: return double(pick(20000, 50000));
        case 4: return std::numeric_limits<double>::quiet_NaN();
        case 5: return 1e9;
        default: return -1e6;
        }
    }

    Card card(bool wild)
    {
        Card c = chance(80) ? Card::newCard() : Card::zeroed();
        c.number = wild ? int(pick(-70000, 70000)) : int(pick(0, 65535));
        c.itemCount = wild ? int(pick(-2, 25)) : (chance(80) ? 19 : int(pick(0, 19)));
        for (int kind = 0; kind < CardItemKindCount; ++kind) {
            switch (itemTypeOf(kind)) {
            case ItemType::String:
                *c.stringField(kind) = text(wild, kind == KindMemo ? 60 : 12);
                break;
            case ItemType::StringList: *c.listField(kind) = list(wild); break;
            case ItemType::Date: *c.dateField(kind) = date(wild); break;
            case ItemType::Byte: *c.flagField(kind) = quint8(pick(0, 255)); break;
            }
        }
        if (!wild) {
            // Kinds a short record lacks come back with zero values.
            const Card zero = Card::zeroed();
            for (int kind = qMax(c.itemCount, 0); kind < CardItemKindCount; ++kind) {
                switch (itemTypeOf(kind)) {
                case ItemType::String: *c.stringField(kind) = QString(); break;
                case ItemType::StringList: c.listField(kind)->clear(); break;
                case ItemType::Date: *c.dateField(kind) = *zero.dateField(kind); break;
                case ItemType::Byte: *c.flagField(kind) = *zero.flagField(kind); break;
                }
            }
        }
        return c;
    }

    std::mt19937 m_rng;
};

TEST(NdbProperty, RandomBooksSurviveWriteReadWrite)
{
    BookGenerator gen(20240611);
    for (int i = 0; i < 3000; ++i) {
        const bool wild = i % 3 == 2;
        const AddressBook book = gen.book(wild);
        const QByteArray first = build(book);
        ASSERT_EQ(first.size(), ndbFileSize(book)) << "book " << i;
        const AddressBook read = parse(first);
        const QByteArray second = build(read);
        if (!wild) {
            ASSERT_EQ(read, book) << "book " << i;
            ASSERT_EQ(second, first) << "book " << i;
        } else {
            const AddressBook again = parse(second);
            ASSERT_EQ(again, read) << "book " << i;
            ASSERT_EQ(build(again), second) << "book " << i;
        }
    }
}

// ---------------------------------------------------------------------------

// A small valid file with every data type and some Japanese text.
QByteArray smallValidFile()
{
    AddressBook book;
    book.groupList() = QStringList{QStringLiteral("友人"), QStringLiteral("仕事")};
    Card c = Card::newCard();
    c.number = 9;
    c.ids = {QStringLiteral("a@example.jp"), QStringLiteral("b@example.jp")};
    c.names = {QStringLiteral("鈴木ｲﾁﾛｳ")};
    c.memo = QStringLiteral("メモ\r\n2行目");
    c.birthday = 30000.0;
    c.groups = {QStringLiteral("友人")};
    book.cards.append(c);
    Card shortCard = Card::newCard();
    shortCard.number = 10;
    shortCard.itemCount = 3;
    shortCard.ids = {QStringLiteral("c@example.jp")};
    shortCard.postalCode = QStringLiteral("100-0001");
    book.cards.append(shortCard);
    return build(book);
}

TEST(NdbRefusal, EveryTruncationIsRefused)
{
    const QByteArray full = smallValidFile();
    ASSERT_GT(full.size(), 200);
    parse(full);
    for (qsizetype n = 0; n < full.size(); ++n) {
        const QString text = refusal(full.left(n));
        if (n < 8)
            EXPECT_EQ(text, versionMessage()) << "prefix " << n;
        else
            EXPECT_TRUE(text.startsWith(damagedPrefix())) << "prefix " << n;
    }
}

TEST(NdbTrailingBytes, AreCountedAndNotWritten)
{
    const QByteArray full = smallValidFile();
    // A header declaring one card fewer than the file holds, and bytes
    // appended after a complete book.
    QByteArray fewer = full;
    fewer[4] = char(fewer[4] - 1);
    const AddressBook first = parse(full);
    const AddressBook shorter = parse(fewer);
    const qsizetype lastCard = build(shorter).size();
    EXPECT_EQ(shorter.cardCount(), first.cardCount() - 1);
    EXPECT_EQ(shorter.trailingBytes, full.size() - lastCard);

    const AddressBook appended = parse(full + QByteArray("\0\x35junk", 6));
    EXPECT_EQ(appended.trailingBytes, 6);
    EXPECT_EQ(appended.cards, first.cards);
    EXPECT_EQ(build(appended), full);
    EXPECT_EQ(first.trailingBytes, 0);

    EXPECT_EQ(trailingBytesMessage(6),
              QStringLiteral("ファイルの最後のカードの後に 6 バイトのデータがあります。"
                             "このデータは読み込まれず、保存しても残りません。"));
}

TEST(NdbRefusal, NotAnAddressBook)
{
    EXPECT_EQ(refusal(QByteArray()), versionMessage());
    EXPECT_EQ(refusal(hexBytes("35 12 01 00 01 00 00")), versionMessage());
    QByteArray bad = EmptyBookImage;
    bad[0] = 0x36;
    EXPECT_EQ(refusal(bad), versionMessage());
    bad = EmptyBookImage;
    bad[1] = 0x13;
    EXPECT_EQ(refusal(bad), versionMessage());
}

TEST(NdbRefusal, UnknownTypesAndKinds)
{
    auto withItem = [](quint8 type, qint32 kind) {
        Image in;
        in.header(2).systemCard().card(1, 1).item(type, kind).i32(1).u8(0);
        return in.bytes;
    };
    EXPECT_EQ(refusal(withItem(4, 0)), QStringLiteral("未サポートのデータタイプです(4)"));
    EXPECT_EQ(refusal(withItem(0, 0)), QStringLiteral("未サポートのデータタイプです(0)"));
    EXPECT_EQ(refusal(withItem(0xAB, 2)), QStringLiteral("未サポートのデータタイプです(AB)"));
    // The type is judged before the kind.
    EXPECT_EQ(refusal(withItem(0xFF, 99)), QStringLiteral("未サポートのデータタイプです(FF)"));

    EXPECT_EQ(refusal(withItem(1, 19)), QStringLiteral("未サポートの項目種別です(13)"));
    EXPECT_EQ(refusal(withItem(1, 0x1F)), QStringLiteral("未サポートの項目種別です(1F)"));
    EXPECT_EQ(refusal(withItem(1, -1)), QStringLiteral("未サポートの項目種別です(FFFFFFFF)"));
    EXPECT_EQ(refusal(withItem(1, 0x7FFFFFFF)),
              QStringLiteral("未サポートの項目種別です(7FFFFFFF)"));

    // A known type under a kind of another type.
    EXPECT_TRUE(refusal(withItem(2, KindPostalCode)).startsWith(damagedPrefix()));
    EXPECT_TRUE(refusal(withItem(1, KindIds)).startsWith(damagedPrefix()));
    EXPECT_TRUE(refusal(withItem(5, KindBirthday)).startsWith(damagedPrefix()));
}

TEST(NdbRefusal, UntrustedCounts)
{
    const qint32 huge = 0x7FFFFFFF;
    QList<QByteArray> damaged;
    // Card counts: none, negative, more than the bytes could hold.
    for (qint32 count : {0, -1, huge, 5}) {
        Image in;
        in.header(count).systemCard();
        damaged << in.bytes;
    }
    // Item counts.
    for (qint32 count : {-1, huge, 2}) {
        Image in;
        in.header(2).systemCard().card(1, count).list(0, {});
        damaged << in.bytes;
    }
    // List entry counts.
    for (qint32 count : {-1, huge, 1 << 28}) {
        Image in;
        in.header(2).systemCard().card(1, 1).item(2, 0).i32(count).payload("a");
        damaged << in.bytes;
    }
    // String lengths.
    for (qint32 length : {-1, huge, 3}) {
        Image in;
        in.header(2).systemCard().card(1, 3).list(0, {}).list(1, {}).item(1, 2).i32(length);
        in.bytes += "ab";
        damaged << in.bytes;
    }
    // A list entry's length inside a list.
    {
        Image in;
        in.header(1).card(0, 1).item(2, 1).i32(2).payload("g").i32(-5);
        damaged << in.bytes;
    }
    for (qsizetype i = 0; i < damaged.size(); ++i)
        EXPECT_TRUE(refusal(damaged[i]).startsWith(damagedPrefix()))
            << "case " << i << ": " << damaged[i].toHex(' ').toStdString();
}

TEST(NdbRefusal, CancelledParseLeavesTheBookAlone)
{
    const QByteArray file = smallValidFile();
    QList<std::pair<qint64, qint64>> calls;
    AddressBook book = sentinelBook();
    ScriptedPrompter prompter;
    const Progress all = [&](qint64 done, qint64 total) {
        calls.append({done, total});
        return true;
    };
    ASSERT_EQ(parseNdbImage(file, book, prompter, all), 0);
    EXPECT_EQ(calls, (QList<std::pair<qint64, qint64>>{{0, 3}, {1, 3}, {2, 3}}));

    book = sentinelBook();
    const Progress stopAtSecond = [](qint64 done, qint64) { return done < 1; };
    EXPECT_EQ(parseNdbImage(file, book, prompter, stopAtSecond), -1);
    EXPECT_EQ(book, sentinelBook());
    EXPECT_TRUE(prompter.asked.isEmpty());

    EXPECT_FALSE(buildNdbImage(book, stopAtSecond).has_value());
}

// ---------------------------------------------------------------------------

class NdbFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name) const { return dir.filePath(name); }
    // True when the file system refuses writes the permissions forbid (not
    // the case for root).
    static bool permissionsEnforced(const QString &file)
    {
        QFile f(file);
        const bool opened = f.open(QIODevice::WriteOnly | QIODevice::Append);
        return !opened;
    }
    static QString usedMessage(const QString &p)
    {
        return QStringLiteral("書き込みに失敗しました。[") + QDir::toNativeSeparators(p)
            + QStringLiteral("]は使用中です。");
    }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
};

TEST_F(NdbFiles, WriteThenReadBack)
{
    const QString file = path(QStringLiteral("Address.ndb"));
    const QByteArray image = smallValidFile();
    const AddressBook book = parse(image);
    ASSERT_EQ(writeNdbFile(file, book, prompter), 0);
    EXPECT_EQ(readAll(file), image);

    AddressBook read;
    ASSERT_EQ(readNdbFile(file, read, prompter), 0);
    EXPECT_EQ(read, book);

    // Overwriting keeps the old file's permissions and leaves no stray files.
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                | QFileDevice::ReadGroup));
    ASSERT_EQ(writeNdbFile(file, AddressBook::newBook(), prompter), 0);
    EXPECT_EQ(readAll(file), EmptyBookImage);
    EXPECT_EQ(QFileInfo(file).permissions() & 0x0777, 0x0640);
    EXPECT_EQ(entries(), QStringList{"Address.ndb"});
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(NdbFiles, ReadingABookOfManyMegabytesFromItsFile)
{
    // The reader gives the file's pages back as it passes them: a book well
    // over that step must still come out whole, and a damaged or longer file
    // must be judged as from its bytes in memory.
    GeneratorOptions options;
    options.cards = 6000;
    const AddressBook book = generateBook(options);
    const QByteArray image = build(book);
    ASSERT_GT(image.size(), 6 * 1024 * 1024);

    const QByteArray variants[] = {image, image + QByteArray("junk"),
                                   image.left(image.size() - 700)};
    const QString file = path(QStringLiteral("Address.ndb"));
    for (const QByteArray &bytes : variants) {
        SCOPED_TRACE(bytes.size());
        ASSERT_TRUE(writeAll(file, bytes));
        ScriptedPrompter fromMemory;
        AddressBook expected;
        const int expectedResult = parseNdbImage(bytes, expected, fromMemory);
        AddressBook read;
        EXPECT_EQ(readNdbFile(file, read, prompter), expectedResult);
        EXPECT_EQ(read, expected);
        EXPECT_EQ(prompter.texts(), fromMemory.texts());
        prompter.asked.clear();
    }
}

TEST_F(NdbFiles, ReadFailures)
{
    AddressBook book = sentinelBook();
    EXPECT_EQ(readNdbFile(path("missing.ndb"), book, prompter), -1);
    EXPECT_EQ(readNdbFile(dir.path(), book, prompter), -1);
    EXPECT_EQ(prompter.texts(), QStringList(2, QStringLiteral("ファイルが読めません")));
    EXPECT_EQ(book, sentinelBook());
}

TEST_F(NdbFiles, UnreadableFile)
{
    AddressBook book = sentinelBook();
    const QString locked = path("locked.ndb");
    ASSERT_TRUE(writeAll(locked, EmptyBookImage));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    QFile probe(locked);
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "file permissions are not enforced for this user";
    EXPECT_EQ(readNdbFile(locked, book, prompter), -1);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("ファイルが使用中です")});
    EXPECT_EQ(book, sentinelBook());
}

TEST_F(NdbFiles, FailedSaveKeepsTheOldFile)
{
    const AddressBook book = parse(smallValidFile());

    // A directory in the target's place.
    const QString folder = path("Address.ndb");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(writeNdbFile(folder, book, prompter), -1);
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // A folder that does not exist: no temporary file can be made.
    const QString nowhere = path("no/such/Address.ndb");
    EXPECT_EQ(writeNdbFile(nowhere, book, prompter), -1);
    EXPECT_EQ(prompter.texts(),
              (QStringList{usedMessage(folder),
                           QStringLiteral("書き込みに失敗しました。パスが見つかりません。[") + nowhere + u']'}));
    EXPECT_EQ(prompter.asked.first().message.icon, Prompter::Icon::None);
}

TEST_F(NdbFiles, ReadOnlyTargetOrFolderKeepsTheOldFile)
{
    const AddressBook book = parse(smallValidFile());
    const QString file = path("Address.ndb");
    ASSERT_TRUE(writeAll(file, EmptyBookImage));
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    if (!permissionsEnforced(file))
        GTEST_SKIP() << "file permissions are not enforced for this user";

    EXPECT_EQ(writeNdbFile(file, book, prompter), -1);
    EXPECT_EQ(readAll(file), EmptyBookImage);

    // A read-only folder: the file itself writable, but no temporary file can
    // be made beside it.
    ASSERT_TRUE(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    const auto folderPerms = QFileInfo(dir.path()).permissions();
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(writeNdbFile(file, book, prompter), -1);
    QFile::setPermissions(dir.path(), folderPerms);
    EXPECT_EQ(readAll(file), EmptyBookImage);
    EXPECT_EQ(prompter.texts(),
              (QStringList{usedMessage(file), QStringLiteral("書き込みに失敗しました。[") + file
                                                  + QStringLiteral("]のディレクトリは読取専用です。")}));
    EXPECT_EQ(entries(), QStringList{"Address.ndb"});
}

TEST_F(NdbFiles, CancelledSaveWritesNothing)
{
    const QString file = path("Address.ndb");
    const QByteArray old = smallValidFile();
    ASSERT_TRUE(writeAll(file, old));
    // Stops at the last card, when all but that card are already built.
    const Progress stop = [](qint64 done, qint64 total) { return done < total - 1; };
    EXPECT_EQ(writeNdbFile(file, AddressBook::newBook(), prompter, stop), -1);
    EXPECT_EQ(writeNdbFile(file, parse(old), prompter, stop), -1);
    EXPECT_EQ(readAll(file), old);
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(entries(), QStringList{"Address.ndb"});

    EXPECT_EQ(writeNdbFile(path("new.ndb"), parse(old), prompter, stop), -1);
    EXPECT_FALSE(QFileInfo::exists(path("new.ndb")));
}

} // namespace
