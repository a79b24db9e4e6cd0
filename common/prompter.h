#pragma once
// Every message box, question, input box and file chooser of the program goes
// through a Prompter, with the exact text, buttons, icon and default button.
// The GUI implements it with Qt dialogs (guiprompter.h); the command line
// prints messages on stderr and answers questions with their default; tests
// script the answers and record what was asked.

#include <QString>
#include <QStringList>
#include <utility>

class Prompter
{
public:
    enum Button {
        NoButton = 0,
        Ok = 0x1,
        Cancel = 0x2,
        Yes = 0x4,
        No = 0x8,
        Abort = 0x10,
        Retry = 0x20,
        Ignore = 0x40,
    };
    Q_DECLARE_FLAGS(Buttons, Button)

    enum class Icon { None, Information, Warning, Critical, Question };

    struct Message {
        QString text;
        QString title; // empty: the application's name
        Buttons buttons = Ok;
        Icon icon = Icon::None;
        Button defaultButton = NoButton; // NoButton: the first of buttons
    };

    // One file filter: a caption and its patterns ("*.ndb", "*.nd?").
    struct FileFilter {
        QString caption;
        QStringList patterns;
    };
    struct FileRequest {
        QString title;
        QString folder;   // initial folder
        QString fileName; // proposed name
        QList<FileFilter> filters;
        int filterIndex = 0; // initially selected filter
    };
    struct FileAnswer {
        QString path;         // empty: cancelled
        int filterIndex = 0;  // the filter selected when the user confirmed
    };

    virtual ~Prompter() = default;

    // Shows a message box; returns the button pressed (Cancel/No when the
    // box is closed without a choice and such a button exists).
    virtual Button ask(const Message &message) = 0;

    // A one-line input box; returns false when cancelled.
    virtual bool input(const QString &prompt, const QString &title, QString &value) = 0;

    virtual FileAnswer openFile(const FileRequest &request) = 0;
    virtual FileAnswer saveFile(const FileRequest &request) = 0;
    // Returns the chosen folder or "" when cancelled.
    virtual QString chooseFolder(const QString &title, const QString &folder) = 0;

    // A question with buttons of its own captions, left to right (more than
    // a message box offers, e.g. yes / no / yes to all / cancel). Returns
    // the index of the caption chosen, or -1 when the box was closed without
    // a choice. defaultIndex is the preselected button (-1: none).
    // A prompter without a display answers with defaultIndex.
    virtual int choose(const QString &text, const QStringList &captions, int defaultIndex,
                       Icon icon = Icon::Question, const QString &title = QString())
    {
        Q_UNUSED(text);
        Q_UNUSED(icon);
        Q_UNUSED(title);
        return defaultIndex >= 0 && defaultIndex < captions.size() ? defaultIndex : -1;
    }

    // Shorthands.
    void notice(const QString &text, Icon icon = Icon::None)
    {
        ask(Message{text, QString(), Ok, icon, Ok});
    }
    // A Yes/No question that could lose data: No is preselected.
    bool confirm(const QString &text, Icon icon = Icon::Question)
    {
        return ask(Message{text, QString(), Buttons(Yes) | No, icon, No}) == Yes;
    }

    // Tells the user that something of theirs was not kept: cards left out
    // at the card limit, characters written as "?", bytes after the last
    // card dropped, input records that could not be read. Shown as a
    // warning, and remembered: the command line ends a command that
    // otherwise succeeded with its "written, but not everything was kept"
    // status. Notices that lose nothing the user asked for (unmapped
    // columns, items left out because an option says so) are plain notices.
    void lossNotice(const QString &text)
    {
        m_lossReported = true;
        notice(text, Icon::Warning);
    }
    bool lossReported() const { return m_lossReported; }
    void clearLossReported() { m_lossReported = false; }

    // The file that the messages shown meanwhile are about, for a stretch
    // of work on one file (reading it, writing it); "" when none. Message
    // boxes leave it out (their texts name a file where it matters); the
    // command line names it before each message.
    const QString &messageFile() const { return m_messageFile; }
    class FileScope
    {
    public:
        FileScope(Prompter &prompter, const QString &path)
            : m_prompter(prompter), m_previous(std::exchange(prompter.m_messageFile, path))
        {
        }
        ~FileScope() { m_prompter.m_messageFile = m_previous; }
        FileScope(const FileScope &) = delete;
        FileScope &operator=(const FileScope &) = delete;

    private:
        Prompter &m_prompter;
        QString m_previous;
    };

private:
    bool m_lossReported = false;
    QString m_messageFile;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Prompter::Buttons)
