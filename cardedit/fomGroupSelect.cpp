#include "cardedit/fomGroupSelect.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "cardedit/cardedittexts.h"
#include "common/guilistfont.h"
#include "common/prompter.h"

namespace {

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

fomGroupSelect::fomGroupSelect(const QStringList &groupList, const QStringList &cardGroups,
                               QWidget *parent)
    : QDialog(parent), m_groups(cardGroups)
{
    setObjectName(QStringLiteral("fomGroupSelect"));
    setWindowTitle(CardEditText::GroupSelectTitle);

    lblMessage = new QLabel(CardEditText::GroupSelectMessage, this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lstGroup = new QListWidget(this);
    lstGroup->setFont(listFont());
    lstGroup->setObjectName(QStringLiteral("lstGroup"));
    lstGroup->setSelectionMode(QAbstractItemView::MultiSelection);
    lstGroup->setMinimumSize(260, 240);
    cmdAllSelect = makeButton(this, "cmdAllSelect", CardEditText::SelectAll);
    cmdAllUnSelect = makeButton(this, "cmdAllUnSelect", CardEditText::UnselectAll);
    cmdYes = makeButton(this, "cmdYes", CardEditText::Select);
    cmdCancel = makeButton(this, "cmdCancel", CardEditText::Cancel);
    cmdYes->setDefault(true);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(cmdAllSelect);
    buttons->addWidget(cmdAllUnSelect);
    buttons->addStretch();
    buttons->addWidget(cmdYes);
    buttons->addWidget(cmdCancel);
    auto *body = new QHBoxLayout;
    body->addWidget(lstGroup, 1);
    body->addLayout(buttons);
    auto *root = new QVBoxLayout(this);
    root->addWidget(lblMessage);
    root->addLayout(body, 1);

    // Fill the list; the focus goes to the last line selected here.
    int focus = -1;
    for (const QString &g : groupList) {
        auto *item = new QListWidgetItem(g, lstGroup);
        if (cardGroups.contains(g, Qt::CaseSensitive)) {
            item->setSelected(true);
            focus = lstGroup->count() - 1;
        }
    }
    if (lstGroup->count() > 0)
        lstGroup->setCurrentRow(focus >= 0 ? focus : 0, QItemSelectionModel::NoUpdate);
    lstGroup->setFocus();

    connect(cmdAllSelect, &QPushButton::clicked, lstGroup, &QListWidget::selectAll);
    connect(cmdAllUnSelect, &QPushButton::clicked, lstGroup, &QListWidget::clearSelection);
    connect(cmdYes, &QPushButton::clicked, this, &fomGroupSelect::choose);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int fomGroupSelect::View(const QStringList &groupList, QStringList &groups, Prompter &prompter,
                         QWidget *parent)
{
    if (groupList.isEmpty()) {
        prompter.notice(CardEditText::NoGroups, Prompter::Icon::Warning);
        return -1;
    }
    fomGroupSelect dlg(groupList, groups, parent);
    dlg.exec();
    if (dlg.resultFlag() == 0)
        groups = dlg.groups();
    return dlg.resultFlag();
}

void fomGroupSelect::choose()
{
    m_groups.clear();
    for (int i = 0; i < lstGroup->count(); ++i)
        if (lstGroup->item(i)->isSelected())
            m_groups << lstGroup->item(i)->text();
    m_flag = 0;
    accept();
}
