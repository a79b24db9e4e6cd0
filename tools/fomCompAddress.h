#pragma once
// The comparison dialog: two address book paths, an earlier and a later
// one, and "実行" to compare them and show the report (tools/compare.h).
// The open address book is not involved.

#include <QDialog>
#include <functional>

#include "tools/compare.h"

class QLineEdit;
class QPushButton;
class QGroupBox;

class fomCompAddress : public QDialog
{
    Q_OBJECT

public:
    // What the dialog needs of the rest of the program.
    struct Services
    {
        // Refuses the host's live address book while the host runs.
        LiveBookGuard guard;
        // The open-file dialog for address books, starting at initialName;
        // returns the chosen path or "". Unset: the select buttons do nothing.
        std::function<QString(const QString &initialName)> chooseBook;
        // Shows a report (text, default file name, window title).
        std::function<void(const QString &text, const QString &fileName, const QString &title)>
            showReport;
    };

    // Shows the dialog modally. oldPath and newPath are the stored paths
    // (compareOldPath, compareNewPath); each time a report is shown they
    // receive the texts of both boxes. An empty stored path starts as
    // homeFolder + "address.nd1" (earlier) or "address.ndb" (later), or
    // empty when homeFolder is.
    static void View(QString &oldPath, QString &newPath, const QString &homeFolder,
                     Prompter &prompter, const Services &services, QWidget *parent = nullptr);

    fomCompAddress(const QString &oldPath, const QString &newPath, const QString &homeFolder,
                   Prompter &prompter, Services services, QWidget *parent = nullptr);

    // The path a box starts with: the stored path, or the default file in
    // the home folder. On a file system that tells letter case apart, an
    // existing file whose name differs from the default only in letter case
    // (Address.ndb) is taken.
    static QString initialPath(const QString &stored, const QString &homeFolder,
                               const QString &defaultName);

    void SelectOld(); // cmdSelAdd1
    void SelectNew(); // cmdSelAdd2
    // cmdExec: compares and shows the report; returns the count of
    // differences, or -1 when nothing was shown.
    int Execute();

    // Whether a report was shown, and the paths it was made from.
    bool pathsStored() const { return m_stored; }
    QString storedOldPath() const { return m_oldPath; }
    QString storedNewPath() const { return m_newPath; }

    // The time the report is stamped with; unset: the current time.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    QGroupBox *frmAddress = nullptr;
    QLineEdit *txtAdd1 = nullptr;
    QLineEdit *txtAdd2 = nullptr;
    QPushButton *cmdSelAdd1 = nullptr;
    QPushButton *cmdSelAdd2 = nullptr;
    QPushButton *cmdExec = nullptr;
    QPushButton *cmdCancel = nullptr;

private:
    void select(QLineEdit *box, QLineEdit *other);

    Prompter &m_prompter;
    Services m_services;
    std::function<QDateTime()> m_clock;
    bool m_stored = false;
    QString m_oldPath;
    QString m_newPath;
};
