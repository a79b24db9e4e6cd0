#include "common/utf8.h"
#include "support/testutil.h"

namespace {

struct Utf8Case
{
    const char *what;
    QByteArray in;
    bool valid;
    QString text;       // decoded
    qsizetype replaced; // U+FFFD written for ill-formed parts
};

const QString Bad = QStringLiteral("\uFFFD");

} // namespace

// Well-formed and ill-formed sequences by the Unicode rules: overlong forms,
// surrogates and code points above U+10FFFF are ill-formed; each maximal
// part of a sequence that cannot be completed is one replacement.
TEST(Utf8, ValidityAndDecoding)
{
    const Utf8Case cases[] = {
        {"empty", "", true, "", 0},
        {"ASCII", "abc\r\n", true, "abc\r\n", 0},
        {"two to four bytes", "\xC3\xA9\xE5\xAE\x89\xF0\x9F\x98\x80", true,
         QStringLiteral("é安\U0001F600"), 0},
        {"a U+FFFD of the file is no replacement", "\xEF\xBF\xBD", true, Bad, 0},
        {"lone continuation bytes", "a\x80\xBF" "b", false, "a" + Bad + Bad + "b", 2},
        {"cut at the end", "a\xE5\xAE", false, "a" + Bad, 1},
        {"cut before ASCII", "\xE5\xAE" "a\xF0\x9F\x98" "b", false, Bad + "a" + Bad + "b", 2},
        {"overlong", "\xC0\xAF\xE0\x80\xAF", false, Bad + Bad + Bad + Bad + Bad, 5},
        {"surrogate", "\xED\xA0\x80", false, Bad + Bad + Bad, 3},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false, Bad + Bad + Bad + Bad, 4},
        {"CP932 text", "\x88\xC0\x93\xA1", false, Bad + Bad + Bad + Bad, 4},
    };
    for (const Utf8Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(utf8::isValid(c.in), c.valid);
        qsizetype replaced = 0;
        EXPECT_EQ(utf8::decode(c.in, &replaced), c.text);
        EXPECT_EQ(replaced, c.replaced);
        QString appended = QStringLiteral("x");
        utf8::decodeAppend(c.in, appended);
        EXPECT_EQ(appended, QStringLiteral("x") + c.text);
    }
}

TEST(Utf8, AFileIsUtf8WithItsMarkOrNonAsciiValidBytes)
{
    EXPECT_TRUE(utf8::looksLikeUtf8("\xEF\xBB\xBF" "abc"));
    EXPECT_TRUE(utf8::looksLikeUtf8("FN:\xE5\xAE\x89\r\n"));
    EXPECT_FALSE(utf8::looksLikeUtf8("FN:abc\r\n")); // ASCII alone: either
    EXPECT_FALSE(utf8::looksLikeUtf8(""));
    EXPECT_FALSE(utf8::looksLikeUtf8("FN:\x88\xC0\x93\xA1\r\n")); // CP932
    EXPECT_FALSE(utf8::looksLikeUtf8("FN:\xE5\xAE\x89\x88\r\n"));
}

// The parsers take a text's UTF-8 form from utf8::encode: it must be the
// bytes QString::toUtf8 gives, lone surrogates included.
TEST(Utf8, EncodeIsToUtf8)
{
    const QString big = QString(u'安').repeated(3 * 1024 * 1024) + QChar(0xD800);
    const struct {
        const char *what;
        QString text;
    } cases[] = {
        {"empty", QString()},
        {"ASCII and Japanese", QStringLiteral("abc安\r\nｱ")},
        {"a pair", QStringLiteral("\U0001F600")},
        {"lone high surrogate inside", QStringLiteral("a") + QChar(0xD800) + QStringLiteral("b")},
        {"two-byte forms", QStringLiteral("\u00E9\u07FF\u0800")},
        {"lone low surrogate", QString(QChar(0xDC00)) + QStringLiteral("b")},
        {"high surrogate at the end", QStringLiteral("a") + QChar(0xD83D)},
        {"large, ending in a high surrogate", big},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // Compared as a whole: a failure must not print megabytes.
        EXPECT_TRUE(utf8::encode(c.text) == c.text.toUtf8());
    }
}
