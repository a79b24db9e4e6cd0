#pragma once
// Text comparison, one rule for the whole program (IDs, sorted lists, list
// keys, duplicate searches, card order in exports):
//
//   Two strings are equal under text comparison when they are equal after
//   folding letter case, full-width/half-width forms (Ａ = A, ｶﾞ = ガ,
//   U+3000 = space) and hiragana/katakana (か = カ).
//
// This is what the host's Japanese case-insensitive comparison does on its
// own platform, and one fold used everywhere keeps sorting and searching
// consistent with each other.
//
// Ordering (textOrder) compares the folded strings by UTF-16 code unit and
// breaks ties by the exact strings, so it is a total order in which all
// strings that are textEqual stand next to each other. textCompare returns 0
// for textEqual strings and otherwise agrees with textOrder, so a binary
// search with textCompare over a list sorted by textOrder finds any entry
// equal to the probe.

#include <QString>
#include <QStringView>

// The folded form; compare keys by code unit (operator<, ==) to get the
// same results as textCompare, e.g. for precomputed sort keys.
QString textKey(QStringView s);
// The same; shares s when folding leaves it as it is.
QString textKey(const QString &s);

// Folding one code unit at a time, for comparisons that fold as they go:
// unitFolds()[c] is the folded form of the unit c where it folds on its own,
// or UnitFoldNone where only textKey of the whole text tells (half-width
// kana, which may join the mark after them; halves of surrogate pairs; the
// unit U+FFFF itself).
constexpr char16_t UnitFoldNone = 0xFFFF;
const char16_t *unitFolds(); // 65,536 entries

// textKey(a) against textKey(b) by code unit (<0, 0, >0), mostly without
// building either key.
int compareTextKeys(QStringView a, QStringView b);

bool textEqual(QStringView a, QStringView b);
// <0, 0 (textEqual), >0 by the folded strings.
int textCompare(QStringView a, QStringView b);
// Total order: textCompare, then the exact strings.
int textOrder(QStringView a, QStringView b);
inline bool textLess(QStringView a, QStringView b)
{
    return textOrder(a, b) < 0;
}

// The two comparisons the program uses.
enum class Comparison { Exact, Text };
bool equalUnder(Comparison c, QStringView a, QStringView b);
