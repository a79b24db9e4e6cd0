#pragma once
// The main window: toolbar, search bar with the sort frame, the address
// list and the status panel, with the complete menu tree.

#include <QHash>
#include <QMainWindow>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

class fomBrindle : public QMainWindow
{
    Q_OBJECT
public:
    explicit fomBrindle(QWidget *parent = nullptr);
    ~fomBrindle() override;

    // The menu action (or submenu action) with that objectName.
    QAction *action(const QString &name) const { return m_actions.value(name); }
    QMenu *menu(const QString &name) const { return m_menus.value(name); }

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

private:
    void buildMenus();
    void buildToolBar();
    void buildSearchBar();
    void buildCentral();

    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
};
