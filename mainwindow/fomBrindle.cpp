#include "mainwindow/fomBrindle.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainwindow/menutable.h"

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

} // namespace

fomBrindle::fomBrindle(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fomBrindle"));
    setWindowTitle(QStringLiteral("Brindle"));
    buildMenus();
    buildToolBar();
    buildSearchBar();
    buildCentral();
    resize(760, 560);
}

fomBrindle::~fomBrindle() = default;

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
