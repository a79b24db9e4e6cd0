#include "tools/fomIDConv.h"
#include "tools/guibuttonrow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/oledate.h"
#include "common/prompter.h"
#include "tools/idconv.h"

int fomIDConv::Run(AddressBook &book, const CardLimits &limits, const QStringList &domains,
                   Prompter &prompter, const ReportViewer &showReport, ToolBusyState busyState,
                   QWidget *parent)
{
    fomIDConv dialog(book, limits, domains, prompter, showReport, busyState, parent);
    return dialog.exec() == QDialog::Accepted ? 0 : -1;
}

fomIDConv::fomIDConv(AddressBook &book, const CardLimits &limits, const QStringList &domains,
                     Prompter &prompter, ReportViewer showReport, ToolBusyState busyState,
                     QWidget *parent)
    : QDialog(parent),
      m_book(book),
      m_limits(limits),
      m_domains(domains),
      m_prompter(prompter),
      m_showReport(std::move(showReport)),
      m_run(prompter, busyState)
{
    setObjectName(QStringLiteral("fomIDConv"));
    setWindowTitle(QStringLiteral("カードの一括設定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *frame = new QGroupBox(QStringLiteral("機能の選択"), this);
    frame->setObjectName(QStringLiteral("frmFunc"));
    m_choices = frame;
    const QString captions[3] = {QStringLiteral("Nifty のIDからﾄﾞﾒｲﾝを除去する"),
                                 QStringLiteral("交流記録の設定を変更する"),
                                 QStringLiteral("発言記録の設定を変更する")};
    for (int i = 0; i < 3; ++i) {
        chkFunc[i] = new QCheckBox(captions[i], frame);
        chkFunc[i]->setObjectName(QStringLiteral("chkFunc%1").arg(i));
    }
    const auto makeOptions = [frame, this](QRadioButton *(&opts)[2], const char *name) {
        auto *group = new QButtonGroup(this);
        opts[0] = new QRadioButton(QStringLiteral("自動記録する"), frame);
        opts[1] = new QRadioButton(QStringLiteral("しない"), frame);
        for (int i = 0; i < 2; ++i) {
            opts[i]->setObjectName(QLatin1String(name) + QString::number(i));
            group->addButton(opts[i], i);
        }
    };
    makeOptions(optExcg, "optExcg");
    makeOptions(optSay, "optSay");
    optExcg[0]->setChecked(true);
    optSay[1]->setChecked(true);

    auto *grid = new QGridLayout(frame);
    grid->addWidget(chkFunc[0], 0, 0, 1, 4);
    grid->addWidget(chkFunc[1], 1, 0, 1, 4);
    grid->addWidget(optExcg[0], 2, 1);
    grid->addWidget(optExcg[1], 2, 2);
    grid->addWidget(chkFunc[2], 3, 0, 1, 4);
    grid->addWidget(optSay[0], 4, 1);
    grid->addWidget(optSay[1], 4, 2);
    grid->setColumnMinimumWidth(0, 20);
    grid->setColumnStretch(3, 1);

    auto *buttons = guiExecCancelRow(this, cmdExec, QStringLiteral("実行"), cmdCancel, QStringLiteral("ｷｬﾝｾﾙ"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (QCheckBox *c : chkFunc)
        connect(c, &QCheckBox::toggled, this, &fomIDConv::updateControls);
    connect(cmdExec, &QPushButton::clicked, this, &fomIDConv::Execute);
    connect(cmdCancel, &QPushButton::clicked, this, &fomIDConv::reject);
    updateControls();
}

void fomIDConv::updateControls()
{
    for (QRadioButton *o : optExcg)
        o->setEnabled(chkFunc[1]->isChecked());
    for (QRadioButton *o : optSay)
        o->setEnabled(chkFunc[2]->isChecked());
}

int fomIDConv::Execute()
{
    if (m_run.refusedWhileRunning())
        return -1;
    const bool convert = chkFunc[0]->isChecked();
    const bool exchange = chkFunc[1]->isChecked();
    const bool remark = chkFunc[2]->isChecked();
    if (!convert && !exchange && !remark) {
        m_prompter.notice(QStringLiteral("機能が選択されていません。"), Prompter::Icon::Warning);
        return -1;
    }
    const quint8 exchangeValue = optExcg[0]->isChecked() ? FlagOn : FlagOff;
    const quint8 remarkValue = optSay[0]->isChecked() ? FlagOn : FlagOff;

    // The choices are taken now: window events keep coming in between
    // cards. Every function works on one copy, so that an interrupted run
    // leaves nothing half done; the messages follow once all completed.
    m_choices->setEnabled(false);
    m_run.start();
    const Progress progress = m_run.progress();
    const DateValue now = oleNow();
    AddressBook work = m_book;
    IdConversionResult converted;
    int exchanged = 0;
    int remarked = 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool interrupted = false;
    if (convert) {
        converted = convertServiceIds(work, m_limits, now, m_domains, progress);
        interrupted = converted.interrupted;
    }
    if (exchange && !interrupted) {
        exchanged = setExchangeAutoRecord(work, exchangeValue, m_limits, now, progress);
        interrupted = exchanged < 0;
    }
    if (remark && !interrupted) {
        remarked = setRemarkAutoRecord(work, remarkValue, m_limits, now, progress);
        interrupted = remarked < 0;
    }
    QApplication::restoreOverrideCursor();
    m_run.finish();
    m_choices->setEnabled(true);
    if (interrupted) {
        QDialog::reject();
        return -1;
    }

    m_book = std::move(work);
    if (convert) {
        m_prompter.notice(idConversionMessage(converted));
        const QString report = idConversionDuplicateReport(converted);
        if (!report.isEmpty() && m_showReport)
            m_showReport(report, idConversionReportFileName(), idConversionReportTitle());
    }
    if (exchange)
        m_prompter.notice(exchangeFlagsMessage(exchanged));
    if (remark)
        m_prompter.notice(remarkFlagsMessage(remarked));
    accept();
    return 0;
}

void fomIDConv::reject()
{
    if (m_run.running()) {
        m_run.requestInterrupt();
        return;
    }
    QDialog::reject();
}
