#include <QList>
#include <algorithm>
#include <random>

#include "common/sorting.h"
#include "common/textcompare.h"
#include "support/testutil.h"

namespace {

SortEntry entry(const QString &p, const QString &s = QString(), qint32 a = 0, qint32 b = 0)
{
    return SortEntry{p, s, a, b};
}

QStringList primaries(const QList<SortEntry> &list)
{
    QStringList out;
    for (const SortEntry &e : list)
        out << e.primary;
    return out;
}

// Random keys from an alphabet full of characters that fold together.
QList<SortEntry> randomEntries(int n, unsigned seed)
{
    const QStringList alphabet = {u"a"_qs, u"A"_qs, u"ａ"_qs, u"b"_qs, u"か"_qs, u"カ"_qs,
                                  u"ｶ"_qs, u"ｶﾞ"_qs, u"ガ"_qs, u"漢"_qs, u" "_qs, u"\u3000"_qs};
    std::mt19937 rng(seed);
    const auto word = [&] {
        QString s;
        for (int k = rng() % 3; k >= 0; --k)
            s += alphabet[rng() % alphabet.size()];
        return s;
    };
    QList<SortEntry> list;
    for (int i = 0; i < n; ++i)
        list << entry(word(), word(), i, qint32(rng()));
    return list;
}

int compareKeys(const SortEntry &x, const SortEntry &y)
{
    const int c = textCompare(x.primary, y.primary);
    return c != 0 ? c : textCompare(x.secondary, y.secondary);
}

} // namespace

TEST(SortEntries, OrdersByPrimaryThenSecondaryUnderTextComparison)
{
    QList<SortEntry> list = {entry(u"yamada"_qs, u"b"_qs, 1, 10), entry(u"ＡＢＥ"_qs, u"x"_qs, 2, 20),
                             entry(u"abe"_qs, u"a"_qs, 3, 30), entry(u"すずき"_qs, u""_qs, 4, 40),
                             entry(u"Yamada"_qs, u"a"_qs, 5, 50), entry(u"ｽｽﾞｷ"_qs, u"0"_qs, 6, 60)};
    sortEntries(list, list.size());
    // "ＡＢＥ" and "abe" are equal primaries, so their secondaries decide;
    // the carried integers travel with their keys.
    EXPECT_EQ(primaries(list), (QStringList{u"abe"_qs, u"ＡＢＥ"_qs, u"Yamada"_qs, u"yamada"_qs,
                                            u"すずき"_qs, u"ｽｽﾞｷ"_qs}));
    EXPECT_EQ(list[0].a, 3);
    EXPECT_EQ(list[0].b, 30);
    EXPECT_EQ(list[5].a, 6);
    EXPECT_EQ(list[5].secondary, u"0"_qs);
}

TEST(SortEntries, SortsOnlyTheFirstCountAndIgnoresSmallCounts)
{
    const QList<SortEntry> original = {entry(u"c"_qs), entry(u"b"_qs), entry(u"a"_qs),
                                       entry(u"0"_qs)};
    for (const qsizetype count : {qsizetype(-5), qsizetype(0), qsizetype(1)}) {
        QList<SortEntry> list = original;
        sortEntries(list, count);
        EXPECT_EQ(primaries(list), primaries(original)) << count;
    }
    QList<SortEntry> list = original;
    sortEntries(list, 3);
    EXPECT_EQ(primaries(list), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs, u"0"_qs}));
    list = original;
    sortEntries(list, 100); // clamped to the size
    EXPECT_EQ(primaries(list), (QStringList{u"0"_qs, u"a"_qs, u"b"_qs, u"c"_qs}));
    QList<SortEntry> empty;
    sortEntries(empty, 10);
    EXPECT_TRUE(empty.isEmpty());
}

TEST(SortEntries, ResultIsOrderedAndIndependentOfInputOrder)
{
    QList<SortEntry> list = randomEntries(2000, 11);
    QList<SortEntry> shuffled = list;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));
    sortEntries(list, list.size());
    sortEntries(shuffled, shuffled.size());
    for (qsizetype i = 1; i < list.size(); ++i)
        ASSERT_LE(compareKeys(list[i - 1], list[i]), 0) << i;
    // Entries with textEqual keys are ordered by their exact keys, so equal
    // inputs in any order give the same sequence of keys.
    for (qsizetype i = 0; i < list.size(); ++i) {
        ASSERT_EQ(list[i].primary, shuffled[i].primary) << i;
        ASSERT_EQ(list[i].secondary, shuffled[i].secondary) << i;
    }
    // Nothing lost or duplicated: the carried indices are a permutation.
    QList<qint32> indices;
    for (const SortEntry &e : list)
        indices << e.a;
    std::sort(indices.begin(), indices.end());
    for (qint32 i = 0; i < indices.size(); ++i)
        ASSERT_EQ(indices[i], i);
}

TEST(FindEntry, FindsEveryEntryUnderTextComparisonAndMissesOthers)
{
    QList<SortEntry> list = randomEntries(1500, 3);
    sortEntries(list, list.size());
    for (const SortEntry &e : list) {
        const qsizetype i = findEntry(e, list, list.size());
        ASSERT_GE(i, 0) << e.primary.toStdString() << " / " << e.secondary.toStdString();
        ASSERT_EQ(compareKeys(e, list[i]), 0);
    }
    // Folded spellings of a present entry are found too.
    QList<SortEntry> names = {entry(u"ヤマダ"_qs, u"Taro@Example.jp"_qs),
                              entry(u"すずき"_qs, u"hanako@example.jp"_qs),
                              entry(u"abe"_qs, u"x"_qs)};
    sortEntries(names, names.size());
    EXPECT_GE(findEntry(entry(u"ﾔﾏﾀﾞ"_qs, u"taro@example.JP"_qs), names, names.size()), 0);
    EXPECT_EQ(findEntry(entry(u"ﾔﾏﾀﾞ"_qs, u"jiro@example.jp"_qs), names, names.size()), -1);
    EXPECT_EQ(findEntry(entry(u"やまだ"_qs), names, names.size()), -1);
    EXPECT_EQ(findEntry(entry(u"zzz"_qs, u"x"_qs), names, names.size()), -1);
    EXPECT_EQ(findEntry(entry(u""_qs, u"x"_qs), names, names.size()), -1);
    // Only the first count entries are searched.
    EXPECT_EQ(findEntry(entry(u"すずき"_qs, u"hanako@example.jp"_qs), names, 1), -1);
    EXPECT_EQ(findEntry(entry(u"abe"_qs, u"x"_qs), names, 100), 0);
}

TEST(FindEntry, EmptyOrZeroCountFindsNothing)
{
    const QList<SortEntry> empty;
    EXPECT_EQ(findEntry(entry(u"a"_qs), empty, 0), -1);
    EXPECT_EQ(findEntry(entry(u"a"_qs), empty, 5), -1);
    const QList<SortEntry> one = {entry(u"a"_qs)};
    EXPECT_EQ(findEntry(entry(u"A"_qs), one, 0), -1);
    EXPECT_EQ(findEntry(entry(u"A"_qs), one, -1), -1);
    EXPECT_EQ(findEntry(entry(u"A"_qs), one, 1), 0);
}

TEST(SortNumbers, OrdersByPrimaryThenSecondaryWithinCount)
{
    QList<NumberSortEntry> list = {{5, 1, 100}, {-3, 9, 101}, {5, -2, 102}, {2147483647, 0, 103},
                                   {-2147483647 - 1, 0, 104}, {0, 0, 105}};
    QList<NumberSortEntry> partial = list;
    sortNumbers(list, list.size());
    QList<qint32> values;
    for (const NumberSortEntry &e : list)
        values << e.value;
    EXPECT_EQ(values, (QList<qint32>{104, 101, 105, 102, 100, 103}));

    sortNumbers(partial, 3);
    EXPECT_EQ(partial[0].value, 101);
    EXPECT_EQ(partial[1].value, 102);
    EXPECT_EQ(partial[2].value, 100);
    EXPECT_EQ(partial[3].value, 103);
    sortNumbers(partial, 1);
    sortNumbers(partial, -1);
    EXPECT_EQ(partial[0].value, 101);
}
