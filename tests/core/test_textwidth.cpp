#include "common/textwidth.h"
#include "common/cp932.h"
#include "support/testutil.h"

#include <random>

namespace {

QString q(const char16_t *s) { return QString::fromUtf16(s); }

bool caseInsensitiveEqual(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TEST(TextWidth, ByteLengthCountsShiftJisBytes)
{
    EXPECT_EQ(byteLength(u""), 0);
    EXPECT_EQ(byteLength(u"abc\\~"), 5);
    EXPECT_EQ(byteLength(u"山田　太郎"), 10);
    EXPECT_EQ(byteLength(u"ｶﾀｶﾅ"), 4);       // half-width katakana: 1 each
    EXPECT_EQ(byteLength(u"①ⅰ～"), 6);      // NEC and IBM rows: 2 each
    EXPECT_EQ(byteLength(u"caf\u00E9"), 4);  // written as "?"
    EXPECT_EQ(byteLength(u"a\U0001F600b"), 3); // one "?" for the pair
}

TEST(TextWidth, SplitsAtFollowsLeadBytes)
{
    // A run of lead bytes: every odd byte starts a character.
    const QByteArray leads("\x81\x81\x81\x81\x81");
    const bool expected[] = {true, false, true, false, true};
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(splitsAt(leads, n), expected[n - 1]) << n;

    const QByteArray mixed = cp932::encode(u"aあｱ漢");
    ASSERT_EQ(mixed.size(), 6);
    EXPECT_FALSE(splitsAt(mixed, 1));
    EXPECT_TRUE(splitsAt(mixed, 2));
    EXPECT_FALSE(splitsAt(mixed, 3));
    EXPECT_FALSE(splitsAt(mixed, 4)); // 0xB1 is a single byte
    EXPECT_TRUE(splitsAt(mixed, 5));
    EXPECT_FALSE(splitsAt(mixed, 6));
    // A second byte counts as such whatever its value.
    EXPECT_FALSE(splitsAt(QByteArray("\x82\xE0\x41"), 2));
    EXPECT_FALSE(splitsAt(mixed, 0));
    EXPECT_FALSE(splitsAt(mixed, 7));
    EXPECT_FALSE(splitsAt(QByteArray(), 1));
}

TEST(TextWidth, FitWidthPadsAndCuts)
{
    // 19 bytes, then a full-width character on bytes 20 and 21.
    const QString nineteen = QString(19, QLatin1Char('x'));
    EXPECT_EQ(fitWidth(nineteen + q(u"漢字"), 20), nineteen + u' ');
    EXPECT_EQ(fitWidth(u"", 5), QStringLiteral("     "));
    EXPECT_EQ(fitWidth(u"山田", 6), q(u"山田  "));
    EXPECT_EQ(fitWidth(u"山田", 4), q(u"山田"));
    EXPECT_EQ(fitWidth(u"山田", 3), q(u"山 "));
    EXPECT_EQ(fitWidth(u"ｱｲｳｴｵ", 3), q(u"ｱｲｳ"));
    EXPECT_EQ(fitWidth(u"漢", 1), QStringLiteral(" "));
    EXPECT_EQ(fitWidth(u"abc", 0), QString());
    EXPECT_EQ(fitWidth(u"abc", -2), QString());
    EXPECT_EQ(fitWidth(u"\U0001F600\U0001F600", 1), QStringLiteral(" "));
    EXPECT_EQ(fitWidth(u"\U0001F600\U0001F600", 3), q(u"\U0001F600 "));
}

// Characters the file cannot hold still take the columns they are shown in,
// so the list's columns stay aligned.
TEST(TextWidth, DisplayWidthOfCharactersWithoutACp932Form)
{
    struct Case
    {
        const char16_t *text;
        qsizetype columns;
        qsizetype bytes;
    };
    const Case cases[] = {
        {u"\U00020BB7", 2, 1},        // CJK extension B: wide
        {u"\U00020BB7田", 4, 3},
        {u"\U0001F600", 2, 1},        // emoji: wide
        {u"\u00E9", 1, 1},            // ambiguous, narrow in a Japanese font too
        {u"\uFF71", 1, 1},            // half-width katakana
        {u"\uAC00", 2, 1},            // Hangul: wide
        {u"\u20A9", 1, 1},            // half-width won sign
        {u"\uFFFD", 1, 1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(displayWidth(c.text), c.columns) << q(c.text).toStdString();
        EXPECT_EQ(byteLength(c.text), c.bytes) << q(c.text).toStdString();
    }

    EXPECT_EQ(fitWidth(u"\U00020BB7田", 6), q(u"\U00020BB7田  "));
    EXPECT_EQ(fitWidth(u"\U00020BB7\U00020BB7", 3), q(u"\U00020BB7 "));
    EXPECT_EQ(cutWidth(u"a\U00020BB7b", 2), QStringLiteral("a"));
    EXPECT_EQ(shortenLeft(u"\U00020BB7\U00020BB7\U00020BB7", 5), q(u"...\U00020BB7"));
}

TEST(TextWidth, FitWidthAlwaysGivesExactlyNBytesOfWholeCharacters)
{
    const char16_t pool[] = {u'a', u' ', 0xFF71, 0x3042, 0x6F22, 0x2460, 0x00E9, 0xD83D, 0xDE00};
    std::mt19937 random(20);
    std::uniform_int_distribution<int> pick(0, int(std::size(pool)) - 1);
    std::uniform_int_distribution<int> width(0, 30);
    for (int round = 0; round < 1000; ++round) {
        QString s;
        for (int i = width(random); i > 0; --i)
            s.append(QChar(pool[pick(random)]));
        const int n = width(random);
        const QString fitted = fitWidth(s, n);
        ASSERT_EQ(displayWidth(fitted), n) << round;
        const QString cut = cutWidth(s, n);
        ASSERT_EQ(s.left(cut.size()), cut) << round;
        ASSERT_EQ(fitted.left(cut.size()), cut) << round;
        ASSERT_GE(displayWidth(cut), qMin<qsizetype>(n - 1, displayWidth(s))) << round;
        // No cut leaves half of a surrogate pair behind.
        ASSERT_FALSE(!cut.isEmpty() && cut.back().isHighSurrogate()
                     && s.size() > cut.size() && s[cut.size()].isLowSurrogate())
            << round;
        const QString right = rightWidth(s, n);
        ASSERT_EQ(s.right(right.size()), right) << round;
        ASSERT_LE(displayWidth(right), qMax(n, 0)) << round;
        ASSERT_GE(displayWidth(right), qMin<qsizetype>(n - 1, displayWidth(s))) << round;
    }
}

TEST(TextWidth, CutWidthNeverPads)
{
    EXPECT_EQ(cutWidth(u"abc", 10), QStringLiteral("abc"));
    EXPECT_EQ(cutWidth(u"abcdef", 4), QStringLiteral("abcd"));
    EXPECT_EQ(cutWidth(u"ab漢字", 3), QStringLiteral("ab"));
    EXPECT_EQ(cutWidth(u"ab漢字", 4), q(u"ab漢"));
    EXPECT_EQ(cutWidth(u"abc", 0), QString());
}

TEST(TextWidth, RightWidthKeepsTheEnd)
{
    EXPECT_EQ(rightWidth(u"abc", 5), QStringLiteral("abc"));
    EXPECT_EQ(rightWidth(u"abcdef", 2), QStringLiteral("ef"));
    EXPECT_EQ(rightWidth(u"漢字ab", 4), q(u"字ab"));
    EXPECT_EQ(rightWidth(u"漢字ab", 5), q(u"字ab")); // would start inside 漢
    EXPECT_EQ(rightWidth(u"ｶﾅab", 3), q(u"ﾅab"));
    EXPECT_EQ(rightWidth(u"abc", 0), QString());
}

TEST(TextWidth, ShortenLeftShowsTheEndOfLongPaths)
{
    const QString path = QStringLiteral("C:\\Program Files\\Corvid\\users\\taro\\Address.ndb");
    const QString shortened = shortenLeft(path, 30);
    EXPECT_EQ(shortened, QStringLiteral("...") + path.right(27));
    EXPECT_EQ(byteLength(shortened), 30);

    // The 27th-last byte is the second byte of 書: "..." and 26 bytes.
    const QString japanese = q(u"C:\\ユーザー\\山田\\文書\\アドレス帳\\Address001.ndb");
    const QString tail = q(u"\\アドレス帳\\Address001.ndb");
    ASSERT_EQ(byteLength(tail), 26);
    EXPECT_EQ(shortenLeft(japanese, 30), QStringLiteral("...") + tail);
    EXPECT_EQ(shortenLeft(japanese, 31), q(u"...書") + tail);

    EXPECT_EQ(shortenLeft(u"C:\\short.ndb", 30), QStringLiteral("C:\\short.ndb"));
    const QString thirty(30, QLatin1Char('p'));
    EXPECT_EQ(shortenLeft(thirty, 30), thirty);
    EXPECT_EQ(shortenLeft(thirty + u'q', 30), QStringLiteral("...") + thirty.right(26) + u'q');
}

TEST(TextHelpers, KeysAtTheStartOfLines)
{
    EXPECT_EQ(startsWithKey(u"ID:", u"ID: taro@example.jp"), 0);
    EXPECT_NE(startsWithKey(u"ID:", u"id: taro@example.jp"), 0);
    EXPECT_EQ(startsWithKey(u"ID:", u"id: taro@example.jp", caseInsensitiveEqual), 0);
    EXPECT_NE(startsWithKey(u"ID:", u"I", caseInsensitiveEqual), 0);
    EXPECT_NE(startsWithKey(u"名前:", u"名"), 0);
    EXPECT_EQ(startsWithKey(u"", u"anything"), 0);

    EXPECT_EQ(afterKey(u"ID:", u"ID: taro"), QStringLiteral(" taro"));
    EXPECT_EQ(afterKey(u"名前=", u"名前=山田"), q(u"山田"));
    EXPECT_EQ(afterKey(u"ID:", u"ID"), QString());
    EXPECT_EQ(afterKey(u"", u"line"), QStringLiteral("line"));
}

TEST(TextHelpers, HexDigits)
{
    const std::pair<char16_t, int> cases[] = {
        {u'0', 0}, {u'9', 9}, {u'A', 10}, {u'F', 15}, {u'a', 10}, {u'f', 15},
        {u'/', -1}, {u':', -1}, {u'@', -1}, {u'G', -1}, {u'`', -1}, {u'g', -1},
        {u'\uff10', -1}, {char16_t(0xc1), -1}, {0, -1},
    };
    for (const auto &[c, value] : cases)
        EXPECT_EQ(hexValue(c), value) << int(c);
}

TEST(TextHelpers, TrimAndReplace)
{
    // Input boxes: U+0020 only, no other blanks.
    EXPECT_EQ(trimmedSpaces(u"  a b \u3000 "), u"a b \u3000"_qs);
    EXPECT_EQ(trimmedSpaces(u"\ta "), u"\ta"_qs);
    EXPECT_EQ(trimSpaces(u"   "), QStringView());

    EXPECT_EQ(trimCharacters(u" \t\"a b\" \t", u" \t\""), QStringLiteral("a b"));
    EXPECT_EQ(trimCharacters(u"\"\"\"", u"\""), QString());
    EXPECT_EQ(trimCharacters(u"　山田　", u"　"), q(u"山田"));
    EXPECT_EQ(trimCharacters(u" x ", u""), QStringLiteral(" x "));

    EXPECT_EQ(replaceAll(u"aaa", u"aa", u"x"), QStringLiteral("xa"));
    EXPECT_EQ(replaceAll(u"a,b,,c", u",", u",,"), QStringLiteral("a,,b,,,,c"));
    EXPECT_EQ(replaceAll(u"\r\n\r\n", u"\r\n", u"\\n"), QStringLiteral("\\n\\n"));
    EXPECT_EQ(replaceAll(u"Abc", u"a", u"x"), QStringLiteral("Abc"));
    EXPECT_EQ(replaceAll(u"abc", u"", u"x"), QStringLiteral("abc"));
    EXPECT_EQ(replaceAll(u"abc", u"b", u""), QStringLiteral("ac"));

    EXPECT_EQ(replaceCharacters(u"a/b\\c:d", u"/\\:", u"_"), QStringLiteral("a_b_c_d"));
    EXPECT_EQ(replaceCharacters(u"a\r\nb", u"\r\n", u""), QStringLiteral("ab"));
    EXPECT_EQ(replaceCharacters(u"a,b", u",", u"、"), q(u"a、b"));
}

TEST(TextHelpers, ReadDigitsTakesAtMostTheLongestRunAndNeedsTheShortest)
{
    const struct {
        const char16_t *text;
        qsizetype from;
        int min, max;
        bool ok;
        int value;
        qsizetype end;
    } cases[] = {
        {u"2024/5/1", 0, 4, 4, true, 2024, 4},
        {u"2024/5/1", 5, 1, 2, true, 5, 6},
        {u"12345", 0, 1, 2, true, 12, 2}, // stops at the longest
        {u"7x", 0, 2, 2, false, 7, 1},    // too short: what was read is kept
        {u"x", 0, 1, 2, false, 0, 0},
        {u"", 0, 1, 2, false, 0, 0},
        {u"１２", 0, 1, 2, false, 0, 0},  // full-width digits are no digits
    };
    for (const auto &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        qsizetype pos = c.from;
        int value = -1;
        EXPECT_EQ(readDigits(text, pos, c.min, c.max, value), c.ok) << text.toStdString();
        EXPECT_EQ(value, c.value) << text.toStdString();
        EXPECT_EQ(pos, c.end) << text.toStdString();
    }
}
