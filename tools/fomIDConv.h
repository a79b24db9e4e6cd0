#pragma once
// The bulk card settings dialog: converting the online service's mail
// addresses among the IDs into bare service IDs, and setting the exchange
// and remark auto-record flags of every card (tools/idconv.h).

#include <QDialog>
#include <QStringList>

#include "core/model.h"
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
    // marks the book modified and redraws its list), -1 when cancelled.
    static int Run(AddressBook &book, const CardLimits &limits, const QStringList &domains,
                   Prompter &prompter, const ReportViewer &showReport,
                   QWidget *parent = nullptr);

    fomIDConv(AddressBook &book, const CardLimits &limits, const QStringList &domains,
              Prompter &prompter, ReportViewer showReport, QWidget *parent = nullptr);

    // cmdExec: runs the checked functions in order. Returns 0 when they ran
    // (the dialog is then accepted), -1 when nothing was chosen.
    int Execute();

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
};
