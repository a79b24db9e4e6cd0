#pragma once
// The options dialog: Corvid's two folders, the limits above which a card
// counts as suspicious, the service mail domain and two file options
// (shell/setuplogic.h holds its checks and how it stores them).

#include <QDialog>

#include "core/model.h"
#include "shell/setuplogic.h"

class Prompter;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class WineHost;
struct Settings;

class fomSetup : public QDialog
{
    Q_OBJECT

public:
    // Shows the dialog modally. Returns 0 after OK, when the settings have
    // been changed and every card of book validated again with the new
    // limits (the caller then rebuilds its list); -1 after cancel or
    // closing, when nothing has changed.
    static int Run(Settings &settings, const WineHost &host, AddressBook &book,
                   Prompter &prompter, QWidget *parent = nullptr);

    fomSetup(Settings &settings, const WineHost &host, AddressBook &book, Prompter &prompter,
             QWidget *parent = nullptr);

    // What the controls hold, and filling them.
    SetupForm form() const;
    void setForm(const SetupForm &form);

    // cmdExit: the checks, then the settings are stored and the dialog
    // closes. Returns 0, or -1 when a check kept the dialog open.
    int Apply();

private:
    QLineEdit *txtHomeFolder = nullptr;
    QPushButton *cmdHomeFolder = nullptr;
    QLineEdit *txtGlobalLogFolder = nullptr;
    QPushButton *cmdGlobalLogFolder = nullptr;
    QPushButton *cmdCorvidInfo = nullptr;
    QLineEdit *txtErrVal[Settings::ErrorValueCount] = {};
    QPushButton *cmdInitPara = nullptr;
    QComboBox *cboNiftyDomain = nullptr;
    QCheckBox *chkLostMemoFlg = nullptr;
    QCheckBox *chkTrashFlg = nullptr;
    QPushButton *cmdExit = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void chooseFolder(QLineEdit *box, const QString &prompt);
    void rediscover();
    void initLimits();
    QLineEdit *control(SetupControl c) const;

    Settings &m_settings;
    const WineHost &m_host;
    AddressBook &m_book;
    Prompter &m_prompter;
};
