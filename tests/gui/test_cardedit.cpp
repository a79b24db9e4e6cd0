#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "cardedit/cardedittexts.h"
#include "cardedit/fomCardEdit.h"
#include "cardedit/fomGroupSelect.h"
#include "common/fomCalendarSelect.h"
#include "common/oledate.h"
#include "core/cardops.h"
#include "core/validation.h"
#include "modaldriver.h"
#include "pages.h"
#include "support/fakehost.h"
#include "support/scriptedprompter.h"
#include "support/testutil.h"

namespace T = CardEditText;

namespace {

QStringList itemsOf(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

QStringList linesOf(const QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

DateValue at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return oleFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

class CardEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        book.groupList() = {u"A"_qs, u"B"_qs, u"C"_qs};
        Card c;
        c.number = 3;
        c.ids = {u"abc@example.jp"_qs, u"XYZ12345"_qs};
        c.names = {u"Taro"_qs};
        c.groups = {u"B"_qs, u"A"_qs};
        c.memo = u"line 1\r\nline 2"_qs;
        c.created = at(2001, 2, 3, 4, 5, 6);
        c.updated = at(2002, 3, 4, 5, 6, 7);
        c.mailLog = {u"m1"_qs, u"m2"_qs, u"m3"_qs};
        c.exchangeRecords = {u"e1"_qs};
        c.remarkRecords = {u"r1"_qs};
        Card other;
        other.number = 7;
        other.ids = {u"other@example.jp"_qs};
        other.names = {u"Other"_qs};
        other.created = other.updated = at(2000, 1, 1);
        book.cards << c << other;
        book.cardCounter = 8;
    }

    std::unique_ptr<fomCardEdit> open(int index)
    {
        auto dlg = std::make_unique<fomCardEdit>(book, index, options, prompter);
        dlg->show();
        return dlg;
    }

    const FixedClock clock{testNow()};
    AddressBook book;
    CardEditOptions options;
    ScriptedPrompter prompter;
};

} // namespace

TEST_F(CardEditor, ControlsCarryTheirNamesAndLoadTheCard)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    for (int i = 0; i < 7; ++i) {
        ASSERT_NE(dlg->findChild<QWidget *>(QStringLiteral("optTab%1").arg(i)), nullptr);
        ASSERT_NE(dlg->findChild<QWidget *>(QStringLiteral("picTab%1").arg(i)), nullptr);
    }
    for (const char *name :
         {"cboID", "cmdIDAdd", "cmdIDEdit", "cmdIDDel", "cmdIdUp", "cmdIdDown", "cboName",
          "cboNameAdd", "cboNameEdit", "cboNameDel", "cmdNameUp", "cmdNameDown", "txtPost",
          "txtAddress", "txtTel", "txtFax", "txtHandy", "txtBell", "lblBirth", "lblAge",
          "cmdBirth", "cmdBirthDel", "cboGroup", "cmdGroupEdit", "txtMemo", "lblProfPage",
          "lblProfTitle", "txtProf", "cmdProfLeft", "cmdProfRight", "cmdProfLeftSwap",
          "cmdProfRightSwap", "cmdProfAdd", "cmdProfDelete", "cmdProfTitleEdit", "lstMailList",
          "cmdMailEdit", "cmdMailDelete", "lstExcgList", "chkExcgFlg", "cmdExcgEdit",
          "cmdExcgDelete", "lstSayList", "chkSayFlg", "cmdSayEdit", "cmdSayDelete",
          "lstLinkList", "cmdLinkAdd", "cmdLinkDel", "cmdLinkOpen", "lblCDate", "lblCTime",
          "cmdCDateNow", "cmdCDateFixUDate", "lblUDate", "lblUTime", "cmdUDateNow",
          "cmdUDateFixCDate", "chkAutoTimeStump", "cmdExit", "cmdCancel", "cmdTab"})
        EXPECT_NE(dlg->findChild<QWidget *>(QString::fromLatin1(name)), nullptr) << name;

    EXPECT_EQ(dlg->windowTitle(), T::Title);
    EXPECT_EQ(itemsOf(p.cboID()), book.cards[1].ids);
    EXPECT_EQ(p.cboID()->currentIndex(), 0);
    EXPECT_EQ(itemsOf(p.cboGroup()), (QStringList{u"B"_qs, u"A"_qs}));
    EXPECT_EQ(p.lblCDate()->text(), u"2001年02月03日"_qs);
    EXPECT_EQ(p.lblCTime()->text(), u"04時05分06秒"_qs);
    EXPECT_EQ(linesOf(p.lstLinkList()), QStringList{T::LinkLine});
    EXPECT_TRUE(p.chkAutoTimeStump()->isChecked());
    EXPECT_FALSE(dlg->isDirty());

    // One page at a time; switching pages changes nothing.
    EXPECT_TRUE(p.picTab(0)->isVisible());
    QTest::mouseClick(p.optTab(3), Qt::LeftButton);
    EXPECT_TRUE(p.picTab(3)->isVisible());
    for (int i : {0, 1, 2, 4, 5, 6})
        EXPECT_FALSE(p.picTab(i)->isVisible()) << i;
    EXPECT_FALSE(dlg->isDirty());
}

TEST_F(CardEditor, NewCardIsStampedOnSave)
{
    auto dlg = open(-1);
    const auto p = page(dlg);
    EXPECT_EQ(p.lblCDate()->text(), T::Unknown);
    EXPECT_FALSE(p.cmdUDateFixCDate()->isEnabled());
    prompter.answerInput(u"  new@example.jp  "_qs);
    click(p.cmdIDAdd());
    prompter.answerInput(u"Hanako"_qs);
    click(p.cboNameAdd());
    const DateValue before = oleNow();
    click(p.cmdExit());
    const DateValue after = oleNow();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->commit(), 8);
    EXPECT_EQ(dlg->commit(), -1); // once only
    ASSERT_EQ(book.cards.size(), 4);
    const Card &c = book.cards[3];
    EXPECT_EQ(c.ids, QStringList{u"new@example.jp"_qs});
    EXPECT_EQ(c.number, 8);
    EXPECT_EQ(book.cardCounter, 9);
    EXPECT_GE(c.updated, before);
    EXPECT_LE(c.updated, after);
    EXPECT_EQ(c.created, c.updated);
    EXPECT_EQ(c.exchangeAutoRecord, FlagOn);
    EXPECT_EQ(c.remarkAutoRecord, FlagOff);
    EXPECT_EQ(c.status, validateCard(c, book.groupList(), options.limits));
}

TEST_F(CardEditor, WithoutTheStampDatesStayAsShown)
{
    options.autoTimeStamp = false;
    // An existing card keeps both dates, NoDate included.
    book.cards[1].created = NoDate;
    auto dlg = open(1);
    EXPECT_FALSE(page(dlg).chkAutoTimeStump()->isChecked());
    click(page(dlg).cmdExit());
    EXPECT_EQ(dlg->commit(), 3);
    EXPECT_EQ(book.cards[1].created, NoDate);
    EXPECT_EQ(book.cards[1].updated, at(2002, 3, 4, 5, 6, 7));
    EXPECT_EQ(book.cards[1].status, StatusCreatedBroken);

    // A new card still gets dates from the book.
    auto fresh = open(-1);
    prompter.answerInput(u"n@example.jp"_qs);
    click(page(fresh).cmdIDAdd());
    prompter.answerInput(u"N"_qs);
    click(page(fresh).cboNameAdd());
    click(page(fresh).cmdExit());
    ASSERT_EQ(fresh->commit(), 8);
    EXPECT_NE(book.cards.last().updated, NoDate);
    EXPECT_EQ(book.cards.last().created, book.cards.last().updated);
}

TEST_F(CardEditor, SaveNeedsAnIdThenAName)
{
    book.cards[1].names.clear();
    auto dlg = open(1);
    const auto p = page(dlg);
    click(p.cmdIDDel());
    click(p.cmdIDDel());
    EXPECT_EQ(p.cboID()->count(), 0);
    click(p.cmdExit());
    EXPECT_EQ(prompter.lastText(), T::NeedId);
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::Warning);
    EXPECT_TRUE(dlg->isVisible());
    prompter.answerInput(u"x@example.jp"_qs);
    click(p.cmdIDAdd());
    click(p.cmdExit());
    EXPECT_EQ(prompter.lastText(), T::NeedName);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->outcome(), -1);
}

// A field holding characters the file cannot hold: the editor shows them
// and asks; No goes back to the editor unchanged, Yes saves anyway.
TEST_F(CardEditor, SaveWarnsOfCharactersTheFileCannotHold)
{
    auto dlg = open(1);
    QLineEdit *address = page(dlg).txtAddress();
    QPushButton *save = page(dlg).cmdExit();
    // Typed as one input-method commit (keyClicks knows only ASCII).
    QTest::sendKeyEvent(QTest::Click, address, Qt::Key_unknown, u"\U00020BB7田町 caf\u00E9"_qs,
                        Qt::NoModifier);

    prompter.answer(Prompter::No);
    QTest::mouseClick(save, Qt::LeftButton);
    ASSERT_EQ(prompter.asked.size(), 1);
    const Prompter::Message &asked = prompter.asked[0].message;
    EXPECT_EQ(asked.text, unwritableCharactersQuestion({u"\U00020BB7"_qs, u"\u00E9"_qs}));
    EXPECT_EQ(asked.defaultButton, Prompter::No);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->workingCard().address.isEmpty());

    prompter.answer(Prompter::Yes);
    QTest::mouseClick(save, Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->commit(), 3);
    EXPECT_EQ(book.cards[1].address, u"\U00020BB7田町 caf\u00E9"_qs);
}

TEST_F(CardEditor, CancelAsksOnlyAfterChanges)
{
    const AddressBook original = book;
    {
        auto dlg = open(1);
        const auto p = page(dlg);
        click(p.cmdCancel());
        EXPECT_TRUE(prompter.asked.isEmpty());
        EXPECT_FALSE(dlg->isVisible());
        EXPECT_EQ(dlg->commit(), -1);
    }
    auto dlg = open(1);
    const auto p = page(dlg);
    QTest::keyClicks(p.txtTel(), u"0"_qs);
    EXPECT_TRUE(dlg->isDirty());
    prompter.answer(Prompter::No);
    click(p.cmdCancel());
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastText(), T::AskLoseEdits);
    EXPECT_EQ(prompter.asked.last().message.defaultButton, Prompter::No);
    EXPECT_TRUE(dlg->isVisible());
    prompter.answer(Prompter::Yes);
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->commit(), -1);
    EXPECT_EQ(book, original);
}

TEST_F(CardEditor, EditReturnsMinusOneForAMissingNumberOrAFullBook)
{
    EXPECT_EQ(fomCardEdit::Edit(book, 99, options, prompter, nullptr), -1);
    EXPECT_TRUE(prompter.asked.isEmpty());

    // Counter exhausted: the refusal is shown and nothing is written.
    book.cardCounter = MaxCardCounter;
    const AddressBook before = book;
    whenModal<fomCardEdit>([this](fomCardEdit *dlg) {
        prompter.answerInput(u"new@example.jp"_qs);
        click(page(dlg).cmdIDAdd());
        prompter.answerInput(u"New"_qs);
        click(page(dlg).cboNameAdd());
        click(page(dlg).cmdExit());
    });
    EXPECT_EQ(fomCardEdit::Edit(book, -1, options, prompter, nullptr), -1);
    EXPECT_EQ(prompter.lastText(), cardCounterFullMessage());
    EXPECT_EQ(book, before);

    // An existing card through the modal editor.
    whenModal<fomCardEdit>([](fomCardEdit *dlg) {
        typeText(page(dlg).txtFax(), u"012"_qs);
        click(page(dlg).cmdExit());
    });
    EXPECT_EQ(fomCardEdit::Edit(book, 7, options, prompter, nullptr), 7);
    EXPECT_EQ(book.cards[2].fax, u"012"_qs);
}

TEST_F(CardEditor, IdsOfOtherCardsAreRefusedInAnyLetterCase)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    prompter.answerInput(u"OTHER@example.jp"_qs);
    click(p.cmdIDAdd());
    EXPECT_EQ(prompter.lastText(), u"[OTHER@example.jp"_qs + T::IdUsedByOtherCard);
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(p.cboID()->count(), 2);
    EXPECT_FALSE(dlg->isDirty());

    // An ID of this list is selected silently.
    prompter.clear();
    chooseEntry(p.cboID(), 0);
    prompter.answerInput(u"XYZ12345"_qs);
    click(p.cmdIDAdd());
    EXPECT_TRUE(prompter.asked.isEmpty());
    EXPECT_EQ(p.cboID()->currentIndex(), 1);
    EXPECT_FALSE(dlg->isDirty());

    // Another letter case of an own ID is a new item; the stored copy of the
    // edited card is not another card.
    prompter.answerInput(u"ABC@example.jp"_qs);
    click(p.cmdIDAdd());
    EXPECT_EQ(itemsOf(p.cboID()),
              (QStringList{u"abc@example.jp"_qs, u"XYZ12345"_qs, u"ABC@example.jp"_qs}));
    EXPECT_EQ(p.cboID()->currentIndex(), 2);
    EXPECT_TRUE(dlg->isDirty());

    // Changing to another item's text is refused; changing case only is not.
    prompter.answerInput(u"XYZ12345"_qs);
    click(p.cmdIDEdit());
    EXPECT_EQ(prompter.lastText(), u"[XYZ12345"_qs + T::AlreadyUsed);
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::None);
    prompter.answerInput(u"other@EXAMPLE.jp"_qs);
    click(p.cmdIDEdit());
    EXPECT_EQ(prompter.lastText(), u"[other@EXAMPLE.jp"_qs + T::IdUsedByOtherCard);
    chooseEntry(p.cboID(), 1);
    prompter.answerInput(u"xyz12345"_qs);
    click(p.cmdIDEdit());
    EXPECT_EQ(itemsOf(p.cboID()),
              (QStringList{u"abc@example.jp"_qs, u"xyz12345"_qs, u"ABC@example.jp"_qs}));
    EXPECT_EQ(prompter.inputPrompts,
              (QStringList{T::PromptAddId, T::PromptAddId, T::PromptEditId, T::PromptEditId,
                           T::PromptEditId}));

    // Names are not checked against other cards.
    prompter.answerInput(u"Other"_qs);
    click(p.cboNameAdd());
    EXPECT_EQ(itemsOf(p.cboName()), (QStringList{u"Taro"_qs, u"Other"_qs}));
}

TEST_F(CardEditor, UnchangedAnswersLeaveTheListAsItWas)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    prompter.answerInput(u"Taro"_qs);
    click(p.cboNameEdit());
    prompter.answerInput(u"   "_qs);
    click(p.cboNameEdit());
    prompter.answerCancelInput();
    click(p.cboNameAdd());
    EXPECT_EQ(itemsOf(p.cboName()), QStringList{u"Taro"_qs});
    EXPECT_FALSE(dlg->isDirty());
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(CardEditor, MovingStopsAtTheEnds)
{
    book.cards[1].ids = {u"a1"_qs, u"b2"_qs, u"c3"_qs};
    auto dlg = open(1);
    const auto p = page(dlg);
    click(p.cmdIdUp());
    EXPECT_EQ(prompter.lastText(), T::AtFirst);
    EXPECT_FALSE(dlg->isDirty());
    click(p.cmdIdDown());
    click(p.cmdIdDown());
    EXPECT_EQ(itemsOf(p.cboID()), (QStringList{u"b2"_qs, u"c3"_qs, u"a1"_qs}));
    EXPECT_EQ(p.cboID()->currentIndex(), 2);
    prompter.clear();
    click(p.cmdIdDown());
    EXPECT_EQ(prompter.texts(), QStringList{T::AtLast});
    click(p.cmdIdUp());
    EXPECT_EQ(itemsOf(p.cboID()), (QStringList{u"b2"_qs, u"a1"_qs, u"c3"_qs}));
    EXPECT_EQ(p.cboID()->currentIndex(), 1);

    // Deleting selects the item that moved into place, or the new last.
    click(p.cmdIDDel());
    EXPECT_EQ(itemsOf(p.cboID()), (QStringList{u"b2"_qs, u"c3"_qs}));
    EXPECT_EQ(p.cboID()->currentIndex(), 1);
    click(p.cmdIDDel());
    EXPECT_EQ(p.cboID()->currentIndex(), 0);
    click(p.cmdIDDel());
    EXPECT_EQ(p.cboID()->currentIndex(), -1);
    click(p.cmdIDDel()); // nothing left: no effect

    // An empty list is at both ends.
    prompter.clear();
    click(p.cmdIdDown());
    click(p.cmdIdUp());
    EXPECT_EQ(prompter.texts(), (QStringList{T::AtLast, T::AtFirst}));

    // A single name is at the end already.
    click(p.cmdNameDown());
    EXPECT_EQ(prompter.lastText(), T::AtLast);
}

TEST_F(CardEditor, LogListsChangeAndDeleteLinesByKey)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    QListWidget *list = p.lstMailList();
    click(p.optTab(3));
    list->setFocus();
    clickRow(list, 1);
    prompter.answerInput(u" m2 changed "_qs);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(prompter.inputPrompts, QStringList{T::PromptEditMail});
    EXPECT_EQ(linesOf(list), (QStringList{u"m1"_qs, u"m2 changed"_qs, u"m3"_qs}));
    EXPECT_TRUE(dlg->isDirty());

    // Delete removes the selected lines only.
    selectRows(list, {0, 2});
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(linesOf(list), QStringList{u"m2 changed"_qs});

    // Ctrl+A selects every line (and starts no search); Delete empties.
    list->addItems({u"a"_qs, u"b"_qs});
    selectRows(list, {});
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(list->selectedItems().size(), 3);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(list->count(), 0);
    // Nothing to change in an empty list.
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(prompter.inputPrompts.size(), 1);

    // The other lists use their own prompts.
    clickRow(p.lstSayList(), 0);
    prompter.answerInput(u"r1"_qs);
    click(p.cmdSayEdit());
    EXPECT_EQ(prompter.inputPrompts.last(), T::PromptEditRemark);

    click(p.cmdExit());
    dlg->commit();
    EXPECT_TRUE(book.cards[1].mailLog.isEmpty());
    EXPECT_EQ(book.cards[1].remarkRecords, QStringList{u"r1"_qs});
}

TEST_F(CardEditor, MemoTextCtrlASelectsAllWithoutTyping)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    click(p.optTab(1));
    QTest::keyClick(p.txtMemo(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(p.txtMemo()->textCursor().selectionStart(), 0);
    EXPECT_EQ(p.txtMemo()->textCursor().selectedText().size(), u"line 1\nline 2"_qs.size());
    EXPECT_FALSE(dlg->isDirty());
}

TEST_F(CardEditor, UnchangedMemoAndTextsKeepTheirBytes)
{
    Card &c = book.cards[1];
    c.memo = u"a\r\nb\nc\rd\u00a0e\r\n\r\n"_qs;
    c.address = u"line\r\nbreak\tand tab"_qs;
    c.telephone = QString(40000, u'9');
    auto dlg = open(1);
    EXPECT_EQ(page(dlg).txtMemo()->toPlainText().count(u'\r'), 0);
    prompter.answer(Prompter::Yes); // the no-break space will be written as "?"
    click(page(dlg).cmdExit());
    dlg->commit();
    EXPECT_EQ(book.cards[1].memo, u"a\r\nb\nc\rd\u00a0e\r\n\r\n"_qs);
    EXPECT_EQ(book.cards[1].address, u"line\r\nbreak\tand tab"_qs);
    EXPECT_EQ(book.cards[1].telephone.size(), 40000);

    // An edited memo is stored with CR LF line ends.
    book.cards[1].memo = u"x\r\ny"_qs;
    auto again = open(1);
    QTest::keyClick(page(again).txtMemo(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(page(again).txtMemo(), Qt::Key_Return);
    QTest::keyClicks(page(again).txtMemo(), u"z"_qs);
    EXPECT_TRUE(again->isDirty());
    click(page(again).cmdExit());
    again->commit();
    EXPECT_EQ(book.cards[1].memo, u"x\r\ny\r\nz"_qs);
}

TEST_F(CardEditor, UnsetFlagShowsCheckedAndIsSavedAsOn)
{
    book.cards[1].exchangeAutoRecord = FlagUnset;
    book.cards[1].remarkAutoRecord = 3;
    auto dlg = open(1);
    const auto p = page(dlg);
    EXPECT_TRUE(p.chkExcgFlg()->isChecked());
    EXPECT_TRUE(p.chkSayFlg()->isChecked());
    EXPECT_FALSE(dlg->isDirty());
    click(p.chkSayFlg());
    EXPECT_TRUE(dlg->isDirty());
    click(p.cmdExit());
    dlg->commit();
    EXPECT_EQ(book.cards[1].exchangeAutoRecord, FlagOn);
    EXPECT_EQ(book.cards[1].remarkAutoRecord, FlagOff);
}

TEST_F(CardEditor, BirthdayDisplayAndChange)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    EXPECT_EQ(p.lblBirth()->text(), T::Unknown);
    EXPECT_TRUE(p.lblAge()->text().isEmpty());
    EXPECT_FALSE(p.cmdBirthDel()->isEnabled());

    const QDate inAWeek = testNow().date().addDays(7);
    whenModal<fomCalendarSelect>([&](fomCalendarSelect *cal) {
        while (cal->shownMonth().year() > inAWeek.year() - 30)
            click(page(cal).cmdYearLeft());
        while (cal->shownMonth().month() != inAWeek.month())
            click(page(cal).cmdMonthRight());
        const int w = QDate(cal->shownMonth().year(), cal->shownMonth().month(), 1).dayOfWeek() % 7 + 1;
        click(page(cal).optDays(inAWeek.day() + w - 2));
        click(page(cal).cmdSelect());
    });
    click(p.cmdBirth());
    EXPECT_TRUE(dlg->isDirty());
    const QDate b = oleToDate(dlg->workingCard().birthday);
    EXPECT_EQ(b.month(), inAWeek.month());
    EXPECT_EQ(b.day(), inAWeek.day());
    EXPECT_EQ(oleToDateTime(dlg->workingCard().birthday).time(), QTime(0, 0));
    EXPECT_TRUE(p.lblAge()->text().endsWith(T::BirthdayInAWeek))
        << p.lblAge()->text().toStdString();
    EXPECT_TRUE(p.cmdBirthDel()->isEnabled());

    // A cancelled picker changes nothing.
    whenModal<fomCalendarSelect>([](fomCalendarSelect *cal) { click(page(cal).cmdCancel()); });
    click(p.cmdBirth());
    EXPECT_EQ(oleToDate(dlg->workingCard().birthday), b);

    click(p.cmdBirthDel());
    EXPECT_EQ(dlg->workingCard().birthday, NoDate);
    EXPECT_EQ(p.lblBirth()->text(), T::Unknown);
}

TEST_F(CardEditor, CreatedAndUpdatedButtons)
{
    auto dlg = open(1);
    const auto p = page(dlg);
    prompter.answer(Prompter::No);
    click(p.cmdCDateNow());
    EXPECT_EQ(prompter.lastText(), T::AskCreatedNow);
    EXPECT_EQ(dlg->workingCard().created, at(2001, 2, 3, 4, 5, 6));
    EXPECT_FALSE(dlg->isDirty());

    click(p.cmdCDateFixUDate());
    EXPECT_EQ(dlg->workingCard().created, at(2002, 3, 4, 5, 6, 7));
    EXPECT_EQ(p.lblCDate()->text(), p.lblUDate()->text());
    EXPECT_TRUE(dlg->isDirty());

    prompter.answer(Prompter::Yes);
    click(p.cmdCDateNow());
    EXPECT_GT(dlg->workingCard().created, at(2020, 1, 1));
    EXPECT_EQ(dlg->workingCard().updated, dlg->workingCard().created);
}

TEST_F(CardEditor, GroupsComeBackInListOrderOrNotAtAll)
{
    book.cards[1].groups = {u"B"_qs, u"X"_qs, u"A"_qs}; // X is not registered
    auto dlg = open(1);
    const auto p = page(dlg);
    whenModal<fomGroupSelect>([](fomGroupSelect *g) {
        EXPECT_EQ(page(g).lstGroup()->count(), 3);
        EXPECT_EQ(page(g).lstGroup()->selectedItems().size(), 2);
        EXPECT_EQ(page(g).lstGroup()->currentRow(), 1); // the last line selected
        click(page(g).cmdYes());
    });
    click(p.cmdGroupEdit());
    EXPECT_EQ(itemsOf(p.cboGroup()), (QStringList{u"A"_qs, u"B"_qs}));
    EXPECT_TRUE(dlg->isDirty());

    whenModal<fomGroupSelect>([](fomGroupSelect *g) {
        click(page(g).cmdAllSelect());
        click(page(g).cmdCancel());
    });
    click(p.cmdGroupEdit());
    EXPECT_EQ(itemsOf(p.cboGroup()), (QStringList{u"A"_qs, u"B"_qs}));

    whenModal<fomGroupSelect>([](fomGroupSelect *g) {
        click(page(g).cmdAllUnSelect());
        click(page(g).cmdYes());
    });
    click(p.cmdGroupEdit());
    EXPECT_EQ(p.cboGroup()->count(), 0);
    click(p.cmdExit());
    dlg->commit();
    EXPECT_TRUE(book.cards[1].groups.isEmpty());
}

TEST_F(CardEditor, NoRegisteredGroupsIsReported)
{
    book.groupList().clear();
    auto dlg = open(1);
    click(page(dlg).cmdGroupEdit());
    EXPECT_EQ(prompter.lastText(), T::NoGroups);
    EXPECT_EQ(prompter.asked.last().message.icon, Prompter::Icon::Warning);
    EXPECT_EQ(itemsOf(page(dlg).cboGroup()), (QStringList{u"B"_qs, u"A"_qs}));
    EXPECT_FALSE(dlg->isDirty());
}

TEST_F(CardEditor, ProfilePagesPageSwapDeleteAndRetitle)
{
    {
        auto dlg = open(1);
        const auto p = page(dlg);
        EXPECT_EQ(p.lblProfPage()->text(), T::NotFetched);
        for (QPushButton *b : {p.cmdProfLeft(), p.cmdProfRight(), p.cmdProfLeftSwap(),
                               p.cmdProfRightSwap(), p.cmdProfDelete(), p.cmdProfTitleEdit()})
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        EXPECT_TRUE(p.cmdProfAdd()->isEnabled());
    }
    book.cards[1].profile = {u"t1\tnone"_qs, u"t2\tf2.txt"_qs, u"t3\tNONE"_qs};
    auto dlg = open(1);
    const auto p = page(dlg);
    EXPECT_EQ(p.lblProfPage()->text(), u"1 / 3"_qs);
    EXPECT_EQ(p.lblProfTitle()->text(), u"t1"_qs);
    EXPECT_EQ(p.txtProf()->toPlainText(), T::NoProfile);
    click(p.cmdProfRight());
    EXPECT_EQ(p.lblProfPage()->text(), u"2 / 3"_qs);
    EXPECT_EQ(p.txtProf()->toPlainText(), T::NoSharedFolder);
    EXPECT_FALSE(dlg->isDirty());

    click(p.cmdProfRightSwap());
    EXPECT_EQ(dlg->workingCard().profile,
              (QStringList{u"t1\tnone"_qs, u"t3\tNONE"_qs, u"t2\tf2.txt"_qs}));
    EXPECT_EQ(p.lblProfPage()->text(), u"2 / 3"_qs);
    EXPECT_EQ(p.lblProfTitle()->text(), u"t3"_qs);
    EXPECT_TRUE(p.cmdProfLeft()->isEnabled() && p.cmdProfRight()->isEnabled());
    EXPECT_TRUE(dlg->isDirty());

    prompter.answerInput(u" new title "_qs);
    click(p.cmdProfTitleEdit());
    EXPECT_EQ(prompter.inputPrompts.last(), T::PromptTitle);
    EXPECT_EQ(dlg->workingCard().profile[1], u"new title\tNONE"_qs);

    click(p.cmdProfRight());
    click(p.cmdProfDelete());
    EXPECT_EQ(p.lblProfPage()->text(), u"2 / 2"_qs);
    EXPECT_FALSE(p.cmdProfRight()->isEnabled());
    click(p.cmdProfDelete());
    click(p.cmdProfDelete());
    EXPECT_EQ(p.lblProfPage()->text(), T::NotFetched);
    EXPECT_TRUE(p.lblProfTitle()->text().isEmpty());
    EXPECT_FALSE(p.cmdProfDelete()->isEnabled());
}

TEST_F(CardEditor, ProfileEntryWithoutTabGetsItsWholeTextAsTitle)
{
    book.cards[1].profile = {u"no tab here"_qs, u"\tNONE"_qs};
    auto dlg = open(1);
    const auto p = page(dlg);
    EXPECT_EQ(p.lblProfTitle()->text(), u"no tab here"_qs);
    EXPECT_TRUE(p.txtProf()->toPlainText().isEmpty());
    prompter.answerInput(u"titled"_qs);
    click(p.cmdProfTitleEdit());
    EXPECT_EQ(dlg->workingCard().profile[0], u"titled"_qs);
    // A TAB in first place: an empty title, the value still shown and kept.
    click(p.cmdProfRight());
    EXPECT_EQ(p.txtProf()->toPlainText(), T::NoProfile);
    prompter.answerInput(u"t"_qs);
    click(p.cmdProfTitleEdit());
    EXPECT_EQ(dlg->workingCard().profile[1], u"t\tNONE"_qs);
}

TEST_F(CardEditor, AddingAProfileOffersTheLegacyIdsFiles)
{
    QTemporaryDir tmp;
    ASSERT_TRUE(QDir().mkpath(tmp.path() + u"/Profile"_qs));
    const QString file = tmp.path() + u"/Profile/XYZ12345.001"_qs;
    ASSERT_TRUE(writeAll(file, "Profile text\r\nline 2"));
    options.sharedLogFolder = tmp.path();

    auto dlg = open(1);
    const auto p = page(dlg);
    prompter.answerCancelInput();
    click(p.cmdProfAdd());
    ASSERT_EQ(prompter.fileRequests.size(), 1);
    const Prompter::FileRequest &r = prompter.fileRequests[0];
    EXPECT_EQ(r.title, T::AddProfileTitle);
    ASSERT_EQ(r.filters.size(), 2);
    EXPECT_EQ(r.filters[0].caption, T::FilterProfile);
    EXPECT_EQ(r.filters[0].patterns, QStringList{u"XYZ12345.*"_qs});
    EXPECT_EQ(r.filterIndex, 0);
    EXPECT_EQ(r.folder, tmp.path() + u"/Profile"_qs);
    EXPECT_FALSE(dlg->isDirty());

    prompter.answerFile(file);
    click(p.cmdProfAdd());
    ASSERT_EQ(dlg->workingCard().profile.size(), 1);
    EXPECT_EQ(dlg->workingCard().profile[0],
              testNow().date().toString(u"yy/MM/dd"_qs) + u"\tXYZ12345.001"_qs);
    EXPECT_EQ(p.lblProfPage()->text(), u"1 / 1"_qs);
    EXPECT_EQ(p.txtProf()->toPlainText(), u"Profile text\nline 2"_qs);
    EXPECT_TRUE(dlg->isDirty());
}
