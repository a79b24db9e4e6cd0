#pragma once
// The restoration dialog: fixes the cards validation flagged, at a chosen
// depth, and looks for IDs held more than once, reporting or merging them
// (tools/restore.h). A run lets window events through between cards; the
// close box (or "ｷｬﾝｾﾙ", or Esc) then offers to interrupt it.

#include <QDialog>
#include <functional>

#include "core/model.h"
#include "tools/guitoolrun.h"
#include "tools/reportviewer.h"

class Prompter;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QRadioButton;

class fomRestore : public QDialog
{
    Q_OBJECT

public:
    using BusyState = ToolBusyState;

    // Shows the dialog modally on the open book. Returns 0 after a run (the
    // caller marks the book modified, repaints, drops vanished cards from
    // its search result and redraws its list), -1 when cancelled.
    static int Run(AddressBook &book, const CardLimits &limits, Prompter &prompter,
                   const ReportViewer &showReport, BusyState busyState = {},
                   QWidget *parent = nullptr);

    fomRestore(AddressBook &book, const CardLimits &limits, Prompter &prompter,
               ReportViewer showReport, BusyState busyState = {}, QWidget *parent = nullptr);

    // cmdExec. Returns 0 when a run completed (the dialog is then
    // accepted), -1 when it was refused.
    int Execute();
    bool running() const { return m_run.running(); }
    // What the close box does during a run: asks whether to interrupt.
    void requestInterrupt();

    // Called once per card or pair during a run, after the events were let
    // through (tests use it to act in the middle of a run).
    void setStepHook(GuiToolRun::StepHook hook) { m_run.setStepHook(std::move(hook)); }

private:
    QGroupBox *frmRestore = nullptr;
    QGroupBox *frmIDRepeat = nullptr;
    QLabel *lblTotal = nullptr;
    QLabel *lblBC[3] = {};
    QCheckBox *chkRestore = nullptr;
    QRadioButton *optRestoreLevel[3] = {};
    QCheckBox *chkIDRepeat = nullptr;
    QRadioButton *optIDRepeat[2] = {};
    QProgressBar *prgRun = nullptr;
    QPushButton *cmdExec = nullptr;
    QPushButton *cmdCancel = nullptr;

public:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void updateControls();
    void showProgress(qint64 done, qint64 total);

    AddressBook &m_book;
    CardLimits m_limits;
    Prompter &m_prompter;
    ReportViewer m_showReport;
    GuiToolRun m_run;
};
