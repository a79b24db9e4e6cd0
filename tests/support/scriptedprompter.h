#pragma once
// A prompter for tests: records every message and question, answers from a
// script (first in, first out), and falls back to the default button.

#include <QList>
#include <QQueue>

#include "common/prompter.h"

class ScriptedPrompter : public Prompter
{
public:
    struct Asked {
        Message message;
        Button answer;
    };
    struct Chosen {
        QString text;
        QStringList captions;
        int defaultIndex;
        Icon icon;
        int answer;
    };

    // Queue answers for the next questions, in order.
    void answer(Button b) { m_answers.enqueue(b); }
    void answerInput(const QString &text) { m_inputs.enqueue(text); }
    void answerCancelInput() { m_inputs.enqueue(QString()); }
    void answerFile(const QString &path, int filterIndex = 0)
    {
        m_files.enqueue(FileAnswer{path, filterIndex});
    }
    void answerFolder(const QString &path) { m_folders.enqueue(path); }
    // The index answered to the next choose(); -1 closes the box.
    void answerChoice(int index) { m_choices.enqueue(index); }

    Button ask(const Message &m) override
    {
        Button b = m.defaultButton != NoButton ? m.defaultButton : Ok;
        if (!m_answers.isEmpty())
            b = m_answers.dequeue();
        asked.append({m, b});
        return b;
    }
    bool input(const QString &prompt, const QString &title, QString &value) override
    {
        inputPrompts.append(prompt);
        inputTitles.append(title);
        if (m_inputs.isEmpty())
            return false;
        const QString v = m_inputs.dequeue();
        if (v.isNull())
            return false;
        value = v;
        return true;
    }
    int choose(const QString &text, const QStringList &captions, int defaultIndex, Icon icon,
               const QString &) override
    {
        int a = defaultIndex >= 0 && defaultIndex < captions.size() ? defaultIndex : -1;
        if (!m_choices.isEmpty())
            a = m_choices.dequeue();
        choices.append({text, captions, defaultIndex, icon, a});
        return a;
    }
    FileAnswer openFile(const FileRequest &r) override { return nextFile(r); }
    FileAnswer saveFile(const FileRequest &r) override { return nextFile(r); }
    QString chooseFolder(const QString &title, const QString &) override
    {
        folderTitles.append(title);
        return m_folders.isEmpty() ? QString() : m_folders.dequeue();
    }

    // What was shown, in order.
    QStringList texts() const
    {
        QStringList out;
        for (const auto &a : asked)
            out << a.message.text;
        return out;
    }
    QString lastText() const { return asked.isEmpty() ? QString() : asked.last().message.text; }
    QStringList choiceTexts() const
    {
        QStringList out;
        for (const auto &c : choices)
            out << c.text;
        return out;
    }
    void clear()
    {
        asked.clear();
        inputPrompts.clear();
        fileRequests.clear();
        choices.clear();
    }
    bool scriptEmpty() const
    {
        return m_answers.isEmpty() && m_inputs.isEmpty() && m_files.isEmpty()
            && m_folders.isEmpty() && m_choices.isEmpty();
    }

    QList<Asked> asked;
    QStringList inputPrompts;
    QStringList inputTitles;
    QList<FileRequest> fileRequests;
    QStringList folderTitles;
    QList<Chosen> choices;

private:
    FileAnswer nextFile(const FileRequest &r)
    {
        fileRequests.append(r);
        return m_files.isEmpty() ? FileAnswer{} : m_files.dequeue();
    }

    QQueue<Button> m_answers;
    QQueue<QString> m_inputs;
    QQueue<FileAnswer> m_files;
    QQueue<QString> m_folders;
    QQueue<int> m_choices;
};
