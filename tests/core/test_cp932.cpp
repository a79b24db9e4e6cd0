#include "common/cp932.h"
#include "support/testutil.h"

#include <random>

namespace {

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

QString unit(char16_t u) { return QString(QChar(u)); }

QString units(std::initializer_list<char16_t> list)
{
    QString out;
    for (char16_t u : list)
        out.append(QChar(u));
    return out;
}

bool isTrailByte(int b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

} // namespace

// Every two-byte code against the counts of Microsoft's table: which codes
// exist, which of them are the canonical form of their character, and where
// the duplicates go when Windows normalises them.
TEST(Cp932Table, EveryTwoByteCode)
{
    int decoded = 0, sameBytes = 0, otherBytes = 0;
    int ibmSelected = 0, necRow13 = 0, ibmExtension = 0, elsewhere = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!cp932::isLeadByte(quint8(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!isTrailByte(trail))
                continue;
            const QByteArray code = bytes({lead, trail});
            const QString text = cp932::decode(code);
            ASSERT_EQ(text.size(), 1) << code.toHex().constData();
            if (text[0] == QChar(0xFFFD))
                continue;
            ++decoded;
            const QByteArray again = cp932::encode(text);
            if (again == code) {
                ++sameBytes;
                continue;
            }
            ++otherBytes;
            ASSERT_EQ(again.size(), 2) << code.toHex().constData();
            EXPECT_EQ(cp932::decode(again), text) << code.toHex().constData();
            const int to = quint8(again[0]);
            if ((lead == 0xED || lead == 0xEE) && to >= 0xFA && to <= 0xFC)
                ++ibmSelected; // NEC-selected IBM rows -> IBM rows
            else if (lead == 0x87 && to == 0x81)
                ++necRow13; // NEC row 13 math symbols -> row 2
            else if (lead >= 0xFA && (to == 0x87 || to == 0x81))
                ++ibmExtension; // IBM codes -> NEC row 13 or row 2
            else
                ++elsewhere;
        }
    }
    EXPECT_EQ(decoded, 9604);
    EXPECT_EQ(sameBytes, 9206);
    EXPECT_EQ(otherBytes, 398);
    EXPECT_EQ(ibmSelected, 373);
    EXPECT_EQ(necRow13, 9);
    EXPECT_EQ(ibmExtension, 15);
    EXPECT_EQ(elsewhere, 1); // 0xEEF9 (U+FFE2) goes to row 2 (0x81CA)
    EXPECT_EQ(cp932::encode(cp932::decode(bytes({0xEE, 0xF9}))), bytes({0x81, 0xCA}));
}

TEST(Cp932Table, NamedCodesBothWays)
{
    struct Pair
    {
        QByteArray code;
        char16_t u;
    };
    const Pair pairs[] = {
        {bytes({0x5C}), u'\\'},          {bytes({0x7E}), u'~'},
        {bytes({0x81, 0x60}), 0xFF5E},   {bytes({0x81, 0x61}), 0x2225},
        {bytes({0x81, 0x7C}), 0xFF0D},   {bytes({0x81, 0x5C}), 0x2015},
        {bytes({0x81, 0x91}), 0xFFE0},   {bytes({0x81, 0x92}), 0xFFE1},
        {bytes({0x81, 0xCA}), 0xFFE2},   {bytes({0x87, 0x40}), 0x2460},
        {bytes({0x87, 0x8A}), 0x3231},   {bytes({0x81, 0xE0}), 0x2252},
        {bytes({0xFA, 0x40}), 0x2170},   {bytes({0x88, 0x9F}), 0x4E9C},
        {bytes({0x82, 0xA0}), 0x3042},   {bytes({0x1A}), 0x001A},
        {bytes({0x1C}), 0x001C},         {bytes({0x7F}), 0x007F},
        {bytes({0x00}), 0x0000},         {bytes({0xF0, 0x40}), 0xE000},
        {bytes({0xF9, 0xFC}), 0xE757}, // user-defined area -> private use
    };
    for (const Pair &p : pairs) {
        EXPECT_EQ(cp932::decode(p.code), unit(p.u)) << p.code.toHex().constData();
        EXPECT_EQ(cp932::encode(unit(p.u)), p.code) << p.code.toHex().constData();
    }
    // Duplicates read as their character and are written in Windows' form.
    EXPECT_EQ(cp932::decode(bytes({0x87, 0x90})), unit(0x2252));
    EXPECT_EQ(cp932::decode(bytes({0xED, 0x40})), unit(0x7E8A));
    EXPECT_EQ(cp932::encode(unit(0x7E8A)), bytes({0xFA, 0x5C}));
    EXPECT_EQ(cp932::decode(bytes({0xFA, 0x4A})), unit(0x2160));
    EXPECT_EQ(cp932::encode(unit(0x2160)), bytes({0x87, 0x54}));
    for (int b = 0; b < 0x80; ++b) {
        EXPECT_EQ(cp932::decode(bytes({b})), unit(char16_t(b))) << b;
        EXPECT_EQ(cp932::encode(unit(char16_t(b))), bytes({b})) << b;
    }
    for (int b = 0xA1; b <= 0xDF; ++b) {
        const char16_t u = char16_t(0xFF61 + (b - 0xA1));
        EXPECT_EQ(cp932::decode(bytes({b})), unit(u)) << b;
        EXPECT_EQ(cp932::encode(unit(u)), bytes({b})) << b;
    }
}

// Characters without a code of their own that the converter still writes in
// the form a reader expects (Linux input methods produce several of them).
TEST(Cp932Table, OneWayForms)
{
    EXPECT_EQ(cp932::encode(u"\u301C"), bytes({0x81, 0x60})); // wave dash
    EXPECT_EQ(cp932::encode(u"\u2016"), bytes({0x81, 0x61})); // double vertical line
    EXPECT_EQ(cp932::encode(u"\u2212"), bytes({0x81, 0x7C})); // minus sign
    EXPECT_EQ(cp932::encode(u"\u2014"), bytes({0x81, 0x5C})); // em dash
    EXPECT_EQ(cp932::encode(u"\u00A2\u00A3\u00AC"), bytes({0x81, 0x91, 0x81, 0x92, 0x81, 0xCA}));
    EXPECT_EQ(cp932::encode(u"\u00A5\u203E"), QByteArray("\\~"));
}

// The single bytes that start no character in Shift-JIS, but that Windows
// reads as characters of their own and writes back unchanged.
TEST(Cp932Table, WindowsSingleBytesRoundTrip)
{
    struct Pair
    {
        int byte;
        char16_t u;
    };
    const Pair pairs[] = {{0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2},
                          {0xFF, 0xF8F3}};
    QByteArray all("a");
    for (const Pair &p : pairs) {
        EXPECT_EQ(cp932::decode(bytes({p.byte})), unit(p.u)) << p.byte;
        EXPECT_EQ(cp932::encode(unit(p.u)), bytes({p.byte})) << p.byte;
        EXPECT_EQ(cp932::encodedLength(unit(p.u)), 1) << p.byte;
        all.append(char(p.byte)).append("\x82\xA0");
    }
    EXPECT_EQ(cp932::encode(cp932::decode(all)), all);
    // After a lead byte they are no trail byte: the lead byte is replaced and
    // they are read as themselves.
    EXPECT_EQ(cp932::decode(bytes({0x81, 0xFD, 0x41})), units({0xFFFD, 0xF8F1, u'A'}));
}

TEST(Cp932Decode, MalformedInput)
{
    constexpr char16_t bad = 0xFFFD;
    // A lead byte at the end of the text.
    EXPECT_EQ(cp932::decode(bytes({'a', 0x81})), units({u'a', bad}));
    EXPECT_EQ(cp932::decode(bytes({0xE0})), unit(bad));
    // A lead byte whose next byte cannot be a trail byte: the next byte is
    // read afresh.
    EXPECT_EQ(cp932::decode(bytes({0x81, 0x20})), units({bad, u' '}));
    EXPECT_EQ(cp932::decode(bytes({0x81, 0x7F})), units({bad, 0x7F}));
    EXPECT_EQ(cp932::decode(bytes({0x81, 0x81, 0x40})), units({0xFF1D, u'@'}));
    EXPECT_EQ(cp932::decode(bytes({0x81, 0x0D, 0x0A})), units({bad, u'\r', u'\n'}));
    // A well-formed but unassigned code is one replacement for both bytes.
    EXPECT_EQ(cp932::decode(bytes({0x85, 0x40, 'x'})), units({bad, u'x'}));
    EXPECT_EQ(cp932::decode(bytes({0x81, 0xAD})), unit(bad));
    EXPECT_EQ(cp932::decode(QByteArrayView()), QString());
}

// ASCII runs are read several bytes at a time: a two-byte character, a
// half-width kana or a lone lead byte at any place around such a run is still
// read as itself.
TEST(Cp932Decode, AsciiRunsOfEveryLengthAroundOtherBytes)
{
    const struct { QByteArray bytes; QString text; } middles[] = {
        {QByteArray("\x8A\xBF"), u"漢"_qs},
        {QByteArray("\xB1"), u"ｱ"_qs},
        {QByteArray("\x81\r"), QChar(0xFFFD) + u"\r"_qs},
        {QByteArray("\x81\x5C\x81\x40"), u"―　"_qs},
    };
    const QByteArray ascii = "abcdefghijklmnopqrstuvwx\r\n\t~";
    for (const auto &m : middles) {
        for (int before = 0; before <= 20; ++before) {
            for (int after = 0; after <= 20; ++after) {
                const QByteArray in = ascii.left(before) + m.bytes + ascii.mid(before, after);
                const QString want = QString::fromLatin1(ascii.left(before)) + m.text
                                     + QString::fromLatin1(ascii.mid(before, after));
                ASSERT_EQ(cp932::decode(in), want) << before << " " << after;
                // Long texts take another path.
                ASSERT_EQ(cp932::decode(in.repeated(40)), want.repeated(40)) << before << " " << after;
            }
        }
    }
}

// Decoding counts each replacement it writes, and appending keeps what the
// buffer held.
TEST(Cp932Decode, CountsWhatItReplaces)
{
    const struct {
        QByteArray in;
        qsizetype replaced;
    } cases[] = {
        {bytes({'a', 0x82, 0xA0}), 0},       // a valid text
        {bytes({0x80, 0xA0, 0xFD}), 0},      // the Windows single bytes are characters
        {bytes({'a', 0x81}), 1},             // a lead byte at the end
        {bytes({0x81, 0x20, 0xE0, 0x0D}), 2}, // lead bytes without a trail byte
        {bytes({0x85, 0x40, 0x81, 0xAD}), 2}, // unassigned codes
    };
    for (const auto &c : cases) {
        qsizetype replaced = 5;
        const QString text = cp932::decode(c.in, &replaced);
        EXPECT_EQ(replaced, 5 + c.replaced) << c.in.toHex().constData();
        EXPECT_EQ(text.count(QChar(0xFFFD)), c.replaced);
        QString buffer = QStringLiteral("x");
        cp932::decodeAppend(c.in, buffer);
        EXPECT_EQ(buffer, QStringLiteral("x") + text);
    }
}

TEST(Cp932Encode, UnmappableBecomesQuestionMark)
{
    EXPECT_EQ(cp932::encode(u"caf\u00E9"), QByteArray("caf?"));
    EXPECT_EQ(cp932::encode(u"\u00A0\u00B7\uFFFD"), QByteArray("???"));
    EXPECT_EQ(cp932::encode(u"a\U0001F600b"), QByteArray("a?b")); // a pair is one character
    EXPECT_EQ(cp932::encode(u"\U00020B9F"), QByteArray("?"));     // CJK extension B
    const char16_t loneHigh[] = {u'a', 0xD83D, u'b'};
    const char16_t loneLow[] = {u'a', 0xDE00, u'b'};
    const char16_t highAtEnd[] = {u'a', 0xD83D};
    const char16_t reversed[] = {0xDE00, 0xD83D};
    EXPECT_EQ(cp932::encode(QStringView(loneHigh, 3)), QByteArray("a?b"));
    EXPECT_EQ(cp932::encode(QStringView(loneLow, 3)), QByteArray("a?b"));
    EXPECT_EQ(cp932::encode(QStringView(highAtEnd, 2)), QByteArray("a?"));
    EXPECT_EQ(cp932::encode(QStringView(reversed, 2)), QByteArray("??"));
}

// What the writers tell the user: how many characters became "?", and which.
TEST(Cp932Encode, CountsWhatItReplaces)
{
    const char16_t loneHigh[] = {u'a', 0xD842, u'b'};
    struct Case
    {
        QString text;
        QByteArray written;
        qsizetype replaced;
        qsizetype first;
        QStringList characters;
    };
    const Case cases[] = {
        {u"\U00020BB7田"_qs, "?" + cp932::encode(u"田"), 1, 0, {u"\U00020BB7"_qs}},
        {u"caf\u00E9 \u00E9\U0001F600"_qs, "caf? ??", 3, 3, {u"\u00E9"_qs, u"\U0001F600"_qs}},
        {QStringView(loneHigh, 3).toString(), "a?b", 1, 1, {QString(QChar(0xD842))}},
        {u"\uFFFD\u00A0"_qs, "??", 2, 0, {u"\uFFFD"_qs, u"\u00A0"_qs}},
        {u"\u0080\uF8F3"_qs, "\x80\xFF", 0, -1, {}},
    };
    for (const Case &c : cases) {
        const std::string label = c.text.toStdString();
        qsizetype replaced = 5;
        EXPECT_EQ(cp932::encode(c.text, &replaced), c.written) << label;
        EXPECT_EQ(replaced, 5 + c.replaced) << label; // added to what the counter held
        EXPECT_EQ(cp932::unencodableCount(c.text), c.replaced) << label;
        EXPECT_EQ(cp932::firstUnencodable(c.text), c.first) << label;
        EXPECT_EQ(cp932::unencodableCharacters(c.text), c.characters) << label;
    }
    EXPECT_EQ(cp932::firstUnencodable(u"\u00E9a\U00020BB7", 1), 2); // from an index
    EXPECT_EQ(cp932::characterLength(0x5C71), 2);
    EXPECT_EQ(cp932::characterLength(0xFF71), 1);
    EXPECT_EQ(cp932::characterLength(0xD842), 0);
}

TEST(Cp932Encode, AppendKeepsExistingBytes)
{
    QByteArray out("\x82\xA0", 2);
    cp932::encodeAppend(u"ｱ漢a", out);
    EXPECT_EQ(out, bytes({0x82, 0xA0, 0xB1, 0x8A, 0xBF, 'a'}));
    cp932::encodeAppend(u"", out);
    EXPECT_EQ(out.size(), 6);
}

TEST(Cp932Encode, LengthAgreesWithEncode)
{
    // Characters from every class: ASCII, controls, half-width katakana,
    // kanji, NEC and IBM rows, one-way forms, unmappable, surrogates.
    const char16_t pool[] = {u'A', u'\\', u'~', 0x0000, 0x001A, 0x007F, 0xFF61, 0xFF9F,
                             0x3042, 0x6F22, 0xFF5E, 0x2460, 0x2170, 0x301C, 0x00A5,
                             0x00E9, 0xFFFD, 0xD83D, 0xDE00, 0xD840, 0xDC0B, 0x3000};
    std::mt19937 random(932);
    std::uniform_int_distribution<int> pick(0, int(std::size(pool)) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int round = 0; round < 2000; ++round) {
        QString s;
        for (int i = length(random); i > 0; --i)
            s.append(QChar(pool[pick(random)]));
        qsizetype replaced = 0;
        const QByteArray encoded = cp932::encode(s, &replaced);
        ASSERT_EQ(cp932::encodedLength(s), encoded.size()) << round;
        ASSERT_EQ(cp932::unencodableCount(s), replaced) << round;
        ASSERT_EQ(cp932::firstUnencodable(s) >= 0, replaced > 0) << round;
        // What was written reads back to a text of the same length in bytes.
        ASSERT_EQ(cp932::encode(cp932::decode(encoded)), encoded) << round;
    }
}

TEST(Cp932Decode, ReadsEveryByteSequenceWithoutLoss)
{
    // Random bytes: decoding never gives more units than bytes, and what
    // was read is written back to bytes that read the same (the replacement
    // character itself has no code and is written as "?").
    std::mt19937 random(0x8140);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        QByteArray in;
        for (int i = round % 37; i > 0; --i)
            in.append(char(byte(random)));
        const QString text = cp932::decode(in);
        ASSERT_LE(text.size(), in.size());
        QString expected = text;
        expected.replace(QChar(0xFFFD), QLatin1Char('?'));
        ASSERT_EQ(cp932::decode(cp932::encode(text)), expected) << in.toHex().constData();
    }
}
