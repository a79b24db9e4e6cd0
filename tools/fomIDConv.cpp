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
                   Prompter &prompter, const ReportViewer &showReport, QWidget *parent)
{
    fomIDConv dialog(book, limits, domains, prompter, showReport, parent);
    return dialog.exec() == QDialog::Accepted ? 0 : -1;
}

fomIDConv::fomIDConv(AddressBook &book, const CardLimits &limits, const QStringList &domains,
                     Prompter &prompter, ReportViewer showReport, QWidget *parent)
    : QDialog(parent),
      m_book(book),
      m_limits(limits),
      m_domains(domains),
      m_prompter(prompter),
      m_showReport(std::move(showReport))
{
    setObjectName(QStringLiteral("fomIDConv"));
    setWindowTitle(QStringLiteral("カードの一括設定"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *frame = new QGroupBox(QStringLiteral("機能の選択"), this);
    frame->setObjectName(QStringLiteral("frmFunc"));
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
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
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
    if (!chkFunc[0]->isChecked() && !chkFunc[1]->isChecked() && !chkFunc[2]->isChecked()) {
        m_prompter.notice(QStringLiteral("機能が選択されていません。"), Prompter::Icon::Warning);
        return -1;
    }
    const DateValue now = oleNow();
    // The pointer is busy while a function runs, not while its message is up.
    if (chkFunc[0]->isChecked()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const IdConversionResult result = convertServiceIds(m_book, m_limits, now, m_domains);
        QApplication::restoreOverrideCursor();
        m_prompter.notice(idConversionMessage(result));
        const QString report = idConversionDuplicateReport(result);
        if (!report.isEmpty() && m_showReport)
            m_showReport(report, idConversionReportFileName(), idConversionReportTitle());
    }
    if (chkFunc[1]->isChecked()) {
        const quint8 value = optExcg[0]->isChecked() ? FlagOn : FlagOff;
        m_prompter.notice(exchangeFlagsMessage(setExchangeAutoRecord(m_book, value, m_limits, now)));
    }
    if (chkFunc[2]->isChecked()) {
        const quint8 value = optSay[0]->isChecked() ? FlagOn : FlagOff;
        m_prompter.notice(remarkFlagsMessage(setRemarkAutoRecord(m_book, value, m_limits, now)));
    }
    accept();
    return 0;
}
