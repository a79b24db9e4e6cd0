#include "tools/fomRestore.h"
#include "tools/guibuttonrow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <climits>

#include "common/oledate.h"
#include "common/prompter.h"
#include "core/fileinfo.h"
#include "core/validation.h"
#include "tools/restore.h"

namespace {

// The repair level of each optRestoreLevel button.
constexpr int RestoreLevels[3] = {RepairBroken, RepairAbnormal, RepairAll};

QString cardsText(int n)
{
    return withThousands(n) + QStringLiteral(" 枚");
}

} // namespace

int fomRestore::Run(AddressBook &book, const CardLimits &limits, Prompter &prompter,
                    const ReportViewer &showReport, BusyState busyState, QWidget *parent)
{
    fomRestore dialog(book, limits, prompter, showReport, busyState, parent);
    return dialog.exec() == QDialog::Accepted ? 0 : -1;
}

fomRestore::fomRestore(AddressBook &book, const CardLimits &limits, Prompter &prompter,
                       ReportViewer showReport, BusyState busyState, QWidget *parent)
    : QDialog(parent),
      m_book(book),
      m_limits(limits),
      m_prompter(prompter),
      m_showReport(std::move(showReport)),
      m_run(prompter, busyState)
{
    setObjectName(QStringLiteral("fomRestore"));
    setWindowTitle(QStringLiteral("ｶｰﾄﾞの修復"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    // The counts.
    const SeverityCounts counts = countBySeverity(book);
    auto *countGrid = new QGridLayout;
    const QString captions[4] = {QStringLiteral("全カード枚数："), QStringLiteral("× 破損カード枚数："),
                                 QStringLiteral("！ 異常カード枚数："),
                                 QStringLiteral("？ 不信カード枚数：")};
    const int values[4] = {counts.cards, counts.broken, counts.abnormal, counts.suspicious};
    for (int i = 0; i < 4; ++i) {
        auto *value = new QLabel(cardsText(values[i]), this);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (i == 0) {
            lblTotal = value;
            value->setObjectName(QStringLiteral("lblTotal"));
        } else {
            lblBC[i - 1] = value;
            value->setObjectName(QStringLiteral("lblBC%1").arg(i - 1));
        }
        countGrid->addWidget(new QLabel(captions[i], this), i, 0);
        countGrid->addWidget(value, i, 1);
    }
    countGrid->setColumnStretch(2, 1);

    // Fixing flagged cards.
    frmRestore = new QGroupBox(QStringLiteral("不良ｶｰﾄﾞの修復"), this);
    frmRestore->setObjectName(QStringLiteral("frmRestore"));
    chkRestore = new QCheckBox(QStringLiteral("不良カードを修復する"), frmRestore);
    chkRestore->setObjectName(QStringLiteral("chkRestore"));
    const QString levelCaptions[3] = {QStringLiteral("破損ｶｰﾄﾞを修復する"),
                                      QStringLiteral("破損ｶｰﾄﾞと異常ｶｰﾄﾞを修復する"),
                                      QStringLiteral("全てを修復する")};
    auto *levelGroup = new QButtonGroup(this);
    auto *restoreLayout = new QGridLayout(frmRestore);
    restoreLayout->addWidget(chkRestore, 0, 0, 1, 2);
    for (int i = 0; i < 3; ++i) {
        optRestoreLevel[i] = new QRadioButton(levelCaptions[i], frmRestore);
        optRestoreLevel[i]->setObjectName(QStringLiteral("optRestoreLevel%1").arg(i));
        levelGroup->addButton(optRestoreLevel[i], i);
        restoreLayout->addWidget(optRestoreLevel[i], i + 1, 1);
    }
    restoreLayout->setColumnMinimumWidth(0, 20);
    restoreLayout->setColumnStretch(1, 1);
    optRestoreLevel[0]->setChecked(true);

    // Duplicate IDs.
    frmIDRepeat = new QGroupBox(QStringLiteral("重複IDの修復"), this);
    frmIDRepeat->setObjectName(QStringLiteral("frmIDRepeat"));
    chkIDRepeat = new QCheckBox(QStringLiteral("重複IDを探査する"), frmIDRepeat);
    chkIDRepeat->setObjectName(QStringLiteral("chkIDRepeat"));
    const QString repeatCaptions[2] = {QStringLiteral("見つかったら統合する"),
                                       QStringLiteral("レポート表示のみ")};
    auto *repeatGroup = new QButtonGroup(this);
    auto *repeatLayout = new QGridLayout(frmIDRepeat);
    repeatLayout->addWidget(chkIDRepeat, 0, 0, 1, 2);
    for (int i = 0; i < 2; ++i) {
        optIDRepeat[i] = new QRadioButton(repeatCaptions[i], frmIDRepeat);
        optIDRepeat[i]->setObjectName(QStringLiteral("optIDRepeat%1").arg(i));
        repeatGroup->addButton(optIDRepeat[i], i);
        repeatLayout->addWidget(optIDRepeat[i], i + 1, 1);
    }
    repeatLayout->setColumnMinimumWidth(0, 20);
    repeatLayout->setColumnStretch(1, 1);
    optIDRepeat[0]->setChecked(true);

    prgRun = new QProgressBar(this);
    prgRun->setObjectName(QStringLiteral("prgRun"));
    prgRun->setTextVisible(false);
    prgRun->setRange(0, 1);
    prgRun->setValue(0);
    prgRun->setMaximumHeight(prgRun->fontMetrics().height() / 2 + 4);

    auto *buttons = guiExecCancelRow(this, cmdExec, QStringLiteral("実行"), cmdCancel, QStringLiteral("ｷｬﾝｾﾙ"));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(countGrid);
    layout->addWidget(frmRestore);
    layout->addWidget(frmIDRepeat);
    layout->addWidget(prgRun);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkRestore, &QCheckBox::toggled, this, &fomRestore::updateControls);
    connect(chkIDRepeat, &QCheckBox::toggled, this, &fomRestore::updateControls);
    connect(cmdExec, &QPushButton::clicked, this, &fomRestore::Execute);
    connect(cmdCancel, &QPushButton::clicked, this, &fomRestore::reject);
    updateControls();
}

void fomRestore::updateControls()
{
    for (QRadioButton *o : optRestoreLevel)
        o->setEnabled(chkRestore->isChecked());
    for (QRadioButton *o : optIDRepeat)
        o->setEnabled(chkIDRepeat->isChecked());
}

void fomRestore::showProgress(qint64 done, qint64 total)
{
    if (total > 0 && total <= INT_MAX) {
        if (prgRun->maximum() != int(total))
            prgRun->setRange(0, int(total));
        prgRun->setValue(int(done));
    }
}

int fomRestore::Execute()
{
    if (m_run.refusedWhileRunning())
        return -1;
    if (!chkRestore->isChecked() && !chkIDRepeat->isChecked()) {
        m_prompter.notice(QStringLiteral("機能が選択されていません。"), Prompter::Icon::Warning);
        return -1;
    }

    // The choices are taken now and frozen for the run: window events keep
    // coming in between cards.
    const bool fixCards = chkRestore->isChecked();
    int chosen = 0;
    for (int i = 0; i < 3; ++i)
        if (optRestoreLevel[i]->isChecked())
            chosen = i;
    const bool findDuplicates = chkIDRepeat->isChecked();
    const DuplicateIdMode mode =
        optIDRepeat[0]->isChecked() ? DuplicateIdMode::Merge : DuplicateIdMode::Report;
    for (QWidget *w : {static_cast<QWidget *>(frmRestore), static_cast<QWidget *>(frmIDRepeat)})
        w->setEnabled(false);

    m_run.start();
    const Progress progress =
        m_run.progress([this](qint64 done, qint64 total) { showProgress(done, total); });
    const DateValue now = oleNow();
    // The pointer is busy while the cards are worked on, not while a
    // message or the report is up.
    bool interrupted = false;
    if (fixCards) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const CardRepairResult result =
            repairFlaggedCards(m_book, RestoreLevels[chosen], m_limits, now, progress);
        QApplication::restoreOverrideCursor();
        interrupted = result.interrupted;
        m_prompter.notice(cardRepairMessage(result));
    }
    // An interrupted run does not start its second half.
    if (findDuplicates && !interrupted) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const DuplicateIdResult result = handleDuplicateIds(m_book, mode, m_limits, now, progress);
        QApplication::restoreOverrideCursor();
        if (result.duplicates == 0) {
            if (!result.interrupted)
                m_prompter.notice(noDuplicateIdMessage());
        } else if (m_showReport) {
            m_showReport(duplicateIdReport(result, mode, QDateTime::currentDateTime()),
                         duplicateIdReportFileName(), duplicateIdReportTitle(mode));
        }
    }

    m_run.finish();
    frmRestore->setEnabled(true);
    frmIDRepeat->setEnabled(true);
    accept();
    return 0;
}

void fomRestore::requestInterrupt()
{
    m_run.requestInterrupt();
}

void fomRestore::reject()
{
    if (m_run.running()) {
        requestInterrupt();
        return;
    }
    QDialog::reject();
}

void fomRestore::closeEvent(QCloseEvent *event)
{
    if (m_run.running()) {
        event->ignore();
        requestInterrupt();
        return;
    }
    QDialog::closeEvent(event);
}
