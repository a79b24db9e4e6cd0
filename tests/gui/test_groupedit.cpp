#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "cardedit/fomGroupEdit.h"
#include "cardedit/fomGroupSelect.h"
#include "common/guilistfont.h"
#include "common/fomMsgBox.h"
#include "pages.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace {

AddressBook bookWith(const QStringList &groups, const QList<QStringList> &memberships = {})
{
    AddressBook b;
    b.groupList() = groups;
    for (const QStringList &m : memberships) {
        Card c = Card::newCard();
        c.number = b.cardCounter++;
        c.groups = m;
        b.cards.append(c);
    }
    return b;
}

// Selects exactly the given rows; the first becomes the focused line.
void selectRows(fomGroupEdit &dlg, const QList<int> &rows)
{
    ::selectRows(page(dlg).lstGroup(), rows);
}

} // namespace

TEST(GroupEdit, StatusAndAdding)
{
    AddressBook book = bookWith({u"友人"_qs, u"仕事"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    const auto p = page(dlg);
    EXPECT_EQ(p.lblStatus()->text(), u"1 個のｸﾞﾙｰﾌﾟを選択中"_qs);
    ::selectRows(p.lstGroup(), {});
    EXPECT_EQ(p.lblStatus()->text(), u"2 個のｸﾞﾙｰﾌﾟ"_qs);
    EXPECT_FALSE(p.cmdDel()->isEnabled());

    // An existing name (after trimming) focuses its line, adds nothing and
    // still counts as a change.
    prompter.answerInput(u"  仕事 "_qs);
    click(p.cmdAdd());
    EXPECT_EQ(prompter.inputPrompts, QStringList{u"追加するｸﾞﾙｰﾌﾟ名を入力してください"_qs});
    EXPECT_EQ(dlg.lines(), (QStringList{u"友人"_qs, u"仕事"_qs}));
    EXPECT_EQ(p.lstGroup()->currentRow(), 1);
    EXPECT_TRUE(dlg.bookModified());
    EXPECT_TRUE(p.cmdDel()->isEnabled());
}

TEST(GroupEdit, RenamingAndMerging)
{
    AddressBook book = bookWith({u"A"_qs, u"B"_qs, u"C"_qs},
                                {{u"A"_qs}, {u"A"_qs, u"B"_qs}, {u"C"_qs}});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    const auto p = page(dlg);

    // Into an existing name, answered No: nothing changes.
    prompter.answerInput(u"B"_qs);
    prompter.answer(Prompter::No);
    click(p.cmdEdit());
    EXPECT_EQ(prompter.texts(), QStringList{u"[B]は既に使用されています。統合しますか？"_qs});
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
    EXPECT_EQ(book.cards[1].groups, QStringList{u"A"_qs});
    EXPECT_FALSE(dlg.bookModified());

    // Yes: one line "B", focused; every card that had A has B once.
    prompter.answerInput(u"B"_qs);
    prompter.answer(Prompter::Yes);
    click(p.cmdEdit());
    EXPECT_EQ(dlg.lines(), (QStringList{u"B"_qs, u"C"_qs}));
    EXPECT_EQ(p.lstGroup()->currentItem()->text(), u"B"_qs);
    EXPECT_EQ(book.cards[1].groups, QStringList{u"B"_qs});
    EXPECT_EQ(book.cards[2].groups, QStringList{u"B"_qs});

    // A plain rename with Enter in the list.
    selectRows(dlg, {1});
    prompter.answerInput(u" D "_qs);
    QTest::keyClick(p.lstGroup(), Qt::Key_Return);
    EXPECT_EQ(dlg.lines(), (QStringList{u"B"_qs, u"D"_qs}));
    EXPECT_EQ(book.cards[3].groups, QStringList{u"D"_qs});
}

TEST(GroupEdit, DeletingUsedGroupAnsweredNoGoesOn)
{
    AddressBook book = bookWith({u"X"_qs, u"Y"_qs, u"Z"_qs, u"W"_qs}, {{u"X"_qs, u"Z"_qs}});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    selectRows(dlg, {0, 1, 2});
    prompter.answer(Prompter::No);
    prompter.answer(Prompter::Yes);
    QTest::keyClick(page(dlg).lstGroup(), Qt::Key_Delete);
    const QString tail = u"]は使用されています。\r\n"
                         "使用しているカードのグループも同時に削除します。宜しいですか？"_qs;
    EXPECT_EQ(prompter.texts(), (QStringList{u"[X"_qs + tail, u"[Z"_qs + tail}));
    EXPECT_EQ(dlg.lines(), (QStringList{u"X"_qs, u"W"_qs}));
    EXPECT_EQ(book.cards[1].groups, QStringList{u"X"_qs});
}

TEST(GroupEdit, DeletingUnusedGroups)
{
    AddressBook book = bookWith({u"u1"_qs, u"used"_qs, u"u2"_qs, u"u3"_qs}, {{u"used"_qs}});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    const auto p = page(dlg);

    // Cancel and closing the box stop at once.
    for (int stop : {3, -1}) {
        prompter.answerChoice(stop);
        click(p.cmdAllDel());
    }
    EXPECT_EQ(prompter.choices.size(), 2);
    EXPECT_FALSE(dlg.bookModified());

    // No for the first, "all" for the second: the third goes unasked.
    prompter.clear();
    prompter.answerChoice(1);
    prompter.answerChoice(2);
    click(p.cmdAllDel());
    const QString head = u"使用されていないグループが 3件あります。\r\n\r\n"_qs;
    EXPECT_EQ(prompter.choiceTexts(),
              (QStringList{head + u"[u1]は削除しても宜しいですか？"_qs,
                           head + u"[u2]は削除しても宜しいですか？"_qs}));
    EXPECT_EQ(prompter.choices[0].captions,
              (QStringList{u"はい(&Y)"_qs, u"いいえ(&N)"_qs, u"すべて削除(&A)"_qs, u"ｷｬﾝｾﾙ"_qs}));
    EXPECT_EQ(dlg.lines(), (QStringList{u"u1"_qs, u"used"_qs}));
    EXPECT_EQ(p.lstGroup()->currentRow(), 1); // the new last line
    EXPECT_TRUE(dlg.bookModified());

    delete p.lstGroup()->takeItem(0); // the taken item is ours
    prompter.clear();
    click(p.cmdAllDel());
    EXPECT_EQ(prompter.texts(), QStringList{u"使用されていないグループはありません。"_qs});
}

TEST(GroupEdit, CountInTheQuestionDropsOnlyWithRemovals)
{
    AddressBook book = bookWith({u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    for (int answer : {0, 1, 0, 1}) // yes, no, yes, no
        prompter.answerChoice(answer);
    click(page(dlg).cmdAllDel());
    QStringList counts;
    for (const QString &t : prompter.choiceTexts())
        counts << t.section(u' ', 1, 1).section(u'件', 0, 0);
    EXPECT_EQ(counts, (QStringList{u"4"_qs, u"3"_qs, u"3"_qs, u"2"_qs}));
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"d"_qs}));
}

TEST(GroupEdit, MovingAndSorting)
{
    AddressBook book = bookWith({u"b"_qs, u"A"_qs, u"a"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit dlg(book, prompter);
    const auto p = page(dlg);
    // The selection travels with the text.
    click(p.cmdDown());
    EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"b"_qs, u"a"_qs}));
    EXPECT_TRUE(p.lstGroup()->item(1)->isSelected());
    EXPECT_FALSE(p.lstGroup()->item(0)->isSelected());
    dlg.MoveDown();
    dlg.MoveDown();
    EXPECT_EQ(prompter.texts(), QStringList{u"一番後ろです。"_qs});

    prompter.answer(Prompter::Yes);
    click(p.cmdOrderAsc());
    EXPECT_EQ(prompter.asked.last().message.text,
              u"グループを昇順に並べ替えます。宜しいですか？"_qs);
    EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"a"_qs, u"b"_qs}));

    // By character code: every capital before every small letter.
    p.lstGroup()->addItem(u"B"_qs);
    prompter.answer(Prompter::Yes);
    click(p.cmdOrderAsc());
    EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"B"_qs, u"a"_qs, u"b"_qs}));
    prompter.answer(Prompter::No);
    click(p.cmdOrderDesc());
    EXPECT_EQ(dlg.lines(), (QStringList{u"A"_qs, u"B"_qs, u"a"_qs, u"b"_qs}));
    prompter.answer(Prompter::Yes);
    click(p.cmdOrderDesc());
    EXPECT_EQ(dlg.lines(), (QStringList{u"b"_qs, u"a"_qs, u"B"_qs, u"A"_qs}));
}

TEST(GroupEdit, EveryWayOfClosingWritesTheListBack)
{
    ScriptedPrompter prompter;
    const QStringList groups{u"g1"_qs, u"g2"_qs};
    for (int way = 0; way < 3; ++way) {
        AddressBook book = bookWith(groups);
        fomGroupEdit dlg(book, prompter);
        const auto p = page(dlg);
        dlg.show();
        book.groupList() = {u"stale"_qs};
        if (way == 0) {
            click(p.cmdExit());
        } else if (way == 1) {
            QTest::keyClick(&dlg, Qt::Key_Escape);
        } else {
            dlg.close();
        }
        EXPECT_EQ(book.groupList(), groups) << way;
    }

    // Edit: -1 without changes, 0 after one.
    AddressBook book = bookWith(groups);
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(fomGroupEdit::Edit(book, prompter), -1);
    QTimer::singleShot(0, [] {
        const auto p = page(qobject_cast<fomGroupEdit *>(QApplication::activeModalWidget()));
        click(p.cmdDown());
        click(p.cmdExit());
    });
    EXPECT_EQ(fomGroupEdit::Edit(book, prompter), 0);
    EXPECT_EQ(book.groupList(), (QStringList{u"g2"_qs, u"g1"_qs}));
}

TEST(GroupLists, UseTheListFont)
{
    AddressBook book = bookWith({u"友人"_qs, u"仕事"_qs});
    ScriptedPrompter prompter;
    fomGroupEdit edit(book, prompter);
    fomGroupSelect select(book.groupList(), {u"友人"_qs});
    for (const QListWidget *list : {page(edit).lstGroup(), page(select).lstGroup()}) {
        EXPECT_EQ(list->font().pixelSize(), listFont().pixelSize());
        EXPECT_EQ(list->font().family(), listFont().family());
    }
}
