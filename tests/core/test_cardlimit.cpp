// The card limit: a book holds card numbers 1 .. 32766 (the 16-bit counter
// stops at 32767). Every text reader keeps the first 32766 cards of a larger
// file and says how many it left out; appending is all or nothing.
#include <QTemporaryDir>
#include <functional>

#include "common/cp932.h"
#include "core/cardops.h"
#include "core/ndbfile.h"
#include "formats/csv.h"
#include "formats/eudora.h"
#include "formats/fileprocs.h"
#include "formats/listtext.h"
#include "formats/vcard.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

constexpr int MostCards = MaxCardCounter - 1; // 32766

// The ID of the i-th card of a generated file; zero-padded, so that the
// nickname file's order by nickname is the file order.
QString idOf(int i)
{
    return QStringLiteral("u%1").arg(i, 5, 10, QLatin1Char('0'));
}

struct TextFormat
{
    const char *name;
    QString head;                              // before the first card
    std::function<QString(int)> card;          // the text of card i
    std::function<int(const QString &, AddressBook &, Prompter &)> read;
};

QList<TextFormat> textFormats()
{
    const QString dashes(60, u'-');
    return {
        {"ListText", QStringLiteral("カウンタ：1\r\n"),
         [dashes](int i) { return QStringLiteral("[%1]").arg(i, 6, 10, QLatin1Char('0')) + dashes
                               + QStringLiteral("\r\nID1：") + idOf(i) + QStringLiteral("\r\n"); },
         [](const QString &p, AddressBook &b, Prompter &pr) { return ListFileRead(p, b, pr); }},
        {"Csv", QStringLiteral("ID\r\n"),
         [](int i) { return idOf(i) + QStringLiteral("\r\n"); },
         [](const QString &p, AddressBook &b, Prompter &pr) {
             return CsvFileRead(p, b, pr, autoCsvMapper);
         }},
        {"VCard", QString(),
         [](int i) {
             return QStringLiteral("BEGIN:VCARD\r\nEMAIL;INTERNET:") + idOf(i)
                 + QStringLiteral("\r\nEND:VCARD\r\n");
         },
         [](const QString &p, AddressBook &b, Prompter &pr) { return VcdFileRead(p, b, pr); }},
        {"Eudora", QString(),
         [](int i) { return QStringLiteral("alias %1 %1\r\n").arg(idOf(i)); },
         [](const QString &p, AddressBook &b, Prompter &pr) { return EudoraFileRead(p, b, pr); }},
    };
}

void PrintTo(const TextFormat &f, std::ostream *os) { *os << f.name; }

class TextReaders : public ::testing::TestWithParam<TextFormat>
{
protected:
    QString fileOf(int cards)
    {
        const TextFormat &f = GetParam();
        QString text = f.head;
        for (int i = 1; i <= cards; ++i)
            text += f.card(i);
        const QString path = dir.filePath(QStringLiteral("cards.txt"));
        EXPECT_TRUE(writeAll(path, cp932::encode(text)));
        return path;
    }
    QTemporaryDir dir;
};

TEST_P(TextReaders, KeepTheFirstCardsAndSayHowManyWereLeftOut)
{
    const int total = MostCards + 3;
    AddressBook book;
    ScriptedPrompter prompter;
    ASSERT_EQ(GetParam().read(fileOf(total), book, prompter), 0);

    EXPECT_EQ(book.cardCount() - 1, MostCards);
    EXPECT_EQ(book.cardCounter, MaxCardCounter);
    EXPECT_EQ(book.cards[1].number, 1);
    EXPECT_EQ(book.cards.last().number, MostCards);
    EXPECT_EQ(book.cards.last().ids, QStringList{idOf(MostCards)});
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastText(), cardsLeftOutMessage(total, MostCards));
    EXPECT_EQ(prompter.asked.first().message.icon, Prompter::Icon::Warning);
    EXPECT_TRUE(prompter.lossReported());

    // Written as an address book and read back: the counter stays valid.
    AddressBook again;
    ASSERT_EQ(parseNdbImage(*buildNdbImage(book), again, prompter), 0);
    EXPECT_EQ(again.cardCounter, MaxCardCounter);
}

INSTANTIATE_TEST_SUITE_P(CardLimit, TextReaders, ::testing::ValuesIn(textFormats()),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CardLimit, MessagesGiveTheExactCounts)
{
    EXPECT_EQ(cardsLeftOutMessage(40000, 32766),
              QStringLiteral("カードの枚数が上限を超えたため、40000 枚のうち 32766 枚を読み込みました。"
                             "残りの 7234 枚は読み込んでいません。"));
    EXPECT_EQ(appendRefusedMessage(120, 20),
              QStringLiteral("追加するカード（120 枚）が上限を超えるため、追加できません。"
                             "（追加できるのは 20 枚までです）"));
}

TEST(CardLimit, AnAddressBookFileKeepsEveryCard)
{
    AddressBook big;
    for (int i = 1; i <= MostCards + 10; ++i) {
        Card c = Card::newCard();
        c.number = i;
        big.cards.append(c);
    }
    big.cardCounter = MaxCardCounter;
    AddressBook read;
    ScriptedPrompter prompter;
    ASSERT_EQ(parseNdbImage(*buildNdbImage(big), read, prompter), 0);
    EXPECT_EQ(read.cardCount(), big.cardCount());
    EXPECT_TRUE(prompter.asked.isEmpty());
}

// ---- Appending: all or nothing ----------------------------------------------

Card cardWithId(const QString &id)
{
    Card c = Card::newCard();
    c.ids = {id};
    c.names = {id};
    return c;
}

// A book of n cards with IDs a1 .. an whose counter leaves room for `room`
// more cards.
AddressBook bookWithRoom(int n, int room)
{
    AddressBook book;
    for (int i = 1; i <= n; ++i) {
        Card c = cardWithId(QStringLiteral("a%1").arg(i));
        c.number = i;
        c.created = c.updated = 40000.0;
        book.cards.append(c);
    }
    book.cardCounter = MaxCardCounter - room;
    return book;
}

TEST(AppendAllOrNothing, TheNewCardsMustFitMergedOnesNeedNoRoom)
{
    AddressBook target = bookWithRoom(3, 2);
    target.groupList() = {QStringLiteral("友人")};
    const QByteArray before = *buildNdbImage(target);
    AddressBook source;
    source.groupList() = {QStringLiteral("新しい")};
    // Two new cards (n1, n2) and three merged ones: they fit.
    for (const char *id : {"A1", "n1", "a2", "N1", "n2"})
        source.cards.append(cardWithId(QString::fromLatin1(id)));
    AddressBook fits = target;
    ScriptedPrompter prompter;
    int taken = -1;
    EXPECT_EQ(appendBook(fits, source, prompter, {}, &taken), 0);
    EXPECT_EQ(taken, 5);
    EXPECT_EQ(fits.cardCount() - 1, 5);
    EXPECT_EQ(fits.cardCounter, MaxCardCounter);
    EXPECT_TRUE(prompter.asked.isEmpty());

    // A third new card does not: nothing is added, not even the groups.
    source.cards.append(cardWithId(QStringLiteral("n3")));
    EXPECT_EQ(appendBook(target, source, prompter, {}, &taken), -1);
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(*buildNdbImage(target), before);
    EXPECT_EQ(prompter.texts(), QStringList{appendRefusedMessage(3, 2)});
    EXPECT_EQ(prompter.asked.first().message.icon, Prompter::Icon::Warning);
}

TEST(AppendAllOrNothing, AStopLeavesTheBookUnchanged)
{
    AddressBook target = bookWithRoom(2, 100);
    const AddressBook original = target;
    AddressBook source;
    for (int i = 1; i <= 4; ++i)
        source.cards.append(cardWithId(QStringLiteral("s%1").arg(i)));
    ScriptedPrompter prompter;
    int calls = 0;
    EXPECT_EQ(appendBook(target, source, prompter, [&](qint64, qint64) { return ++calls < 3; }),
              -1);
    EXPECT_EQ(target, original);
    EXPECT_TRUE(prompter.asked.isEmpty());
}

} // namespace
