#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <sys/stat.h>

#include "mainwindow/menutable.h"
#include "mainwindowfixture.h"
#include "pages.h"
#include "support/testutil.h"

TEST_F(MainWindowTest, StartsWithANewEmptyBook)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brindle （ 新規アドレス帳 ）"));
    EXPECT_FALSE(act("mnuFileSave")->isEnabled());
    EXPECT_FALSE(toolButton(u"cmdAddSave"_qs)->isEnabled());
    EXPECT_EQ(lblSelCount()->text(), QStringLiteral("0 件を表示中"));
    EXPECT_EQ(lblInfo()->text(), QStringLiteral("0 枚のｶｰﾄﾞがあります"));
    EXPECT_FALSE(act("mnuFileHistoryLine")->isVisible());
    EXPECT_FALSE(window->document().isBusy());
}

TEST_F(MainWindowTest, OpenShowsTheBookAndRemembersTheFile)
{
    const QString path = generated(u"Address.ndb"_qs, 60);
    prompter.answerFile(path);
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brindle - Address.ndb"));
    EXPECT_EQ(window->document().fileName(), path);
    EXPECT_FALSE(window->document().isModified());
    EXPECT_TRUE(act("mnuFileSave")->isEnabled());
    EXPECT_EQ(lblInfo()->text(), QStringLiteral("60 枚のｶｰﾄﾞがあります"));
    EXPECT_GE(window->listModel()->rowCount(), 60);
    EXPECT_EQ(shell->settings.lastFileName[0], path);
    EXPECT_EQ(shell->settings.fileHistory[0], path);
    EXPECT_TRUE(historyEntry(0)->isVisible());
    EXPECT_TRUE(historyEntry(0)->text().startsWith(u"&1 "_qs));
    EXPECT_TRUE(act("mnuFileHistoryLine")->isVisible());
    // The generator plants bad cards: their lines carry a mark.
    EXPECT_TRUE(lines().join(u'\n').contains(u'×'));
}

TEST_F(MainWindowTest, SortOrdersReverseAndTheCurrentCardIsKept)
{
    AddressBook b;
    for (auto [name, id] : {std::pair{u"b"_qs, u"z@c.jp"_qs}, {u"a"_qs, u"y@b.jp"_qs},
                            {u"c"_qs, u"x@a.jp"_qs}}) {
        Card c = person(name, id);
        ScriptedPrompter quiet;
        addCard(c, b, quiet);
    }
    prompter.answerFile(writeBook(u"three.ndb"_qs, b));
    act("mnuFileOpen")->trigger();
    ASSERT_EQ(window->listModel()->rowCount(), 3);
    EXPECT_TRUE(lines()[0].startsWith(u"a "_qs));
    // Select card "c" (number 3), then sort by ID: it is current again.
    lstAdd()->setCurrentIndex(window->listModel()->index(2));
    ASSERT_EQ(currentCard(), 3);
    optSortOrder(SortById)->setChecked(true);
    EXPECT_TRUE(act("mnuViewSortOrder1")->isChecked());
    EXPECT_FALSE(act("mnuViewSortOrder0")->isChecked());
    EXPECT_TRUE(lines()[0].startsWith(u"c "_qs)); // x@a.jp
    EXPECT_EQ(currentCard(), 3);
    const QStringList ascending = lines();
    act("mnuViewSortReverce")->trigger();
    EXPECT_TRUE(chkSortReverce()->isChecked());
    QStringList reversed = lines();
    std::reverse(reversed.begin(), reversed.end());
    EXPECT_EQ(reversed, ascending);
    // The menu entry of the order already chosen changes nothing.
    act("mnuViewSortOrder1")->trigger();
    EXPECT_TRUE(act("mnuViewSortOrder1")->isChecked());
    EXPECT_TRUE(optSortOrder(1)->isChecked());
}

TEST_F(MainWindowTest, SearchBarRearrangesAndFilters)
{
    AddressBook b;
    registerGroup(u"友人"_qs, b);
    for (auto [name, id] : {std::pair{u"山田"_qs, u"yamada@a.jp"_qs}, {u"佐藤"_qs, u"sato@b.jp"_qs}}) {
        Card c = person(name, id);
        ScriptedPrompter quiet;
        addCard(c, b, quiet);
    }
    prompter.answerFile(writeBook(u"two.ndb"_qs, b));
    act("mnuFileOpen")->trigger();

    chooseEntry(cboSearchList(), 4);
    EXPECT_EQ(lblSearchGa()->text(), QStringLiteral("が"));
    EXPECT_FALSE(cboSearchWord()->isHidden());
    ASSERT_EQ(cboSearchWord()->count(), 2);
    EXPECT_EQ(cboSearchWord()->itemText(1), u"友人"_qs);

    chooseEntry(cboSearchList(), 3);
    cboSearchWord()->setEditText(u"佐藤"_qs);
    cmdSearch()->click();
    EXPECT_EQ(window->document().displayList(), QList<qint32>{2});
    EXPECT_EQ(lblSelCount()->text(), QStringLiteral("1 件を表示中"));

    chooseEntry(cboSearchList(), 0);
    EXPECT_EQ(lblSearchGa()->text(), QStringLiteral("を"));
    EXPECT_TRUE(cboSearchWord()->isHidden());
}

TEST_F(MainWindowTest, ReplacingAModifiedBookAsksFirst)
{
    const QString first = generated(u"a.ndb"_qs, 5);
    const QString second = generated(u"b.ndb"_qs, 8, 2);
    prompter.answerFile(first);
    act("mnuFileOpen")->trigger();
    window->document().setModified(true);

    prompter.answerFile(second);
    prompter.answer(Prompter::No);
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("編集中のｱﾄﾞﾚｽ帳が失われますが、宜しいですか？"));
    EXPECT_EQ(prompter.asked.last().message.defaultButton, Prompter::No);
    EXPECT_EQ(window->document().fileName(), first);

    prompter.answerFile(second);
    prompter.answer(Prompter::Yes);
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(window->document().fileName(), second);
    EXPECT_EQ(window->document().book().cardCount() - 1, 8);
}

TEST_F(MainWindowTest, AppendAsksAboutSharedIdsWithTheirCount)
{
    AddressBook a, b;
    ScriptedPrompter quiet;
    for (int i = 0; i < 4; ++i) {
        Card c = person(u"n%1"_qs.arg(i), u"id%1@x.jp"_qs.arg(i));
        addCard(c, a, quiet);
    }
    for (int i = 1; i < 6; ++i) {
        Card c = person(u"m%1"_qs.arg(i), u"ID%1@X.JP"_qs.arg(i)); // 1..3 shared
        addCard(c, b, quiet);
    }
    prompter.answerFile(writeBook(u"a.ndb"_qs, a));
    act("mnuFileOpen")->trigger();
    const QString other = writeBook(u"b.ndb"_qs, b);

    prompter.answerFile(other);
    prompter.answer(Prompter::Cancel);
    act("mnuFileAppend")->trigger();
    EXPECT_EQ(prompter.lastText(),
              QStringLiteral("3 枚のカードで ID が重複します。これらのカードを統合しますか？"));
    EXPECT_EQ(window->document().book().cardCount() - 1, 4);
    EXPECT_FALSE(window->document().isModified());

    prompter.answerFile(other);
    prompter.answer(Prompter::Ok);
    act("mnuFileAppend")->trigger();
    EXPECT_EQ(window->document().book().cardCount() - 1, 6); // 4 + 2 new
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brindle - a.ndb"));
}

TEST_F(MainWindowTest, SaveAndSaveAsFollowTheStateTable)
{
    // A new book saved with "save as": the title shows the file, "save" stays off.
    const QString path = dir.filePath(u"new.ndb"_qs);
    prompter.answerFile(path);
    act("mnuFileSaveAs")->trigger();
    EXPECT_EQ(readAll(path).size(), 32);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brindle - new.ndb"));
    EXPECT_FALSE(act("mnuFileSave")->isEnabled());

    // Writing a list text file counts as saving.
    prompter.answerFile(path);
    act("mnuFileOpen")->trigger();
    window->document().setModified(true);
    const QString list = dir.filePath(u"list.txt"_qs);
    prompter.answerFile(list);
    act("mnuFileWriteList")->trigger();
    EXPECT_FALSE(window->document().isModified());
    EXPECT_EQ(window->document().fileName(), path);

    // Save rewrites the open file without asking.
    window->document().setModified(true);
    prompter.clear();
    act("mnuFileSave")->trigger();
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_FALSE(window->document().isModified());
}

// Saving writes "?" for what the file cannot hold, then says how many
// characters and in which cards.
TEST_F(MainWindowTest, SaveTellsWhichCardsLostCharacters)
{
    AddressBook book = AddressBook::newBook();
    book.cards << person(u"鈴木"_qs, u"b@example.jp"_qs);
    book.cards[1].number = 2;
    book.cardCounter = 3;
    openBook(book);
    window->document().editCard(2, [](AddressBook &b, qint32 number) {
        b.cards[1].names = {u"\U00020BB7田"_qs};
        b.cards[1].memo = u"caf\u00E9"_qs;
        return number;
    });
    prompter.clear();
    act("mnuFileSave")->trigger();
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.asked[0].message.text,
              u"保存できない文字を「?」に置き換えました: 2 文字 (カード番号 2 \U00020BB7田)"_qs);
    EXPECT_EQ(prompter.asked[0].message.icon, Prompter::Icon::Warning);
    EXPECT_FALSE(window->document().isModified()); // written all the same
}

TEST_F(MainWindowTest, AFailedWriteKeepsTheBookModified)
{
    prompter.answerFile(generated(u"a.ndb"_qs, 3));
    act("mnuFileOpen")->trigger();
    window->document().setModified(true);
    prompter.answerFile(dir.filePath(u"missing/folder/x.ndb"_qs));
    act("mnuFileSaveAs")->trigger();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("パスが見つかりません。"));
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brindle - a.ndb"));
}

// A book opened through a symbolic link is saved into the file the link
// points at: the link stays, the window keeps the name the user chose, and
// the old content goes to the trash. Exports write through links the same
// way; what is not a regular file is refused.
TEST_F(MainWindowTest, SavingThroughALinkKeepsTheChosenPath)
{
    const QString real = generated(u"real.ndb"_qs, 3);
    const QByteArray old = readAll(real);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"work"_qs));
    const QString link = dir.filePath(u"work/Address.ndb"_qs);
    ASSERT_TRUE(QFile::link(real, link));
    shell->settings.trashFlag = true;
    prompter.answerFile(link);
    act("mnuFileOpen")->trigger();
    window->document().setModified(true);

    act("mnuFileSave")->trigger();
    EXPECT_FALSE(window->document().isModified());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), real);
    EXPECT_FALSE(readAll(real).isEmpty());
    EXPECT_EQ(readAll(dir.filePath(u"data/Trash/files/real.ndb"_qs)), old);
    EXPECT_EQ(window->document().fileName(), link);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Brindle - Address.ndb"));
    EXPECT_EQ(shell->settings.fileHistory[0], link);

    const QString list = dir.filePath(u"list.txt"_qs);
    const QString listLink = dir.filePath(u"work/list.txt"_qs);
    ASSERT_TRUE(writeAll(list, "old list"));
    ASSERT_TRUE(QFile::link(list, listLink));
    prompter.answerFile(listLink);
    prompter.answer(Prompter::Yes); // replace the existing file
    act("mnuFileWriteList")->trigger();
    EXPECT_TRUE(QFileInfo(listLink).isSymLink());
    EXPECT_TRUE(readAll(list).startsWith(QByteArray(60, '=')));
    EXPECT_EQ(window->document().fileName(), link);

    const QString fifo = dir.filePath(u"fifo.ndb"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    window->document().setModified(true);
    prompter.answerFile(fifo);
    act("mnuFileSaveAs")->trigger();
    EXPECT_EQ(prompter.lastText(), "[" + fifo + "]は通常のファイルではありません。");
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(window->document().fileName(), link);
}

TEST_F(MainWindowTest, RecentFilesMoveToTheTop)
{
    const QString a = generated(u"a.ndb"_qs, 2);
    const QString b = generated(u"b.ndb"_qs, 2, 3);
    prompter.answerFile(a);
    act("mnuFileOpen")->trigger();
    prompter.answerFile(b);
    act("mnuFileOpen")->trigger();
    EXPECT_TRUE(historyEntry(0)->text().endsWith(u"b.ndb"_qs));
    EXPECT_TRUE(historyEntry(1)->text().startsWith(u"&2 "_qs));
    historyEntry(1)->trigger();
    EXPECT_EQ(window->document().fileName(), a);
    EXPECT_TRUE(historyEntry(0)->text().endsWith(u"a.ndb"_qs));
    EXPECT_FALSE(historyEntry(2)->isVisible());
}

TEST_F(MainWindowTest, BusyModeRefusesCommandsAndCloseAsksToStop)
{
    window->BisyModeChange(true);
    EXPECT_FALSE(picToolBar()->isEnabled());
    EXPECT_FALSE(frmSortOrder()->isEnabled());
    EXPECT_FALSE(act("mnuViewSort")->isEnabled());
    act("mnuFileOpen")->trigger();
    EXPECT_TRUE(prompter.fileRequests.isEmpty());

    prompter.answer(Prompter::Yes);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompter.lastText(), QStringLiteral("処理中です。中断しますか？"));
    EXPECT_TRUE(window->document().interruptRequested());
    window->BisyModeChange(false);
    EXPECT_FALSE(window->document().interruptRequested());
}

TEST_F(MainWindowTest, FileInformationIsShownInTheReportWindow)
{
    prompter.answerFile(generated(u"info.ndb"_qs, 10));
    act("mnuFileOpen")->trigger();
    QString shown;
    QTimer::singleShot(0, [&] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        shown = w->windowTitle() + u'\n' + w->findChild<QWidget *>(u"txtReport"_qs)->property("plainText").toString();
        w->close();
    });
    act("mnuFileInfo")->trigger();
    EXPECT_TRUE(shown.startsWith(u"ファイル情報\n"_qs));
    EXPECT_TRUE(shown.contains(u"全カードの枚数                ：10 枚"_qs));
}

TEST_F(MainWindowTest, EveryMenuEntryAndToolButtonIsFoundByName)
{
    fomBrindle &w = *window;
    for (int i = 0; i < MainMenuEntryCount; ++i) {
        const QString name = QString::fromLatin1(MainMenuEntries[i].name);
        if (name.endsWith(u'*'))
            continue;
        QAction *a = w.findChild<QAction *>(name);
        if (!a && w.findChild<QMenu *>(name))
            a = w.findChild<QMenu *>(name)->menuAction();
        ASSERT_NE(a, nullptr) << name.toStdString();
        if (QString::fromUtf8(MainMenuEntries[i].caption) != u"-"_qs) {
            EXPECT_EQ(a->text(), QString::fromUtf8(MainMenuEntries[i].caption));
        }
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(w.findChild<QAction *>(QStringLiteral("mnuFileHistory%1").arg(i)), nullptr);
    // Toolbar buttons in tab order with their tooltips.
    QList<QToolButton *> buttons = picToolBar()->findChildren<QToolButton *>();
    ASSERT_EQ(buttons.size(), ToolButtonEntryCount);
    for (int i = 0; i < ToolButtonEntryCount; ++i) {
        EXPECT_EQ(buttons[i]->objectName(), QString::fromLatin1(ToolButtonEntries[i].name));
        EXPECT_EQ(buttons[i]->toolTip(), QString::fromUtf8(ToolButtonEntries[i].toolTip));
    }
    EXPECT_EQ(w.menuBar()->actions().size(), 6);
}

TEST_F(MainWindowTest, OptionsAndEudoraExportOpenTheirDialogs)
{
    // The options dialog, cancelled: nothing changes.
    const Settings before = shell->settings;
    QTimer::singleShot(0, [] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), u"fomSetup"_qs);
        w->close();
    });
    act("mnuOptionSetup")->trigger();
    EXPECT_EQ(shell->settings, before);

    // The Eudora export asks for its mode; cancel writes nothing.
    prompter.answerFile(generated(u"e.ndb"_qs, 3));
    act("mnuFileOpen")->trigger();
    const QString out = dir.filePath(u"nick.txt"_qs);
    prompter.answerFile(out);
    QTimer::singleShot(0, [] {
        QWidget *w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->objectName(), u"fomEudoraPut"_qs);
        w->close();
    });
    act("mnuFileWriteEudora")->trigger();
    EXPECT_FALSE(QFile::exists(out));
}

// While Corvid runs its live address book stays closed (without a home
// folder in the settings any "address.nd?" counts); once it has gone the same
// file opens.
TEST_F(MainWindowTest, OpenRefusesTheLiveBookWhileCorvidRuns)
{
    const QString live = generated(u"Address.ndb"_qs, 3);
    corvid->running = true;
    prompter.answerFile(live);
    act("mnuFileOpen")->trigger();
    ASSERT_EQ(prompter.texts().size(), 1);
    EXPECT_TRUE(prompter.lastText().startsWith(u"現在 Corvid が起動しているため"_qs));
    EXPECT_TRUE(window->document().fileName().isEmpty());

    corvid->running = false;
    prompter.clear();
    prompter.answerFile(live);
    act("mnuFileOpen")->trigger();
    EXPECT_EQ(window->document().fileName(), live);
}
