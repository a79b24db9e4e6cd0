#include "common/fomReport.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/prompter.h"
#include "common/reporttext.h"

fomReport::fomReport(const QString &text, const QString &fileName, const QString &title,
                     Prompter &prompter, ReportSaver save, QWidget *parent)
    : QDialog(parent), m_text(text), m_fileName(fileName), m_save(std::move(save))
{
    setObjectName(QStringLiteral("fomReport"));
    setWindowTitle(title.isEmpty() ? QStringLiteral("レポート表示") : title);

    txtReport = new QPlainTextEdit(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setReadOnly(true);
    txtReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(14);
    font.setStyleHint(QFont::Monospace);
    txtReport->setFont(font);
    // The text box works with LF line ends; the report keeps its CR LF.
    QString shown = Under32(text, prompter);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    txtReport->setPlainText(shown);

    cmdCopy = new QPushButton(QStringLiteral("コピー"), this);
    cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    cmdFileOut = new QPushButton(QStringLiteral("ﾌｧｲﾙに保存"), this);
    cmdFileOut->setObjectName(QStringLiteral("cmdFileOut"));
    if (!m_save)
        cmdFileOut->hide();
    cmdOK = new QPushButton(QStringLiteral("確認"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdCopy);
    buttons->addWidget(cmdFileOut);
    buttons->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(txtReport, 1);
    layout->addLayout(buttons);
    resize(720, 520);

    connect(cmdCopy, &QPushButton::clicked, this, &fomReport::copyText);
    connect(cmdFileOut, &QPushButton::clicked, this, &fomReport::fileOut);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

void fomReport::View(const QString &text, const QString &fileName, const QString &title,
                     Prompter &prompter, ReportSaver save, QWidget *parent)
{
    fomReport dlg(text, fileName, title, prompter, std::move(save), parent);
    dlg.exec();
}

void fomReport::copyText()
{
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(m_text);
}

void fomReport::fileOut()
{
    if (m_save)
        m_save(m_text, m_fileName);
}
