#pragma once
// The bulk card settings dialog: converting the online service's mail
// addresses among the IDs into bare service IDs, and setting the exchange
// and remark auto-record flags of every card (tools/idconv.h).

#include <QDialog>
#include <QStringList>

#include "core/model.h"
#include "tools/guitoolrun.h"
#include "tools/reportviewer.h"

class Prompter;
class QCheckBox;
class QPushButton;
class QRadioButton;

class fomIDConv : public QDialog
{
    Q_OBJECT

public:
    // Shows the dialog modally on the open book. domains are the service's
    // mail domains (serviceMailDomains()). Returns 0 after a run (the caller
    // marks the book modified and redraws its list), -1 when cancelled or
    // interrupted (the book is then as it was). busyState is the main
    // window's, set while the run goes over the cards.
    static int Run(AddressBook &book, const CardLimits &limits, const QStringList &domains,
                   Prompter &prompter, const ReportViewer &showReport,
                   ToolBusyState busyState = {}, QWidget *parent = nullptr);

    fomIDConv(AddressBook &book, const CardLimits &limits, const QStringList &domains,
              Prompter &prompter, ReportViewer showReport, ToolBusyState busyState = {},
              QWidget *parent = nullptr);

    // cmdExec: runs the checked functions in order on a copy of the book,
    // which takes the book's place when they all completed; then each
    // function's message follows. Returns 0 when they ran (the dialog is
    // then accepted); -1 when nothing was chosen (the dialog stays open) or
    // when the run was interrupted (the book is untouched, nothing is
    // shown and the dialog is rejected).
    int Execute();
    bool running() const { return m_run.running(); }
    // Called once per card during a run (tests act in the middle of a run
    // through it).
    void setStepHook(GuiToolRun::StepHook hook) { m_run.setStepHook(std::move(hook)); }

    // "ｷｬﾝｾﾙ", Esc and the close box: during a run they ask whether to
    // interrupt it.
    void reject() override;

private:
    QCheckBox *chkFunc[3] = {};
    QRadioButton *optExcg[2] = {};
    QRadioButton *optSay[2] = {};
    QPushButton *cmdExec = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void updateControls();

    AddressBook &m_book;
    CardLimits m_limits;
    QStringList m_domains;
    Prompter &m_prompter;
    ReportViewer m_showReport;
    QWidget *m_choices = nullptr; // the frame of the functions
    GuiToolRun m_run;
};
