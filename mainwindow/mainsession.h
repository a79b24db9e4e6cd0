#pragma once
// What the main window owns for the whole run, and its file commands without
// the widgets: the open book, the file it came from, whether it has unsaved
// changes, busy mode and the interrupt request, and the display list.
//
// The window enters and leaves busy mode, runs the search and rebuilds the
// list; everything else about reading, appending and writing is here.

#include <QList>
#include <QString>
#include <functional>

#include "common/progress.h"
#include "core/model.h"

class Prompter;
class ShellSession;
struct FileFormats;
struct FileIo;

class MainSession
{
public:
    MainSession(ShellSession &shell, Prompter &prompter);

    // The program title of the window caption.
    static QString programTitle();

    AddressBook book;
    QString currentFileName;
    bool modified = false;
    bool busy = false;
    bool interruptRequested = false;
    bool saveEnabled = false; // "上書き保存(&S)" and its button
    QList<qint32> displayList;
    // The readers and writers files go through; nullptr: the built-in table.
    // The window sets its own, whose CSV entry asks through the dialogs.
    const FileFormats *formats = nullptr;

    // Shows a status text (the window's lblStatus, repainted at once).
    std::function<void(const QString &)> showStatus;
    // Called once per card, line or buffer of long loops; returns false to
    // stop. The window's lets pending events run and reads interruptRequested.
    Progress progress;

    CardLimits limits() const;

    // Busy mode as far as the flags go (the window adds its pointer and
    // controls): entering and leaving clear the interrupt request and a
    // remembered close request.
    void setBusy(bool on);
    // The window's close request; true when the window may close. While
    // busy it asks "処理中です。中断しますか？" (unless a stop is already
    // requested), sets interruptRequested on Yes and refuses either way;
    // when the question cannot be asked now (canAsk false: another
    // question or dialog is up), the request is remembered and asked at
    // the next check. When idle: the loss question for a modified book.
    bool closeRequested(bool canAsk);
    // The check between two steps of a long operation, after pending
    // window events ran: asks a remembered close request when canAsk;
    // false once a stop was requested.
    bool checkInterrupt(bool canAsk);

    // The shared read step of Open and Append: -1 nothing changed,
    // 0 book replaced, 1 cards appended.
    int readSub(const QString &path, int kind, bool append);
    // Open or Append without busy mode, search and list: readSub plus the
    // state changes (modified, save command, title, file history).
    int open(const QString &path, int kind, bool append);
    // Starts a new book after the loss question; false when declined.
    bool newBook();

    // Writes the whole book (AddWrite without busy mode): 0 written, -1
    // refused, failed or cancelled; only a written file clears modified.
    int write(const QString &path, int kind, bool overwriteSilently);
    // Writes a copy holding only the cards with these numbers (AddSelWrite).
    int writeSelected(const QList<qint32> &numbers, const QString &path, int kind,
                      bool overwriteSilently);
    // The path and kind "上書き保存(&S)" writes to without asking; empty
    // path when the user must choose an address book file.
    QString savePath(int &kind) const;

    // The window caption for currentFileName.
    QString windowTitle() const;
    // Caption of recent-file entry i, "" when the slot is empty.
    QString historyCaption(int i) const;

    // Repairs card numbers (with the notice) and validates every card, as
    // after an address book was read.
    void checkCards(bool repairNumbers);

    ShellSession &shell;
    Prompter &prompter;

private:
    FileIo fileIo() const;
    void askInterrupt();
    bool refusedOutput(const QString &path, bool overwriteSilently);
    void fileWritten(const QString &path, int kind, bool wholeBook);

    bool m_closePending = false; // a close request while busy, not asked yet
};
