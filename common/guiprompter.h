#pragma once
// The GUI's prompter: Qt message boxes, input dialogs and file dialogs.

#include "common/prompter.h"

class QWidget;

class GuiPrompter : public Prompter
{
public:
    explicit GuiPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }

    Button ask(const Message &message) override;
    bool input(const QString &prompt, const QString &title, QString &value) override;
    FileAnswer openFile(const FileRequest &request) override;
    FileAnswer saveFile(const FileRequest &request) override;
    QString chooseFolder(const QString &title, const QString &folder) override;
    // Shows the question in a fomMsgBox with one button per caption.
    int choose(const QString &text, const QStringList &captions, int defaultIndex,
               Icon icon = Icon::Question, const QString &title = QString()) override;

private:
    QWidget *m_parent;
};
