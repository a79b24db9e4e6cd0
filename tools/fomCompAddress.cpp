#include "tools/fomCompAddress.h"
#include "tools/guibuttonrow.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/paths.h"
#include "common/prompter.h"

namespace {

const QString ReportName = QStringLiteral("比較レポート");

} // namespace

void fomCompAddress::View(QString &oldPath, QString &newPath, const QString &homeFolder,
                          Prompter &prompter, const Services &services, QWidget *parent)
{
    fomCompAddress dialog(oldPath, newPath, homeFolder, prompter, services, parent);
    dialog.exec();
    if (dialog.pathsStored()) {
        oldPath = dialog.storedOldPath();
        newPath = dialog.storedNewPath();
    }
}

QString fomCompAddress::initialPath(const QString &stored, const QString &homeFolder,
                                    const QString &defaultName)
{
    if (!stored.isEmpty())
        return stored;
    if (homeFolder.trimmed().isEmpty())
        return QString();
    const QString folder = withSlash(homeFolder);
    if (!isFile(folder + defaultName)) {
        const QStringList found =
            QDir(folder).entryList({defaultName}, QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &name : found)
            if (name.compare(defaultName, Qt::CaseInsensitive) == 0)
                return folder + name;
    }
    return folder + defaultName;
}

fomCompAddress::fomCompAddress(const QString &oldPath, const QString &newPath,
                               const QString &homeFolder, Prompter &prompter, Services services,
                               QWidget *parent)
    : QDialog(parent), m_prompter(prompter), m_services(std::move(services))
{
    setObjectName(QStringLiteral("fomCompAddress"));
    setWindowTitle(QStringLiteral("アドレス帳の比較"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    frmAddress = new QGroupBox(QStringLiteral("アドレス帳の指定"), this);
    frmAddress->setObjectName(QStringLiteral("frmAddress"));
    txtAdd1 = new QLineEdit(frmAddress);
    txtAdd1->setObjectName(QStringLiteral("txtAdd1"));
    txtAdd2 = new QLineEdit(frmAddress);
    txtAdd2->setObjectName(QStringLiteral("txtAdd2"));
    for (QLineEdit *box : {txtAdd1, txtAdd2})
        box->setMinimumWidth(380);
    cmdSelAdd1 = new QPushButton(QStringLiteral("..."), frmAddress);
    cmdSelAdd1->setObjectName(QStringLiteral("cmdSelAdd1"));
    cmdSelAdd2 = new QPushButton(QStringLiteral("..."), frmAddress);
    cmdSelAdd2->setObjectName(QStringLiteral("cmdSelAdd2"));
    for (QPushButton *b : {cmdSelAdd1, cmdSelAdd2}) {
        b->setAutoDefault(false);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(b->text()) + 24);
    }
    auto *label1 = new QLabel(QStringLiteral("前のアドレス帳："), frmAddress);
    label1->setBuddy(txtAdd1);
    auto *label2 = new QLabel(QStringLiteral("後のアドレス帳："), frmAddress);
    label2->setBuddy(txtAdd2);

    auto *grid = new QGridLayout(frmAddress);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(txtAdd1, 0, 1);
    grid->addWidget(cmdSelAdd1, 0, 2);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(txtAdd2, 1, 1);
    grid->addWidget(cmdSelAdd2, 1, 2);

    auto *buttons = guiExecCancelRow(this, cmdExec, QStringLiteral("実行"), cmdCancel, QStringLiteral("戻る"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frmAddress);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetMinimumSize);

    txtAdd1->setText(initialPath(oldPath, homeFolder, QStringLiteral("address.nd1")));
    txtAdd2->setText(initialPath(newPath, homeFolder, QStringLiteral("address.ndb")));

    connect(cmdSelAdd1, &QPushButton::clicked, this, &fomCompAddress::SelectOld);
    connect(cmdSelAdd2, &QPushButton::clicked, this, &fomCompAddress::SelectNew);
    connect(cmdExec, &QPushButton::clicked, this, &fomCompAddress::Execute);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void fomCompAddress::SelectOld()
{
    select(txtAdd1, txtAdd2);
}

void fomCompAddress::SelectNew()
{
    select(txtAdd2, txtAdd1);
}

void fomCompAddress::select(QLineEdit *box, QLineEdit *other)
{
    const QString initial = box->text().isEmpty() ? other->text() : box->text();
    const QString chosen = m_services.chooseBook ? m_services.chooseBook(initial) : QString();
    if (chosen.isEmpty())
        return;
    box->setText(chosen);
    box->setCursorPosition(int(chosen.size()));
    box->setFocus();
}

int fomCompAddress::Execute()
{
    const QString oldPath = txtAdd1->text();
    const QString newPath = txtAdd2->text();
    const QDateTime now = m_clock ? m_clock() : QDateTime::currentDateTime();
    int differences = -1;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString report =
        compareBookFiles(oldPath, newPath, m_prompter, now, m_services.guard, &differences);
    QApplication::restoreOverrideCursor();
    if (report.isEmpty())
        return -1;
    m_stored = true;
    m_oldPath = oldPath;
    m_newPath = newPath;
    if (m_services.showReport)
        m_services.showReport(report, ReportName, ReportName);
    return differences;
}
