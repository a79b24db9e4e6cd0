#pragma once
// Group selection: the user chooses, from the registered group list, the
// groups one card belongs to. The result follows the order of the group
// list; names that are not registered cannot be chosen.

#include <QDialog>
#include <QStringList>

class Prompter;
class QLabel;
class QListWidget;
class QPushButton;

class fomGroupSelect : public QDialog
{
    Q_OBJECT
public:
    // Lists groupList with the lines named in cardGroups selected.
    fomGroupSelect(const QStringList &groupList, const QStringList &cardGroups,
                   QWidget *parent = nullptr);

    // Asks for the groups of a card. Returns 0 with groups replaced by the
    // selection, or -1 with groups unchanged when the user cancelled or no
    // group is registered (which is reported through the prompter).
    static int View(const QStringList &groupList, QStringList &groups, Prompter &prompter,
                    QWidget *parent = nullptr);

    // -1 until "選択" is pressed, then 0.
    int resultFlag() const { return m_flag; }
    // The working list: the given names, then the selection once chosen.
    const QStringList &groups() const { return m_groups; }

private:
    QLabel *lblMessage = nullptr;
    QListWidget *lstGroup = nullptr;
    QPushButton *cmdAllSelect = nullptr;
    QPushButton *cmdAllUnSelect = nullptr;
    QPushButton *cmdYes = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void choose();

    QStringList m_groups;
    int m_flag = -1;
};
