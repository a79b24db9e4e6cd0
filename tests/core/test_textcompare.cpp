#include <QList>
#include <algorithm>
#include <random>

#include "common/textcompare.h"
#include "common/widthconv.h"
#include "support/testutil.h"

TEST(WidthConversion, AsciiSpaceAndKanaBothWays)
{
    EXPECT_EQ(toHalfWidth(u"Ｅ－ＭＡＩＬ\u3000メモ"), QStringLiteral("E-MAIL ﾒﾓ"));
    EXPECT_EQ(toHalfWidth(u"ガパヴッー・"), QStringLiteral("ｶﾞﾊﾟｳﾞｯｰ･"));
    EXPECT_EQ(toFullWidth(u"ｶﾞﾊﾟｳﾞｯｰ･"), QStringLiteral("ガパヴッー・"));
    EXPECT_EQ(toFullWidth(u"a b~"), QStringLiteral("ａ\u3000ｂ～"));
    // Marks that do not combine stay separate; kanji, hiragana and 「」 are untouched.
    EXPECT_EQ(toFullWidth(u"ｱﾞ"), QStringLiteral("ア゛"));
    EXPECT_EQ(toHalfWidth(u"漢字かな「」ヵ"), QStringLiteral("漢字かな「」ヵ"));
    // Every character may become two; nothing becomes nothing.
    EXPECT_EQ(toHalfWidth(QString(300, QChar(0x30AC))), QStringLiteral("ｶﾞ").repeated(300));
    EXPECT_TRUE(toHalfWidth(u"").isEmpty());
}

TEST(TextComparison, FoldsCaseWidthAndKana)
{
    EXPECT_TRUE(textEqual(u"Taro@Example.JP", u"taro@example.jp"));
    EXPECT_TRUE(textEqual(u"ＡＢＣ", u"abc"));
    EXPECT_TRUE(textEqual(u"ｶﾞｸ", u"がく"));
    EXPECT_TRUE(textEqual(u"カタカナ", u"かたかな"));
    EXPECT_TRUE(textEqual(u"a\u3000b", u"a b"));
    EXPECT_FALSE(textEqual(u"ガ", u"カ"));
    EXPECT_FALSE(textEqual(u"abc", u"abd"));
    EXPECT_LT(textCompare(u"abc", u"ABD"), 0);
    EXPECT_EQ(textCompare(u"ABC", u"abc"), 0);
    EXPECT_NE(textOrder(u"ABC", u"abc"), 0);
}

TEST(TextComparison, OrderIsTotalAndBinarySearchFindsEveryEntry)
{
    const QStringList alphabet = {u"a"_qs, u"A"_qs, u"ａ"_qs, u"b"_qs, u"か"_qs, u"カ"_qs,
                                  u"ｶ"_qs, u"ｶﾞ"_qs, u"ガ"_qs, u"漢"_qs, u" "_qs, u"@"_qs};
    std::mt19937 rng(7);
    QStringList items;
    for (int i = 0; i < 400; ++i) {
        QString s;
        for (int n = rng() % 4 + 1; n > 0; --n)
            s += alphabet[rng() % alphabet.size()];
        items << s;
    }
    std::sort(items.begin(), items.end(), textLess);
    for (qsizetype i = 1; i < items.size(); ++i) {
        ASSERT_LE(textOrder(items[i - 1], items[i]), 0);
        ASSERT_LE(textCompare(items[i - 1], items[i]), 0);
    }
    for (const QString &probe : items) {
        qsizetype lo = 0, hi = items.size() - 1, found = -1;
        while (lo <= hi) {
            const qsizetype mid = (lo + hi) / 2;
            const int c = textCompare(probe, items[mid]);
            if (c == 0) { found = mid; break; }
            (c < 0 ? hi : lo) = c < 0 ? mid - 1 : mid + 1;
        }
        ASSERT_GE(found, 0) << probe.toStdString();
        EXPECT_TRUE(textEqual(probe, items[found]));
    }
}

// The key of a QString may share it when folding changes nothing; it must
// still be the folded form for every character, alone and after others.
TEST(TextComparison, SharedKeyIsTheFoldedKeyForEveryCharacter)
{
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString one = QString(QChar(char16_t(c)));
        const QString inText = u"田中 a@b.jp"_qs + one;
        ASSERT_EQ(textKey(one), textKey(QStringView(one))) << std::hex << quint32(c);
        ASSERT_EQ(textKey(inText), textKey(QStringView(inText))) << std::hex << quint32(c);
    }
    for (const QString &s : {u"𠮷野家"_qs, u"Ǆ"_qs, u"ß"_qs, u"ﬀ"_qs, QString()})
        EXPECT_EQ(textKey(s), textKey(QStringView(s))) << s.toStdString();
    const QString folded = QString::fromUtf8("山田 太郎 taro@example.jp");
    EXPECT_TRUE(textKey(folded).isSharedWith(folded));
}

// A key is its own letter-case fold: no character, kana, ideograph or other,
// alone or behind kana, is left unfolded by the short ways through the fold.
TEST(TextComparison, KeyIsItsOwnCaseFold)
{
    for (char32_t c = 1; c < 0x10000; ++c) {
        if (QChar::isSurrogate(c))
            continue;
        const QString one = QString(QChar(char16_t(c)));
        for (const QString &s : {one, u"かな漢字"_qs + one, u"ｶﾅ"_qs + one}) {
            const QString key = textKey(s);
            ASSERT_EQ(key, key.toCaseFolded()) << std::hex << quint32(c);
        }
    }
    for (const QString &s : {u"𐐀かな"_qs, u"漢字𐐀"_qs, u"\U0001D400"_qs, u"ｶﾞ𐐀"_qs})
        EXPECT_EQ(textKey(s), textKey(s).toCaseFolded()) << s.toStdString();
    EXPECT_EQ(textKey(u"𐐀かな"_qs), u"𐐨かな"_qs);
}

// A unit that folds on its own folds as textKey folds it, alone and inside
// a text.
TEST(TextComparison, UnitFoldsAgreeWithTheKey)
{
    const char16_t *folds = unitFolds();
    for (char32_t c = 0; c < 0x10000; ++c) {
        const char16_t f = folds[c];
        if (f == UnitFoldNone)
            continue;
        const QString one = QString(QChar(char16_t(c)));
        ASSERT_EQ(textKey(one), QString(QChar(f))) << std::hex << quint32(c);
        ASSERT_EQ(textKey(u"ｶ"_qs + one + u"𐐀"_qs), textKey(u"ｶ"_qs) + QChar(f) + textKey(u"𐐀"_qs))
            << std::hex << quint32(c);
    }
    for (char16_t c : {u'\xFF76', u'\xFF9E', u'\xD801', u'\xDC00', u'\xFFFF'})
        EXPECT_EQ(folds[c], UnitFoldNone) << std::hex << quint32(c);
}

// Comparing keys as they fold gives what comparing the built keys gives,
// where units join (ｶﾞ), pair up (surrogates) or fold to ASCII (K).
TEST(TextComparison, CompareTextKeysAgreesWithTheKeys)
{
    struct Case { QString a, b; int sign; };
    const Case cases[] = {
        {u"ｶﾞ"_qs, u"が"_qs, 0},
        {u"ｶﾞ"_qs, u"ｶ"_qs, 1},
        {u"ｶ"_qs, u"ｶﾞｷ"_qs, -1},
        {u"abcＫ"_qs, u"ABC\u212A"_qs, 0},
        {u"𐐀"_qs, u"𐐨"_qs, 0},
        {u"\U00010000"_qs, u"\uFFFF"_qs, -1},
        {u"\uFFFF"_qs, u"\uFFFF"_qs, 0},
        {QString(), u"a"_qs, -1},
        {QString(), QString(), 0},
        {u"カタ"_qs, u"かた\u3000"_qs, -1},
    };
    for (const Case &c : cases) {
        const int got = compareTextKeys(c.a, c.b);
        EXPECT_EQ((got > 0) - (got < 0), c.sign) << c.a.toStdString() << " " << c.b.toStdString();
    }
    const QStringList alphabet = {u"a"_qs, u"A"_qs, u"ｶ"_qs, u"ﾞ"_qs, u"カ"_qs, u"が"_qs, u"𐐀"_qs,
                                  u"𐐨"_qs, u"\uFFFF"_qs, u"\u212A"_qs, u"k"_qs, u"漢"_qs, QString()};
    std::mt19937 rng(5);
    auto pick = [&] {
        QString s;
        for (int i = 0, n = int(rng() % 5); i < n; ++i)
            s += alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 5000; ++round) {
        const QString a = pick(), b = pick();
        const int want = QStringView(textKey(a)).compare(QStringView(textKey(b)));
        const int got = compareTextKeys(a, b);
        ASSERT_EQ((got > 0) - (got < 0), (want > 0) - (want < 0)) << a.toStdString() << " " << b.toStdString();
    }
}
