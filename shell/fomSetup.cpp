#include "shell/fomSetup.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/prompter.h"
#include "shell/filekind.h"
#include "shell/settings.h"
#include "shell/setuptexts.h"

namespace {

QLabel *note(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Disabled, QPalette::WindowText));
    label->setPalette(pal);
    return label;
}

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

int fomSetup::Run(Settings &settings, const WineHost &host, AddressBook &book,
                  Prompter &prompter, QWidget *parent)
{
    fomSetup dialog(settings, host, book, prompter, parent);
    return dialog.exec() == QDialog::Accepted ? 0 : -1;
}

fomSetup::fomSetup(Settings &settings, const WineHost &host, AddressBook &book,
                   Prompter &prompter, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_host(host), m_book(book), m_prompter(prompter)
{
    using namespace SetupText;
    setObjectName(QStringLiteral("fomSetup"));
    setWindowTitle(Title);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    // Corvid's folders.
    auto *frmCorvid = new QGroupBox(FrameCorvid, this);
    frmCorvid->setObjectName(QStringLiteral("frmCorvid"));
    txtHomeFolder = new QLineEdit(frmCorvid);
    txtHomeFolder->setObjectName(QStringLiteral("txtHomeFolder"));
    txtHomeFolder->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    cmdHomeFolder = button(Browse, "cmdHomeFolder", frmCorvid);
    txtGlobalLogFolder = new QLineEdit(frmCorvid);
    txtGlobalLogFolder->setObjectName(QStringLiteral("txtGlobalLogFolder"));
    cmdGlobalLogFolder = button(Browse, "cmdGlobalLogFolder", frmCorvid);
    cmdCorvidInfo = button(Rediscover, "cmdCorvidInfo", frmCorvid);
    const int browseWidth = cmdHomeFolder->fontMetrics().horizontalAdvance(Browse) + 16;
    cmdHomeFolder->setFixedWidth(browseWidth);
    cmdGlobalLogFolder->setFixedWidth(browseWidth);

    auto *lblHomeFolder = new QLabel(LabelHomeFolder, frmCorvid);
    lblHomeFolder->setBuddy(txtHomeFolder);
    auto *lblGlobalLogFolder = new QLabel(LabelGlobalLogFolder, frmCorvid);
    lblGlobalLogFolder->setBuddy(txtGlobalLogFolder);
    auto *folders = new QGridLayout(frmCorvid);
    folders->addWidget(lblHomeFolder, 0, 0);
    folders->addWidget(txtHomeFolder, 0, 1);
    folders->addWidget(cmdHomeFolder, 0, 2);
    folders->addWidget(note(NoteHomeFolder, frmCorvid), 1, 1, 1, 2);
    folders->addWidget(lblGlobalLogFolder, 2, 0);
    folders->addWidget(txtGlobalLogFolder, 2, 1);
    folders->addWidget(cmdGlobalLogFolder, 2, 2);
    folders->addWidget(note(NoteGlobalLogFolder, frmCorvid), 3, 1, 1, 2);
    auto *rediscoverRow = new QHBoxLayout;
    rediscoverRow->addStretch(1);
    rediscoverRow->addWidget(cmdCorvidInfo);
    folders->addLayout(rediscoverRow, 4, 0, 1, 3);
    folders->setColumnStretch(1, 1);

    // The limits: IDs, names, profile and mail log on the left, the two
    // record lists and the text on the right, above "初期値".
    auto *frmLimits = new QGroupBox(FrameLimits, this);
    frmLimits->setObjectName(QStringLiteral("frmErrVal"));
    auto *limits = new QGridLayout(frmLimits);
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000000000")) + 12;
    for (int i = 0; i < Settings::ErrorValueCount; ++i) {
        auto *box = new QLineEdit(frmLimits);
        box->setObjectName(QStringLiteral("txtErrVal%1").arg(i));
        box->setAlignment(Qt::AlignRight);
        box->setMaxLength(10);
        box->setFixedWidth(boxWidth);
        txtErrVal[i] = box;
        auto *label = new QLabel(LimitLabels[i], frmLimits);
        label->setBuddy(box);
        const int row = i < 4 ? i : i - 4;
        const int column = i < 4 ? 0 : 4;
        limits->addWidget(label, row, column);
        limits->addWidget(box, row, column + 1);
        limits->addWidget(new QLabel(LimitUnits[i], frmLimits), row, column + 2);
    }
    limits->setColumnMinimumWidth(3, 24);
    limits->setColumnStretch(3, 1);
    limits->setColumnStretch(7, 1);
    cmdInitPara = button(Defaults, "cmdInitPara", frmLimits);
    limits->addWidget(cmdInitPara, 3, 4, 1, 3, Qt::AlignRight);

    // The rest.
    auto *frmOther = new QGroupBox(FrameOther, this);
    frmOther->setObjectName(QStringLiteral("frmOther"));
    cboNiftyDomain = new QComboBox(frmOther);
    cboNiftyDomain->setObjectName(QStringLiteral("cboNiftyDomain"));
    cboNiftyDomain->setEditable(true);
    cboNiftyDomain->setInsertPolicy(QComboBox::NoInsert);
    cboNiftyDomain->addItems(niftyDomainChoices());
    cboNiftyDomain->setMinimumWidth(fontMetrics().averageCharWidth() * 20);
    chkLostMemoFlg = new QCheckBox(LostMemo, frmOther);
    chkLostMemoFlg->setObjectName(QStringLiteral("chkLostMemoFlg"));
    chkTrashFlg = new QCheckBox(Trash, frmOther);
    chkTrashFlg->setObjectName(QStringLiteral("chkTrashFlg"));
    auto *lblNiftyDomain = new QLabel(LabelNiftyDomain, frmOther);
    lblNiftyDomain->setBuddy(cboNiftyDomain);
    auto *domainRow = new QHBoxLayout;
    domainRow->addWidget(lblNiftyDomain);
    domainRow->addWidget(cboNiftyDomain);
    domainRow->addStretch(1);
    auto *other = new QVBoxLayout(frmOther);
    other->addLayout(domainRow);
    other->addWidget(chkLostMemoFlg);
    other->addWidget(chkTrashFlg);

    cmdExit = new QPushButton(Ok, this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setDefault(true);
    cmdCancel = button(Cancel, "cmdCancel", this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frmCorvid);
    layout->addWidget(frmLimits);
    layout->addWidget(frmOther);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdHomeFolder, &QPushButton::clicked, this,
            [this] { chooseFolder(txtHomeFolder, SetupText::PromptHomeFolder); });
    connect(cmdGlobalLogFolder, &QPushButton::clicked, this,
            [this] { chooseFolder(txtGlobalLogFolder, SetupText::PromptGlobalLogFolder); });
    connect(cmdCorvidInfo, &QPushButton::clicked, this, &fomSetup::rediscover);
    connect(cmdInitPara, &QPushButton::clicked, this, &fomSetup::initLimits);
    connect(cmdExit, &QPushButton::clicked, this, &fomSetup::Apply);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    setForm(setupFormFor(m_settings));
}

SetupForm fomSetup::form() const
{
    SetupForm f;
    f.homeFolder = txtHomeFolder->text();
    f.globalLogFolder = txtGlobalLogFolder->text();
    for (int i = 0; i < Settings::ErrorValueCount; ++i)
        f.limits[i] = txtErrVal[i]->text();
    f.niftyDomain = cboNiftyDomain->currentText();
    f.trashFlag = chkTrashFlg->isChecked();
    f.lostMemoFlag = chkLostMemoFlg->isChecked();
    return f;
}

void fomSetup::setForm(const SetupForm &f)
{
    txtHomeFolder->setText(f.homeFolder);
    txtGlobalLogFolder->setText(f.globalLogFolder);
    for (int i = 0; i < Settings::ErrorValueCount; ++i)
        txtErrVal[i]->setText(f.limits[i]);
    cboNiftyDomain->setCurrentIndex(0);
    if (!f.niftyDomain.isEmpty())
        cboNiftyDomain->setEditText(f.niftyDomain);
    chkTrashFlg->setChecked(f.trashFlag);
    chkLostMemoFlg->setChecked(f.lostMemoFlag);
}

void fomSetup::chooseFolder(QLineEdit *box, const QString &prompt)
{
    const QString chosen =
        chooseFolderPath(m_prompter, prompt, folderForDisplay(box->text()));
    if (chosen.isEmpty())
        return;
    box->setText(folderForDisplay(chosen));
    box->setFocus();
    box->selectAll();
}

void fomSetup::rediscover()
{
    SetupForm f = form();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    rediscoverFolders(f, m_host);
    QApplication::restoreOverrideCursor();
    txtHomeFolder->setText(f.homeFolder);
    txtGlobalLogFolder->setText(f.globalLogFolder);
}

void fomSetup::initLimits()
{
    SetupForm f;
    resetLimits(f);
    for (int i = 0; i < Settings::ErrorValueCount; ++i)
        txtErrVal[i]->setText(f.limits[i]);
}

QLineEdit *fomSetup::control(SetupControl c) const
{
    switch (c) {
    case SetupControl::None:
        return nullptr;
    case SetupControl::HomeFolder:
        return txtHomeFolder;
    case SetupControl::GlobalLogFolder:
        return txtGlobalLogFolder;
    default:
        break;
    }
    const int i = int(c) - int(SetupControl::Limit0);
    return i >= 0 && i < Settings::ErrorValueCount ? txtErrVal[i] : nullptr;
}

int fomSetup::Apply()
{
    SetupControl focus = SetupControl::None;
    if (applySetupForm(form(), m_settings, m_book, m_prompter, &focus) != 0) {
        if (QLineEdit *box = control(focus)) {
            box->setFocus();
            box->selectAll();
        }
        return -1;
    }
    accept();
    return 0;
}
