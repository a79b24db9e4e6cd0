#include "tools/fomLightAddress.h"
#include "tools/guibuttonrow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/oledate.h"
#include "common/prompter.h"
#include "core/fileinfo.h"
#include "core/ndbfile.h"

namespace {

QCheckBox *newCheck(const QString &caption, const char *name, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

QLineEdit *newCountBox(const char *name, QWidget *parent)
{
    auto *box = new QLineEdit(QStringLiteral("100"), parent);
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(3);
    box->setAlignment(Qt::AlignRight);
    box->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), box));
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    return box;
}

// An enabled count box has the window-background colour of a text box, a
// disabled one the button-face colour.
void setCountBoxEnabled(QLineEdit *box, bool enabled)
{
    box->setEnabled(enabled);
    const QPalette app = QApplication::palette();
    QPalette p = box->palette();
    p.setColor(QPalette::Base, app.color(enabled ? QPalette::Base : QPalette::Button));
    box->setPalette(p);
}

} // namespace

int fomLightAddress::Run(AddressBook &book, const CardLimits &limits, Prompter &prompter,
                         ToolBusyState busyState, QWidget *parent)
{
    fomLightAddress dialog(book, limits, prompter, busyState, parent);
    return dialog.exec() == QDialog::Accepted ? 0 : -1;
}

fomLightAddress::fomLightAddress(AddressBook &book, const CardLimits &limits,
                                 Prompter &prompter, ToolBusyState busyState, QWidget *parent)
    : QDialog(parent),
      m_book(book),
      m_limits(limits),
      m_prompter(prompter),
      m_run(prompter, busyState)
{
    setObjectName(QStringLiteral("fomLightAddress"));
    setWindowTitle(QStringLiteral("アドレス帳の減量"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    lblSize = new QLabel(this);
    lblSize->setObjectName(QStringLiteral("lblSize"));
    lblSize->setText(QStringLiteral("現在のアドレス帳サイズは ") + withThousands(ndbFileSize(book))
                     + QStringLiteral(" Byte あります。"));

    // The levels.
    auto *frmLevel = new QGroupBox(QStringLiteral("減量方法"), this);
    frmLevel->setObjectName(QStringLiteral("frmLevel"));
    m_levels = new QButtonGroup(this);
    auto *levelRow = new QHBoxLayout;
    levelRow->addWidget(new QLabel(QStringLiteral("レベル："), frmLevel));
    for (int i = 0; i < SlimLevelCount; ++i) {
        optLevel[i] = new QRadioButton(slimLevelCaption(i), frmLevel);
        optLevel[i]->setObjectName(QStringLiteral("optLevel%1").arg(i));
        m_levels->addButton(optLevel[i], i);
        levelRow->addWidget(optLevel[i]);
    }
    levelRow->addStretch(1);
    lblInfo = new QLabel(frmLevel);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setMinimumHeight(lblInfo->fontMetrics().height() + 4);
    auto *levelLayout = new QVBoxLayout(frmLevel);
    levelLayout->addLayout(levelRow);
    levelLayout->addWidget(lblInfo);

    // The options.
    auto *frmOptions = new QFrame(this);
    frmOptions->setObjectName(QStringLiteral("frmOptions"));
    frmOptions->setFrameShape(QFrame::StyledPanel);
    chkNam = newCheck(QStringLiteral("名前を整理する"), "chkNam", frmOptions);
    txtNam = newCountBox("txtNam", frmOptions);
    chkID = newCheck(QStringLiteral("IDを整理する"), "chkID", frmOptions);
    txtID = newCountBox("txtID", frmOptions);
    chkProf = newCheck(QStringLiteral("ﾌﾟﾛﾌｨｰﾙを整理する"), "chkProf", frmOptions);
    txtProf = newCountBox("txtProf", frmOptions);
    chkProfNone =
        newCheck(QStringLiteral("取得できなかった履歴は無条件に削除する"), "chkProfNone", frmOptions);
    chkMail = newCheck(QStringLiteral("電子メール履歴を整理する"), "chkMail", frmOptions);
    txtMail = newCountBox("txtMail", frmOptions);
    chkExcg = newCheck(QStringLiteral("交流記録を整理する"), "chkExcg", frmOptions);
    txtExcg = newCountBox("txtExcg", frmOptions);
    chkSay = newCheck(QStringLiteral("発言記録を整理する"), "chkSay", frmOptions);
    txtSay = newCountBox("txtSay", frmOptions);

    auto *grid = new QGridLayout;
    int row = 0;
    const auto addCountRow = [&](QCheckBox *check, QLineEdit *box) {
        grid->addWidget(check, row, 0, 1, 2);
        grid->addWidget(box, row, 2);
        grid->addWidget(new QLabel(QStringLiteral("件以下にする"), frmOptions), row, 3);
        ++row;
    };
    addCountRow(chkNam, txtNam);
    addCountRow(chkID, txtID);
    addCountRow(chkProf, txtProf);
    grid->addWidget(chkProfNone, row++, 1, 1, 3);
    addCountRow(chkMail, txtMail);
    addCountRow(chkExcg, txtExcg);
    addCountRow(chkSay, txtSay);
    grid->setColumnMinimumWidth(0, 20);
    grid->setColumnStretch(4, 1);

    chkAdd = newCheck(QStringLiteral("住所"), "chkAdd", frmOptions);
    chkTel = newCheck(QStringLiteral("電話番号"), "chkTel", frmOptions);
    chkFax = newCheck(QStringLiteral("FAX"), "chkFax", frmOptions);
    chkHandy = newCheck(QStringLiteral("携帯"), "chkHandy", frmOptions);
    chkBell = newCheck(QStringLiteral("ポケベル"), "chkBell", frmOptions);
    chkMemo = newCheck(QStringLiteral("メモ"), "chkMemo", frmOptions);
    chkGroup = newCheck(QStringLiteral("グループの登録情報"), "chkGroup", frmOptions);
    auto *fields = new QVBoxLayout;
    const QList<QCheckBox *> fieldChecks = fieldOptions();
    for (int first = 0; first < fieldChecks.size(); first += 4) {
        auto *line = new QHBoxLayout;
        line->setSpacing(16);
        for (int i = first; i < qMin(first + 4, int(fieldChecks.size())); ++i)
            line->addWidget(fieldChecks[i]);
        line->addStretch(1);
        fields->addLayout(line);
    }

    auto *optionsLayout = new QVBoxLayout(frmOptions);
    optionsLayout->addLayout(grid);
    optionsLayout->addSpacing(6);
    optionsLayout->addWidget(new QLabel(QStringLiteral("その他、以下の項目は無条件に削除する"), frmOptions));
    auto *indented = new QHBoxLayout;
    indented->addSpacing(20);
    indented->addLayout(fields);
    optionsLayout->addLayout(indented);

    auto *buttons = guiExecCancelRow(this, cmdExec, QStringLiteral("実行"), cmdCancel, QStringLiteral("ｷｬﾝｾﾙ"));
    m_choices[0] = frmLevel;
    m_choices[1] = frmOptions;

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSize);
    layout->addWidget(frmLevel);
    layout->addWidget(frmOptions);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_levels, &QButtonGroup::idClicked, this, &fomLightAddress::SelectLevel);
    for (const CountOption &o : countOptions())
        connect(o.check, &QCheckBox::toggled, this, &fomLightAddress::updateControls);
    connect(cmdExec, &QPushButton::clicked, this, &fomLightAddress::Execute);
    connect(cmdCancel, &QPushButton::clicked, this, &fomLightAddress::reject);

    // No level is chosen yet: the options show their design values and
    // wait for one.
    updateControls();
    optLevel[0]->setFocus();
}

QList<fomLightAddress::CountOption> fomLightAddress::countOptions() const
{
    return {{chkNam, txtNam}, {chkID, txtID},     {chkProf, txtProf},
            {chkMail, txtMail}, {chkExcg, txtExcg}, {chkSay, txtSay}};
}

QList<QCheckBox *> fomLightAddress::fieldOptions() const
{
    return {chkAdd, chkTel, chkFax, chkHandy, chkBell, chkMemo, chkGroup};
}

int fomLightAddress::level() const
{
    return m_levels->checkedId();
}

void fomLightAddress::SelectLevel(int level)
{
    if (level < 0 || level >= SlimLevelCount)
        return;
    if (!optLevel[level]->isChecked())
        optLevel[level]->setChecked(true);
    lblInfo->setText(slimLevelDescription(level));
    if (level != SlimCustomLevel) {
        SlimOptions o;
        readOptions(o);
        applySlimPreset(o, level);
        showOptions(o);
    }
    updateControls();
}

void fomLightAddress::updateControls()
{
    const bool custom = level() == SlimCustomLevel;
    for (const CountOption &o : countOptions()) {
        o.check->setEnabled(custom);
        setCountBoxEnabled(o.box, custom && o.check->isChecked());
    }
    chkProfNone->setEnabled(custom && chkProf->isChecked());
    for (QCheckBox *c : fieldOptions())
        c->setEnabled(custom);
}

bool fomLightAddress::readOptions(SlimOptions &o, QLineEdit **badBox) const
{
    const auto read = [badBox](SlimLimit &limit, QCheckBox *check, QLineEdit *box) {
        limit.on = check->isChecked();
        if (parseSlimCount(box->text(), limit.count))
            return true;
        if (badBox && !*badBox)
            *badBox = box;
        return false;
    };
    if (badBox)
        *badBox = nullptr;
    bool ok = read(o.names, chkNam, txtNam);
    ok = read(o.ids, chkID, txtID) && ok;
    ok = read(o.profile, chkProf, txtProf) && ok;
    ok = read(o.mailLog, chkMail, txtMail) && ok;
    ok = read(o.exchangeRecords, chkExcg, txtExcg) && ok;
    ok = read(o.remarkRecords, chkSay, txtSay) && ok;
    o.profileNone = chkProfNone->isChecked();
    o.address = chkAdd->isChecked();
    o.telephone = chkTel->isChecked();
    o.fax = chkFax->isChecked();
    o.mobile = chkHandy->isChecked();
    o.pager = chkBell->isChecked();
    o.memo = chkMemo->isChecked();
    o.groups = chkGroup->isChecked();
    return ok;
}

void fomLightAddress::showOptions(const SlimOptions &o)
{
    const auto show = [](const SlimLimit &limit, QCheckBox *check, QLineEdit *box) {
        check->setChecked(limit.on);
        box->setText(QString::number(limit.count));
    };
    show(o.names, chkNam, txtNam);
    show(o.ids, chkID, txtID);
    show(o.profile, chkProf, txtProf);
    show(o.mailLog, chkMail, txtMail);
    show(o.exchangeRecords, chkExcg, txtExcg);
    show(o.remarkRecords, chkSay, txtSay);
    chkProfNone->setChecked(o.profileNone);
    chkAdd->setChecked(o.address);
    chkTel->setChecked(o.telephone);
    chkFax->setChecked(o.fax);
    chkHandy->setChecked(o.mobile);
    chkBell->setChecked(o.pager);
    chkMemo->setChecked(o.memo);
    chkGroup->setChecked(o.groups);
    updateControls();
}

int fomLightAddress::Execute()
{
    if (m_run.refusedWhileRunning())
        return -1;
    SlimOptions o;
    QLineEdit *badBox = nullptr;
    const bool numbers = readOptions(o, &badBox);

    // Nothing chosen is told first; a box without a whole number stops the
    // run without a word, the box taking the focus.
    SlimOptions checksOnly = o;
    for (SlimLimit *l : {&checksOnly.ids, &checksOnly.names})
        l->count = 1;
    const QString nothing = slimOptionsProblem(checksOnly);
    if (!nothing.isEmpty()) {
        m_prompter.notice(nothing, Prompter::Icon::Warning);
        return -1;
    }
    if (!numbers) {
        if (badBox && badBox->isEnabled()) {
            badBox->setFocus();
            badBox->selectAll();
        }
        return -1;
    }
    const QString problem = slimOptionsProblem(o);
    if (!problem.isEmpty()) {
        m_prompter.notice(problem, Prompter::Icon::Warning);
        return -1;
    }

    // The options are taken now: window events keep coming in between
    // cards. The run works on a copy, so that an interrupted one leaves
    // nothing half done.
    for (QWidget *w : m_choices)
        w->setEnabled(false);
    m_run.start();
    AddressBook work = m_book;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SlimResult result = slimBook(work, o, m_limits, oleNow(), m_run.progress());
    QApplication::restoreOverrideCursor();
    m_run.finish();
    for (QWidget *w : m_choices)
        w->setEnabled(true);
    if (result.interrupted) {
        QDialog::reject();
        return -1;
    }
    m_book = std::move(work);
    m_prompter.notice(slimResultMessage(result));
    accept();
    return 0;
}

void fomLightAddress::reject()
{
    if (m_run.running()) {
        m_run.requestInterrupt();
        return;
    }
    QDialog::reject();
}
