#pragma once
// The open address book of the run and every command that changes it: the
// book, the file it came from, whether it has unsaved changes, busy mode and
// the interrupt request, the display list (the search result), and the
// undo history.
//
// Windows ask the user (through the Prompter) and show; the document reads,
// writes and changes. Each command that changes the book is one step of the
// history with a text for the Edit menu; opening a file and starting a new
// book clear the history, writing the whole book marks the saved state.

#include <QList>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>

#include "common/busystate.h"
#include "common/progress.h"
#include "core/model.h"

class Prompter;
class ShellSession;
struct FileFormats;
struct FileIo;

class AddressDocument : public QObject, public BusyState
{
    Q_OBJECT

public:
    // The history keeps at most this many steps, and drops its oldest steps
    // once their estimated size passes the byte limit.
    static constexpr int HistorySteps = 100;
    static constexpr qint64 HistoryBytes = 500LL * 1024 * 1024;

    AddressDocument(ShellSession &shell, Prompter &prompter, QObject *parent = nullptr);
    ~AddressDocument() override;

    // The program title of the window caption.
    static QString programTitle();

    const AddressBook &book() const { return m_book; }
    // Path of the address book file the book was read from or last saved
    // to; "" for a new book.
    const QString &fileName() const { return m_fileName; }
    bool isModified() const { return m_modified; }
    // Marks the book changed or unchanged without a step (a screenshot run
    // quitting without the loss question).
    void setModified(bool on);
    // "上書き保存(&S)" and its button: enabled by a read or append, disabled
    // by a new book.
    bool saveEnabled() const { return m_saveEnabled; }
    // The card numbers the address list shows, in the book's card order.
    const QList<qint32> &displayList() const { return m_displayList; }
    CardLimits limits() const;
    ShellSession &shell() const { return m_shell; }
    Prompter &prompter() const { return m_prompter; }

    // The readers and writers files go through; nullptr: the built-in table.
    void setFormats(const FileFormats *formats) { m_formats = formats; }
    // Shows a status text (the window's lblStatus, repainted at once).
    std::function<void(const QString &)> showStatus;
    // Called once per card, line or buffer of long loops; returns false to
    // stop.
    Progress progress;

    // Busy mode. Entering and leaving clear the interrupt request and a
    // remembered close request.
    bool isBusy() const override { return m_busy; }
    void setBusy(bool on) override;
    bool interruptRequested() const override { return m_interruptRequested; }
    void setInterruptRequested(bool on) override { m_interruptRequested = on; }
    // The window's close request; true when the window may close. While
    // busy it asks "処理中です。中断しますか？" (unless a stop is already
    // requested), requests the interrupt on Yes and refuses either way;
    // when the question cannot be asked now (canAsk false: another
    // question or dialog is up), the request is remembered and asked at
    // the next check. When idle: the loss question for a modified book.
    bool closeRequested(bool canAsk);
    // The check between two steps of a long operation, after pending
    // window events ran: asks a remembered close request when canAsk;
    // false once a stop was requested.
    bool checkInterrupt(bool canAsk);

    // Runs the search (core/search.h) into the display list.
    void search(int field, const QString &word);

    // The shared read step of Open and Append: -1 nothing changed,
    // 0 book replaced, 1 cards appended. A replacing read clears the
    // history; an append is one step.
    int readSub(const QString &path, int kind, bool append);
    // Open or Append without busy mode, search and list: readSub plus the
    // state changes (modified, save command, file name, file history).
    int open(const QString &path, int kind, bool append);
    // Starts a new book after the loss question; false when declined.
    bool newBook();
    // Writes the whole book: 0 written, -1 refused, failed or cancelled.
    // A written file clears modified and marks the saved state.
    int write(const QString &path, int kind, bool overwriteSilently);
    // Writes a copy holding only the cards with these numbers; the book,
    // modified and the history stay as they are.
    int writeSelected(const QList<qint32> &numbers, const QString &path, int kind,
                      bool overwriteSilently);
    // The path and kind "上書き保存(&S)" writes to without asking; empty
    // path when the user must choose an address book file.
    QString savePath(int &kind) const;
    // The window caption for fileName().
    QString windowTitle() const;
    // Caption of recent-file entry i, "" when the slot is empty.
    QString historyCaption(int i) const;
    // Repairs card numbers (with the notice) and validates every card, as
    // after an address book was read.
    void checkCards(bool repairNumbers);

    // Deletes the cards with these numbers after the question about the
    // selection (lines: the selected line count); they leave the display
    // list too. False when declined or nothing was selected.
    bool deleteCards(const QList<qint32> &numbers, qsizetype lines);
    // Combines the cards into one (core/cardcommands.h) after the question,
    // then runs the search again with field and word. Returns the
    // surviving card's number, -1 when declined or not two cards.
    qint32 combineCards(const QList<qint32> &numbers, qsizetype lines, int field,
                        const QString &word);
    // The card editor over the book: edits card `number` (-1: a new card)
    // and returns the number of the card it saved, or -1.
    using CardEditor = std::function<qint32(AddressBook &book, qint32 number)>;
    // Runs the editor; a saved new card joins the display list. Returns
    // the saved card's number or -1.
    qint32 editCard(qint32 number, const CardEditor &editor);
    // A dialog's work over the whole book; true when it changed the book.
    using BookEditor = std::function<bool(AddressBook &book)>;
    bool editGroups(const BookEditor &editor);
    enum class Tool { BulkSettings, Restoration, Slimming };
    // Runs a tool; bulk settings and restoration drop vanished cards from
    // the display list. True when the run completed.
    bool runTool(Tool tool, const BookEditor &run);
    // Work that only checks the cards again (their status, after the
    // limits changed): no step, modified stays.
    int recheck(const std::function<int(AddressBook &book)> &work);

    // The history. Undo and redo do nothing while busy; they restore the
    // cards and the display list (the card counter never goes back) and
    // emit bookRestored. True when a step was undone or redone.
    QUndoStack &history() { return m_history; }
    bool undo();
    bool redo();
    // The estimated bytes the steps of the history hold.
    qint64 historyBytes() const { return m_historyBytes; }
    void setHistoryByteLimit(qint64 bytes) { m_historyByteLimit = bytes; }

signals:
    // A different book (open, read, new).
    void bookReplaced();
    // Cards changed through a command: these numbers (added, edited or
    // removed); empty when any card may have.
    void cardsChanged(const QList<qint32> &numbers);
    // Undo or redo put back an earlier state; the list must be rebuilt.
    void bookRestored();
    void modifiedChanged(bool modified);
    void busyChanged(bool busy);

private:
    friend class BookStep;
    struct Snapshot
    {
        AddressBook book;
        QList<qint32> displayList;
        // The limits the cards' verdicts were found under.
        CardLimits limits;
    };

    FileIo fileIo() const;
    void askInterrupt();
    bool refusedOutput(const QString &path, bool overwriteSilently);
    void fileWritten(const QString &path, int kind, bool wholeBook);
    void setModifiedFlag(bool on);
    Snapshot snapshot() const { return {m_book, m_displayList, limits()}; }
    // Pushes the change from `before` to the present state as one step.
    void pushStep(const QString &text, const Snapshot &before,
                  const QList<qint32> &changed = {});
    void restore(const Snapshot &state);
    void clearHistory();
    void trimHistory();
    void followCleanState();

    ShellSession &m_shell;
    Prompter &m_prompter;
    const FileFormats *m_formats = nullptr;
    AddressBook m_book;
    QString m_fileName;
    bool m_modified = false;
    bool m_busy = false;
    bool m_interruptRequested = false;
    bool m_closePending = false; // a close request while busy, not asked yet
    bool m_saveEnabled = false;
    QList<qint32> m_displayList;
    QUndoStack m_history;
    qint64 m_historyBytes = 0;
    qint64 m_historyByteLimit = HistoryBytes;
    bool m_rebuilding = false; // steps move without touching the book
};

// The estimated bytes a step from `before` to `after` holds on its own:
// the card array and the contents of the cards that differ.
qint64 estimatedStepBytes(const AddressBook &before, const AddressBook &after);
