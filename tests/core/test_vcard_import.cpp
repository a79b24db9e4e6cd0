// Reading the vCard files of today's phones and mail programs: the text
// encoding of each property, vCard 3.0/4.0 syntax, binary values, and what
// the import tells. The 2.1 rules are pinned in test_vcard.cpp.
#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "common/cp932.h"
#include "common/oledate.h"
#include "formats/listtext.h"
#include "formats/vcard.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

constexpr int Tokyo = 9 * 3600;

DateValue day(int y, int m, int d)
{
    return oleFromDate(QDate(y, m, d));
}

VcardReadOptions readOptions(bool lostMemo = true)
{
    VcardReadOptions o;
    o.lostMemoFlag = lostMemo;
    o.utcOffsetSeconds = Tokyo;
    o.now = oleFromDateTime(QDateTime(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC));
    return o;
}

QByteArray sjis(const QString &s)
{
    return cp932::encode(s);
}

QByteArray u8(const char16_t *s)
{
    return QString::fromUtf16(s).toUtf8();
}

AddressBook readBytes(const QByteArray &bytes, bool lostMemo = true,
                      ImportReport *report = nullptr)
{
    AddressBook book;
    EXPECT_EQ(parseVcardBytes(bytes, book, readOptions(lostMemo), report), 0);
    return book;
}

// One card of the given version ("" for none) from its property lines.
QByteArray cardBytes(const QByteArray &version, const QList<QByteArray> &lines)
{
    QByteArray text = "BEGIN:VCARD\r\n";
    if (!version.isEmpty())
        text += "VERSION:" + version + "\r\n";
    for (const QByteArray &l : lines)
        text += l + "\r\n";
    return text + "END:VCARD\r\n";
}

Card readCard(const QByteArray &version, const QList<QByteArray> &lines, bool lostMemo = true,
              ImportReport *report = nullptr)
{
    const AddressBook book = readBytes(cardBytes(version, lines), lostMemo, report);
    EXPECT_EQ(book.cardCount(), 2);
    return book.cardCount() > 1 ? book.cards[1] : Card();
}

QString otherItems(const QStringList &lines)
{
    return QStringLiteral("\r\n") + VcardOtherItemsHeader + QStringLiteral("\r\n")
        + lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

using Field = std::function<QString(const Card &)>;
const Field names = [](const Card &c) { return c.names.join(u'|'); };
const Field ids = [](const Card &c) { return c.ids.join(u'|'); };
const Field memo = [](const Card &c) { return c.memo; };
const Field telephone = [](const Card &c) { return c.telephone; };
const Field mobile = [](const Card &c) { return c.mobile; };
const Field fax = [](const Card &c) { return c.fax; };
const Field address = [](const Card &c) { return c.address + u'/' + c.postalCode; };

struct Case
{
    const char *what;
    QByteArray file;
    Field field;
    QString want;
};

void runCases(const QList<Case> &cases)
{
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const AddressBook book = readBytes(c.file);
        ASSERT_EQ(book.cardCount(), 2);
        EXPECT_EQ(c.field(book.cards[1]), c.want);
    }
}

// "安藤 ロイド", the name every example below uses.
const char16_t Ando[] = u"安藤 ロイド";

} // namespace

// ---------------------------------------------------------------------------
// The text encoding of each property

TEST(VcardImport, EachPropertyIsReadInItsOwnEncoding)
{
    const QString ando = QString::fromUtf16(Ando);
    const QList<Case> cases = {
        {"2.1 with CHARSET=UTF-8 (case ignored)",
         cardBytes("2.1", {"FN;charset=utf-8:" + u8(Ando)}), names, ando},
        {"3.0 without CHARSET is UTF-8", cardBytes("3.0", {"FN:" + u8(Ando)}), names, ando},
        {"4.0 without CHARSET is UTF-8", cardBytes("4.0", {"FN:" + u8(Ando)}), names, ando},
        {"3.0 with CHARSET=SHIFT_JIS", cardBytes("3.0", {"FN;CHARSET=Shift_JIS:" + sjis(ando)}),
         names, ando},
        {"2.1 without CHARSET, bytes of valid UTF-8", cardBytes("2.1", {"FN:" + u8(Ando)}), names,
         ando},
        {"2.1 without CHARSET, CP932 as always", cardBytes("2.1", {"FN:" + sjis(ando)}), names,
         ando},
        {"ISO-8859-1", cardBytes("2.1", {"FN;CHARSET=ISO-8859-1:Jos\xE9"}), names,
         QStringLiteral("José")},
        {"US-ASCII leaves the choice to the file",
         cardBytes("2.1", {"FN;CHARSET=US-ASCII:" + u8(Ando)}), names, ando},
        {"quoted-printable bytes in UTF-8",
         cardBytes("2.1", {"FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=AE=89=E8=97=A4 =E3=83="
                           "AD=E3=82=A4=E3=83=89"}),
         names, ando},
        {"quoted-printable bytes of a 3.0 card",
         cardBytes("3.0", {"NOTE;ENCODING=QUOTED-PRINTABLE:=E3=83=A1=E3=83=A2"}), memo,
         QStringLiteral("メモ")},
        {"a BOM makes the file UTF-8",
         "\xEF\xBB\xBF" + cardBytes("2.1", {"NOTE;QUOTED-PRINTABLE:=E3=83=A1=E3=83=A2"}), memo,
         QStringLiteral("メモ")},
        {"without BOM an ASCII file is CP932",
         cardBytes("2.1", {"NOTE;QUOTED-PRINTABLE:=83=81=83=82"}), memo, QStringLiteral("メモ")},
    };
    runCases(cases);

    // One file, two encodings: each property by its own CHARSET.
    const Card c = readCard("2.1", {"N;CHARSET=SHIFT_JIS:" + sjis(QStringLiteral("安藤;ロイド")),
                                    "NOTE;CHARSET=UTF-8:" + u8(u"メモ"),
                                    "ORG;CHARSET=UTF-8:" + u8(u"会社")});
    EXPECT_EQ(c.names, QStringList{QStringLiteral("安藤 ロイド")});
    EXPECT_TRUE(c.memo.startsWith(QStringLiteral("メモ\r\n")));
    EXPECT_TRUE(c.memo.endsWith(QStringLiteral("ORG;CHARSET=UTF-8:会社\r\n")));
}

TEST(VcardImport, BytesNotValidInTheirEncodingAreCounted)
{
    ImportReport report;
    Card c = readCard("3.0", {"FN:A\xFF\xFE" "B", "NOTE:" + u8(u"メ").left(2)}, true, &report);
    EXPECT_EQ(c.names, QStringList{QStringLiteral("A\uFFFD\uFFFDB")});
    EXPECT_EQ(c.memo, QStringLiteral("\uFFFD"));
    EXPECT_EQ(report.charactersReplaced, 3);
    EXPECT_EQ(report.cardsMade, 1);

    ImportReport cp932Report;
    c = readCard("", {"FN:A\x81"}, true, &cp932Report); // a lead byte without its trail
    EXPECT_EQ(c.names, QStringList{QStringLiteral("A\uFFFD")});
    EXPECT_EQ(cp932Report.charactersReplaced, 1);
}

TEST(VcardImport, DecodedTextReadsLikeTheFile)
{
    // The text entry point: values as they stand, 3.0 rules included.
    AddressBook book;
    parseVcardText(QStringLiteral("BEGIN:VCARD\nVERSION:3.0\nFN:安藤 ロイド\nNOTE:a\\nb\n"
                                  "TEL;TYPE=cell:1\nEND:VCARD\n"),
                   book, readOptions());
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].names, QStringList{QStringLiteral("安藤 ロイド")});
    EXPECT_EQ(book.cards[1].memo, QStringLiteral("a\r\nb"));
    EXPECT_EQ(book.cards[1].mobile, QStringLiteral("1"));
}

// ---------------------------------------------------------------------------
// vCard 3.0 and 4.0 syntax

TEST(VcardImport, ModernSyntax)
{
    const QList<Case> cases = {
        {"3.0 escapes", cardBytes("3.0", {"NOTE:a\\nb\\Nc\\,d\\;e\\\\f"}), memo,
         QStringLiteral("a\r\nb\r\nc,d;e\\f")},
        {"2.1 keeps \\n", cardBytes("2.1", {"NOTE:a\\nb\\Nc\\,d\\;e\\\\f"}), memo,
         QStringLiteral("a\\nb\\Nc,d;e\\f")},
        {"TYPE lists in any case and form",
         cardBytes("3.0",
                   {"TEL;TYPE=cell,voice:1", "TEL;type=VOICE;type=CELL:2", "tel;Type=Fax:3"}),
         mobile, QStringLiteral("1  2")},
        {"a quoted TYPE list", cardBytes("4.0", {"TEL;TYPE=\"voice,fax\":1"}), fax,
         QStringLiteral("1")},
        {"PREF=1 is preferred", cardBytes("4.0", {"EMAIL:b@x", "EMAIL;PREF=1:a@x"}), ids,
         QStringLiteral("a@x|b@x")},
        {"PREF=1 in 2.1 is nothing", cardBytes("2.1", {"EMAIL:b@x", "EMAIL;PREF=1:a@x"}), ids,
         QStringLiteral("b@x|a@x")},
        {"tel: loses its scheme",
         cardBytes("4.0", {"TEL;VALUE=uri;TYPE=cell:tel:+81-90-1234-5678;ext=1"}), mobile,
         QStringLiteral("+81-90-1234-5678;ext=1")},
        {"mailto: loses its scheme", cardBytes("4.0", {"EMAIL:MAILTO:a@x"}), ids,
         QStringLiteral("a@x")},
        {"2.1 keeps tel:", cardBytes("2.1", {"TEL:tel:1"}), telephone, QStringLiteral("tel:1")},
        {"grouped names", cardBytes("3.0", {"item1.EMAIL;type=INTERNET;type=pref:b@x",
                                            "item2.EMAIL:c@x", "ITEM3.email;type=pref:a@x"}),
         ids, QStringLiteral("a@x|b@x|c@x")},
        {"grouped names in 2.1", cardBytes("2.1", {"item1.TEL;CELL:090"}), mobile,
         QStringLiteral("090")},
        {"quoted parameter value", cardBytes("3.0", {"TEL;TYPE=\"x,y:z\";FAX:1"}), fax,
         QStringLiteral("1")},
        {"quoted parameter value in 2.1", cardBytes("2.1", {"TEL;X-LABEL=\"a;b:c\";CELL:1"}),
         mobile, QStringLiteral("1")},
        {"unfolding takes one blank", cardBytes("3.0", {"NOTE:abc", "  def", "\tghi"}), memo,
         QStringLiteral("abc defghi")},
        {"2.1 unfolding takes every blank", cardBytes("2.1", {"NOTE:abc", "  def", "\tghi"}), memo,
         QStringLiteral("abcdefghi")},
        {"CR CR LF ends one line",
         "BEGIN:VCARD\r\r\nVERSION:3.0\r\r\nNOTE:a\r\r\n b\r\r\nTEL:1\r\r\nEND:VCARD\r\r\n", memo,
         QStringLiteral("ab")},
        {"lone CRs end lines before a LF further on",
         "BEGIN:VCARD\rVERSION:3.0\r\rNOTE:a\r\r\rTEL:1\r\rTEL:2\nEND:VCARD", telephone,
         QStringLiteral("1  2")},
        {"lone CRs and LFs mixed", "BEGIN:VCARD\nNOTE:a\r b\n c\r\r\rTEL:1\r\nEND:VCARD\r", memo,
         QStringLiteral("abc")},
        {"a last line without its end", "BEGIN:VCARD\r\nTEL:1\r\nNOTE:a\r\n b", memo,
         QStringLiteral("ab")},
        {"the first component alone", cardBytes("2.1", {"NOTE:a\\;b;c\\,d"}), memo,
         QStringLiteral("a;b")},
    };
    runCases(cases);
}

TEST(VcardImport, ModernAddressInJapaneseOrder)
{
    const QList<Case> cases = {
        {"Japanese", cardBytes("3.0", {"ADR;TYPE=home:;;" + u8(u"桜丘町26-1;渋谷区;東京都;150-8512;日本")}),
         address, QStringLiteral("東京都 渋谷区 桜丘町26-1 日本/150-8512")},
        {"every component",
         cardBytes("4.0", {"ADR:PO Box 1;Suite 2;1-2-3 Main St;Town;Pref;100-0001;Japan"}), address,
         QStringLiteral("Pref Town 1-2-3 Main St Suite 2 PO Box 1 Japan/100-0001")},
        {"line breaks and blanks", cardBytes("3.0", {"ADR:;; 1-2\\n3F ;Town;;;"}), address,
         QStringLiteral("Town 1-2 3F/")},
        {"two addresses; an empty postal code keeps the first",
         cardBytes("3.0", {"ADR:;;a;b;c;100;", "ADR:;;d;;;;"}), address,
         QStringLiteral("c b a  d/100")},
        {"2.1 keeps its order", cardBytes("2.1", {"ADR:;;1-2-3 Street;City;Pref;100-0001;Japan"}),
         address, QStringLiteral("Japan Pref City 1-2-3 Street/100-0001")},
        {"escaped components beside plain ones, 2.1",
         cardBytes("2.1", {"ADR:;;1-2 Street\\;B;Town\\,X;Pref;100\\;1;Japan"}), address,
         QStringLiteral("Japan Pref Town,X 1-2 Street;B/100;1")},
        {"escaped components beside plain ones, 3.0",
         cardBytes("3.0", {"ADR:;;a\\;b;T\\,own;P;1\\;00;J\\\\p"}), address,
         QStringLiteral("P T,own a;b J\\p/1;00")},
    };
    runCases(cases);
}

// ---------------------------------------------------------------------------
// Binary values

TEST(VcardImport, BinaryValuesAreNamedNeverCopied)
{
    // 12,345 bytes of base64, folded at 75 as a 3.0 writer does.
    const QByteArray b64 = QByteArray(12345, '\x5a').toBase64();
    QList<QByteArray> photo = {"PHOTO;ENCODING=b;TYPE=JPEG:" + b64.left(48)};
    for (qsizetype at = 48; at < b64.size(); at += 74)
        photo.append(' ' + b64.mid(at, 74));
    photo.append("TEL:1");

    ImportReport report;
    Card c = readCard("3.0", photo, true, &report);
    EXPECT_EQ(c.memo, otherItems({QStringLiteral("PHOTO (画像 12,345 Byte) は読み込んでいません")}));
    EXPECT_EQ(c.telephone, QStringLiteral("1"));
    EXPECT_EQ(report.binaryValuesLeftOut, QStringList{QStringLiteral("PHOTO (画像 12,345 Byte)")});
    EXPECT_EQ(report.charactersReplaced, 0);

    // Without the other items kept: no line, the report still names it.
    ImportReport quiet;
    c = readCard("3.0", photo, false, &quiet);
    EXPECT_TRUE(c.memo.isEmpty());
    EXPECT_EQ(quiet.binaryValuesLeftOut.size(), 1);

    // Every kind and form: data: URIs, 2.1 lines without indent up to the
    // blank line, other properties with a BASE64 encoding.
    ImportReport all;
    c = readCard("4.0",
                 {"LOGO:data:image/png;base64,iVBORw0K", "SOUND;ENCODING=b:AAAA",
                  "KEY;ENCODING=b:AAAAAAAA", "PHOTO;VALUE=uri:http://example.com/a.jpg",
                  "X-MS-CARDPICTURE;ENCODING=b:AAAA", "KEY:data:,abc%20d"},
                 true, &all);
    EXPECT_EQ(all.binaryValuesLeftOut,
              (QStringList{QStringLiteral("LOGO (画像 6 Byte)"), QStringLiteral("SOUND (音声 3 Byte)"),
                           QStringLiteral("KEY (暗号鍵 6 Byte)"),
                           QStringLiteral("X-MS-CARDPICTURE (画像 3 Byte)"),
                           QStringLiteral("KEY (暗号鍵 5 Byte)")}));
    EXPECT_TRUE(
        c.memo.contains(QStringLiteral("\r\nPHOTO;VALUE=uri:http://example.com/a.jpg\r\n")));

    c = readCard("2.1", {"PHOTO;ENCODING=BASE64;TYPE=GIF:R0lG", "ODlh", "AAAA", "", "TEL:1"});
    EXPECT_EQ(c.memo, otherItems({QStringLiteral("PHOTO (画像 9 Byte) は読み込んでいません")}));
    EXPECT_EQ(c.telephone, QStringLiteral("1"));
}

// ---------------------------------------------------------------------------
// Quoted-printable soft line breaks and birthdays

TEST(VcardImport, SoftLineBreakContinuesWithTheLineAsItIs)
{
    for (const char *version : {"2.1", "3.0"}) {
        SCOPED_TRACE(version);
        Card c = readCard(version, {"NOTE;ENCODING=QUOTED-PRINTABLE:abc=", " def=", "\tg"});
        EXPECT_EQ(c.memo, QStringLiteral("abc def\tg"));
    }
}

TEST(VcardImport, BirthdayForms)
{
    struct Birthday
    {
        QByteArray version;
        QByteArray line;
        DateValue want;
        QString memo; // the other items' lines
    };
    const DateValue sep10 = day(1960, 9, 10);
    const QString noYear = otherItems({QStringLiteral("BDAY:--0910")});
    const Birthday cases[] = {
        {"3.0", "BDAY:1960-09-10", sep10, {}},
        {"3.0", "BDAY:19600910", sep10, {}},
        {"4.0", "BDAY:19600910T101500Z", sep10, {}},
        {"3.0", "BDAY;VALUE=date-time:1960-09-10T10:15:00Z", sep10, {}},
        {"4.0", "BDAY:--0910", NoDate, noYear},
        {"3.0", "BDAY:--09-10", NoDate, noYear},
        {"3.0", "BDAY;X-APPLE-OMIT-YEAR=1604:1604-09-10", NoDate, noYear},
        {"4.0", "BDAY:--1310", NoDate, otherItems({QStringLiteral("BDAY:--1310")})},
        {"4.0", "BDAY;VALUE=text:circa 1800", NoDate,
         otherItems({QStringLiteral("BDAY;VALUE=text:circa 1800")})},
        {"2.1", "BDAY:--0910", NoDate, {}},
        {"2.1", "BDAY:1960-09-10T10:15:00Z", NoDate, {}},
    };
    for (const Birthday &b : cases) {
        SCOPED_TRACE((b.version + " " + b.line).constData());
        const Card c = readCard(b.version, {b.line});
        EXPECT_EQ(c.birthday, b.want);
        EXPECT_EQ(c.memo, b.memo);
    }
}

// ---------------------------------------------------------------------------
// What the import tells

TEST(VcardImport, TheFileReadTellsWhatWasLeftOutOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Told
    {
        const char *what;
        QByteArray file;
        int messages;
        bool loss;
        QString mentions;
    };
    const Told cases[] = {
        {"clean", cardBytes("3.0", {"FN:" + u8(Ando)}), 0, false, {}},
        {"a photo", cardBytes("3.0", {"FN:A", "PHOTO;ENCODING=b:AAAA"}), 1, false,
         QStringLiteral("PHOTO (画像 3 Byte)")},
        {"bytes that are not UTF-8",
         cardBytes("3.0", {"FN:A\xFF", "PHOTO;ENCODING=b:AAAA"})
             + cardBytes("3.0", {"FN:B\xFF"}),
         1, true, QStringLiteral("読み取れない文字 2 文字")},
    };
    for (const Told &t : cases) {
        SCOPED_TRACE(t.what);
        const QString path = dir.filePath(QStringLiteral("in.vcf"));
        ASSERT_TRUE(writeAll(path, t.file));
        ScriptedPrompter prompter;
        AddressBook book;
        ASSERT_EQ(VcdFileRead(path, book, prompter, readOptions()), 0);
        EXPECT_GE(book.cardCount(), 2);
        ASSERT_EQ(prompter.asked.size(), t.messages);
        EXPECT_EQ(prompter.lossReported(), t.loss);
        if (t.messages > 0) {
            EXPECT_TRUE(prompter.lastText().contains(t.mentions))
                << prompter.lastText().toStdString();
        }
    }
}

// ---------------------------------------------------------------------------
// Golden files: every sample in tests/data/vcard, read as the program reads
// a file and written as its own list text, gives expected/<name>.txt.
// BRINDLE_UPDATE_GOLDEN=1 writes the files anew (check them by eye).

TEST(VcardImport, EverySampleFileGivesItsListText)
{
    const QDir data(QStringLiteral(BRINDLE_TEST_DATA "/vcard"));
    const QStringList samples = data.entryList({QStringLiteral("*.vcf")}, QDir::Files, QDir::Name);
    ASSERT_GE(samples.size(), 18);
    const bool update = qEnvironmentVariableIntValue("BRINDLE_UPDATE_GOLDEN") == 1;
    const QDateTime stamp(QDate(2024, 5, 1), QTime(12, 0));
    for (const QString &name : samples) {
        SCOPED_TRACE(name.toStdString());
        ScriptedPrompter prompter;
        AddressBook book;
        ASSERT_EQ(VcdFileRead(data.filePath(name), book, prompter, readOptions()), 0);
        const QByteArray got = cp932::encode(listFileText(book, stamp));
        const QString expected =
            data.filePath(QStringLiteral("expected/") + QFileInfo(name).completeBaseName()
                          + QStringLiteral(".txt"));
        if (update) {
            ASSERT_TRUE(writeAll(expected, got));
        }
        EXPECT_EQ(cp932::decode(got), cp932::decode(readAll(expected)));
    }
}
