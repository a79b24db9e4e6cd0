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
#include <QUndoStack>
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
#include "core/cardcommands.h"
#include "core/cardops.h"
#include "core/fileinfo.h"
#include "core/validation.h"
#include "formats/fomCsvGet.h"
#include "formats/fomCsvPut.h"
#include "formats/fomEudoraPut.h"
#include "shell/fomSetup.h"
#include "formats/fileprocs.h"
#include "core/addresslist.h"
#include "mainwindow/menutable.h"
#include "core/search.h"
#include "shell/commandline.h"
#include "shell/filekind.h"
#include "shell/guiurlopener.h"
#include "shell/help.h"
#include "shell/startup.h"
#include "tools/fomCompAddress.h"
#include "tools/fomIDConv.h"
#include "tools/fomLightAddress.h"
#include "tools/fomRestore.h"
#include "tools/idconv.h"

fomBrindle::fomBrindle(ShellSession &shell, Prompter &prompter, const QString &commandLineFile,
                       QWidget *parent)
    : QMainWindow(parent),
      m_doc(shell, prompter),
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
    buildUndoActions();

    // Files go through the window's table: CSV asks for its column mapping
    // and its export options in dialogs.
    m_formats = std::make_unique<FileFormats>(builtInFileFormats());
    m_formats->byKind[FileKindCsv] = csvFileFormat(
        csvGetDialogMapper(this), [this](CsvExportOptions &options) {
            return csvPutDialogAsker(this, m_doc.shell().settings.niftyDomain)(options);
        });
    m_formats->byKind[FileKindEudora] = eudoraFileFormat(eudoraPutDialogAsker(this));
    // vCard in the version whose filter was chosen in the save dialog.
    m_formats->byKind[FileKindVCard] = vcardFileFormat([this] {
        return m_saveFormat == VcardFormat30 ? VcardVersion::V30 : VcardVersion::V21;
    });
    m_doc.setFormats(m_formats.get());

    m_doc.showStatus = [this](const QString &text) { setStatus(text); };
    m_doc.progress = [this](qint64, qint64) { return processEventsAndContinue(); };

    // Start-up: a new, empty book with the file history shown.
    BisyModeChange(true);
    placeWindow();
    showSaveCommand();
    updateTitle();
    HistoryView();
    runSearch();
    BisyModeChange(false);
}

fomBrindle::~fomBrindle()
{
    // The document outlives the actions it would update while it goes.
    disconnect(&m_doc.history(), nullptr, this, nullptr);
    disconnect(&m_doc, nullptr, this, nullptr);
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
                const QString path = m_doc.shell().settings.fileHistory.at(i);
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

    on("mnuEditUndo", [this] { Undo(); });
    on("mnuEditRedo", [this] { Redo(); });
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
        const int result = m_doc.recheck([this](AddressBook &book) {
            return fomSetup::Run(m_doc.shell().settings, m_doc.shell().host, book, m_doc.prompter(),
                                 this);
        });
        if (result >= 0)
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
    const QString &file = m_doc.shell().helpFile;
    if (contents)
        showHelpContents(m_doc.prompter(), *m_urlOpener, file);
    else
        showHelpTopic(m_doc.prompter(), *m_urlOpener, file, 1);
}

void fomBrindle::showVersion()
{
    fomVersion dlg(this);
    dlg.exec();
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
    return m_doc.checkInterrupt(mayAskNow());
}

void fomBrindle::BisyModeChange(bool busy)
{
    if (!busy && m_doc.isBusy()) {
        // The last check of the work: a close request that came in after
        // the one before was made while busy, and is asked as such.
        QCoreApplication::processEvents();
        m_sinceEvents.restart();
        m_doc.checkInterrupt(mayAskNow());
    }
    if (busy && !m_doc.isBusy())
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else if (!busy && m_doc.isBusy())
        QApplication::restoreOverrideCursor();
    m_doc.setBusy(busy);
    busyShown(busy);
    repaint();
}

void fomBrindle::busyShown(bool busy)
{
    picToolBar->setEnabled(!busy);
    frmSortOrder->setEnabled(!busy);
    action(QStringLiteral("mnuViewSort"))->setEnabled(!busy);
    showUndoState();
}

void fomBrindle::showUndoState()
{
    const QUndoStack &history = m_doc.history();
    QAction *undo = action(QStringLiteral("mnuEditUndo"));
    QAction *redo = action(QStringLiteral("mnuEditRedo"));
    undo->setEnabled(history.canUndo() && !m_doc.isBusy());
    redo->setEnabled(history.canRedo() && !m_doc.isBusy());
    undo->setToolTip(history.undoText());
    undo->setStatusTip(history.undoText());
    redo->setToolTip(history.redoText());
    redo->setStatusTip(history.redoText());
}

void fomBrindle::showSaveCommand()
{
    toolButtons.value(QStringLiteral("cmdAddSave"))->setEnabled(m_doc.saveEnabled());
    action(QStringLiteral("mnuFileSave"))->setEnabled(m_doc.saveEnabled());
}

void fomBrindle::updateTitle()
{
    setWindowTitle(m_doc.windowTitle());
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

CardEditOptions fomBrindle::cardEditOptions() const
{
    CardEditOptions o;
    o.limits = m_doc.limits();
    o.sharedLogFolder = m_doc.shell().settings.globalLogFolder;
    // Windows paths in the cards (profile files) resolve in Corvid's prefix;
    // relative ones from Corvid's own folder.
    const WineHost &host = m_doc.shell().host;
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
        const qint32 saved = m_doc.editCard(m_model->cardNumberAt(current.row()), cardEditor());
        if (saved >= 0)
            AddReView(saved);
    });
}

void fomBrindle::CardNew()
{
    whenIdle([&] {
        const qint32 saved = m_doc.editCard(-1, cardEditor());
        if (saved >= 0)
            AddReView(saved);
    });
}

AddressDocument::CardEditor fomBrindle::cardEditor()
{
    return [this](AddressBook &book, qint32 number) {
        return fomCardEdit::Edit(book, number, cardEditOptions(), m_doc.prompter(), this);
    };
}

void fomBrindle::CardDelete()
{
    whenIdle([&] {
        const QList<qint32> numbers = selectedCardNumbers();
        const qsizetype lines = lstAdd->selectionModel()->selectedRows().size();
        if (!m_doc.deleteCards(numbers, lines))
            return;
        // The other lines stay where they are: no rebuild.
        m_model->removeRowsOfCards(QSet<qint32>(numbers.begin(), numbers.end()));
        if (m_model->rowCount() > 0)
            lstAdd->selectionModel()->setCurrentIndex(m_model->index(0),
                                                      QItemSelectionModel::NoUpdate);
        SelView();
    });
}

void fomBrindle::CardCombine()
{
    whenIdle([&] {
        const qint32 target =
            m_doc.combineCards(selectedCardNumbers(), lstAdd->selectionModel()->selectedRows().size(),
                               cboSearchList->currentIndex(), cboSearchWord->currentText());
        if (target >= 0)
            AddView(target);
    });
}

void fomBrindle::Undo()
{
    if (m_doc.undo())
        AddView(-1);
}

void fomBrindle::Redo()
{
    if (m_doc.redo())
        AddView(-1);
}

void fomBrindle::showReport(const QString &text, const QString &fileName, const QString &title)
{
    Prompter &prompter = m_doc.prompter();
    const bool trashOld = m_doc.shell().settings.trashFlag;
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
        if (m_doc.editGroups([this](AddressBook &book) {
                return fomGroupEdit::Edit(book, m_doc.prompter(), this) == 0;
            }))
            refreshGroupWords();
    });
}

ReportViewer fomBrindle::reportViewer()
{
    return [this](const QString &text, const QString &fileName, const QString &title) {
        showReport(text, fileName, title);
    };
}

void fomBrindle::CollectID()
{
    whenIdle([&] {
        if (m_doc.runTool(AddressDocument::Tool::BulkSettings, [this](AddressBook &book) {
                return fomIDConv::Run(book, m_doc.limits(), serviceMailDomains(), m_doc.prompter(),
                                      reportViewer(), &m_doc, this)
                    == 0;
            }))
            AddView(-1);
    });
}

void fomBrindle::CollectRestore()
{
    whenIdle([&] {
        if (!m_doc.runTool(AddressDocument::Tool::Restoration, [this](AddressBook &book) {
                return fomRestore::Run(book, m_doc.limits(), m_doc.prompter(), reportViewer(),
                                       &m_doc, this)
                    == 0;
            }))
            return;
        repaint();
        AddView(-1);
    });
}

void fomBrindle::CollectLight()
{
    whenIdle([&] {
        if (m_doc.runTool(AddressDocument::Tool::Slimming, [this](AddressBook &book) {
                return fomLightAddress::Run(book, m_doc.limits(), m_doc.prompter(), &m_doc, this)
                    == 0;
            }))
            AddView(-1);
    });
}

void fomBrindle::CollectComp()
{
    whenIdle([&] {
        Settings &settings = m_doc.shell().settings;
        fomCompAddress::Services services;
        services.guard =
            liveBookGuard(settings.homeFolder, m_doc.shell().probe, m_doc.prompter());
        services.chooseBook = [this](const QString &initialName) {
            return chooseFile(m_doc.prompter(), FileDialogMode::Open, initialName,
                              FileKindAddressBook);
        };
        services.showReport = [this](const QString &text, const QString &fileName,
                                     const QString &title) {
            showReport(text, fileName, title);
        };
        fomCompAddress::View(settings.compareOldPath, settings.compareNewPath,
                             settings.homeFolder, m_doc.prompter(), services, this);
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
        // The path as given, only made absolute: a symbolic link keeps its
        // name in the title and the file history.
        const QFileInfo given(m_commandLineFile);
        const QString path = given.exists() && !given.isDir() ? given.absoluteFilePath() : QString();
        const int kind = path.isEmpty() ? -1 : openableFileKindOf(path);
        if (kind >= 0)
            Open(path, kind);
    });
}

void fomBrindle::closeEvent(QCloseEvent *event)
{
    if (!m_doc.closeRequested(mayAskNow())) {
        event->ignore();
        return;
    }
    const double dpi = screen() ? screen()->logicalDotsPerInch() : 96.0;
    const int state = isMaximized() ? 2 : isMinimized() ? 1 : 0;
    recordPlacement(m_doc.shell().settings, normalGeometry(), state, dpi);
    m_doc.shell().saveSettings();
    event->accept();
}

