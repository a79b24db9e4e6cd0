#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "cardedit/fomGroupEdit.h"
#include "common/fomMsgBox.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

const QString CrLf = u"\r\n"_qs;

AddressBook bookWith(const QStringList &groups, const QList<QStringList> &memberships = {})
{
    AddressBook b;
    b.groupList() = groups;
    for (const QStringList &m : memberships) {
        Card c = Card::newCard();
        c.number = b.cardCounter++;
        c.ids = {QStringLiteral("id%1@x.jp").arg(c.number)};
        c.groups = m;
        b.cards.append(c);
    }
    return b;
}

// Selects exactly the given rows; the first becomes the focused line.
void selectRows(fomGroupEdit &dlg, const QList<int> &rows)
{
    dlg.lstGroup->clearSelection();
    for (int r : rows)
        dlg.lstGroup->item(r)->setSelected(true);
    if (!rows.isEmpty())
        dlg.lstGroup->setCurrentRow(rows.first(), QItemSelectionModel::NoUpdate);
}

} // namespace

TEST(GroupEdit, OpeningAndStatus)
{
    AddressBook empty = bookWith({});
    ScriptedPrompter prompter;
    {
        fomGroupEdit dlg(empty, prompter);
        EXPECT_EQ(dlg.windowTitle(), u"ｸﾞﾙｰﾌﾟ編集"_qs);
        EXPECT_EQ(dlg.lblStatus->text(), u"0 個のｸﾞﾙｰﾌﾟ"_qs);
        for (QPushButton *b : {dlg.cmdEdit, dlg.cmdDel, dlg.cmdAllDel, dlg.cmdUp, dlg.cmdDown,
                               dlg.cmdOrderAsc, dlg.cmdOrderDesc})
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_TRUE(dlg.cmdAdd->isEnabled());
    }

    AddressBook book = bookWith({u"a"_qs, u"b"_qs, u"c"_qs});
    fomGroupEdit dlg(book, prompter);
    for (const char *name : {"lstGroup", "lblStatus", "cmdAdd", "cmdEdit", "cmdDel", "cmdAllDel",
                             "cmdUp", "cmdDown", "cmdOrderAsc", "cmdOrderDesc", "cmdExit"})
        EXPECT_NE(dlg.findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(dlg.lines(), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs}));
    EXPECT_EQ(dlg.lstGroup->currentRow(), 0);
    EXPECT_EQ(dlg.lblStatus->text(), u"1 個のｸﾞﾙｰﾌﾟを選択中"_qs);
    EXPECT_FALSE(dlg.cmdUp->isEnabled());
    EXPECT_TRUE(dlg.cmdDown->isEnabled());

    selectRows(dlg, {2, 0});
    EXPECT_EQ(dlg.lblStatus->text(), u"2 個のｸﾞﾙｰﾌﾟを選択中"_qs);
    EXPECT_TRUE(dlg.cmdUp->isEnabled());
    EXPECT_FALSE(dlg.cmdDown->isEnabled());
    dlg.lstGroup->clearSelection();
    EXPECT_EQ(dlg.lblStatus->text(), u"3 個のｸﾞﾙｰﾌﾟ"_qs);
    EXPECT_FALSE(dlg.cmdEdit->isEnabled());
    EXPECT_FALSE(dlg.cmdDel->isEnabled());
    EXPECT_FALSE(dlg.bookModified());
}

TEST(GroupEdit, Adding)
{
    AddressBook book = bookWith({u"友人"_qs, u"仕事"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);

    prompter.answerInput(u"   "_qs);
    dlg.cmdAdd->click();
    EXPECT_EQ(prompter.inputPrompts, QStringList{u"追加するｸﾞﾙｰﾌﾟ名を入力してください"_qs});
    EXPECT_FALSE(dlg.bookModified());

    // An existing name (after trimming) focuses its line, adds nothing,
    // and still counts as a change.
    prompter.answerInput(u"  仕事 "_qs);
    dlg.cmdAdd->click();
    EXPECT_EQ(dlg.lines(), (QStringList{u"友人"_qs, u"仕事"_qs}));
    EXPECT_EQ(dlg.lstGroup->currentRow(), 1);
    EXPECT_TRUE(dlg.bookModified());

    // Names are compared exactly: letter case makes a new group.
    prompter.answerInput(u"Work"_qs);
    dlg.cmdAdd->click();
    prompter.answerInput(u"work"_qs);
    dlg.cmdAdd->click();
    EXPECT_EQ(dlg.lines(), (QStringList{u"友人"_qs, u"仕事"_qs, u"Work"_qs, u"work"_qs}));
    EXPECT_EQ(dlg.lstGroup->currentRow(), 3);
    EXPECT_EQ(dlg.lblStatus->text(), u"1 個のｸﾞﾙｰﾌﾟを選択中"_qs);
}

TEST(GroupEdit, RenamingAndMerging)
{
    AddressBook book = bookWith({u"A"_qs, u"B"_qs, u"C"_qs},
                                {{u"A"_qs}, {u"A"_qs, u"B"_qs}, {u"C"_qs}});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);

    // Into an existing name, answered No: nothing changes.
    prompter.answerInput(u"B"_qs);
    prompter.answer(Prompter::No);
    dlg.cmdEdit->click();
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].message.text, u"[B]は既に使用されています。統合しますか？"_qs);
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
    EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"B"_qs, u"C"_qs}));
    EXPECT_EQ(book.cards[1].groups, QStringList{u"A"_qs});
    EXPECT_FALSE(dlg.bookModified());

    // Answered Yes: one line "B", focused; every card that had A has B once.
    prompter.answerInput(u"B"_qs);
    prompter.answer(Prompter::Yes);
    dlg.cmdEdit->click();
    EXPECT_EQ(dlg.lines(), (QStringList{u"B"_qs, u"C"_qs}));
    EXPECT_EQ(dlg.lstGroup->currentItem()->text(), u"B"_qs);
    EXPECT_EQ(book.cards[1].groups, QStringList{u"B"_qs});
    EXPECT_EQ(book.cards[2].groups, QStringList{u"B"_qs});
    EXPECT_TRUE(dlg.bookModified());

    // A plain rename with Enter in the list; the default is the old name.
    selectRows(dlg, {1});
    prompter.clear();
    prompter.answerInput(u" D "_qs);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(dlg.lstGroup, &enter);
    EXPECT_EQ(prompter.inputPrompts, QStringList{u"ｸﾞﾙｰﾌﾟ名を編集してください"_qs});
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(dlg.lines(), (QStringList{u"B"_qs, u"D"_qs}));
    EXPECT_EQ(book.cards[3].groups, QStringList{u"D"_qs});
    // The group list itself follows when the window closes.
    EXPECT_EQ(book.groupList(), (QStringList{u"A"_qs, u"B"_qs, u"C"_qs}));
    dlg.show();
    dlg.cmdExit->click();
    EXPECT_EQ(book.groupList(), (QStringList{u"B"_qs, u"D"_qs}));
}

TEST(GroupEdit, DeletingSelectedGroups)
{
    AddressBook book = bookWith({u"X"_qs, u"Y"_qs, u"Z"_qs, u"W"_qs}, {{u"X"_qs, u"Z"_qs}});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);

    // X used, answered No: kept, and the walk goes on to Y and Z.
    selectRows(dlg, {0, 1, 2});
    prompter.answer(Prompter::No);
    prompter.answer(Prompter::Yes);
    dlg.cmdDel->click();
    EXPECT_EQ(prompter.texts(),
              (QStringList{u"[X]は使用されています。"_qs + CrLf
                               + u"使用しているカードのグループも同時に削除します。宜しいですか？"_qs,
                           u"[Z]は使用されています。"_qs + CrLf
                               + u"使用しているカードのグループも同時に削除します。宜しいですか？"_qs}));
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
    EXPECT_EQ(dlg.lines(), (QStringList{u"X"_qs, u"W"_qs}));
    EXPECT_EQ(book.cards[1].groups, QStringList{u"X"_qs});
    EXPECT_TRUE(dlg.bookModified());

    // The Delete key.
    selectRows(dlg, {1});
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(dlg.lstGroup, &del);
    EXPECT_EQ(dlg.lines(), QStringList{u"X"_qs});
}

TEST(GroupEdit, DeletingUnusedGroupsOneByOne)
{
    AddressBook book = bookWith({u"u1"_qs, u"used"_qs, u"u2"_qs, u"u3"_qs}, {{u"used"_qs}});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);

    // No for the first, "all" for the second: the third goes unasked.
    prompter.answerChoice(1);
    prompter.answerChoice(2);
    dlg.cmdAllDel->click();
    const QString tail = u"件あります。"_qs + CrLf + CrLf;
    EXPECT_EQ(prompter.choiceTexts(),
              (QStringList{u"使用されていないグループが 3"_qs + tail
                               + u"[u1]は削除しても宜しいですか？"_qs,
                           u"使用されていないグループが 3"_qs + tail
                               + u"[u2]は削除しても宜しいですか？"_qs}));
    EXPECT_EQ(prompter.choices[0].captions, fomMsgBox::standardCaptions());
    EXPECT_EQ(prompter.choices[0].captions.at(2), u"すべて削除(&A)"_qs);
    EXPECT_EQ(dlg.lines(), (QStringList{u"u1"_qs, u"used"_qs}));
    EXPECT_EQ(dlg.lstGroup->currentRow(), 1); // the new last line
    EXPECT_TRUE(dlg.bookModified());

    // Cancel and closing the box stop at once.
    for (int stop : {3, -1}) {
        prompter.clear();
        prompter.answerChoice(stop);
        dlg.cmdAllDel->click();
        EXPECT_EQ(prompter.choices.size(), 1);
        EXPECT_EQ(dlg.lines(), (QStringList{u"u1"_qs, u"used"_qs}));
    }

    prompter.clear();
    prompter.answerChoice(0);
    dlg.cmdAllDel->click();
    EXPECT_TRUE(prompter.choiceTexts().first().startsWith(u"使用されていないグループが 1件"_qs));
    EXPECT_EQ(dlg.lines(), QStringList{u"used"_qs});
    EXPECT_EQ(dlg.lstGroup->currentRow(), 0);

    prompter.clear();
    dlg.cmdAllDel->click();
    EXPECT_EQ(prompter.texts(), QStringList{u"使用されていないグループはありません。"_qs});
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::None);
    EXPECT_TRUE(prompter.choices.isEmpty());
}

TEST(GroupEdit, CountOfTheQuestionDropsOnlyWithRemovals)
{
    AddressBook book = bookWith({u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    prompter.answerChoice(0); // a removed: 3 left
    prompter.answerChoice(1); // b kept: still 3
    prompter.answerChoice(0); // c removed: 2
    prompter.answerChoice(1);
    dlg.cmdAllDel->click();
    QStringList counts;
    for (const QString &t : prompter.choiceTexts())
        counts << t.section(u' ', 1, 1).section(u'件', 0, 0);
    EXPECT_EQ(counts, (QStringList{u"4"_qs, u"3"_qs, u"3"_qs, u"2"_qs}));
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"d"_qs}));
}

TEST(GroupEdit, MovingKeepsSelectionWithTheText)
{
    AddressBook book = bookWith({u"a"_qs, u"b"_qs, u"c"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    selectRows(dlg, {0});
    dlg.cmdDown->click();
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"a"_qs, u"c"_qs}));
    EXPECT_EQ(dlg.lstGroup->currentRow(), 1);
    EXPECT_TRUE(dlg.lstGroup->item(1)->isSelected());
    EXPECT_FALSE(dlg.lstGroup->item(0)->isSelected());
    EXPECT_TRUE(dlg.bookModified());

    dlg.MoveDown();
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"c"_qs, u"a"_qs}));
    dlg.MoveDown();
    EXPECT_EQ(prompter.texts(), QStringList{u"一番後ろです。"_qs});
    dlg.MoveUp();
    dlg.MoveUp();
    EXPECT_EQ(dlg.lines(), (QStringList{u"a"_qs, u"b"_qs, u"c"_qs}));
    dlg.MoveUp();
    EXPECT_EQ(prompter.lastText(), u"一番先頭です。"_qs);
}

TEST(GroupEdit, SortingByCharacterCode)
{
    AddressBook book = bookWith({u"b"_qs, u"A"_qs, u"a"_qs});
    ScriptedPrompter prompter;
    {
        fomGroupEdit dlg(book, prompter);
        prompter.answer(Prompter::Yes);
        dlg.cmdOrderAsc->click();
        EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"a"_qs, u"b"_qs}));
        prompter.clear();
    }
    book.groupList() << u"B"_qs;
    fomGroupEdit dlg(book, prompter);

    prompter.answer(Prompter::No);
    dlg.cmdOrderAsc->click();
    EXPECT_EQ(prompter.texts(), QStringList{u"グループを昇順に並べ替えます。宜しいですか？"_qs});
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"A"_qs, u"a"_qs, u"B"_qs}));
    EXPECT_FALSE(dlg.bookModified());

    // By character code: every capital before every small letter.
    prompter.answer(Prompter::Yes);
    dlg.cmdOrderAsc->click();
    EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"B"_qs, u"a"_qs, u"b"_qs}));
    // Selection states stay with the positions.
    EXPECT_TRUE(dlg.lstGroup->item(0)->isSelected());

    prompter.clear();
    prompter.answer(Prompter::Yes);
    dlg.cmdOrderDesc->click();
    EXPECT_EQ(prompter.texts(), QStringList{u"グループを降順に並べ替えます。宜しいですか？"_qs});
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"a"_qs, u"B"_qs, u"A"_qs}));
    EXPECT_TRUE(dlg.bookModified());
}

TEST(GroupEdit, EveryWayOfClosingWritesTheListBack)
{
    ScriptedPrompter prompter;
    const QStringList groups{u"g1"_qs, u"g2"_qs};
    for (int way = 0; way < 3; ++way) {
        AddressBook book = bookWith(groups);
        fomGroupEdit dlg(book, prompter);
        dlg.show();
        book.groupList() = {u"stale"_qs};
        if (way == 0) {
            dlg.cmdExit->click();
        } else if (way == 1) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&dlg, &esc);
        } else {
            dlg.close();
        }
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(book.groupList(), groups) << way;
    }

    // Edit: -1 without changes, 0 after one.
    AddressBook book = bookWith(groups);
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(fomGroupEdit::Edit(book, prompter), -1);
    EXPECT_EQ(book.groupList(), groups);
    QTimer::singleShot(0, [] {
        auto *dlg = qobject_cast<fomGroupEdit *>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->cmdDown->click();
        dlg->cmdExit->click();
    });
    EXPECT_EQ(fomGroupEdit::Edit(book, prompter), 0);
    EXPECT_EQ(book.groupList(), (QStringList{u"g2"_qs, u"g1"_qs}));
}
