#pragma once
// Measuring and cutting text by its width in columns, the unit of the
// fixed-width list columns, menus and reports. A character with a CP932
// form takes as many columns as it has bytes there: a half-width character
// (ASCII, half-width katakana) 1, a full-width character 2. A character
// without one (written to files as "?") takes the columns it is shown in:
// 2 when it is wide (Unicode East_Asian_Width W or F, e.g. U+20BB7), 1
// otherwise; a surrogate pair is one character.
//
// Widths are passed as int; a width of 0 or less gives an empty result
// (Fit width) or the text cut to nothing. Results are always whole
// characters: a cut never splits a character, a surrogate pair included.
//
// Also small string helpers shared by the readers and reports.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Number of bytes of s in CP932 ("?" for a character without a form).
qsizetype byteLength(QStringView s);

// Number of columns s takes on screen (see above); equals byteLength for
// text that CP932 holds.
qsizetype displayWidth(QStringView s);

// True when a cut after byte n (1-based) of bytes would split a two-byte
// character, that is when byte n is a lead byte and not itself the second
// byte of a character. False for n < 1 or n beyond the end.
bool splitsAt(QByteArrayView bytes, int n);

// s padded with spaces and cut to exactly n columns. When the cut would
// split a two-column character, the cut is made before it and a space added.
QString fitWidth(QStringView s, int n);
// The same, appended to out (one buffer for a line of several columns).
void appendFitWidth(QString &out, QStringView s, int n);

// s when it takes at most n columns; otherwise its longest start of at most
// n columns (one less when the cut would split a character; no space is
// added).
QString cutWidth(QStringView s, int n);

// s when it takes at most n columns; otherwise its last n columns, or its
// last n-1 when the first of them would be the second half of a character.
QString rightWidth(QStringView s, int n);

// s when it takes at most n columns; otherwise "..." followed by
// rightWidth(s, n - 3). Shows long paths in menus and labels.
QString shortenLeft(QStringView s, int n);

// Compares two texts of the same length: textEqual for text comparison.
using TextEqual = bool (*)(QStringView, QStringView);

// 0 when line begins with key, 1 otherwise. equal compares key with the
// line's start of key's length; nullptr means exact comparison.
int startsWithKey(QStringView key, QStringView line, TextEqual equal = nullptr);

// line without its first key.size() characters ("" when line is shorter).
QString afterKey(QStringView key, QStringView line);

// s without every leading and trailing character that occurs in set.
QString trimCharacters(QStringView s, QStringView set);

// Every non-overlapping occurrence of find, scanning left to right,
// replaced by replacement (exact comparison). An empty find changes nothing.
QString replaceAll(QStringView s, QStringView find, QStringView replacement);

// Every character of s that occurs in set replaced by replacement (which
// may be empty, removing them).
QString replaceCharacters(QStringView s, QStringView set, QStringView replacement);

// The value of a hexadecimal digit (0-9, A-F, a-f); -1 for anything else.
constexpr int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

// Reads minDigits..maxDigits ASCII digits of s from pos on (moving pos past
// them) into out; false when fewer than minDigits were there.
bool readDigits(QStringView s, qsizetype &pos, int minDigits, int maxDigits, int &out);

// s without leading and trailing spaces (U+0020 only): how the program trims
// what the user types into one-line input boxes.
QStringView trimSpaces(QStringView s);
inline QString trimmedSpaces(QStringView s)
{
    return trimSpaces(s).toString();
}
