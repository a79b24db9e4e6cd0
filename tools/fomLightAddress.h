#pragma once
// The slimming dialog: a level (three presets and a custom one), the
// options it sets, and "実行" to slim the open book (tools/slim.h).

#include <QDialog>

#include "core/model.h"
#include "tools/guitoolrun.h"
#include "tools/slim.h"

class Prompter;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class fomLightAddress : public QDialog
{
    Q_OBJECT

public:
    // Shows the dialog modally on the open book. Returns 0 when a run
    // completed (the book may have changed; the caller marks it modified
    // and redraws its list), -1 when the user closed the dialog or
    // interrupted the run (the book is then as it was). busyState is the
    // main window's, set while the run goes over the cards.
    static int Run(AddressBook &book, const CardLimits &limits, Prompter &prompter,
                   ToolBusyState busyState = {}, QWidget *parent = nullptr);

    fomLightAddress(AddressBook &book, const CardLimits &limits, Prompter &prompter,
                    ToolBusyState busyState = {}, QWidget *parent = nullptr);

    // optLevel(level): presets the options (levels 0-2) or lets the user
    // set them (level 3).
    void SelectLevel(int level);
    // The selected level, or -1 while none is.
    int level() const;
    // cmdExec: checks the options and runs on a copy of the book, which
    // takes the book's place when the run completes. Returns 0 when the
    // run completed (the dialog is then accepted); -1 when the options
    // stop it (the dialog stays open), or when it was interrupted (the
    // book is untouched and the dialog is rejected).
    int Execute();
    bool running() const { return m_run.running(); }
    // Called once per card during a run (tests act in the middle of a run
    // through it).
    void setStepHook(GuiToolRun::StepHook hook) { m_run.setStepHook(std::move(hook)); }

    // "ｷｬﾝｾﾙ", Esc and the close box: during a run they ask whether to
    // interrupt it.
    void reject() override;

    // The options as the controls show them. False when a count box holds
    // no whole number; *badBox then receives it.
    bool readOptions(SlimOptions &options, QLineEdit **badBox = nullptr) const;
    void showOptions(const SlimOptions &options);

private:
    QLabel *lblSize = nullptr;
    QRadioButton *optLevel[SlimLevelCount] = {};
    QLabel *lblInfo = nullptr;
    QCheckBox *chkNam = nullptr;
    QLineEdit *txtNam = nullptr;
    QCheckBox *chkID = nullptr;
    QLineEdit *txtID = nullptr;
    QCheckBox *chkProf = nullptr;
    QLineEdit *txtProf = nullptr;
    QCheckBox *chkProfNone = nullptr;
    QCheckBox *chkMail = nullptr;
    QLineEdit *txtMail = nullptr;
    QCheckBox *chkExcg = nullptr;
    QLineEdit *txtExcg = nullptr;
    QCheckBox *chkSay = nullptr;
    QLineEdit *txtSay = nullptr;
    QCheckBox *chkAdd = nullptr;
    QCheckBox *chkTel = nullptr;
    QCheckBox *chkFax = nullptr;
    QCheckBox *chkHandy = nullptr;
    QCheckBox *chkBell = nullptr;
    QCheckBox *chkMemo = nullptr;
    QCheckBox *chkGroup = nullptr;
    QPushButton *cmdExec = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    struct CountOption
    {
        QCheckBox *check;
        QLineEdit *box;
    };
    QList<CountOption> countOptions() const;
    QList<QCheckBox *> fieldOptions() const;
    // Enables the controls for the level and the check boxes' states.
    void updateControls();

    AddressBook &m_book;
    CardLimits m_limits;
    Prompter &m_prompter;
    QButtonGroup *m_levels = nullptr;
    QWidget *m_choices[2] = {}; // the level frame and the options frame
    GuiToolRun m_run;
};
