#pragma once
// The report window: a read-only text that can be copied or saved.

#include <QDialog>
#include <functional>

class Prompter;
class QPlainTextEdit;
class QPushButton;

// What "ﾌｧｲﾙに保存" does with the report's text, offering fileName as the
// name: the window itself writes no files (shell/filekind.h has saveTextAs).
using ReportSaver = std::function<void(const QString &text, const QString &fileName)>;

class fomReport : public QDialog
{
    Q_OBJECT
public:
    // Without a saver the save button is hidden.
    fomReport(const QString &text, const QString &fileName, const QString &title,
              Prompter &prompter, ReportSaver save, QWidget *parent = nullptr);

    // Shows the report modally.
    static void View(const QString &text, const QString &fileName, const QString &title,
                     Prompter &prompter, ReportSaver save, QWidget *parent = nullptr);

private:
    QPlainTextEdit *txtReport = nullptr;
    QPushButton *cmdCopy = nullptr;
    QPushButton *cmdFileOut = nullptr;
    QPushButton *cmdOK = nullptr;

private:
    void copyText();
    void fileOut();

    QString m_text;
    QString m_fileName;
    ReportSaver m_save;
};
