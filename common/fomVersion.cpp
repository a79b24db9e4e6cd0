#include "common/fomVersion.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

fomVersion::fomVersion(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fomVersion"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    // The program's icon: a theme's entry may give no picture at this size.
    QPixmap icon = QApplication::windowIcon().pixmap(48, 48);
    if (icon.isNull())
        icon = QIcon(QStringLiteral(":/brindle-256.png")).pixmap(48, 48);
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView).pixmap(48, 48);
    picIcon->setPixmap(icon);

    const QString texts[3] = {
        QStringLiteral("Brindle"),
        QStringLiteral(" Version ") + QStringLiteral(BRINDLE_VERSION),
        QStringLiteral("Copyright (C) 2026 Brindle の開発者たち\n"
                       "このプログラムは無保証です。アドレス帳は定期的にバックアップしてください。"),
    };
    auto *textLayout = new QVBoxLayout;
    for (int i = 0; i < 3; ++i) {
        lblText[i] = new QLabel(texts[i], this);
        lblText[i]->setObjectName(QStringLiteral("lblText%1").arg(i));
        textLayout->addWidget(lblText[i]);
    }
    QFont bold = lblText[0]->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    lblText[0]->setFont(bold);

    cmdExit = new QPushButton(QStringLiteral("OK"), this);
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    cmdExit->setDefault(true);
    connect(cmdExit, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(textLayout, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExit);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}
