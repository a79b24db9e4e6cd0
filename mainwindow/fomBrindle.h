#pragma once
// The main window: toolbar, search bar with the sort frame, the address
// list and the status panel, with the complete menu tree. The window holds
// the widgets and their wiring: it asks the user and shows; the open book
// and every command that changes it live in AddressDocument.

#include <QElapsedTimer>
#include <QHash>
#include <QMainWindow>
#include <memory>

#include "cardedit/cardeditlogic.h"
#include "document/addressdocument.h"
#include "tools/reportviewer.h"

class AddressListModel;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;
class ShellSession;
class Prompter;
class UrlOpener;
struct FileFormats;

class fomBrindle : public QMainWindow
{
    Q_OBJECT
public:
    // commandLineFile: opened on the first activation when it names an
    // existing file of a known kind.
    fomBrindle(ShellSession &shell, Prompter &prompter, const QString &commandLineFile = {},
               QWidget *parent = nullptr);
    ~fomBrindle() override;

    AddressDocument &document() { return m_doc; }
    // What opens the help document; nullptr: the desktop's viewer.
    void setUrlOpener(UrlOpener *opener);
    AddressListModel *listModel() const { return m_model; }

    // The menu action (or submenu action) with that objectName.
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QMenu *menu(const QString &name) const { return m_menus.value(name); }

    // Operations of the window, under their usual names.
    void BisyModeChange(bool busy);
    void AddView(qint32 cardNumber);
    void AddViewSub(qint32 cardNumber);
    void AddReView(qint32 cardNumber);
    void AddListDelete(qint32 cardNumber);
    void SelView();
    void HistoryView();
    void runSearch();           // search, then AddView(-1)
    void Open(const QString &path, int kind);
    void Append(const QString &path, int kind);
    void AddNew();
    void AddSave();
    void readCommand(int kind, bool append);
    void writeCommand(int kind);
    void writeSelectedCommand(int kind);
    void FileInfoView();
    // Distinct card numbers of the selected lines, in ascending order.
    QList<qint32> selectedCardNumbers() const;

    // Card commands. Each does nothing while busy.
    void CardEdit();    // the card of the current line
    void CardNew();
    void CardDelete();  // the selected cards, after the question
    void CardCombine(); // the selected cards into one, after the question
    // Selection commands; they work while busy too.
    void SelectAll();
    void InvertSelection();
    // Tools, each a modal dialog over the open book.
    void GroupEdit();
    // Edit menu: undo and redo the last step; nothing while busy.
    void Undo();
    void Redo();
    void CollectID();
    void CollectRestore();
    void CollectLight();
    void CollectComp();
    // Appends every dropped local file of a known kind, in order.
    void appendDroppedFiles(const QStringList &paths);
    int sortOrder() const;


protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildSearchBar();
    void buildCentral();
    void connectCommands();
    void placeWindow();
    void updateTitle();
    void showSaveCommand(); // from AddressDocument::saveEnabled
    void busyShown(bool busy);
    void showUndoState();
    void buildUndoActions();
    void setStatus(const QString &text);
    void searchFieldChosen(int index);
    void sortOrderChosen(int index);
    void reverseChosen();
    bool processEventsAndContinue();
    void OptionSetup();
    void helpTopic(bool contents);
    void showEditMenu(const QPoint &pos);
    bool listKeyPress(QKeyEvent *event);
    bool listDragEvent(QEvent *event);
    void refreshGroupWords();
    CardEditOptions cardEditOptions() const;
    // The report window, for the tools' reports.
    void showReport(const QString &text, const QString &fileName, const QString &title);
    void showVersion();
    ReportViewer reportViewer();
    AddressDocument::CardEditor cardEditor();
    // Runs f only when not busy.
    template <typename F> void whenIdle(F f)
    {
        if (!m_doc.isBusy())
            f();
    }

    // Controls, named as everywhere in the program.
    QWidget *picToolBar = nullptr;
    QHash<QString, QToolButton *> toolButtons;
    QWidget *picSearchBar = nullptr;
    QComboBox *cboSearchList = nullptr;
    QLabel *lblSearchGa = nullptr;
    QComboBox *cboSearchWord = nullptr;
    QLabel *lblSearchFukumu = nullptr;
    QPushButton *cmdSearch = nullptr;
    QFrame *frmSortOrder = nullptr;
    QRadioButton *optSortOrder[6] = {};
    QCheckBox *chkSortReverce = nullptr;
    QListView *lstAdd = nullptr;
    QWidget *picPanel = nullptr;
    QLabel *lblSelCount = nullptr;
    QLabel *lblStatus = nullptr;
    QLabel *lblInfo = nullptr;
    QAction *mnuFileHistory[5] = {};

    AddressDocument m_doc;
    std::unique_ptr<UrlOpener> m_desktopOpener;
    UrlOpener *m_urlOpener = nullptr;
    std::unique_ptr<FileFormats> m_formats; // CSV through its dialogs
    // The format chosen in the save dialog of the write under way (its
    // filter: 0 the kind's own; VcardFormat30).
    int m_saveFormat = 0;
    AddressListModel *m_model = nullptr;
    QString m_commandLineFile;
    bool m_activated = false;
    bool m_listStale = true; // the lines belong to a book that was replaced
    QElapsedTimer m_sinceEvents; // since the work last let window events in
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
};
