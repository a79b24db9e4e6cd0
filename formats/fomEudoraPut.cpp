#include "formats/fomEudoraPut.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

fomEudoraPut::fomEudoraPut(QWidget *parent) : QDialog(parent)
{
    const EudoraPutTexts &t = eudoraPutTexts();
    setObjectName(QStringLiteral("fomEudoraPut"));
    setWindowTitle(t.caption);

    Frame1 = new QGroupBox(t.frame, this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *frameLayout = new QVBoxLayout(Frame1);
    // Mode 1 (all IDs) is listed first, as the host's users know it.
    for (int mode : {1, 0}) {
        optMultiID[mode] = new QRadioButton(t.options.value(mode), Frame1);
        optMultiID[mode]->setObjectName(QStringLiteral("optMultiID%1").arg(mode));
        frameLayout->addWidget(optMultiID[mode]);
    }
    optMultiID[t.defaultMode]->setChecked(true);

    cmdExit = new QPushButton(t.ok, this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setDefault(true);
    cmdCancel = new QPushButton(t.cancel, this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);
    buttons->addWidget(cmdCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
}

int fomEudoraPut::mode() const
{
    return eudoraModeFromSelection(optMultiID[0]->isChecked() ? 0
                                   : optMultiID[1]->isChecked() ? 1 : -1);
}

int fomEudoraPut::Ask(QWidget *parent)
{
    fomEudoraPut dlg(parent);
    return dlg.exec() == QDialog::Accepted ? dlg.mode() : -1;
}

EudoraModeAsker eudoraPutDialogAsker(QWidget *parent)
{
    QPointer<QWidget> owner(parent);
    return [owner] { return fomEudoraPut::Ask(owner); };
}
