#pragma once
// Page objects for the dialogs. A page finds a dialog's controls by their
// object names (the names every part of the program knows them by) and the
// free functions below act on controls the way a user does: QTest mouse
// clicks and key presses, never a signal emitted by hand.
//
//     CardEditPage page(dialog);
//     typeText(page.txtPost(), u"123-4567"_qs);
//     click(page.cmdExit());
//
// page(dialog) gives the page of any dialog. A control that is missing fails
// the test with its name and type; a hidden stand-in of the right type is
// returned then (none for an abstract type), so the test goes on to report
// its other failures instead of crashing.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>
#include <type_traits>

#include "cardedit/fomCardEdit.h"
#include "cardedit/fomGroupEdit.h"
#include "cardedit/fomGroupSelect.h"
#include "common/fomCalendarSelect.h"
#include "common/fomMsgBox.h"
#include "common/fomReport.h"
#include "common/fomTimeSelect.h"
#include "common/fomVersion.h"
#include "formats/fomCsvGet.h"
#include "formats/fomCsvPut.h"
#include "formats/fomEudoraPut.h"
#include "shell/fomSetup.h"
#include "tools/fomCompAddress.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"
#include "tools/fomRestore.h"

// The control of type T named name under root; a failure when there is none.
template <class T>
T *findControl(const QWidget *root, const QString &name)
{
    if (root) {
        if (T *found = root->findChild<T *>(name))
            return found;
    }
    ADD_FAILURE() << "no " << T::staticMetaObject.className() << " named \""
                  << name.toStdString() << "\" in "
                  << (root ? root->objectName().toStdString() : std::string("(no dialog)"));
    if constexpr (std::is_abstract_v<T>) {
        return nullptr; // no stand-in of an abstract type
    } else {
        static QList<QWidget *> standIns; // kept for the rest of the run
        T *standIn = new T;
        standIn->setObjectName(QStringLiteral("missing ") + name);
        standIns << standIn;
        return standIn;
    }
}

// The controls of one dialog, by name.
class DialogPage
{
public:
    explicit DialogPage(const QWidget &dialog) : m_dialog(&dialog) {}
    explicit DialogPage(const QWidget *dialog) : m_dialog(dialog) {}

    template <class T>
    T *control(const QString &name) const
    {
        return findControl<T>(m_dialog, name);
    }
    // The control named prefix followed by index (optDays0, optDays1 ...).
    template <class T>
    T *control(const char *prefix, int index) const
    {
        return control<T>(QLatin1String(prefix) + QString::number(index));
    }
    const QWidget *dialog() const { return m_dialog; }

private:
    const QWidget *m_dialog;
};

// Accessors named as the controls: PAGE_CONTROL(QPushButton, cmdExit) gives
// cmdExit(); PAGE_CONTROLS(QToolButton, optDays) gives optDays(index).
#define PAGE_CONTROL(Type, name)                                                                   \
    Type *name() const { return control<Type>(QStringLiteral(#name)); }
#define PAGE_CONTROLS(Type, name)                                                                  \
    Type *name(int index) const { return control<Type>(#name, index); }

// ---- Acting as the user --------------------------------------------------

// A left click in the middle of the control; on the box of a check box or
// radio button (which may be wider than what it shows, and takes clicks on
// its box and caption only).
inline void click(QWidget *control, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QPoint at = control->rect().center();
    const bool isCheck = qobject_cast<QCheckBox *>(control) != nullptr;
    if (isCheck || qobject_cast<QRadioButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(control);
        at = control->style()
                 ->subElementRect(isCheck ? QStyle::SE_CheckBoxIndicator
                                          : QStyle::SE_RadioButtonIndicator,
                                  &option, control)
                 .center();
    }
    QTest::mouseClick(control, Qt::LeftButton, modifiers, at);
}

// Clicks a check box or radio button when it is not in the wanted state.
inline void setChecked(QAbstractButton *button, bool on)
{
    if (button->isChecked() != on)
        click(button);
}

// Key presses that type text where the cursor is (any characters, not only
// Latin-1 ones as QTest::keyClicks).
inline void typeKeys(QWidget *control, const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        QString ch = text.mid(i, 1);
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            ch = text.mid(i++, 2);
        QTest::sendKeyEvent(QTest::Click, control, Qt::Key_unknown, ch, Qt::NoModifier);
    }
}

// Replaces the whole text of a line edit or text box by typing: Ctrl+A,
// then the text (Delete when it is empty).
inline void typeText(QWidget *control, const QString &text)
{
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(control, Qt::Key_Delete);
    else
        typeKeys(control, text);
}

// Clicks the line row of a list or table view (scrolled into sight first);
// with Ctrl it adds or removes the row from the selection, with Shift it
// selects up to it.
inline void clickRow(QAbstractItemView *view, int row,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QModelIndex index = view->model()->index(row, 0);
    if (!index.isValid()) {
        ADD_FAILURE() << view->objectName().toStdString() << " has no row " << row;
        return;
    }
    view->scrollTo(index);
    const QRect rect = view->visualRect(index);
    if (!view->viewport()->rect().contains(rect.center())) {
        ADD_FAILURE() << "row " << row << " of " << view->objectName().toStdString()
                      << " cannot be seen";
        return;
    }
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
}

// Makes rows exactly the selected lines by clicking them (Ctrl+click after
// the first in a list that selects ranges); the focus line ends on the
// first of them. No rows: every selected line is Ctrl+clicked off.
inline void selectRows(QAbstractItemView *view, const QList<int> &rows)
{
    if (view->selectionMode() == QAbstractItemView::MultiSelection) {
        for (int r = 0; r < view->model()->rowCount(); ++r) {
            const bool selected =
                view->selectionModel()->isSelected(view->model()->index(r, 0));
            if (selected != rows.contains(r))
                clickRow(view, r);
        }
        return;
    }
    if (rows.isEmpty()) { // Ctrl+click on each selected line
        for (const QModelIndex &selected : view->selectionModel()->selectedRows())
            clickRow(view, selected.row(), Qt::ControlModifier);
        return;
    }
    clickRow(view, rows.first());
    for (int r : rows.mid(1))
        clickRow(view, r, Qt::ControlModifier);
    if (rows.size() > 1) { // back to the first, its selection unchanged
        clickRow(view, rows.first(), Qt::ControlModifier);
        clickRow(view, rows.first(), Qt::ControlModifier);
    }
}

// Chooses the entry index of a drop-down list with the arrow keys, as the
// user does with the list closed.
inline void chooseEntry(QComboBox *box, int index)
{
    while (box->currentIndex() < index && box->currentIndex() + 1 < box->count())
        QTest::keyClick(box, Qt::Key_Down);
    while (box->currentIndex() > index && box->currentIndex() > 0)
        QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->currentIndex(), index) << box->objectName().toStdString();
}

// ---- The dialogs -----------------------------------------------------------

class CardEditPage : public DialogPage
{
public:
    explicit CardEditPage(const fomCardEdit &dialog) : DialogPage(dialog) {}
    explicit CardEditPage(const fomCardEdit *dialog) : DialogPage(dialog) {}

    PAGE_CONTROLS(QToolButton, optTab)
    PAGE_CONTROL(QFrame, cmdTab)
    PAGE_CONTROLS(QWidget, picTab)
    PAGE_CONTROL(QComboBox, cboID)
    PAGE_CONTROL(QPushButton, cmdIDAdd)
    PAGE_CONTROL(QPushButton, cmdIDEdit)
    PAGE_CONTROL(QPushButton, cmdIDDel)
    PAGE_CONTROL(QPushButton, cmdIdUp)
    PAGE_CONTROL(QPushButton, cmdIdDown)
    PAGE_CONTROL(QComboBox, cboName)
    PAGE_CONTROL(QPushButton, cboNameAdd)
    PAGE_CONTROL(QPushButton, cboNameEdit)
    PAGE_CONTROL(QPushButton, cboNameDel)
    PAGE_CONTROL(QPushButton, cmdNameUp)
    PAGE_CONTROL(QPushButton, cmdNameDown)
    PAGE_CONTROL(QLineEdit, txtPost)
    PAGE_CONTROL(QLineEdit, txtAddress)
    PAGE_CONTROL(QLineEdit, txtTel)
    PAGE_CONTROL(QLineEdit, txtFax)
    PAGE_CONTROL(QLineEdit, txtHandy)
    PAGE_CONTROL(QLineEdit, txtBell)
    PAGE_CONTROL(QLabel, lblBirth)
    PAGE_CONTROL(QLabel, lblAge)
    PAGE_CONTROL(QPushButton, cmdBirth)
    PAGE_CONTROL(QPushButton, cmdBirthDel)
    PAGE_CONTROL(QComboBox, cboGroup)
    PAGE_CONTROL(QPushButton, cmdGroupEdit)
    PAGE_CONTROL(QPlainTextEdit, txtMemo)
    PAGE_CONTROL(QLabel, lblProfPage)
    PAGE_CONTROL(QLabel, lblProfTitle)
    PAGE_CONTROL(QPlainTextEdit, txtProf)
    PAGE_CONTROL(QPushButton, cmdProfLeft)
    PAGE_CONTROL(QPushButton, cmdProfRight)
    PAGE_CONTROL(QPushButton, cmdProfLeftSwap)
    PAGE_CONTROL(QPushButton, cmdProfRightSwap)
    PAGE_CONTROL(QPushButton, cmdProfAdd)
    PAGE_CONTROL(QPushButton, cmdProfDelete)
    PAGE_CONTROL(QPushButton, cmdProfTitleEdit)
    PAGE_CONTROL(QListWidget, lstMailList)
    PAGE_CONTROL(QPushButton, cmdMailEdit)
    PAGE_CONTROL(QPushButton, cmdMailDelete)
    PAGE_CONTROL(QListWidget, lstExcgList)
    PAGE_CONTROL(QCheckBox, chkExcgFlg)
    PAGE_CONTROL(QPushButton, cmdExcgEdit)
    PAGE_CONTROL(QPushButton, cmdExcgDelete)
    PAGE_CONTROL(QListWidget, lstSayList)
    PAGE_CONTROL(QCheckBox, chkSayFlg)
    PAGE_CONTROL(QPushButton, cmdSayEdit)
    PAGE_CONTROL(QPushButton, cmdSayDelete)
    PAGE_CONTROL(QListWidget, lstLinkList)
    PAGE_CONTROL(QPushButton, cmdLinkAdd)
    PAGE_CONTROL(QPushButton, cmdLinkDel)
    PAGE_CONTROL(QPushButton, cmdLinkOpen)
    PAGE_CONTROL(QLabel, lblCDate)
    PAGE_CONTROL(QLabel, lblCTime)
    PAGE_CONTROL(QPushButton, cmdCDateNow)
    PAGE_CONTROL(QPushButton, cmdCDateFixUDate)
    PAGE_CONTROL(QLabel, lblUDate)
    PAGE_CONTROL(QLabel, lblUTime)
    PAGE_CONTROL(QPushButton, cmdUDateNow)
    PAGE_CONTROL(QPushButton, cmdUDateFixCDate)
    PAGE_CONTROL(QCheckBox, chkAutoTimeStump)
    PAGE_CONTROL(QPushButton, cmdExit)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class GroupEditPage : public DialogPage
{
public:
    explicit GroupEditPage(const fomGroupEdit &dialog) : DialogPage(dialog) {}
    explicit GroupEditPage(const fomGroupEdit *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QListWidget, lstGroup)
    PAGE_CONTROL(QLabel, lblStatus)
    PAGE_CONTROL(QPushButton, cmdAdd)
    PAGE_CONTROL(QPushButton, cmdEdit)
    PAGE_CONTROL(QPushButton, cmdDel)
    PAGE_CONTROL(QPushButton, cmdAllDel)
    PAGE_CONTROL(QPushButton, cmdUp)
    PAGE_CONTROL(QPushButton, cmdDown)
    PAGE_CONTROL(QPushButton, cmdOrderAsc)
    PAGE_CONTROL(QPushButton, cmdOrderDesc)
    PAGE_CONTROL(QPushButton, cmdExit)
};

class GroupSelectPage : public DialogPage
{
public:
    explicit GroupSelectPage(const fomGroupSelect &dialog) : DialogPage(dialog) {}
    explicit GroupSelectPage(const fomGroupSelect *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, lblMessage)
    PAGE_CONTROL(QListWidget, lstGroup)
    PAGE_CONTROL(QPushButton, cmdAllSelect)
    PAGE_CONTROL(QPushButton, cmdAllUnSelect)
    PAGE_CONTROL(QPushButton, cmdYes)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class CalendarPage : public DialogPage
{
public:
    explicit CalendarPage(const fomCalendarSelect &dialog) : DialogPage(dialog) {}
    explicit CalendarPage(const fomCalendarSelect *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, lblYear)
    PAGE_CONTROL(QLabel, lblMonth)
    PAGE_CONTROL(QPushButton, cmdYearLeft)
    PAGE_CONTROL(QPushButton, cmdYearRight)
    PAGE_CONTROL(QPushButton, cmdMonthLeft)
    PAGE_CONTROL(QPushButton, cmdMonthRight)
    PAGE_CONTROL(QPushButton, cmdNow)
    PAGE_CONTROL(QPushButton, cmdSelect)
    PAGE_CONTROL(QPushButton, cmdCancel)
    PAGE_CONTROLS(QLabel, lblWeek)
    PAGE_CONTROL(QWidget, Picture1)
    PAGE_CONTROLS(QToolButton, optDays)
};

class MsgBoxPage : public DialogPage
{
public:
    explicit MsgBoxPage(const fomMsgBox &dialog) : DialogPage(dialog) {}
    explicit MsgBoxPage(const fomMsgBox *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, lblIcon)
    PAGE_CONTROL(QLabel, lblMessage)
    PAGE_CONTROL(QPushButton, cmdYes)
    PAGE_CONTROL(QPushButton, cmdNo)
    PAGE_CONTROL(QPushButton, cmdAllYes)
    PAGE_CONTROL(QPushButton, cmdCancel)
    // The buttons left to right.
    QList<QPushButton *> buttons() const
    {
        return dialog()->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
    }
};

class ReportPage : public DialogPage
{
public:
    explicit ReportPage(const fomReport &dialog) : DialogPage(dialog) {}
    explicit ReportPage(const fomReport *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QPlainTextEdit, txtReport)
    PAGE_CONTROL(QPushButton, cmdCopy)
    PAGE_CONTROL(QPushButton, cmdFileOut)
    PAGE_CONTROL(QPushButton, cmdOK)
};

class ClockPage : public DialogPage
{
public:
    explicit ClockPage(const fomTimeSelect &dialog) : DialogPage(dialog) {}
    explicit ClockPage(const fomTimeSelect *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, lblHour)
    PAGE_CONTROL(QLabel, lblMin)
    PAGE_CONTROL(QLabel, lblSec)
    PAGE_CONTROL(QPushButton, cmdHourLeft)
    PAGE_CONTROL(QPushButton, cmdHourRight)
    PAGE_CONTROL(QPushButton, cmdMinLeft)
    PAGE_CONTROL(QPushButton, cmdMinRight)
    PAGE_CONTROL(QPushButton, cmdSecLeft)
    PAGE_CONTROL(QPushButton, cmdSecRight)
    PAGE_CONTROLS(QRadioButton, optAM)
    PAGE_CONTROL(QPushButton, cmdNow)
    PAGE_CONTROL(QPushButton, cmdSelect)
    PAGE_CONTROL(QPushButton, cmdCancel)
    PAGE_CONTROL(QWidget, picClock)
};

class VersionPage : public DialogPage
{
public:
    explicit VersionPage(const fomVersion &dialog) : DialogPage(dialog) {}
    explicit VersionPage(const fomVersion *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, picIcon)
    PAGE_CONTROLS(QLabel, lblText)
    PAGE_CONTROL(QPushButton, cmdExit)
};

class CsvGetPage : public DialogPage
{
public:
    explicit CsvGetPage(const fomCsvGet &dialog) : DialogPage(dialog) {}
    explicit CsvGetPage(const fomCsvGet *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, lblEncoding)
    PAGE_CONTROL(QComboBox, cboEncoding)
    PAGE_CONTROL(QLabel, Label1)
    PAGE_CONTROL(QListWidget, lstCsv)
    PAGE_CONTROL(QLabel, Label2)
    PAGE_CONTROL(QListWidget, lstCorvid)
    PAGE_CONTROL(QLabel, Label3)
    PAGE_CONTROL(QTableWidget, tblPreview)
    PAGE_CONTROL(QPushButton, cmdExit)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class CsvPutPage : public DialogPage
{
public:
    explicit CsvPutPage(const fomCsvPut &dialog) : DialogPage(dialog) {}
    explicit CsvPutPage(const fomCsvPut *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QGroupBox, Frame1)
    // The check box of item 0 .. 18 (chkID, chkNam ... chkUDate).
    QCheckBox *chkItem(int item) const
    {
        static const char *const names[CsvCardItemCount] = {
            "chkID",   "chkNam",   "chkPost",  "chkAdd",  "chkTel",    "chkFax",    "chkHandy",
            "chkBell", "chkBirth", "chkGroup", "chkMemo", "chkProf",   "chkSRBook", "chkExcFlg",
            "chkExcg", "chkSayFlg", "chkSay",  "chkCDate", "chkUDate"};
        return control<QCheckBox>(QLatin1String(names[item]));
    }
    PAGE_CONTROL(QGroupBox, Frame2)
    PAGE_CONTROL(QCheckBox, chkFukusuu)
    PAGE_CONTROL(QCheckBox, chkNiftyDomain)
    PAGE_CONTROL(QLabel, lblIdToAddress)
    PAGE_CONTROL(QPushButton, cmdExit)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class EudoraPutPage : public DialogPage
{
public:
    explicit EudoraPutPage(const fomEudoraPut &dialog) : DialogPage(dialog) {}
    explicit EudoraPutPage(const fomEudoraPut *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QGroupBox, Frame1)
    PAGE_CONTROLS(QRadioButton, optMultiID)
    PAGE_CONTROL(QPushButton, cmdExit)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class SetupPage : public DialogPage
{
public:
    explicit SetupPage(const fomSetup &dialog) : DialogPage(dialog) {}
    explicit SetupPage(const fomSetup *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLineEdit, txtHomeFolder)
    PAGE_CONTROL(QPushButton, cmdHomeFolder)
    PAGE_CONTROL(QLineEdit, txtGlobalLogFolder)
    PAGE_CONTROL(QPushButton, cmdGlobalLogFolder)
    PAGE_CONTROL(QPushButton, cmdCorvidInfo)
    PAGE_CONTROLS(QLineEdit, txtErrVal)
    PAGE_CONTROL(QPushButton, cmdInitPara)
    PAGE_CONTROL(QComboBox, cboNiftyDomain)
    PAGE_CONTROL(QCheckBox, chkLostMemoFlg)
    PAGE_CONTROL(QCheckBox, chkTrashFlg)
    PAGE_CONTROL(QPushButton, cmdExit)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class CompAddressPage : public DialogPage
{
public:
    explicit CompAddressPage(const fomCompAddress &dialog) : DialogPage(dialog) {}
    explicit CompAddressPage(const fomCompAddress *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QGroupBox, frmAddress)
    PAGE_CONTROL(QLineEdit, txtAdd1)
    PAGE_CONTROL(QLineEdit, txtAdd2)
    PAGE_CONTROL(QPushButton, cmdSelAdd1)
    PAGE_CONTROL(QPushButton, cmdSelAdd2)
    PAGE_CONTROL(QPushButton, cmdExec)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class IDConvPage : public DialogPage
{
public:
    explicit IDConvPage(const fomIDConv &dialog) : DialogPage(dialog) {}
    explicit IDConvPage(const fomIDConv *dialog) : DialogPage(dialog) {}

    PAGE_CONTROLS(QCheckBox, chkFunc)
    PAGE_CONTROLS(QRadioButton, optExcg)
    PAGE_CONTROLS(QRadioButton, optSay)
    PAGE_CONTROL(QPushButton, cmdExec)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class LightAddressPage : public DialogPage
{
public:
    explicit LightAddressPage(const fomLightAddress &dialog) : DialogPage(dialog) {}
    explicit LightAddressPage(const fomLightAddress *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QLabel, lblSize)
    PAGE_CONTROLS(QRadioButton, optLevel)
    PAGE_CONTROL(QLabel, lblInfo)
    PAGE_CONTROL(QCheckBox, chkNam)
    PAGE_CONTROL(QLineEdit, txtNam)
    PAGE_CONTROL(QCheckBox, chkID)
    PAGE_CONTROL(QLineEdit, txtID)
    PAGE_CONTROL(QCheckBox, chkProf)
    PAGE_CONTROL(QLineEdit, txtProf)
    PAGE_CONTROL(QCheckBox, chkProfNone)
    PAGE_CONTROL(QCheckBox, chkMail)
    PAGE_CONTROL(QLineEdit, txtMail)
    PAGE_CONTROL(QCheckBox, chkExcg)
    PAGE_CONTROL(QLineEdit, txtExcg)
    PAGE_CONTROL(QCheckBox, chkSay)
    PAGE_CONTROL(QLineEdit, txtSay)
    PAGE_CONTROL(QCheckBox, chkAdd)
    PAGE_CONTROL(QCheckBox, chkTel)
    PAGE_CONTROL(QCheckBox, chkFax)
    PAGE_CONTROL(QCheckBox, chkHandy)
    PAGE_CONTROL(QCheckBox, chkBell)
    PAGE_CONTROL(QCheckBox, chkMemo)
    PAGE_CONTROL(QCheckBox, chkGroup)
    PAGE_CONTROL(QPushButton, cmdExec)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

class RestorePage : public DialogPage
{
public:
    explicit RestorePage(const fomRestore &dialog) : DialogPage(dialog) {}
    explicit RestorePage(const fomRestore *dialog) : DialogPage(dialog) {}

    PAGE_CONTROL(QGroupBox, frmRestore)
    PAGE_CONTROL(QGroupBox, frmIDRepeat)
    PAGE_CONTROL(QLabel, lblTotal)
    PAGE_CONTROLS(QLabel, lblBC)
    PAGE_CONTROL(QCheckBox, chkRestore)
    PAGE_CONTROLS(QRadioButton, optRestoreLevel)
    PAGE_CONTROL(QCheckBox, chkIDRepeat)
    PAGE_CONTROLS(QRadioButton, optIDRepeat)
    PAGE_CONTROL(QProgressBar, prgRun)
    PAGE_CONTROL(QPushButton, cmdExec)
    PAGE_CONTROL(QPushButton, cmdCancel)
};

inline CardEditPage page(const fomCardEdit &d) { return CardEditPage(d); }
inline CardEditPage page(const fomCardEdit *d) { return CardEditPage(d); }
inline GroupEditPage page(const fomGroupEdit &d) { return GroupEditPage(d); }
inline GroupEditPage page(const fomGroupEdit *d) { return GroupEditPage(d); }
inline GroupSelectPage page(const fomGroupSelect &d) { return GroupSelectPage(d); }
inline GroupSelectPage page(const fomGroupSelect *d) { return GroupSelectPage(d); }
inline CalendarPage page(const fomCalendarSelect &d) { return CalendarPage(d); }
inline CalendarPage page(const fomCalendarSelect *d) { return CalendarPage(d); }
inline MsgBoxPage page(const fomMsgBox &d) { return MsgBoxPage(d); }
inline MsgBoxPage page(const fomMsgBox *d) { return MsgBoxPage(d); }
inline ReportPage page(const fomReport &d) { return ReportPage(d); }
inline ReportPage page(const fomReport *d) { return ReportPage(d); }
inline ClockPage page(const fomTimeSelect &d) { return ClockPage(d); }
inline ClockPage page(const fomTimeSelect *d) { return ClockPage(d); }
inline VersionPage page(const fomVersion &d) { return VersionPage(d); }
inline VersionPage page(const fomVersion *d) { return VersionPage(d); }
inline CsvGetPage page(const fomCsvGet &d) { return CsvGetPage(d); }
inline CsvGetPage page(const fomCsvGet *d) { return CsvGetPage(d); }
inline CsvPutPage page(const fomCsvPut &d) { return CsvPutPage(d); }
inline CsvPutPage page(const fomCsvPut *d) { return CsvPutPage(d); }
inline EudoraPutPage page(const fomEudoraPut &d) { return EudoraPutPage(d); }
inline EudoraPutPage page(const fomEudoraPut *d) { return EudoraPutPage(d); }
inline SetupPage page(const fomSetup &d) { return SetupPage(d); }
inline SetupPage page(const fomSetup *d) { return SetupPage(d); }
inline CompAddressPage page(const fomCompAddress &d) { return CompAddressPage(d); }
inline CompAddressPage page(const fomCompAddress *d) { return CompAddressPage(d); }
inline IDConvPage page(const fomIDConv &d) { return IDConvPage(d); }
inline IDConvPage page(const fomIDConv *d) { return IDConvPage(d); }
inline LightAddressPage page(const fomLightAddress &d) { return LightAddressPage(d); }
inline LightAddressPage page(const fomLightAddress *d) { return LightAddressPage(d); }
inline RestorePage page(const fomRestore &d) { return RestorePage(d); }
inline RestorePage page(const fomRestore *d) { return RestorePage(d); }
template <class Dialog>
auto page(const std::unique_ptr<Dialog> &d)
{
    return page(d.get());
}
