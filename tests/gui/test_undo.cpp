// Undo and redo in the main window: the Edit menu's first entries, their
// keys, and the list rebuilt after each.
#include <QMenu>
#include <QTest>

#include "mainwindowfixture.h"
#include "support/testutil.h"

namespace {

class WindowUndo : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        AddressBook b;
        for (const char *name : {"a", "b", "c", "d", "e"}) {
            Card c = person(QString::fromLatin1(name), QString::fromLatin1(name) + u"@x.jp"_qs);
            addCard(c, b, prompter, 45000.5);
        }
        openBook(b);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void selectRows(const QList<int> &rows)
    {
        QItemSelectionModel *sel = lstAdd()->selectionModel();
        sel->clearSelection();
        for (int r : rows)
            sel->select(window->listModel()->index(r), QItemSelectionModel::Select);
    }
};

} // namespace

TEST_F(WindowUndo, TheEditMenuAndThePopUpBeginWithUndoRedoAndASeparator)
{
    const QList<QAction *> entries = window->menu(u"mnuEdit"_qs)->actions();
    ASSERT_GE(entries.size(), 4);
    EXPECT_EQ(entries[0]->objectName(), u"mnuEditUndo"_qs);
    EXPECT_EQ(entries[0]->text(), u"元に戻す(&U)"_qs);
    EXPECT_EQ(entries[0]->shortcuts(), QList<QKeySequence>{QKeySequence(u"Ctrl+Z"_qs)});
    EXPECT_EQ(entries[1]->objectName(), u"mnuEditRedo"_qs);
    EXPECT_EQ(entries[1]->text(), u"やり直し(&R)"_qs);
    EXPECT_EQ(entries[1]->shortcuts(),
              (QList<QKeySequence>{QKeySequence(u"Ctrl+Y"_qs), QKeySequence(u"Ctrl+Shift+Z"_qs)}));
    EXPECT_TRUE(entries[2]->isSeparator());
    EXPECT_EQ(entries[3]->objectName(), u"mnuEditAdd"_qs);
    // Nothing to undo after a read.
    EXPECT_FALSE(entries[0]->isEnabled());
    EXPECT_FALSE(entries[1]->isEnabled());
}

TEST_F(WindowUndo, DeletingThreeCardsIsUndoneAndRedoneByKeysAndTheListFollows)
{
    const QStringList before = lines();
    selectRows({1, 2, 3});
    prompter.answer(Prompter::Yes);
    QTest::keyClick(lstAdd(), Qt::Key_Delete);
    const QStringList deleted = lines();
    ASSERT_EQ(deleted.size(), 2);
    QAction *undo = act("mnuEditUndo");
    QAction *redo = act("mnuEditRedo");
    ASSERT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->toolTip(), u"カードの削除 (3 枚)"_qs);
    EXPECT_EQ(undo->statusTip(), u"カードの削除 (3 枚)"_qs);
    undo->hover();
    EXPECT_EQ(lblStatus()->text(), u"カードの削除 (3 枚)"_qs);

    QTest::keyClick(lstAdd(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(lines(), before);
    EXPECT_EQ(lblInfo()->text(), u"5 枚のｶｰﾄﾞがあります"_qs);
    EXPECT_FALSE(window->document().isModified());
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(redo->toolTip(), u"カードの削除 (3 枚)"_qs);

    QTest::keyClick(lstAdd(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(lines(), deleted);
    EXPECT_TRUE(window->document().isModified());
    QTest::keyClick(lstAdd(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(lstAdd(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(lines(), deleted);
    EXPECT_EQ(lblInfo()->text(), u"2 枚のｶｰﾄﾞがあります"_qs);
}

TEST_F(WindowUndo, UndoDoesNothingWhileBusy)
{
    selectRows({0});
    prompter.answer(Prompter::Yes);
    act("mnuEditDelete")->trigger();
    window->BisyModeChange(true);
    EXPECT_FALSE(act("mnuEditUndo")->isEnabled());
    act("mnuEditUndo")->trigger();
    EXPECT_EQ(window->document().book().cardCount(), 5);
    window->BisyModeChange(false);
    EXPECT_TRUE(act("mnuEditUndo")->isEnabled());
    act("mnuEditUndo")->trigger();
    EXPECT_EQ(window->document().book().cardCount(), 6);
    EXPECT_EQ(lines().size(), 5);
}
