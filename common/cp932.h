#pragma once
// The one text layer for the files Brindle reads and writes: Windows code
// page 932 (Microsoft's Shift-JIS) <-> Unicode.
//
// Microsoft's table is used: 0x5C is the backslash, 0x7E the tilde,
// 0x8160 is U+FF5E, the NEC special row 13 and the NEC-selected and IBM
// extensions decode, and the half-width katakana 0xA1-0xDF are single bytes.
// As in Windows, the single bytes 0x80, 0xA0, 0xFD, 0xFE and 0xFF read as
// U+0080, U+F8F0, U+F8F1, U+F8F2 and U+F8F3 and are written back as such.
// Encoding never fails: a character without a CP932 form becomes "?".
// Decoding never fails: a byte that starts no valid character becomes U+FFFD.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace cp932 {

// The text of bytes. When replaced is given, the number of U+FFFD written
// for bytes that start no valid character (or an unassigned code) is added
// to it.
QString decode(QByteArrayView bytes, qsizetype *replaced = nullptr);

// Appends the decoded bytes to out (a reader reusing one buffer per value);
// replaced as for decode.
void decodeAppend(QByteArrayView bytes, QString &out, qsizetype *replaced = nullptr);

// Writes the decoded bytes at out, which has room for bytes.size() units
// (no byte gives more than one), and returns the end of what was written;
// replaced as for decode.
char16_t *decodeTo(QByteArrayView bytes, char16_t *out, qsizetype *replaced = nullptr);

// The CP932 form of text. When replaced is given, the number of characters
// written as "?" for want of a CP932 form is added to it (a surrogate pair
// is one character and one "?"; so is a lone surrogate). Counting costs
// nothing while every character has a form.
QByteArray encode(QStringView text, qsizetype *replaced = nullptr);

// Appends the encoded text to out (avoids a temporary in writers).
void encodeAppend(QStringView text, QByteArray &out, qsizetype *replaced = nullptr);

// Writes the encoded text at out, which has room for 2 * text.size() bytes
// (no character takes more), and returns the end of what was written.
char *encodeTo(QStringView text, char *out, qsizetype *replaced = nullptr);

// Number of bytes text takes in CP932, without building them.
qsizetype encodedLength(QStringView text);

// Bytes of the CP932 form of the UTF-16 unit u: 1 or 2, or 0 when it has
// none (every surrogate: a character outside the BMP has no form).
int characterLength(char16_t u);

// Index (in UTF-16 units) of the first character at or after from that
// encode writes as "?", or -1 when there is none.
qsizetype firstUnencodable(QStringView text, qsizetype from = 0);

// Number of characters encode writes as "?".
qsizetype unencodableCount(QStringView text);

// The characters encode writes as "?", each once, in order of first
// appearance (a surrogate pair as one string of two units).
QStringList unencodableCharacters(QStringView text);

// True when byte b starts a two-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace cp932
