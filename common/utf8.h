#pragma once
// UTF-8 beside the CP932 layer: telling a file in UTF-8 from one in CP932,
// and decoding with a count of what could not be read.
//
// A file is taken as UTF-8 when it starts with the byte order mark, or when
// its bytes are valid UTF-8 and hold at least one non-ASCII character: CP932
// text with Japanese characters in it practically never is valid UTF-8,
// and a file of ASCII alone reads the same either way.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace utf8 {

// EF BB BF.
inline constexpr char Bom[] = "\xEF\xBB\xBF";
bool startsWithBom(QByteArrayView bytes);

// The bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF). An empty or ASCII text is.
bool isValid(QByteArrayView bytes);

// The file's bytes are UTF-8 by the rule above.
bool looksLikeUtf8(QByteArrayView bytes);

// Appends the text of bytes to out. Every ill-formed sequence (each maximal
// part of a sequence that cannot be completed) becomes one U+FFFD; when
// replaced is given, their number is added to it.
void decodeAppend(QByteArrayView bytes, QString &out, qsizetype *replaced = nullptr);

QString decode(QByteArrayView bytes, qsizetype *replaced = nullptr);

// The UTF-8 form of text, byte for byte what QString::toUtf8 gives (a lone
// surrogate becomes U+FFFD's bytes), written into huge pages when the text
// is large (a parser's input of many megabytes).
QByteArray encode(QStringView text);

} // namespace utf8
