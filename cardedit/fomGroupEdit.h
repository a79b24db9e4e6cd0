#pragma once
// The group editor: maintains the book's group list (the names of the
// system card). Adding, renaming, merging, deleting, moving and sorting work
// on the list box; renames and deletions are carried into every card's
// groups at once; the list box is written back into the group list when the
// window closes, however it is closed.
//
// Within the list, names are compared exactly (letter case significant, by
// character code). A group is used when some card (index 1 on) lists it.

#include <QDialog>

#include "core/model.h"

class QLabel;
class QListWidget;
class QPushButton;
class Prompter;

class fomGroupEdit : public QDialog
{
    Q_OBJECT

public:
    // Shows the editor modally on book. Returns 0 when the book was changed
    // (the caller marks it modified), -1 when nothing was changed. Adding a
    // name that is already listed counts as a change.
    static int Edit(AddressBook &book, Prompter &prompter, QWidget *parent = nullptr);

    fomGroupEdit(AddressBook &book, Prompter &prompter, QWidget *parent = nullptr);

    // Whether any operation has changed (or claimed to change) the book.
    bool bookModified() const { return m_modified; }

    // The operations behind the buttons.
    void AddGroup();           // cmdAdd
    void EditGroup();          // cmdEdit, Enter in the list
    void DeleteGroups();       // cmdDel, Delete in the list
    void DeleteUnusedGroups(); // cmdAllDel
    void MoveUp();             // cmdUp
    void MoveDown();           // cmdDown
    void SortGroups(bool ascending); // cmdOrderAsc, cmdOrderDesc
    void RefreshStatus();

    // The lines of lstGroup, in order.
    QStringList lines() const;

private:
    QListWidget *lstGroup = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdDel = nullptr;
    QPushButton *cmdAllDel = nullptr;
    QPushButton *cmdUp = nullptr;
    QPushButton *cmdDown = nullptr;
    QPushButton *cmdOrderAsc = nullptr;
    QPushButton *cmdOrderDesc = nullptr;
    QPushButton *cmdExit = nullptr;

public slots:
    // Writes the lines back into the group list, then closes.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isUsed(const QString &name) const;
    int countUnused() const;
    // Makes row the focused line; select: it alone is selected, else the
    // selection states stay as they are.
    void focusRow(int row, bool select);
    // Exchanges the texts and selection states of two lines.
    void exchangeRows(int a, int b);
    void markModified() { m_modified = true; }

    AddressBook &m_book;
    Prompter &m_prompter;
    bool m_modified = false;
};
