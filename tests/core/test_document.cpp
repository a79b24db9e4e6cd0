// The document's undo history: every command that changes the open book is
// one step; undo puts back the book (byte for byte, except that card numbers
// are never handed out again) and the display list; saving marks the clean
// state; reads that replace the book clear the history.
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

#include "common/oledate.h"
#include "core/cardops.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "document/addressdocument.h"
#include "core/search.h"
#include "formats/fileprocs.h"
#include "shell/filekind.h"
#include "shell/startup.h"
#include "support/generator.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"
#include "tools/restore.h"
#include "tools/slim.h"

namespace {

class DocumentUndo : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        shell = std::make_unique<ShellSession>(dir.path(),
                                               WineHost(dir.filePath(QStringLiteral("no-prefix"))));
        doc = std::make_unique<AddressDocument>(*shell, prompter);
        ASSERT_EQ(doc->open(write(u"book.ndb"_qs, generated(12, 1)), FileKindAddressBook, false), 0);
        doc->search(SearchAll, anyValueWord());
        prompter.clear();
    }
    static AddressBook generated(int cards, quint32 seed)
    {
        GeneratorOptions o;
        o.seed = seed;
        o.cards = cards;
        o.badCards = false;
        return generateBook(o);
    }
    QString write(const QString &name, const AddressBook &book, int kind = FileKindAddressBook)
    {
        const QString path = dir.filePath(name);
        ScriptedPrompter quiet;
        EXPECT_EQ(writeFileByKind(path, kind, book, shell->fileIo(quiet)), 0);
        return path;
    }
    // The book as an address book file, with the counter of `counterFrom`.
    static QByteArray image(AddressBook book, const AddressBook &counterFrom)
    {
        book.cardCounter = counterFrom.cardCounter;
        return buildNdbImage(book).value();
    }
    qint32 number(int index) const { return doc->book().cards[index].number; }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<ShellSession> shell;
    std::unique_ptr<AddressDocument> doc;
};

} // namespace

TEST_F(DocumentUndo, EveryCommandIsOneStepThatUndoAndRedoTakeBackAndRepeat)
{
    const QList<qint32> three = {number(2), number(3), number(4)};
    const struct {
        const char *text;
        std::function<bool(AddressDocument &, ScriptedPrompter &, const QString &other)> run;
    } cases[] = {
        {"カードの削除 (3 枚)",
         [&](AddressDocument &d, ScriptedPrompter &p, const QString &) {
             p.answer(Prompter::Yes);
             return d.deleteCards(three, 4);
         }},
        {"カードの統合 (3 枚)",
         [&](AddressDocument &d, ScriptedPrompter &p, const QString &) {
             p.answer(Prompter::Yes);
             return d.combineCards(three, 3, SearchAll, anyValueWord()) >= 0;
         }},
        {"ｶｰﾄﾞ編集",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &) {
             return d.editCard(three[0], [](AddressBook &b, qint32 n) {
                 b.cards[findCardByNumber(b, n)].memo = u"メモ"_qs;
                 return n;
             }) >= 0;
         }},
        {"ｶｰﾄﾞ作成",
         [&](AddressDocument &d, ScriptedPrompter &p, const QString &) {
             return d.editCard(-1, [&p](AddressBook &b, qint32) {
                 Card c = Card::newCard();
                 c.names = {u"新しい人"_qs};
                 c.ids = {u"new@x.jp"_qs};
                 return addCard(c, b, p) == 0 ? b.cards.last().number : -1;
             }) >= 0;
         }},
        {"ｸﾞﾙｰﾌﾟ編集",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &) {
             return d.editGroups([](AddressBook &b) {
                 registerGroup(u"新しいグループ"_qs, b);
                 return true;
             });
         }},
        {"ｶｰﾄﾞの一括設定",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &) {
             return d.runTool(AddressDocument::Tool::BulkSettings, [](AddressBook &b) {
                 for (qsizetype i = 1; i < b.cardCount(); ++i)
                     b.cards[i].remarkAutoRecord = FlagOn;
                 return true;
             });
         }},
        {"ｶｰﾄﾞの修復",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &) {
             return d.runTool(AddressDocument::Tool::Restoration, [&](AddressBook &b) {
                 b.cards[3].ids = b.cards[2].ids; // a duplicate ID to merge
                 return !handleDuplicateIds(b, DuplicateIdMode::Merge, d.limits(), oleNow())
                             .interrupted;
             });
         }},
        {"ｱﾄﾞﾚｽ帳の減量",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &) {
             return d.runTool(AddressDocument::Tool::Slimming, [&](AddressBook &b) {
                 slimBook(b, slimPreset(2), d.limits(), oleNow());
                 return true;
             });
         }},
        {"ｱﾄﾞﾚｽ帳の挿入",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &other) {
             return d.open(other, FileKindAddressBook, true) == 1;
         }},
        {"一覧形式挿入",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &other) {
             return d.open(other + u".txt"_qs, FileKindListText, true) == 1;
         }},
        {"CSV形式挿入",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &other) {
             return d.open(other + u".csv"_qs, FileKindCsv, true) == 1;
         }},
        {"Eudora形式挿入",
         [&](AddressDocument &d, ScriptedPrompter &, const QString &other) {
             return d.open(other + u".eudora.txt"_qs, FileKindEudora, true) == 1;
         }},
    };
    const AddressBook otherBook = generated(3, 7);
    const QString other = write(u"other.ndb"_qs, otherBook);
    write(u"other.ndb.txt"_qs, otherBook, FileKindListText);
    write(u"other.ndb.csv"_qs, otherBook, FileKindCsv);
    write(u"other.ndb.eudora.txt"_qs, otherBook, FileKindEudora);

    const QString file = doc->fileName();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        doc->setModified(false); // no loss question
        ASSERT_EQ(doc->open(file, FileKindAddressBook, false), 0);
        doc->search(SearchAll, anyValueWord());
        prompter.clear();
        const AddressBook before = doc->book();
        const QList<qint32> listBefore = doc->displayList();

        ASSERT_TRUE(c.run(*doc, prompter, other));
        const AddressBook after = doc->book();
        const QList<qint32> listAfter = doc->displayList();
        ASSERT_NE(image(after, after), image(before, after));
        EXPECT_TRUE(doc->isModified());
        ASSERT_EQ(doc->history().count(), 1);
        EXPECT_EQ(doc->history().undoText(), QString::fromUtf8(c.text));

        ASSERT_TRUE(doc->undo());
        EXPECT_EQ(image(doc->book(), doc->book()), image(before, doc->book()));
        EXPECT_EQ(doc->book().cardCounter, after.cardCounter); // never goes back
        EXPECT_EQ(doc->displayList(), listBefore);
        EXPECT_FALSE(doc->isModified());
        EXPECT_EQ(doc->history().redoText(), QString::fromUtf8(c.text));

        ASSERT_TRUE(doc->redo());
        EXPECT_EQ(doc->book(), after);
        EXPECT_EQ(doc->displayList(), listAfter);
        EXPECT_TRUE(doc->isModified());
    }
}

TEST_F(DocumentUndo, ARefusedOrFailedCommandPushesNoStep)
{
    const AddressBook before = doc->book();
    prompter.answer(Prompter::No);
    EXPECT_FALSE(doc->deleteCards({number(1)}, 1));
    prompter.answer(Prompter::No);
    EXPECT_LT(doc->combineCards({number(1), number(2)}, 2, SearchAll, anyValueWord()), 0);
    EXPECT_LT(doc->editCard(number(1), [](AddressBook &, qint32) { return -1; }), 0);
    EXPECT_FALSE(doc->runTool(AddressDocument::Tool::Slimming, [](AddressBook &) { return false; }));
    EXPECT_FALSE(doc->editGroups([](AddressBook &) { return false; }));
    EXPECT_LT(doc->open(dir.filePath(u"missing.ndb"_qs), FileKindAddressBook, true), 0);
    // Duplicate IDs declined.
    const QString same = write(u"same.ndb"_qs, before);
    prompter.answer(Prompter::Cancel);
    EXPECT_LT(doc->open(same, FileKindAddressBook, true), 0);
    EXPECT_EQ(doc->history().count(), 0);
    EXPECT_EQ(doc->book(), before);
    EXPECT_FALSE(doc->isModified());
}

TEST_F(DocumentUndo, SavingMarksTheCleanStateAndUndoingBackToItClearsModified)
{
    prompter.answer(Prompter::Yes);
    ASSERT_TRUE(doc->deleteCards({number(1)}, 1));
    const QString saved = dir.filePath(u"saved.ndb"_qs);
    ASSERT_EQ(doc->write(saved, FileKindAddressBook, true), 0);
    EXPECT_FALSE(doc->isModified());
    EXPECT_TRUE(doc->history().isClean());

    ASSERT_TRUE(doc->undo());
    EXPECT_TRUE(doc->isModified()); // the file holds the state after the delete
    ASSERT_TRUE(doc->redo());
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->fileName(), saved); // the title stays on the saved file

    // Writing the whole book as CSV is a save too; selected cards are not.
    prompter.answer(Prompter::Yes);
    ASSERT_TRUE(doc->deleteCards({number(1)}, 1));
    ASSERT_EQ(doc->writeSelected({number(1)}, dir.filePath(u"part.ndb"_qs), FileKindAddressBook,
                                 true),
              0);
    EXPECT_TRUE(doc->isModified());
    ASSERT_EQ(doc->write(dir.filePath(u"all.csv"_qs), FileKindCsv, true), 0);
    EXPECT_FALSE(doc->isModified());
    EXPECT_EQ(doc->history().count(), 2); // writing is no step
}

TEST_F(DocumentUndo, ReadsThatReplaceTheBookAndANewBookClearTheHistory)
{
    const QString list = write(u"list.txt"_qs, generated(2, 3), FileKindListText);
    for (int round = 0; round < 3; ++round) {
        prompter.answer(Prompter::Yes);
        ASSERT_TRUE(doc->deleteCards({number(1)}, 1));
        ASSERT_EQ(doc->history().count(), 1);
        doc->setModified(false); // no loss question
        if (round == 0)
            ASSERT_EQ(doc->open(doc->fileName(), FileKindAddressBook, false), 0);
        else if (round == 1)
            ASSERT_EQ(doc->open(list, FileKindListText, false), 0);
        else
            ASSERT_TRUE(doc->newBook());
        EXPECT_EQ(doc->history().count(), 0);
        EXPECT_FALSE(doc->undo());
        if (doc->book().cardCount() < 2)
            break;
    }
}

TEST_F(DocumentUndo, UndoAndRedoDoNothingWhileBusy)
{
    prompter.answer(Prompter::Yes);
    ASSERT_TRUE(doc->deleteCards({number(1)}, 1));
    const AddressBook after = doc->book();
    doc->setBusy(true);
    EXPECT_FALSE(doc->undo());
    EXPECT_EQ(doc->book(), after);
    doc->setBusy(false);
    ASSERT_TRUE(doc->undo());
    doc->setBusy(true);
    EXPECT_FALSE(doc->redo());
    doc->setBusy(false);
}

TEST_F(DocumentUndo, ANumberHandedOutBeforeAnUndoIsNeverHandedOutAgain)
{
    auto newCard = [this] {
        return doc->editCard(-1, [this](AddressBook &b, qint32) {
            Card c = Card::newCard();
            c.ids = {u"again@x.jp"_qs};
            return addCard(c, b, prompter) == 0 ? b.cards.last().number : -1;
        });
    };
    const qint32 first = newCard();
    ASSERT_GE(first, 0);
    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(findCardByNumber(doc->book(), first), -1);
    EXPECT_GT(newCard(), first);
}

TEST_F(DocumentUndo, TheHistoryKeepsAHundredStepsAndStaysWithinItsByteLimit)
{
    auto edit = [this](int i) {
        return doc->editCard(number(1), [i](AddressBook &b, qint32 n) {
            b.cards[1].memo = QString::number(i);
            return n;
        });
    };
    for (int i = 0; i < AddressDocument::HistorySteps + 5; ++i)
        ASSERT_GE(edit(i), 0);
    EXPECT_EQ(doc->history().count(), AddressDocument::HistorySteps);
    EXPECT_GT(doc->historyBytes(), 0);

    // A byte limit of about three steps: the oldest go, the newest stay
    // undoable, and the saved state is kept when it is among them.
    ASSERT_EQ(doc->write(dir.filePath(u"saved.ndb"_qs), FileKindAddressBook, true), 0);
    const qint64 perStep = doc->historyBytes() / doc->history().count();
    doc->setHistoryByteLimit(perStep * 3 + perStep / 2);
    ASSERT_GE(edit(1000), 0);
    EXPECT_EQ(doc->history().count(), 3);
    EXPECT_LE(doc->historyBytes(), perStep * 3 + perStep / 2);
    EXPECT_EQ(doc->history().undoText(), u"ｶｰﾄﾞ編集"_qs);
    ASSERT_TRUE(doc->undo());
    EXPECT_FALSE(doc->isModified()); // back at the saved state
    EXPECT_EQ(doc->book().cards[1].memo, QString::number(AddressDocument::HistorySteps + 4));
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(doc->book().cards[1].memo, u"1000"_qs);
    EXPECT_TRUE(doc->isModified());
}

TEST_F(DocumentUndo, UndoAndRedoJudgeTheCardsByTheLimitsInForceNow)
{
    // A card with three IDs, then a limit of two IDs per card: the steps
    // taken before the change must not bring back the old verdicts.
    const qint32 added = doc->editCard(-1, [this](AddressBook &b, qint32) {
        Card c = Card::newCard();
        c.ids = {u"a@x.jp"_qs, u"b@x.jp"_qs, u"c@x.jp"_qs};
        return addCard(c, b, prompter) == 0 ? b.cards.last().number : -1;
    });
    ASSERT_GE(added, 0);
    ASSERT_GE(doc->recheck([this](AddressBook &b) {
        shell->settings.errorLimits[0] = 2;
        validateAll(b, doc->limits());
        return 0;
    }), 0);
    const auto statusOfAdded = [this, added] {
        const int i = findCardByNumber(doc->book(), added);
        return i < 0 ? -1 : doc->book().cards[i].status;
    };
    const int overLimit = statusOfAdded();
    ASSERT_NE(overLimit, StatusNormal);

    ASSERT_TRUE(doc->undo());
    EXPECT_EQ(statusOfAdded(), -1);
    ASSERT_TRUE(doc->redo());
    EXPECT_EQ(statusOfAdded(), overLimit);
    // Every card, as a fresh check would judge it.
    AddressBook fresh = doc->book();
    validateAll(fresh, doc->limits());
    EXPECT_EQ(doc->book(), fresh);
}
