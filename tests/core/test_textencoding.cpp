#include <gtest/gtest.h>

#include "common/textencoding.h"

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

const char *nameOf(TextEncoding e)
{
    switch (e) {
    case TextEncoding::Auto: return "Auto";
    case TextEncoding::Cp932: return "Cp932";
    case TextEncoding::Utf8: return "Utf8";
    case TextEncoding::Utf16: return "Utf16";
    }
    return "?";
}

} // namespace

TEST(TextEncoding, DetectedFromTheBytes)
{
    const struct {
        const char *what;
        QByteArray bytes;
        TextEncoding expected;
    } cases[] = {
        {"empty", "", TextEncoding::Cp932},
        {"ASCII only", "ID,Name\r\nx,y\r\n", TextEncoding::Cp932},
        {"UTF-8 mark", "\xEF\xBB\xBFID\r\n", TextEncoding::Utf8},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", TextEncoding::Utf8},
        {"UTF-16 LE mark", bytes({0xFF, 0xFE, 'I', 0}), TextEncoding::Utf16},
        {"UTF-16 BE mark", bytes({0xFE, 0xFF, 0, 'I'}), TextEncoding::Utf16},
        {"UTF-8 Japanese", "\xE5\x90\x8D\xE5\x89\x8D,a\n", TextEncoding::Utf8},          // 名前
        {"CP932 Japanese", "\x96\xBC\x91\x4F,a\r\n", TextEncoding::Cp932},              // 名前
        {"CP932 half-width katakana", "\xD2\xD3\r\n", TextEncoding::Cp932},             // ﾒﾓ
        {"UTF-8 then one bad byte", "\xE5\x90\x8D,\x96\r\n", TextEncoding::Cp932},
        {"overlong slash", "a\xC0\xAF", TextEncoding::Cp932},
        {"surrogate", "\xED\xA0\x80", TextEncoding::Cp932},
        {"above U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::Cp932},
        {"cut short", "ok\xE5\x90", TextEncoding::Cp932},
        {"4-byte character", "\xF0\xA0\xAE\xB7", TextEncoding::Utf8},                   // 𠮷
    };
    for (const auto &c : cases)
        EXPECT_STREQ(nameOf(detectTextEncoding(c.bytes)), nameOf(c.expected)) << c.what;
}

TEST(TextEncoding, DecodingCountsWhatCouldNotBeRead)
{
    const struct {
        const char *what;
        QByteArray bytes;
        TextEncoding encoding;
        QString text;
        qsizetype replaced;
    } cases[] = {
        {"CP932", "\x82\xA0", TextEncoding::Cp932, u"あ"_qs, 0},
        {"CP932 lone lead byte", "a\x81", TextEncoding::Cp932, u"a\uFFFD"_qs, 1},
        {"CP932 unassigned code", "\x85\x40", TextEncoding::Cp932, u"\uFFFD"_qs, 1},
        {"CP932 lead byte before a line end", "\x81\r\n", TextEncoding::Cp932, u"\uFFFD\r\n"_qs, 1},
        {"UTF-8 mark dropped", "\xEF\xBB\xBF" "ab", TextEncoding::Utf8, u"ab"_qs, 0},
        {"UTF-8 bad byte", "a\xFF" "b", TextEncoding::Utf8, u"a\uFFFDb"_qs, 1},
        {"UTF-8 spelled-out U+FFFD", "\xEF\xBF\xBD", TextEncoding::Utf8, u"\uFFFD"_qs, 0},
        {"UTF-8 read as CP932", "\xE3\x81\x82", TextEncoding::Cp932, u"縺\uFFFD"_qs, 1},
        {"UTF-16 LE", bytes({0xFF, 0xFE, 'A', 0, 0x42, 0x30}), TextEncoding::Utf16, u"Aあ"_qs, 0},
        {"UTF-16 BE", bytes({0xFE, 0xFF, 0, 'A', 0x30, 0x42}), TextEncoding::Utf16, u"Aあ"_qs, 0},
        {"UTF-16 pair", bytes({0xFF, 0xFE, 0x42, 0xD8, 0xB7, 0xDF}), TextEncoding::Utf16, u"𠮷"_qs, 0},
        {"UTF-16 odd last byte", bytes({0xFF, 0xFE, 'A', 0, 'B'}), TextEncoding::Utf16, u"A\uFFFD"_qs, 1},
        {"UTF-16 lone surrogate", bytes({0xFF, 0xFE, 0, 0xD8, 'A', 0}), TextEncoding::Utf16,
         u"\uFFFDA"_qs, 1},
        {"UTF-16 LE without mark", bytes({'A', 0, 'B', 0}), TextEncoding::Utf16, u"AB"_qs, 0},
        {"UTF-16 BE without mark", bytes({0, 'A', 0, 'B'}), TextEncoding::Utf16, u"AB"_qs, 0},
        {"told: UTF-8", "\xE5\x90\x8D", TextEncoding::Auto, u"名"_qs, 0},
        {"told: CP932", "\x96\xBC", TextEncoding::Auto, u"名"_qs, 0},
    };
    for (const auto &c : cases) {
        qsizetype replaced = 0;
        EXPECT_EQ(decodeText(c.bytes, c.encoding, &replaced), c.text) << c.what;
        EXPECT_EQ(replaced, c.replaced) << c.what;
    }
    TextEncoding used = TextEncoding::Auto;
    decodeText("\xEF\xBB\xBF", TextEncoding::Auto, nullptr, &used);
    EXPECT_EQ(used, TextEncoding::Utf8);
}

TEST(TextEncoding, NamesOnTheCommandLine)
{
    const struct {
        const char16_t *name;
        bool known;
        TextEncoding encoding;
    } cases[] = {
        {u"cp932", true, TextEncoding::Cp932},  {u"Shift_JIS", true, TextEncoding::Cp932},
        {u"SJIS", true, TextEncoding::Cp932},   {u"utf-8", true, TextEncoding::Utf8},
        {u"UTF8", true, TextEncoding::Utf8},    {u"utf-16", true, TextEncoding::Utf16},
        {u"utf-32", false, TextEncoding::Auto}, {u"", false, TextEncoding::Auto},
    };
    for (const auto &c : cases) {
        TextEncoding e = TextEncoding::Auto;
        EXPECT_EQ(textEncodingFromName(c.name, e), c.known) << QString::fromUtf16(c.name).toStdString();
        EXPECT_EQ(e, c.encoding);
    }
    EXPECT_EQ(textEncodingName(TextEncoding::Cp932), u"Shift_JIS (CP932)"_qs);
    EXPECT_EQ(textEncodingName(TextEncoding::Utf16), u"UTF-16"_qs);
}
