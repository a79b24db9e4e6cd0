#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "cardedit/fomCardEdit.h"
#include "cardedit/fomGroupEdit.h"
#include "common/cp932.h"
#include "common/fomReport.h"
#include "formats/fomCsvGet.h"
#include "formats/fomCsvPut.h"
#include "mainwindowfixture.h"
#include "modaldriver.h"
#include "pages.h"
#include "shell/filekind.h"
#include "support/testutil.h"
#include "tools/fomCompAddress.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"
#include "tools/fomRestore.h"

namespace {

class CardCommands : public MainWindowTest
{
protected:
    // Cards numbered 1.. in order, each with its names and one ID; every
    // card updated at the same moment.
    void openCards(const QList<QStringList> &names)
    {
        AddressBook b;
        ScriptedPrompter quiet;
        for (int i = 0; i < names.size(); ++i) {
            Card c = person(QString(), u"id%1@x.jp"_qs.arg(i + 1));
            c.names = names[i];
            addCard(c, b, quiet, 45000.5);
        }
        openBook(b);
    }
    void selectRows(const QList<int> &rows)
    {
        QItemSelectionModel *sel = lstAdd()->selectionModel();
        sel->clearSelection();
        for (int r : rows)
            sel->select(window->listModel()->index(r), QItemSelectionModel::Select);
        if (!rows.isEmpty())
            sel->setCurrentIndex(window->listModel()->index(rows.first()),
                                 QItemSelectionModel::NoUpdate);
    }
    QList<int> selectedRows() const
    {
        QList<int> out;
        for (const QModelIndex &i : lstAdd()->selectionModel()->selectedRows())
            out << i.row();
        std::sort(out.begin(), out.end());
        return out;
    }
    QStringList bookNames() const
    {
        QStringList out;
        const AddressBook &b = window->document().book();
        for (qsizetype i = 1; i < b.cardCount(); ++i)
            out << b.cards[i].names.join(u',');
        return out;
    }
    QToolButton *tool(const char *name) const
    {
        return toolButton(QString::fromLatin1(name));
    }
};

} // namespace

TEST_F(CardCommands, DeleteAsksWithLinesAndCardsAndKeepsTheOtherLines)
{
    openCards({{u"a1"_qs, u"a2"_qs}, {u"b"_qs}, {u"c"_qs}, {u"d"_qs}});
    ASSERT_EQ(lineCards(), (QList<qint32>{1, 1, 2, 3, 4}));
    // Reverse order makes the kept lines' order easy to tell from a rebuild.
    chkSortReverce()->setChecked(true);
    ASSERT_EQ(lineCards(), (QList<qint32>{4, 3, 2, 1, 1}));
    selectRows({2, 3, 4}); // card 2 and both lines of card 1

    prompter.answer(Prompter::No);
    tool("cmdCardDelete")->click();
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("選択された 3 項目（2 枚のカード）を削除して宜しいですか？"));
    EXPECT_EQ(prompter.asked[0].message.buttons,
              Prompter::Buttons(Prompter::Yes) | Prompter::No);
    EXPECT_EQ(prompter.asked[0].message.defaultButton, Prompter::No);
    EXPECT_EQ(window->document().book().cardCount(), 5);
    EXPECT_FALSE(window->document().isModified());

    prompter.answer(Prompter::Yes);
    act("mnuEditDelete")->trigger();
    EXPECT_EQ(bookNames(), (QStringList{u"c"_qs, u"d"_qs}));
    EXPECT_EQ(lineCards(), (QList<qint32>{4, 3}));
    EXPECT_EQ(window->document().displayList(), (QList<qint32>{3, 4}));
    EXPECT_EQ(currentCard(), 4);
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_EQ(lblSelCount()->text(), QStringLiteral("2 件を表示中"));
    EXPECT_EQ(lblInfo()->text(), QStringLiteral("2 枚のｶｰﾄﾞがあります"));
    EXPECT_TRUE(window->document().isModified());

    // Nothing selected: no question.
    prompter.clear();
    act("mnuEditDelete")->trigger();
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(CardCommands, CombineKeepsTheLatestUpdatedCardOrTheLowestNumber)
{
    openCards({{u"a"_qs}, {u"b"_qs}, {u"c"_qs}, {u"d"_qs}});
    // Equal update times: the lowest number is the target.
    selectRows({1, 2, 3});
    prompter.answer(Prompter::Yes);
    tool("cmdCardCombine")->click();
    EXPECT_EQ(prompter.lastText(), QStringLiteral("選択された 3 項目（3 枚のカード）を統合しますか？"));
    EXPECT_EQ(prompter.asked.last().message.defaultButton, Prompter::No);
    ASSERT_EQ(window->document().book().cardCount(), 3);
    const Card &merged = window->document().book().cards[2];
    EXPECT_EQ(merged.number, 2);
    EXPECT_EQ(merged.names, (QStringList{u"b"_qs, u"c"_qs, u"d"_qs}));
    EXPECT_EQ(merged.ids, (QStringList{u"id2@x.jp"_qs, u"id3@x.jp"_qs, u"id4@x.jp"_qs}));
    EXPECT_EQ(window->document().displayList(), (QList<qint32>{1, 2}));
    EXPECT_EQ(currentCard(), 2);
    EXPECT_EQ(selectedRows().size(), 1);
    EXPECT_TRUE(window->document().isModified());
}

TEST_F(CardCommands, CombineTargetIsTheLatestUpdateAndNeedsTwoCards)
{
    AddressBook b;
    ScriptedPrompter quiet;
    for (auto [name, updated] : {std::pair{u"a"_qs, 45000.0}, {u"b"_qs, 45001.0},
                                 {u"c"_qs, 45000.5}}) {
        Card c = person(name, name + u"@x.jp"_qs);
        c.updated = updated;
        addCard(c, b, quiet);
    }
    Card twoNames = person(u"d1"_qs, u"d@x.jp"_qs);
    twoNames.names << u"d2"_qs;
    addCard(twoNames, b, quiet);
    openBook(b);

    // Two lines of one card: no question, nothing changes.
    selectRows({3, 4});
    ASSERT_EQ(lineCards().mid(3), (QList<qint32>{4, 4}));
    act("mnuEditCombine")->trigger();
    EXPECT_TRUE(prompter.asked.isEmpty());

    selectRows({0, 1, 2});
    prompter.answer(Prompter::No);
    act("mnuEditCombine")->trigger();
    EXPECT_EQ(window->document().book().cardCount(), 5);
    EXPECT_FALSE(window->document().isModified());

    prompter.answer(Prompter::Yes);
    act("mnuEditCombine")->trigger();
    ASSERT_EQ(window->document().book().cardCount(), 3);
    EXPECT_EQ(window->document().book().cards[1].number, 2);
    EXPECT_EQ(window->document().book().cards[1].names,
              (QStringList{u"b"_qs, u"a"_qs, u"c"_qs}));
    EXPECT_EQ(currentCard(), 2);
}

TEST_F(CardCommands, SelectAllAndInvertWorkEvenWhileBusy)
{
    openCards({{u"a"_qs}, {u"b"_qs}, {u"c"_qs}, {u"d"_qs}});
    selectRows({1});
    act("mnuEditRevSel")->trigger();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 2, 3}));
    EXPECT_EQ(lblSelCount()->text(), QStringLiteral("3 件を選択"));
    EXPECT_TRUE(act("mnuEditCombine")->isEnabled());
    selectRows({});
    act("mnuEditRevSel")->trigger();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 1, 2, 3}));

    selectRows({2});
    window->BisyModeChange(true);
    act("mnuEditAllSel")->trigger();
    EXPECT_EQ(selectedRows(), (QList<int>{0, 1, 2, 3}));
    EXPECT_EQ(lblSelCount()->text(), QStringLiteral("4 件を選択"));
    // The card commands wait for the end of busy mode.
    act("mnuEditDelete")->trigger();
    act("mnuEditCombine")->trigger();
    EXPECT_TRUE(prompter.asked.isEmpty());
    window->BisyModeChange(false);

    // An empty list: inverting selects nothing and disables the commands.
    AddressBook empty;
    openBook(empty, u"empty.ndb"_qs);
    act("mnuEditRevSel")->trigger();
    EXPECT_TRUE(selectedRows().isEmpty());
    EXPECT_FALSE(act("mnuEditDelete")->isEnabled());
}

TEST_F(CardCommands, KeysAndTheRightButtonInTheList)
{
    openCards({{u"apple"_qs}, {u"banana"_qs}, {u"cherry"_qs}});
    window->show();
    lstAdd()->setFocus();
    lstAdd()->setCurrentIndex(window->listModel()->index(0));

    QTest::keyClick(lstAdd(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(currentCard(), 1);
    QTest::keyClick(lstAdd(), Qt::Key_C);
    EXPECT_EQ(currentCard(), 3);

    // Delete asks about the selection.
    prompter.answer(Prompter::No);
    QTest::keyClick(lstAdd(), Qt::Key_Delete);
    EXPECT_EQ(prompter.lastText(), QStringLiteral("選択された 1 項目（1 枚のカード）を削除して宜しいですか？"));
    // Ctrl+Delete is no delete.
    prompter.clear();
    QTest::keyClick(lstAdd(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(prompter.asked.isEmpty());

    // Enter edits the card of the current line.
    qint32 edited = -1;
    whenModal<fomCardEdit>([&](fomCardEdit *dlg) {
        edited = dlg->workingCard().number;
        click(page(dlg).cmdCancel());
    });
    QTest::keyClick(lstAdd(), Qt::Key_Return);
    EXPECT_EQ(edited, 3);
    EXPECT_FALSE(window->document().isModified());

    // The right button pops up the Edit menu.
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5),
                                lstAdd()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(lstAdd()->viewport(), &menuEvent);
    QMenu *edit = window->menu(u"mnuEdit"_qs);
    EXPECT_TRUE(edit->isVisible());
    edit->hide();
}

TEST_F(CardCommands, EditAndCreateThroughTheEditor)
{
    openCards({{u"a"_qs}, {u"b"_qs}, {u"c"_qs}});
    lstAdd()->setCurrentIndex(window->listModel()->index(0));

    // Cancelled: nothing changes.
    whenModal<fomCardEdit>([](fomCardEdit *dlg) { click(page(dlg).cmdCancel()); });
    act("mnuEditEdit")->trigger();
    EXPECT_FALSE(window->document().isModified());
    EXPECT_EQ(lineCards(), (QList<qint32>{1, 2, 3}));

    // Saved: the card's line moves to the end until the next rebuild.
    whenModal<fomCardEdit>([](fomCardEdit *dlg) {
        typeText(page(dlg).txtTel(), u"03-1234-5678"_qs);
        click(page(dlg).cmdExit());
    });
    // A double click: the first press picks the line, the second opens it.
    const QPoint line = lstAdd()->visualRect(window->listModel()->index(0)).center();
    QTest::mouseClick(lstAdd()->viewport(), Qt::LeftButton, {}, line);
    QTest::mouseDClick(lstAdd()->viewport(), Qt::LeftButton, {}, line);
    EXPECT_EQ(window->document().book().cards[1].telephone, u"03-1234-5678"_qs);
    EXPECT_EQ(lineCards(), (QList<qint32>{2, 3, 1}));
    EXPECT_EQ(currentCard(), 1);
    EXPECT_TRUE(window->document().isModified());

    // A search for "b" shows card 2 alone; a new card is shown as well.
    chooseEntry(cboSearchList(), 3);
    cboSearchWord()->setEditText(u"b"_qs);
    cmdSearch()->click();
    ASSERT_EQ(lineCards(), QList<qint32>{2});
    whenModal<fomCardEdit>([this](fomCardEdit *dlg) {
        prompter.answerInput(u"new@x.jp"_qs);
        click(page(dlg).cmdIDAdd());
        prompter.answerInput(u"zz"_qs);
        click(page(dlg).cboNameAdd());
        click(page(dlg).cmdExit());
    });
    tool("cmdCardNew")->click();
    ASSERT_EQ(window->document().book().cardCount(), 5);
    EXPECT_EQ(window->document().book().cards[4].number, 4);
    EXPECT_EQ(window->document().displayList(), (QList<qint32>{2, 4}));
    EXPECT_EQ(lineCards(), (QList<qint32>{2, 4}));
    EXPECT_EQ(currentCard(), 4);
    EXPECT_EQ(lblInfo()->text(), QStringLiteral("4 枚のｶｰﾄﾞがあります"));
}

TEST_F(CardCommands, DroppedFilesOfKnownKindsAreAppendedInOrder)
{
    AddressBook first, second;
    ScriptedPrompter quiet;
    for (const QString &n : {u"f1"_qs, u"f2"_qs}) {
        Card c = person(n, n + u"@x.jp"_qs);
        addCard(c, first, quiet);
    }
    Card s = person(u"s1"_qs, u"s1@x.jp"_qs);
    addCard(s, second, quiet);
    const QString a = writeBook(u"first.ndb"_qs, first);
    const QString b = writeBook(u"second.nd3"_qs, second);
    const QString other = dir.filePath(u"notes.xyz"_qs);
    writeAll(other, QByteArray("alias x y\r\n"));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(b), QUrl::fromLocalFile(other),
                  QUrl(u"https://example.com/remote.ndb"_qs), QUrl::fromLocalFile(a)});
    QWidget *target = lstAdd()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);

    QDropEvent drop(QPointF(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_TRUE(drop.isAccepted());
    QApplication::processEvents();
    EXPECT_EQ(bookNames(), (QStringList{u"s1"_qs, u"f1"_qs, u"f2"_qs}));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(window->listModel()->rowCount(), 3);
    EXPECT_EQ(shell->settings.fileHistory[0], a);

    // A drag whose first file is of no known kind is refused; so is any
    // drag while busy.
    QMimeData unknownFirst;
    unknownFirst.setUrls({QUrl::fromLocalFile(other), QUrl::fromLocalFile(a)});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &unknownFirst, Qt::LeftButton,
                            Qt::NoModifier);
    QApplication::sendEvent(target, &refused);
    EXPECT_FALSE(refused.isAccepted());
    window->BisyModeChange(true);
    QDragEnterEvent busy(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &busy);
    EXPECT_FALSE(busy.isAccepted());
    window->BisyModeChange(false);
}

TEST_F(CardCommands, ToolsMarkTheBookModifiedOnlyAfterARun)
{
    AddressBook b;
    ScriptedPrompter quiet;
    for (const QString &n : {u"a"_qs, u"b"_qs, u"c"_qs}) {
        Card c = person(n, n + u"@x.jp"_qs);
        addCard(c, b, quiet);
    }
    // Cards 1 and 3 share an ID: the restoration merges card 1 into card 3.
    b.cards[3].ids = {u"A@X.JP"_qs};
    openBook(b);
    ASSERT_EQ(window->listModel()->rowCount(), 3);

    // Each tool opens its dialog; closed at once, it changes nothing.
    const std::pair<const char *, const char *> tools[] = {
        {"mnuCollectEditGroup", "fomGroupEdit"}, {"mnuCollectID", "fomIDConv"},
        {"mnuCollectRestore", "fomRestore"},     {"mnuCollectLight", "fomLightAddress"},
        {"mnuCollectComp", "fomCompAddress"},
    };
    for (const auto &[entry, dialog] : tools) {
        QString opened;
        whenModal<QDialog>([&](QDialog *d) {
            opened = d->objectName();
            d->reject();
        });
        act(entry)->trigger();
        EXPECT_EQ(opened, QString::fromLatin1(dialog)) << entry;
        EXPECT_FALSE(window->document().isModified()) << entry;
    }
    EXPECT_TRUE(prompter.asked.isEmpty());

    // The group editor: a group added.
    whenModal<fomGroupEdit>([this](fomGroupEdit *d) {
        prompter.answerInput(u"friends"_qs);
        click(page(d).cmdAdd());
        click(page(d).cmdExit());
    });
    tool("cmdGroup")->click();
    EXPECT_EQ(window->document().book().groupList(), QStringList{u"friends"_qs});
    EXPECT_TRUE(window->document().isModified());

    // The restoration's merge: card 1 vanishes from the search result and
    // the list, which is rebuilt.
    window->document().setModified(false);
    prompter.clear();
    whenModal<fomRestore>([](fomRestore *d) {
        setChecked(page(d).chkRestore(), false);
        setChecked(page(d).chkIDRepeat(), true);
        setChecked(page(d).optIDRepeat(0), true);
        whenModal<fomReport>([](fomReport *report) { report->reject(); });
        click(page(d).cmdExec());
    });
    tool("cmdCollectRestore")->click();
    EXPECT_TRUE(window->document().isModified());
    EXPECT_FALSE(window->document().isBusy());
    EXPECT_EQ(window->document().displayList(), (QList<qint32>{2, 3}));
    EXPECT_EQ(lineCards(), (QList<qint32>{3, 2, 3})); // "a", "b", "c"
    EXPECT_EQ(lblStatus()->text(), QString());

    // Slimming and the bulk settings: a completed run marks the book.
    window->document().setModified(false);
    whenModal<fomLightAddress>([](fomLightAddress *d) {
        click(page(d).optLevel(0));
        click(page(d).cmdExec());
    });
    tool("cmdCollectLight")->click();
    EXPECT_TRUE(window->document().isModified());
    window->document().setModified(false);
    whenModal<fomIDConv>([](fomIDConv *d) {
        click(page(d).chkFunc(1));
        click(page(d).cmdExec());
    });
    tool("cmdCollectID")->click();
    EXPECT_TRUE(window->document().isModified());
    EXPECT_EQ(lineCards(), (QList<qint32>{3, 2, 3}));
}

TEST_F(CardCommands, CsvGoesThroughItsDialogs)
{
    const QString csv = dir.filePath(u"in.csv"_qs);
    writeAll(csv, QByteArray("Name,E-mail\r\nTaro,taro@x.jp\r\n"));
    bool mapped = false;
    whenModal<fomCsvGet>([&](fomCsvGet *d) {
        mapped = true;
        click(page(d).cmdCancel());
    });
    prompter.answerFile(csv);
    act("mnuFileReadCSV")->trigger();
    EXPECT_TRUE(mapped);
    EXPECT_EQ(window->document().book().cardCount(), 1);

    whenModal<fomCsvGet>([](fomCsvGet *d) { click(page(d).cmdExit()); });
    prompter.answerFile(csv);
    act("mnuFileReadAppendCSV")->trigger();
    EXPECT_EQ(bookNames(), QStringList{u"Taro"_qs});

    const QString out = dir.filePath(u"out.csv"_qs);
    bool asked = false;
    whenModal<fomCsvPut>([&](fomCsvPut *d) {
        asked = true;
        click(page(d).cmdCancel());
    });
    prompter.answerFile(out);
    act("mnuFileWiteCSV")->trigger();
    EXPECT_TRUE(asked);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(window->document().isModified());

    // A UTF-8 file with one broken byte looks like CP932; the user reads it
    // as UTF-8 in the dialog and is told of the byte replaced.
    const QString broken = dir.filePath(u"broken.csv"_qs);
    writeAll(broken, u"名前,E-mail\n山田 太郎,yamada@x.jp\n"_qs.toUtf8() + "\xFF,z@x.jp\n");
    prompter.asked.clear();
    whenModal<fomCsvGet>([](fomCsvGet *d) {
        QComboBox *encoding = page(d).cboEncoding();
        encoding->setFocus();
        QTest::keyClick(encoding, Qt::Key_Down);
        click(page(d).cmdExit());
    });
    prompter.answer(Prompter::Yes); // the book in hand may go
    prompter.answerFile(broken);
    act("mnuFileReadCSV")->trigger();
    EXPECT_EQ(bookNames(), (QStringList{u"山田 太郎"_qs, u"\uFFFD"_qs}));
    ASSERT_EQ(prompter.asked.size(), 2);
    EXPECT_EQ(prompter.asked[1].message.text,
              u"2 枚のカードを読み込みました。\r\n読み取れない文字 1 文字を置き換えました。"_qs);
    EXPECT_EQ(prompter.asked[1].message.icon, Prompter::Icon::Warning);
}

// The vCard export of the one selected card: the save dialog's second
// filter writes vCard 3.0 in UTF-8, the first one vCard 2.1 in Shift-JIS.
TEST_F(CardCommands, VcardExportWritesTheVersionOfTheChosenFilter)
{
    openCards({{u"山田 太郎"_qs, u"やまだ"_qs}, {u"b"_qs}});
    const QList<qint32> cards = lineCards();
    selectRows({int(cards.indexOf(1)), int(cards.indexOf(2))});
    EXPECT_FALSE(act("mnuEditFileVCard")->isEnabled()); // one card only, as before
    selectRows({int(cards.indexOf(1))});
    ASSERT_TRUE(act("mnuEditFileVCard")->isEnabled());

    prompter.answerFile(dir.filePath(u"card"_qs), VcardFormat30);
    act("mnuEditFileVCard")->trigger();
    ASSERT_EQ(prompter.fileRequests.size(), 1);
    const QList<Prompter::FileFilter> &filters = prompter.fileRequests[0].filters;
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[1].caption, u"vCard 3.0 UTF-8 (*.vcf)"_qs);
    const QByteArray v30 = readAll(dir.filePath(u"card.vcf"_qs));
    EXPECT_TRUE(v30.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_TRUE(v30.contains(u"\r\nN:山田;太郎;;;\r\nFN:山田 太郎\r\nNICKNAME:やまだ\r\n"_qs.toUtf8()));
    EXPECT_EQ(v30.count("BEGIN:VCARD"), 1);

    prompter.answerFile(dir.filePath(u"card21"_qs), 0);
    act("mnuEditFileVCard")->trigger();
    const QByteArray v21 = readAll(dir.filePath(u"card21.vcf"_qs));
    EXPECT_TRUE(v21.startsWith("BEGIN:VCARD\r\nVERSION:2.1\r\n"));
    EXPECT_TRUE(v21.contains(cp932::encode(u"\r\nFN;PREF:山田 太郎\r\n"_qs)));
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_FALSE(window->document().isModified());
}
