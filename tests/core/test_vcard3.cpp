// Reading vCard 3.0 names: nicknames, and the formatted name of a card
// without names.
#include "formats/vcard.h"
#include "support/testutil.h"

namespace {

AddressBook readBack(const QByteArray &bytes)
{
    AddressBook book;
    ImportReport report;
    EXPECT_EQ(parseVcardBytes(bytes, book, {}, &report), 0);
    return book;
}

} // namespace

TEST(Vcard3Read, NicknamesAreFurtherNames)
{
    const QByteArray text = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Doe;John;;;\r\nFN:Doe John\r\n"
                            "NICKNAME:Johnny\\, Jr,JD, ,DoeJohn\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:2.1\r\nFN:A\r\nNICKNAME:B\r\nEND:VCARD\r\n";
    const AddressBook book = readBack(text);
    ASSERT_EQ(book.cardCount(), 3);
    // Blank nicknames and names already there (ignoring blanks) are skipped.
    EXPECT_EQ(book.cards[1].names, (QStringList{u"Doe John"_qs, u"Johnny, Jr"_qs, u"JD"_qs}));
    // A 2.1 card keeps its rules: NICKNAME is an other item there.
    EXPECT_EQ(book.cards[2].names, QStringList{u"A"_qs});
    EXPECT_TRUE(book.cards[2].memo.endsWith(u"NICKNAME:B\r\n"_qs));
}

TEST(Vcard3Read, FormattedNameOfANamelessCard)
{
    // An empty N with an FN that is one of the card's addresses: no name.
    // Any other FN, or an N with a name, stays a name.
    const struct {
        QByteArray lines;
        QStringList names;
    } cases[] = {
        {"N:;;;;\r\nFN:a@x\r\nEMAIL:b@x\r\nEMAIL:A@X", {}},
        {"FN:a@x\r\nN:;;;;\r\nEMAIL:a@x", {}},
        {"N:;;;;\r\nFN:Shop\r\nEMAIL:a@x", {u"Shop"_qs}},
        {"FN:a@x\r\nEMAIL:a@x", {u"a@x"_qs}},
        {"N:a@x;;;;\r\nFN:a@x\r\nEMAIL:a@x", {u"a@x"_qs}},
    };
    for (const auto &c : cases) {
        const AddressBook book =
            readBack("BEGIN:VCARD\r\nVERSION:3.0\r\n" + c.lines + "\r\nEND:VCARD\r\n");
        ASSERT_EQ(book.cardCount(), 2);
        EXPECT_EQ(book.cards[1].names, c.names) << c.lines.toStdString();
    }
}
