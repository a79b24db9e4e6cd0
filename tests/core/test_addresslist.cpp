#include <algorithm>
#include <random>

#include "common/oledate.h"
#include "common/textcompare.h"
#include "common/textwidth.h"
#include "core/validation.h"
#include "core/addresslist.h"
#include "support/testutil.h"

namespace {

Card card(qint32 number, QStringList names, QStringList ids)
{
    Card c = Card::newCard();
    c.number = number;
    c.names = names;
    c.ids = ids;
    return c;
}

QStringList keys(const QList<ListLine> &lines)
{
    QStringList out;
    for (const auto &l : lines)
        out << l.key;
    return out;
}

} // namespace

TEST(AddressListLines, OneLinePerNameOrIdAndColumnsFitted)
{
    const Card c = card(7, {u"山田太郎"_qs, u"Taro"_qs}, {u"a@x.jp"_qs, u"b@y.jp"_qs, u"c"_qs});
    for (int order : {SortByName, SortByCreated, SortByUpdated, SortByStatus})
        EXPECT_EQ(cardListLines(c, order).size(), 2) << order;
    for (int order : {SortById, SortByDomain})
        EXPECT_EQ(cardListLines(c, order).size(), 3) << order;

    const QList<ListLine> byName = cardListLines(c, SortByName);
    EXPECT_EQ(byName[0].text, fitWidth(u"山田太郎", 20) + u' ' + fitWidth(u"a@x.jp", 30) + u' ');
    EXPECT_EQ(byteLength(byName[0].text), 52);
    EXPECT_EQ(byName[1].cardNumber, 7);
    const QList<ListLine> byId = cardListLines(c, SortById);
    EXPECT_TRUE(byId[2].text.startsWith(u"山田太郎"));
    EXPECT_EQ(keys(cardListLines(c, SortByDomain)),
              (QStringList{u"x.jp a@x.jp"_qs, u"y.jp b@y.jp"_qs, u" c"_qs}));
}

// Names the file cannot hold still line up: the ID column starts at the
// same place on every line.
TEST(AddressListLines, WideCharactersWithoutACp932FormKeepTheColumns)
{
    for (const QString &name : {u"山田"_qs, u"\U00020BB7田"_qs, u"ren\u00E9"_qs, u"\uFF71\U0001F600"_qs}) {
        const QString line = cardListLines(card(1, {name}, {u"a@x.jp"_qs}), SortByName)[0].text;
        const qsizetype at = line.indexOf(u"a@x.jp");
        EXPECT_EQ(displayWidth(QStringView(line).first(at)), 21) << name.toStdString();
    }
}

TEST(AddressListLines, CardWithoutNamesOrIdsGetsOneBlankLineWithItsStatus)
{
    Card c = card(3, {}, {});
    c.status = StatusNoIds;
    for (int order = SortByName; order <= SortByStatus; ++order) {
        const QList<ListLine> lines = cardListLines(c, order);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines[0].text, QString(52, u' ') + severityMark(statusSeverity(c.status))
                                     + u' ' + statusMessage(c.status));
    }
    EXPECT_EQ(cardListLines(c, SortByStatus)[0].key, QStringLiteral("%1").arg(c.status, 4, 10,
                                                                             QLatin1Char('0')));
    EXPECT_EQ(cardListLines(c, SortByName)[0].key, QString());
}

TEST(AddressListLines, FullWidthNamesAreCutWithoutSplittingACharacter)
{
    const QString eleven = u"あいうえおかきくけこさ"_qs;
    EXPECT_TRUE(cardListLines(card(1, {eleven}, {}), SortByName)[0].text.startsWith(
        eleven.left(10) + u' '));
    const QString mixed = u"aあいうえおかきくけこ"_qs; // 1 + 20 columns
    const QString text = cardListLines(card(1, {mixed}, {}), SortByName)[0].text;
    EXPECT_TRUE(text.startsWith(u"aあいうえおかきくけ "_qs));
}

TEST(AddressListSort, KeysFoldCaseAndTiesGoByText)
{
    AddressBook b;
    Card c1 = card(1, {u"b"_qs}, {u"B@x"_qs});
    Card c2 = card(2, {u"a"_qs}, {u"b@x"_qs});
    Card c3 = card(3, {u"c"_qs}, {u"nodomain"_qs});
    c1.created = oleFromDate(QDate(2020, 1, 1));
    c3.status = StatusNoIds; // status order: broken before normal
    b.cards << c1 << c2 << c3;
    QList<ListLine> lines;
    ASSERT_EQ(buildListLines(b, {1, 2, 3}, SortById, lines), BuildResult::Done);
    // "B@x" and "b@x" are equal keys: the line texts ("a ..." < "b ...") decide.
    EXPECT_EQ(lines[0].cardNumber, 2);
    EXPECT_EQ(lines[1].cardNumber, 1);
    ASSERT_EQ(buildListLines(b, {1, 2, 3}, SortByDomain, lines), BuildResult::Done);
    EXPECT_EQ(lines[0].cardNumber, 3); // no domain: key starts with a space
    ASSERT_EQ(buildListLines(b, {1, 2, 3}, SortByCreated, lines), BuildResult::Done);
    EXPECT_EQ(lines.last().cardNumber, 1); // cards without a date first
    ASSERT_EQ(buildListLines(b, {1, 2, 3}, SortByStatus, lines), BuildResult::Done);
    EXPECT_EQ(lines[0].cardNumber, 3);
}

// Many lines from a small alphabet, so keys and folded texts tie often: the
// sort must give exactly the order of the plain four-level comparison, with
// every line kept once.
TEST(AddressListSort, ManyTiesGiveThePlainComparisonsOrder)
{
    const QStringList parts = {u"a"_qs, u"A"_qs, u"ｶ"_qs, u"カ"_qs, u"か"_qs, u"ﾞ"_qs, u"Ｂ"_qs, u"b"_qs, QString()};
    std::mt19937 rng(11);
    auto pick = [&] { return parts[rng() % parts.size()] + parts[rng() % parts.size()]; };
    for (int round = 0; round < 20; ++round) {
        QList<ListLine> lines;
        for (int i = 0, n = int(rng() % 200); i < n; ++i)
            lines.append({pick(), pick(), i, 0, QString(), QString()});
        QList<ListLine> expected = lines;
        std::stable_sort(expected.begin(), expected.end(), [](const ListLine &x, const ListLine &y) {
            const auto rank = [](const ListLine &l) {
                return std::make_tuple(textKey(QStringView(l.key)), textKey(QStringView(l.text)), l.key, l.text);
            };
            return rank(x) < rank(y);
        });
        sortListLines(lines);
        ASSERT_EQ(lines.size(), expected.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            ASSERT_EQ(lines[i].cardNumber, expected[i].cardNumber) << round << " " << i;
    }
}

// The sort settles most comparisons on the first units of the folded keys;
// keys that agree there, tie, or differ only in case, width or kana must
// still come out in the plain comparison's order.
TEST(AddressListSort, KeysThatAgreeOnTheirFirstUnits)
{
    const QString nul(QChar(0));
    struct Case {
        const char *what;
        QStringList keys;
        QStringList texts; // "" for every line when empty
        QList<qint32> order;  // the input positions, sorted
    };
    const Case cases[] = {
        {"equal over eight units", {u"abcdefgh2"_qs, u"abcdefgh1"_qs, u"abcdefgh"_qs}, {}, {2, 1, 0}},
        {"unit zero against none", {u"AB"_qs + nul, u"ab"_qs, u"AB"_qs + nul + nul}, {}, {1, 0, 2}},
        {"folded past the prefix", {u"abcdefghB"_qs, u"abcdefgha"_qs}, {}, {1, 0}},
        {"case past the prefix", {u"abcdefghIJ"_qs, u"abcdefghik"_qs, u"abcdefghij"_qs}, {}, {0, 2, 1}},
        {"surrogates by code unit", {u"\U00010000"_qs, u"\uFFFF"_qs, u"\uE000"_qs}, {}, {0, 2, 1}},
        {"surrogates past the prefix", {u"𠮷𠮷𠮷𠮷a"_qs, u"𠮷𠮷𠮷𠮷"_qs, u"𠮷𠮷𠮷𠮶"_qs}, {}, {2, 1, 0}},
        {"empty keys tie", {QString(), u"a"_qs, QString()}, {u"b"_qs, QString(), u"a"_qs}, {2, 0, 1}},
        {"kana and half-width kana", {u"ｶﾞ"_qs, u"ガ"_qs, u"が"_qs, u"ｶ"_qs}, {}, {3, 2, 1, 0}},
        {"full-width letters", {u"Ａ"_qs, u"a"_qs, u"A"_qs, u"b"_qs}, {}, {2, 1, 0, 3}},
        {"texts break key ties", {u"k"_qs, u"K"_qs, u"k"_qs}, {u"B"_qs, u"a"_qs, u"b"_qs}, {1, 0, 2}},
        {"tied texts share a half-width kana", {u"k"_qs, u"k"_qs}, {u"abｶﾞ"_qs, u"abｶｷ"_qs}, {1, 0}},
        {"tied texts share their start", {u"k"_qs, u"k"_qs, u"k"_qs},
         {u"田中 太郎 b@x"_qs, u"田中 太郎 A@x"_qs, u"田中 太郎"_qs}, {2, 1, 0}},
        {"status and name", {u"9999田中"_qs, u"0001田中"_qs, u"9999"_qs, u"9999たなか"_qs}, {}, {1, 2, 3, 0}},
    };
    for (const Case &c : cases) {
        QList<ListLine> lines;
        for (qsizetype i = 0; i < c.keys.size(); ++i)
            lines.append({c.keys[i], c.texts.value(i), qint32(i), 0, QString(), QString()});
        sortListLines(lines);
        QList<qint32> got;
        for (const ListLine &l : lines)
            got << l.cardNumber;
        EXPECT_EQ(got, c.order) << c.what;
    }
}

// The date orders' keys read as the dates are shown, across the range a
// date can show, before 1899-12-30 included.
TEST(AddressListLines, DateKeysAcrossTheShowableRange)
{
    const DateValue dates[] = {0.0, -1.25, 45000.5, 45000.999999, 2.0 / 86400, -0.75,
                               MinShowableDate, MaxShowableDate - 1e-9, -600000.3, 36525.0};
    for (const DateValue v : dates) {
        Card c = card(1, {u"a"_qs}, {});
        c.created = v;
        c.updated = v;
        const QString shown = oleToDateTime(v).toString(u"yyyy/MM/dd HH:mm:ss"_qs);
        EXPECT_EQ(cardListLines(c, SortByCreated)[0].key, shown) << v;
        EXPECT_EQ(cardListLines(c, SortByUpdated)[0].key, shown) << v;
    }
    Card undated = card(1, {u"a"_qs}, {});
    undated.created = NoDate;
    EXPECT_EQ(cardListLines(undated, SortByCreated)[0].key, QString());
}

TEST(AddressListSort, MissingCardAndInterruptLeaveTheOutputAlone)
{
    AddressBook b;
    b.cards << card(1, {u"x"_qs}, {});
    QList<ListLine> lines{ListLine{u"k"_qs, u"old"_qs, 9, 0}};
    EXPECT_EQ(buildListLines(b, {1, 5}, SortByName, lines), BuildResult::MissingCard);
    EXPECT_EQ(lines.size(), 1);
    EXPECT_EQ(buildListLines(b, {1}, SortByName, lines, [](qint64, qint64) { return false; }),
              BuildResult::Interrupted);
    EXPECT_EQ(lines[0].text, u"old"_qs);
}

TEST(AddressListModel, RemovesEveryLineOfACard)
{
    AddressListModel m;
    m.setLines({{{}, u"a"_qs, 1, 0}, {{}, u"b"_qs, 2, 0}, {{}, u"c"_qs, 1, 0},
                {{}, u"d"_qs, 1, 0}, {{}, u"e"_qs, 3, 0}});
    m.removeRowsOfCard(1);
    ASSERT_EQ(m.rowCount(), 2);
    EXPECT_EQ(m.cardNumberAt(0), 2);
    EXPECT_EQ(m.cardNumberAt(1), 3);
    EXPECT_EQ(m.firstRowOfCard(3), 1);
    EXPECT_EQ(m.firstRowOfCard(1), -1);
}
