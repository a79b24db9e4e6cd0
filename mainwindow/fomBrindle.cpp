#include "mainwindow/fomBrindle.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "common/fomReport.h"
#include "common/fomVersion.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "core/cardops.h"
#include "core/fileinfo.h"
#include "formats/fileprocs.h"
#include "mainwindow/addresslist.h"
#include "mainwindow/menutable.h"
#include "mainwindow/search.h"
#include "shell/filekind.h"
#include "shell/help.h"
#include "shell/startup.h"

namespace {

// Toolbar pictures: the desktop's icon theme, with the style's standard
// pictures where the theme has none.
QIcon toolIcon(const QString &name)
{
    struct Pick { const char *button; const char *theme; QStyle::StandardPixmap fallback; };
    static const Pick picks[] = {
        {"cmdAddNew", "document-new", QStyle::SP_FileIcon},
        {"cmdAddRead", "document-open", QStyle::SP_DialogOpenButton},
        {"cmdAddSave", "document-save", QStyle::SP_DialogSaveButton},
        {"cmdCardNew", "contact-new", QStyle::SP_FileDialogNewFolder},
        {"cmdCardEdit", "document-properties", QStyle::SP_FileDialogDetailedView},
        {"cmdCardDelete", "edit-delete", QStyle::SP_TrashIcon},
        {"cmdCardCombine", "view-sort-ascending", QStyle::SP_ArrowDown},
        {"cmdGroup", "system-users", QStyle::SP_DirIcon},
        {"cmdCollectID", "edit-select-all", QStyle::SP_FileDialogListView},
        {"cmdCollectRestore", "tools-check-spelling", QStyle::SP_BrowserReload},
        {"cmdCollectLight", "edit-clear", QStyle::SP_DialogDiscardButton},
        {"cmdCollectComp", "edit-find-replace", QStyle::SP_FileDialogContentsView},
        {"cmdOptionSetup", "preferences-system", QStyle::SP_ComputerIcon},
        {"cmdHelpTopic", "help-browser", QStyle::SP_DialogHelpButton},
    };
    for (const Pick &p : picks) {
        if (name == QLatin1String(p.button)) {
            const QIcon themed = QIcon::fromTheme(QLatin1String(p.theme));
            return themed.isNull() ? QApplication::style()->standardIcon(p.fallback) : themed;
        }
    }
    return {};
}

// A Japanese font in which a full-width character is exactly two half-width
// columns, so that the list's columns line up.
QFont listFont()
{
    static const char *const families[] = {"IPAGothic", "Noto Sans Mono CJK JP",
                                           "VL Gothic", "TakaoGothic"};
    for (const char *family : families) {
        QFont f(QString::fromLatin1(family));
        f.setPixelSize(14);
        f.setStyleHint(QFont::TypeWriter);
        if (!QFontInfo(f).family().startsWith(QString::fromLatin1(family), Qt::CaseInsensitive))
            continue;
        const QFontMetricsF m(f);
        const qreal half = m.horizontalAdvance(QLatin1Char('a'));
        if (half > 0 && qAbs(m.horizontalAdvance(QChar(0x3042)) - 2 * half) < 0.01
            && qAbs(m.horizontalAdvance(QChar(0xFF71)) - half) < 0.01)
            return f;
    }
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(14);
    return f;
}

} // namespace

fomBrindle::fomBrindle(ShellSession &shell, Prompter &prompter, const QString &commandLineFile,
                       QWidget *parent)
    : QMainWindow(parent), m_session(shell, prompter), m_commandLineFile(commandLineFile)
{
    setObjectName(QStringLiteral("fomBrindle"));
    setAcceptDrops(false);
    buildMenus();
    buildToolBar();
    buildSearchBar();
    buildCentral();
    connectCommands();

    m_session.showStatus = [this](const QString &text) { setStatus(text); };
    m_session.progress = [this](qint64, qint64) { return processEventsAndContinue(); };

    // Start-up: a new, empty book with the file history shown.
    BisyModeChange(true);
    placeWindow();
    m_session.book = AddressBook::newBook();
    m_session.saveEnabled = false;
    toolButtons.value(QStringLiteral("cmdAddSave"))->setEnabled(false);
    action(QStringLiteral("mnuFileSave"))->setEnabled(false);
    updateTitle();
    HistoryView();
    runSearch();
    BisyModeChange(false);
}

fomBrindle::~fomBrindle() = default;

template <typename F> void fomBrindle::whenIdle(F f)
{
    if (!m_session.busy)
        f();
}

void fomBrindle::connectCommands()
{
    auto on = [this](const char *name, auto slot) {
        QAction *a = action(QString::fromLatin1(name));
        Q_ASSERT(a);
        connect(a, &QAction::triggered, this, slot);
    };
    auto button = [this](const char *name, auto slot) {
        connect(toolButtons.value(QString::fromLatin1(name)), &QToolButton::clicked, this, slot);
    };

    on("mnuFileNew", [this] { AddNew(); });
    button("cmdAddNew", [this] { AddNew(); });
    on("mnuFileOpen", [this] { readCommand(FileKindAddressBook, false); });
    button("cmdAddRead", [this] { readCommand(FileKindAddressBook, false); });
    on("mnuFileSave", [this] { AddSave(); });
    button("cmdAddSave", [this] { AddSave(); });
    on("mnuFileSaveAs", [this] { writeCommand(FileKindAddressBook); });
    on("mnuFileReadList", [this] { readCommand(FileKindListText, false); });
    on("mnuFileReadCSV", [this] { readCommand(FileKindCsv, false); });
    on("mnuFileReadVCard", [this] { readCommand(FileKindVCard, false); });
    on("mnuFileReadEudora", [this] { readCommand(FileKindEudora, false); });
    on("mnuFileAppend", [this] { readCommand(FileKindAddressBook, true); });
    on("mnuFileReadAppendList", [this] { readCommand(FileKindListText, true); });
    on("mnuFileReadAppendCSV", [this] { readCommand(FileKindCsv, true); });
    on("mnuFileReadAppendVCard", [this] { readCommand(FileKindVCard, true); });
    on("mnuFileReadAppendEudora", [this] { readCommand(FileKindEudora, true); });
    on("mnuFileWriteList", [this] { writeCommand(FileKindListText); });
    on("mnuFileWiteCSV", [this] { writeCommand(FileKindCsv); });
    on("mnuFileWriteEudora", [this] { writeCommand(FileKindEudora); });
    on("mnuEditFileNdb", [this] { writeSelectedCommand(FileKindAddressBook); });
    on("mnuEditFileList", [this] { writeSelectedCommand(FileKindListText); });
    on("mnuEditFileCsv", [this] { writeSelectedCommand(FileKindCsv); });
    on("mnuEditFileVCard", [this] { writeSelectedCommand(FileKindVCard); });
    on("mnuEditFileEudora", [this] { writeSelectedCommand(FileKindEudora); });
    on("mnuFileInfo", [this] { FileInfoView(); });
    on("mnuFileExit", [this] { close(); });
    for (int i = 0; i < 5; ++i) {
        connect(mnuFileHistory[i], &QAction::triggered, this, [this, i] {
            whenIdle([&] {
                const QString path = m_session.shell.settings.fileHistory.at(i);
                Open(path, fileKindOf(path));
            });
        });
    }

    on("mnuViewUpdate", [this] { whenIdle([&] { AddView(-1); }); });
    for (int i = 0; i < 5; ++i)
        on(QStringLiteral("mnuViewSortOrder%1").arg(i).toLatin1().constData(), [this, i] {
            if (optSortOrder[i]->isChecked())
                action(QStringLiteral("mnuViewSortOrder%1").arg(i))->setChecked(true);
            else
                optSortOrder[i]->setChecked(true);
        });
    for (int i = 0; i < 6; ++i)
        connect(optSortOrder[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                sortOrderChosen(i);
        });
    connect(chkSortReverce, &QCheckBox::toggled, this, [this] { reverseChosen(); });
    on("mnuViewSortReverce", [this] {
        chkSortReverce->setChecked(!chkSortReverce->isChecked());
    });

    connect(cboSearchList, &QComboBox::activated, this, [this](int i) { searchFieldChosen(i); });
    connect(cmdSearch, &QPushButton::clicked, this, [this] { whenIdle([&] { runSearch(); }); });
    cboSearchWord->installEventFilter(this);

    on("mnuEditAllSel", [this] {
        whenIdle([&] {
            lstAdd->selectAll();
            SelView();
        });
    });
    on("mnuEditRevSel", [this] {
        whenIdle([&] {
            QItemSelection all(m_model->index(0), m_model->index(m_model->rowCount() - 1));
            lstAdd->selectionModel()->select(all, QItemSelectionModel::Toggle);
            SelView();
        });
    });
    connect(lstAdd->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SelView(); });

    on("mnuHelpTopic", [this] { helpTopic(); });
    button("cmdHelpTopic", [this] { helpTopic(); });
    on("mnuHelpVersion", [this] { showVersion(); });

    // Commands whose windows are not part of this build yet.
    for (const char *name : {"mnuEditAdd", "mnuEditEdit", "mnuEditDelete", "mnuEditCombine",
                             "mnuCollectEditGroup", "mnuCollectID", "mnuCollectRestore",
                             "mnuCollectLight", "mnuCollectComp", "mnuOptionSetup"})
        on(name, [this] { notAvailable(); });
    for (const char *name : {"cmdCardNew", "cmdCardEdit", "cmdCardDelete", "cmdCardCombine",
                             "cmdGroup", "cmdCollectID", "cmdCollectRestore", "cmdCollectLight",
                             "cmdCollectComp", "cmdOptionSetup"})
        button(name, [this] { notAvailable(); });
}

void fomBrindle::notAvailable()
{
    whenIdle([&] {
        m_session.prompter.notice(QStringLiteral("この機能はまだ利用できません。"),
                                  Prompter::Icon::Information);
    });
}

void fomBrindle::helpTopic()
{
    whenIdle([&] {
        const QUrl url = helpContentsUrl(m_session.prompter, m_session.shell.helpFile);
        if (url.isValid())
            QDesktopServices::openUrl(url);
    });
}

void fomBrindle::showVersion()
{
    fomVersion dlg(this);
    dlg.exec();
}

void fomBrindle::placeWindow()
{
    QList<QRect> screens;
    for (QScreen *s : QGuiApplication::screens())
        screens.append(s->availableGeometry());
    if (QGuiApplication::primaryScreen())
        screens.move(screens.indexOf(QGuiApplication::primaryScreen()->availableGeometry()), 0);
    const double dpi = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->logicalDotsPerInch()
                           : 96.0;
    const WindowPlacement p =
        placeMainWindow(m_session.shell.settings, screens, QSize(760, 560), dpi);
    setGeometry(p.geometry);
    if (p.state == 2)
        setWindowState(Qt::WindowMaximized);
    else if (p.state == 1)
        setWindowState(Qt::WindowMinimized);
}

void fomBrindle::setStatus(const QString &text)
{
    lblStatus->setText(text);
    lblStatus->repaint();
}

bool fomBrindle::processEventsAndContinue()
{
    // Let the window breathe a few dozen times a second, not once per card.
    static QElapsedTimer sinceEvents;
    if (!sinceEvents.isValid() || sinceEvents.elapsed() >= 30) {
        QCoreApplication::processEvents();
        sinceEvents.restart();
    }
    return !m_session.interruptRequested;
}

void fomBrindle::BisyModeChange(bool busy)
{
    if (busy && !m_session.busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && m_session.busy)
        QApplication::restoreOverrideCursor();
    m_session.busy = busy;
    m_session.interruptRequested = false;
    picToolBar->setEnabled(!busy);
    frmSortOrder->setEnabled(!busy);
    action(QStringLiteral("mnuViewSort"))->setEnabled(!busy);
    repaint();
}

void fomBrindle::updateTitle()
{
    setWindowTitle(m_session.windowTitle());
}

int fomBrindle::sortOrder() const
{
    for (int i = 0; i < 6; ++i)
        if (optSortOrder[i]->isChecked())
            return i;
    return 0;
}

void fomBrindle::AddView(qint32 cardNumber)
{
    if (m_session.busy) {
        AddViewSub(cardNumber);
        return;
    }
    BisyModeChange(true);
    AddViewSub(cardNumber);
    BisyModeChange(false);
}

void fomBrindle::AddViewSub(qint32 cardNumber)
{
    setStatus(QStringLiteral("一覧を作成しています。"));
    const QModelIndex current = lstAdd->currentIndex();
    if (cardNumber == -1 && m_model->rowCount() > 0 && current.isValid())
        cardNumber = m_model->cardNumberAt(current.row());

    QList<ListLine> lines;
    switch (buildListLines(m_session.book, m_session.displayList, sortOrder(), lines,
                           m_session.progress)) {
    case BuildResult::MissingCard:
        setStatus(QStringLiteral("表示に失敗しました。"));
        return;
    case BuildResult::Interrupted:
        // Lines of a book that was replaced must not stay: their card
        // numbers belong to the old book.
        if (m_listStale) {
            m_model->clear();
            SelView();
        }
        return;
    case BuildResult::Done:
        break;
    }
    if (chkSortReverce->isChecked())
        std::reverse(lines.begin(), lines.end());
    m_model->setLines(std::move(lines));
    m_listStale = false;
    if (cardNumber >= 0) {
        const int row = m_model->firstRowOfCard(cardNumber);
        if (row >= 0) {
            const QModelIndex index = m_model->index(row);
            lstAdd->selectionModel()->setCurrentIndex(index,
                                                      QItemSelectionModel::ClearAndSelect);
            lstAdd->scrollTo(index);
        }
    }
    SelView();
}

void fomBrindle::AddReView(qint32 cardNumber)
{
    setStatus(QStringLiteral("一覧を作成しています。"));
    AddListDelete(cardNumber);
    const int index = findCardByNumber(m_session.book, cardNumber);
    if (index < 1) {
        setStatus(QStringLiteral("表示に失敗しました。"));
        return;
    }
    QList<ListLine> lines = cardListLines(m_session.book.cards[index], sortOrder());
    sortListLines(lines);
    if (chkSortReverce->isChecked())
        std::reverse(lines.begin(), lines.end());
    const int first = m_model->rowCount();
    m_model->appendLines(lines);
    const QModelIndex firstIndex = m_model->index(first);
    lstAdd->selectionModel()->setCurrentIndex(firstIndex, QItemSelectionModel::ClearAndSelect);
    lstAdd->scrollTo(firstIndex);
    SelView();
}

void fomBrindle::AddListDelete(qint32 cardNumber)
{
    m_model->removeRowsOfCard(cardNumber);
    SelView();
}

void fomBrindle::SelView()
{
    const int s = lstAdd->selectionModel()->selectedRows().size();
    const int n = m_model->rowCount();
    auto enable = [this](const char *name, bool on) {
        const QString key = QString::fromLatin1(name);
        if (QToolButton *b = toolButtons.value(key))
            b->setEnabled(on);
        if (QAction *a = action(key))
            a->setEnabled(on);
    };
    enable("cmdCardEdit", s > 0);
    enable("mnuEditEdit", s > 0);
    enable("cmdCardDelete", s > 0);
    enable("mnuEditDelete", s > 0);
    enable("cmdCardCombine", s > 1);
    enable("mnuEditCombine", s > 1);
    enable("mnuEditFile", s > 0);
    enable("mnuEditFileVCard", s == 1);
    enable("cmdCollectID", n > 0);
    enable("mnuCollectID", n > 0);
    enable("cmdCollectRestore", n > 0);
    enable("mnuCollectRestore", n > 0);
    enable("cmdCollectLight", n > 0);
    enable("mnuCollectLight", n > 0);
    lblSelCount->setText(s > 0 ? QString::number(s) + QStringLiteral(" 件を選択")
                               : QString::number(n) + QStringLiteral(" 件を表示中"));
    lblInfo->setText(QString::number(m_session.book.cardCount() - 1)
                     + QStringLiteral(" 枚のｶｰﾄﾞがあります"));
    lblStatus->setText(QString());
}

QList<qint32> fomBrindle::selectedCardNumbers() const
{
    QModelIndexList rows = lstAdd->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<qint32> out;
    QSet<qint32> seen;
    for (const QModelIndex &i : rows) {
        const qint32 n = m_model->cardNumberAt(i.row());
        if (!seen.contains(n)) {
            seen.insert(n);
            out.append(n);
        }
    }
    return out;
}

void fomBrindle::runSearch()
{
    setStatus(QStringLiteral("表示ｶｰﾄﾞを検索しています。"));
    m_session.displayList = searchCards(m_session.book, cboSearchList->currentIndex(),
                                        cboSearchWord->currentText());
    AddView(-1);
}

void fomBrindle::searchFieldChosen(int index)
{
    const bool withWord = index >= SearchIds;
    lblSearchGa->setText(withWord ? QStringLiteral("が") : QStringLiteral("を"));
    cboSearchWord->setVisible(withWord);
    lblSearchFukumu->setVisible(withWord);
    if (withWord) {
        cboSearchWord->clear();
        cboSearchWord->addItem(anyValueWord());
        if (index == SearchGroups)
            cboSearchWord->addItems(m_session.book.groupList());
        cboSearchWord->setCurrentIndex(0);
    }
}

void fomBrindle::sortOrderChosen(int index)
{
    for (int i = 0; i < 5; ++i)
        action(QStringLiteral("mnuViewSortOrder%1").arg(i))->setChecked(i == index);
    whenIdle([&] { AddView(-1); });
}

void fomBrindle::reverseChosen()
{
    action(QStringLiteral("mnuViewSortReverce"))->setChecked(chkSortReverce->isChecked());
    whenIdle([&] { AddView(-1); });
}

bool fomBrindle::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboSearchWord && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            whenIdle([&] { runSearch(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void fomBrindle::HistoryView()
{
    bool any = false;
    for (int i = 0; i < 5; ++i) {
        const QString caption = m_session.historyCaption(i);
        mnuFileHistory[i]->setText(caption);
        mnuFileHistory[i]->setVisible(!caption.isEmpty());
        any = any || !caption.isEmpty();
    }
    action(QStringLiteral("mnuFileHistoryLine"))->setVisible(any);
}

void fomBrindle::Open(const QString &path, int kind)
{
    if (m_session.busy)
        return;
    BisyModeChange(true);
    if (m_session.open(path, kind, false) >= 0) {
        m_listStale = true;
        runSearch();
        toolButtons.value(QStringLiteral("cmdAddSave"))->setEnabled(true);
        action(QStringLiteral("mnuFileSave"))->setEnabled(true);
        updateTitle();
        HistoryView();
        emit bookChanged();
    }
    BisyModeChange(false);
    setStatus(QString());
}

void fomBrindle::Append(const QString &path, int kind)
{
    if (m_session.busy)
        return;
    BisyModeChange(true);
    if (m_session.open(path, kind, true) >= 0) {
        runSearch();
        toolButtons.value(QStringLiteral("cmdAddSave"))->setEnabled(true);
        action(QStringLiteral("mnuFileSave"))->setEnabled(true);
        HistoryView();
        emit bookChanged();
    }
    BisyModeChange(false);
    setStatus(QString());
}

void fomBrindle::AddNew()
{
    whenIdle([&] {
        if (!m_session.newBook())
            return;
        m_listStale = true;
        toolButtons.value(QStringLiteral("cmdAddSave"))->setEnabled(false);
        action(QStringLiteral("mnuFileSave"))->setEnabled(false);
        updateTitle();
        runSearch();
        emit bookChanged();
    });
}

void fomBrindle::readCommand(int kind, bool append)
{
    whenIdle([&] {
        Settings &settings = m_session.shell.settings;
        const QString path = chooseFile(m_session.prompter, FileDialogMode::Open,
                                        settings.lastFileName.at(kind), kind);
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        if (append)
            Append(path, kind);
        else
            Open(path, kind);
    });
}

void fomBrindle::AddSave()
{
    whenIdle([&] {
        int kind = FileKindAddressBook;
        QString path = m_session.savePath(kind);
        Settings &settings = m_session.shell.settings;
        if (path.isEmpty()) {
            path = chooseFile(m_session.prompter, FileDialogMode::Save,
                              settings.lastFileName.at(FileKindAddressBook), FileKindAddressBook);
            if (path.isEmpty())
                return;
        }
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        if (m_session.write(path, kind, true) == 0 && kind == FileKindAddressBook) {
            updateTitle();
            HistoryView();
        }
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::writeCommand(int kind)
{
    whenIdle([&] {
        Settings &settings = m_session.shell.settings;
        const QString path = chooseFile(m_session.prompter, FileDialogMode::Save,
                                        settings.lastFileName.at(kind), kind);
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        if (m_session.write(path, kind, false) == 0 && kind == FileKindAddressBook) {
            updateTitle();
            HistoryView();
        }
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::writeSelectedCommand(int kind)
{
    whenIdle([&] {
        const QList<qint32> numbers = selectedCardNumbers();
        if (numbers.isEmpty())
            return;
        Settings &settings = m_session.shell.settings;
        QString start = settings.lastFileName.at(kind);
        if (kind == FileKindVCard && !start.isEmpty()) {
            const int index = findCardByNumber(m_session.book, numbers.first());
            const QString name = index > 0 ? m_session.book.cards[index].names.value(0) : QString();
            start = withSlash(folderOf(start)) + SafeFileName(name);
        }
        const QString path = chooseFile(m_session.prompter, FileDialogMode::Save, start, kind);
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        if (m_session.writeSelected(numbers, path, kind, false) == 0
            && kind == FileKindAddressBook)
            HistoryView();
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::FileInfoView()
{
    whenIdle([&] {
        const QString text = fileInfoReport(m_session.book, m_session.currentFileName,
                                            QDateTime::currentDateTime());
        fomReport::View(text, QStringLiteral("ファイル情報"), QStringLiteral("ファイル情報"),
                        m_session.prompter, m_session.shell.settings.trashFlag, this);
    });
}

void fomBrindle::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_activated)
        return;
    m_activated = true;
    if (m_commandLineFile.isEmpty())
        return;
    QTimer::singleShot(0, this, [this] {
        const QString path = canonicalPath(m_commandLineFile, PathKind::File);
        const int kind = path.isEmpty() ? -1 : fileKindOf(path);
        if (kind >= 0)
            Open(path, kind);
    });
}

void fomBrindle::closeEvent(QCloseEvent *event)
{
    if (!mayCloseMainWindow(m_session.busy, m_session.interruptRequested, m_session.book,
                            m_session.modified, m_session.prompter)) {
        event->ignore();
        return;
    }
    const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    recordPlacement(m_session.shell.settings, normalGeometry(), state, dpi);
    m_session.shell.saveSettings();
    event->accept();
}

void fomBrindle::buildMenus()
{
    QMenu *top = nullptr;
    QMenu *sub = nullptr;
    for (int i = 0; i < MainMenuEntryCount; ++i) {
        const MenuEntry &e = MainMenuEntries[i];
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        const bool hasChildren = i + 1 < MainMenuEntryCount
                                 && MainMenuEntries[i + 1].level > e.level;
        if (e.level == 0) {
            top = menuBar()->addMenu(caption);
            top->setObjectName(name);
            top->menuAction()->setObjectName(name);
            m_menus.insert(name, top);
            m_actions.insert(name, top->menuAction());
            sub = nullptr;
            continue;
        }
        QMenu *parentMenu = e.level == 2 ? sub : top;
        if (name == QLatin1String("mnuFileHistory*")) {
            for (int h = 0; h < 5; ++h) {
                QAction *a = parentMenu->addAction(QString());
                a->setObjectName(QStringLiteral("mnuFileHistory%1").arg(h));
                a->setVisible(false);
                mnuFileHistory[h] = a;
                m_actions.insert(a->objectName(), a);
            }
            continue;
        }
        QAction *a = nullptr;
        if (caption == QLatin1String("-")) {
            a = parentMenu->addSeparator();
        } else if (hasChildren && e.level == 1) {
            sub = parentMenu->addMenu(caption);
            sub->setObjectName(name);
            m_menus.insert(name, sub);
            a = sub->menuAction();
        } else {
            a = parentMenu->addAction(caption);
        }
        a->setObjectName(name);
        m_actions.insert(name, a);
    }
    m_actions.value(QStringLiteral("mnuFileHistoryLine"))->setVisible(false);
    for (int i = 0; i < 5; ++i)
        action(QStringLiteral("mnuViewSortOrder%1").arg(i))->setCheckable(true);
    action(QStringLiteral("mnuViewSortOrder0"))->setChecked(true);
    action(QStringLiteral("mnuViewSortReverce"))->setCheckable(true);
}

void fomBrindle::buildToolBar()
{
    picToolBar = new QWidget(this);
    picToolBar->setObjectName(QStringLiteral("picToolBar"));
    auto *layout = new QHBoxLayout(picToolBar);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(0);
    // Four groups: file, card, tools, help; buttons touch within a group.
    static const int groupStarts[] = {3, 7, 13};
    for (int i = 0; i < ToolButtonEntryCount; ++i) {
        if (i == groupStarts[0] || i == groupStarts[1] || i == groupStarts[2])
            layout->addSpacing(8);
        const QString name = QString::fromLatin1(ToolButtonEntries[i].name);
        auto *b = new QToolButton(picToolBar);
        b->setObjectName(name);
        b->setToolTip(QString::fromUtf8(ToolButtonEntries[i].toolTip));
        b->setIcon(toolIcon(name));
        b->setIconSize(QSize(20, 20));
        b->setAutoRaise(true);
        layout->addWidget(b);
        toolButtons.insert(name, b);
    }
    layout->addStretch(1);
}

void fomBrindle::buildSearchBar()
{
    picSearchBar = new QWidget(this);
    picSearchBar->setObjectName(QStringLiteral("picSearchBar"));
    auto *layout = new QHBoxLayout(picSearchBar);
    layout->setContentsMargins(4, 2, 4, 2);

    cboSearchList = new QComboBox(picSearchBar);
    cboSearchList->setObjectName(QStringLiteral("cboSearchList"));
    cboSearchList->addItems({QStringLiteral("全て"), QStringLiteral("不良ｶｰﾄﾞ"),
                             QStringLiteral("ID番号"), QStringLiteral("名前"),
                             QStringLiteral("ｸﾞﾙｰﾌﾟ名"), QStringLiteral("電話番号"),
                             QStringLiteral("住所"), QStringLiteral("誕生年"),
                             QStringLiteral("誕生月"), QStringLiteral("誕生日"),
                             QStringLiteral("ﾒﾓ")});
    lblSearchGa = new QLabel(QStringLiteral("を"), picSearchBar);
    lblSearchGa->setObjectName(QStringLiteral("lblSearchGa"));
    cboSearchWord = new QComboBox(picSearchBar);
    cboSearchWord->setObjectName(QStringLiteral("cboSearchWord"));
    cboSearchWord->setEditable(true);
    cboSearchWord->setInsertPolicy(QComboBox::NoInsert);
    cboSearchWord->setMinimumContentsLength(16);
    cboSearchWord->addItem(QStringLiteral("《任意の値》"));
    lblSearchFukumu = new QLabel(QStringLiteral("を含むﾘｽﾄ"), picSearchBar);
    lblSearchFukumu->setObjectName(QStringLiteral("lblSearchFukumu"));
    cmdSearch = new QPushButton(QStringLiteral("検索"), picSearchBar);
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cboSearchWord->hide();
    lblSearchFukumu->hide();

    layout->addWidget(cboSearchList);
    layout->addWidget(lblSearchGa);
    layout->addWidget(cboSearchWord);
    layout->addWidget(lblSearchFukumu);
    layout->addWidget(cmdSearch);
    layout->addStretch(1);

    frmSortOrder = new QFrame(picSearchBar);
    frmSortOrder->setObjectName(QStringLiteral("frmSortOrder"));
    frmSortOrder->setFrameShape(QFrame::StyledPanel);
    auto *sortLayout = new QHBoxLayout(frmSortOrder);
    sortLayout->setContentsMargins(6, 1, 6, 1);
    sortLayout->addWidget(new QLabel(QStringLiteral("表示順："), frmSortOrder));
    static const char *const sortCaptions[6] = {"名前", "ID", "ﾄﾞﾒｲﾝ", "作成", "更新", "状態"};
    auto *group = new QButtonGroup(frmSortOrder);
    for (int i = 0; i < 6; ++i) {
        optSortOrder[i] = new QRadioButton(QString::fromUtf8(sortCaptions[i]), frmSortOrder);
        optSortOrder[i]->setObjectName(QStringLiteral("optSortOrder%1").arg(i));
        group->addButton(optSortOrder[i], i);
        sortLayout->addWidget(optSortOrder[i]);
    }
    optSortOrder[0]->setChecked(true);
    chkSortReverce = new QCheckBox(QStringLiteral("逆順"), frmSortOrder);
    chkSortReverce->setObjectName(QStringLiteral("chkSortReverce"));
    sortLayout->addWidget(chkSortReverce);
    layout->addWidget(frmSortOrder);
}

void fomBrindle::buildCentral()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(picToolBar);
    layout->addWidget(picSearchBar);

    lstAdd = new QListView(central);
    lstAdd->setObjectName(QStringLiteral("lstAdd"));
    lstAdd->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstAdd->setUniformItemSizes(true);
    lstAdd->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstAdd->setFont(listFont());
    m_model = new AddressListModel(this);
    lstAdd->setModel(m_model);
    layout->addWidget(lstAdd, 1);

    picPanel = new QWidget(central);
    picPanel->setObjectName(QStringLiteral("picPanel"));
    auto *panel = new QHBoxLayout(picPanel);
    panel->setContentsMargins(4, 2, 4, 2);
    lblSelCount = new QLabel(picPanel);
    lblSelCount->setObjectName(QStringLiteral("lblSelCount"));
    lblSelCount->setMinimumWidth(120);
    lblSelCount->setFrameShape(QFrame::StyledPanel);
    lblStatus = new QLabel(picPanel);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setFrameShape(QFrame::StyledPanel);
    lblInfo = new QLabel(picPanel);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    lblInfo->setFrameShape(QFrame::StyledPanel);
    panel->addWidget(lblSelCount);
    panel->addWidget(lblInfo);
    panel->addWidget(lblStatus, 1);
    layout->addWidget(picPanel);
    setCentralWidget(central);
}
