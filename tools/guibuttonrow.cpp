#include "tools/guibuttonrow.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *guiExecCancelRow(QWidget *parent, QPushButton *&cmdExec, const QString &execCaption,
                              QPushButton *&cmdCancel, const QString &cancelCaption)
{
    cmdExec = new QPushButton(execCaption, parent);
    cmdExec->setObjectName(QStringLiteral("cmdExec"));
    cmdExec->setDefault(true);
    cmdCancel = new QPushButton(cancelCaption, parent);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExec);
    buttons->addWidget(cmdCancel);
    return buttons;
}
