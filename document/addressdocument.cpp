#include "document/addressdocument.h"

#include "common/boundedread.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "common/textwidth.h"
#include "core/cardcommands.h"
#include "core/cardops.h"
#include "core/ndbfile.h"
#include "core/validation.h"
#include "core/search.h"
#include "formats/fileprocs.h"
#include "shell/filekind.h"
#include "shell/startup.h"

#include <QSet>
#include <QUndoCommand>
#include <new>

// One step of the history: the book and display list before and after.
class BookStep : public QUndoCommand
{
public:
    BookStep(AddressDocument &doc, const QString &text, AddressDocument::Snapshot before,
             AddressDocument::Snapshot after)
        : QUndoCommand(text), m_doc(doc), m_before(std::move(before)), m_after(std::move(after))
    {
        m_bytes = estimatedStepBytes(m_before.book, m_after.book)
                + (m_before.displayList.size() + m_after.displayList.size()) * qsizetype(sizeof(qint32));
        m_doc.m_historyBytes += m_bytes;
    }
    ~BookStep() override { m_doc.m_historyBytes -= m_bytes; }

    // The change is already made when the step is pushed.
    void redo() override
    {
        if (m_pushed && !m_doc.m_rebuilding)
            m_doc.restore(m_after);
        m_pushed = true;
    }
    void undo() override
    {
        if (!m_doc.m_rebuilding)
            m_doc.restore(m_before);
    }

    AddressDocument &m_doc;
    AddressDocument::Snapshot m_before;
    AddressDocument::Snapshot m_after;
    qint64 m_bytes = 0;
    bool m_pushed = false;
};

namespace {

bool askYesNo(Prompter &prompter, const QString &text)
{
    Prompter::Message m;
    m.text = text;
    m.buttons = Prompter::Buttons(Prompter::Yes) | Prompter::No;
    m.icon = Prompter::Icon::Question;
    m.defaultButton = Prompter::No;
    return prompter.ask(m) == Prompter::Yes;
}

// The step text of an append, after the insert menu's captions.
QString appendStepText(int kind)
{
    switch (kind) {
    case FileKindListText: return QStringLiteral("一覧形式挿入");
    case FileKindCsv: return QStringLiteral("CSV形式挿入");
    case FileKindVCard: return QStringLiteral("VCard形式挿入");
    case FileKindEudora: return QStringLiteral("Eudora形式挿入");
    default: return QStringLiteral("ｱﾄﾞﾚｽ帳の挿入");
    }
}

} // namespace

AddressDocument::AddressDocument(ShellSession &shell, Prompter &prompter, QObject *parent)
    : QObject(parent), m_shell(shell), m_prompter(prompter), m_book(AddressBook::newBook())
{
    m_history.setUndoLimit(HistorySteps);
}

AddressDocument::~AddressDocument()
{
    // The steps go first: they report their size to the document.
    m_history.clear();
}

QString AddressDocument::programTitle()
{
    return QStringLiteral("Brindle");
}

FileIo AddressDocument::fileIo() const
{
    FileIo io = m_shell.fileIo(m_prompter, progress);
    io.formats = m_formats;
    return io;
}

CardLimits AddressDocument::limits() const
{
    return cardLimitsOf(m_shell.settings);
}

void AddressDocument::setModifiedFlag(bool on)
{
    if (m_modified == on)
        return;
    m_modified = on;
    emit modifiedChanged(on);
}

void AddressDocument::setModified(bool on)
{
    setModifiedFlag(on);
}

void AddressDocument::setBusy(bool on)
{
    const bool changed = m_busy != on;
    m_busy = on;
    m_interruptRequested = false;
    m_closePending = false;
    if (changed)
        emit busyChanged(on);
}

void AddressDocument::askInterrupt()
{
    m_closePending = false;
    mayCloseMainWindow(true, m_interruptRequested, m_book, m_modified, m_prompter);
}

bool AddressDocument::closeRequested(bool canAsk)
{
    if (!m_busy)
        return mayCloseMainWindow(false, m_interruptRequested, m_book, m_modified, m_prompter);
    if (canAsk)
        askInterrupt();
    else if (!m_interruptRequested)
        m_closePending = true;
    return false;
}

bool AddressDocument::checkInterrupt(bool canAsk)
{
    if (m_closePending && canAsk)
        askInterrupt();
    return !m_interruptRequested;
}

void AddressDocument::search(int field, const QString &word)
{
    m_displayList = searchCards(m_book, field, word);
}

void AddressDocument::checkCards(bool repairNumbers)
{
    if (repairNumbers) {
        if (showStatus)
            showStatus(QStringLiteral("ｶｰﾄﾞ番号を調査しています。"));
        const int n = repairCardNumbers(m_book);
        if (n > 0)
            m_prompter.notice(cardNumberRepairMessage(n));
    }
    if (showStatus)
        showStatus(QStringLiteral("ｶｰﾄﾞ状態を調査しています。"));
    validateAll(m_book, limits());
}

int AddressDocument::readSub(const QString &path, int kind, bool append)
{
    if (!append && !mayDiscardBook(m_book, m_modified, m_prompter))
        return -1;
    if (showStatus)
        showStatus(QStringLiteral("ﾌｧｲﾙを読み込んでいます。"));
    AddressBook read;
    if (readFileByKind(path, kind, read, fileIo()) < 0)
        return -1;
    if (read.trailingBytes > 0)
        m_prompter.lossNotice(trailingBytesMessage(read.trailingBytes));

    if (append) {
        if (showStatus)
            showStatus(QStringLiteral("ｶｰﾄﾞを追加しています。"));
        const int n = countCardsSharingIds(m_book, read);
        if (n > 0
            && m_prompter.ask({QString::number(n)
                                   + QStringLiteral(" 枚のカードで ID が重複します。これらのカードを統合しますか？"),
                               QString(), Prompter::Buttons(Prompter::Ok) | Prompter::Cancel,
                               Prompter::Icon::Question, Prompter::Ok})
                   != Prompter::Ok)
            return -1;
        // All or nothing: a refused or stopped append, or running out of
        // memory half way, leaves the book as it was (the cards are merged
        // into a copy).
        const Snapshot before = snapshot();
        try {
            if (appendBook(m_book, read, m_prompter, progress) != 0)
                return -1;
        } catch (const std::bad_alloc &) {
            m_prompter.notice(outOfMemoryMessage());
            return -1;
        }
        checkCards(false);
        pushStep(appendStepText(kind), before);
        return 1;
    }
    m_book = std::move(read);
    clearHistory();
    checkCards(kind == FileKindAddressBook);
    emit bookReplaced();
    return 0;
}

int AddressDocument::open(const QString &path, int kind, bool append)
{
    const int result = readSub(path, kind, append);
    if (result < 0)
        return result;
    if (!append)
        setModifiedFlag(false);
    m_saveEnabled = true;
    if (kind == FileKindAddressBook) {
        if (!append)
            m_fileName = path;
        addToFileHistory(m_shell.settings, path);
    }
    return result;
}

bool AddressDocument::newBook()
{
    if (!mayDiscardBook(m_book, m_modified, m_prompter))
        return false;
    m_book = AddressBook::newBook();
    clearHistory();
    setModifiedFlag(false);
    m_saveEnabled = false;
    m_fileName.clear();
    emit bookReplaced();
    return true;
}

bool AddressDocument::refusedOutput(const QString &path, bool overwriteSilently)
{
    if (guardLiveAddressBook(path, m_shell.settings.homeFolder, m_shell.probe, m_prompter))
        return true;
    return !WritePathCheck(path, overwriteSilently, m_prompter);
}

void AddressDocument::fileWritten(const QString &path, int kind, bool wholeBook)
{
    if (wholeBook) {
        m_history.setClean();
        setModifiedFlag(false);
        if (kind == FileKindAddressBook)
            m_fileName = path;
    }
    if (kind == FileKindAddressBook)
        addToFileHistory(m_shell.settings, path);
}

int AddressDocument::write(const QString &path, int kind, bool overwriteSilently)
{
    if (refusedOutput(path, overwriteSilently))
        return -1;
    if (showStatus)
        showStatus(QStringLiteral("ﾌｧｲﾙを書き込んでいます。"));
    FileIo io = fileIo();
    io.trashOld = m_shell.settings.trashFlag;
    if (writeFileByKind(path, kind, m_book, io) != 0)
        return -1;
    fileWritten(path, kind, true);
    return 0;
}

int AddressDocument::writeSelected(const QList<qint32> &numbers, const QString &path, int kind,
                                   bool overwriteSilently)
{
    if (numbers.isEmpty() || refusedOutput(path, overwriteSilently))
        return -1;
    AddressBook part;
    part.signature = m_book.signature;
    part.cardCounter = m_book.cardCounter;
    part.cards = {m_book.systemCard()};
    const QSet<qint32> wanted(numbers.begin(), numbers.end());
    for (qsizetype i = 1; i < m_book.cardCount(); ++i)
        if (wanted.contains(m_book.cards[i].number))
            part.cards.append(m_book.cards[i]);
    if (showStatus)
        showStatus(QStringLiteral("ﾌｧｲﾙを書き込んでいます。"));
    FileIo io = fileIo();
    io.trashOld = m_shell.settings.trashFlag;
    if (writeFileByKind(path, kind, part, io) != 0)
        return -1;
    fileWritten(path, kind, false);
    return 0;
}

QString AddressDocument::savePath(int &kind) const
{
    if (m_fileName.isEmpty()) {
        kind = FileKindAddressBook;
        return {};
    }
    kind = fileKindOf(m_fileName);
    if (kind < 0)
        kind = FileKindAddressBook;
    return m_fileName;
}

QString AddressDocument::windowTitle() const
{
    if (m_fileName.isEmpty())
        return programTitle() + QStringLiteral(" （ 新規アドレス帳 ）");
    return programTitle() + QStringLiteral(" - ") + fileNameOf(m_fileName);
}

QString AddressDocument::historyCaption(int i) const
{
    const QString path = m_shell.settings.fileHistory.at(i);
    if (path.isEmpty())
        return {};
    return u'&' + QString::number(i + 1) + u' ' + shortenLeft(path, 30);
}

bool AddressDocument::deleteCards(const QList<qint32> &numbers, qsizetype lines)
{
    if (numbers.isEmpty() || !askYesNo(m_prompter, deleteQuestion(lines, numbers.size())))
        return false;
    if (showStatus)
        showStatus(QStringLiteral("ｶｰﾄﾞを削除しています。"));
    const Snapshot before = snapshot();
    const int removed = ::deleteCards(numbers, m_book);
    displayListRemove(m_displayList, QSet<qint32>(numbers.begin(), numbers.end()));
    pushStep(QStringLiteral("カードの削除 (%1 枚)").arg(removed), before, numbers);
    return true;
}

qint32 AddressDocument::combineCards(const QList<qint32> &numbers, qsizetype lines, int field,
                                     const QString &word)
{
    if (lines < 2 || numbers.size() < 2
        || !askYesNo(m_prompter, combineQuestion(lines, numbers.size())))
        return -1;
    if (showStatus)
        showStatus(QStringLiteral("ｶｰﾄﾞを統合しています。"));
    const Snapshot before = snapshot();
    const qint32 target = ::combineCards(m_book, numbers, limits());
    if (target < 0)
        return -1;
    search(field, word);
    pushStep(QStringLiteral("カードの統合 (%1 枚)").arg(numbers.size()), before, numbers);
    return target;
}

qint32 AddressDocument::editCard(qint32 number, const CardEditor &editor)
{
    const Snapshot before = snapshot();
    const qint32 saved = editor(m_book, number);
    if (saved < 0)
        return -1;
    // A new card is shown even when it does not match the search; a card
    // it was merged into is shown once.
    if (number < 0)
        displayListAdd(m_displayList, saved);
    pushStep(number < 0 ? QStringLiteral("ｶｰﾄﾞ作成") : QStringLiteral("ｶｰﾄﾞ編集"), before,
             {saved});
    return saved;
}

bool AddressDocument::editGroups(const BookEditor &editor)
{
    const Snapshot before = snapshot();
    if (!editor(m_book))
        return false;
    pushStep(QStringLiteral("ｸﾞﾙｰﾌﾟ編集"), before);
    return true;
}

bool AddressDocument::runTool(Tool tool, const BookEditor &run)
{
    const Snapshot before = snapshot();
    if (!run(m_book))
        return false;
    QString text;
    switch (tool) {
    case Tool::BulkSettings:
        text = QStringLiteral("ｶｰﾄﾞの一括設定");
        displayListDropVanished(m_displayList, m_book);
        break;
    case Tool::Restoration:
        text = QStringLiteral("ｶｰﾄﾞの修復");
        displayListDropVanished(m_displayList, m_book);
        break;
    case Tool::Slimming:
        text = QStringLiteral("ｱﾄﾞﾚｽ帳の減量");
        break;
    }
    pushStep(text, before);
    return true;
}

int AddressDocument::recheck(const std::function<int(AddressBook &)> &work)
{
    return work(m_book);
}

void AddressDocument::pushStep(const QString &text, const Snapshot &before,
                               const QList<qint32> &changed)
{
    m_history.push(new BookStep(*this, text, before, snapshot()));
    trimHistory();
    followCleanState();
    emit cardsChanged(changed);
}

void AddressDocument::followCleanState()
{
    setModifiedFlag(!m_history.isClean());
}

void AddressDocument::restore(const Snapshot &state)
{
    // Card numbers are never handed out twice: the counter stays.
    const qint32 counter = qMax(m_book.cardCounter, state.book.cardCounter);
    m_book = state.book;
    m_book.cardCounter = counter;
    m_displayList = state.displayList;
    // The limits were changed since: the verdicts are found again.
    if (const CardLimits now = limits(); state.limits != now)
        validateAll(m_book, now);
}

bool AddressDocument::undo()
{
    if (m_busy || !m_history.canUndo())
        return false;
    m_history.undo();
    followCleanState();
    emit bookRestored();
    return true;
}

bool AddressDocument::redo()
{
    if (m_busy || !m_history.canRedo())
        return false;
    m_history.redo();
    followCleanState();
    emit bookRestored();
    return true;
}

void AddressDocument::clearHistory()
{
    m_history.clear();
}

void AddressDocument::trimHistory()
{
    const int count = m_history.count();
    const int index = m_history.index();
    qint64 total = m_historyBytes;
    int drop = 0;
    // The oldest steps go, never the newest one nor a step still to redo.
    while (total > m_historyByteLimit && drop < index && drop < count - 1) {
        total -= static_cast<const BookStep *>(m_history.command(drop))->m_bytes;
        ++drop;
    }
    if (drop == 0)
        return;
    struct Kept
    {
        QString text;
        Snapshot before;
        Snapshot after;
    };
    QList<Kept> kept;
    for (int i = drop; i < count; ++i) {
        const auto *step = static_cast<const BookStep *>(m_history.command(i));
        kept.append({step->text(), step->m_before, step->m_after});
    }
    const int clean = m_history.cleanIndex();
    m_rebuilding = true;
    m_history.clear();
    for (Kept &k : kept)
        m_history.push(new BookStep(*this, k.text, std::move(k.before), std::move(k.after)));
    if (clean >= drop) {
        m_history.setIndex(clean - drop);
        m_history.setClean();
    } else {
        m_history.resetClean();
    }
    m_history.setIndex(index - drop);
    m_rebuilding = false;
}

namespace {

// Bytes of string data not found among `shared`.
qint64 unsharedBytes(const QString &s, const QSet<const void *> &shared)
{
    if (s.isEmpty() || shared.contains(s.constData()))
        return 0;
    return 16 + s.size() * qint64(sizeof(QChar));
}

qint64 unsharedBytes(const QStringList &list, const QSet<const void *> &shared)
{
    if (list.isEmpty() || shared.contains(list.constData()))
        return 0;
    qint64 n = 16 + list.size() * qint64(sizeof(QString));
    for (const QString &s : list)
        n += unsharedBytes(s, shared);
    return n;
}

template <typename F> void forEachText(const Card &c, F f)
{
    for (const QString *s : {&c.postalCode, &c.address, &c.telephone, &c.fax, &c.memo, &c.mobile,
                             &c.pager})
        f(*s);
    for (const QStringList *l : {&c.ids, &c.names, &c.groups, &c.profile, &c.mailLog,
                                 &c.exchangeRecords, &c.remarkRecords})
        f(*l);
}

} // namespace

qint64 estimatedStepBytes(const AddressBook &before, const AddressBook &after)
{
    if (before.cards.constData() == after.cards.constData())
        return 0;
    // The texts of `before`: what the step shares with the states around it.
    QSet<const void *> shared;
    shared.reserve(before.cards.size() * 14);
    for (const Card &c : before.cards)
        forEachText(c, [&shared](const auto &t) {
            if (!t.isEmpty())
                shared.insert(t.constData());
        });
    qint64 bytes = after.cards.size() * qint64(sizeof(Card));
    for (const Card &c : after.cards)
        forEachText(c, [&](const auto &t) { bytes += unsharedBytes(t, shared); });
    return bytes;
}
