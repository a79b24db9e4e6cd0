// What the window tells when a file cannot be taken whole: an insert that
// does not fit under the card limit, bytes after the last card.
#include <QFile>

#include "mainwindowfixture.h"
#include "support/testutil.h"

namespace {

QAction *menuEntry(const fomBrindle &window, const char *name)
{
    QAction *a = window.findChild<QAction *>(QString::fromLatin1(name));
    EXPECT_NE(a, nullptr) << name;
    return a;
}

// A book of n cards without IDs (each appends, none merges).
AddressBook plainBook(int n)
{
    AddressBook book;
    for (int i = 1; i <= n; ++i) {
        Card c = Card::newCard();
        c.number = i;
        c.names = {QStringLiteral("p%1").arg(i)};
        book.cards.append(c);
    }
    book.cardCounter = n + 1;
    return book;
}

} // namespace

TEST_F(MainWindowTest, InsertingABookThatDoesNotFitLeavesTheDemoBookUnchanged)
{
    const QString demo = dir.filePath(QStringLiteral("demo.ndb"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRINDLE_SOURCE_DIR "/samples/demo.ndb"), demo));
    prompter.answerFile(demo);
    menuEntry(*window, "mnuFileOpen")->trigger();
    prompter.clear();
    const AddressBook &open = window->document().book();
    ASSERT_GT(open.cardCount(), 1);
    const QByteArray before = *buildNdbImage(open);
    const int room = MaxCardCounter - open.cardCounter;
    const int rows = window->listModel()->rowCount();

    const int big = MaxCardCounter - 1;
    prompter.answerFile(writeBook(QStringLiteral("big.ndb"), plainBook(big)));
    menuEntry(*window, "mnuFileAppend")->trigger();

    EXPECT_EQ(prompter.texts(), QStringList{appendRefusedMessage(big, room)});
    EXPECT_EQ(*buildNdbImage(window->document().book()), before);
    EXPECT_FALSE(window->document().isModified());
    EXPECT_EQ(window->listModel()->rowCount(), rows);
    EXPECT_FALSE(window->document().isBusy());
}

TEST_F(MainWindowTest, OpeningAFileWithBytesAfterTheLastCardSaysTheyAreNotKept)
{
    AddressBook book = plainBook(3);
    const QByteArray image = *buildNdbImage(book) + QByteArray(11, 'x');
    const QString path = dir.filePath(QStringLiteral("tail.ndb"));
    ASSERT_TRUE(writeAll(path, image));

    prompter.answerFile(path);
    menuEntry(*window, "mnuFileOpen")->trigger();
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastText(), trailingBytesMessage(11));
    EXPECT_EQ(prompter.asked.first().message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(window->document().fileName(), path);
    EXPECT_EQ(window->document().book().cardCount() - 1, 3);
}

TEST_F(MainWindowTest, ReadingAPhonesVcardNamesThePhotoItLeftOut)
{
    const QString path = dir.filePath(QStringLiteral("phone.vcf"));
    ASSERT_TRUE(writeAll(path, QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:安藤 ロイド\r\n"
                                              "PHOTO;ENCODING=b;TYPE=JPEG:/9j/\r\n 4AAQ\r\n"
                                              "END:VCARD\r\n")
                                  .toUtf8()));
    prompter.answerFile(path);
    menuEntry(*window, "mnuFileReadVCard")->trigger();

    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_TRUE(prompter.lastText().contains(QStringLiteral("PHOTO (画像 6 Byte)")))
        << prompter.lastText().toStdString();
    EXPECT_EQ(prompter.asked.first().message.icon, Prompter::Icon::Information);
    EXPECT_FALSE(prompter.lossReported());
    const AddressBook &book = window->document().book();
    ASSERT_EQ(book.cardCount(), 2);
    EXPECT_EQ(book.cards[1].names, QStringList{QStringLiteral("安藤 ロイド")});
}
