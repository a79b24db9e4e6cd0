#pragma once
// The report window: a read-only text that can be copied or saved.

#include <QDialog>

class Prompter;
class QPlainTextEdit;
class QPushButton;

class fomReport : public QDialog
{
    Q_OBJECT
public:
    // trashOld: a save that replaces a file moves its old content to the
    // trash once the new content is complete.
    fomReport(const QString &text, const QString &fileName, const QString &title,
              Prompter &prompter, bool trashOld, QWidget *parent = nullptr);

    // Shows the report modally.
    static void View(const QString &text, const QString &fileName, const QString &title,
                     Prompter &prompter, bool trashOld = false, QWidget *parent = nullptr);

private:
    QPlainTextEdit *txtReport = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdFileOut = nullptr;
    QPushButton *cmdOK = nullptr;

public:
    // Saves the whole text to path (after the output path check); false when
    // refused or failed (the user has been told).
    bool saveTo(const QString &path);

private:
    void copyText();
    void fileOut();

    QString m_text;
    QString m_fileName;
    Prompter &m_prompter;
    bool m_trashOld;
};
