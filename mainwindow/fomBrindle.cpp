#include "mainwindow/fomBrindle.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "cardedit/fomCardEdit.h"
#include "cardedit/fomGroupEdit.h"
#include "common/fomReport.h"
#include "common/fomVersion.h"
#include "common/paths.h"
#include "common/prompter.h"
#include "core/cardops.h"
#include "core/fileinfo.h"
#include "core/validation.h"
#include "formats/fomCsvGet.h"
#include "formats/fomCsvPut.h"
#include "formats/fomEudoraPut.h"
#include "shell/fomSetup.h"
#include "formats/fileprocs.h"
#include "mainwindow/addresslist.h"
#include "mainwindow/menutable.h"
#include "mainwindow/search.h"
#include "shell/filekind.h"
#include "shell/guiurlopener.h"
#include "shell/help.h"
#include "shell/startup.h"
#include "tools/fomCompAddress.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"
#include "tools/fomRestore.h"
#include "tools/idconv.h"

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
    : QMainWindow(parent),
      m_session(shell, prompter),
      m_desktopOpener(std::make_unique<DesktopUrlOpener>()),
      m_urlOpener(m_desktopOpener.get()),
      m_commandLineFile(commandLineFile)
{
    setObjectName(QStringLiteral("fomBrindle"));
    setAcceptDrops(false);
    buildMenus();
    buildToolBar();
    buildSearchBar();
    buildCentral();
    connectCommands();

    // Files go through the window's table: CSV asks for its column mapping
    // and its export options in dialogs.
    m_formats = std::make_unique<FileFormats>(builtInFileFormats());
    m_formats->byKind[FileKindCsv] = csvFileFormat(
        csvGetDialogMapper(this), [this](CsvExportOptions &options) {
            return csvPutDialogAsker(this, m_session.shell.settings.niftyDomain)(options);
        });
    m_formats->byKind[FileKindEudora] = eudoraFileFormat(eudoraPutDialogAsker(this));
    // vCard in the version whose filter was chosen in the save dialog.
    m_formats->byKind[FileKindVCard] = vcardFileFormat([this] {
        return m_saveFormat == VcardFormat30 ? VcardVersion::V30 : VcardVersion::V21;
    });
    m_session.formats = m_formats.get();

    m_session.showStatus = [this](const QString &text) { setStatus(text); };
    m_session.progress = [this](qint64, qint64) { return processEventsAndContinue(); };

    // Start-up: a new, empty book with the file history shown.
    BisyModeChange(true);
    placeWindow();
    m_session.book = AddressBook::newBook();
    m_session.saveEnabled = false;
    showSaveCommand();
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
    // A toolbar button gives the keyboard focus back to the list before its
    // command runs, so Enter and Delete keep working on the list.
    auto button = [this](const char *name, auto slot) {
        connect(toolButtons.value(QString::fromLatin1(name)), &QToolButton::clicked, this,
                [this, slot] {
                    if (QWidget *f = QApplication::focusWidget(); f && picToolBar->isAncestorOf(f))
                        lstAdd->setFocus();
                    slot();
                });
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

    on("mnuEditAllSel", [this] { SelectAll(); });
    on("mnuEditRevSel", [this] { InvertSelection(); });
    connect(lstAdd->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SelView(); });

    on("mnuEditAdd", [this] { CardNew(); });
    button("cmdCardNew", [this] { CardNew(); });
    on("mnuEditEdit", [this] { CardEdit(); });
    button("cmdCardEdit", [this] { CardEdit(); });
    on("mnuEditDelete", [this] { CardDelete(); });
    button("cmdCardDelete", [this] { CardDelete(); });
    on("mnuEditCombine", [this] { CardCombine(); });
    button("cmdCardCombine", [this] { CardCombine(); });
    connect(lstAdd, &QListView::doubleClicked, this, [this] { CardEdit(); });
    lstAdd->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstAdd, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { showEditMenu(pos); });
    lstAdd->installEventFilter(this);
    lstAdd->viewport()->installEventFilter(this);

    on("mnuCollectEditGroup", [this] { GroupEdit(); });
    button("cmdGroup", [this] { GroupEdit(); });
    on("mnuCollectID", [this] { CollectID(); });
    button("cmdCollectID", [this] { CollectID(); });
    on("mnuCollectRestore", [this] { CollectRestore(); });
    button("cmdCollectRestore", [this] { CollectRestore(); });
    on("mnuCollectLight", [this] { CollectLight(); });
    button("cmdCollectLight", [this] { CollectLight(); });
    on("mnuCollectComp", [this] { CollectComp(); });
    button("cmdCollectComp", [this] { CollectComp(); });
    on("mnuOptionSetup", [this] { OptionSetup(); });
    button("cmdOptionSetup", [this] { OptionSetup(); });

    on("mnuHelpTopic", [this] { helpTopic(true); });
    button("cmdHelpTopic", [this] { helpTopic(false); });
    on("mnuHelpVersion", [this] { showVersion(); });
}

void fomBrindle::OptionSetup()
{
    whenIdle([&] {
        // The dialog stores the settings and checks every card again.
        if (fomSetup::Run(m_session.shell.settings, m_session.shell.host, m_session.book,
                          m_session.prompter, this)
            >= 0)
            AddView(-1);
    });
}

void fomBrindle::setUrlOpener(UrlOpener *opener)
{
    m_urlOpener = opener ? opener : m_desktopOpener.get();
}

void fomBrindle::helpTopic(bool contents)
{
    // The toolbar button opens the first topic, the menu entry the contents.
    const QString &file = m_session.shell.helpFile;
    if (contents)
        showHelpContents(m_session.prompter, *m_urlOpener, file);
    else
        showHelpTopic(m_session.prompter, *m_urlOpener, file, 1);
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

namespace {

// A question can be asked now: no other question or dialog is up.
bool mayAskNow()
{
    return QApplication::activeModalWidget() == nullptr;
}

} // namespace

bool fomBrindle::processEventsAndContinue()
{
    // Let the window breathe a few dozen times a second, not once per card.
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= 30) {
        QCoreApplication::processEvents();
        m_sinceEvents.restart();
    }
    return m_session.checkInterrupt(mayAskNow());
}

void fomBrindle::BisyModeChange(bool busy)
{
    if (!busy && m_session.busy) {
        // The last check of the work: a close request that came in after
        // the one before was made while busy, and is asked as such.
        QCoreApplication::processEvents();
        m_sinceEvents.restart();
        m_session.checkInterrupt(mayAskNow());
    }
    if (busy && !m_session.busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && m_session.busy)
        QApplication::restoreOverrideCursor();
    m_session.setBusy(busy);
    picToolBar->setEnabled(!busy);
    frmSortOrder->setEnabled(!busy);
    action(QStringLiteral("mnuViewSort"))->setEnabled(!busy);
    repaint();
}

void fomBrindle::showSaveCommand()
{
    toolButtons.value(QStringLiteral("cmdAddSave"))->setEnabled(m_session.saveEnabled);
    action(QStringLiteral("mnuFileSave"))->setEnabled(m_session.saveEnabled);
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
    QList<qint32> out;
    const QModelIndexList rows = lstAdd->selectionModel()->selectedRows();
    out.reserve(rows.size());
    for (const QModelIndex &i : rows)
        out.append(m_model->cardNumberAt(i.row()));
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
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
    if (watched == lstAdd && event->type() == QEvent::KeyPress)
        return listKeyPress(static_cast<QKeyEvent *>(event));
    if (watched == lstAdd->viewport() && listDragEvent(event))
        return true;
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
        showSaveCommand();
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
        showSaveCommand();
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
        showSaveCommand();
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
        const SaveChoice choice =
            chooseSaveFile(m_session.prompter, settings.lastFileName.at(kind), kind);
        const QString &path = choice.path;
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        m_saveFormat = choice.format;
        if (m_session.write(path, kind, false) == 0 && kind == FileKindAddressBook) {
            updateTitle();
            HistoryView();
        }
        m_saveFormat = 0;
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
        const SaveChoice choice = chooseSaveFile(m_session.prompter, start, kind);
        const QString &path = choice.path;
        if (path.isEmpty())
            return;
        settings.lastFileName.at(kind) = path;
        BisyModeChange(true);
        m_saveFormat = choice.format;
        if (m_session.writeSelected(numbers, path, kind, false) == 0
            && kind == FileKindAddressBook)
            HistoryView();
        m_saveFormat = 0;
        setStatus(QString());
        BisyModeChange(false);
    });
}

void fomBrindle::FileInfoView()
{
    whenIdle([&] {
        const QString text = fileInfoReport(m_session.book, m_session.currentFileName,
                                            QDateTime::currentDateTime());
        showReport(text, QStringLiteral("ファイル情報"), QStringLiteral("ファイル情報"));
    });
}

CardEditOptions fomBrindle::cardEditOptions() const
{
    CardEditOptions o;
    o.limits = m_session.limits();
    o.sharedLogFolder = m_session.shell.settings.globalLogFolder;
    // Windows paths in the cards (profile files) resolve in Corvid's prefix;
    // relative ones from Corvid's own folder.
    const WineHost &host = m_session.shell.host;
    const QString base = findCorvidFolder(host);
    o.hostToLocalPath = [&host, base](const QString &path) { return host.localPath(path, base); };
    return o;
}

void fomBrindle::CardEdit()
{
    whenIdle([&] {
        const QModelIndex current = lstAdd->currentIndex();
        if (m_model->rowCount() == 0 || !current.isValid())
            return;
        const qint32 number = m_model->cardNumberAt(current.row());
        const int saved = fomCardEdit::Edit(m_session.book, number, cardEditOptions(),
                                            m_session.prompter, this);
        if (saved < 0)
            return;
        m_session.modified = true;
        AddReView(saved);
        emit bookChanged();
    });
}

void fomBrindle::CardNew()
{
    whenIdle([&] {
        const int saved = fomCardEdit::Edit(m_session.book, -1, cardEditOptions(),
                                            m_session.prompter, this);
        if (saved < 0)
            return;
        m_session.modified = true;
        // A new card is shown even when it does not match the search; a card
        // it was merged into is shown once.
        displayListAdd(m_session.displayList, saved);
        AddReView(saved);
        emit bookChanged();
    });
}

namespace {

// A question about the selection: its line count, its card count, then rest.
QString selectionQuestion(qsizetype lines, qsizetype cards, const QString &rest)
{
    return QStringLiteral("選択された ") + QString::number(lines) + QStringLiteral(" 項目（")
         + QString::number(cards) + rest;
}

// The card the others are merged into: the latest update wins, the lowest
// number among equal updates.
qint32 combineTarget(const AddressBook &book, const QList<qint32> &numbers)
{
    qint32 target = -1;
    DateValue latest = 0;
    for (qint32 n : numbers) { // ascending: the lowest number wins a tie
        const int index = findCardByNumber(book, n);
        if (index < 1)
            continue;
        const DateValue updated = book.cards[index].updated;
        if (target < 0 || updated > latest) {
            target = n;
            latest = updated;
        }
    }
    return target;
}

bool askYesNo(Prompter &prompter, const QString &text)
{
    Prompter::Message m;
    m.text = text;
    m.buttons = Prompter::Buttons(Prompter::Yes) | Prompter::No;
    m.icon = Prompter::Icon::Question;
    m.defaultButton = Prompter::No;
    return prompter.ask(m) == Prompter::Yes;
}

} // namespace

void fomBrindle::CardDelete()
{
    whenIdle([&] {
        const QList<qint32> numbers = selectedCardNumbers();
        if (numbers.isEmpty())
            return;
        const qsizetype lines = lstAdd->selectionModel()->selectedRows().size();
        const QString rest = QStringLiteral(" 枚のカード）を削除して宜しいですか？");
        if (!askYesNo(m_session.prompter, selectionQuestion(lines, numbers.size(), rest)))
            return;
        setStatus(QStringLiteral("ｶｰﾄﾞを削除しています。"));
        deleteCards(numbers, m_session.book);
        // The other lines stay where they are: no rebuild.
        const QSet<qint32> deleted(numbers.begin(), numbers.end());
        displayListRemove(m_session.displayList, deleted);
        m_model->removeRowsOfCards(deleted);
        if (m_model->rowCount() > 0)
            lstAdd->selectionModel()->setCurrentIndex(m_model->index(0),
                                                      QItemSelectionModel::NoUpdate);
        SelView();
        m_session.modified = true;
        emit bookChanged();
    });
}

void fomBrindle::CardCombine()
{
    whenIdle([&] {
        const qsizetype lines = lstAdd->selectionModel()->selectedRows().size();
        if (lines < 2)
            return;
        QList<qint32> numbers = selectedCardNumbers();
        if (numbers.size() < 2)
            return;
        const QString rest = QStringLiteral(" 枚のカード）を統合しますか？");
        if (!askYesNo(m_session.prompter, selectionQuestion(lines, numbers.size(), rest)))
            return;
        setStatus(QStringLiteral("ｶｰﾄﾞを統合しています。"));
        const qint32 target = combineTarget(m_session.book, numbers);
        if (target < 0)
            return;
        numbers.removeOne(target);
        mergeCardsIntoOne(target, numbers, m_session.book);
        deleteCards(numbers, m_session.book);
        const int index = findCardByNumber(m_session.book, target);
        Card &merged = m_session.book.cards[index];
        merged.status = validateCard(merged, m_session.book.groupList(), m_session.limits());
        m_session.modified = true;
        m_session.displayList = searchCards(m_session.book, cboSearchList->currentIndex(),
                                            cboSearchWord->currentText());
        AddView(target);
        emit bookChanged();
    });
}

void fomBrindle::SelectAll()
{
    lstAdd->selectAll();
    lstAdd->viewport()->update();
    SelView();
}

void fomBrindle::InvertSelection()
{
    const int n = m_model->rowCount();
    if (n > 0) {
        const QItemSelection all(m_model->index(0), m_model->index(n - 1));
        lstAdd->selectionModel()->select(all, QItemSelectionModel::Toggle);
    }
    SelView();
}

void fomBrindle::showReport(const QString &text, const QString &fileName, const QString &title)
{
    Prompter &prompter = m_session.prompter;
    const bool trashOld = m_session.shell.settings.trashFlag;
    fomReport::View(
        text, fileName, title, prompter,
        [&prompter, trashOld](const QString &report, const QString &name) {
            saveTextAs(prompter, name, report, trashOld);
        },
        this);
}

void fomBrindle::GroupEdit()
{
    whenIdle([&] {
        if (fomGroupEdit::Edit(m_session.book, m_session.prompter, this) != 0)
            return;
        m_session.modified = true;
        refreshGroupWords();
        emit bookChanged();
    });
}

void fomBrindle::refreshGroupWords()
{
    // The word box of a group search offers the group list as it is now.
    if (cboSearchList->currentIndex() != SearchGroups)
        return;
    const QString word = cboSearchWord->currentText();
    cboSearchWord->clear();
    cboSearchWord->addItem(anyValueWord());
    cboSearchWord->addItems(m_session.book.groupList());
    cboSearchWord->setEditText(word);
}

ToolBusyState fomBrindle::toolBusyState()
{
    return {&m_session.busy, &m_session.interruptRequested};
}

void fomBrindle::CollectID()
{
    whenIdle([&] {
        const ReportViewer viewer = [this](const QString &text, const QString &fileName,
                                           const QString &title) {
            showReport(text, fileName, title);
        };
        if (fomIDConv::Run(m_session.book, m_session.limits(), serviceMailDomains(),
                           m_session.prompter, viewer, toolBusyState(), this)
            != 0)
            return;
        m_session.modified = true;
        displayListDropVanished(m_session.displayList, m_session.book);
        AddView(-1);
        emit bookChanged();
    });
}

void fomBrindle::CollectRestore()
{
    whenIdle([&] {
        const ReportViewer viewer = [this](const QString &text, const QString &fileName,
                                           const QString &title) {
            showReport(text, fileName, title);
        };
        const int result =
            fomRestore::Run(m_session.book, m_session.limits(), m_session.prompter, viewer,
                            toolBusyState(), this);
        if (result != 0)
            return;
        m_session.modified = true;
        repaint();
        displayListDropVanished(m_session.displayList, m_session.book);
        AddView(-1);
        emit bookChanged();
    });
}

void fomBrindle::CollectLight()
{
    whenIdle([&] {
        if (fomLightAddress::Run(m_session.book, m_session.limits(), m_session.prompter,
                                 toolBusyState(), this)
            != 0)
            return;
        m_session.modified = true;
        AddView(-1);
        emit bookChanged();
    });
}

void fomBrindle::CollectComp()
{
    whenIdle([&] {
        Settings &settings = m_session.shell.settings;
        fomCompAddress::Services services;
        services.guard =
            liveBookGuard(settings.homeFolder, m_session.shell.probe, m_session.prompter);
        services.chooseBook = [this](const QString &initialName) {
            return chooseFile(m_session.prompter, FileDialogMode::Open, initialName,
                              FileKindAddressBook);
        };
        services.showReport = [this](const QString &text, const QString &fileName,
                                     const QString &title) {
            showReport(text, fileName, title);
        };
        fomCompAddress::View(settings.compareOldPath, settings.compareNewPath,
                             settings.homeFolder, m_session.prompter, services, this);
    });
}

void fomBrindle::showEditMenu(const QPoint &pos)
{
    if (QMenu *edit = menu(QStringLiteral("mnuEdit")))
        edit->popup(lstAdd->viewport()->mapToGlobal(pos));
}

bool fomBrindle::listKeyPress(QKeyEvent *event)
{
    if (event->modifiers() == Qt::ControlModifier) {
        // Ctrl with a character must not jump to a line starting with it;
        // Ctrl with the other keys (arrows, space, select all) works as usual.
        if (event->matches(QKeySequence::SelectAll))
            return false;
        return event->key() < Qt::Key_Escape && event->key() != Qt::Key_Space;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        CardEdit();
        return true;
    case Qt::Key_Delete:
        CardDelete();
        return true;
    default:
        return false;
    }
}

namespace {

// The local files of a drag, in order; an entry that is no local file is "".
QStringList droppedPaths(const QMimeData *data)
{
    QStringList out;
    if (!data || !data->hasUrls())
        return out;
    for (const QUrl &url : data->urls())
        out.append(url.isLocalFile() ? url.toLocalFile() : QString());
    return out;
}

} // namespace

bool fomBrindle::listDragEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const QStringList paths = droppedPaths(drag->mimeData());
        if (!m_session.busy && !paths.isEmpty() && !paths.first().isEmpty()
            && fileKindOf(paths.first()) >= 0) {
            drag->setDropAction(Qt::CopyAction);
            drag->accept();
        } else {
            drag->ignore();
        }
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = droppedPaths(drop->mimeData());
        if (m_session.busy || paths.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        // The appends ask questions and open dialogs: run them after the
        // drag and drop has finished.
        QTimer::singleShot(0, this, [this, paths] { appendDroppedFiles(paths); });
        return true;
    }
    default:
        return false;
    }
}

void fomBrindle::appendDroppedFiles(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (path.isEmpty())
            continue;
        const int kind = fileKindOf(path);
        if (kind < 0)
            continue; // other kinds are skipped silently
        Append(path, kind);
    }
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
        // The path as given, only made absolute: a symbolic link keeps its
        // name in the title and the file history.
        const QFileInfo given(m_commandLineFile);
        const QString path = given.exists() && !given.isDir() ? given.absoluteFilePath() : QString();
        const int kind = path.isEmpty() ? -1 : fileKindOf(path);
        if (kind >= 0)
            Open(path, kind);
    });
}

void fomBrindle::closeEvent(QCloseEvent *event)
{
    if (!m_session.closeRequested(mayAskNow())) {
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
    // Files dropped from the desktop are appended to the book.
    lstAdd->viewport()->setAcceptDrops(true);
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
