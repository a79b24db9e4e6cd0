#pragma once
// The command line's prompter: messages go to stderr, questions take their
// default answer, input boxes and file choosers are cancelled.

#include "common/prompter.h"

class ConsolePrompter : public Prompter
{
public:
    Button ask(const Message &message) override;
    bool input(const QString &prompt, const QString &title, QString &value) override;
    FileAnswer openFile(const FileRequest &request) override;
    FileAnswer saveFile(const FileRequest &request) override;
    QString chooseFolder(const QString &title, const QString &folder) override;
    // Prints the question and takes the default.
    int choose(const QString &text, const QStringList &captions, int defaultIndex,
               Icon icon = Icon::Question, const QString &title = QString()) override;

    // The text of the last message shown (for callers that summarise).
    QString lastMessage() const { return m_last; }

protected:
    // What is printed for a message or question of this text.
    virtual QString lineFor(const QString &text) const { return text; }
    // Shows one message or question line (on stderr).
    virtual void print(const QString &line);

private:
    QString m_last;
};
