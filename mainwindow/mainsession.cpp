#include "mainwindow/mainsession.h"

#include "common/paths.h"
#include "common/prompter.h"
#include "common/textwidth.h"
#include "core/cardops.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "formats/fileprocs.h"
#include "shell/filekind.h"
#include "shell/startup.h"

#include <QSet>
#include <new>

#include "common/boundedread.h"

MainSession::MainSession(ShellSession &shell, Prompter &prompter)
    : shell(shell), prompter(prompter)
{
}

QString MainSession::programTitle()
{
    return QStringLiteral("Brindle");
}

FileIo MainSession::fileIo() const
{
    FileIo io = shell.fileIo(prompter, progress);
    io.formats = formats;
    return io;
}

CardLimits MainSession::limits() const
{
    return cardLimitsOf(shell.settings);
}

void MainSession::setBusy(bool on)
{
    busy = on;
    interruptRequested = false;
    m_closePending = false;
}

void MainSession::askInterrupt()
{
    m_closePending = false;
    mayCloseMainWindow(true, interruptRequested, book, modified, prompter);
}

bool MainSession::closeRequested(bool canAsk)
{
    if (!busy)
        return mayCloseMainWindow(false, interruptRequested, book, modified, prompter);
    if (canAsk)
        askInterrupt();
    else if (!interruptRequested)
        m_closePending = true;
    return false;
}

bool MainSession::checkInterrupt(bool canAsk)
{
    if (m_closePending && canAsk)
        askInterrupt();
    return !interruptRequested;
}

void MainSession::checkCards(bool repairNumbers)
{
    if (repairNumbers) {
        if (showStatus)
            showStatus(QStringLiteral("ｶｰﾄﾞ番号を調査しています。"));
        const int n = repairCardNumbers(book);
        if (n > 0)
            prompter.notice(cardNumberRepairMessage(n));
    }
    if (showStatus)
        showStatus(QStringLiteral("ｶｰﾄﾞ状態を調査しています。"));
    validateAll(book, limits());
}

int MainSession::readSub(const QString &path, int kind, bool append)
{
    if (!append && !mayDiscardBook(book, modified, prompter))
        return -1;
    if (showStatus)
        showStatus(QStringLiteral("ﾌｧｲﾙを読み込んでいます。"));
    AddressBook read;
    if (readFileByKind(path, kind, read, fileIo()) < 0)
        return -1;
    if (read.trailingBytes > 0)
        prompter.lossNotice(trailingBytesMessage(read.trailingBytes));

    if (append) {
        if (showStatus)
            showStatus(QStringLiteral("ｶｰﾄﾞを追加しています。"));
        const int n = countCardsSharingIds(book, read);
        if (n > 0
            && prompter.ask({QString::number(n)
                                 + QStringLiteral(" 枚のカードで ID が重複します。これらのカードを統合しますか？"),
                             QString(), Prompter::Buttons(Prompter::Ok) | Prompter::Cancel,
                             Prompter::Icon::Question, Prompter::Ok})
                   != Prompter::Ok)
            return -1;
        // All or nothing: a refused or stopped append, or running out of
        // memory half way, leaves the book as it was (the cards are merged
        // into a copy).
        try {
            if (appendBook(book, read, prompter, progress) != 0)
                return -1;
        } catch (const std::bad_alloc &) {
            prompter.notice(outOfMemoryMessage());
            return -1;
        }
        checkCards(false);
        return 1;
    }
    book = std::move(read);
    checkCards(kind == FileKindAddressBook);
    return 0;
}

int MainSession::open(const QString &path, int kind, bool append)
{
    const int result = readSub(path, kind, append);
    if (result < 0)
        return result;
    modified = append;
    saveEnabled = true;
    if (kind == FileKindAddressBook) {
        if (!append)
            currentFileName = path;
        addToFileHistory(shell.settings, path);
    }
    return result;
}

bool MainSession::newBook()
{
    if (!mayDiscardBook(book, modified, prompter))
        return false;
    book = AddressBook::newBook();
    modified = false;
    saveEnabled = false;
    currentFileName.clear();
    return true;
}

bool MainSession::refusedOutput(const QString &path, bool overwriteSilently)
{
    if (guardLiveAddressBook(path, shell.settings.homeFolder, shell.probe, prompter))
        return true;
    return !WritePathCheck(path, overwriteSilently, prompter);
}

void MainSession::fileWritten(const QString &path, int kind, bool wholeBook)
{
    if (wholeBook) {
        modified = false;
        if (kind == FileKindAddressBook)
            currentFileName = path;
    }
    if (kind == FileKindAddressBook)
        addToFileHistory(shell.settings, path);
}

int MainSession::write(const QString &path, int kind, bool overwriteSilently)
{
    if (refusedOutput(path, overwriteSilently))
        return -1;
    if (showStatus)
        showStatus(QStringLiteral("ﾌｧｲﾙを書き込んでいます。"));
    FileIo io = fileIo();
    io.trashOld = shell.settings.trashFlag;
    if (writeFileByKind(path, kind, book, io) != 0)
        return -1;
    fileWritten(path, kind, true);
    return 0;
}

int MainSession::writeSelected(const QList<qint32> &numbers, const QString &path, int kind,
                               bool overwriteSilently)
{
    if (numbers.isEmpty() || refusedOutput(path, overwriteSilently))
        return -1;
    AddressBook part;
    part.signature = book.signature;
    part.cardCounter = book.cardCounter;
    part.cards = {book.systemCard()};
    const QSet<qint32> wanted(numbers.begin(), numbers.end());
    for (qsizetype i = 1; i < book.cardCount(); ++i)
        if (wanted.contains(book.cards[i].number))
            part.cards.append(book.cards[i]);
    if (showStatus)
        showStatus(QStringLiteral("ﾌｧｲﾙを書き込んでいます。"));
    FileIo io = fileIo();
    io.trashOld = shell.settings.trashFlag;
    if (writeFileByKind(path, kind, part, io) != 0)
        return -1;
    fileWritten(path, kind, false);
    return 0;
}

QString MainSession::savePath(int &kind) const
{
    if (currentFileName.isEmpty()) {
        kind = FileKindAddressBook;
        return {};
    }
    kind = fileKindOf(currentFileName);
    if (kind < 0)
        kind = FileKindAddressBook;
    return currentFileName;
}

QString MainSession::windowTitle() const
{
    if (currentFileName.isEmpty())
        return programTitle() + QStringLiteral(" （ 新規アドレス帳 ）");
    return programTitle() + QStringLiteral(" - ") + fileNameOf(currentFileName);
}

QString MainSession::historyCaption(int i) const
{
    const QString path = shell.settings.fileHistory.at(i);
    if (path.isEmpty())
        return {};
    return u'&' + QString::number(i + 1) + u' ' + shortenLeft(path, 30);
}
