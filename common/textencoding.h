#pragma once
// The text encodings an imported file may come in, how a file's encoding is
// told from its bytes, and decoding that counts what could not be read.
//
// The program's own files are CP932 (common/cp932 is the one conversion for
// them); other programs write UTF-8 (with or without a byte order mark) or
// UTF-16 with a byte order mark.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

enum class TextEncoding {
    Auto,  // told from the bytes (detectTextEncoding)
    Cp932, // Windows Shift-JIS
    Utf8,
    Utf16, // little or big endian, as the byte order mark says
};

// The encoding of a file's bytes, first match wins:
//   starts with the UTF-8 byte order mark EF BB BF   -> Utf8
//   starts with FF FE or FE FF                        -> Utf16
//   valid UTF-8 holding at least one non-ASCII byte   -> Utf8
//   anything else (ASCII only, CP932)                 -> Cp932
// CP932 text with Japanese characters is practically never valid UTF-8:
// its lead bytes 0x81-0x9F are UTF-8 continuation bytes.
TextEncoding detectTextEncoding(QByteArrayView bytes);

// True when bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF); *nonAscii (when given) tells whether any byte
// is 0x80 or above.
bool isValidUtf8(QByteArrayView bytes, bool *nonAscii = nullptr);

// bytes decoded as encoding (Auto: detectTextEncoding). A byte order mark
// of the encoding at the start is not part of the text. Every byte or
// sequence that is not valid in the encoding becomes U+FFFD, and their
// number is added to *replaced when given. UTF-16 without a byte order mark
// is read as little endian unless its zero bytes say big endian; a lone
// surrogate and an odd last byte count as replaced. *used (when given)
// receives the encoding decoded as.
QString decodeText(QByteArrayView bytes, TextEncoding encoding, qsizetype *replaced = nullptr,
                   TextEncoding *used = nullptr);

// The name shown for an encoding: "Shift_JIS (CP932)", "UTF-8", "UTF-16";
// "" for Auto.
QString textEncodingName(TextEncoding encoding);

// The encoding a command-line name stands for: cp932 (also shift_jis, sjis),
// utf-8 (utf8), utf-16 (utf16), in any letter case. False for anything else.
bool textEncodingFromName(QStringView name, TextEncoding &encoding);
